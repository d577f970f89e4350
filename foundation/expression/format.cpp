#include "foundation/expression/format.h"

#include <cstdint>
#include <cstdio>
#include <optional>

#include "foundation/system/text.h"

namespace {

constexpr int kMaxField = 1024;

// One parsed, validated conversion of a segment.
struct Conversion {
    std::string flags;
    int width = -1;
    int precision = -1;
    char kind = 0;
    size_t end = 0;  // index in the segment just after the conversion letter
};

bool IsDigit(wchar_t c) { return c >= L'0' && c <= L'9'; }

// Reads a run of digits, refusing fields that would only serve to bloat the output.
bool ReadField(std::wstring_view s, size_t& i, int& out) {
    int value = 0;
    while (i < s.size() && IsDigit(s[i])) {
        value = value * 10 + (s[i++] - L'0');
        if (value > kMaxField) return false;
    }
    out = value;
    return true;
}

// The segment starts with its "%".
std::optional<Conversion> ParseConversion(std::wstring_view s) {
    Conversion conv;
    size_t i = 1;
    while (i < s.size() && std::wstring_view(L"-+ #0").find(s[i]) != std::wstring_view::npos) {
        if (conv.flags.find(static_cast<char>(s[i])) == std::string::npos) conv.flags += static_cast<char>(s[i]);
        ++i;
    }
    if (i < s.size() && IsDigit(s[i]) && !ReadField(s, i, conv.width)) return std::nullopt;
    if (i < s.size() && s[i] == L'.') {
        ++i;
        if (!ReadField(s, i, conv.precision)) return std::nullopt;
    }
    // Length letters only ever sized the C argument; ours is converted anyway.
    while (i < s.size() && std::wstring_view(L"hlLqjzt").find(s[i]) != std::wstring_view::npos) ++i;
    if (i >= s.size() || std::wstring_view(L"diouxXeEfgGcs").find(s[i]) == std::wstring_view::npos) {
        return std::nullopt;
    }
    conv.kind = static_cast<char>(s[i]);
    conv.end = i + 1;
    return conv;
}

// A C format built only from validated pieces.
std::string BuildFormat(const Conversion& conv) {
    std::string format = "%";
    for (char flag : conv.flags) {
        // "#" means nothing to the signed and decimal conversions, and C leaves it undefined there.
        if (flag == '#' && (conv.kind == 'd' || conv.kind == 'i' || conv.kind == 'u')) continue;
        format += flag;
    }
    if (conv.width >= 0) format += std::to_string(conv.width);
    if (conv.precision >= 0) {
        format += '.';
        format += std::to_string(conv.precision);
    }
    format += conv.kind;
    return format;
}

template <class T>
std::wstring FormatNumber(const Conversion& conv, T value) {
    std::string format = BuildFormat(conv);
    int size = std::snprintf(nullptr, 0, format.c_str(), value);
    if (size < 0) return {};
    std::string out(static_cast<size_t>(size) + 1, '\0');
    std::snprintf(out.data(), out.size(), format.c_str(), value);
    out.resize(static_cast<size_t>(size));
    return text::Widen(out);
}

// Text conversions are laid out here, so wide characters need no C locale.
std::wstring FormatText(const Conversion& conv, std::wstring value) {
    if (conv.kind == 's' && conv.precision >= 0 && value.size() > static_cast<size_t>(conv.precision)) {
        value.resize(static_cast<size_t>(conv.precision));
    }
    if (conv.width > 0 && value.size() < static_cast<size_t>(conv.width)) {
        std::wstring pad(static_cast<size_t>(conv.width) - value.size(), L' ');
        value = conv.flags.find('-') != std::string::npos ? value + pad : pad + value;
    }
    return value;
}

std::wstring FormatArgument(const Conversion& conv, const PropertyValue* arg) {
    static const PropertyValue kMissingNumber(0);
    const PropertyValue& value = arg ? *arg : kMissingNumber;
    switch (conv.kind) {
        case 'd':
        case 'i': return FormatNumber(conv, static_cast<int>(value.ToInt()));
        case 'o':
        case 'u':
        case 'x':
        case 'X': return FormatNumber(conv, static_cast<unsigned>(static_cast<uint32_t>(value.ToInt())));
        case 'e':
        case 'E':
        case 'f':
        case 'g':
        case 'G': return FormatNumber(conv, static_cast<double>(value.ToReal()));
        case 'c': {
            std::wstring ch;
            if (!arg) {
            } else if (arg->Is(PropertyValue::Tag::String)) {
                if (wchar_t first = arg->FirstChar()) ch.assign(1, first);
            } else if (int32_t code = arg->ToInt(); code > 0 && code <= 0x10FFFF) {
                ch.assign(1, static_cast<wchar_t>(code));
            }
            return FormatText(conv, std::move(ch));
        }
        default: return FormatText(conv, arg ? arg->ToString() : std::wstring());
    }
}

}  // namespace

std::wstring FormatWithArguments(std::wstring_view p, std::span<const PropertyValue> args) {
    size_t i = p.find(L'%');
    std::wstring out(p.substr(0, i));
    size_t nextArg = 0;
    while (i != std::wstring_view::npos) {
        size_t next = i + 2 <= p.size() ? p.find(L'%', i + 2) : std::wstring_view::npos;
        std::wstring_view segment = p.substr(i, next == std::wstring_view::npos ? std::wstring_view::npos : next - i);
        if (segment.size() > 1 && segment[1] == L'%') {
            out.append(segment.substr(1));
        } else {
            const PropertyValue* arg = nextArg < args.size() ? &args[nextArg] : nullptr;
            ++nextArg;
            if (std::optional<Conversion> conv = ParseConversion(segment)) {
                out += FormatArgument(*conv, arg);
                out.append(segment.substr(conv->end));
            } else {
                out.append(segment);
            }
        }
        i = next;
    }
    return out;
}
