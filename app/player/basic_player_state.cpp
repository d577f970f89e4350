#include "app/player/basic_player_state.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

#include "foundation/expression/expression.h"
#include "foundation/system/text.h"

BasicPlayerState::~BasicPlayerState() {
    if (current_ == this) current_ = nullptr;
}

void BasicPlayerState::SetPlayTime(int hours, int minutes, int centiseconds) {
    hours_ = std::clamp(hours, 0, kMaxHours);
    minutes_ = std::clamp(minutes, 0, kMinutesPerHour - 1);
    centiseconds_ = std::clamp(centiseconds, 0, kCentisecondsPerMinute - 1);
}

std::wstring BasicPlayerState::FormatPlayTime() const {
    return L"started=\"" + std::to_wstring(started_ ? 1 : 0) + L"\" hours=\"" + std::to_wstring(hours_) +
           L"\" minutes=\"" + std::to_wstring(minutes_) + L"\" centiseconds=\"" + std::to_wstring(centiseconds_) +
           L"\"";
}

std::wstring BasicPlayerState::WriteSymbols() const {
    std::wstring out;
    for (const auto& [name, value] : symbols_) {
        // Unescaped, a quote or '<' in a name or value made the saved profile unreadable.
        out += L"<symbol name=\"" + EscapeXmlAttribute(name) + L"\" value=\"" +
               EscapeXmlAttribute(SymbolValueText(value)) + L"\"/>";
    }
    return out;
}

namespace {

// The profile reader evaluates each symbol value as an expression, with no
// variables: these texts read back as the value they were written from.

bool ReadsBackAs(std::wstring_view text, const PropertyValue& value) {
    VariableMap none;
    ExpressionEvaluator evaluator(none);
    const PropertyValue read = evaluator.Evaluate(text);
    if (read.GetTag() != value.GetTag()) return false;
    if (value.Is(PropertyValue::Tag::Real)) {
        const float a = read.ToReal(), b = value.ToReal();
        return std::memcmp(&a, &b, sizeof a) == 0 || (std::isnan(a) && std::isnan(b));
    }
    return read.ToString() == value.ToString();
}

// The expression language knows no exponent and reads digits without a point
// as an int: the shortest plain decimal with a point that reads back exactly.
std::wstring RealText(float value) {
    if (!std::isfinite(value)) {
        // No number text reads as these: they are made by a function the
        // language computes in full precision.
        const wchar_t* text = std::isnan(value) ? L"sqrt(-1.0)" : value > 0 ? L"pow(10.0,400.0)" : L"-pow(10.0,400.0)";
        return ReadsBackAs(text, PropertyValue(value)) ? text : L"0.0";
    }
    const std::wstring sign = std::signbit(value) ? L"-" : L"";
    const double magnitude = std::fabs(static_cast<double>(value));
    std::wstring best;
    for (int significant = 1; significant <= 17; ++significant) {
        std::wstring digits = text::Widen(text::PlainDecimal(magnitude, significant));
        if (digits.find(L'.') == std::wstring::npos) digits += L".0";
        std::wstring candidate = sign + digits;
        if (significant == 9) best = candidate;  // nine digits tell every float apart
        if (ReadsBackAs(candidate, PropertyValue(value))) return candidate;
    }
    return best;
}

// literal(...) gives its text back unchanged up to the ")" that matches its
// "(", so a text whose parentheses pair up fits in one; a parenthesis
// without a partner is spelled as a piece of "()" and joined on with "+".
std::wstring LiteralText(std::wstring_view text) {
    std::vector<bool> unpaired(text.size(), false);
    std::vector<size_t> open;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == L'(') {
            open.push_back(i);
        } else if (text[i] == L')') {
            if (open.empty())
                unpaired[i] = true;
            else
                open.pop_back();
        }
    }
    for (size_t i : open) unpaired[i] = true;
    std::wstring out;
    size_t start = 0;
    auto join = [&out](std::wstring_view piece) {
        if (!out.empty()) out += L'+';
        out += piece;
    };
    for (size_t i = 0; i <= text.size(); ++i) {
        if (i < text.size() && !unpaired[i]) continue;
        if (i > start || (out.empty() && i == text.size()))
            join(L"literal(" + std::wstring(text.substr(start, i - start)) + L")");
        if (i < text.size()) join(text[i] == L'(' ? L"substring(literal(()),0,1)" : L"substring(literal(()),1)");
        start = i + 1;
    }
    return out;
}

std::wstring StringText(const std::wstring& text) {
    // A plain word stays as it always was written; without a "(" its reading
    // calls no function, so it cannot depend on anything but the text.
    if (text.find(L'(') == std::wstring::npos && ReadsBackAs(text, PropertyValue(text))) return text;
    return LiteralText(text);
}

}  // namespace

std::wstring SymbolValueText(const PropertyValue& value) {
    if (value.Is(PropertyValue::Tag::Real)) return RealText(value.ToReal());
    if (value.Is(PropertyValue::Tag::String)) return StringText(value.ToString());
    if (value.Is(PropertyValue::Tag::Color)) {
        const Color c = value.ToColor();
        std::wstring call = text::WFormat(L"color(%d,%d,%d,%d)", c.r, c.g, c.b, c.a);
        if (ReadsBackAs(call, value)) return call;
    }
    // References to live objects have no text that could bring them back.
    return value.CStr();
}

std::wstring EscapeXmlAttribute(std::wstring_view text) {
    std::wstring out;
    out.reserve(text.size());
    for (wchar_t c : text) {
        switch (c) {
            case L'&': out += L"&amp;"; break;
            case L'<': out += L"&lt;"; break;
            case L'>': out += L"&gt;"; break;
            case L'"': out += L"&quot;"; break;
            case L'\n': out += L"&cr;"; break;  // a bare one would read back as a blank
            default: out += c;
        }
    }
    return out;
}
