// Text layout through the drawing context: justification, word wrap at
// spaces, hyphens and newlines, and the heights players see text take.
// The font double's characters are 10 pixels wide (spaces 5), its ascent 16
// and its line spacing 20, so a layout of n lines is 16 + 20n - 20 + 4 = 20n
// pixels high.

#include <gtest/gtest.h>

#include "graphics_test_support.h"

namespace {

using testsupport::FixedFont;

constexpr int kLine = 20;
constexpr int kAscent = 16;

class TextLayoutTest : public ::testing::Test {
protected:
    void SetUp() override { g.SetFont(&font); }

    std::vector<std::wstring> Lines() const {
        std::vector<std::wstring> lines;
        for (const auto& d : font.drawn) lines.push_back(d.text);
        return lines;
    }

    FixedFont font;
    Graphics g{nullptr};
};

TEST_F(TextLayoutTest, WriteStringJustifiesWithinTheWidth) {
    const int width = 100, measured = 4 * 10;
    EXPECT_EQ(measured, g.WriteString(L"abcd", 7, 3, width, kJustifyCentre));
    g.WriteString(L"abcd", 7, 3, width, kJustifyRight);
    g.WriteString(L"abcd", 7, 3, width, kJustifyLeft);
    g.WriteString(L"abcd", 7, 3, width, 5);  // any other value draws at x
    ASSERT_EQ(4u, font.drawn.size());
    EXPECT_EQ(7 + (width - measured) / 2, font.drawn[0].x);
    EXPECT_EQ(7 + width - measured, font.drawn[1].x);
    EXPECT_EQ(7, font.drawn[2].x);
    EXPECT_EQ(7, font.drawn[3].x);
    EXPECT_EQ(3, font.drawn[0].y);

    // Odd leftovers round the centred start down: 41 pixels in 100 start 29 in.
    FixedFont wide(41);
    g.SetFont(&wide);
    g.WriteString(L"x", 0, 0, 100, kJustifyCentre);
    ASSERT_EQ(1u, wide.drawn.size());
    EXPECT_EQ(29, wide.drawn[0].x);
}

TEST_F(TextLayoutTest, WriteStringDrawsTheAskedPartAndMeasuresWithoutDrawing) {
    EXPECT_EQ(50, g.WriteString(L"hello world", 0, 0, 0, kJustifyLeft, true, 6, 5));
    EXPECT_EQ(50, g.WriteString(L"hello world", 0, 0, 0, kJustifyLeft, true, 6, -1));
    EXPECT_EQ(50, g.WriteString(L"hello world", 0, 0, 0, kJustifyLeft, true, 6, 99));
    EXPECT_EQ(0, g.WriteString(L"hello", 0, 0, 0, kJustifyLeft, true, 40, 2));  // offset past the end
    EXPECT_EQ((std::vector<std::wstring>{L"world", L"world", L"world", L""}), Lines());
    font.drawn.clear();
    EXPECT_EQ(3 * 10 + 5, g.WriteString(L"ab c", 0, 0, 100, kJustifyCentre, false));
    EXPECT_TRUE(font.drawn.empty());
}

TEST_F(TextLayoutTest, TextTakesTheFinalColourWhateverTheImageColouring) {
    g.SetColor(Color::FromRGBA(200, 100, 50, 255));
    g.SetColorizeImages(false);
    g.ModulateColor(Color::FromRGBA(255, 255, 255, 128));
    g.DrawString(L"a", 0, 0);
    ASSERT_EQ(1u, font.drawn.size());
    const Color c = font.drawn[0].color;
    // Premultiplied modulation by alpha 128.
    EXPECT_EQ(200 * 128 / 255, c.r);
    EXPECT_EQ(100 * 128 / 255, c.g);
    EXPECT_EQ(50 * 128 / 255, c.b);
    EXPECT_EQ(128, c.a);

    Graphics noFont(nullptr);
    noFont.DrawString(L"a", 0, 0);  // nothing to draw with, nothing happens
    EXPECT_EQ(0, noFont.WriteString(L"abc", 0, 0, 10, kJustifyCentre));
}

TEST_F(TextLayoutTest, WrapsAtSpacesWithoutLeadingSpaceOnTheNextLine) {
    int widest = -1;
    // Each four-letter word fits the 45-pixel line, both do not.
    const int height = g.WriteWordWrapped(Rect(10, 20, 45, 0), L"abcd efgh", -1, kJustifyLeft, &widest);
    EXPECT_EQ((std::vector<std::wstring>{L"abcd", L"efgh"}), Lines());
    EXPECT_EQ(2 * kLine, height);
    EXPECT_EQ(40, widest);
    ASSERT_EQ(2u, font.drawn.size());
    EXPECT_EQ(10, font.drawn[0].x);
    EXPECT_EQ(20 + kAscent, font.drawn[0].y);
    EXPECT_EQ(20 + kAscent + kLine, font.drawn[1].y);
    font.drawn.clear();
    // A run of spaces at the break is skipped at the start of the next line.
    g.WriteWordWrapped(Rect(10, 20, 45, 0), L"abcd    efgh", -1, kJustifyLeft);
    ASSERT_EQ(2u, font.drawn.size());
    EXPECT_EQ(L"efgh", font.drawn[1].text);
}

TEST_F(TextLayoutTest, WrapsAfterAHyphenThatStaysOnTheFirstLine) {
    g.WriteWordWrapped(Rect(0, 0, 55, 0), L"abcd-efgh", -1, kJustifyLeft);
    EXPECT_EQ((std::vector<std::wstring>{L"abcd-", L"efgh"}), Lines());
}

TEST_F(TextLayoutTest, SplitsAWordWiderThanTheLineAtTheOverflowingCharacter) {
    EXPECT_EQ(3 * kLine, g.WriteWordWrapped(Rect(0, 0, 35, 0), L"abcdefgh", -1, kJustifyLeft));
    EXPECT_EQ((std::vector<std::wstring>{L"abc", L"def", L"gh"}), Lines());
    font.drawn.clear();
    // Narrower than one character: still one character per line.
    EXPECT_EQ(3 * kLine, g.WriteWordWrapped(Rect(0, 0, 5, 0), L"abc", -1, kJustifyLeft));
    EXPECT_EQ((std::vector<std::wstring>{L"a", L"b", L"c"}), Lines());
}

TEST_F(TextLayoutTest, NewlinesBreakAndATrailingNewlineCountsOneMoreLine) {
    EXPECT_EQ(2 * kLine, g.WriteWordWrapped(Rect(0, 0, 500, 0), L"ab\ncd", -1, kJustifyLeft));
    EXPECT_EQ((std::vector<std::wstring>{L"ab", L"cd"}), Lines());
    EXPECT_EQ(1 * kLine, Graphics::GetWordWrappedHeight(&g, 500, L"abcd"));
    EXPECT_EQ(2 * kLine, Graphics::GetWordWrappedHeight(&g, 500, L"abcd\n"));
    // Spaces that overflow the line swallow the newline after them, so no
    // blank line follows the wrap.
    EXPECT_EQ(2 * kLine, Graphics::GetWordWrappedHeight(&g, 45, L"abcd    \nefgh"));
}

TEST_F(TextLayoutTest, BlankLineAdvancesInsteadOfEndingTheLayout) {
    const int height = g.WriteWordWrapped(Rect(0, 0, 500, 0), L"ab\n\ncd\n\n\nef", -1, kJustifyLeft);
    EXPECT_EQ((std::vector<std::wstring>{L"ab", L"cd", L"ef"}), Lines());
    ASSERT_EQ(3u, font.drawn.size());
    EXPECT_EQ(kAscent, font.drawn[0].y);
    EXPECT_EQ(kAscent + 2 * kLine, font.drawn[1].y);
    EXPECT_EQ(kAscent + 5 * kLine, font.drawn[2].y);
    EXPECT_EQ(6 * kLine, height);
}

TEST_F(TextLayoutTest, WrappedLinesAreJustifiedEachInTheRectangle) {
    int widest = 0;
    g.WriteWordWrapped(Rect(100, 0, 45, 0), L"ab cdef", -1, kJustifyCentre, &widest);
    ASSERT_EQ(2u, font.drawn.size());
    EXPECT_EQ(100 + (45 - 20) / 2, font.drawn[0].x);
    EXPECT_EQ(100 + (45 - 40) / 2, font.drawn[1].x);
    EXPECT_EQ(40, widest);
    font.drawn.clear();
    g.WriteWordWrapped(Rect(100, 0, 45, 0), L"ab cdef", -1, kJustifyRight);
    EXPECT_EQ(100 + 45 - 20, font.drawn[0].x);
    EXPECT_EQ(100 + 45 - 40, font.drawn[1].x);
}

TEST_F(TextLayoutTest, ExplicitLineSpacingAndAscentPadding) {
    font.ascentPadding = 3;
    const int height = g.WriteWordWrapped(Rect(0, 0, 500, 0), L"a\nb\nc", 30, kJustifyLeft);
    ASSERT_EQ(3u, font.drawn.size());
    EXPECT_EQ(kAscent - 3 + 2 * 30, font.drawn[2].y);
    // Descent + last baseline - one spacing: the text block from the top.
    EXPECT_EQ(4 + (kAscent - 3 + 3 * 30) - 30, height);
    font.drawn.clear();
    // y names the first baseline whatever the padding.
    g.DrawStringWordWrapped(L"a\nb", 5, 50, 100, kJustifyLeft);
    ASSERT_EQ(2u, font.drawn.size());
    EXPECT_EQ(50, font.drawn[0].y);
    EXPECT_EQ(50 + kLine, font.drawn[1].y);
}

TEST_F(TextLayoutTest, MeasuringDrawsNothingAndAgreesWithDrawing) {
    const std::wstring text = L"the quick brown-fox jumps\n\nover";
    int drawnWidest = 0, measuredWidest = 0;
    const int drawn = g.WriteWordWrapped(Rect(0, 0, 70, 0), text, -1, kJustifyLeft, &drawnWidest);
    font.drawn.clear();
    EXPECT_EQ(drawn, Graphics::GetWordWrappedHeight(&g, 70, text, &measuredWidest));
    EXPECT_EQ(drawnWidest, measuredWidest);
    EXPECT_TRUE(font.drawn.empty());
    EXPECT_EQ(0, Graphics::GetWordWrappedHeight(nullptr, 70, text));
}

TEST_F(TextLayoutTest, BatchingFontsLayOutWithBatchingOnAndTheStateComesBack) {
    font.batch = true;
    g.Translate(3, 4);
    g.WriteWordWrapped(Rect(0, 0, 500, 0), L"a\nb", -1, kJustifyLeft);
    ASSERT_EQ(2u, font.drawn.size());
    EXPECT_TRUE(font.drawn[0].batching);
    EXPECT_FALSE(g.IsBatching());
    EXPECT_EQ(3, g.GetState().transX);
}

}  // namespace
