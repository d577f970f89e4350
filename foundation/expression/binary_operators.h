#pragma once
// The binary operators of the expression language, shared by the reader that
// computes while it parses and by the compiled form. Internal to this folder.

#include <cstddef>
#include <string_view>

#include "foundation/values/property_value.h"

namespace expression_detail {

enum class BinaryOp {
    None,
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
    Divide
};

struct OperatorAt {
    BinaryOp op = BinaryOp::None;
    int level = 0;   // 1 (||) binds loosest, 7 (* /) tightest
    int length = 0;  // characters to consume
};

// The operator that starts at `at`, longest spelling first ("<=" before "<").
inline OperatorAt PeekOperator(std::wstring_view text, size_t at) {
    if (at >= text.size()) return {};
    wchar_t c = text[at];
    wchar_t next = at + 1 < text.size() ? text[at + 1] : L'\0';
    switch (c) {
        case L'|': return next == L'|' ? OperatorAt{BinaryOp::Or, 1, 2} : OperatorAt{};
        case L'&': return next == L'&' ? OperatorAt{BinaryOp::And, 2, 2} : OperatorAt{};
        case L'^': return next == L'^' ? OperatorAt{BinaryOp::Xor, 3, 2} : OperatorAt{};
        case L'=': return next == L'=' ? OperatorAt{BinaryOp::Equal, 4, 2} : OperatorAt{};
        case L'!': return next == L'=' ? OperatorAt{BinaryOp::NotEqual, 4, 2} : OperatorAt{};
        case L'<': return next == L'=' ? OperatorAt{BinaryOp::LessEqual, 5, 2} : OperatorAt{BinaryOp::Less, 5, 1};
        case L'>': return next == L'=' ? OperatorAt{BinaryOp::GreaterEqual, 5, 2} : OperatorAt{BinaryOp::Greater, 5, 1};
        case L'+': return {BinaryOp::Add, 6, 1};
        case L'-': return {BinaryOp::Subtract, 6, 1};
        case L'*': return {BinaryOp::Multiply, 7, 1};
        case L'/': return {BinaryOp::Divide, 7, 1};
        default: return {};
    }
}

// v = v op r, with both operands already evaluated.
inline void ApplyBinary(BinaryOp op, PropertyValue& v, const PropertyValue& r) {
    switch (op) {
        case BinaryOp::Or: v = PropertyValue(v.ToBool() || r.ToBool()); break;
        case BinaryOp::And: v = PropertyValue(v.ToBool() && r.ToBool()); break;
        case BinaryOp::Xor: v = PropertyValue(v.ToBool() != r.ToBool() ? 1 : 0); break;
        case BinaryOp::Equal: v = PropertyValue(v.Equals(r)); break;
        case BinaryOp::NotEqual: v = PropertyValue(v.NotEquals(r)); break;
        case BinaryOp::LessEqual: v = PropertyValue(v.LessEqual(r)); break;
        case BinaryOp::GreaterEqual: v = PropertyValue(v.GreaterEqual(r)); break;
        case BinaryOp::Less: v = PropertyValue(v.Less(r)); break;
        case BinaryOp::Greater: v = PropertyValue(v.Greater(r)); break;
        case BinaryOp::Add: v = v.Add(r); break;
        case BinaryOp::Subtract: v = v.Subtract(r); break;
        case BinaryOp::Multiply: v = v.Multiply(r); break;
        case BinaryOp::Divide:
            // The guard reads the divisor as an integer: 1.0 / 0.5 leaves 1.0.
            if (r.ToInt() != 0) v = v.Divide(r);
            break;
        case BinaryOp::None: break;
    }
}

}  // namespace expression_detail
