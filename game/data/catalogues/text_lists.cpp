#include "game/data/catalogues/text_lists.h"

#include <limits>

namespace {

std::wstring_view Trimmed(std::wstring_view piece, std::wstring_view blanks) {
    const size_t first = piece.find_first_not_of(blanks);
    if (first == std::wstring_view::npos) return {};
    return piece.substr(first, piece.find_last_not_of(blanks) - first + 1);
}

template <class Visit>
void ForEachPiece(std::wstring_view text, Visit visit) {
    for (;;) {
        const size_t comma = text.find(L',');
        visit(text.substr(0, comma));
        if (comma == std::wstring_view::npos) return;
        text.remove_prefix(comma + 1);
    }
}

}  // namespace

void SplitCommaList(std::wstring_view text, std::set<std::wstring>& set) {
    if (text.empty()) return;
    set.clear();
    ForEachPiece(text, [&set](std::wstring_view piece) { set.emplace(Trimmed(piece, L" \t\r\n")); });
}

std::vector<std::wstring> CutCommaList(std::wstring_view text) {
    std::vector<std::wstring> pieces;
    if (text.empty()) return pieces;
    ForEachPiece(text, [&pieces](std::wstring_view piece) { pieces.emplace_back(Trimmed(piece, L" ")); });
    return pieces;
}

std::optional<int32_t> ParseDecimalInt(std::wstring_view text) {
    const bool negative = !text.empty() && text.front() == L'-';
    if (negative) text.remove_prefix(1);
    if (text.empty()) return std::nullopt;
    int64_t value = 0;
    for (wchar_t c : text) {
        if (c < L'0' || c > L'9') return std::nullopt;
        if (value <= std::numeric_limits<int32_t>::max()) value = value * 10 + (c - L'0');
    }
    if (negative) value = -value;
    if (value > std::numeric_limits<int32_t>::max()) return std::numeric_limits<int32_t>::max();
    if (value < std::numeric_limits<int32_t>::min()) return std::numeric_limits<int32_t>::min();
    return static_cast<int32_t>(value);
}

std::optional<size_t> ParseDecimalIndex(std::wstring_view text) {
    if (text.empty() || text.front() == L'-') return std::nullopt;
    const std::optional<int32_t> value = ParseDecimalInt(text);
    if (!value) return std::nullopt;
    return static_cast<size_t>(*value);
}
