#include "foundation/text.h"

#include <cstdarg>
#include <cstdio>
#include <cwchar>
#include <vector>

namespace text {
namespace {

constexpr char32_t kReplacement = 0xFFFD;

bool IsScalar(char32_t c) { return c <= 0x10FFFF && (c < 0xD800 || c > 0xDFFF); }

// The code point at text[i], advancing i. A UTF-16 surrogate pair that reached
// us as two characters (typed text from a UTF-16 source) counts as one.
char32_t NextCodePoint(std::wstring_view text, size_t& i) {
    auto c = static_cast<char32_t>(text[i++]);
    if (c >= 0xD800 && c <= 0xDBFF && i < text.size()) {
        auto low = static_cast<char32_t>(text[i]);
        if (low >= 0xDC00 && low <= 0xDFFF) {
            ++i;
            return 0x10000 + ((c - 0xD800) << 10) + (low - 0xDC00);
        }
    }
    return IsScalar(c) ? c : kReplacement;
}

}  // namespace

std::string ToUtf8(std::wstring_view text) {
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size();) {
        char32_t c = NextCodePoint(text, i);
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
    return out;
}

std::wstring FromUtf8(std::string_view bytes) {
    std::wstring out;
    out.reserve(bytes.size());
    size_t i = 0;
    while (i < bytes.size()) {
        auto b0 = static_cast<unsigned char>(bytes[i]);
        int extra = 0;
        char32_t c = 0;
        char32_t least = 0;
        if (b0 < 0x80) {
            out += static_cast<wchar_t>(b0);
            ++i;
            continue;
        } else if ((b0 & 0xE0) == 0xC0) {
            extra = 1; c = b0 & 0x1F; least = 0x80;
        } else if ((b0 & 0xF0) == 0xE0) {
            extra = 2; c = b0 & 0x0F; least = 0x800;
        } else if ((b0 & 0xF8) == 0xF0) {
            extra = 3; c = b0 & 0x07; least = 0x10000;
        } else {
            out += static_cast<wchar_t>(kReplacement);
            ++i;
            continue;
        }
        size_t j = i + 1;
        bool ok = true;
        for (int k = 0; k < extra; ++k, ++j) {
            if (j >= bytes.size() || (static_cast<unsigned char>(bytes[j]) & 0xC0) != 0x80) {
                ok = false;
                break;
            }
            c = (c << 6) | (static_cast<unsigned char>(bytes[j]) & 0x3F);
        }
        if (!ok || c < least || !IsScalar(c)) {
            out += static_cast<wchar_t>(kReplacement);
            i = j;  // resume at the first byte that did not belong to the sequence
            continue;
        }
        out += static_cast<wchar_t>(c);
        i = j;
    }
    return out;
}

std::string ToUtf16LE(std::wstring_view text) {
    std::string out;
    out.reserve(text.size() * 2);
    auto unit = [&out](uint32_t u) {
        out += static_cast<char>(u & 0xFF);
        out += static_cast<char>((u >> 8) & 0xFF);
    };
    for (size_t i = 0; i < text.size();) {
        char32_t c = NextCodePoint(text, i);
        if (c >= 0x10000) {
            c -= 0x10000;
            unit(0xD800 + (c >> 10));
            unit(0xDC00 + (c & 0x3FF));
        } else {
            unit(c);
        }
    }
    return out;
}

std::wstring FromUtf16LE(std::string_view bytes) {
    std::wstring out;
    out.reserve(bytes.size() / 2);
    size_t n = bytes.size() / 2;
    auto at = [&bytes](size_t k) {
        return static_cast<uint32_t>(static_cast<unsigned char>(bytes[2 * k])) |
               (static_cast<uint32_t>(static_cast<unsigned char>(bytes[2 * k + 1])) << 8);
    };
    for (size_t k = 0; k < n; ++k) {
        uint32_t u = at(k);
        if (u >= 0xD800 && u <= 0xDBFF && k + 1 < n) {
            uint32_t low = at(k + 1);
            if (low >= 0xDC00 && low <= 0xDFFF) {
                out += static_cast<wchar_t>(0x10000 + ((u - 0xD800) << 10) + (low - 0xDC00));
                ++k;
                continue;
            }
        }
        if (u >= 0xD800 && u <= 0xDFFF) u = kReplacement;
        out += static_cast<wchar_t>(u);
    }
    if (bytes.size() % 2) out += static_cast<wchar_t>(kReplacement);
    return out;
}

bool NarrowAscii(std::wstring_view text, std::string& out) {
    out.clear();
    out.reserve(text.size());
    for (wchar_t c : text) {
        if (static_cast<uint32_t>(c) > 0x7F) {
            out.clear();
            return false;
        }
        out += static_cast<char>(c);
    }
    return true;
}

std::wstring Widen(std::string_view bytes) {
    std::wstring out;
    out.reserve(bytes.size());
    for (char b : bytes) out += static_cast<wchar_t>(static_cast<unsigned char>(b));
    return out;
}

std::string Format(const char* format, ...) {
    va_list args;
    va_start(args, format);
    std::string out = FormatV(format, args);
    va_end(args);
    return out;
}

std::string FormatV(const char* format, va_list args) {
    va_list again;
    va_copy(again, args);
    int needed = std::vsnprintf(nullptr, 0, format, args);
    std::string out;
    if (needed > 0) {
        out.resize(static_cast<size_t>(needed) + 1);
        std::vsnprintf(out.data(), out.size(), format, again);
        out.resize(static_cast<size_t>(needed));
    }
    va_end(again);
    return out;
}

std::wstring WFormat(const wchar_t* format, ...) {
    va_list args;
    va_start(args, format);
    std::wstring out = WFormatV(format, args);
    va_end(args);
    return out;
}

std::wstring WFormatV(const wchar_t* format, va_list args) {
    // vswprintf cannot report the needed size, so grow until it fits.
    std::vector<wchar_t> buffer(256);
    for (;;) {
        va_list again;
        va_copy(again, args);
        int written = std::vswprintf(buffer.data(), buffer.size(), format, again);
        va_end(again);
        if (written >= 0) return std::wstring(buffer.data(), static_cast<size_t>(written));
        if (buffer.size() >= (size_t{1} << 26)) return std::wstring();  // a bad format, not a short buffer
        buffer.resize(buffer.size() * 2);
    }
}

}  // namespace text
