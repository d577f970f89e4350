#pragma once
// Text at the file boundary.
//
// In memory every text is a std::wstring (32-bit characters on Linux). Files
// and byte-exact results use UTF-8 or UTF-16LE; these helpers are the only
// place where that conversion happens. Decoders never fail: a malformed
// sequence becomes U+FFFD so that bad input cannot stop a caller.
//
// Wide formatting: "%s" in a wide format is a *narrow* string, which crashes
// or prints garbage when handed a wchar_t*. Use WFormat with "%ls" for wide
// arguments, or better, build text with these helpers. Narrow arguments are
// read as UTF-8 (a byte that is no UTF-8 becomes U+FFFD); positional
// arguments ("%1$d") are not supported and "%n" stores nothing.

#include <cstdarg>
#include <cstdint>
#include <string>
#include <string_view>

namespace text {

std::string ToUtf8(std::wstring_view text);
std::wstring FromUtf8(std::string_view bytes);

// UTF-16LE without a byte-order mark; characters above U+FFFF become pairs.
std::string ToUtf16LE(std::wstring_view text);
std::wstring FromUtf16LE(std::string_view bytes);

// Narrowing through the "C" locale's wide-to-multibyte rule: succeeds only
// when every character is 7-bit; otherwise `out` is cleared and false returned.
bool NarrowAscii(std::wstring_view text, std::string& out);

// Widening maps each byte 0-255 to the character of the same value.
std::wstring Widen(std::string_view bytes);

// The value rounded to `significant` significant digits (1 to 17), spelled
// out without exponent and without trailing zeros after the point: 1.5e6 with
// two digits is "1500000", 0.000125 with two is "0.00013". For writers whose
// readers know no exponent.
std::string PlainDecimal(double value, int significant);

// printf-style formatting with the format checked by the compiler.
std::string Format(const char* format, ...) __attribute__((format(printf, 1, 2)));
// Wide printf-style formatting; "%ls" for wide strings, "%s" for narrow UTF-8 ones.
std::wstring WFormat(const wchar_t* format, ...);

// The same over an argument list, for callers with variadic signatures of their own.
std::string FormatV(const char* format, va_list args);
std::wstring WFormatV(const wchar_t* format, va_list args);

}  // namespace text
