#pragma once
// One node of an expression's compiled tree. Internal to this folder: only the
// evaluator builds and runs them.

#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "foundation/expression/binary_operators.h"
#include "foundation/expression/scalar_value.h"
#include "foundation/expression/variables.h"
#include "foundation/values/property_value.h"

struct CompiledNode;

// One step of a pure subtree laid out flat for a stack of numbers: operands
// pushed, operators and calls applied to the top of the stack.
struct ScalarStep {
    enum class Code : uint8_t {
        // The binary operators, in BinaryOp's order, then min and max of two:
        // the top of the stack op `value`, or op the top when `popRight` (the
        // left operand is then below it).
        Or,
        And,
        Xor,
        Equal,
        NotEqual,
        LessEqual,
        GreaterEqual,
        Less,
        Greater,
        Add,
        Subtract,
        Multiply,
        Divide,
        Lesser,
        Larger,
        Push,           // `value`
        Operand,        // only what `read` reads
        Defined,        // defined() of `node`
        GlobalDefined,  // globaldefined() of `node`
        // exists() of the variable `node`: whether it holds a widget still
        // alive, which no value of another kind does; a condition that waits
        // for an object is so a number without the tree's evaluation.
        ExistsWord,
        Negate,
        Not,
        Int,
        Real,
        Bool,
        Min,
        Max,
        Abs,
        Builtin,     // any other function of `node` with `count` arguments
        JumpUnless,  // pops; on false goes on at step `count`
        Jump,        // goes on at step `count`
        Fail,        // a value that is no number: the subtree is evaluated as values
    };
    static constexpr Code ForOperator(expression_detail::BinaryOp op) {
        return static_cast<Code>(static_cast<int>(op) - static_cast<int>(expression_detail::BinaryOp::Or));
    }

    // What a step pushes before its own work: the variable `node` names, or
    // constant(word) of the call `node`, when it holds a number. An operator
    // step so reads its left operand itself.
    enum class Read : uint8_t { Nothing, Word, ConstantOf };

    // An operator step may go on to join its result to the value below it
    // with && or ||, which saves the step of its own that a chain of
    // conditions would take at every link.
    enum class Then : uint8_t { Nothing, And, Or };

    Code code = Code::Push;
    Read read = Read::Nothing;
    Then then = Then::Nothing;
    bool popRight = false;
    uint32_t count = 0;
    ScalarValue value = ScalarValue::Int(0);
    const CompiledNode* node = nullptr;
    // What `read` (or ExistsWord) reads, found while the program's binding
    // stands; null when it is to be looked up as the step runs (or, for a
    // Word, is absent).
    mutable const PropertyValue* source = nullptr;
};

// A program's steps again, for the kinds its names held when they were last
// found: every place on the stack has a kind known before the run, so a step
// holds only its own arithmetic on bare numbers. A name read is first checked
// to still hold the kind its step was laid out for; when one does not (or a
// division by zero would keep a left operand of another kind), the run gives
// up and the program's own steps run instead.
struct TypedStep {
    enum class Code : uint8_t {
        Load,  // only what `read` reads
        Push,  // `bits`
        // The binary operators on whole numbers (Bool and Int alike) and on
        // Reals: `bits`, or the top when `popRight`, is the right operand.
        AddI,
        SubtractI,
        MultiplyI,
        DivideI,
        EqualI,
        NotEqualI,
        LessEqualI,
        GreaterEqualI,
        LessI,
        GreaterI,
        LesserI,
        LargerI,
        AddR,
        SubtractR,
        MultiplyR,
        DivideR,
        EqualR,
        NotEqualR,
        LessEqualR,
        GreaterEqualR,
        LessR,
        GreaterR,
        LesserR,
        LargerR,
        // The logical operators on whole numbers, any one not 0 being true.
        Or,
        And,
        Xor,
        NegateI,
        NegateR,
        Not,
        AbsI,
        AbsR,
        TruncateR,  // int() of a Real
        TruthI,     // bool() of an Int
        TruthR,     // the truth of a Real, as a logical operator reads it
        RealTop,    // the whole number on top as a Real
        RealBelow,  // the whole number under the top as a Real
        TruthBelow  // the Real under the top as its truth
    };
    // The kind a name must hold, and what it becomes on the stack.
    enum class Read : uint8_t { Nothing, Bool, Int, Real, IntAsReal, BoolAsReal };
    // The step's function for its form, given the step, the top of the
    // stack and the first free place below it; it answers the program's
    // result (a ScalarValue's word) or typed_program::kGaveUp.
    using Run = uint64_t (*)(const TypedStep* step, uint32_t top, uint32_t* sp);

    Code code = Code::Load;
    Read read = Read::Nothing;
    ScalarStep::Then then = ScalarStep::Then::Nothing;
    bool popRight = false;
    bool zeroGivesUp = false;  // a division whose zero divisor leaves a left operand of another kind
    uint32_t bits = 0;
    const PropertyValue* source = nullptr;
    Run run = nullptr;
};

struct TypedProgram {
    enum class State : uint8_t { Unbuilt, Ready, None };
    std::vector<TypedStep> steps;  // Ready: each with its function, then the end
    PropertyValue::Tag result = PropertyValue::Tag::Int;
    State state = State::Unbuilt;
    uint8_t misses = 0;  // runs given up since the names were last found
};

// A pure subtree's steps, and the maps' generations at which each step's
// source was found: a run checks them once instead of once per name.
struct ScalarProgram {
    // The sources were found in `map` and the constants as their names stand.
    bool BoundTo(const VariableMap& map) const {
        return variables == &map && variablesGeneration == map.Generation() &&
               constantsGeneration == constants->Generation();
    }

    std::vector<ScalarStep> steps;
    mutable TypedProgram typed;  // laid out when the sources are found
    mutable const VariableMap* variables = nullptr;
    mutable const VariableMap* constants = nullptr;  // set with `variables`
    mutable uint64_t variablesGeneration = 0;
    mutable uint64_t constantsGeneration = 0;
};
static_assert(ScalarStep::ForOperator(expression_detail::BinaryOp::Divide) == ScalarStep::Code::Divide);

struct CompiledNode {
    // Member: property `name` of child 0's object; Index: child 0's entry
    // named by child 1. Both need an object (or widget) value to read from.
    enum class Kind { Constant, Word, Ternary, Binary, Negate, Not, Defined, GlobalDefined, Call, Member, Index };

    explicit CompiledNode(Kind k) : kind(k) {}

    Kind kind;
    expression_detail::BinaryOp op = expression_detail::BinaryOp::None;
    int depth = 0;     // Call: nesting levels entered where the call is read
    int builtin = -1;  // Call: the function's number, -1 when there is none of that name
    // Evaluating the subtree changes nothing (no rand, eval or global), so it
    // may first be tried on plain numbers and, when a value met is not one,
    // evaluated again the general way with the same result.
    bool pure = false;
    bool tryScalar = false;  // pure, and its parent is not: the place to try
    bool reads = false;      // the subtree holds a Member or an Index
    ScalarProgram program;   // tryScalar: the subtree as steps
    PropertyValue value;     // Constant; Word: its own text, the value when undefined
    std::wstring name;       // Word, Defined, GlobalDefined, Call, Member
    // Word, Defined: the name among the variables; Call: constant()'s name
    // among the constants. Trees are run by one evaluator at a time.
    mutable NameSlot slot;
    std::vector<std::unique_ptr<CompiledNode>> children;
};

// How many numbers a program may hold at once; a subtree that needs more is
// evaluated as values.
inline constexpr size_t kScalarStack = 16;

// Lays out `root`, a pure subtree, as its program; false when it needs more
// than kScalarStack places.
bool BuildScalarProgram(CompiledNode& root);
// Lays out `program`'s typed steps for the kinds its sources hold now; false
// when a step reads no source or is of a kind the typed steps do not take.
bool BuildTypedProgram(const ScalarProgram& program);
