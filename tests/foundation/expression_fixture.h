#pragma once
// Shared set-up of the expression tests: an evaluator over its own variable
// map, and helpers that state an expected value by tag and text.

#include <gtest/gtest.h>

#include <ostream>
#include <string>

#include "foundation/expression/constants_map.h"
#include "foundation/expression/expression.h"
#include "foundation/expression/localization_map.h"
#include "foundation/system/text.h"

namespace testsupport {

using Tag = PropertyValue::Tag;

// One case: the expression, the tag and the text of its value.
struct ExprCase {
    const wchar_t* source;
    Tag tag;
    const wchar_t* text;
};

inline std::ostream& operator<<(std::ostream& os, const ExprCase& c) { return os << text::ToUtf8(c.source); }

class ExpressionTest : public ::testing::Test {
protected:
    void SetUp() override {
        ConstantsMap().clear();
        LocalizationMap().clear();
    }
    PropertyValue Eval(std::wstring_view text) { return evaluator_.Evaluate(text); }
    void ExpectValue(std::wstring_view source, Tag tag, std::wstring_view expected) {
        PropertyValue v = Eval(source);
        EXPECT_EQ(static_cast<int>(v.GetTag()), static_cast<int>(tag)) << text::ToUtf8(source);
        EXPECT_EQ(v.ToString(), expected) << text::ToUtf8(source);
    }

    VariableMap vars_;
    ExpressionEvaluator evaluator_{vars_};
};

class ExpressionCaseTest : public ExpressionTest, public ::testing::WithParamInterface<ExprCase> {
protected:
    void Check() { ExpectValue(GetParam().source, GetParam().tag, GetParam().text); }
};

}  // namespace testsupport
