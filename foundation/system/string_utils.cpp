#include "foundation/system/string_utils.h"

#include <cctype>
#include <cstdarg>
#include <cstdint>
#include <cwctype>

#include "foundation/system/text.h"

namespace {

template <typename Char>
bool ParseInt(std::basic_string_view<Char> text, int& out) {
    out = 0;
    if (text.empty()) return false;
    size_t i = 0;
    bool negative = text[0] == '-';
    if (negative) i = 1;
    // Unsigned arithmetic: an over-long number wraps instead of overflowing.
    uint32_t value = 0;
    uint32_t base = 10;
    for (; i < text.size(); ++i) {
        Char c = text[i];
        uint32_t digit;
        if ((c == 'x' || c == 'X') && i == 1 && value == 0 && base == 10) {
            base = 16;
            continue;
        }
        if (c >= '0' && c <= '9')
            digit = static_cast<uint32_t>(c - '0');
        else if (base == 16 && c >= 'a' && c <= 'f')
            digit = static_cast<uint32_t>(c - 'a' + 10);
        else if (base == 16 && c >= 'A' && c <= 'F')
            digit = static_cast<uint32_t>(c - 'A' + 10);
        else
            break;
        value = value * base + digit;
    }
    if (negative) value = 0u - value;
    out = static_cast<int>(value);
    return true;
}

template <typename Real>
bool ParseReal(std::wstring_view text, Real& out) {
    out = 0;
    if (text.empty()) return false;
    size_t i = 0;
    bool negative = text[0] == L'-';
    if (negative) i = 1;
    auto isDigit = [&text](size_t k) { return k < text.size() && text[k] >= L'0' && text[k] <= L'9'; };
    Real value = 0;
    for (; isDigit(i); ++i) value = value * 10 + static_cast<Real>(text[i] - L'0');
    if (i < text.size() && text[i] == L'.') {
        Real factor = static_cast<Real>(0.1);
        for (++i; isDigit(i); ++i) {
            value += static_cast<Real>(text[i] - L'0') * factor;
            factor /= 10;
        }
    }
    if (i != text.size()) return false;
    out = negative ? -value : value;
    return true;
}

}  // namespace

std::wstring StringToUpper(std::wstring_view text) {
    std::wstring out(text);
    for (wchar_t& c : out) c = static_cast<wchar_t>(std::towupper(static_cast<wint_t>(c)));
    return out;
}

std::string StringToLower(std::string_view text) {
    std::string out(text);
    for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return out;
}

std::wstring StringToWString(std::string_view text) { return text::Widen(text); }

void WidenStringInto(std::string_view text, std::wstring& out) { out = text::Widen(text); }

std::wstring WStringToWString(std::wstring_view text) { return std::wstring(text); }

std::string WStringToString(std::wstring_view text) {
    std::string out;
    text::NarrowAscii(text, out);
    return out;
}

void WStringToStringInto(std::wstring_view text, std::string& out) { text::NarrowAscii(text, out); }

std::string Trim(std::string_view text) {
    auto blank = [](char c) { return std::isspace(static_cast<unsigned char>(c)) != 0; };
    size_t begin = 0, end = text.size();
    while (begin < end && blank(text[begin])) ++begin;
    while (end > begin && blank(text[end - 1])) --end;
    return std::string(text.substr(begin, end - begin));
}

std::wstring TrimW(std::wstring_view text) {
    auto blank = [](wchar_t c) { return std::iswspace(static_cast<wint_t>(c)) != 0; };
    size_t begin = 0, end = text.size();
    while (begin < end && blank(text[begin])) ++begin;
    while (end > begin && blank(text[end - 1])) --end;
    return std::wstring(text.substr(begin, end - begin));
}

bool StringToInt(std::string_view text, int& out) { return ParseInt(text, out); }
bool WStringToInt(std::wstring_view text, int& out) { return ParseInt(text, out); }
bool WStringToFloat(std::wstring_view text, float& out) { return ParseReal(text, out); }
bool WStringToDouble(std::wstring_view text, double& out) { return ParseReal(text, out); }

std::wstring CommaSeparate(int value) {
    int64_t magnitude = value;
    bool negative = magnitude < 0;
    if (negative) magnitude = -magnitude;
    std::wstring digits;
    int inGroup = 0;
    do {
        if (inGroup == 3) {
            digits += L',';
            inGroup = 0;
        }
        digits += static_cast<wchar_t>(L'0' + magnitude % 10);
        magnitude /= 10;
        ++inGroup;
    } while (magnitude > 0);
    if (negative) digits += L'-';
    return std::wstring(digits.rbegin(), digits.rend());
}

std::string StrFormat(const char* format, ...) {
    va_list args;
    va_start(args, format);
    std::string out = text::FormatV(format, args);
    va_end(args);
    return out;
}

std::wstring WStrFormat(const wchar_t* format, ...) {
    va_list args;
    va_start(args, format);
    std::wstring out = text::WFormatV(format, args);
    va_end(args);
    return out;
}

void DecodeXmlEntitiesInPlace(std::wstring& text) {
    struct Entity {
        std::wstring_view name;
        wchar_t character;
    };
    static constexpr Entity kEntities[] = {
        {L"lt", L'<'},    {L"amp", L'&'},  {L"gt", L'>'},  {L"quot", L'"'},
        {L"apos", L'\''}, {L"nbsp", L' '}, {L"cr", L'\n'},
    };
    using Traits = std::char_traits<wchar_t>;
    // Every reference shrinks to one character, so the written part never
    // overtakes the part still to read.
    size_t out = 0, i = 0;
    while (i < text.size()) {
        size_t amp = text.find(L'&', i);
        size_t semi = amp == std::wstring::npos ? amp : text.find(L';', amp + 1);
        if (semi == std::wstring::npos) {
            Traits::move(text.data() + out, text.data() + i, text.size() - i);
            out += text.size() - i;
            break;
        }
        Traits::move(text.data() + out, text.data() + i, amp - i);
        out += amp - i;
        std::wstring_view name = std::wstring_view(text).substr(amp + 1, semi - amp - 1);
        wchar_t replacement = L'&';
        for (const Entity& e : kEntities)
            if (e.name == name) replacement = e.character;
        text[out++] = replacement;
        i = semi + 1;
    }
    text.resize(out);
}

std::wstring DecodeXmlEntities(std::wstring_view text) {
    std::wstring out(text);
    DecodeXmlEntitiesInPlace(out);
    return out;
}
