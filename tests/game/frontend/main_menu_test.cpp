// The main menu's choices and the credits.
#include <gtest/gtest.h>

#include "foundation/expression/localization_map.h"
#include "foundation/system/text.h"
#include "game/frontend/menus/main_menu.h"
#include "game/frontend/menus/options_menu.h"
#include "game/frontend/menus/profile_menu.h"
#include "rendering/font/fonts_xml.h"
#include "tests/game/frontend/frontend_test_support.h"
#include "widgets/screens/confirm_menu.h"

namespace {

using namespace testsupport;

class MainMenuTest : public FrontendTest {
protected:
    MainMenuTest() {
        app.book.names = {L"", L"Dee", L"", L""};
        app.book.selected = 1;
        main = new MainMenu();
        menus.AddMenu(main);
    }
    MainMenu* main;
};

TEST_F(MainMenuTest, DialogsOpenAboveTheMenuWhileFullScreensReplaceIt) {
    EXPECT_EQ(main->GetLocalVariable(L"player_name").ToString(), L"Dee");
    main->DoAction(L"options", L"", 0);
    EXPECT_NE(OpenOf<OptionsMenu>(), nullptr);
    main->DoAction(L"quit", L"", 0);
    EXPECT_NE(OpenOf<ConfirmQuitMenu>(), nullptr);
    EXPECT_TRUE(IsOpen(main));

    main->DoAction(L"play", L"", 0);
    EXPECT_EQ(app.calls.back(), L"play menu");
    EXPECT_FALSE(IsOpen(main));
}

TEST(MainMenuGreeting, TheLargestFontThatKeepsTheGreetingInsideThePanel) {
    ScopedFonts fonts;
    fonts.Add(L"heading", 30);
    fonts.Add(L"plain2", 20);
    fonts.Add(L"hud_button_small", 12);
    struct Case {
        std::wstring greeting;
        const wchar_t* font;
    };
    for (const Case& c : {Case{L"Welcome, Dee!", L"heading"}, Case{L"Welcome, WWWWWWWWWW!", L"plain2"},
                          Case{L"Welcome, WWWWWWWWWWWWWWWWWWWW!", L"hud_button_small"},
                          Case{std::wstring(200, L'W'), L"hud_button_small"}}) {
        const std::wstring font = MainMenu::GreetingFont(c.greeting);
        EXPECT_EQ(font, c.font) << text::ToUtf8(c.greeting);
        if (c.greeting.size() < 40) {
            EXPECT_LE(GetFontMap().Find(font)->StringWidth(c.greeting), MainMenu::kGreetingWidth);
        }
    }
}

TEST_F(MainMenuTest, TheMenuGreetsInTheFittedFont) {
    LocalizationMap()[L"main_welcome"] = L"Welcome, %s!";
    auto* again = new MainMenu();
    menus.AddMenu(again);
    EXPECT_EQ(again->GetLocalVariable(L"welcome_font").ToString(), MainMenu::GreetingFont(L"Welcome, Dee!"));
}

TEST_F(MainMenuTest, ProfileAndCreditsReplaceTheMenu) {
    main->DoAction(L"profile", L"", 0);
    EXPECT_NE(OpenOf<ProfileMenu>(), nullptr);
    EXPECT_FALSE(IsOpen(main));

    auto* again = new MainMenu();
    menus.AddMenu(again);
    LocalizationMap()[L"elapsed_time"] = L"%d h %02d min";
    again->DoAction(L"credits", L"", 0);
    EXPECT_FALSE(IsOpen(again));
    auto* credits = OpenOf<CreditsMenu>();
    ASSERT_NE(credits, nullptr);
    EXPECT_EQ(credits->GetLocalVariable(L"time").ToString(), L"3 h 07 min");
    EXPECT_EQ(credits->GetLocalVariable(L"version").ToString(), L"v1.3");
    EXPECT_EQ(app.calls.back(), L"load credits_screen");
    credits->DoAction(L"elsewhere", L"", 0);
    EXPECT_TRUE(IsOpen(credits));
    credits->DoAction(L"main", L"", 0);
    EXPECT_FALSE(IsOpen(credits));
    ASSERT_GE(app.calls.size(), 2u);
    EXPECT_EQ(app.calls[app.calls.size() - 2], L"unload credits_screen");
    EXPECT_EQ(app.calls.back(), L"main menu");
}

TEST_F(MainMenuTest, OtherActionsReachTheParent) {
    auto* inner = new MainMenu();
    ParentRecorder* parent = UnderRecorder(inner);
    inner->DoAction(L"somewhere", L"p", 2);
    EXPECT_EQ(parent->actions, std::vector<std::wstring>{L"somewhere"});
}

TEST(MainMenuAssets, WithoutTheScriptOnlyTheHotDogIsLoadedAndNothingIsEntered) {
    AnimationLibrary().erase(L"main_menu");
    EXPECT_EQ(MainMenuAssetNames(), std::set<std::wstring>{L"hotdog_idle"});
    EXPECT_FALSE(AnimationExists(L"main_menu"));
}

}  // namespace
