#pragma once
// A Bool, Int or Real held without a PropertyValue, with the PropertyValue
// operators' arithmetic for exactly those three tags, so a condition on
// numbers is computed without building a value per step. Internal to this
// folder: only the compiled form uses it.

#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>

#include "foundation/expression/binary_operators.h"
#include "foundation/values/property_value.h"

struct ScalarValue {
    using Tag = PropertyValue::Tag;

    // Tag in the low byte, payload bits in the high half, so that every
    // value is written and copied as one word: a value stored in parts and
    // read back whole stalls the processor on every step of a program.
    // Left undefined by default, so a stack of them costs nothing to set up;
    // every builder below sets it.
    uint64_t word;

    Tag tag() const { return static_cast<Tag>(word & 0xFF); }
    uint32_t bits() const { return static_cast<uint32_t>(word >> 32); }
    bool b() const { return bits() != 0; }
    int32_t i() const { return static_cast<int32_t>(bits()); }
    float f() const { return std::bit_cast<float>(bits()); }

    static ScalarValue Make(Tag tag, uint32_t bits) {
        ScalarValue s;
        s.word = static_cast<uint64_t>(tag) | (static_cast<uint64_t>(bits) << 32);
        return s;
    }
    static ScalarValue Bool(bool v) { return Make(Tag::Bool, v ? 1u : 0u); }
    static ScalarValue Int(int32_t v) { return Make(Tag::Int, static_cast<uint32_t>(v)); }
    static ScalarValue Real(float v) { return Make(Tag::Real, std::bit_cast<uint32_t>(v)); }
    static ScalarValue Wrapped(uint32_t v) { return Make(Tag::Int, v); }

    // False, leaving `out` as it was, for every other tag.
    static bool From(const PropertyValue& v, ScalarValue& out) {
        // Tests rather than a switch: variables are read on every step, and
        // a table jump here would come on top of the value's own.
        if (const int32_t* i = v.IfInt()) {
            out = Int(*i);
        } else if (const float* f = v.IfReal()) {
            out = Real(*f);
        } else if (const bool* b = v.IfBool()) {
            out = Bool(*b);
        } else {
            return false;
        }
        return true;
    }

    PropertyValue ToValue() const {
        switch (tag()) {
            case Tag::Bool: return PropertyValue(b());
            case Tag::Real: return PropertyValue(f());
            default: return PropertyValue(static_cast<int>(i()));
        }
    }

    int32_t ToInt() const {
        switch (tag()) {
            case Tag::Bool: return b() ? 1 : 0;
            case Tag::Real: {
                const float v = f();
                if (std::isnan(v)) return 0;
                if (v >= 2147483648.0f) return std::numeric_limits<int32_t>::max();
                if (v <= -2147483648.0f) return std::numeric_limits<int32_t>::min();
                return static_cast<int32_t>(v);
            }
            default: return i();
        }
    }
    float ToReal() const {
        switch (tag()) {
            case Tag::Bool: return b() ? 1.0f : 0.0f;
            case Tag::Real: return f();
            default: return static_cast<float>(i());
        }
    }
    bool ToBool() const {
        switch (tag()) {
            case Tag::Bool: return b();
            case Tag::Real: return f() != 0.0f;  // NaN is true
            default: return i() != 0;
        }
    }

    bool EitherReal(const ScalarValue& o) const { return tag() == Tag::Real || o.tag() == Tag::Real; }

    // <0, 0, >0; `comparable` false when a NaN is involved.
    [[gnu::always_inline]] int Compare(const ScalarValue& o, bool& comparable) const {
        comparable = true;
        if (EitherReal(o)) {
            float x = ToReal(), y = o.ToReal();
            if (std::isnan(x) || std::isnan(y)) {
                comparable = false;
                return 0;
            }
            return x < y ? -1 : (x > y ? 1 : 0);
        }
        int32_t x = ToInt(), y = o.ToInt();
        return x < y ? -1 : (x > y ? 1 : 0);
    }

    // *this = *this op r, the operator fixed when compiled so that a step
    // holds only its own arithmetic.
    template <expression_detail::BinaryOp op>
    [[gnu::always_inline]] void Apply(const ScalarValue& r) {
        using expression_detail::BinaryOp;
        [[maybe_unused]] bool ok = true;  // the orderings: false when a NaN is involved
        if constexpr (op == BinaryOp::Or) {
            *this = Bool(ToBool() || r.ToBool());
        } else if constexpr (op == BinaryOp::And) {
            *this = Bool(ToBool() && r.ToBool());
        } else if constexpr (op == BinaryOp::Xor) {
            *this = Int(ToBool() != r.ToBool() ? 1 : 0);
        } else if constexpr (op == BinaryOp::Equal) {
            *this = Bool(EitherReal(r) ? ToReal() == r.ToReal() : ToInt() == r.ToInt());
        } else if constexpr (op == BinaryOp::NotEqual) {
            *this = Bool(!(EitherReal(r) ? ToReal() == r.ToReal() : ToInt() == r.ToInt()));
        } else if constexpr (op == BinaryOp::LessEqual) {
            int c = Compare(r, ok);
            *this = Bool(ok && c <= 0);
        } else if constexpr (op == BinaryOp::GreaterEqual) {
            int c = Compare(r, ok);
            *this = Bool(ok && c >= 0);
        } else if constexpr (op == BinaryOp::Less) {
            int c = Compare(r, ok);
            *this = Bool(ok && c < 0);
        } else if constexpr (op == BinaryOp::Greater) {
            int c = Compare(r, ok);
            *this = Bool(ok && c > 0);
        } else if constexpr (op == BinaryOp::Add) {
            *this = EitherReal(r) ? Real(static_cast<float>(static_cast<double>(ToReal()) + r.ToReal()))
                                  : Wrapped(static_cast<uint32_t>(ToInt()) + static_cast<uint32_t>(r.ToInt()));
        } else if constexpr (op == BinaryOp::Subtract) {
            *this = EitherReal(r) ? Real(static_cast<float>(static_cast<double>(ToReal()) - r.ToReal()))
                                  : Wrapped(static_cast<uint32_t>(ToInt()) - static_cast<uint32_t>(r.ToInt()));
        } else if constexpr (op == BinaryOp::Multiply) {
            *this = EitherReal(r) ? Real(static_cast<float>(static_cast<double>(ToReal()) * r.ToReal()))
                                  : Wrapped(static_cast<uint32_t>(ToInt()) * static_cast<uint32_t>(r.ToInt()));
        } else if constexpr (op == BinaryOp::Divide) {
            // The guard reads the divisor as an integer: 1.0 / 0.5 leaves 1.0.
            int32_t divisor = r.ToInt();
            if (divisor == 0) return;
            if (EitherReal(r)) {
                *this = Real(static_cast<float>(static_cast<double>(ToReal()) / r.ToReal()));
            } else if (divisor == -1) {
                *this = Wrapped(0u - static_cast<uint32_t>(ToInt()));
            } else {
                *this = Int(ToInt() / divisor);
            }
        }
    }

    ScalarValue Negated() const {
        return tag() == Tag::Real ? Real(-f()) : Wrapped(0u - static_cast<uint32_t>(ToInt()));
    }

    // abs(): an Int stays an Int (the least one stays itself), anything else becomes Real.
    ScalarValue Absolute() const {
        if (tag() == Tag::Int) return i() < 0 ? Wrapped(0u - static_cast<uint32_t>(i())) : *this;
        return Real(std::fabs(ToReal()));
    }

    // min() and max(): on a tie the second wins.
    [[gnu::always_inline]] static ScalarValue MinMax(const ScalarValue& a, const ScalarValue& b, bool wantMax) {
        if (a.EitherReal(b)) {
            float x = a.ToReal(), y = b.ToReal();
            return Real(wantMax ? (x > y ? x : y) : (x < y ? x : y));
        }
        int32_t x = a.ToInt(), y = b.ToInt();
        return Int(wantMax ? (x > y ? x : y) : (x < y ? x : y));
    }
};
