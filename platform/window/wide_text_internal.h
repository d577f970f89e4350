#pragma once
// The UTF-16 code units that character messages carry; the UTF-8 that SDL
// speaks goes through platform/system/utf8.h.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/system/utf8.h"

namespace plat {

// Appends one code point as one or two UTF-16 units.
void AppendUtf16(char32_t codePoint, std::vector<uint16_t>& out);

}  // namespace plat
