#include "platform/window/wide_text_internal.h"

namespace plat {
namespace {

constexpr char32_t kReplacement = 0xFFFD;

bool IsScalar(char32_t c) { return c <= 0x10FFFF && (c < 0xD800 || c > 0xDFFF); }

void AppendUtf8(char32_t c, std::string& out) {
    if (!IsScalar(c)) c = kReplacement;
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

}  // namespace

std::string WideToUtf8(std::wstring_view text) {
    std::string out;
    out.reserve(text.size());
    for (wchar_t w : text) AppendUtf8(static_cast<char32_t>(w), out);
    return out;
}

std::wstring Utf8ToWide(std::string_view text) {
    std::wstring out;
    size_t i = 0;
    while (i < text.size()) {
        const auto lead = static_cast<unsigned char>(text[i]);
        int extra = lead < 0x80 ? 0 : (lead >> 5) == 0x6 ? 1 : (lead >> 4) == 0xE ? 2 : (lead >> 3) == 0x1E ? 3 : -1;
        if (extra < 0 || i + static_cast<size_t>(extra) >= text.size()) {
            out += static_cast<wchar_t>(kReplacement);
            ++i;
            continue;
        }
        char32_t c = extra == 0 ? lead : (lead & (0x3F >> extra));
        bool ok = true;
        for (int k = 1; k <= extra; ++k) {
            const auto b = static_cast<unsigned char>(text[i + k]);
            if ((b & 0xC0) != 0x80) {
                ok = false;
                break;
            }
            c = (c << 6) | (b & 0x3F);
        }
        // Overlong forms are refused like any other malformed sequence.
        static constexpr char32_t kMinimum[] = {0, 0x80, 0x800, 0x10000};
        if (!ok || c < kMinimum[extra] || !IsScalar(c)) {
            out += static_cast<wchar_t>(kReplacement);
            ++i;
            continue;
        }
        out += static_cast<wchar_t>(c);
        i += static_cast<size_t>(extra) + 1;
    }
    return out;
}

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
