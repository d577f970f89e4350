#include <gtest/gtest.h>

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
    EXPECT_EQ(text::FromUtf8("\xC0\xAF"), std::wstring(L"\uFFFD"));  // overlong
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

TEST(TextTest, SurrogatePairHeldAsTwoCharactersEncodesAsOneCodePoint) {
    std::wstring halves{static_cast<wchar_t>(0xD83D), static_cast<wchar_t>(0xDE00)};
    EXPECT_EQ(text::ToUtf8(halves), "\xF0\x9F\x98\x80");
    EXPECT_EQ(text::ToUtf16LE(halves), std::string("\x3D\xD8\x00\xDE", 4));
    // A lone half is still refused.
    EXPECT_EQ(text::ToUtf8(std::wstring(1, static_cast<wchar_t>(0xD83D))), "\xEF\xBF\xBD");
}

}  // namespace
