#include "platform/window/wide_text_internal.h"

namespace plat {
namespace {

constexpr char32_t kReplacement = 0xFFFD;

bool IsScalar(char32_t c) { return c <= 0x10FFFF && (c < 0xD800 || c > 0xDFFF); }

}  // namespace

void AppendUtf16(char32_t c, std::vector<uint16_t>& out) {
    if (!IsScalar(c)) c = kReplacement;
    if (c < 0x10000) {
        out.push_back(static_cast<uint16_t>(c));
    } else {
        c -= 0x10000;
        out.push_back(static_cast<uint16_t>(0xD800 | (c >> 10)));
        out.push_back(static_cast<uint16_t>(0xDC00 | (c & 0x3FF)));
    }
}

}  // namespace plat
