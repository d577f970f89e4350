// What the controls draw on the software device: a label's text-box frame
// laid out piece by piece in the label's image, and an overbright rectangle
// adding what lies above full colour.
#include <gtest/gtest.h>

#include <memory>

#include "rendering/draw/graphics.h"
#include "tests/rendering/image_surface_test_support.h"
#include "tests/support/pixels.h"
#include "tests/widgets/controls_test_support.h"
#include "tests/widgets/dynamic_widget_test_support.h"
#include "widgets/controls/rect_widget.h"
#include "widgets/script/animation_widget.h"
#include "widgets/tree/widget_host.h"
#include "widgets/tree/widget_manager.h"

namespace {

using namespace testsupport;

class ControlsPixelTest : public ImageDeviceTest {
protected:
    void SetUp() override {
        ImageDeviceTest::SetUp();
        Start(plat::DeviceCaps{});
    }
    void TearDown() override {
        manager.reset();
        widgetHost.DeleteDeferred();
        AnimationLibrary().clear();
        ImageDeviceTest::TearDown();
    }
    uint32_t At(int x, int y) { return Target()->GetBits()[static_cast<size_t>(y) * host.screenW + x]; }

    NullWidgetHost widgetHost;
    ScopedService<WidgetHost> widgetHostInstalled{&widgetHost};
    std::unique_ptr<WidgetManager> manager = std::make_unique<WidgetManager>();
    ControlsApp app;
    std::vector<std::unique_ptr<ImageSurface>> pieces;
};

TEST_F(ControlsPixelTest, TextBoxFramePiecesLandAtTheirPlacesInTheLabel) {
    // Nine 4 x 4 pieces, each its own opaque colour.
    const wchar_t* names[3][3] = {{L"lt", L"ct", L"rt"}, {L"lc", L"cc", L"rc"}, {L"lb", L"cb", L"rb"}};
    uint32_t colours[3][3];
    for (int row = 0; row < 3; ++row)
        for (int column = 0; column < 3; ++column) {
            colours[row][column] = 0xFF000000u | static_cast<uint32_t>(40 + row * 60) << 16 |
                                   static_cast<uint32_t>(40 + column * 60) << 8 | 0x20u;
            pieces.push_back(SolidImage(4, 4, colours[row][column]));
            app.images[std::wstring(L"frame_") + names[row][column]] = pieces.back().get();
        }
    ScriptWords& words = ScriptWordTable();
    words.Register(WordGroup::kNoObject, L"label", [](AnimationWidget& w, const AnimationStep&, DynamicWidget*) {
        w.ReadLabelElement(0, 0);
        return WordResult::kNext;
    });
    AnimationStep step;
    step.name = L"label";
    step.attributes = {{L"textbox", L"frame"}, {L"width", L"20"}, {L"height", L"16"},
                       {L"x", L"30"},          {L"y", L"40"},     {L"id", L"box"}};
    FindAnimation(L"box")->steps = {step};
    auto* script = new AnimationWidget(L"box", 0, 0, false);
    manager->AddWidget(script);
    words.Unregister(WordGroup::kNoObject, L"label");
    ASSERT_EQ(script->Objects().size(), 1u);
    DynamicWidget* label = script->Objects().begin()->second;
    EXPECT_EQ(label->GetX(), 30.0f);
    EXPECT_EQ(label->GetY(), 40.0f);
    ASSERT_EQ(label->GetWidth(), 20);
    ASSERT_EQ(label->GetHeight(), 16);

    {
        Graphics g(Target());
        manager->DrawWidgetsTo(&g);
    }
    // Columns 0-3, 4-15, 16-19 and rows 0-3, 4-11, 12-15 of the label.
    const int columnAt[3] = {1, 9, 18}, rowAt[3] = {1, 7, 14};
    for (int row = 0; row < 3; ++row)
        for (int column = 0; column < 3; ++column)
            EXPECT_TRUE(Near(Unpack(colours[row][column]), At(30 + columnAt[column], 40 + rowAt[row]), 1))
                << row << "," << column;
    EXPECT_TRUE(Near(Unpack(colours[0][0]), At(30, 40), 0));
    EXPECT_TRUE(Near(Unpack(colours[2][2]), At(49, 55), 0));
    EXPECT_EQ(At(29, 40), 0u);
    EXPECT_EQ(At(50, 55), 0u);
    EXPECT_EQ(At(30, 56), 0u);
}

TEST_F(ControlsPixelTest, OverbrightRectangleAddsWhatLiesAboveFullColour) {
    auto* rect = new RectWidget(Color::FromRGBA(100, 100, 100, 255), 10, 10, 8, 8);
    rect->red = 2.0f;    // 100 + 100
    rect->green = 0.5f;  // 50
    manager->AddWidget(rect);
    {
        Graphics g(Target());
        manager->DrawWidgetsTo(&g);
    }
    EXPECT_TRUE(Near(Argb{255, 200, 50, 100}, At(12, 12), 1));
    EXPECT_EQ(At(9, 12), 0u);
    EXPECT_EQ(At(18, 12), 0u);
}

}  // namespace
