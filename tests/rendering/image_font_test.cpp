// Image fonts without a device: widths with spacing and kerning, the
// character map, layer selection by tags and point size, metrics, order
// buckets, colours and batching, and strings longer than the glyph pool.
#include <limits>
#include <memory>
#include <string>
#include <vector>

#include "rendering/font/font_data.h"
#include "rendering/font/image_font.h"
#include "rendering/image/image_surface.h"
#include "tests/rendering/font_data_test_support.h"
#include "tests/rendering/graphics_test_support.h"

namespace {

using testsupport::RecordingTarget;

// Glyphs A (8 wide), V (7) and space (4) cut from a 64 x 32 image; advance
// widths 9, 8 and 4; one pixel of spacing; A followed by V kerns by -2.
const char* kBasic =
    "SetDefaultPointSize 16;\n"
    "CreateLayer Body;\n"
    "LayerSetImage Body 'glyphs.png';\n"
    "LayerSetAscent Body 12;\n"
    "LayerSetHeight Body 16;\n"
    "LayerSetImageMap Body ('A' 'V' ' ') ((0 0 8 12) (8 0 7 12) (15 0 4 12));\n"
    "LayerSetCharWidths Body ('A' 'V' ' ') (9 8 4);\n"
    "LayerSetKerningPairs Body ('AV') (-2);\n"
    "LayerSetSpacing Body 1;\n";

class ImageFontTest : public testsupport::FontDataTest {
protected:
    std::unique_ptr<ImageFont> Make(const std::string& descriptor, bool batch = false, double scale = 1.0) {
        WriteImage("glyphs.png", 64, 32);
        return std::make_unique<ImageFont>(WriteDescriptor(descriptor), batch, scale);
    }

    // The layer names of the active layers, in order.
    static std::vector<std::wstring> Active(const ImageFont& font) {
        std::vector<std::wstring> names;
        for (const ActiveFontLayer& active : font.GetActiveLayers()) {
            const FontData* data = font.GetFontData();
            for (const auto& layer : data->GetLayers())
                if (layer.get() == active.layer) names.push_back(NameOf(*data, layer.get()));
        }
        return names;
    }

    static std::wstring NameOf(const FontData& data, const FontLayer* layer) {
        for (const wchar_t* name : {L"Plain", L"Bold", L"Big", L"Small", L"Body", L"Shadow"})
            if (data.GetLayerByName(name) == layer) return name;
        return L"?";
    }

    // Image draws recorded by the target, in the order they reached it.
    static std::vector<testsupport::TargetCall> ImageDraws(const RecordingTarget& target) {
        std::vector<testsupport::TargetCall> draws;
        for (const auto& call : target.calls)
            if (call.op == "clipped") draws.push_back(call);
        return draws;
    }
};

TEST_F(ImageFontTest, WidthsAddSpacingAndKerningBetweenCharactersOnly) {
    auto font = Make(kBasic);
    ASSERT_TRUE(font->GetFontData()->IsLoaded());
    EXPECT_FLOAT_EQ(font->CharWidth(L'A'), 9);             // the first character: no spacing
    EXPECT_FLOAT_EQ(font->CharWidthKern(L'V', L'A'), 7);   // 8 + 1 spacing - 2 kerning
    EXPECT_FLOAT_EQ(font->CharWidthKern(L'A', L'V'), 10);  // V then A: spacing, no kerning
    EXPECT_FLOAT_EQ(font->CharWidthKern(L'Z', L'A'), 0);   // no glyph, no spacing either
    EXPECT_FLOAT_EQ(font->StringWidth(L"AV"), 16);
    EXPECT_FLOAT_EQ(font->StringWidth(L"AVA"), 26);
    EXPECT_FLOAT_EQ(font->StringWidth(L""), 0);

    // Drawing advances the pen by the same amounts and reports the same width.
    RecordingTarget target;
    int width = -1;
    std::vector<FRect> rects;
    {
        Graphics g(&target);
        font->DrawStringEx(g, 10, 30, L"AVA", Color::White, g.GetClipRect(), &rects, &width);
    }
    EXPECT_EQ(width, 26);
    ASSERT_EQ(rects.size(), 3u);
    EXPECT_FLOAT_EQ(rects[0].x, 10);
    EXPECT_FLOAT_EQ(rects[1].x, 10 + 9 + 1 - 2);
    EXPECT_FLOAT_EQ(rects[2].x, 10 + 9 + 7 + 1);  // V is followed by spacing, not kerning
    EXPECT_FLOAT_EQ(rects[2].x - rects[1].x, 8 + 1);
    // The glyph's top lies the ascent above the baseline; its size is its rectangle.
    EXPECT_FLOAT_EQ(rects[0].y, 30 - 12);
    EXPECT_FLOAT_EQ(rects[1].w, 7);
    EXPECT_FLOAT_EQ(rects[1].h, 12);
}

TEST_F(ImageFontTest, CharacterMapAppliesToCodesBelow256Only) {
    auto font = Make(std::string(kBasic) + "SetCharMap (',') ('A');\n");
    EXPECT_FLOAT_EQ(font->CharWidth(L','), 9);
    // 300 shares its low byte with ',' but is not mapped.
    EXPECT_FLOAT_EQ(font->CharWidth(static_cast<wchar_t>(300)), 0);
    EXPECT_FLOAT_EQ(font->CharWidthKern(L'V', L','), 7);  // the previous character is mapped too
}

const char* kLayered =
    "SetDefaultPointSize 12;\n"
    "CreateLayer Plain;\n"
    "LayerExcludeTags Plain ('bold');\n"
    "LayerSetAscent Plain 10;\n"
    "LayerSetHeight Plain 14;\n"
    "LayerSetAscentPadding Plain 2;\n"
    "LayerSetCharWidths Plain ('a') (5);\n"
    "CreateLayer Bold;\n"
    "LayerRequireTags Bold ('Bold');\n"
    "LayerSetAscent Bold 11;\n"
    "LayerSetHeight Bold 15;\n"
    "LayerSetLineSpacingOffset Bold 3;\n"
    "LayerSetCharWidths Bold ('a') (7);\n"
    "CreateLayer Big;\n"
    "LayerPointRange Big 20 -1;\n"
    "LayerSetAscent Big 30;\n"
    "LayerSetAscentPadding Big -1;\n"
    "LayerSetCharWidths Big ('a') (9);\n"
    "CreateLayer Small;\n"
    "LayerPointRange Small 0 11;\n"
    "LayerSetAscent Small 6;\n"
    "LayerSetCharWidths Small ('a' 'b') (3 4);\n";

TEST_F(ImageFontTest, LayersAreChosenByTagsAndPointSize) {
    auto font = Make(kLayered);
    using Names = std::vector<std::wstring>;
    EXPECT_EQ(font->GetPointSize(), 12);
    EXPECT_EQ(Active(*font), (Names{L"Plain"}));
    EXPECT_FLOAT_EQ(font->GetAscent(), 10);
    EXPECT_FLOAT_EQ(font->CharWidth(L'a'), 5);

    font->AddTag(L"bold");
    font->AddTag(L"BOLD");
    EXPECT_EQ(font->GetTags(), (Names{L"BOLD"}));
    EXPECT_TRUE(font->HasTag(L"Bold"));
    EXPECT_FLOAT_EQ(font->CharWidth(L'a'), 7);  // rebuilt before measuring
    EXPECT_EQ(Active(*font), (Names{L"Bold"}));

    font->SetPointSize(20);                     // the upper bound -1 is open
    EXPECT_FLOAT_EQ(font->CharWidth(L'a'), 9);  // the widest layer wins
    EXPECT_EQ(Active(*font), (Names{L"Bold", L"Big"}));
    EXPECT_FLOAT_EQ(font->GetAscent(), 30);

    font->RemoveTag(L"Bold");
    font->SetPointSize(11);
    font->Prepare();
    EXPECT_EQ(Active(*font), (Names{L"Plain", L"Small"}));
    // A character only one layer has takes that layer's width.
    EXPECT_FLOAT_EQ(font->CharWidth(L'b'), 4);
}

TEST_F(ImageFontTest, MetricsCombineTheActiveLayers) {
    auto font = Make(kLayered);
    font->AddTag(L"bold");
    font->SetPointSize(25);
    font->Prepare();                                   // Bold and Big
    EXPECT_FLOAT_EQ(font->GetAscent(), 30);            // the largest ascent
    EXPECT_FLOAT_EQ(font->GetHeight(), 15);            // the largest height
    EXPECT_FLOAT_EQ(font->GetAscentPadding(), -1);     // the smallest padding
    EXPECT_FLOAT_EQ(font->GetLineSpacingOffset(), 3);  // the largest offset
    EXPECT_FLOAT_EQ(font->GetLineSpacing(), 18);

    // An offset set from outside holds until the layers are next rebuilt.
    font->lineSpacingOffset = 10;
    EXPECT_FLOAT_EQ(font->GetLineSpacingOffset(), 10);
    font->SetPointSize(26);
    font->Prepare();
    EXPECT_FLOAT_EQ(font->GetLineSpacingOffset(), 3);
}

TEST_F(ImageFontTest, LayerWithoutHeightTakesItsGlyphHeight) {
    auto font = Make(
        "CreateLayer Body;\n"
        "LayerSetImage Body 'glyphs.png';\n"
        "LayerSetCharOffsets Body ('a') ((0 3));\n"
        "LayerSetImageMap Body ('a' 'b') ((0 0 4 9) (4 0 4 11));\n");
    EXPECT_FLOAT_EQ(font->GetHeight(), 12);  // 9 + offset 3 beats 11
}

TEST_F(ImageFontTest, UnscaledLayerDrawsFromTheLayerImageItself) {
    auto font = Make(kBasic);
    ASSERT_EQ(font->GetActiveLayers().size(), 1u);
    const ActiveFontLayer& active = font->GetActiveLayers()[0];
    EXPECT_FALSE(active.OwnsImage());
    ASSERT_NE(active.image, nullptr);
    EXPECT_EQ(active.image->sourceWidth, 64);
    EXPECT_EQ(active.image->sourceHeight, 32);
    EXPECT_TRUE(active.image->premultiplied);
    EXPECT_EQ(active.glyphRects.at(L'V'), Rect(8, 0, 7, 12));
}

TEST_F(ImageFontTest, LayerDrawnForTwiceTheSizeMakesAStripOfHalfSizeGlyphs) {
    auto font = Make(std::string(kBasic) + "LayerSetPointSize Body 32;\n");
    ASSERT_EQ(font->GetPointSize(), 16);
    ASSERT_EQ(font->GetActiveLayers().size(), 1u);
    const ActiveFontLayer& active = font->GetActiveLayers()[0];
    EXPECT_TRUE(active.OwnsImage());
    // Ascending character code, side by side: space (4 -> 2), A (8 -> 4), V (7 -> 3).
    EXPECT_EQ(active.glyphRects.at(L' '), Rect(0, 0, 2, 6));
    EXPECT_EQ(active.glyphRects.at(L'A'), Rect(2, 0, 4, 6));
    EXPECT_EQ(active.glyphRects.at(L'V'), Rect(6, 0, 3, 6));
    EXPECT_EQ(active.image->sourceWidth, 9);
    EXPECT_EQ(active.image->sourceHeight, 6);
    // Metrics and widths halve with it.
    EXPECT_FLOAT_EQ(font->GetAscent(), 6);
    EXPECT_FLOAT_EQ(font->GetHeight(), 8);
    EXPECT_FLOAT_EQ(font->CharWidth(L'A'), 4.5f);
    EXPECT_FLOAT_EQ(font->CharWidthKern(L'V', L'A'), 3.5f);  // (8 + 1 - 2) / 2

    // A copy shares the strip rather than owning a second one.
    std::unique_ptr<Font> copy(font->Duplicate());
    auto* imageCopy = dynamic_cast<ImageFont*>(copy.get());
    ASSERT_NE(imageCopy, nullptr);
    EXPECT_EQ(imageCopy->GetActiveLayers()[0].image, active.image);
    EXPECT_EQ(font->GetFontData()->GetRefCount(), 2);
    copy.reset();
    EXPECT_EQ(font->GetFontData()->GetRefCount(), 1);

    // At scale 2 the layer's own size is met again, but scaled fonts always strip.
    font->SetScale(2);
    font->Prepare();
    EXPECT_EQ(font->GetActiveLayers()[0].glyphRects.at(L'A'), Rect(4, 0, 8, 12));
    EXPECT_FLOAT_EQ(font->GetAscent(), 12);
}

// Body glyph B has order 5 (bucket 4); the Shadow layer, a copy of Body moved
// one pixel, has base order -7 (bucket 0 for both of its glyphs).
const char* kOrdered =
    "CreateLayer Body;\n"
    "LayerSetImage Body 'glyphs.png';\n"
    "LayerSetAscent Body 10;\n"
    "LayerSetImageMap Body ('A' 'B') ((0 0 8 10) (8 0 8 10));\n"
    "LayerSetCharWidths Body ('A' 'B') (9 9);\n"
    "LayerSetCharOrders Body ('B') (5);\n"
    "LayerSetDrawMode Body 1;\n"
    "CreateLayerFrom Shadow Body;\n"
    "LayerSetBaseOrder Shadow -7;\n"
    "LayerSetOffset Shadow (1 1);\n";

TEST_F(ImageFontTest, GlyphsAreDrawnBucketByBucketInOrder) {
    auto font = Make(kOrdered);
    ASSERT_TRUE(font->GetFontData()->IsLoaded());

    RecordingTarget target;
    {
        Graphics g(&target);
        g.SetDrawMode(kDrawMultiply);
        font->DrawString(g, 0, 20, L"AB", Color::White, g.GetClipRect());
        EXPECT_EQ(g.GetDrawMode(), kDrawMultiply);  // restored
        EXPECT_FALSE(g.GetColorizeImages());
    }
    const auto draws = ImageDraws(target);
    ASSERT_EQ(draws.size(), 4u);
    // Bucket 0: both shadow glyphs (one pixel right and down), in string order.
    EXPECT_FLOAT_EQ(draws[0].x, 1);
    EXPECT_FLOAT_EQ(draws[0].y, 11);
    EXPECT_FLOAT_EQ(draws[1].x, 10);
    // Bucket 2: body A; bucket 4: body B, last although it came before shadow B.
    EXPECT_FLOAT_EQ(draws[2].x, 0);
    EXPECT_FLOAT_EQ(draws[2].y, 10);
    EXPECT_FLOAT_EQ(draws[3].x, 9);
    EXPECT_EQ(draws[3].source, FRect(8, 0, 8, 10));
    // Each glyph uses its layer's draw mode, which the copied layer kept.
    EXPECT_EQ(draws[2].state.mode, kDrawAdditive);
    EXPECT_EQ(draws[0].state.mode, kDrawAdditive);
}

TEST_F(ImageFontTest, LayerWithoutDrawModeKeepsTheContextsMode) {
    auto font = Make(kBasic);
    RecordingTarget target;
    {
        Graphics g(&target);
        g.SetDrawMode(kDrawMultiply);
        font->DrawString(g, 0, 20, L"A", Color::White, g.GetClipRect());
    }
    ASSERT_EQ(ImageDraws(target).size(), 1u);
    EXPECT_EQ(ImageDraws(target)[0].state.mode, kDrawMultiply);
}

TEST_F(ImageFontTest, DrawColourIsTheGivenColourTimesTheFontColour) {
    auto font = Make(kBasic);
    font->color = Color::FromRGBA(255, 0, 0, 255);
    RecordingTarget target;
    {
        Graphics g(&target);
        g.SetColor(Color::FromRGBA(1, 2, 3, 4));
        font->DrawString(g, 0, 20, L"A", Color::FromRGBA(0, 0, 255, 255), g.GetClipRect());
        EXPECT_EQ(g.GetColor(), Color::FromRGBA(1, 2, 3, 4));
    }
    const auto draws = ImageDraws(target);
    ASSERT_EQ(draws.size(), 1u);
    EXPECT_EQ(draws[0].color.r, 0);
    EXPECT_EQ(draws[0].color.g, 0);
    EXPECT_EQ(draws[0].color.b, 0);
    EXPECT_EQ(draws[0].color.a, 255);
}

TEST_F(ImageFontTest, BatchingFontQueuesEachBucketUnderTheNextDrawOrder) {
    auto font = Make(kOrdered, true);
    ASSERT_TRUE(font->batch);
    RecordingTarget target;
    {
        Graphics g(&target);
        font->DrawString(g, 0, 20, L"AB", Color::White, g.GetClipRect());
        EXPECT_FALSE(g.IsBatching());  // restored, and flushed on the way
        EXPECT_EQ(g.GetState().drawOrder, 0);
    }
    // One quad batch per bucket, lowest order first.
    std::vector<std::vector<float>> xs;
    for (const auto& call : target.calls) {
        ASSERT_EQ(call.op, "triangles");
        xs.emplace_back();
        for (const QuadBatchItem& item : call.quads) xs.back().push_back(item.x);
    }
    EXPECT_EQ(xs, (std::vector<std::vector<float>>{{1, 10}, {0}, {9}}));
}

// The pool once held 4,096 glyphs and silently cut longer strings.
TEST_F(ImageFontTest, LongStringIsDrawnAndMeasuredWholePastTheOldPoolSize) {
    auto font = Make(kBasic);
    const std::wstring text(5000, L'A');
    EXPECT_FLOAT_EQ(font->StringWidth(text), 5000 * 9 + 4999 * 1);
    RecordingTarget target;
    int width = 0;
    std::vector<FRect> rects;
    {
        Graphics g(&target);
        font->DrawStringEx(g, 0, 20, text, Color::White, g.GetClipRect(), &rects, &width);
    }
    EXPECT_EQ(width, 5000 * 9 + 4999);
    EXPECT_EQ(rects.size(), 5000u);
    const auto draws = ImageDraws(target);
    ASSERT_EQ(draws.size(), 5000u);
    EXPECT_FLOAT_EQ(draws.back().x, 4999 * 10);

    // The next, short string starts from an empty queue.
    RecordingTarget second;
    {
        Graphics g(&second);
        font->DrawString(g, 0, 20, L"AV", Color::White, g.GetClipRect());
    }
    EXPECT_EQ(ImageDraws(second).size(), 2u);
}

// Glyphs without images, with the largest offsets, widths, kerning and
// spacing a descriptor may give.
const char* kExtreme =
    "CreateLayer Body;\n"
    "LayerSetCharWidths Body ('A' 'V') (60000 60000);\n"
    "LayerSetCharOffsets Body ('A' 'V') ((60000 -60000) (-60000 60000));\n"
    "LayerSetKerningPairs Body ('AV') (60000);\n"
    "LayerSetSpacing Body 60000;\n";

TEST_F(ImageFontTest, HugeSizeFactorPutsGlyphsAtTheSaturatedEndsInsteadOfWrapping) {
    // A scale from fonts.xml is not bounded: the glyph places leave the int range.
    auto font = Make(kExtreme, false, 1e9);
    ASSERT_TRUE(font->GetFontData()->IsLoaded());
    RecordingTarget target;
    int width = 0;
    std::vector<FRect> rects;
    {
        Graphics g(&target);
        font->DrawStringEx(g, 10, 30, L"AV", Color::White, g.GetClipRect(), &rects, &width);
    }
    constexpr float kIntEnd = 2147483648.0f;  // 2^31, where the int range ends
    ASSERT_EQ(rects.size(), 2u);
    // A lies as far right and as far up as an int reaches, not wrapped to the other side.
    EXPECT_FLOAT_EQ(rects[0].x, kIntEnd + 10);
    EXPECT_FLOAT_EQ(rects[0].y, 30 - kIntEnd);
    EXPECT_FLOAT_EQ(rects[1].y, 30 + kIntEnd);  // V: as far down
    EXPECT_EQ(width, std::numeric_limits<int>::max());
}

TEST_F(ImageFontTest, RescaledStripTooLargeIsNotMadeAndItsGlyphsDrawNothing) {
    // 400 times the glyphs of kBasic: a strip of 7,600 x 4,800 pixels.
    auto font = Make(kBasic, false, 400);
    ASSERT_EQ(font->GetActiveLayers().size(), 1u);
    const ActiveFontLayer& active = font->GetActiveLayers()[0];
    EXPECT_EQ(active.image, nullptr);
    EXPECT_FALSE(active.OwnsImage());
    // Measuring and metrics do not need the strip.
    EXPECT_FLOAT_EQ(font->CharWidth(L'A'), 9 * 400);
    EXPECT_FLOAT_EQ(font->GetAscent(), 12 * 400);
    RecordingTarget target;
    int width = 0;
    {
        Graphics g(&target);
        font->DrawStringEx(g, 0, 20, L"AV", Color::White, g.GetClipRect(), nullptr, &width);
    }
    EXPECT_EQ(width, (9 + 1 - 2) * 400 + 8 * 400);
    EXPECT_TRUE(ImageDraws(target).empty());
}

TEST_F(ImageFontTest, DescriptorThatFailedGivesAnEmptyFont) {
    auto font = Make("CreateLayer Body;\nLayerSetCharWidths Body ('a') (5);\nNoSuchCommand;\n");
    EXPECT_FALSE(font->GetFontData()->IsLoaded());
    EXPECT_EQ(app.boxes.size(), 1u);
    EXPECT_FLOAT_EQ(font->GetHeight(), 0);
    EXPECT_FLOAT_EQ(font->GetAscent(), 0);
    EXPECT_TRUE(font->GetActiveLayers().empty());
    EXPECT_FLOAT_EQ(font->StringWidth(L"aaa"), 0);
    RecordingTarget target;
    int width = 7;
    {
        Graphics g(&target);
        font->DrawStringEx(g, 0, 20, L"aaa", Color::White, g.GetClipRect(), nullptr, &width);
    }
    EXPECT_EQ(width, 0);
    EXPECT_TRUE(target.calls.empty());
}

}  // namespace

namespace {

// The table of the first 256 characters against the searches it replaced:
// the layer's glyph data, the character's place, else the space's.
TEST_F(ImageFontTest, FirstGlyphTableAgreesWithTheSearchesItStandsFor) {
    for (const std::string& extra : {std::string(), std::string("LayerSetPointSize Body 32;\n")}) {
        auto font = Make(std::string(kBasic) + extra);
        ASSERT_EQ(font->GetActiveLayers().size(), 1u);
        const ActiveFontLayer& active = font->GetActiveLayers()[0];
        for (wchar_t c = -1; c < 300; ++c) {
            const ActiveFontLayer::Glyph got = active.Find(c);
            ASSERT_EQ(got.data, active.layer->FindCharData(c)) << int(c);
            if (!got.data) continue;
            auto rect = active.glyphRects.find(c);
            if (rect == active.glyphRects.end()) rect = active.glyphRects.find(L' ');
            const FRect expected = rect != active.glyphRects.end() ? FRect::FromRect(rect->second) : FRect();
            EXPECT_EQ(got.source.x, expected.x) << int(c);
            EXPECT_EQ(got.source.y, expected.y) << int(c);
            EXPECT_EQ(got.source.w, expected.w) << int(c);
            EXPECT_EQ(got.source.h, expected.h) << int(c);
        }
    }
}

}  // namespace
