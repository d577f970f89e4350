// Operators: precedence, associativity, mixed operands and the division guard.

#include "expression_fixture.h"

#include <random>

#include "foundation/system/random.h"

using namespace testsupport;

namespace {

class Precedence : public ExpressionCaseTest {};
TEST_P(Precedence, BindsAsTheLevelsSay) { Check(); }
INSTANTIATE_TEST_SUITE_P(
    Levels, Precedence,
    ::testing::Values(ExprCase{L"1 + 2 * 3", Tag::Int, L"7"}, ExprCase{L"(1 + 2) * 3", Tag::Int, L"9"},
                      ExprCase{L"7 - 2 - 1", Tag::Int, L"4"}, ExprCase{L"64 / 4 / 2", Tag::Int, L"8"},
                      ExprCase{L"1 < 2 == true", Tag::Bool, L"true"}, ExprCase{L"2 + 3 > 4", Tag::Bool, L"true"},
                      ExprCase{L"1 == 1 && 2 == 3", Tag::Bool, L"false"}, ExprCase{L"0 && 0 || 1", Tag::Bool, L"true"},
                      ExprCase{L"1 || 0 && 0", Tag::Bool, L"true"}, ExprCase{L"1 ^^ 0", Tag::Int, L"1"},
                      ExprCase{L"1 ^^ 1", Tag::Int, L"0"},
                      ExprCase{L"1 ^^ 1 == 0", Tag::Int, L"1"},       // equality binds tighter than ^^
                      ExprCase{L"0 ^^ 1 && 0", Tag::Bool, L"false"},  // ^^ binds tighter than &&
                      ExprCase{L"1 || 0", Tag::Bool, L"true"}, ExprCase{L"-2 * 3", Tag::Int, L"-6"},
                      ExprCase{L"- -4", Tag::Int, L"4"}, ExprCase{L"!0 + 1", Tag::Int, L"2"},
                      ExprCase{L"!1 == false", Tag::Bool, L"true"}, ExprCase{L"+5", Tag::Int, L"5"},
                      ExprCase{L"3 <= 3", Tag::Bool, L"true"}, ExprCase{L"3 >= 4", Tag::Bool, L"false"},
                      ExprCase{L"2 != 3", Tag::Bool, L"true"}, ExprCase{L"true ? 1 : 2", Tag::Int, L"1"},
                      ExprCase{L"0 ? 1 : 2", Tag::Int, L"2"}, ExprCase{L"0 ? 1 : 0 ? 2 : 3", Tag::Int, L"3"},
                      ExprCase{L"1 ? 5", Tag::Int, L"5"}, ExprCase{L"0 ? 5", Tag::String, L""},
                      ExprCase{L"1 + 1 ? 10 : 20", Tag::Int, L"10"},
                      ExprCase{L"2 = 3", Tag::Int, L"2"},  // a single "=" is no operator
                      ExprCase{L"4 =", Tag::Int, L"4"}, ExprCase{L"2147483647 + 1", Tag::Int, L"-2147483648"},
                      ExprCase{L"65536 * 65536", Tag::Int, L"0"}, ExprCase{L"-2147483647 - 2", Tag::Int, L"2147483647"},
                      ExprCase{L"(1 + 2", Tag::Int, L"3"},  // a missing ")" is tolerated
                      ExprCase{L"3 4", Tag::Int, L"3"}));   // text after the expression is ignored

class MixedOperands : public ExpressionCaseTest {};
TEST_P(MixedOperands, FollowTheValueRules) { Check(); }
INSTANTIATE_TEST_SUITE_P(
    Values, MixedOperands,
    ::testing::Values(ExprCase{L"2 * 3.0", Tag::Real, L"6"}, ExprCase{L"1 + 2.5", Tag::Real, L"3.5"},
                      ExprCase{L"1 + abc", Tag::String, L"1abc"}, ExprCase{L"x + 2.5", Tag::String, L"x2.5"},
                      ExprCase{L"abc - 1", Tag::Int, L"-1"}, ExprCase{L"true + 1", Tag::Int, L"2"},
                      ExprCase{L"-true", Tag::Int, L"-1"}, ExprCase{L"10 < 9", Tag::Bool, L"false"},
                      ExprCase{L"10 < literal(9)", Tag::Bool, L"true"}, ExprCase{L"ab < abc", Tag::Bool, L"true"},
                      ExprCase{L"B < a", Tag::Bool, L"true"}, ExprCase{L"true == 1", Tag::Bool, L"true"},
                      ExprCase{L"abc == abc", Tag::Bool, L"true"}, ExprCase{L"abc == ABC", Tag::Bool, L"false"},
                      ExprCase{L"1 == 1.0", Tag::Bool, L"true"},
                      ExprCase{L"color(1, 2, 3) == color(1, 2, 3, 255)", Tag::Bool, L"true"},
                      ExprCase{L"color(1, 2, 3) != color(1, 2, 4)", Tag::Bool, L"true"},
                      ExprCase{L"0.5 && abc", Tag::Bool, L"false"},
                      ExprCase{L"literal(true) && 1", Tag::Bool, L"true"}));

class DivisionGuard : public ExpressionCaseTest {};
TEST_P(DivisionGuard, SkipsIntegerZeroDivisors) { Check(); }
INSTANTIATE_TEST_SUITE_P(Divisors, DivisionGuard,
                         ::testing::Values(ExprCase{L"5 / 0", Tag::Int, L"5"}, ExprCase{L"7 / 0", Tag::Int, L"7"},
                                           ExprCase{L"1.0 / 0.5", Tag::Real, L"1"}, ExprCase{L"9 / 2", Tag::Int, L"4"},
                                           ExprCase{L"-7 / 2", Tag::Int, L"-3"},
                                           ExprCase{L"9 / 2.0", Tag::Real, L"4.5"},
                                           ExprCase{L"7 / 2.0", Tag::Real, L"3.5"},
                                           ExprCase{L"5 / abc", Tag::Int, L"5"}, ExprCase{L"6 / 0 / 3", Tag::Int, L"2"},
                                           ExprCase{L"(0 - 2147483647 - 1) / -1", Tag::Int, L"-2147483648"},
                                           ExprCase{L"mod(7, 0)", Tag::Int, L"0"},
                                           ExprCase{L"mod(0 - 2147483647 - 1, -1)", Tag::Int, L"0"}));

class NumberReading : public ExpressionCaseTest {};
TEST_P(NumberReading, ReadsDigitsAndDotsOnly) { Check(); }
INSTANTIATE_TEST_SUITE_P(
    Tokens, NumberReading,
    ::testing::Values(ExprCase{L"1.5f + 1", Tag::Real, L"2.5"}, ExprCase{L"2f", Tag::Int, L"2"},
                      ExprCase{L"2f + 1", Tag::Int, L"2"},  // the "f" is left unread and stops the expression
                      ExprCase{L".5", Tag::Real, L"0.5"}, ExprCase{L"5.", Tag::Real, L"5"},
                      ExprCase{L".", Tag::Real, L"0"}, ExprCase{L"1.2.3", Tag::Real, L"0"},
                      ExprCase{L"0x10", Tag::Int, L"0"}, ExprCase{L"007", Tag::Int, L"7"},
                      ExprCase{L"4294967297", Tag::Int, L"1"},  // wraps modulo 2^32
                      ExprCase{L"0.125", Tag::Real, L"0.125"}, ExprCase{L"3.14159", Tag::Real, L"3.14159"},
                      ExprCase{L"  \t42  ", Tag::Int, L"42"}));

TEST_F(ExpressionTest, BothOperandsAreAlwaysEvaluated) {
    // rand() draws even where the left side already decides the result.
    SeedRandom(77);
    std::mt19937 ref(77);
    Eval(L"0 && rand(100)");
    Eval(L"1 || rand(100)");
    Eval(L"0 ? rand(100) : rand(100)");
    for (int i = 0; i < 4; ++i) ref();
    EXPECT_EQ(static_cast<uint32_t>(GlobalRandom().Next()), static_cast<uint32_t>(ref()) & 0x7FFFFFFFu);
}

TEST_F(ExpressionTest, ArgumentsAreEvaluatedLeftToRight) {
    SeedRandom(5);
    std::mt19937 ref(5);
    uint32_t first = (static_cast<uint32_t>(ref()) & 0x7FFFFFFFu) % 1000;
    uint32_t second = (static_cast<uint32_t>(ref()) & 0x7FFFFFFFu) % 1000;
    EXPECT_EQ(Eval(L"rand(1000) * 1000 + rand(1000)").ToInt(), static_cast<int32_t>(first * 1000 + second));
}

}  // namespace
