// Image-font glyphs blended row by row into the software target give exactly
// the pixels of the device's draw: random strings, places, colours and clips
// drawn both ways. Kerning looked up through the table of the first 256
// characters answers what the pair map holds.
#include <map>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "foundation/values/matrix4.h"
#include "rendering/draw/graphics.h"
#include "rendering/font/font_data.h"
#include "rendering/font/image_font.h"
#include "tests/rendering/device_only_target.h"
#include "tests/rendering/fonts_test_support.h"

namespace {

class ImageFontRowsTest : public testsupport::FontDeviceTest {
protected:
    struct Line {
        std::wstring text;
        float x = 0, y = 0;
        Color color;
        FRect clip;
        bool clipped = false;
    };

    Line RandomLine() {
        Line line;
        const int length = Pick(1, 30);
        for (int i = 0; i < length; ++i) line.text.push_back(static_cast<wchar_t>(Pick(32, 300)));
        line.x = static_cast<float>(Pick(-40, host.screenW));
        line.y = static_cast<float>(Pick(-10, host.screenH + 10));
        // Some places between pixels, which the device has to take.
        if (Pick(0, 3) == 0) line.x += 0.5f;
        line.color =
            Pick(0, 2) == 0 ? Color::White : Color::FromRGBA(Pick(0, 255), Pick(0, 255), Pick(0, 255), Pick(0, 255));
        line.clipped = Pick(0, 1) == 0;
        line.clip = FRect(static_cast<float>(Pick(0, host.screenW / 2)), static_cast<float>(Pick(0, host.screenH / 2)),
                          static_cast<float>(Pick(0, host.screenW)), static_cast<float>(Pick(0, host.screenH)));
        return line;
    }

    // The lines drawn into the cleared screen; `deviceOnly` queues them in a
    // batch of the context's own, flushed through a target that keeps every
    // glyph on the device.
    std::vector<uint32_t> Draw(Font& font, const std::vector<Line>& lines, bool deviceOnly) {
        Background({255, 40, 60, 80});
        testsupport::DeviceOnlyTarget device(*Target());
        Graphics g(deviceOnly ? static_cast<ImageRenderTarget*>(&device) : Target());
        g.SetFont(&font);
        for (const Line& line : lines) {
            if (deviceOnly) g.SetBatching(true);
            if (line.clipped)
                g.SetClipRect(line.clip.x, line.clip.y, static_cast<int>(line.clip.w), static_cast<int>(line.clip.h));
            g.SetColor(line.color);
            font.DrawString(g, line.x, line.y, line.text, line.color, g.GetClipRect());
            g.SetBatching(false);
            g.SetClipRect(0, 0, host.screenW, host.screenH);
        }
        return DrawBufferPixels();
    }

    int Pick(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(random); }

    std::mt19937 random{20261207};
};

TEST_F(ImageFontRowsTest, RowsGiveTheDevicesPixelsForRandomLines) {
    for (const bool batch : {false, true})
        for (const float pointSize : {16.0f, 11.0f}) {
            ImageFont font(testsupport::kShippedFontDescriptor, batch, 1.0);
            ASSERT_TRUE(font.GetFontData()->IsLoaded());
            font.SetPointSize(pointSize);
            std::vector<Line> lines;
            for (int i = 0; i < 60; ++i) lines.push_back(RandomLine());
            const std::vector<uint32_t> rows = Draw(font, lines, false);
            const std::vector<uint32_t> device = Draw(font, lines, true);
            ASSERT_EQ(rows.size(), device.size());
            size_t differing = 0, inked = 0;
            for (size_t i = 0; i < rows.size(); ++i) {
                differing += rows[i] != device[i];
                inked += device[i] != 0xFF283C50u;
            }
            EXPECT_EQ(differing, 0u) << "batch " << batch << ", point size " << pointSize;
            EXPECT_GT(inked, 2000u);  // the lines reached the screen
        }
}

TEST_F(ImageFontRowsTest, OnlyUnscaledPlainDrawsAtWholePlacesTakeTheRows) {
    ImageFont font(testsupport::kShippedFontDescriptor, false, 1.0);
    const ActiveFontLayer& active = font.GetActiveLayers().at(0);
    const FRect source = active.Find(L'A').source;
    Graphics g(Target());
    EXPECT_TRUE(g.DrawImageRows(active.image, 10, 10, source));
    EXPECT_FALSE(g.DrawImageRows(active.image, 10.5f, 10, source));
    g.SetDrawMode(kDrawAdditive);
    EXPECT_FALSE(g.DrawImageRows(active.image, 10, 10, source));
    g.SetDrawMode(kDrawNormal);
    Matrix4 identity;
    g.ApplyTransform(identity);
    EXPECT_FALSE(g.DrawImageRows(active.image, 10, 10, source));
}

TEST(CharDataKerningTest, TableOfTheFirstCharactersAnswersAsThePairMap) {
    std::mt19937 random(7);
    std::uniform_int_distribution<int> next(-3, 600);
    for (int round = 0; round < 20; ++round) {
        CharData glyph;
        std::map<wchar_t, float> pairs;
        for (int i = 0; i < round * 5; ++i) {
            const auto c = static_cast<wchar_t>(next(random));
            const float amount = static_cast<float>(next(random)) / 8.0f;
            glyph.SetKerning(c, amount);
            pairs[c] = amount;  // a repeated pair keeps its last amount
        }
        EXPECT_EQ(glyph.kerning, pairs);
        for (int c = -3; c <= 600; ++c) {
            const auto found = pairs.find(static_cast<wchar_t>(c));
            EXPECT_EQ(glyph.GetKerning(static_cast<wchar_t>(c)), found != pairs.end() ? found->second : 0.0f) << c;
        }
        // Copies carry their own table.
        const CharData copy = glyph;
        glyph.SetKerning(L'A', 99.0f);
        EXPECT_EQ(copy.GetKerning(L'A'), pairs.count(L'A') ? pairs[L'A'] : 0.0f);
    }
}

}  // namespace
