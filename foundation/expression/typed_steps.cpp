// The functions of the typed steps, one for every form a step takes. The
// stack below the top grows upwards from the run's own array: `sp` is the
// first free place. A step ends in a call of the next step's function with
// the same parameters, which the compiler makes a jump.
#include <array>
#include <utility>

#include "foundation/expression/typed_program_run.h"

namespace typed_program {
namespace {

// ScalarValue::ToInt of a Real: NaN is 0, the rest saturates.
int32_t Truncate(float v) {
    if (std::isnan(v)) return 0;
    if (v >= 2147483648.0f) return std::numeric_limits<int32_t>::max();
    if (v <= -2147483648.0f) return std::numeric_limits<int32_t>::min();
    return static_cast<int32_t>(v);
}

template <Read read>
[[gnu::always_inline]] inline bool ReadSource(const PropertyValue& value, uint32_t& out) {
    if constexpr (read == Read::Int || read == Read::IntAsReal) {
        const int32_t* i = value.IfInt();
        if (i == nullptr) return false;
        out = read == Read::Int ? static_cast<uint32_t>(*i) : R(static_cast<float>(*i));
    } else if constexpr (read == Read::Real) {
        const float* f = value.IfReal();
        if (f == nullptr) return false;
        out = R(*f);
    } else {
        const bool* b = value.IfBool();
        if (b == nullptr) return false;
        out = read == Read::Bool ? B(*b) : R(*b ? 1.0f : 0.0f);
    }
    return true;
}

// The step's own work on the top `top` and the right operand `r`; false
// when the run gives up.
template <Code code>
[[gnu::always_inline]] inline bool Apply(const TypedStep& step, uint32_t& top, uint32_t r, uint32_t*& sp) {
    const auto real = [](double v) { return R(static_cast<float>(v)); };
    switch (code) {
        case Code::Load: break;
        case Code::Push:
            *sp++ = top;
            top = step.bits;
            break;
        case Code::AddI: top += r; break;
        case Code::SubtractI: top -= r; break;
        case Code::MultiplyI: top *= r; break;
        case Code::DivideI:
            if (r == 0) return !step.zeroGivesUp;
            top = I(r) == -1 ? 0u - top : static_cast<uint32_t>(I(top) / I(r));
            break;
        case Code::EqualI: top = B(top == r); break;
        case Code::NotEqualI: top = B(top != r); break;
        case Code::LessEqualI: top = B(I(top) <= I(r)); break;
        case Code::GreaterEqualI: top = B(I(top) >= I(r)); break;
        case Code::LessI: top = B(I(top) < I(r)); break;
        case Code::GreaterI: top = B(I(top) > I(r)); break;
        case Code::LesserI: top = I(top) < I(r) ? top : r; break;
        case Code::LargerI: top = I(top) > I(r) ? top : r; break;
        case Code::AddR: top = real(static_cast<double>(F(top)) + F(r)); break;
        case Code::SubtractR: top = real(static_cast<double>(F(top)) - F(r)); break;
        case Code::MultiplyR: top = real(static_cast<double>(F(top)) * F(r)); break;
        case Code::DivideR: {
            // The divisor is read as a whole number for the test: 1.0 / 0.5 leaves 1.0.
            const float y = F(r);
            if (std::isnan(y) || (y > -1.0f && y < 1.0f)) return !step.zeroGivesUp;
            top = real(static_cast<double>(F(top)) / y);
            break;
        }
        case Code::EqualR: top = B(F(top) == F(r)); break;
        case Code::NotEqualR: top = B(F(top) != F(r)); break;
        case Code::LessEqualR: top = B(F(top) <= F(r)); break;
        case Code::GreaterEqualR: top = B(F(top) >= F(r)); break;
        case Code::LessR: top = B(F(top) < F(r)); break;
        case Code::GreaterR: top = B(F(top) > F(r)); break;
        case Code::LesserR: top = F(top) < F(r) ? top : r; break;
        case Code::LargerR: top = F(top) > F(r) ? top : r; break;
        case Code::Or: top = B(top != 0 || r != 0); break;
        case Code::And: top = B(top != 0 && r != 0); break;
        case Code::Xor: top = B((top != 0) != (r != 0)); break;
        case Code::NegateI: top = 0u - top; break;
        case Code::NegateR: top = R(-F(top)); break;
        case Code::Not: top = B(top == 0); break;
        case Code::AbsI: top = I(top) < 0 ? 0u - top : top; break;
        case Code::AbsR: top = R(std::fabs(F(top))); break;
        case Code::TruncateR: top = static_cast<uint32_t>(Truncate(F(top))); break;
        case Code::TruthI: top = B(top != 0); break;
        case Code::TruthR: top = B(F(top) != 0.0f); break;
        case Code::RealTop: top = R(static_cast<float>(I(top))); break;
        case Code::RealBelow: sp[-1] = R(static_cast<float>(I(sp[-1]))); break;
        case Code::TruthBelow: sp[-1] = B(F(sp[-1]) != 0.0f); break;
    }
    return true;
}

// A binary operator's left operand is the top, its right `r`.
template <Code code, Read read, bool popRight, bool join>
uint64_t Step(const TypedStep* step, uint32_t top, uint32_t* sp) {
    uint32_t r = step->bits;
    if constexpr (read != Read::Nothing) {
        uint32_t value;
        if (!ReadSource<read>(*step->source, value)) return kGaveUp;
        *sp++ = top;
        top = value;
    }
    if constexpr (popRight) {
        r = top;
        top = *--sp;
    }
    if (!Apply<code>(*step, top, r, sp)) return kGaveUp;
    if constexpr (join) {
        const uint32_t left = *--sp;
        top = step->then == ScalarStep::Then::And ? B(left != 0 && top != 0) : B(left != 0 || top != 0);
    }
    ++step;
    return step->run(step, top, sp);
}

// The program's result: the last step's `bits` holds its tag.
uint64_t End(const TypedStep* step, uint32_t top, uint32_t*) {
    return ScalarValue::Make(static_cast<PropertyValue::Tag>(step->bits), top).word;
}

constexpr size_t kCodes = static_cast<size_t>(Code::TruthBelow) + 1;
constexpr size_t kReads = static_cast<size_t>(Read::BoolAsReal) + 1;
constexpr size_t kForms = kCodes * kReads * 4;

constexpr size_t FormIndex(Code code, Read read, bool popRight, bool join) {
    return ((static_cast<size_t>(code) * kReads + static_cast<size_t>(read)) * 2 + (popRight ? 1 : 0)) * 2 +
           (join ? 1 : 0);
}

// Only the operators take a right operand from the stack; the other forms
// are never laid out and have no function.
template <size_t form>
constexpr TypedStep::Run HandlerOf() {
    constexpr bool join = form % 2 != 0;
    constexpr bool popRight = form / 2 % 2 != 0;
    constexpr auto read = static_cast<Read>(form / 4 % kReads);
    constexpr auto code = static_cast<Code>(form / 4 / kReads);
    constexpr bool binary = code >= Code::AddI && code <= Code::Xor;
    if constexpr (!binary && popRight) {
        return nullptr;
    } else {
        return &Step<code, read, popRight, join>;
    }
}

template <size_t... forms>
constexpr std::array<TypedStep::Run, kForms> MakeHandlers(std::index_sequence<forms...>) {
    return {HandlerOf<forms>()...};
}

constexpr std::array<TypedStep::Run, kForms> kHandlers = MakeHandlers(std::make_index_sequence<kForms>());

}  // namespace

TypedStep::Run TypedHandler(Code code, Read read, bool popRight, bool join) {
    return kHandlers[FormIndex(code, read, popRight, join)];
}

TypedStep::Run TypedEnd() { return &End; }

}  // namespace typed_program
