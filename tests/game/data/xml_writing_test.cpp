#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdio>
#include <limits>
#include <random>
#include <string>

#include "foundation/files/parser.h"
#include "foundation/system/text.h"
#include "game/data/catalogues/xml_writing.h"

namespace {

std::wstring SixDigits(float value) {
    char text[64];
    std::snprintf(text, sizeof text, "%g", static_cast<double>(value));
    return text::Widen(text);
}

// Digits from the first non-zero one to the last.
int SignificantDigits(const std::wstring& text) {
    std::wstring digits;
    for (wchar_t c : text)
        if (c >= L'0' && c <= L'9') digits += c;
    const size_t first = digits.find_first_not_of(L'0');
    if (first == std::wstring::npos) return 0;
    return static_cast<int>(digits.find_last_not_of(L'0') - first + 1);
}

// Every finite float, spread over all exponents: the text must read back
// through the loader's own number reader, never use an exponent, and keep the
// old six-digit text whenever that text was already exact.
TEST(ExactFloatText, ReadsBackThroughTheLoaderAndKeepsExactOldTexts) {
    std::mt19937 random(20240611);
    int kept = 0;
    for (int i = 0; i < 20000; ++i) {
        const float value = std::bit_cast<float>(static_cast<uint32_t>(random()));
        if (!std::isfinite(value)) continue;
        const std::wstring written = FormatExactFloat(value);
        ASSERT_EQ(written.find_first_of(L"eE"), std::wstring::npos) << value;
        ASSERT_EQ(TextToFloat(written), value) << text::ToUtf8(written);
        ASSERT_LE(SignificantDigits(written), 9) << text::ToUtf8(written);
        const std::wstring old = SixDigits(value);
        if (old.find(L'e') == std::wstring::npos && TextToFloat(old) == value) {
            EXPECT_EQ(written, old);
            ++kept;
        }
    }
    EXPECT_GT(kept, 0);
}

TEST(ExactFloatText, RequirementsOfTheLevelFiles) {
    const std::pair<float, const wchar_t*> cases[] = {
        {0.0f, L"0"},
        {150.0f, L"150"},
        {-4.5f, L"-4.5"},
        {0.1f, L"0.1"},
        {1500000.0f, L"1500000"},
        {123456.7f, L"123456.7"},
        {250000.5f, L"250000.5"},
        {1e-7f, L"0.0000001"},
        {16777216.0f, L"16777216"},
        {3e10f, L"30000000000"},
    };
    for (const auto& [value, expected] : cases) EXPECT_EQ(FormatExactFloat(value), expected) << value;
    // The old rule wrote these exactly: they stay as they were.
    for (float value : {0.0f, 1.0f, 0.5f, 99999.0f, 999999.0f, 0.001f, -12.25f})
        EXPECT_EQ(FormatExactFloat(value), SixDigits(value)) << value;
}

// A long digit string overflows to infinity while reading; "inf" read back as
// 0, so every save changed the requirement. Non-finite values write the
// nearest finite float, whose text reads back to itself.
TEST(ExactFloatText, OverflowedRequirementsWriteTheNearestFiniteValueAndStayPut) {
    const float huge = TextToFloat(std::wstring(60, L'9'));
    const std::pair<float, float> cases[] = {
        {huge, std::numeric_limits<float>::max()},
        {-std::numeric_limits<float>::infinity(), -std::numeric_limits<float>::max()},
        {std::numeric_limits<float>::quiet_NaN(), 0.0f},
    };
    for (const auto& [value, nearest] : cases) {
        const std::wstring written = FormatExactFloat(value);
        EXPECT_EQ(TextToFloat(written), nearest) << text::ToUtf8(written);
        EXPECT_EQ(FormatExactFloat(TextToFloat(written)), written);
    }
}

TEST(ExactFloatText, AttributesEscapeWhatWouldEndThem) {
    std::wstring out;
    AppendAttribute(out, L"name", L"a&b<c>\"d\" 'e'/");
    AppendAttribute(out, L"value", -2147483647 - 1);
    EXPECT_EQ(out, L" name=\"a&amp;b&lt;c&gt;&quot;d&quot; 'e'/\" value=\"-2147483648\"");
}

}  // namespace
