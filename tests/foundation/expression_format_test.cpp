// format(): each segment's one conversion is parsed here, never handed to printf.

#include "expression_fixture.h"

#include "foundation/expression/format.h"

using namespace testsupport;

namespace {

class Format : public ExpressionCaseTest {};
TEST_P(Format, BuildsTheText) { Check(); }
INSTANTIATE_TEST_SUITE_P(
    Patterns, Format,
    ::testing::Values(ExprCase{L"format(literal(%d of %d), 3, 7)", Tag::String, L"3 of 7"},
                      ExprCase{L"format(literal(%.1f%%), 12.34)", Tag::String, L"12.3%"},
                      ExprCase{L"format(%d%%, 50)", Tag::String, L"50%"},
                      ExprCase{L"format(plain)", Tag::String, L"plain"},
                      ExprCase{L"format(literal(a%%b%d), 4)", Tag::String, L"a%b4"},
                      ExprCase{L"format(literal(<%5d>), 42)", Tag::String, L"<   42>"},
                      ExprCase{L"format(literal(<%-5d>), 42)", Tag::String, L"<42   >"},
                      ExprCase{L"format(literal(%05.1f), 2.25)", Tag::String, L"002.2"},
                      ExprCase{L"format(literal(%+d), 5)", Tag::String, L"+5"},
                      ExprCase{L"format(literal(%x %X %o), 255, 255, 8)", Tag::String, L"ff FF 10"},
                      ExprCase{L"format(literal(%#x), 255)", Tag::String, L"0xff"},
                      ExprCase{L"format(literal(%u), -1)", Tag::String, L"4294967295"},
                      ExprCase{L"format(literal(%e), 1500)", Tag::String, L"1.500000e+03"},
                      ExprCase{L"format(literal(%g), 0.5)", Tag::String, L"0.5"},
                      ExprCase{L"format(literal(%s!), hello)", Tag::String, L"hello!"},
                      ExprCase{L"format(literal([%6s]), abc)", Tag::String, L"[   abc]"},
                      ExprCase{L"format(literal([%-6s]), abc)", Tag::String, L"[abc   ]"},
                      ExprCase{L"format(literal([%.2s]), abcdef)", Tag::String, L"[ab]"},
                      ExprCase{L"format(literal(%c%c), 72, i)", Tag::String, L"Hi"},
                      ExprCase{L"format(literal(%ld), 9)", Tag::String, L"9"},
                      ExprCase{L"format(literal(%s), 2.5)", Tag::String, L"2.5"},  // a number through a text conversion
                      ExprCase{L"format(literal(%d), 2.9)", Tag::String, L"2"},  // a real through an integer conversion
                      ExprCase{L"format(literal(%f), 2)", Tag::String,
                               L"2.000000"},  // an int through a real conversion
                      ExprCase{L"format(literal(%d), abc)", Tag::String, L"0"},
                      ExprCase{L"format(literal(%d and %s and %f))", Tag::String, L"0 and  and 0.000000"},
                      ExprCase{L"format(literal(end %))", Tag::String, L"end %"}));

class FormatRefuses : public ExpressionCaseTest {};
TEST_P(FormatRefuses, UnsafeConversionsFromDataShowAsText) { Check(); }
INSTANTIATE_TEST_SUITE_P(Segments, FormatRefuses,
                         ::testing::Values(ExprCase{L"format(literal(a%n b), 1)", Tag::String, L"a%n b"},
                                           ExprCase{L"format(literal(%*d), 5, 6)", Tag::String, L"%*d"},
                                           ExprCase{L"format(literal(%.*f), 2, 1.5)", Tag::String, L"%.*f"},
                                           ExprCase{L"format(literal(%99999d), 1)", Tag::String, L"%99999d"},
                                           ExprCase{L"format(literal(%.2000f), 1)", Tag::String, L"%.2000f"},
                                           ExprCase{L"format(literal(%p %d), 1, 2)", Tag::String, L"%p 2"},
                                           ExprCase{L"format(literal(%s%s%s%s%s%s%s%s), x)", Tag::String, L"x"},
                                           ExprCase{L"format(literal(%ls), wide)", Tag::String, L"wide"}));

TEST(FormatWithArguments, WideTextSurvivesTextConversions) {
    std::vector<PropertyValue> args = {PropertyValue(L"\u00e9t\u00e9 \U0001F600")};
    EXPECT_EQ(FormatWithArguments(L"[%s]", args), L"[\u00e9t\u00e9 \U0001F600]");
    // Widths count characters.
    EXPECT_EQ(FormatWithArguments(L"%8s|", args), L"   \u00e9t\u00e9 \U0001F600|");
}

TEST(FormatWithArguments, LargestAllowedFieldsStayBounded) {
    std::vector<PropertyValue> args = {PropertyValue(1e30f)};
    EXPECT_EQ(FormatWithArguments(L"%1024d", args).size(), 1024u);
    EXPECT_GT(FormatWithArguments(L"%.1024f", args).size(), 1024u);
}

}  // namespace
