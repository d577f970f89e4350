// Popups, dialogs, confirmations, notices and transitions as the player
// opens and closes them.
#include <gtest/gtest.h>

#include <memory>

#include "foundation/expression/constants_map.h"
#include "foundation/expression/localization_map.h"
#include "rendering/image/image_surface.h"
#include "tests/widgets/menu_test_support.h"
#include "widgets/screens/confirm_menu.h"
#include "widgets/screens/notice_menu.h"
#include "widgets/screens/popup_menu.h"
#include "widgets/screens/transition.h"

namespace {

class PopupTest : public testsupport::MenuTest {
protected:
    PopupTest() {
        EXPECT_TRUE(image.Create(200, 100));
        assets.images[L"Dialog"] = &image;
        // The intro stays until the test lets it end; the outro ends when told.
        Define(L"popup_intro", {Step(L"halt")});
        Define(L"popup_outro", {Step(L"halt")});
        Define(L"popup_background_intro", {Step(L"note", {{L"text", L"in"}}), Step(L"halt")});
        Define(L"popup_background_outro", {Step(L"note", {{L"text", L"out"}}), Step(L"halt")});
    }
    ~PopupTest() override { ConstantsMap().erase(L"dialog_fade_time"); }

    // The menu's script children playing the named animation.
    static AnimationWidget* ChildPlaying(Menu& menu, const wchar_t* name) {
        for (Widget* child : menu.GetChildren())
            if (auto* script = dynamic_cast<AnimationWidget*>(child))
                if (script->GetDefinition() && script->GetDefinition()->name == name) return script;
        return nullptr;
    }
    void Updates(int n) {
        for (int i = 0; i < n; ++i) {
            mgr.UpdateFrame();
            mgr.UpdateFractionFrame(1.0f);
        }
    }

    ImageSurface image{false};
};

TEST_F(PopupTest, APopupOpensWithItsIntroAndClosesAfterItsOutroWithTheBackgroundBehind) {
    auto* popup = new PopupMenu(&image);
    menus.AddMenu(popup);
    EXPECT_EQ(popup->GetX(), 300);
    AnimationWidget* intro = ChildPlaying(*popup, L"popup_intro");
    ASSERT_NE(intro, nullptr);
    EXPECT_EQ(intro->Variables()[L"menu"].ToWidget<Menu>(), popup);
    EXPECT_GT(intro->GetPriority(), popup->GetPriority());
    AnimationWidget* background = popup->GetBackground();
    ASSERT_NE(background, nullptr);
    EXPECT_EQ(background->GetParent(), &mgr);
    EXPECT_EQ(*std::next(std::find(mgr.GetChildren().begin(), mgr.GetChildren().end(), background)), popup);
    EXPECT_TRUE(background->Variables()[L"do_popup"].ToBool());
    EXPECT_EQ(Trace(*background), L"in");

    popup->RemoveSelf();
    EXPECT_TRUE(IsOpen(popup));  // the outro plays first
    EXPECT_FALSE(popup->IsPausable());
    EXPECT_EQ(Trace(*background), L"inout");
    AnimationWidget* outro = popup->GetOutro();
    ASSERT_NE(outro, nullptr);
    EXPECT_EQ(outro->Variables()[L"menu"].ToWidget<Menu>(), popup);

    outro->ExecuteSteps(true);  // the outro's script ends
    EXPECT_FALSE(IsOpen(popup));
    EXPECT_EQ(popup->GetManager(), nullptr);
    EXPECT_EQ(background->GetManager(), nullptr);
}

TEST_F(PopupTest, WithoutIntroHiddenOrAskedTwiceAPopupClosesAtOnceAndItsBackgroundPlaysItsOutro) {
    auto* plain = new PopupMenu(&image);
    plain->SetUseIntro(false);
    menus.AddMenu(plain);
    AnimationWidget* background = plain->GetBackground();
    ASSERT_NE(background, nullptr);
    EXPECT_FALSE(background->Variables()[L"do_popup"].ToBool());
    plain->RemoveSelf();
    EXPECT_FALSE(IsOpen(plain));
    EXPECT_EQ(Trace(*background), L"inout");
    EXPECT_EQ(background->GetManager(), nullptr);

    auto* hidden = new PopupMenu(&image);
    menus.AddMenu(hidden);
    hidden->SetVisible(false);
    hidden->RemoveSelf();
    EXPECT_FALSE(IsOpen(hidden));

    // No outro script: an empty overlay would never end and the popup never close.
    AnimationLibrary().erase(L"popup_outro");
    auto* noOutro = new PopupMenu(&image);
    menus.AddMenu(noOutro);
    noOutro->RemoveSelf();
    EXPECT_FALSE(IsOpen(noOutro));
    Define(L"popup_outro", {Step(L"halt")});

    auto* twice = new PopupMenu(&image);
    menus.AddMenu(twice);
    twice->RemoveSelf();
    EXPECT_TRUE(IsOpen(twice));
    twice->RemoveSelf();
    EXPECT_FALSE(IsOpen(twice));
}

TEST_F(PopupTest, ADialogCrossFadesWithItsParentAndTakesClicksOnlyOnceShown) {
    ConstantsMap()[L"dialog_fade_time"] = PropertyValue(10);
    Menu* parent = OpenMenu();
    auto* dialog = new DialogMenu(parent);
    EXPECT_EQ(dialog->GetFadeState(), DialogMenu::kShown);
    menus.AddMenu(dialog);
    EXPECT_EQ(dialog->GetFadeState(), DialogMenu::kFadingIn);
    EXPECT_EQ(dialog->GetRemoveFlags() & (pass_flag::kMouse | pass_flag::kDraw), pass_flag::kMouse | pass_flag::kDraw);
    EXPECT_NE(parent->GetRemoveFlags() & pass_flag::kDraw, 0u);
    DynamicWidget* parentPicture = dialog->GetParentPicture();
    DynamicWidget* ownPicture = dialog->GetOwnPicture();
    ASSERT_TRUE(parentPicture && ownPicture);
    EXPECT_EQ(parentPicture->GetParent(), dialog);
    EXPECT_EQ(ownPicture->GetParent(), parentPicture);
    EXPECT_EQ(parentPicture->GetX(), -dialog->GetX());
    EXPECT_EQ(parentPicture->GetY(), -dialog->GetY());

    Updates(5);
    uint32_t bits = 0;
    EXPECT_FLOAT_EQ(*ownPicture->GetPropertyPtr(L"opacity", bits), 0.5f);
    EXPECT_EQ(dialog->GetFadeState(), DialogMenu::kFadingIn);
    Updates(6);
    EXPECT_EQ(dialog->GetFadeState(), DialogMenu::kShown);
    EXPECT_EQ(dialog->GetRemoveFlags() & (pass_flag::kMouse | pass_flag::kDraw), 0u);
    EXPECT_FALSE(parentPicture->IsVisible());
    EXPECT_NE(parent->GetRemoveFlags() & pass_flag::kDraw, 0u);  // hidden while the dialog shows

    dialog->DoAction(L"close", L"", 0);
    EXPECT_EQ(dialog->GetFadeState(), DialogMenu::kFadingOut);
    EXPECT_TRUE(parentPicture->IsVisible());
    EXPECT_NE(dialog->GetRemoveFlags() & pass_flag::kDraw, 0u);
    Updates(11);
    EXPECT_FALSE(IsOpen(dialog));
    EXPECT_EQ(parent->GetRemoveFlags() & pass_flag::kDraw, 0u);
    EXPECT_TRUE(parent->IsActive());
}

TEST_F(PopupTest, ADialogRemovedWithoutClosingGivesItsParentItsDrawingBack) {
    ConstantsMap()[L"dialog_fade_time"] = PropertyValue(10);
    Menu* parent = OpenMenu();
    auto* dialog = new DialogMenu(parent);
    dialog->SetUseIntro(false);
    menus.AddMenu(dialog);
    Updates(3);  // still fading in
    dialog->RemoveSelf();
    EXPECT_FALSE(IsOpen(dialog));
    EXPECT_EQ(parent->GetRemoveFlags() & pass_flag::kDraw, 0u);
    EXPECT_TRUE(parent->IsActive());
}

TEST_F(PopupTest, ConfirmationsCloseOnCloseAndTheQuitOneShutsDownOnOk) {
    Define(L"confirm_menu", {Step(L"halt")});
    LocalizationMap()[L"quit_title"] = L"Leave?";
    auto* confirm = new ConfirmMenu(L"T", L"Sure?", L"yes", L"no", nullptr);
    EXPECT_EQ(confirm->Variables()[L"ok_text"].ToString(), L"yes");
    EXPECT_EQ(confirm->Variables()[L"cancel_text"].ToString(), L"no");
    EXPECT_EQ(confirm->GetDefinition()->name, L"confirm_menu");
    confirm->SetUseIntro(false);
    menus.AddMenu(confirm);
    confirm->DoAction(L"ok", L"", 0);  // without a parent: no fade, closed at once
    EXPECT_FALSE(IsOpen(confirm));

    auto* quit = new ConfirmQuitMenu();
    quit->SetUseIntro(false);
    EXPECT_EQ(quit->Variables()[L"title"].ToString(), L"Leave?");
    EXPECT_EQ(quit->Variables()[L"ok_text"].ToString(), L"quit_confirm");
    menus.AddMenu(quit);
    quit->DoAction(L"unknown", L"", 0);
    EXPECT_TRUE(IsOpen(quit));
    quit->DoAction(L"ok", L"", 0);
    EXPECT_EQ(menus.shutdowns, 1);
    quit->DoAction(L"close", L"", 0);
    EXPECT_FALSE(IsOpen(quit));
    LocalizationMap().erase(L"quit_title");
}

TEST_F(PopupTest, ANoticeShowsTheTextsOfItsKey) {
    LocalizationMap()[L"k_title"] = L"Title";
    auto* notice = new NoticeMenu(L"k", nullptr, L"menu");
    EXPECT_EQ(notice->Variables()[L"title"].ToString(), L"Title");
    EXPECT_EQ(notice->Variables()[L"text"].ToString(), L"");  // no entry: empty
    EXPECT_EQ(notice->Variables()[L"text_font"].ToString(), L"menu");
    EXPECT_EQ(notice->GetDefinition()->name, L"notice_menu");
    delete notice;
    LocalizationMap().erase(L"k_title");
    LocalizationMap().erase(L"k_text");
}

TEST_F(PopupTest, ATransitionShowsItsMenuBeneathItAndThePictureOfTheScreen) {
    Define(L"swap", {Step(L"halt")});
    Menu* old = OpenMenu();
    auto* next = new Menu(L"");
    auto* transition = new Transition(L"swap", next, true);
    EXPECT_TRUE(IsOpen(next));
    EXPECT_EQ(transition->Variables()[L"menu"].ToWidget<Menu>(), next);
    ASSERT_NE(transition->GetCapturedImage(), nullptr);
    EXPECT_EQ(transition->GetCapturedImage()->GetCelWidth(), 800);
    auto* screenshot = transition->Variables()[L"screenshot"].ToWidget<DynamicWidget>();
    ASSERT_NE(screenshot, nullptr);
    EXPECT_EQ(screenshot->GetImage(), transition->GetCapturedImage());
    menus.AddMenu(transition);
    EXPECT_EQ(mgr.GetChildren().back(), transition);
    EXPECT_EQ(transition->GetPriority(), Transition::kPriority);
    old->RemoveSelf();
    EXPECT_EQ(mgr.GetChildren().back(), transition);
}

// The parent is not the dialog's: closed and deleted first, it is simply
// left alone when the dialog gives back what it took.
TEST_F(PopupTest, ADialogWhoseParentWasDeletedFirstClosesSafely) {
    ConstantsMap()[L"dialog_fade_time"] = PropertyValue(10);
    Menu* parent = OpenMenu();
    auto* dialog = new DialogMenu(parent);
    dialog->SetUseIntro(false);
    menus.AddMenu(dialog);
    Updates(3);
    menus.RemoveMenu(parent);
    host.DeleteDeferred();
    dialog->DoAction(L"close", L"", 0);
    Updates(11);
    EXPECT_FALSE(IsOpen(dialog));
    host.DeleteDeferred();
}

// The picture belongs to the object that shows it: kept after the
// transition is gone, it still shows the screen it was taken of.
TEST_F(PopupTest, ATransitionsPictureLivesAsLongAsTheObjectShowingIt) {
    Define(L"swap", {Step(L"halt")});
    OpenMenu();
    auto* transition = new Transition(L"swap", nullptr, true);
    auto* screenshot = transition->Variables()[L"screenshot"].ToWidget<DynamicWidget>();
    ASSERT_NE(screenshot, nullptr);
    // Taken over by another holder, as a script's objects can be.
    screenshot->SetRemovalListener(nullptr);
    screenshot->RemoveSelfKeep();
    std::unique_ptr<DynamicWidget> kept(screenshot);
    delete transition;
    ASSERT_NE(kept->GetImage(), nullptr);
    EXPECT_EQ(kept->GetImage()->GetCelWidth(), 800);
}

}  // namespace
