#include "game/data/catalogues/xml_writing.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>

#include "foundation/files/parser.h"
#include "foundation/system/text.h"

namespace {

bool ReadsBackAs(const std::string& text, float value) { return TextToFloat(text::Widen(text)) == value; }

}  // namespace

void AppendEscaped(std::wstring& out, wchar_t c) {
    switch (c) {
        case L'&': out += L"&amp;"; break;
        case L'<': out += L"&lt;"; break;
        case L'>': out += L"&gt;"; break;
        case L'"': out += L"&quot;"; break;
        case L'\n': out += L"&cr;"; break;  // a bare one would read back as a blank
        default: out += c; break;
    }
}

void AppendAttribute(std::wstring& out, std::wstring_view name, std::wstring_view value) {
    out += L' ';
    out += name;
    out += L"=\"";
    for (wchar_t c : value) AppendEscaped(out, c);
    out += L'"';
}

void AppendAttribute(std::wstring& out, std::wstring_view name, int32_t value) {
    AppendAttribute(out, name, std::to_wstring(value));
}

std::wstring FormatExactFloat(float value) {
    // The reader turns "inf" and "nan" into 0, so a value that overflowed while
    // reading (a long digit string) would change at every save: write the
    // nearest finite float instead, which reads back as itself.
    if (std::isnan(value)) value = 0.0f;
    if (std::isinf(value)) value = std::copysign(std::numeric_limits<float>::max(), value);
    char six[64];
    std::snprintf(six, sizeof six, "%g", static_cast<double>(value));
    if (std::strchr(six, 'e') == nullptr && ReadsBackAs(six, value)) return text::Widen(six);
    std::string plain;
    for (int significant = 1; significant <= 17; ++significant) {
        plain = text::PlainDecimal(static_cast<double>(value), significant);
        if (ReadsBackAs(plain, value)) break;
    }
    return text::Widen(plain);
}
