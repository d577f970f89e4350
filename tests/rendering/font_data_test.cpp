// Font descriptors: loading, error reports, defines, the character map and
// the reference count.
#include <string>
#include <vector>

#include "tests/rendering/font_data_test_support.h"

namespace {

using testsupport::FontDataTest;
using testsupport::Held;
using Strings = std::vector<std::string>;

std::wstring DefineText(FontData& font, const std::wstring& name) {
    const DataElement* value = font.FindDefine(name);
    return value != nullptr ? DescParser::DataElementToText(*value) : L"<none>";
}

TEST_F(FontDataTest, CommandWordsIgnoreAsciiCase) {
    Held font;
    ASSERT_TRUE(Load(font,
                     "SetCharMap ('a') ('b');\n"
                     "setcharmap ('c') ('d');\n"
                     "SETCHARMAP ('e') ('f');\n"
                     "cReAtElAyEr Body;\n"
                     "layersetspacing body 2;\n"));
    EXPECT_TRUE(font->IsLoaded());
    EXPECT_EQ(font->MapChar(L'a'), L'b');
    EXPECT_EQ(font->MapChar(L'c'), L'd');
    EXPECT_EQ(font->MapChar(L'e'), L'f');
    ASSERT_EQ(font->GetLayers().size(), 1u);
    EXPECT_EQ(font->GetLayers()[0]->spacing, 2.0f);
    EXPECT_TRUE(app.boxes.empty());
}

TEST_F(FontDataTest, UnknownCommandStopsLoadingAndShowsFileLineAndText) {
    Held font;
    EXPECT_FALSE(Load(font, "CreateLayer Body;\nFrobnicate 1 2;\nCreateLayer Late;\n"));
    EXPECT_FALSE(font->IsLoaded());
    ASSERT_EQ(app.boxes.size(), 1u);
    EXPECT_EQ(app.boxes[0], Box("Unknown Command", 2, "Frobnicate 1 2"));
    // What the earlier lines built stays; nothing after the failing line runs.
    ASSERT_EQ(font->GetLayers().size(), 1u);
    EXPECT_NE(font->GetLayerByName(L"body"), nullptr);
    EXPECT_EQ(font->GetLayerByName(L"Late"), nullptr);
}

TEST_F(FontDataTest, WithoutErrorWindowNothingIsShown) {
    Held font;
    EXPECT_FALSE(font->Load(WriteDescriptor("Frobnicate;\n"), nullptr));
    EXPECT_FALSE(font->IsLoaded());
    EXPECT_TRUE(app.boxes.empty());
}

// Each command with one parameter too many or too few.
TEST_F(FontDataTest, WrongParameterCountsAreReported) {
    const char* lines[] = {
        "Define A",
        "CreateHorzSpanRectList R (0 0 1 1)",
        "SetDefaultPointSize",
        "SetCharMap ('a')",
        "CreateLayer",
        "CreateLayerFrom Copy",
        "LayerRequireTags Body",
        "LayerPointRange Body 1",
        "LayerSetImage Body",
        "LayerSetDrawMode Body 1 2",
        "LayerSetAscent Body",
        "LayerSetOffset Body",
        "LayerSetCharWidths Body ('a')",
        "LayerSetImageMap Body ('a')",
        "LayerSetCharOffsets Body ('a')",
        "LayerSetKerningPairs Body ('ab')",
    };
    for (const char* line : lines) {
        SCOPED_TRACE(line);
        Held font;
        app.boxes.clear();
        EXPECT_FALSE(Load(font, std::string("CreateLayer Body;\n") + line + ";\n"));
        EXPECT_EQ(Messages(), Strings{"Invalid Number of Parameters"});
    }
}

TEST_F(FontDataTest, ParametersOfTheWrongKindAreReported) {
    const char* lines[] = {
        "Define 12 (1 2)",           // a literal as define name
        "Define 'name' 1",           // a quoted literal too
        "Define (a) 1",              // a list as name
        "SetDefaultPointSize Size",  // a define name is no number
        "SetDefaultPointSize 12px",
        "SetDefaultPointSize 1e3",
        "SetDefaultPointSize (12)",
        "LayerSetAscent Body 1.5.2",
        "LayerSetDrawMode Body 11",
        "LayerSetDrawMode Body -1",
        "LayerSetDrawMode Body (2)",
        "LayerSetOffset Body (1 2 3)",
        "LayerSetOffset Body (1 x)",
        "LayerSetCharWidths Body ('a') (wide)",
        "LayerSetCharWidths Body ('a') ((1))",
        "LayerRequireTags Body ((nested))",
        "LayerSetImage Body (a b)",
        "CreateHorzSpanRectList R (0 0 1) (1 2)",
        "CreateHorzSpanRectList (R) (0 0 1 1) (1 2)",
        "CreateLayer (Body2)",
        "CreateLayerFrom (Copy) Body",
        "LayerSetSpacing (Body) 1",
    };
    for (const char* line : lines) {
        SCOPED_TRACE(line);
        Held font;
        app.boxes.clear();
        EXPECT_FALSE(Load(font, std::string("Define Size 12;\nCreateLayer Body;\n") + line + ";\n"));
        ASSERT_FALSE(app.boxes.empty());
        EXPECT_EQ(Messages().back(), "Invalid Parameter Type");
    }
}

// A plain decimal the descriptor language reads.
std::string Decimal(double value) { return std::to_string(value); }

TEST_F(FontDataTest, NumbersBeyondTheDescriptorBoundsAreRefused) {
    const std::string over = Decimal(FontData::kMaxNumber + 0.5);
    const std::string under = "-" + over;
    const std::string infinite = std::string(40, '9');  // beyond float: reads as infinity
    const std::string tiny = Decimal(FontData::kMinPointSize / 2);
    const std::string lines[] = {
        "SetDefaultPointSize " + infinite,
        "SetDefaultPointSize " + tiny,
        "SetDefaultPointSize -12",
        "LayerSetPointSize Body " + tiny,
        "LayerSetPointSize Body " + over,
        "LayerPointRange Body 1 " + infinite,
        "LayerSetAscent Body " + under,
        "LayerSetHeight Body " + over,
        "LayerSetSpacing Body " + infinite,
        "LayerSetOffset Body (" + over + " 0)",
        "LayerSetCharWidths Body ('a') (" + over + ")",
        "LayerSetCharOffsets Body ('a') ((0 " + under + "))",
        "LayerSetKerningPairs Body ('ab') (" + infinite + ")",
        "LayerSetCharOrders Body ('a') (" + under + ")",
        "LayerSetBaseOrder Body " + Decimal(FontData::kMaxNumber * 2),
        "CreateHorzSpanRectList R (0 0 1 1) (" + infinite + ")",
    };
    for (const std::string& line : lines) {
        SCOPED_TRACE(line);
        Held font;
        app.boxes.clear();
        EXPECT_FALSE(Load(font, "CreateLayer Body;\n" + line + ";\n"));
        EXPECT_EQ(Messages(), Strings{"Invalid Parameter Type"});
    }

    // The bounds themselves are accepted.
    const std::string max = Decimal(FontData::kMaxNumber);
    Held font;
    app.boxes.clear();
    ASSERT_TRUE(Load(font, "SetDefaultPointSize " + Decimal(FontData::kMinPointSize) +
                               ";\nCreateLayer Body;\nLayerSetPointSize Body 0;\nLayerSetSpacing Body " + max +
                               ";\nLayerSetAscent Body -" + max + ";\nLayerSetCharWidths Body ('a') (" + max + ");\n"));
    const FontLayer& body = *font->GetLayers()[0];
    EXPECT_EQ(font->GetDefaultPointSize(), FontData::kMinPointSize);
    EXPECT_EQ(body.pointSize, 0);
    EXPECT_EQ(body.spacing, FontData::kMaxNumber);
    EXPECT_EQ(body.ascent, -FontData::kMaxNumber);
    EXPECT_EQ(body.FindCharData(L'a')->advanceWidth, FontData::kMaxNumber);
}

TEST_F(FontDataTest, UndefinedLayerIsReportedBeforeTheParameterType) {
    Held font;
    EXPECT_FALSE(Load(font, "CreateLayer Body;\nLayerSetSpacing Head 1;\n"));
    EXPECT_EQ(Messages(), (Strings{"Undefined Layer", "Invalid Parameter Type"}));
    EXPECT_EQ(app.boxes[0], Box("Undefined Layer", 2, "LayerSetSpacing Head 1"));

    // The copied layer is resolved only after the new name's kind is checked.
    Held copy;
    app.boxes.clear();
    EXPECT_FALSE(Load(copy, "CreateLayerFrom Copy Missing;\n"));
    EXPECT_EQ(Messages(), (Strings{"Undefined Layer", "Invalid Parameter Type"}));
    EXPECT_TRUE(copy->GetLayers().empty());
}

TEST_F(FontDataTest, LanguageErrorsStopLoadingAndAreShownWithTheirLine) {
    struct Case {
        const char* text;
        const char* message;
        int line;
    } cases[] = {
        {"CreateLayer Body;\nDefine X (1 (2 3);\n", "Unterminated List", 2},
        {"SetDefaultPointSize 1);\n", "Unexpected List End", 1},
        {"\n\nDefine X a(1);\n", "Unexpected List Start", 3},
        {"(1 2) 3;\n", "Missing Command", 1},
        {"Define X 'open;", "Unterminated Single Quotes", 1},
        {"Define L (1 Missing);\n", "Unable to Dereference \"Missing\"", 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        Held font;
        app.boxes.clear();
        EXPECT_FALSE(Load(font, c.text));
        EXPECT_FALSE(font->IsLoaded());
        ASSERT_EQ(app.boxes.size(), 1u);
        EXPECT_EQ(app.boxes[0], text::Widen("Font Descriptor Error in " + dir.Path("font.txt") + "\r\n" + c.message +
                                            " on Line " + std::to_string(c.line)));
    }
}

TEST_F(FontDataTest, MissingDescriptorIsReportedAndNotLoaded) {
    Held font;
    EXPECT_FALSE(font->Load(dir.Path("absent.txt"), &app));
    EXPECT_FALSE(font->IsLoaded());
    ASSERT_EQ(app.boxes.size(), 1u);
    EXPECT_NE(app.boxes[0].find(L"absent.txt"), std::wstring::npos);
}

TEST_F(FontDataTest, LongLineTextReachesTheBoxWhole) {
    // Guards against cutting the error text at 255 characters.
    std::string line = "Frobnicate (" + std::string(600, 'x') + ")";
    Held font;
    EXPECT_FALSE(Load(font, line + ";\n"));
    ASSERT_EQ(app.boxes.size(), 1u);
    EXPECT_EQ(app.boxes[0], Box("Unknown Command", 1, line));
}

TEST_F(FontDataTest, SecondLoadIsRefusedAndChangesNothing) {
    Held font;
    ASSERT_TRUE(Load(font, "CreateLayer Body;\n"));
    EXPECT_FALSE(font->Load(WriteDescriptor("CreateLayer Other;\n", "other.txt"), &app));
    EXPECT_TRUE(font->IsLoaded());
    EXPECT_EQ(font->GetLayers().size(), 1u);
    EXPECT_EQ(font->GetDescriptorPath(), dir.Path("font.txt"));

    // Nor is a failed descriptor run again over the layers it built.
    Held failed;
    std::string path = WriteDescriptor("CreateLayer Body;\nBroken;\n", "broken.txt");
    EXPECT_FALSE(failed->Load(path, &app));
    EXPECT_FALSE(failed->Load(path, &app));
    EXPECT_EQ(failed->GetLayers().size(), 1u);
    EXPECT_EQ(app.boxes.size(), 1u);
}

TEST_F(FontDataTest, DefinesStoreScalarsCopiesAndDereferencedLists) {
    Held font;
    ASSERT_TRUE(Load(font,
                     "Define Size 12;\n"
                     "Define Copy size;\n"   // names a define: takes its value
                     "Define Word plain;\n"  // names none: kept as written
                     "Define Inner (1 'two');\n"
                     "Define Outer (Inner, 3, (Size));\n"
                     "Define Again Outer;\n"
                     "Define size 13;\n"));  // replaces, whatever the case
    EXPECT_EQ(DefineText(*font, L"SIZE"), L"13");
    EXPECT_EQ(DefineText(*font, L"copy"), L"12");
    EXPECT_EQ(DefineText(*font, L"Word"), L"plain");
    EXPECT_EQ(DefineText(*font, L"Outer"), L"((1, two), 3, (12))");
    EXPECT_EQ(DefineText(*font, L"Again"), L"((1, two), 3, (12))");
}

TEST_F(FontDataTest, HorizontalSpansBecomeRectangleLists) {
    Held font;
    ASSERT_TRUE(Load(font,
                     "CreateHorzSpanRectList R (10 20 99 16) (5.5 4 3);\n"
                     "Define Widths (2 2);\n"
                     "CreateHorzSpanRectList 7 (0 1 0 8) Widths;\n"));  // the name may be a literal
    EXPECT_EQ(DefineText(*font, L"r"), L"((10, 20, 5.5, 16), (15, 20, 4, 16), (19, 20, 3, 16))");
    EXPECT_EQ(DefineText(*font, L"7"), L"((0, 1, 2, 8), (2, 1, 2, 8))");
}

TEST_F(FontDataTest, CharacterMapTakesTheLowBitsOfPairedEntries) {
    Held font;
    EXPECT_FALSE(Load(font,
                      "SetDefaultPointSize 14.5;\n"
                      "SetCharMap ('x' 'ab' '\xC4\x80') ('y' 'c' 'z');\n"));  // U+0100 lands on entry 0
    EXPECT_EQ(Messages(), Strings{"Invalid Parameter Type"});
    EXPECT_EQ(font->GetDefaultPointSize(), 14.5f);
    EXPECT_EQ(font->MapChar(L'x'), L'y');
    EXPECT_EQ(font->MapChar(L'a'), L'a');  // the two-character entry was skipped
    EXPECT_EQ(font->MapChar(0), L'z');
    EXPECT_EQ(font->MapChar(300), 300);  // codes from 256 up are never mapped
    for (int c = 1; c < 256; ++c) {
        if (c == L'x') continue;
        EXPECT_EQ(font->GetCharMap()[static_cast<size_t>(c)], c);
    }
}

TEST_F(FontDataTest, CharacterMapListsOfDifferentSizesChangeNothing) {
    Held font;
    EXPECT_FALSE(Load(font, "SetCharMap ('a' 'b') ('c');\n"));
    EXPECT_EQ(Messages(), Strings{"List Size Mismatch"});
    EXPECT_EQ(font->MapChar(L'a'), L'a');
}

// Counts its destructions, so the test can see when the last reference goes.
class CountedFontData : public FontData {
public:
    explicit CountedFontData(int* deleted) : deleted_(deleted) {}
    ~CountedFontData() override { ++*deleted_; }

private:
    int* deleted_;
};

TEST(FontDataReferences, LastReleaseDeletesTheDescriptor) {
    int deleted = 0;
    FontData* font = new CountedFontData(&deleted);
    EXPECT_EQ(font->GetRefCount(), 0);
    EXPECT_EQ(font->AddRef(), 1);
    EXPECT_EQ(font->AddRef(), 2);
    EXPECT_EQ(font->Release(), 1);
    EXPECT_EQ(deleted, 0);
    EXPECT_EQ(font->GetRefCount(), 1);
    EXPECT_EQ(font->Release(), 0);
    EXPECT_EQ(deleted, 1);
}

}  // namespace
