#pragma once
// Text helpers: case, width, trimming, the lenient number parsers, thousands
// separators, formatting into strings and XML entity decoding.

#include <string>
#include <string_view>

std::wstring StringToUpper(std::wstring_view text);
std::string StringToLower(std::string_view text);

// Each byte becomes the character of the same value 0-255.
std::wstring StringToWString(std::string_view text);
void WidenStringInto(std::string_view text, std::wstring& out);
std::wstring WStringToWString(std::wstring_view text);
// Narrowing keeps 7-bit text only; anything else gives an empty result.
std::string WStringToString(std::wstring_view text);
void WStringToStringInto(std::wstring_view text, std::string& out);

std::string Trim(std::string_view text);
std::wstring TrimW(std::wstring_view text);

// Integers: an optional '-', decimal digits, or hexadecimal after an 'x' in
// the second place ("0x1F", "-x1F"); the first other character ends the scan.
// False only for empty text; "12abc" gives 12 and "abc" gives 0.
bool StringToInt(std::string_view text, int& out);
bool WStringToInt(std::wstring_view text, int& out);
// Reals: an optional '-', digits, optionally '.' and digits, nothing else -
// no exponent, suffix or blank. On failure `out` is 0 and the result false.
bool WStringToFloat(std::wstring_view text, float& out);
bool WStringToDouble(std::wstring_view text, double& out);

// Decimal digits grouped by ',' in threes from the right; "-" before negatives.
std::wstring CommaSeparate(int value);

// printf-style formatting; the result is as long as the output needs.
std::string StrFormat(const char* format, ...) __attribute__((format(printf, 1, 2)));
// Wide printf-style formatting; "%ls" for wide strings, "%s" for narrow ones.
std::wstring WStrFormat(const wchar_t* format, ...);

// Replaces "&lt;", "&amp;", "&gt;", "&quot;", "&apos;", "&nbsp;" (a plain
// space) and "&cr;" (a line feed). Any other name between '&' and the next ';'
// becomes a lone '&'; an '&' with no ';' after it stays. No numeric references.
std::wstring DecodeXmlEntities(std::wstring_view text);
// The same, in the string's own storage.
void DecodeXmlEntitiesInPlace(std::wstring& text);
