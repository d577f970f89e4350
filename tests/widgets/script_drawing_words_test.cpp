// Words that draw, on the software device: the text box from three caps
// (its size from the caps and the text, its growth ending for text that
// cannot fit), "replace" with a coloured image, "merge" with and without
// growing the target, and "analyze".
#include <gtest/gtest.h>

#include "rendering/draw/graphics.h"
#include "rendering/font/font.h"
#include "tests/widgets/script_device_test_support.h"

namespace {

using testsupport::ScriptDeviceTest;

constexpr uint32_t kRed = 0xFFFF0000u, kGreen = 0xFF00FF00u, kBlue = 0xFF0000FFu;

class TextBoxTest : public ScriptDeviceTest {
protected:
    void SetUp() override {
        ScriptDeviceTest::SetUp();
        Solid(4, 10, kRed, L"cap_left");
        Solid(1, 10, kGreen, L"cap_center");
        Solid(6, 10, kBlue, L"cap_right");
    }
    // The width the text takes wrapped at `wrap`, as the drawing context measures it.
    int WrappedWidth(const std::wstring& text, int wrap) {
        Graphics measure(nullptr);
        measure.SetFont(font);
        int width = 0;
        Graphics::GetWordWrappedHeight(&measure, wrap, text, &width);
        return width;
    }
};

TEST_F(TextBoxTest, EmptyTextFillsTheMinimumWidthBetweenTheCapsAndAligns) {
    Run({Step(L"add", {{L"textends", L"cap"},
                       {L"min_width", L"20"},
                       {L"x", L"100"},
                       {L"y", L"50"},
                       {L"align", L"center"},
                       {L"valign", L"bottom"},
                       {L"id", L"box"},
                       {L"depth", L"3"}})});
    DynamicWidget* box = Object(L"box");
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->GetWidth(), 4 + 20 + 6);
    EXPECT_EQ(box->GetHeight(), 10);
    EXPECT_FLOAT_EQ(box->GetX(), 100 - 30 / 2);
    EXPECT_FLOAT_EQ(box->GetY(), 50 - 10);
    EXPECT_EQ(box->GetPriority(), 3);
    EXPECT_TRUE(box->IsImagePrivate());
    auto* image = box->GetImage()->GetSurface();
    for (int x = 0; x < 30; ++x) {
        const uint32_t expected = x < 4 ? kRed : x < 24 ? kGreen : kBlue;
        EXPECT_EQ(Pixel(image, x, 5), expected) << "x " << x;
    }
}

TEST_F(TextBoxTest, TextTallerThanTheRoomStopsGrowing) {
    const std::wstring text = L"A text of several words";
    auto add = [&](const wchar_t* marginTop) {
        Run({Step(L"add", {{L"textends", L"cap"},
                           {L"text", L"literal(A text of several words)"},
                           {L"lookup", L"0"},
                           {L"font", L"test"},
                           {L"margin_top", marginTop},
                           {L"id", L"box"}})});
        DynamicWidget* box = Object(L"box");
        return box ? box->GetWidth() : -1;
    };
    // Without room the text stays wrapped at the width it started with (0).
    EXPECT_EQ(add(L"10"), 4 + WrappedWidth(text, 0) + 6);
    // A line taller than the 2 pixels of room: the box grows to one line and no further.
    EXPECT_EQ(add(L"8"), 4 + WrappedWidth(text, 0x40000000) + 6);
}

TEST_F(TextBoxTest, DrawnIntoAnExistingObjectWithoutTouchingItsSharedImage) {
    ImageSurface* shared = Solid(40, 12, 0u);
    DynamicWidget* target = Place(*script, L"sheet", 10, 10, shared);
    Run({Step(L"add", {{L"textends", L"cap"}, {L"to", L"sheet"}, {L"min_width", L"2"}, {L"x", L"13"}, {L"y", L"11"}})});
    EXPECT_TRUE(target->IsImagePrivate());
    EXPECT_EQ(Pixel(shared, 5, 3), 0u);
    ImageSurface* drawn = target->GetWritableImage();
    ASSERT_NE(drawn, shared);
    // The box lands where it would as a child of the layer at (13, 11).
    EXPECT_EQ(Pixel(drawn, 3, 1), kRed);
    EXPECT_EQ(Pixel(drawn, 3 + 4, 1), kGreen);
    EXPECT_EQ(Pixel(drawn, 3 + 4 + 2, 1), kBlue);
    EXPECT_EQ(Pixel(drawn, 2, 1), 0u);
    EXPECT_EQ(script->Objects().size(), 0u);
}

TEST_F(ScriptDeviceTest, ReplaceMakesAColouredImageOnlyWithBothSizes) {
    DynamicWidget* a = Place(*script, L"a", 0, 0, nullptr);
    Run({Step(L"replace", {{L"id", L"a"}, {L"width", L"4"}})});
    EXPECT_EQ(a->GetImage(), nullptr);
    Run({Step(L"replace", {{L"id", L"a"}, {L"width", L"4"}, {L"height", L"2"}})});
    ASSERT_NE(a->GetImage(), nullptr);
    EXPECT_TRUE(a->IsImagePrivate());
    EXPECT_EQ(a->GetWidth(), 4);
    EXPECT_EQ(a->GetHeight(), 2);
    EXPECT_EQ(Pixel(a->GetImage()->GetSurface(), 3, 1), 0xFF000000u);
    Run({Step(L"replace", {{L"id", L"a"}, {L"width", L"3"}, {L"height", L"3"}, {L"red", L"0.5"}})});
    EXPECT_EQ(Pixel(a->GetImage()->GetSurface(), 1, 1), 0xFF7F0000u);
    ImageSurface* named = Solid(5, 7, kGreen);
    script->SetVariable(L"pic", PropertyValue::FromImage(named));
    Run({Step(L"replace", {{L"id", L"a"}, {L"image", L"pic"}, {L"width", L"1"}, {L"height", L"1"}})});
    EXPECT_EQ(a->GetImage(), named);
    EXPECT_FALSE(a->IsImagePrivate());
    EXPECT_EQ(a->GetWidth(), 5);
}

TEST_F(ScriptDeviceTest, MergeBakesTheSubtreeAtItsScreenPlaceAndRemovesIt) {
    DynamicWidget* sheet = Place(*script, L"sheet", 10, 10, Solid(8, 8, 0u));
    DynamicWidget* stamp = Place(*script, L"stamp", 12, 13, Solid(2, 2, kRed));
    Place(*stamp, L"dot", 2, 0, Solid(1, 1, kBlue));
    Run({Step(L"merge", {{L"id", L"stamp"}, {L"with", L"sheet"}})});
    ImageSurface* image = sheet->GetWritableImage();
    EXPECT_EQ(Pixel(image, 2, 3), kRed);
    EXPECT_EQ(Pixel(image, 3, 4), kRed);
    EXPECT_EQ(Pixel(image, 4, 3), kBlue);
    EXPECT_EQ(Pixel(image, 1, 3), 0u);
    EXPECT_EQ(stamp->GetParent(), nullptr);
}

TEST_F(ScriptDeviceTest, MergeThatExpandsKeepsTheTargetAndItsChildrenInPlace) {
    DynamicWidget* sheet = Place(*script, L"sheet", 10, 10, Solid(8, 8, kGreen));
    DynamicWidget* child = Place(*sheet, L"child", 1, 1, nullptr);
    Place(*script, L"stamp", 5, 8, Solid(4, 4, kRed));
    Run({Step(L"merge", {{L"id", L"stamp"}, {L"with", L"sheet"}, {L"expand", L"1"}, {L"remove", L"0"}})});
    EXPECT_EQ(sheet->GetWidth(), 13);
    EXPECT_EQ(sheet->GetHeight(), 10);
    EXPECT_FLOAT_EQ(sheet->GetX(), 5);
    EXPECT_FLOAT_EQ(sheet->GetY(), 8);
    EXPECT_FLOAT_EQ(child->GetX(), 6);
    EXPECT_FLOAT_EQ(child->GetY(), 3);
    ImageSurface* image = sheet->GetWritableImage();
    EXPECT_EQ(Pixel(image, 0, 0), kRed);
    EXPECT_EQ(Pixel(image, 12, 9), kGreen);
    EXPECT_EQ(Pixel(image, 12, 0), 0u);
    EXPECT_NE(Object(L"stamp")->GetParent(), nullptr);
}

TEST_F(ScriptDeviceTest, MergeWithItselfOrADescendantDoesNothing) {
    DynamicWidget* sheet = Place(*script, L"sheet", 10, 10, Solid(8, 8, kGreen));
    Place(*sheet, L"inner", 1, 1, Solid(2, 2, kRed));
    Run({Step(L"merge", {{L"id", L"sheet"}, {L"with", L"sheet"}}),
         Step(L"merge", {{L"id", L"sheet"}, {L"with", L"inner"}, {L"expand", L"1"}})});
    EXPECT_EQ(sheet->GetParent(), script);
    EXPECT_FALSE(sheet->IsImagePrivate());
    EXPECT_EQ(Object(L"inner")->GetWidth(), 2);
}

TEST_F(ScriptDeviceTest, AnalyzeMeasuresOnlyWithAFont) {
    script->SetVariable(L"w", PropertyValue(-1));
    Run({Step(L"analyze", {{L"text", L"literal(two words)"}, {L"lookup", L"0"}, {L"width", L"w"}})});
    EXPECT_EQ(script->Variables()[L"w"].ToInt(), -1);
    Run({Step(L"analyze", {{L"font", L"test"},
                           {L"text", L"literal(two words)"},
                           {L"lookup", L"0"},
                           {L"width", L"w"},
                           {L"height", L"h"},
                           {L"ascent", L"a"}}),
         Step(L"analyze", {{L"font", L"test"},
                           {L"text", L"literal(two words)"},
                           {L"lookup", L"0"},
                           {L"maxWidth", L"1"},
                           {L"height", L"tall"}})});
    EXPECT_NEAR(script->Variables()[L"w"].ToInt(), font->StringWidth(L"two words"), 1.0);
    const int oneLine = script->Variables()[L"h"].ToInt();
    EXPECT_GT(oneLine, 0);
    EXPECT_GT(script->Variables()[L"tall"].ToInt(), oneLine);
    EXPECT_FLOAT_EQ(script->Variables()[L"a"].ToReal(), font->GetAscent());
}

}  // namespace
