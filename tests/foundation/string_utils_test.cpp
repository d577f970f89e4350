#include "foundation/system/string_utils.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>

#include "foundation/values/ratio.h"

namespace {

struct IntCase {
    const char* text;
    bool ok;
    int value;
};

void PrintTo(const IntCase& c, std::ostream* os) { *os << '"' << c.text << '"'; }

class IntegerParsing : public ::testing::TestWithParam<IntCase> {};

TEST_P(IntegerParsing, NarrowAndWideAgree) {
    const IntCase& c = GetParam();
    int narrow = 77, wide = 77;
    EXPECT_EQ(StringToInt(c.text, narrow), c.ok);
    EXPECT_EQ(narrow, c.value);
    std::string text = c.text;
    EXPECT_EQ(WStringToInt(std::wstring(text.begin(), text.end()), wide), c.ok);
    EXPECT_EQ(wide, c.value);
}

INSTANTIATE_TEST_SUITE_P(Texts, IntegerParsing,
                         ::testing::Values(IntCase{"0x10", true, 16}, IntCase{"-12", true, -12},
                                           IntCase{"12.5", true, 12}, IntCase{"", false, 0}, IntCase{"abc", true, 0},
                                           IntCase{"12abc", true, 12}, IntCase{"0X1f", true, 31},
                                           IntCase{"-x1F", true, -31}, IntCase{"x1F", true, 0}, IntCase{"5x3", true, 5},
                                           IntCase{"00x1", true, 0}, IntCase{"0xg", true, 0}, IntCase{"-", true, 0},
                                           IntCase{"2147483647", true, INT_MAX},
                                           // Overlong numbers wrap modulo 2^32 instead of overflowing: 2^32 + 5.
                                           IntCase{"4294967301", true, 5}));

struct RealCase {
    const wchar_t* text;
    bool ok;
    double value;
};

void PrintTo(const RealCase& c, std::ostream* os) { *os << '"' << std::string(c.text, c.text + wcslen(c.text)) << '"'; }

class RealParsing : public ::testing::TestWithParam<RealCase> {};

TEST_P(RealParsing, DoubleAndFloat) {
    const RealCase& c = GetParam();
    double d = 99;
    float f = 99;
    EXPECT_EQ(WStringToDouble(c.text, d), c.ok);
    EXPECT_DOUBLE_EQ(d, c.value);
    EXPECT_EQ(WStringToFloat(c.text, f), c.ok);
    EXPECT_FLOAT_EQ(f, static_cast<float>(c.value));
}

INSTANTIATE_TEST_SUITE_P(Texts, RealParsing,
                         ::testing::Values(RealCase{L"1.5", true, 1.5}, RealCase{L"1.5f", false, 0},
                                           RealCase{L"1e3", false, 0}, RealCase{L" 1", false, 0},
                                           RealCase{L".5", true, 0.5}, RealCase{L"-2.25", true, -2.25},
                                           RealCase{L"1.2.3", false, 0}, RealCase{L"", false, 0},
                                           RealCase{L"42", true, 42}, RealCase{L"7.", true, 7}));

TEST(RealParsing, LoneMinusGivesNegativeZeroAndSucceeds) {
    double d = 5;
    EXPECT_TRUE(WStringToDouble(L"-", d));
    EXPECT_EQ(d, 0.0);
    EXPECT_TRUE(std::signbit(d));
}

TEST(CommaSeparate, GroupsDigitsInThrees) {
    EXPECT_EQ(CommaSeparate(1234567), L"1,234,567");
    EXPECT_EQ(CommaSeparate(999), L"999");
    EXPECT_EQ(CommaSeparate(1000), L"1,000");
    EXPECT_EQ(CommaSeparate(0), L"0");
    EXPECT_EQ(CommaSeparate(-1234), L"-1,234");
    EXPECT_EQ(CommaSeparate(INT_MIN), L"-2,147,483,648");
}

TEST(Formatting, ShortAndLongOutputsArrivedWhole) {
    EXPECT_EQ(StrFormat("%d-%s", 42, "x"), "42-x");
    EXPECT_EQ(StrFormat("%s", std::string(200, 'a').c_str()), std::string(200, 'a'));
    EXPECT_EQ(WStrFormat(L"%ls=%d", L"wide", 7), L"wide=7");
    EXPECT_EQ(WStrFormat(L"%ls", std::wstring(200, L'b').c_str()), std::wstring(200, L'b'));
}

TEST(Formatting, OutputBeyondTheOldFixedBufferLimitIsNotCut) {
    // The old largest buffer held 1,310,720 characters.
    std::string big(2'000'000, 'q');
    EXPECT_EQ(StrFormat("<%s>", big.c_str()).size(), big.size() + 2);
    std::wstring wideBig(1'400'000, L'w');
    EXPECT_EQ(WStrFormat(L"%ls!", wideBig.c_str()).size(), wideBig.size() + 1);
}

TEST(XmlEntities, DecodesTheSevenNamesOnly) {
    EXPECT_EQ(DecodeXmlEntities(L"&lt;b&gt;"), L"<b>");
    EXPECT_EQ(DecodeXmlEntities(L"&amp;&quot;&apos;&nbsp;&cr;"), L"&\"' \n");
    EXPECT_EQ(DecodeXmlEntities(L"&amp;lt;"), L"&lt;");  // decoded once, not twice
    EXPECT_EQ(DecodeXmlEntities(L"a&foo;b"), L"a&b");
    EXPECT_EQ(DecodeXmlEntities(L"&#65;"), L"&");  // no numeric references
    EXPECT_EQ(DecodeXmlEntities(L"&LT;"), L"&");   // names are case-sensitive
    EXPECT_EQ(DecodeXmlEntities(L"a & b"), L"a & b");
    EXPECT_EQ(DecodeXmlEntities(L"x&"), L"x&");
    EXPECT_EQ(DecodeXmlEntities(L"&;"), L"&");
    EXPECT_EQ(DecodeXmlEntities(L""), L"");
}

TEST(TextConversion, CaseWidthAndTrimming) {
    EXPECT_EQ(StringToUpper(L"abc-Z9"), L"ABC-Z9");
    EXPECT_EQ(StringToLower("ABC-z9"), "abc-z9");
    EXPECT_EQ(StringToWString("\xE9\x41"), std::wstring({wchar_t{0xE9}, L'A'}));
    std::wstring widened;
    WidenStringInto("ab", widened);
    EXPECT_EQ(widened, L"ab");
    EXPECT_EQ(WStringToWString(L"same"), L"same");
    EXPECT_EQ(WStringToString(L"plain"), "plain");
    EXPECT_EQ(WStringToString(L"caf\xE9"), "");  // no 7-bit form: empty
    std::string narrowed = "old";
    WStringToStringInto(L"\x263A", narrowed);
    EXPECT_EQ(narrowed, "");
    EXPECT_EQ(Trim(" \t a b \r\n"), "a b");
    EXPECT_EQ(Trim("   "), "");
    EXPECT_EQ(TrimW(L"\n x \v"), L"x");
}

TEST(Ratio, ReducesByTheEuclideanDivisor) {
    EXPECT_EQ(Ratio().numerator_, 1);
    EXPECT_EQ(Ratio().denominator_, 1);
    Ratio r(6, 4);
    EXPECT_EQ(r.numerator_, 3);
    EXPECT_EQ(r.denominator_, 2);
    r.Assign(0, 5);
    EXPECT_EQ(r.numerator_, 0);
    EXPECT_EQ(r.denominator_, 1);
    // Euclid on (2, -4): 2 % -4 = 2, -4 % 2 = 0, so the divisor is 2.
    r.Set(2, -4);
    EXPECT_EQ(r.numerator_, 1);
    EXPECT_EQ(r.denominator_, -2);
    // Euclid on (-2, 4): -2 % 4 = -2, 4 % -2 = 0, so the divisor is -2.
    r.Set(-2, 4);
    EXPECT_EQ(r.numerator_, 1);
    EXPECT_EQ(r.denominator_, -2);
}

TEST(Ratio, ZeroOverZeroStoresZeroOverOneInsteadOfDividingByZero) {
    Ratio r(0, 0);
    EXPECT_EQ(r.numerator_, 0);
    EXPECT_EQ(r.denominator_, 1);
}

TEST(Ratio, MostNegativeOverMinusOneDoesNotTrap) {
    // The divisor is -1; 2^31 has no int form and wraps to INT_MIN.
    Ratio r(INT_MIN, -1);
    EXPECT_EQ(r.numerator_, INT_MIN);
    EXPECT_EQ(r.denominator_, 1);
    r.Set(INT_MIN, INT_MIN);
    EXPECT_EQ(r.numerator_, 1);
    EXPECT_EQ(r.denominator_, 1);
}

}  // namespace
