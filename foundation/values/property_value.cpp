#include "foundation/values/property_value.h"

#include <array>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>

#include "foundation/system/text.h"

namespace {

bool IsCSpace(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

int32_t Wrap(uint32_t v) { return static_cast<int32_t>(v); }

std::wstring FormatReal(float v) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%g", static_cast<double>(v));
    return text::Widen(buffer);
}

}  // namespace

int32_t LenientTextToInt(std::wstring_view wide) {
    std::string s;
    if (!text::NarrowAscii(wide, s)) return 0;
    size_t i = 0;
    while (i < s.size() && IsCSpace(s[i])) ++i;
    bool negative = false;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) negative = s[i++] == '-';
    // Accumulate in 64 bits and saturate, as the C library's reader does.
    int64_t value = 0;
    for (; i < s.size() && IsDigit(s[i]); ++i) {
        value = value * 10 + (s[i] - '0');
        if (value > int64_t{1} << 32) value = int64_t{1} << 32;
    }
    if (negative) value = -value;
    if (value > std::numeric_limits<int32_t>::max()) return std::numeric_limits<int32_t>::max();
    if (value < std::numeric_limits<int32_t>::min()) return std::numeric_limits<int32_t>::min();
    return static_cast<int32_t>(value);
}

float LenientTextToReal(std::wstring_view wide) {
    std::string s;
    if (!text::NarrowAscii(wide, s)) return 0.0f;
    size_t i = 0;
    while (i < s.size() && IsCSpace(s[i])) ++i;
    size_t start = i;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) ++i;
    size_t digits = 0;
    while (i < s.size() && IsDigit(s[i])) ++i, ++digits;
    if (i < s.size() && s[i] == '.') {
        ++i;
        while (i < s.size() && IsDigit(s[i])) ++i, ++digits;
    }
    if (digits == 0) return 0.0f;
    // An exponent counts only when digits follow it.
    if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
        size_t j = i + 1;
        if (j < s.size() && (s[j] == '+' || s[j] == '-')) ++j;
        if (j < s.size() && IsDigit(s[j])) {
            while (j < s.size() && IsDigit(s[j])) ++j;
            i = j;
        }
    }
    std::string number = s.substr(start, i - start);
    return static_cast<float>(std::strtod(number.c_str(), nullptr));
}

PropertyValue PropertyValue::MakeReference(Tag tag, const ExtendedPropertyInterface* object) {
    PropertyValue v;
    Reference ref{object ? object->Anchor() : nullptr};
    switch (tag) {
        case Tag::Widget: v.data_.emplace<5>(std::move(ref)); break;
        case Tag::Image: v.data_.emplace<6>(std::move(ref)); break;
        default: v.data_.emplace<7>(std::move(ref)); break;
    }
    return v;
}

PropertyValue PropertyValue::FromWidget(const ExtendedPropertyInterface* w) { return MakeReference(Tag::Widget, w); }
PropertyValue PropertyValue::FromImage(const ExtendedPropertyInterface* i) { return MakeReference(Tag::Image, i); }
PropertyValue PropertyValue::FromPropertyInterface(const ExtendedPropertyInterface* o) {
    return MakeReference(Tag::PropertyInterface, o);
}

const LiveAnchor* PropertyValue::AnchorOf() const {
    switch (data_.index()) {
        case 5: return std::get<5>(data_).anchor.get();
        case 6: return std::get<6>(data_).anchor.get();
        case 7: return std::get<7>(data_).anchor.get();
        default: return nullptr;
    }
}

ExtendedPropertyInterface* PropertyValue::Target() const {
    const LiveAnchor* anchor = AnchorOf();
    return anchor ? anchor->target : nullptr;
}

ExtendedPropertyInterface* PropertyValue::ToPropertyInterface() const { return Target(); }

int32_t PropertyValue::ToInt() const {
    switch (GetTag()) {
        case Tag::Bool: return std::get<0>(data_) ? 1 : 0;
        case Tag::Int: return std::get<1>(data_);
        case Tag::Real: {
            float f = std::get<2>(data_);
            if (std::isnan(f)) return 0;
            if (f >= 2147483648.0f) return std::numeric_limits<int32_t>::max();
            if (f <= -2147483648.0f) return std::numeric_limits<int32_t>::min();
            return static_cast<int32_t>(f);
        }
        case Tag::String: return LenientTextToInt(std::get<3>(data_));
        case Tag::Color: {
            // The packed straight (not premultiplied) colour.
            const ::Color& c = std::get<4>(data_);
            return Wrap((static_cast<uint32_t>(c.a & 0xFF) << 24) | (static_cast<uint32_t>(c.r & 0xFF) << 16) |
                        (static_cast<uint32_t>(c.g & 0xFF) << 8) | static_cast<uint32_t>(c.b & 0xFF));
        }
        default: {
            // Identity: the serial id of the referenced object, 0 for a null reference.
            const LiveAnchor* anchor = AnchorOf();
            return anchor ? Wrap(anchor->id) : 0;
        }
    }
}

float PropertyValue::ToReal() const {
    switch (GetTag()) {
        case Tag::Bool: return std::get<0>(data_) ? 1.0f : 0.0f;
        case Tag::Int: return static_cast<float>(std::get<1>(data_));
        case Tag::Real: return std::get<2>(data_);
        case Tag::String: return LenientTextToReal(std::get<3>(data_));
        default: return static_cast<float>(ToInt());
    }
}

bool PropertyValue::ToBool() const {
    switch (GetTag()) {
        case Tag::Bool: return std::get<0>(data_);
        case Tag::Int: return std::get<1>(data_) != 0;
        case Tag::Real: return std::get<2>(data_) != 0.0f;  // NaN != 0 holds, so NaN is true
        case Tag::String: {
            const std::wstring& s = std::get<3>(data_);
            return s == L"true" || LenientTextToReal(s) != 0.0f;
        }
        case Tag::Color: return std::get<4>(data_).a != 0;
        default: return Target() != nullptr;  // a reference is true while its object lives
    }
}

std::wstring PropertyValue::ToString() const {
    switch (GetTag()) {
        case Tag::Bool: return std::get<0>(data_) ? L"true" : L"false";
        case Tag::Int: return std::to_wstring(std::get<1>(data_));
        case Tag::Real: return FormatReal(std::get<2>(data_));
        case Tag::String: return std::get<3>(data_);
        case Tag::Color: {
            const ::Color& c = std::get<4>(data_);
            return text::WFormat(L"%d,%d,%d,%d", c.r, c.g, c.b, c.a);
        }
        default: {
            ExtendedPropertyInterface* target = Target();
            return target ? target->ReferenceText() : std::wstring();
        }
    }
}

::Color PropertyValue::ToColor() const {
    if (Is(Tag::Color)) return std::get<4>(data_);
    return ::Color::FromARGB(static_cast<uint32_t>(ToInt()));
}

const wchar_t* PropertyValue::CStr() const {
    // Per thread: the loading thread evaluates expressions too.
    thread_local std::array<std::wstring, 16> ring;
    thread_local size_t index = 0;
    index = (index + 1) % ring.size();
    // Copy into the slot's own storage so it keeps its allocation across uses.
    const std::wstring value = ToString();
    ring[index].assign(value);
    return ring[index].c_str();
}

wchar_t PropertyValue::FirstChar() const {
    if (!Is(Tag::String)) return 0;
    const std::wstring& s = std::get<3>(data_);
    return s.empty() ? 0 : s[0];
}

uint32_t PropertyValue::RawPayload() const {
    switch (GetTag()) {
        case Tag::Bool: return std::get<0>(data_) ? 1u : 0u;
        case Tag::Int: return static_cast<uint32_t>(std::get<1>(data_));
        case Tag::Real: {
            uint32_t bits;
            float f = std::get<2>(data_);
            std::memcpy(&bits, &f, sizeof bits);
            return bits;
        }
        case Tag::String:
        case Tag::Color: return 0;
        default: return static_cast<uint32_t>(ToInt());
    }
}

bool PropertyValue::Equals(const PropertyValue& o) const {
    if (Is(Tag::String) || o.Is(Tag::String)) return ToString() == o.ToString();
    if ((Is(Tag::Widget) && o.Is(Tag::Widget)) || (Is(Tag::PropertyInterface) && o.Is(Tag::PropertyInterface))) {
        return ToInt() == o.ToInt();
    }
    if (Is(Tag::Color) || o.Is(Tag::Color)) {
        return Is(Tag::Color) && o.Is(Tag::Color) && std::get<4>(data_).Equals(std::get<4>(o.data_));
    }
    if (Is(Tag::Real) || o.Is(Tag::Real)) return ToReal() == o.ToReal();
    return ToInt() == o.ToInt();
}

// Three-way comparison for the orderings; `comparable` is false when a NaN is involved.
int PropertyValue::Compare(const PropertyValue& o, bool& comparable) const {
    comparable = true;
    if (Is(Tag::String) || o.Is(Tag::String)) {
        // wchar_t holds whole characters here; below U+10000 this is UTF-16 unit order.
        int c = ToString().compare(o.ToString());
        return c < 0 ? -1 : (c > 0 ? 1 : 0);
    }
    if (Is(Tag::Real) || o.Is(Tag::Real)) {
        float a = ToReal(), b = o.ToReal();
        if (std::isnan(a) || std::isnan(b)) {
            comparable = false;
            return 0;
        }
        return a < b ? -1 : (a > b ? 1 : 0);
    }
    int32_t a = ToInt(), b = o.ToInt();
    return a < b ? -1 : (a > b ? 1 : 0);
}

bool PropertyValue::Less(const PropertyValue& o) const {
    bool ok;
    int c = Compare(o, ok);
    return ok && c < 0;
}
bool PropertyValue::Greater(const PropertyValue& o) const {
    bool ok;
    int c = Compare(o, ok);
    return ok && c > 0;
}
bool PropertyValue::LessEqual(const PropertyValue& o) const {
    bool ok;
    int c = Compare(o, ok);
    return ok && c <= 0;
}
bool PropertyValue::GreaterEqual(const PropertyValue& o) const {
    bool ok;
    int c = Compare(o, ok);
    return ok && c >= 0;
}

PropertyValue PropertyValue::Add(const PropertyValue& o) const {
    if (Is(Tag::String) || o.Is(Tag::String)) return PropertyValue(ToString() + o.ToString());
    if (Is(Tag::Real) || o.Is(Tag::Real)) {
        return PropertyValue(static_cast<double>(ToReal()) + static_cast<double>(o.ToReal()));
    }
    return PropertyValue(Wrap(static_cast<uint32_t>(ToInt()) + static_cast<uint32_t>(o.ToInt())));
}

PropertyValue PropertyValue::Subtract(const PropertyValue& o) const {
    if (Is(Tag::Real) || o.Is(Tag::Real)) {
        return PropertyValue(static_cast<double>(ToReal()) - static_cast<double>(o.ToReal()));
    }
    return PropertyValue(Wrap(static_cast<uint32_t>(ToInt()) - static_cast<uint32_t>(o.ToInt())));
}

PropertyValue PropertyValue::Multiply(const PropertyValue& o) const {
    if (Is(Tag::Real) || o.Is(Tag::Real)) {
        return PropertyValue(static_cast<double>(ToReal()) * static_cast<double>(o.ToReal()));
    }
    return PropertyValue(Wrap(static_cast<uint32_t>(ToInt()) * static_cast<uint32_t>(o.ToInt())));
}

PropertyValue PropertyValue::Divide(const PropertyValue& o) const {
    if (Is(Tag::Real) || o.Is(Tag::Real)) {
        return PropertyValue(static_cast<double>(ToReal()) / static_cast<double>(o.ToReal()));
    }
    int32_t a = ToInt(), b = o.ToInt();
    if (b == 0) return PropertyValue(0);
    // The least integer over -1 wraps to itself instead of trapping.
    if (b == -1) return PropertyValue(Wrap(0u - static_cast<uint32_t>(a)));
    return PropertyValue(a / b);
}

PropertyValue PropertyValue::Negate() const {
    if (Is(Tag::Real)) return PropertyValue(-std::get<2>(data_));
    return PropertyValue(Wrap(0u - static_cast<uint32_t>(ToInt())));
}
