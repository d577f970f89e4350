// Built-in functions, calls with raw text, bare words and the list readers.

#include "expression_fixture.h"

#include <cmath>
#include <random>

#include "foundation/system/noise.h"
#include "foundation/system/random.h"

using namespace testsupport;

namespace {

class Builtins : public ExpressionCaseTest {};
TEST_P(Builtins, Answer) { Check(); }
INSTANTIATE_TEST_SUITE_P(
    Functions, Builtins,
    ::testing::Values(
        ExprCase{L"int(2.9)", Tag::Int, L"2"}, ExprCase{L"int(-2.7)", Tag::Int, L"-2"},
        ExprCase{L"int(1, 2)", Tag::Int, L"1"}, ExprCase{L"real(3)", Tag::Real, L"3"},
        ExprCase{L"bool(literal(TRUE))", Tag::Bool, L"false"}, ExprCase{L"bool(2)", Tag::Bool, L"true"},
        ExprCase{L"string(1.5)", Tag::String, L"1.5"}, ExprCase{L"color(10, 20, 30)", Tag::Color, L"10,20,30,255"},
        ExprCase{L"color(10, 20, 30, 40, 50)", Tag::Color, L"10,20,30,40"},
        ExprCase{L"color(1, 2)", Tag::Color, L"1,2,0,0"}, ExprCase{L"sqrt(16)", Tag::Real, L"4"},
        ExprCase{L"dist(0, 0, 3, 4)", Tag::Real, L"5"}, ExprCase{L"dist(1, 2)", Tag::Real, L"2.23607"},
        ExprCase{L"mod(7, 3)", Tag::Int, L"1"}, ExprCase{L"mod(-7, 3)", Tag::Int, L"-1"},
        ExprCase{L"mod(7, -3)", Tag::Int, L"1"}, ExprCase{L"mod(5)", Tag::Int, L"0"},
        ExprCase{L"pow(2, 10)", Tag::Real, L"1024"}, ExprCase{L"log(100)", Tag::Real, L"2"},
        ExprCase{L"log(8, 2)", Tag::Real, L"3"}, ExprCase{L"log(8, 2, 3)", Tag::String, L"log"},
        ExprCase{L"abs(-3)", Tag::Int, L"3"}, ExprCase{L"abs(-3.5)", Tag::Real, L"3.5"},
        ExprCase{L"abs(0 - 2147483647 - 1)", Tag::Int, L"-2147483648"}, ExprCase{L"sign(-0.1)", Tag::Int, L"-1"},
        ExprCase{L"sign(0)", Tag::Int, L"0"}, ExprCase{L"sign(7)", Tag::Int, L"1"},
        ExprCase{L"min(3, 3.0)", Tag::Real, L"3"}, ExprCase{L"max(2, 5)", Tag::Int, L"5"},
        ExprCase{L"min(2, 5)", Tag::Int, L"2"}, ExprCase{L"max(2.5, 1)", Tag::Real, L"2.5"},
        ExprCase{L"substring(hello, 1, 3)", Tag::String, L"ell"}, ExprCase{L"substring(hello, 2)", Tag::String, L"llo"},
        ExprCase{L"substring(hello, 2, -1)", Tag::String, L"llo"},
        ExprCase{L"substring(hello, 3, 99)", Tag::String, L"lo"},
        ExprCase{L"substring(hello, -1, 2)", Tag::String, L""}, ExprCase{L"substring(hello, 5)", Tag::String, L""},
        ExprCase{L"strlen(hello)", Tag::Int, L"5"}, ExprCase{L"strlen()", Tag::Int, L"0"},
        ExprCase{L"rand()", Tag::Int, L"0"}, ExprCase{L"rand(1)", Tag::Int, L"0"},
        ExprCase{L"rand(3, 3)", Tag::Int, L"3"}, ExprCase{L"exists(5)", Tag::Bool, L"false"},
        ExprCase{L"exists(1, 2, 3)", Tag::String, L"exists"}, ExprCase{L"foo(1)", Tag::String, L"foo"},
        ExprCase{L"undefined_name", Tag::String, L"undefined_name"}, ExprCase{L"%d%%", Tag::String, L"%d%%"},
        ExprCase{L"defined(undefined_name)", Tag::Bool, L"false"},
        ExprCase{L"literal(a, (b) c)", Tag::String, L"a, (b) c"},
        ExprCase{L"literal(  spaced  )", Tag::String, L"  spaced  "}, ExprCase{L"literal(open", Tag::String, L"open"},
        ExprCase{L"eval(literal(1 + 2))", Tag::Int, L"3"}, ExprCase{L"", Tag::String, L""},
        ExprCase{L"1 +", Tag::String, L"1"}, ExprCase{L")", Tag::String, L""},
        ExprCase{L"* 2", Tag::Int, L"0"},  // the empty name reads "", then the operator applies
        ExprCase{L"true", Tag::Bool, L"true"}, ExprCase{L"True", Tag::String, L"True"}));

TEST_F(ExpressionTest, TrigonometryWorksInDegrees) {
    EXPECT_NEAR(Eval(L"sin(90)").ToReal(), 1.0f, 1e-6f);
    EXPECT_NEAR(Eval(L"cos(180)").ToReal(), -1.0f, 1e-6f);
    EXPECT_NEAR(Eval(L"tan(45)").ToReal(), 1.0f, 1e-6f);
    EXPECT_NEAR(Eval(L"atan(1, 1)").ToReal(), 45.0f, 1e-4f);
    EXPECT_NEAR(Eval(L"atan(1, 0)").ToReal(), 90.0f, 1e-4f);
    EXPECT_NEAR(Eval(L"ln(2.718281828)").ToReal(), 1.0f, 1e-6f);
    EXPECT_TRUE(Eval(L"sin(30)").Is(Tag::Real));
}

TEST_F(ExpressionTest, VariablesAreLookedUpAndCopied) {
    vars_[L"count"] = PropertyValue(4);
    vars_[L"label"] = PropertyValue(L"go");
    vars_[L"t"] = PropertyValue(0.5f);
    EXPECT_EQ(Eval(L"count * 2").ToInt(), 8);
    EXPECT_EQ(Eval(L"label + count").ToString(), L"go4");
    EXPECT_EQ(Eval(L"t * t").ToReal(), 0.25f);
    EXPECT_TRUE(Eval(L"defined(count)").ToBool());
    EXPECT_EQ(Eval(L"countx").ToString(), L"countx");
    EXPECT_EQ(Eval(L"eval(literal(count + 1))").ToInt(), 5);
    vars_[L"true"] = PropertyValue(0);
    EXPECT_TRUE(Eval(L"true").Is(Tag::Bool));
}

TEST_F(ExpressionTest, RandDrawsByArgumentKind) {
    SeedRandom(31);
    std::mt19937 ref(31);
    auto next = [&] { return static_cast<uint32_t>(ref()) & 0x7FFFFFFFu; };
    PropertyValue a = Eval(L"rand(10)");
    EXPECT_TRUE(a.Is(Tag::Int));
    EXPECT_EQ(static_cast<uint32_t>(a.ToInt()), next() % 10);
    PropertyValue b = Eval(L"rand(2.0)");
    EXPECT_TRUE(b.Is(Tag::Real));
    EXPECT_EQ(b.ToReal(), static_cast<float>(next() / 2147483647.0 * 2.0));
    PropertyValue c = Eval(L"rand(5, 8)");
    EXPECT_EQ(static_cast<uint32_t>(c.ToInt()), 5 + next() % 3);
    PropertyValue d = Eval(L"rand(1, 2.0)");
    EXPECT_TRUE(d.Is(Tag::Real));
    EXPECT_EQ(d.ToReal(), 1.0f + static_cast<float>(next() / 2147483647.0 * 1.0));
}

TEST_F(ExpressionTest, NoiseReadsTheTables) {
    SeedRandom(11);
    InitNoiseTables();
    EXPECT_EQ(Eval(L"noise(3)").ToReal(), 0.0f);
    EXPECT_EQ(Eval(L"noise(3.25)").ToReal(), GradientNoise1D(3.25));
}

TEST_F(ExpressionTest, ConstantsReadAndEnterAbsentNamesAsZero) {
    ConstantsMap()[L"price"] = PropertyValue(2.9f);
    ConstantsMap()[L"label"] = PropertyValue(L"12");
    EXPECT_EQ(Eval(L"constant(price)").ToReal(), 2.9f);
    EXPECT_EQ(GetConstantInt(L"price"), 2);
    EXPECT_EQ(GetConstantInt(L"label"), 12);
    PropertyValue missing = Eval(L"constant(nothing_here)");
    EXPECT_TRUE(missing.Is(Tag::Int));
    EXPECT_EQ(missing.ToInt(), 0);
    ASSERT_TRUE(ConstantsMap().contains(L"nothing_here"));
    EXPECT_EQ(GetConstantInt(L"also_missing"), 0);
    EXPECT_TRUE(ConstantsMap().contains(L"also_missing"));
}

TEST_F(ExpressionTest, ConstantsLoaderStyleEvaluationSeesEarlierConstants) {
    ExpressionEvaluator loader(ConstantsMap());
    ConstantsMap()[L"a"] = loader.Evaluate(L"1");
    ConstantsMap()[L"b"] = loader.Evaluate(L"a + 1");
    EXPECT_EQ(GetConstant(L"b").ToInt(), 2);
    ConstantsMap()[L"c"] = loader.Evaluate(L"z + 1");  // a forward reference is its own text
    EXPECT_EQ(GetConstant(L"c").ToString(), L"z1");
}

TEST_F(ExpressionTest, LocalizeReadsTheTableAndEntersAbsentKeys) {
    LocalizationMap()[L"hello"] = L"Hi\nthere";
    EXPECT_EQ(Eval(L"localize(hello)").ToString(), L"Hi\nthere");
    PropertyValue missing = Eval(L"localize(nokey)");
    EXPECT_TRUE(missing.Is(Tag::String));
    EXPECT_EQ(missing.ToString(), L"");
    EXPECT_TRUE(LocalizationMap().contains(L"nokey"));
}

TEST_F(ExpressionTest, EvaluateListReadsCommaSeparatedValues) {
    vars_[L"x"] = PropertyValue(4);
    std::vector<PropertyValue> list = evaluator_.EvaluateList(L"1, 2, x + 1");
    ASSERT_EQ(list.size(), 3u);
    EXPECT_EQ(list[0].ToInt(), 1);
    EXPECT_EQ(list[1].ToInt(), 2);
    EXPECT_EQ(list[2].ToInt(), 5);
    std::vector<PropertyValue> empty = evaluator_.EvaluateList(L"");
    ASSERT_EQ(empty.size(), 1u);
    EXPECT_EQ(empty[0].ToString(), L"");
    EXPECT_EQ(evaluator_.EvaluateList(L"1, 2) 3").size(), 2u);
}

TEST_F(ExpressionTest, SplitListCutsTopLevelCommasAndTrims) {
    std::vector<PropertyValue> pieces = evaluator_.SplitList(L"a, (b, c) ,d");
    ASSERT_EQ(pieces.size(), 3u);
    EXPECT_EQ(pieces[0].ToString(), L"a");
    EXPECT_EQ(pieces[1].ToString(), L"(b, c)");
    EXPECT_EQ(pieces[2].ToString(), L"d");
    std::vector<PropertyValue> one = evaluator_.SplitList(L"");
    ASSERT_EQ(one.size(), 1u);
    EXPECT_EQ(one[0].ToString(), L"");
    EXPECT_EQ(evaluator_.SplitList(L"x + 1, y * (2)").size(), 2u);
}

TEST_F(ExpressionTest, TextFunctionsCountUtf16CodeUnits) {
    vars_[L"s"] = PropertyValue(std::wstring(L"a\U0001F600b"));
    EXPECT_EQ(Eval(L"strlen(s)").ToInt(), 4);
    EXPECT_EQ(Eval(L"substring(s, 1, 2)").ToString(), L"\U0001F600");
    EXPECT_EQ(Eval(L"substring(s, 3)").ToString(), L"b");
}

TEST_F(ExpressionTest, CharactersAboveAsciiAreNoNameCharacters) {
    EXPECT_EQ(Eval(L"\u00e9t\u00e9").ToString(), L"");
    vars_[L"caf"] = PropertyValue(1);
    EXPECT_EQ(Eval(L"caf\u00e9").ToInt(), 1);
}

}  // namespace
