// Wide printf-style formatting.
//
// The C library's wide formatter reads a narrow "%s" or "%c" argument through
// the locale's multibyte rules: in the "C" locale every byte above 0x7F is an
// encoding error that fails the whole call, and the failure looks the same as
// a buffer that is too short. So the format is walked here. Text arguments are
// decoded and padded by this file (narrow ones as UTF-8, where a byte that is
// no UTF-8 becomes U+FFFD, as everywhere at the file boundary); only numbers
// and pointers go to the library, one conversion at a time, into a buffer
// sized for that conversion, so no call ever fails for want of room.
#include <algorithm>
#include <cstdarg>
#include <cstddef>
#include <cstdint>
#include <cwchar>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

#include "foundation/system/text.h"

namespace text {
namespace {

constexpr wchar_t kReplacement = 0xFFFD;
// Room for what the library writes besides width and precision: the longest
// is a long double in "%f", some 4,950 digits.
constexpr size_t kNumberRoom = 5000;
// A width or precision above this is refused, not allocated: the conversion
// writes nothing (its argument is still taken).
constexpr long long kMaxPadding = 1 << 24;

struct Arguments {
    va_list list;
};

struct Conversion {
    std::wstring flags;
    long long width = 0;
    long long precision = -1;  // -1: none given
    std::wstring length;
    wchar_t type = 0;

    bool LeftAligned() const { return flags.find(L'-') != std::wstring::npos; }
    bool Oversized() const { return width > kMaxPadding || precision > kMaxPadding; }
    bool Has(std::wstring_view modifier) const { return length.find(modifier) != std::wstring::npos; }
};

bool IsFlag(wchar_t c) { return c == L'-' || c == L'+' || c == L' ' || c == L'#' || c == L'0' || c == L'\''; }

bool IsDigit(wchar_t c) { return c >= L'0' && c <= L'9'; }

bool IsLengthModifier(wchar_t c) { return c != 0 && std::wcschr(L"hlLqjzt", c) != nullptr; }

long long ReadCount(const wchar_t* format, size_t& i) {
    long long value = 0;
    for (; IsDigit(format[i]); ++i) value = std::min(value * 10 + (format[i] - L'0'), kMaxPadding + 1);
    return value;
}

// Reads the conversion after a '%', taking '*' widths and precisions from the
// arguments; false when the format ends inside it.
bool ParseConversion(const wchar_t* format, size_t& i, Arguments& args, Conversion& out) {
    for (; IsFlag(format[i]); ++i) out.flags += format[i];
    if (format[i] == L'*') {
        ++i;
        long long width = va_arg(args.list, int);
        if (width < 0) {
            // A negative width asks for left alignment.
            out.flags += L'-';
            width = -width;
        }
        out.width = width;
    } else {
        out.width = ReadCount(format, i);
    }
    if (format[i] == L'.') {
        ++i;
        if (format[i] == L'*') {
            ++i;
            const int precision = va_arg(args.list, int);
            out.precision = precision < 0 ? -1 : precision;  // a negative one counts as none
        } else {
            out.precision = ReadCount(format, i);
        }
    }
    for (; IsLengthModifier(format[i]); ++i) out.length += format[i];
    if (format[i] == 0) return false;
    out.type = format[i++];
    return true;
}

void AppendPadded(std::wstring& out, std::wstring_view text, const Conversion& c) {
    if (c.Oversized()) return;
    if (c.precision >= 0 && text.size() > static_cast<size_t>(c.precision))
        text = text.substr(0, static_cast<size_t>(c.precision));
    const size_t width = static_cast<size_t>(c.width);
    const size_t pad = width > text.size() ? width - text.size() : 0;
    if (!c.LeftAligned()) out.append(pad, L' ');
    out += text;
    if (c.LeftAligned()) out.append(pad, L' ');
}

bool IsContinuation(char b) { return (static_cast<unsigned char>(b) & 0xC0) == 0x80; }

// A precision bounds what is read, as the library's does: an array that is
// not terminated may be passed with one. Reading stops after the bytes of
// that many characters (a lead byte and the continuation bytes it announces).
std::wstring NarrowText(const char* s, long long precision) {
    if (s == nullptr) return L"(null)";
    if (precision < 0) return FromUtf8(s);
    size_t end = 0;
    for (long long chars = 0; chars < precision && s[end] != 0; ++chars) {
        const auto lead = static_cast<unsigned char>(s[end]);
        const size_t length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
        size_t n = 1;
        while (n < length && IsContinuation(s[end + n])) ++n;
        end += n;
    }
    return FromUtf8(std::string_view(s, end));
}

std::wstring_view WideText(const wchar_t* s, long long precision) {
    if (s == nullptr) return L"(null)";
    return std::wstring_view(s, precision < 0 ? std::wcslen(s) : wcsnlen(s, static_cast<size_t>(precision)));
}

template <class T>
void AppendNumber(std::wstring& out, const Conversion& c, T value) {
    if (c.Oversized()) return;
    std::wstring conversion = L"%" + c.flags;
    if (c.width > 0) conversion += std::to_wstring(c.width);
    if (c.precision >= 0) conversion += L"." + std::to_wstring(c.precision);
    conversion += c.length;
    conversion += c.type;
    std::vector<wchar_t> buffer(static_cast<size_t>(c.width + std::max(c.precision, 0LL)) + kNumberRoom);
    const int written = std::swprintf(buffer.data(), buffer.size(), conversion.c_str(), value);
    if (written > 0) out.append(buffer.data(), static_cast<size_t>(written));
}

template <class Signed>
void AppendInteger(std::wstring& out, const Conversion& c, Arguments& args) {
    using Unsigned = std::make_unsigned_t<Signed>;
    const bool isSigned = c.type == L'd' || c.type == L'i';
    if (isSigned)
        AppendNumber(out, c, va_arg(args.list, Signed));
    else
        AppendNumber(out, c, va_arg(args.list, Unsigned));
}

void AppendInteger(std::wstring& out, const Conversion& c, Arguments& args) {
    if (c.Has(L"ll") || c.Has(L"q") || c.Has(L"L"))
        AppendInteger<long long>(out, c, args);
    else if (c.Has(L"l"))
        AppendInteger<long>(out, c, args);
    else if (c.Has(L"j"))
        AppendInteger<intmax_t>(out, c, args);
    else if (c.Has(L"z") || c.Has(L"t"))
        AppendInteger<ptrdiff_t>(out, c, args);
    else
        AppendInteger<int>(out, c, args);  // "h" and "hh" arrive promoted; the library narrows them
}

// One conversion; `written` is its text in the format, kept for a type this
// formatter does not know (positional arguments among them).
void Convert(std::wstring& out, const Conversion& c, Arguments& args, std::wstring_view written) {
    const bool wide = c.Has(L"l");
    switch (c.type) {
        case L'%': out += L'%'; break;
        case L'd':
        case L'i':
        case L'o':
        case L'u':
        case L'x':
        case L'X': AppendInteger(out, c, args); break;
        case L'f':
        case L'F':
        case L'e':
        case L'E':
        case L'g':
        case L'G':
        case L'a':
        case L'A':
            if (c.Has(L"L"))
                AppendNumber(out, c, va_arg(args.list, long double));
            else
                AppendNumber(out, c, va_arg(args.list, double));
            break;
        case L'p': AppendNumber(out, c, va_arg(args.list, void*)); break;
        case L'c':
        case L'C': {
            wchar_t ch;
            if (wide || c.type == L'C') {
                ch = static_cast<wchar_t>(va_arg(args.list, wint_t));
            } else {
                // One byte is UTF-8 only below 0x80.
                const auto byte = static_cast<unsigned char>(va_arg(args.list, int));
                ch = byte < 0x80 ? static_cast<wchar_t>(byte) : kReplacement;
            }
            AppendPadded(out, std::wstring_view(&ch, 1), c);
            break;
        }
        case L's':
        case L'S':
            if (wide || c.type == L'S')
                AppendPadded(out, WideText(va_arg(args.list, const wchar_t*), c.precision), c);
            else
                AppendPadded(out, NarrowText(va_arg(args.list, const char*), c.precision), c);
            break;
        case L'n':
            // The count is not stored: no caller needs it, and it would make a
            // format able to write memory.
            va_arg(args.list, void*);
            break;
        default: out += written; break;
    }
}

}  // namespace

std::wstring WFormat(const wchar_t* format, ...) {
    va_list args;
    va_start(args, format);
    std::wstring out = WFormatV(format, args);
    va_end(args);
    return out;
}

std::wstring WFormatV(const wchar_t* format, va_list args) {
    std::wstring out;
    if (format == nullptr) return out;
    Arguments a;
    va_copy(a.list, args);
    for (size_t i = 0; format[i] != 0;) {
        if (format[i] != L'%') {
            out += format[i++];
            continue;
        }
        const size_t start = i++;
        Conversion c;
        if (!ParseConversion(format, i, a, c)) {
            out.append(format + start);
            break;
        }
        Convert(out, c, a, std::wstring_view(format + start, i - start));
    }
    va_end(a.list);
    return out;
}

}  // namespace text
