#pragma once
// Pieces of the hand-written XML of saved levels. Texts are escaped (&, <, >
// and the double quote) so that any name reads back as written; numbers are
// written so that the loader's number reader gives back the same value.

#include <cstdint>
#include <string>
#include <string_view>

// Appends ` name="value"` with the value escaped.
void AppendAttribute(std::wstring& out, std::wstring_view name, std::wstring_view value);
void AppendAttribute(std::wstring& out, std::wstring_view name, int32_t value);

// Appends the character, escaped when it would end a tag, a value or a text.
void AppendEscaped(std::wstring& out, wchar_t c);

// A float as the loader's reader reads it back: the stream's six significant
// digits when they already read back exactly and need no exponent (so texts
// written before stay the same); otherwise the shortest plain decimal text
// without exponent that reads back to the same float. The reader knows no
// exponent: 1500000 written as "1.5e+06" came back as 0.
std::wstring FormatExactFloat(float value);
