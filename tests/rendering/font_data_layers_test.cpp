// Font descriptor layers: selection data, per-character data and glyph images.
#include <string>
#include <vector>

#include "tests/rendering/font_data_test_support.h"

namespace {

using testsupport::FontDataTest;
using testsupport::Held;
using Strings = std::vector<std::string>;
using Tags = std::vector<std::wstring>;

const FontLayer& Layer(Held& font, const wchar_t* name) {
    const FontLayer* layer = font->GetLayerByName(name);
    EXPECT_NE(layer, nullptr) << "no layer " << text::ToUtf8(name);
    static const FontLayer empty(nullptr);
    return layer != nullptr ? *layer : empty;
}

TEST_F(FontDataTest, LayerSelectionDataAndMetricsAreStored) {
    Held font;
    ASSERT_TRUE(Load(font,
                     "Define Shadows ('shadow' 'Soft');\n"
                     "CreateLayer Body;\n"
                     "LayerRequireTags Body ('bold' 'Outline');\n"
                     "LayerRequireTags Body ('x');\n"
                     "LayerExcludeTags Body Shadows;\n"
                     "LayerPointRange Body 10 -1;\n"
                     "LayerSetPointSize Body 24;\n"
                     "LayerSetDrawMode Body 10;\n"
                     "LayerSetHeight Body 30.5;\n"
                     "LayerSetAscent Body 22;\n"
                     "LayerSetAscentPadding Body -2;\n"
                     "LayerSetLineSpacingOffset Body 3;\n"
                     "LayerSetOffset Body (2.7 -1.5);\n"
                     "LayerSetSpacing Body 1.25;\n"
                     "LayerSetBaseOrder Body -3;\n"));
    const FontLayer& body = Layer(font, L"body");
    EXPECT_EQ(body.requiredTags, (Tags{L"BOLD", L"OUTLINE", L"X"}));
    EXPECT_EQ(body.excludedTags, (Tags{L"SHADOW", L"SOFT"}));
    EXPECT_EQ(body.minPointSize, 10.0f);
    EXPECT_EQ(body.maxPointSize, -1.0f);
    EXPECT_EQ(body.pointSize, 24.0f);
    EXPECT_EQ(body.drawMode, 10);
    EXPECT_EQ(body.height, 30.5f);
    EXPECT_EQ(body.ascent, 22.0f);
    EXPECT_EQ(body.ascentPadding, -2.0f);
    EXPECT_EQ(body.lineSpacingOffset, 3.0f);
    EXPECT_EQ(body.offsetX, 2);  // integer parts, toward zero
    EXPECT_EQ(body.offsetY, -1);
    EXPECT_EQ(body.spacing, 1.25f);
    EXPECT_EQ(body.baseOrder, -3);
}

TEST_F(FontDataTest, TakenLayerNameIsReportedAndTheNewLayerStaysUnnamed) {
    Held font;
    EXPECT_TRUE(Load(font, "CreateLayer Body;\nCreateLayer body;\nLayerSetSpacing Body 4;\n"));
    EXPECT_TRUE(font->IsLoaded());
    EXPECT_EQ(Messages(), Strings{"Layer Already Exists"});
    ASSERT_EQ(font->GetLayers().size(), 2u);
    EXPECT_EQ(font->GetLayers()[0]->spacing, 4.0f);  // the name reaches the first
    EXPECT_EQ(font->GetLayers()[1]->spacing, 0.0f);
}

TEST_F(FontDataTest, CreateLayerFromCopiesEverythingAndThenStandsAlone) {
    Held font;
    ASSERT_TRUE(Load(font,
                     "CreateLayer Body;\n"
                     "LayerRequireTags Body ('bold');\n"
                     "LayerSetSpacing Body 2;\n"
                     "LayerSetCharWidths Body ('a' 'b') (5 6);\n"
                     "LayerSetKerningPairs Body ('ab') (-1);\n"
                     "CreateLayerFrom Shadow Body;\n"
                     "LayerSetOffset Shadow (1 1);\n"
                     "LayerSetCharWidths Shadow ('a' 'c') (7 8);\n"
                     "LayerSetCharWidths Body ('d') (9);\n"));
    ASSERT_EQ(font->GetLayers().size(), 2u);
    const FontLayer& body = Layer(font, L"Body");
    const FontLayer& shadow = Layer(font, L"Shadow");
    EXPECT_EQ(shadow.requiredTags, Tags{L"BOLD"});
    EXPECT_EQ(shadow.spacing, 2.0f);
    EXPECT_EQ(shadow.FindCharData(L'b')->advanceWidth, 6.0f);
    EXPECT_EQ(shadow.FindCharData(L'a')->GetKerning(L'b'), -1.0f);
    // Later changes to either leave the other alone.
    EXPECT_EQ(shadow.FindCharData(L'a')->advanceWidth, 7.0f);
    EXPECT_EQ(body.FindCharData(L'a')->advanceWidth, 5.0f);
    EXPECT_EQ(body.FindCharData(L'c'), nullptr);
    EXPECT_EQ(shadow.FindCharData(L'd'), nullptr);
    EXPECT_EQ(body.offsetX, 0);
    EXPECT_EQ(shadow.offsetX, 1);
}

TEST_F(FontDataTest, CharWidthsAndOrdersAreStoredPerCharacter) {
    Held font;
    ASSERT_TRUE(Load(font,
                     "Define Chars ('a' \"\"\"\" '\\\\' 7 ',');\n"  // a, a double quote, a backslash, 7 and a comma
                     "CreateLayer Body;\n"
                     "LayerSetCharWidths Body Chars (5 6.5 7 8 9);\n"
                     "LayerSetCharOrders Body ('a' '7') (-7 5);\n"));
    const FontLayer& body = Layer(font, L"Body");
    EXPECT_EQ(body.GetChars().size(), 5u);
    EXPECT_EQ(body.FindCharData(L'a')->advanceWidth, 5.0f);
    EXPECT_EQ(body.FindCharData(L'"')->advanceWidth, 6.5f);
    EXPECT_EQ(body.FindCharData(L'\\')->advanceWidth, 7.0f);
    EXPECT_EQ(body.FindCharData(L'7')->advanceWidth, 8.0f);
    EXPECT_EQ(body.FindCharData(L',')->advanceWidth, 9.0f);
    EXPECT_EQ(body.FindCharData(L'a')->order, -7.0f);
    EXPECT_EQ(body.FindCharData(L'7')->order, 5.0f);
}

TEST_F(FontDataTest, BadEntryIsSkippedTheRestAppliedAndTheCommandFails) {
    Held font;
    EXPECT_FALSE(Load(font, "CreateLayer Body;\nLayerSetCharWidths Body ('a' 'bc' 'd') (5 6 7);\n"));
    EXPECT_EQ(Messages(), Strings{"Invalid Parameter Type"});
    const FontLayer& body = Layer(font, L"Body");
    EXPECT_EQ(body.FindCharData(L'a')->advanceWidth, 5.0f);
    EXPECT_EQ(body.FindCharData(L'd')->advanceWidth, 7.0f);
    EXPECT_EQ(body.FindCharData(L'b'), nullptr);
}

TEST_F(FontDataTest, PairedListsOfDifferentSizesApplyNothing) {
    for (const char* line : {"LayerSetCharWidths Body ('a' 'b') (5)", "LayerSetCharOrders Body ('a') (1 2)",
                             "LayerSetCharOffsets Body ('a' 'b') ((1 2))", "LayerSetKerningPairs Body ('ab') (1 2)"}) {
        SCOPED_TRACE(line);
        Held font;
        app.boxes.clear();
        EXPECT_FALSE(Load(font, std::string("CreateLayer Body;\n") + line + ";\n"));
        EXPECT_EQ(Messages(), Strings{"List Size Mismatch"});
        EXPECT_TRUE(Layer(font, L"Body").GetChars().empty());
    }
}

TEST_F(FontDataTest, KerningPairsAreStoredUnderTheFirstCharacter) {
    Held font;
    EXPECT_FALSE(Load(font,
                      "CreateLayer Body;\n"
                      "LayerSetKerningPairs Body ('AV' 'AW' 'To' 'x' 'xyz') (-2 -1.5 -3 4 5);\n"));
    EXPECT_EQ(Messages(), Strings{"Invalid Parameter Type"});  // 'x' and 'xyz' are no pairs
    const FontLayer& body = Layer(font, L"Body");
    const CharData* a = body.FindCharData(L'A');
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(a->GetKerning(L'V'), -2.0f);
    EXPECT_EQ(a->GetKerning(L'W'), -1.5f);
    EXPECT_EQ(a->GetKerning(L'T'), 0.0f);
    EXPECT_EQ(a->kerning.size(), 2u);
    EXPECT_EQ(body.FindCharData(L'T')->GetKerning(L'o'), -3.0f);
    EXPECT_EQ(body.FindCharData(L'V'), nullptr);  // the second character gets no data of its own
    EXPECT_EQ(body.FindCharData(L'x'), nullptr);
}

TEST_F(FontDataTest, CharOffsetsNeedTwoNumbersEach) {
    Held font;
    EXPECT_FALSE(Load(font,
                      "Define Pos (3 -4);\n"
                      "CreateLayer Body;\n"
                      "LayerSetCharOffsets Body ('a' 'b' 'c' 'd') ((1 2) Pos (1 2 3) ('x' 'y'));\n"));
    EXPECT_EQ(Messages(), Strings{"Invalid Parameter Type"});
    const FontLayer& body = Layer(font, L"Body");
    EXPECT_EQ(body.FindCharData(L'a')->offsetX, 1.0f);
    EXPECT_EQ(body.FindCharData(L'a')->offsetY, 2.0f);
    EXPECT_EQ(body.FindCharData(L'b')->offsetX, 3.0f);
    EXPECT_EQ(body.FindCharData(L'b')->offsetY, -4.0f);
    // Characters named by the list have data even where their entry was bad.
    ASSERT_NE(body.FindCharData(L'c'), nullptr);
    EXPECT_EQ(body.FindCharData(L'c')->offsetX, 0.0f);
}

TEST_F(FontDataTest, ImageMapNeedsTheLayerImageAfterThePairingCheck) {
    Held font;
    EXPECT_FALSE(Load(font, "CreateLayer Body;\nLayerSetImageMap Body ('a') ((0 0 8 8) (8 0 8 8));\n"));
    EXPECT_EQ(Messages(), Strings{"List Size Mismatch"});

    Held other;
    app.boxes.clear();
    EXPECT_FALSE(Load(other, "CreateLayer Body;\nLayerSetImageMap Body ('a') ((0 0 8 8));\n"));
    EXPECT_EQ(Messages(), Strings{"Layer image not set"});
}

TEST_F(FontDataTest, ImageMapAcceptsRectanglesUpToTheImageEdges) {
    WriteImage("glyphs.png", 32, 16);
    Held font;
    ASSERT_TRUE(Load(font,
                     "CreateLayer Body;\n"
                     "LayerSetImage Body 'glyphs.png';\n"
                     "LayerSetCharOffsets Body ('a' 'b') ((0 3) (1 -2));\n"
                     "CreateHorzSpanRectList Spans (0 0 0 16) (16 16);\n"
                     "LayerSetImageMap Body ('a' 'b') Spans;\n"
                     "LayerSetImageMap Body ('c') ((4.9 2.9 3.5 5.99));\n"
                     "LayerSetCharOffsets Body ('c') ((0 40));\n"));
    const FontLayer& body = Layer(font, L"Body");
    const CharData* b = body.FindCharData(L'b');
    EXPECT_EQ(b->imageX, 16.0f);  // right edge on the image width
    EXPECT_EQ(b->imageY, 0.0f);
    EXPECT_EQ(b->imageWidth, 16.0f);
    EXPECT_EQ(b->imageHeight, 16.0f);
    const CharData* c = body.FindCharData(L'c');
    EXPECT_EQ(c->imageX, 4.0f);
    EXPECT_EQ(c->imageY, 2.0f);
    EXPECT_EQ(c->imageWidth, 3.0f);
    EXPECT_EQ(c->imageHeight, 5.0f);
    // Largest height + offset y when the last map ran: a gives 16 + 3; the
    // offset c got afterwards does not count.
    EXPECT_EQ(body.glyphHeight, 19.0f);
}

TEST_F(FontDataTest, RectangleOutsideTheImageStopsTheMapAtOnce) {
    const char* rects[] = {"(17 0 16 16)",
                           "(0 1 32 16)",
                           "(-1 0 4 4)",
                           "(0 -1 4 4)",
                           "(4 4 -2 4)",
                           "(4 4 4 -2)",
                           "(0 0 99999999999999999999 1)"};
    WriteImage("glyphs.png", 32, 16);
    for (const char* rect : rects) {
        SCOPED_TRACE(rect);
        Held font;
        app.boxes.clear();
        EXPECT_FALSE(Load(font, std::string("CreateLayer Body;\nLayerSetImage Body 'glyphs.png';\n"
                                            "LayerSetImageMap Body ('a' 'b' 'c') ((0 0 4 4) ") +
                                    rect + " (4 0 4 4));\n"));
        EXPECT_EQ(Messages(), Strings{"ImageSurface rectangle out of bounds"});
        const FontLayer& body = Layer(font, L"Body");
        EXPECT_EQ(body.FindCharData(L'a')->imageWidth, 4.0f);  // handled before: kept
        EXPECT_EQ(body.FindCharData(L'b')->imageWidth, 0.0f);
        EXPECT_EQ(body.FindCharData(L'c'), nullptr);  // never reached
    }
}

TEST_F(FontDataTest, BadRectangleEntryIsSkipped) {
    WriteImage("glyphs.png", 32, 16);
    Held font;
    EXPECT_FALSE(Load(font,
                      "CreateLayer Body;\nLayerSetImage Body 'glyphs.png';\n"
                      "LayerSetImageMap Body ('a' 'b' 'c') ((0 0 4 4) (1 2 3) (4 0 4 10));\n"));
    EXPECT_EQ(Messages(), Strings{"Invalid Parameter Type"});
    const FontLayer& body = Layer(font, L"Body");
    EXPECT_EQ(body.FindCharData(L'c')->imageX, 4.0f);
    EXPECT_EQ(body.glyphHeight, 10.0f);  // recomputed after every entry was seen
}

TEST_F(FontDataTest, LayerImageIsFoundBesideTheDescriptorAndShared) {
    WriteImage("fonts/pages/glyphs.png", 8, 4);
    WriteImage("shared.png", 2, 2);
    Held font;
    ASSERT_TRUE(font->Load(WriteDescriptor("CreateLayer Body;\n"
                                           "LayerSetImage Body 'pages/./glyphs.png';\n"
                                           "CreateLayer Shadow;\n"
                                           "LayerSetImage Shadow 'pages/./glyphs.png';\n"
                                           "CreateLayer Up;\n"
                                           "LayerSetImage Up '../shared.png';\n",
                                           "fonts/font.txt"),
                           &app));
    const FontLayerImage* image = Layer(font, L"Body").GetImage();
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->name, L"pages/./glyphs.png");
    EXPECT_EQ(image->path, dir.Path("fonts/pages/glyphs.png"));
    EXPECT_EQ(image->GetWidth(), 8);
    EXPECT_EQ(image->GetHeight(), 4);
    EXPECT_EQ(image->flags, 0);
    // Straight alpha as stored: the pixel (3, 1) was written with alpha 4.
    EXPECT_EQ(image->data->GetBits()[1 * 8 + 3], 0x04FFFFFFu);
    EXPECT_EQ(Layer(font, L"Shadow").GetImage(), image);
    EXPECT_EQ(Layer(font, L"Up").GetImage()->path, dir.Path("shared.png"));
    EXPECT_EQ(Layer(font, L"Up").GetImage()->GetWidth(), 2);
}

TEST_F(FontDataTest, BatchingFontMarksItsImagesForWholeImageTextures) {
    WriteImage("glyphs.png", 8, 4);
    Held font;
    font->SetBatch(true);
    // An extensionless name is looked for in every image format.
    ASSERT_TRUE(Load(font, "CreateLayer Body;\nLayerSetImage Body glyphs;\n"));
    ASSERT_NE(Layer(font, L"Body").GetImage(), nullptr);
    EXPECT_EQ(Layer(font, L"Body").GetImage()->flags, 1);
    EXPECT_EQ(Layer(font, L"Body").GetImage()->GetWidth(), 8);
}

TEST_F(FontDataTest, UnreadableLayerImageIsReportedAndLeavesTheLayerWithout) {
    Held font;
    EXPECT_FALSE(Load(font,
                      "CreateLayer Body;\n"
                      "LayerSetImage Body 'missing\xC4\x80.png';\n"  // U+0100 has no 8-bit form
                      "LayerSetSpacing Body 1;\n"
                      "LayerSetImageMap Body ('a') ((0 0 1 1));\n"));
    ASSERT_EQ(app.boxes.size(), 2u);
    EXPECT_EQ(app.boxes[0],
              text::Widen("Font Descriptor Error in " + dir.Path("font.txt") + "\r\nUnable to Load Image \"" +
                          dir.Path("missing?.png") + "\" on Line 2:\r\n\r\n") +
                  L"LayerSetImage Body 'missing\u0100.png'");
    EXPECT_EQ(Messages()[1], "Layer image not set");
    EXPECT_EQ(Layer(font, L"Body").spacing, 1.0f);  // the image line itself went on
    EXPECT_EQ(Layer(font, L"Body").GetImage(), nullptr);
}

}  // namespace
