#pragma once
// The run of a program's typed steps (see TypedStep). Each step is its own
// function, chosen when the steps are laid out for the step's operator, the
// kind it reads, whether it takes its right operand from the stack and
// whether it joins its result to the value below; it does only that work and
// goes on to the next step's function with a jump, so a step holds no test of
// its own form and every step's dispatch is a branch of its own. Internal to
// this folder.

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

// What a run answers when a read met another kind or a division would keep a
// left operand of another kind: no ScalarValue's word has this tag.
inline constexpr uint64_t kGaveUp = 0xFF;

// The most steps a program is laid out as typed steps for: each step calls
// the next, which an optimised build turns into a jump, but a build without
// optimisation nests one call per step.
inline constexpr size_t kMaxTypedSteps = 256;

// The function for a step of this form; the last step of a program is
// TypedEnd().
TypedStep::Run TypedHandler(Code code, Read read, bool popRight, bool join);
TypedStep::Run TypedEnd();

// The typed steps' result; false when they gave up.
inline bool RunTypedProgram(const TypedProgram& program, ScalarValue& out) {
    uint32_t stack[kScalarStack + 1];
    const TypedStep* first = program.steps.data();
    const uint64_t word = first->run(first, 0, stack);
    if (word == kGaveUp) return false;
    out.word = word;
    return true;
}

}  // namespace typed_program
