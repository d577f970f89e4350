// Menus drawn on the software device: a popup opening with its intro over a
// screen, a confirmation cross-fading with the screen that opened it, and a
// notice. With HALVARO_MENU_PICTURES naming a folder, each picture is also
// written there as a PNG to be looked at.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "foundation/expression/constants_map.h"
#include "rendering/draw/graphics.h"
#include "rendering/imagefile/image_files.h"
#include "tests/rendering/image_surface_test_support.h"
#include "tests/widgets/menu_test_support.h"
#include "widgets/screens/confirm_menu.h"
#include "widgets/screens/notice_menu.h"
#include "widgets/screens/transition.h"
#include "widgets/script/script_words.h"

namespace {

using namespace testsupport;

constexpr uint32_t kScreenColour = 0xFF284A6Eu;  // opaque, so premultiplied as it stands
constexpr uint32_t kPopupColour = 0xFFE6B43Cu;
constexpr uint32_t kDialogColour = 0xFFF0F0E6u;

// "grow" tweens the menu of the overlay ("menu") from a third of its size to
// its full size over ten units.
WordResult Grow(AnimationWidget& widget, const AnimationStep&, DynamicWidget*) {
    auto* menu = widget.Variables()[L"menu"].ToWidget<DynamicWidget>();
    if (!menu) return WordResult::kNext;
    menu->SetFloatProperty(L"scale_x", 0.3f, false);
    menu->SetFloatProperty(L"scale_y", 0.3f, false);
    menu->TweenPropertyPairByName(L"grow", L"scale_x", L"scale_y", 1.0f, 1.0f, 10.0f, L"", 0.0f);
    return WordResult::kNext;
}

class MenuPictureTest : public ImageDeviceTest {
protected:
    void SetUp() override {
        ImageDeviceTest::SetUp();
        host.screenW = 800;
        host.screenH = 600;
        host.clientW = 800;
        host.clientH = 600;
        Start(plat::DeviceCaps{});
        ScriptWordTable().Register(WordGroup::kNoObject, L"grow", Grow);
        FindAnimation(L"popup_intro")->steps = {Word(L"grow"), Word(L"halt-here")};
        ScriptWordTable().Register(
            WordGroup::kNoObject, L"halt-here",
            [](AnimationWidget&, const AnimationStep&, DynamicWidget*) { return WordResult::kStop; });
        ConstantsMap()[L"dialog_fade_time"] = PropertyValue(10);
        assets.images[L"Dialog"] = Solid(360, 180, kDialogColour);
    }
    void TearDown() override {
        mgr.RemoveAllWidgets(true, false);
        widgetHost.DeleteDeferred();
        ScriptWordTable().Unregister(WordGroup::kNoObject, L"grow");
        ScriptWordTable().Unregister(WordGroup::kNoObject, L"halt-here");
        AnimationLibrary().clear();
        ConstantsMap().erase(L"dialog_fade_time");
        ImageDeviceTest::TearDown();
    }

    static AnimationStep Word(const wchar_t* name) {
        AnimationStep step;
        step.name = name;
        return step;
    }
    ImageSurface* Solid(int w, int h, uint32_t colour) {
        std::vector<uint32_t> px(static_cast<size_t>(w) * h, colour);
        // A darker frame, so the edges show in the pictures.
        for (int x = 0; x < w; ++x) px[x] = px[static_cast<size_t>(h - 1) * w + x] = 0xFF000000u;
        for (int y = 0; y < h; ++y)
            px[static_cast<size_t>(y) * w] = px[static_cast<size_t>(y) * w + w - 1] = 0xFF000000u;
        return MakeImage(px, w, h);
    }
    Menu* OpenScreen() {
        auto* screen = new Menu(Solid(800, 600, kScreenColour), false, false);
        screen->SetModal(false);
        menus.AddMenu(screen);
        return screen;
    }
    void Step(int units) {
        for (int i = 0; i < units; ++i) {
            mgr.UpdateFrame();
            mgr.UpdateFractionFrame(1.0f);
        }
    }
    // Draws the tree onto a cleared buffer and writes it out when asked.
    void Shoot(const char* name) {
        Graphics g(Target());
        g.ClearRect(0, 0, 800, 600);
        mgr.DrawWidgetsTo(&g);
        g.FlushBatch();
        if (const char* folder = std::getenv("HALVARO_MENU_PICTURES")) {
            ImageData data;
            ASSERT_TRUE(data.Allocate(800, 600, false));
            std::copy_n(Target()->GetBits(), 800 * 600, data.GetBits());
            EXPECT_TRUE(WritePNGImage(std::string(folder) + "/" + name + ".png", data));
        }
    }
    uint32_t At(int x, int y) { return Target()->GetBits()[static_cast<size_t>(y) * 800 + x]; }
    static int Channel(uint32_t pixel, int shift) { return static_cast<int>(pixel >> shift & 0xFF); }
    // Every colour channel strictly between those of a and b (or equal where they agree).
    static bool Between(uint32_t pixel, uint32_t a, uint32_t b) {
        for (int shift : {0, 8, 16}) {
            const int lo = std::min(Channel(a, shift), Channel(b, shift));
            const int hi = std::max(Channel(a, shift), Channel(b, shift));
            const int c = Channel(pixel, shift);
            if (lo == hi ? c != lo : (c <= lo || c >= hi)) return false;
        }
        return true;
    }

    NullWidgetHost widgetHost;
    ScopedService<WidgetHost> widgetHostInstalled{&widgetHost};
    NamedAssets assets;
    WidgetManager mgr;
    MenuHostDouble menus{mgr};
};

TEST_F(MenuPictureTest, APopupGrowsFromTheMiddleDuringItsIntro) {
    OpenScreen();
    auto* popup = new PopupMenu(Solid(300, 200, kPopupColour));
    popup->SetUseBackground(false);
    menus.AddMenu(popup);
    Step(5);
    Shoot("popup_intro_half");
    // Half way the popup is about two thirds of its size about its middle.
    EXPECT_EQ(At(400, 300), kPopupColour);
    EXPECT_EQ(At(400 - 140, 300 - 90), kScreenColour);
    EXPECT_EQ(At(400 - 60, 300 - 40), kPopupColour);
    Step(6);
    Shoot("popup_intro_done");
    EXPECT_EQ(At(400 - 140, 300 - 90), kPopupColour);
    EXPECT_EQ(At(100, 100), kScreenColour);
}

TEST_F(MenuPictureTest, AConfirmationCrossFadesFromTheScreenThatOpenedIt) {
    FindAnimation(L"popup_intro")->steps.clear();
    Menu* screen = OpenScreen();
    auto* confirm = new ConfirmMenu(L"Quit?", L"Really?", L"yes", L"no", screen);
    confirm->SetUseBackground(false);
    menus.AddMenu(confirm);
    Step(5);
    Shoot("confirm_fade_half");
    EXPECT_TRUE(Between(At(400, 300), kScreenColour, kDialogColour)) << std::hex << At(400, 300);
    Step(6);
    Shoot("confirm_shown");
    EXPECT_EQ(At(400, 300), kDialogColour);
    // The screen stays hidden while the dialog shows.
    EXPECT_EQ(At(100, 100) & 0x00FFFFFFu, 0u);
    confirm->DoAction(L"close", L"", 0);
    Step(11);
    Shoot("confirm_closed");
    EXPECT_EQ(At(400, 300), kScreenColour);
}

TEST_F(MenuPictureTest, ANoticeShowsOverTheScreen) {
    FindAnimation(L"popup_intro")->steps.clear();
    OpenScreen();
    menus.AddMenu(new NoticeMenu(L"saved", nullptr, L"menu"));
    Step(1);
    Shoot("notice");
    EXPECT_EQ(At(400, 300), kDialogColour);
    EXPECT_EQ(At(400 - 179, 300 - 89), kDialogColour);
    EXPECT_EQ(At(400 - 181, 300), kScreenColour);
}

TEST_F(MenuPictureTest, ATransitionShowsAPictureOfTheScreenItReplacesOverTheNewMenu) {
    FindAnimation(L"swap")->steps = {Word(L"halt-here")};
    Menu* old = OpenScreen();
    Shoot("before_transition");
    for (bool renderNow : {false, true}) {
        Transition transition(L"swap", nullptr, renderNow);
        auto* picture = dynamic_cast<ImageSurface*>(transition.GetCapturedImage());
        ASSERT_NE(picture, nullptr) << renderNow;
        ASSERT_EQ(picture->GetCelWidth(), 800);
        EXPECT_EQ(picture->GetBits()[100 * 800 + 100], kScreenColour) << renderNow;
    }
    auto* next = new Menu(Solid(200, 100, kPopupColour), false, true);
    next->SetModal(false);
    auto* transition = new Transition(L"swap", next, false);
    old->RemoveSelf();
    menus.AddMenu(transition);
    Step(1);
    Shoot("transition");
    // The old screen is gone, the new menu beneath the picture of the old one.
    EXPECT_EQ(At(400, 300), kScreenColour);
    transition->RemoveSelf();
    Step(1);
    Shoot("after_transition");
    EXPECT_EQ(At(400, 300), kPopupColour);
    EXPECT_EQ(At(100, 100) & 0xFF000000u, 0u);
}

}  // namespace
