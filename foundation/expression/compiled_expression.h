#pragma once
// One node of an expression's compiled tree. Internal to this folder: only the
// evaluator builds and runs them.

#include <memory>
#include <string>
#include <vector>

#include "foundation/expression/binary_operators.h"
#include "foundation/values/property_value.h"

struct CompiledNode {
    enum class Kind { Constant, Word, Ternary, Binary, Negate, Not, Defined, GlobalDefined, Call };

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
    PropertyValue value;     // Constant; Word: its own text, the value when undefined
    std::wstring name;       // Word, Defined, GlobalDefined, Call
    std::vector<std::unique_ptr<CompiledNode>> children;
};
