#include "foundation/system/text.h"

#include "platform/system/utf8.h"

#include <cstdarg>
#include <cstdio>
#include <cstdlib>

namespace text {
namespace {

constexpr char32_t kReplacement = 0xFFFD;

}  // namespace

std::string ToUtf8(std::wstring_view text) { return plat::WideToUtf8(text); }

std::wstring FromUtf8(std::string_view bytes) { return plat::Utf8ToWide(bytes); }

std::string ToUtf16LE(std::wstring_view text) {
    std::string out;
    out.reserve(text.size() * 2);
    auto unit = [&out](uint32_t u) {
        out += static_cast<char>(u & 0xFF);
        out += static_cast<char>((u >> 8) & 0xFF);
    };
    for (size_t i = 0; i < text.size();) {
        char32_t c = plat::NextCodePoint(text, i);
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

std::string PlainDecimal(double value, int significant) {
    char scientific[64];
    std::snprintf(scientific, sizeof scientific, "%.*e", significant - 1, value);
    std::string mantissa = scientific;
    const size_t e = mantissa.find('e');
    if (e == std::string::npos) return mantissa;  // inf or nan: there is no plain form
    const int exponent = std::atoi(mantissa.c_str() + e + 1);
    mantissa.resize(e);
    std::string sign;
    if (mantissa.front() == '-') {
        sign = "-";
        mantissa.erase(0, 1);
    }
    std::string digits;
    for (char c : mantissa)
        if (c != '.') digits += c;
    // The decimal point stands after `point` digits.
    const int point = exponent + 1;
    std::string plain;
    if (point <= 0) {
        plain = "0." + std::string(static_cast<size_t>(-point), '0') + digits;
    } else if (static_cast<size_t>(point) >= digits.size()) {
        plain = digits + std::string(static_cast<size_t>(point) - digits.size(), '0');
    } else {
        plain = digits.substr(0, static_cast<size_t>(point)) + "." + digits.substr(static_cast<size_t>(point));
    }
    if (plain.find('.') != std::string::npos) {
        plain.erase(plain.find_last_not_of('0') + 1);
        if (plain.back() == '.') plain.pop_back();
    }
    return sign + plain;
}

}  // namespace text
