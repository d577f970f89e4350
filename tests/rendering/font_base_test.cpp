#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "rendering/font/font.h"

namespace {

struct BareFont : Font {
    Font* Duplicate() const override { return new BareFont(*this); }
};

// Measures every character as 10 pixels wide, through StringWidth only.
struct FixedFont : Font {
    float StringWidth(const std::wstring& text) override { return 10.0f * static_cast<float>(text.size()); }
    Font* Duplicate() const override { return new FixedFont(*this); }
};

TEST(FontBase, MetricsDeriveFromHeightAscentAndOffset) {
    BareFont fresh;
    EXPECT_EQ(fresh.GetDescent(), 0.0f);
    EXPECT_TRUE(fresh.color.Equals(Color::FromRGBA(255, 255, 255, 255)));
    BareFont f;
    f.height = 20;
    f.ascent = 16;
    f.lineSpacingOffset = 3;
    EXPECT_EQ(f.GetDescent(), 4.0f);
    EXPECT_EQ(f.GetLineSpacing(), 23.0f);
    std::unique_ptr<Font> copy(f.Duplicate());
    EXPECT_EQ(copy->GetLineSpacing(), 23.0f);
    EXPECT_EQ(copy->GetAscent(), 16.0f);
}

TEST(FontBase, WidthsFallBackThroughStringWidth) {
    BareFont bare;
    EXPECT_EQ(bare.StringWidth(L"anything"), 0.0f);
    EXPECT_EQ(bare.CharWidth(L'x'), 0.0f);
    EXPECT_EQ(bare.CharWidthKern(L'x', L'y'), 0.0f);
    FixedFont fixed;
    EXPECT_EQ(fixed.CharWidth(L'x'), 10.0f);
    EXPECT_EQ(fixed.CharWidthKern(L'x', L'A'), 10.0f);  // the base ignores the previous character
}

}  // namespace
