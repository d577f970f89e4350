#include <gtest/gtest.h>

#include <climits>
#include <string>

#include "foundation/system/text.h"

namespace {

TEST(TextTest, Utf8RoundTripsEveryPlane) {
    std::wstring sample = L"a\u00e9\u20ac\U0001F600z";
    std::string bytes = text::ToUtf8(sample);
    EXPECT_EQ(bytes, "a\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80z");
    EXPECT_EQ(text::FromUtf8(bytes), sample);
}

TEST(TextTest, MalformedUtf8BecomesReplacementWithoutEatingText) {
    EXPECT_EQ(text::FromUtf8("a\xC3z"), std::wstring(L"a\uFFFDz"));
    EXPECT_EQ(text::FromUtf8("\xC0\xAF"), std::wstring(L"\uFFFD"));      // overlong
    EXPECT_EQ(text::FromUtf8("\xED\xA0\x80"), std::wstring(L"\uFFFD"));  // surrogate
    EXPECT_EQ(text::FromUtf8("\xFF"), std::wstring(L"\uFFFD"));
}

TEST(TextTest, Utf16LEPairsAndOddBytes) {
    std::wstring sample = L"A\U0001F600";
    std::string bytes = text::ToUtf16LE(sample);
    EXPECT_EQ(bytes, std::string("A\0\x3D\xD8\x00\xDE", 6));
    EXPECT_EQ(text::FromUtf16LE(bytes), sample);
    EXPECT_EQ(text::FromUtf16LE(std::string("\x00\xDC", 2)), std::wstring(L"\uFFFD"));  // lone low half
    EXPECT_EQ(text::FromUtf16LE(std::string("A\0B", 3)), std::wstring(L"A\uFFFD"));
}

TEST(TextTest, NarrowingAndWidening) {
    std::string out = "stale";
    EXPECT_TRUE(text::NarrowAscii(L"abc", out));
    EXPECT_EQ(out, "abc");
    EXPECT_FALSE(text::NarrowAscii(L"ab\u00e9", out));
    EXPECT_EQ(out, "");
    EXPECT_EQ(text::Widen("\xE9"), std::wstring(1, L'\u00e9'));  // byte value kept, no code page
}

TEST(TextTest, FormattingGrowsToFit) {
    std::string long_arg(5000, 'x');
    EXPECT_EQ(text::Format("%s!", long_arg.c_str()).size(), 5001u);
    std::wstring wide_arg(3000, L'y');
    EXPECT_EQ(text::WFormat(L"[%ls] %d", wide_arg.c_str(), 7), L"[" + wide_arg + L"] 7");
}

TEST(TextTest, WideFormattingReadsNarrowTextAsUtf8WithReplacementsNotAsAFailure) {
    // A byte that is no UTF-8 used to fail every attempt, growing the buffer
    // to its limit and giving an empty text.
    EXPECT_EQ(text::WFormat(L"<%s> %d", "a\xE9z", 7), L"<a\uFFFDz> 7");
    EXPECT_EQ(text::WFormat(L"%s", "caf\xC3\xA9"), L"caf\u00e9");
    EXPECT_EQ(text::WFormat(L"[%-6s|%4.2s|%c%c|%lc]", "ab", "xyz", 'q', '\xE9', L'\u00e9'),
              L"[ab    |  xy|q\uFFFD|\u00e9]");
    // A precision bounds what is read of a narrow array, counted in characters.
    const char unterminated[3] = {'a', '\xC3', '\xA9'};
    EXPECT_EQ(text::WFormat(L"%.2s", unterminated), L"a\u00e9");
}

TEST(TextTest, WideFormattingOfNumbersMatchesNarrowFormatting) {
    // The narrow formatter is the oracle: both must agree on every conversion.
    void* pointer = &pointer;
    EXPECT_EQ(text::WFormat(L"%5d|%-+4i|%#x|%o|%X|%u|%hhd|%ld|%lld|%zu|%%", 42, 7, 255, 8, 0xBEEFu, 3000000000u,
                            static_cast<signed char>(-56), -5L, -9000000000LL, size_t{12}),
              text::Widen(text::Format("%5d|%-+4i|%#x|%o|%X|%u|%hhd|%ld|%lld|%zu|%%", 42, 7, 255, 8, 0xBEEFu,
                                       3000000000u, static_cast<signed char>(-56), -5L, -9000000000LL, size_t{12})));
    EXPECT_EQ(
        text::WFormat(L"%08.3f|%g|%e|%10.4G|%a|%Lf|%p", -3.14159, 1e-5, 12345.678, 0.000123456, 1.0, 2.5L, pointer),
        text::Widen(
            text::Format("%08.3f|%g|%e|%10.4G|%a|%Lf|%p", -3.14159, 1e-5, 12345.678, 0.000123456, 1.0, 2.5L, pointer)));
    EXPECT_EQ(text::WFormat(L"%*d|%-*d|%.*f|%*.*s|", 6, 1, -6, 2, 2, 3.14159, 5, 2, "abc"),
              text::Widen(text::Format("%*d|%-*d|%.*f|%*.*s|", 6, 1, -6, 2, 2, 3.14159, 5, 2, "abc")));
}

TEST(TextTest, WideFormattingRefusesAnAbsurdWidthInsteadOfAllocatingIt) {
    // The conversion writes nothing; the rest of the text and later arguments stay.
    EXPECT_EQ(text::WFormat(L"[%*d|%d]", INT_MAX, 1, 2), L"[|2]");
    EXPECT_EQ(text::WFormat(L"[%.*s|%d]", INT_MAX, "abc", 2), L"[|2]");
}

TEST(TextTest, SurrogatePairHeldAsTwoCharactersEncodesAsOneCodePoint) {
    std::wstring halves{static_cast<wchar_t>(0xD83D), static_cast<wchar_t>(0xDE00)};
    EXPECT_EQ(text::ToUtf8(halves), "\xF0\x9F\x98\x80");
    EXPECT_EQ(text::ToUtf16LE(halves), std::string("\x3D\xD8\x00\xDE", 4));
    // A lone half is still refused.
    EXPECT_EQ(text::ToUtf8(std::wstring(1, static_cast<wchar_t>(0xD83D))), "\xEF\xBF\xBD");
}

}  // namespace
