// fonts.xml: image fonts sharing descriptors by path, scale and batch flag,
// system fonts, aliases, the default font, loading steps, bad files, and
// the game's own fonts.xml.
#include <memory>
#include <string>

#include "platform/fonts/system_font.h"
#include "rendering/font/font_data.h"
#include "rendering/font/fonts_xml.h"
#include "rendering/font/image_font.h"
#include "rendering/font/sys_font.h"
#include "tests/rendering/fonts_test_support.h"

namespace {

const char* kLayerDescriptor =
    "SetDefaultPointSize 16;\n"
    "CreateLayer Body;\n"
    "LayerSetImage Body 'glyphs.png';\n"
    "LayerSetAscent Body 12;\n"
    "LayerSetHeight Body 16;\n"
    "LayerSetImageMap Body ('a' 'b') ((0 0 8 12) (8 0 8 12));\n"
    "LayerSetCharWidths Body ('a' 'b') (9 8);\n";

class FontsXmlTest : public ::testing::Test {
protected:
    FontsXmlTest() : here_(std::filesystem::path(dir.Path("."))) {
        testsupport::Picture glyphs{16, 12, std::vector<uint32_t>(16 * 12, 0xFFFFFFFF)};
        testsupport::WritePicture(dir.Path("fonts/glyphs.png"), glyphs);
        testsupport::WriteText(dir.Path("fonts/a.txt"), kLayerDescriptor);
    }
    ~FontsXmlTest() override { UnloadFonts(); }

    int Load(const std::string& body) {
        testsupport::WriteText(dir.Path("fonts.xml"), "<?xml version=\"1.0\"?>\n<fonts>\n" + body + "</fonts>\n");
        return LoadFontsXml(false);
    }

    static Font* Find(const wchar_t* name) { return GetFontMap().Find(name); }
    static ImageFont* Image(const wchar_t* name) { return dynamic_cast<ImageFont*>(Find(name)); }
    static SysFont* System(const wchar_t* name) { return dynamic_cast<SysFont*>(Find(name)); }

    testsupport::TempDir dir;
    testsupport::CurrentDirectoryGuard here_;
    testsupport::FontApp app;
};

TEST_F(FontsXmlTest, ImageFontsShareADescriptorOnlyWithTheSamePathScaleAndBatch) {
    EXPECT_EQ(Load("<font name=\"one\" path=\"a.txt\"/>\n"
                   "<font name=\"two\" path=\"a.txt\"/>\n"
                   "<font name=\"three\" path=\"a.txt\" scale=\"2\"/>\n"
                   "<font name=\"four\" path=\"a.txt\" batch=\"false\"/>\n"
                   "<font name=\"five\" path=\"a.txt\"/>\n"),
              5);
    ASSERT_TRUE(Image(L"one") && Image(L"two") && Image(L"three") && Image(L"four") && Image(L"five"));
    EXPECT_TRUE(app.boxes.empty());
    EXPECT_TRUE(Image(L"one")->GetFontData()->IsLoaded());
    EXPECT_EQ(Image(L"two")->GetFontData(), Image(L"one")->GetFontData());
    EXPECT_NE(Image(L"two"), Image(L"one"));
    EXPECT_NE(Image(L"three")->GetFontData(), Image(L"one")->GetFontData());
    EXPECT_EQ(Image(L"three")->GetScale(), 2.0);
    EXPECT_FLOAT_EQ(Image(L"three")->CharWidth(L'a'), 18);
    EXPECT_NE(Image(L"four")->GetFontData(), Image(L"one")->GetFontData());
    // The cache keeps the last font made for a path: "four" took the place
    // of "one", so "five" loads the descriptor again.
    EXPECT_NE(Image(L"five")->GetFontData(), Image(L"one")->GetFontData());
    EXPECT_NE(Image(L"five")->GetFontData(), Image(L"four")->GetFontData());
    // Batching unless asked otherwise; the layer images follow.
    EXPECT_TRUE(Image(L"one")->batch);
    EXPECT_TRUE(Image(L"one")->GetFontData()->GetBatch());
    EXPECT_FALSE(Image(L"four")->batch);
    EXPECT_FALSE(Image(L"four")->GetFontData()->GetBatch());
    EXPECT_EQ(app.steps, 5);
}

TEST_F(FontsXmlTest, FirstFontIsAlsoTheDefaultAndLaterFontsLeaveIt) {
    Load(
        "<font name=\"label\" face=\"DejaVu Sans\" size=\"12\" bold=\"true\" italics=\"yes\" shadow=\"true\"\n"
        "      red=\"10\" green=\"20\" alpha=\"30\" line-spacing-offset=\"4\"/>\n"
        "<font name=\"body\" path=\"a.txt\" blue=\"7\"/>\n");
    SysFont* label = System(L"label");
    ASSERT_NE(label, nullptr);
    EXPECT_TRUE(label->IsBold());
    EXPECT_FALSE(label->IsItalic());  // only the text "true" counts
    EXPECT_TRUE(label->shadow);
    EXPECT_EQ(label->color, Color::FromRGBA(10, 20, 255, 30));
    EXPECT_FLOAT_EQ(label->GetLineSpacingOffset(), 4);
    EXPECT_EQ(label->GetSystemFont()->Metrics().em, 16);

    SysFont* fallback = System(L"");
    ASSERT_NE(fallback, nullptr);
    EXPECT_NE(fallback, label);
    EXPECT_EQ(fallback->GetSystemFont(), label->GetSystemFont());
    EXPECT_TRUE(fallback->shadow);
    EXPECT_EQ(fallback->color, label->color);

    ASSERT_NE(Image(L"body"), nullptr);
    EXPECT_EQ(Image(L"body")->color, Color::FromRGBA(255, 255, 7, 255));
}

// An alias of a font not yet defined used to enter an empty (null) font.
TEST_F(FontsXmlTest, AliasOfAFontNotYetDefinedIsLeftOutAndStillCountsItsStep) {
    Load(
        "<alias name=\"early\" font=\"body\"/>\n"
        "<font name=\"body\" path=\"a.txt\"/>\n"
        "<alias name=\"late\" font=\"body\"/>\n"
        "<alias name=\"nothing\" font=\"nowhere\"/>\n");
    EXPECT_FALSE(GetFontMap().Has(L"early"));
    EXPECT_FALSE(GetFontMap().Has(L"nothing"));
    ASSERT_NE(Image(L"late"), nullptr);
    EXPECT_NE(Image(L"late"), Image(L"body"));
    EXPECT_EQ(Image(L"late")->GetFontData(), Image(L"body")->GetFontData());
    EXPECT_EQ(app.steps, 4);
    for (const auto& [name, font] : GetFontMap().Entries()) EXPECT_NE(font, nullptr) << text::ToUtf8(name);
}

TEST_F(FontsXmlTest, CountingOnlyCountsFontsAndAliases) {
    testsupport::WriteText(dir.Path("fonts.xml"),
                           "<fonts><font name=\"a\" path=\"a.txt\"/><other/><alias name=\"b\" font=\"a\"/>"
                           "<font name=\"c\" face=\"DejaVu Sans\"/></fonts>");
    EXPECT_EQ(LoadFontsXml(true), 3);
    EXPECT_TRUE(GetFontMap().Entries().empty());
    EXPECT_EQ(app.steps, 0);
}

TEST_F(FontsXmlTest, FontReplacedByNameStaysAliveForLaterCopies) {
    Load(
        "<font name=\"x\" path=\"a.txt\"/>\n"
        "<font name=\"x\" face=\"DejaVu Sans\" size=\"10\"/>\n"
        "<font name=\"y\" path=\"a.txt\"/>\n");
    ASSERT_NE(System(L"x"), nullptr);
    ASSERT_NE(Image(L"y"), nullptr);
    // "y" is a copy of the replaced image font and shares its descriptor.
    EXPECT_EQ(Image(L"y")->GetFontData(), Image(L"")->GetFontData());
    EXPECT_FLOAT_EQ(Image(L"y")->CharWidth(L'b'), 8);
    UnloadFonts();
    EXPECT_TRUE(GetFontMap().Entries().empty());
}

TEST_F(FontsXmlTest, BrokenFileKeepsTheFontsReadBeforeTheError) {
    testsupport::WriteText(dir.Path("fonts.xml"),
                           "<fonts>\n<font name=\"a\" path=\"a.txt\"/>\n<font name=\"b\" path=</fonts>");
    LoadFontsXml(false);
    EXPECT_NE(Image(L"a"), nullptr);
    EXPECT_FALSE(GetFontMap().Has(L"b"));
    ASSERT_EQ(app.boxes.size(), 1u);
    EXPECT_NE(app.boxes[0].find(L"fonts.xml"), std::wstring::npos);
}

TEST(GameFontsXml, LoadsTheGeneratedImageFontAsTheDefaultAndASystemFont) {
    testsupport::FontApp app;
    testsupport::CurrentDirectoryGuard data(std::string(HALVARO_SOURCE_DIR) + "/data");
    const int elements = LoadFontsXml(true);
    EXPECT_EQ(LoadFontsXml(false), elements);
    EXPECT_EQ(app.steps, elements);
    EXPECT_TRUE(app.boxes.empty()) << text::ToUtf8(app.boxes.front());

    auto* fallback = dynamic_cast<ImageFont*>(GetFontMap().Find(L""));
    ASSERT_NE(fallback, nullptr);
    ASSERT_TRUE(fallback->GetFontData()->IsLoaded());
    EXPECT_EQ(fallback->GetFontData()->GetDescriptorPath(), "fonts/dejavu_sans_16.txt");
    EXPECT_FLOAT_EQ(fallback->GetHeight(), 19);
    EXPECT_GT(fallback->StringWidth(L"Halvaro"), 40);

    bool system = false;
    for (const auto& [name, font] : GetFontMap().Entries())
        if (auto* sys = dynamic_cast<SysFont*>(font.get())) system = sys->GetSystemFont() != nullptr;
    EXPECT_TRUE(system);
    UnloadFonts();
}

}  // namespace
