#pragma once
// The run of a program's typed steps (see TypedStep), in line in the one
// place that runs them, as a condition checked every step takes no call
// more than it must. Internal to this folder.

#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>

#include "foundation/expression/compiled_expression.h"

namespace typed_program {

using Code = TypedStep::Code;
using Read = TypedStep::Read;

inline float F(uint32_t bits) { return std::bit_cast<float>(bits); }
inline uint32_t R(float v) { return std::bit_cast<uint32_t>(v); }
inline int32_t I(uint32_t bits) { return static_cast<int32_t>(bits); }
inline uint32_t B(bool v) { return v ? 1u : 0u; }

// ScalarValue::ToInt of a Real: NaN is 0, the rest saturates.
inline int32_t Truncate(float v) {
    if (std::isnan(v)) return 0;
    if (v >= 2147483648.0f) return std::numeric_limits<int32_t>::max();
    if (v <= -2147483648.0f) return std::numeric_limits<int32_t>::min();
    return static_cast<int32_t>(v);
}

[[gnu::always_inline]] inline bool ReadSource(const TypedStep& step, uint32_t& out) {
    const PropertyValue& value = *step.source;
    switch (step.read) {
        case Read::Int:
        case Read::IntAsReal: {
            const int32_t* i = value.IfInt();
            if (i == nullptr) return false;
            out = step.read == Read::Int ? static_cast<uint32_t>(*i) : R(static_cast<float>(*i));
            return true;
        }
        case Read::Real: {
            const float* f = value.IfReal();
            if (f == nullptr) return false;
            out = R(*f);
            return true;
        }
        default: {
            const bool* b = value.IfBool();
            if (b == nullptr) return false;
            out = step.read == Read::Bool ? B(*b) : R(*b ? 1.0f : 0.0f);
            return true;
        }
    }
}

inline uint32_t RealSum(uint32_t x, uint32_t y, Code code) {
    const double a = F(x), b = F(y);
    switch (code) {
        case Code::AddR: return R(static_cast<float>(a + b));
        case Code::SubtractR: return R(static_cast<float>(a - b));
        default: return R(static_cast<float>(a * b));
    }
}

// The typed steps' result; false when a read met another kind, or a division
// would keep a left operand of another kind.
inline bool RunTypedProgram(const TypedProgram& program, ScalarValue& out) {
    uint32_t below[kScalarStack + 1];
    uint32_t top = 0;
    size_t depth = 0;
    for (const TypedStep& step : program.steps) {
        // A binary operator's left operand is the top, its right `r`.
        uint32_t r = step.bits;
        if (step.read != Read::Nothing) {
            uint32_t read;
            if (!ReadSource(step, read)) return false;
            below[depth++] = top;
            top = read;
        }
        if (step.popRight) {
            r = top;
            top = below[--depth];
        }
        switch (step.code) {
            case Code::Load: break;
            case Code::Push:
                below[depth++] = top;
                top = step.bits;
                break;
            case Code::AddI: top += r; break;
            case Code::SubtractI: top -= r; break;
            case Code::MultiplyI: top *= r; break;
            case Code::DivideI:
                if (r == 0) {
                    if (step.zeroGivesUp) return false;
                } else {
                    top = I(r) == -1 ? 0u - top : static_cast<uint32_t>(I(top) / I(r));
                }
                break;
            case Code::EqualI: top = B(top == r); break;
            case Code::NotEqualI: top = B(top != r); break;
            case Code::LessEqualI: top = B(I(top) <= I(r)); break;
            case Code::GreaterEqualI: top = B(I(top) >= I(r)); break;
            case Code::LessI: top = B(I(top) < I(r)); break;
            case Code::GreaterI: top = B(I(top) > I(r)); break;
            case Code::LesserI: top = I(top) < I(r) ? top : r; break;
            case Code::LargerI: top = I(top) > I(r) ? top : r; break;
            case Code::AddR:
            case Code::SubtractR:
            case Code::MultiplyR: top = RealSum(top, r, step.code); break;
            case Code::DivideR: {
                // The divisor is read as a whole number for the test: 1.0 / 0.5 leaves 1.0.
                const float y = F(r);
                if (std::isnan(y) || (y > -1.0f && y < 1.0f)) {
                    if (step.zeroGivesUp) return false;
                } else {
                    top = R(static_cast<float>(static_cast<double>(F(top)) / y));
                }
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
            case Code::RealBelow: below[depth - 1] = R(static_cast<float>(I(below[depth - 1]))); break;
            case Code::TruthBelow: below[depth - 1] = B(F(below[depth - 1]) != 0.0f); break;
        }
        if (step.then != ScalarStep::Then::Nothing) {
            const uint32_t left = below[--depth];
            top = step.then == ScalarStep::Then::And ? B(left != 0 && top != 0) : B(left != 0 || top != 0);
        }
    }
    out = ScalarValue::Make(program.result, top);
    return true;
}

}  // namespace typed_program
