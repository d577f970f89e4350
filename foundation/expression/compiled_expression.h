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
    int depth = 0;        // Call: nesting levels entered where the call is read
    PropertyValue value;  // Constant; Word: its own text, the value when undefined
    std::wstring name;    // Word, Defined, GlobalDefined, Call
    std::vector<std::unique_ptr<CompiledNode>> children;
};
