#pragma once
// The expression language of scene scripts, conditions, curve formulas,
// constants and bound values.
//
// The evaluator as it was before its operators went into one precedence loop,
// kept only as the reference the equivalence tests compare against.
//
// An ReferenceExpressionEvaluator reads the text once, left to right, computing while
// it parses: no tokens, no tree, nothing cached, so every evaluation parses
// again. Every operator is the PropertyValue operator of that name; both
// operands are always evaluated, left before right (this matters for rand).
// Nothing is ever reported: malformed text still yields a value, an
// undefined bare word is its own text, text after the expression is ignored.
// Nesting (parentheses, prefix operators, eval) is capped; beyond the cap the
// whole evaluation yields the empty String instead of exhausting the stack.
//
// The evaluator is bound for its whole life to one variable map, which it
// does not own and which must outlive it. One thread at a time per evaluator.

#include <string>
#include <string_view>
#include <vector>

#include "foundation/expression/variables.h"

namespace testsupport {

class ReferenceExpressionEvaluator {
public:
    explicit ReferenceExpressionEvaluator(VariableMap& variables) : variables_(&variables) {}

    // One conditional expression; the rest of the text is ignored.
    PropertyValue Evaluate(std::wstring_view text);
    // Expressions separated by "," as the arguments of a call are read.
    std::vector<PropertyValue> EvaluateList(std::wstring_view text);
    // Top-level comma-separated pieces, trimmed and not evaluated.
    std::vector<PropertyValue> SplitList(std::wstring_view text);

    // Set only by the asset collector: image() of an unregistered name then
    // answers its argument instead of a null image.
    bool collectMode = false;

    // How deep parentheses, prefix operators and eval() may nest.
    static constexpr int kMaxDepth = 200;

private:
    ReferenceExpressionEvaluator(VariableMap& variables, int depth) : variables_(&variables), depth_(depth) {}

    void Reset(std::wstring_view text);
    bool Enter();
    void Leave() { --depth_; }

    PropertyValue ParseTernary();
    PropertyValue ParseOr();
    PropertyValue ParseAnd();
    PropertyValue ParseXor();
    PropertyValue ParseEquality();
    PropertyValue ParseRelational();
    PropertyValue ParseAdditive();
    PropertyValue ParseMultiplicative();
    PropertyValue ParseUnary();
    PropertyValue ParsePostfix();
    PropertyValue ParsePrimary();
    PropertyValue ParseNumber();
    PropertyValue ParseCall(std::wstring_view name);
    PropertyValue ReadIndexed(const PropertyValue& holder, const PropertyValue& index);
    PropertyValue CallBuiltin(std::wstring_view name, const std::vector<PropertyValue>& args);

    void SkipSpace();
    bool MatchChar(wchar_t c);
    bool MatchOperator(wchar_t first, wchar_t second);
    std::wstring_view ReadName(bool allowPercent);
    std::wstring_view ReadRawArgument(bool stopAtComma);
    std::vector<PropertyValue> ParseArgumentList();

    // The caller's text, alive for the duration of one public call.
    std::wstring_view source_;
    size_t position_ = 0;
    VariableMap* variables_;
    int depth_ = 0;
    bool tooDeep_ = false;
};

}  // namespace testsupport
