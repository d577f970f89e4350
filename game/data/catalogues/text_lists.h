#pragma once
// The small text splitters of the catalogue files.

#include <cstdint>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

// An empty text leaves the set alone. Otherwise the set is emptied and gets
// every piece between commas, trimmed of spaces, tabs and line breaks.
void SplitCommaList(std::wstring_view text, std::set<std::wstring>& set);

// Every piece between commas, in order, trimmed of spaces; an empty text gives
// no piece.
std::vector<std::wstring> CutCommaList(std::wstring_view text);

// An optional '-' and decimal digits, nothing else; saturates at the int range.
std::optional<int32_t> ParseDecimalInt(std::wstring_view text);
// Decimal digits only, without sign or blank; absent for any other text.
std::optional<size_t> ParseDecimalIndex(std::wstring_view text);
