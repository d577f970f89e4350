#pragma once
// The one dynamically typed value of the engine: widget and image properties,
// script variables, constants, saved player symbols and every result of the
// expression language are PropertyValues. Its conversions and operators are
// what the expression language does with mixed operands.
//
// Owned payloads (String, Color) are deep-copied; a move leaves the source
// Int 0. Reference payloads (Widget, Image, PropertyInterface) hold the
// object's liveness anchor (see property_interface.h), so a value that
// outlives its object reads as a null reference instead of dangling.
// Values are not shared between threads; CStr's ring is per thread.

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <variant>

#include "foundation/values/color.h"
#include "foundation/values/property_interface.h"

class DynamicWidget;
class Image;

class PropertyValue {
public:
    enum class Tag : uint8_t { Bool = 0, Int, Real, String, Color, Widget, Image, PropertyInterface };

    PropertyValue() : data_(std::in_place_index<1>, 0) {}
    PropertyValue(bool v) : data_(std::in_place_index<0>, v) {}
    PropertyValue(int v) : data_(std::in_place_index<1>, static_cast<int32_t>(v)) {}
    PropertyValue(float v) : data_(std::in_place_index<2>, v) {}
    PropertyValue(double v) : data_(std::in_place_index<2>, static_cast<float>(v)) {}
    PropertyValue(std::wstring v) : data_(std::in_place_index<3>, std::move(v)) {}
    PropertyValue(std::wstring_view v) : data_(std::in_place_index<3>, std::wstring(v)) {}
    PropertyValue(const wchar_t* v) : data_(std::in_place_index<3>, std::wstring(v ? v : L"")) {}
    PropertyValue(wchar_t c) : data_(std::in_place_index<3>, std::wstring(1, c)) {}
    PropertyValue(const ::Color& c) : data_(std::in_place_index<4>, c) {}
    // Any other pointer (narrow text, an object) must not silently become a bool.
    template <class T>
    PropertyValue(const T*) = delete;

    // Named builders, for callers that want the kind stated rather than
    // picked by overload (an int that must not become a character, a double
    // that must stay Real).
    static PropertyValue FromBool(bool v) { return PropertyValue(v); }
    static PropertyValue FromInt(int32_t v) { return PropertyValue(static_cast<int>(v)); }
    static PropertyValue FromFloat(float v) { return PropertyValue(v); }
    static PropertyValue FromWString(std::wstring text) { return PropertyValue(std::move(text)); }
    // A zero-terminated text; null gives the empty text.
    static PropertyValue FromCString(const wchar_t* text) { return PropertyValue(text); }
    // A one-character text.
    static PropertyValue FromChar(wchar_t c) { return PropertyValue(c); }

    // References. The object must derive from ExtendedPropertyInterface (a
    // widget is passed as its property interface, since values know no
    // widget type); a null pointer gives a null reference of that tag.
    static PropertyValue FromWidget(const ExtendedPropertyInterface* widget);
    static PropertyValue FromImage(const ExtendedPropertyInterface* image);
    static PropertyValue FromPropertyInterface(const ExtendedPropertyInterface* object);

    PropertyValue(const PropertyValue& o) = default;
    PropertyValue(PropertyValue&& o) noexcept : data_(std::move(o.data_)) { o.data_.emplace<1>(0); }
    PropertyValue& operator=(const PropertyValue& o) {
        Assign(o);
        return *this;
    }
    PropertyValue& operator=(PropertyValue&& o) noexcept {
        MoveAssign(std::move(o));
        return *this;
    }
    void Assign(const PropertyValue& o) {
        if (this != &o) data_ = o.data_;
    }
    void MoveAssign(PropertyValue&& o) noexcept {
        if (this == &o) return;
        data_ = std::move(o.data_);
        o.data_.emplace<1>(0);
    }

    Tag GetTag() const { return static_cast<Tag>(data_.index()); }
    // The payload when the tag is Bool, Int or Real, else null; inline for
    // readers that check the tag on every step (the expression language's
    // number programs).
    const bool* IfBool() const { return std::get_if<0>(&data_); }
    const int32_t* IfInt() const { return std::get_if<1>(&data_); }
    const float* IfReal() const { return std::get_if<2>(&data_); }
    bool Is(Tag t) const { return GetTag() == t; }
    bool IsPropertyHolder() const { return data_.index() >= 5; }

    int32_t ToInt() const;
    float ToReal() const;
    bool ToBool() const;
    std::wstring ToString() const;
    ::Color ToColor() const;
    // The text form, valid until 16 further CStr calls on this thread.
    const wchar_t* CStr() const;
    wchar_t FirstChar() const;

    // The referenced object, or null when the tag differs or the object is gone.
    ExtendedPropertyInterface* ToPropertyInterface() const;
    // The anchor a reference holds: alive as long as the value holds it, its
    // target the object's while the object lives. Null for other tags and
    // for a null reference.
    const LiveAnchor* ReferenceAnchor() const { return AnchorOf(); }
    template <class W = DynamicWidget>
    W* ToWidget() const {
        return Is(Tag::Widget) ? dynamic_cast<W*>(Target()) : nullptr;
    }
    template <class I = Image>
    I* ToImage() const {
        return Is(Tag::Image) ? dynamic_cast<I*>(Target()) : nullptr;
    }
    // Bits of the scalar payload, or the referenced object's serial id.
    // Never an address: scripts that ask for it cannot reach memory through it.
    uint32_t RawPayload() const;

    bool Equals(const PropertyValue& o) const;
    bool NotEquals(const PropertyValue& o) const { return !Equals(o); }
    bool Less(const PropertyValue& o) const;
    bool Greater(const PropertyValue& o) const;
    bool LessEqual(const PropertyValue& o) const;
    bool GreaterEqual(const PropertyValue& o) const;
    PropertyValue Add(const PropertyValue& o) const;
    PropertyValue Subtract(const PropertyValue& o) const;
    PropertyValue Multiply(const PropertyValue& o) const;
    // An Int divisor of 0 gives Int 0 rather than trapping.
    PropertyValue Divide(const PropertyValue& o) const;
    PropertyValue Negate() const;
    bool EqualsCString(std::wstring_view text) const { return Equals(PropertyValue(text)); }

private:
    struct Reference {
        std::shared_ptr<LiveAnchor> anchor;
    };
    using Data = std::variant<bool, int32_t, float, std::wstring, ::Color, Reference, Reference, Reference>;

    static PropertyValue MakeReference(Tag tag, const ExtendedPropertyInterface* object);
    ExtendedPropertyInterface* Target() const;
    const LiveAnchor* AnchorOf() const;
    int Compare(const PropertyValue& o, bool& comparable) const;

    Data data_;
};

// The lenient text-to-number rules the value conversions use. Both read the
// text narrowed to 7-bit characters; text that does not narrow reads as 0.
int32_t LenientTextToInt(std::wstring_view text);
float LenientTextToReal(std::wstring_view text);
