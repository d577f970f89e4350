#pragma once
// Conversions between the engine's wide text and the UTF-8 SDL speaks, and the
// UTF-16 code units that character messages carry. Malformed UTF-8 becomes
// U+FFFD; code points beyond U+10FFFF and lone surrogates likewise.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace plat {

std::string WideToUtf8(std::wstring_view text);
std::wstring Utf8ToWide(std::string_view text);
// Appends one code point as one or two UTF-16 units.
void AppendUtf16(char32_t codePoint, std::vector<uint16_t>& out);

}  // namespace plat
