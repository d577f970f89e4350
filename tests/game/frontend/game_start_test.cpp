// The whole front door, run for real: the game application starts on the
// game's own data with SDL's dummy drivers and a fresh data folder, and a
// scripted player goes through it by pointer and keyboard as a person would:
// skips the start-up screens, waits for loading, presses play, types a name,
// moves the effects slider in the options, reads the credits, sees the
// introduction, picks the first park on the map, which opens in the in-game
// display, leaves it for the map, opens it again and completes it, sees the
// completed park's screen, goes back to the map and quits.
// Then the saved files are read back, and a second start must come back to
// the same player.

#include <gtest/gtest.h>

#include "app/assets/asset_registry.h"
#include "app/settings/settings_file.h"
#include "foundation/system/service.h"
#include "foundation/system/text.h"
#include "foundation/system/track_interface.h"
#include "game/data/progress/player_state.h"
#include "game/frontend/hud/user_interface.h"
#include "game/frontend/menus/beat_level_menu.h"
#include "game/frontend/menus/enter_name_menu.h"
#include "game/frontend/menus/frontend_host.h"
#include "game/frontend/menus/level_select_menu.h"
#include "game/frontend/menus/main_menu.h"
#include "game/frontend/menus/options_menu.h"
#include "game/park/parkgrid/kivra_grid.h"
#include "platform/window/virtual_keys.h"
#include "tests/game/frontend/driven_game.h"
#include "widgets/controls/button_widget.h"
#include "widgets/screens/confirm_menu.h"
#include "widgets/screens/notice_menu.h"

namespace {

using testsupport::DrivenGame;
using testsupport::Narrow;
using testsupport::ReadFile;
using GameStartTest = testsupport::DrivenGameTest;

TEST_F(GameStartTest, APlayerNamesThemselvesChangesTheOptionsReadsTheCreditsQuitsAndIsRememberedNextTime) {
    double sfxChosen = -1;
    std::wstring creditsVersion, creditsTime;
    {
        DrivenGame game(data_);
        SkipToTitle(game);
        game.Then("the title screen plays the theme", [&game] {
            EXPECT_TRUE(Service<TrackInterface>::Get().IsTrackPlaying(game.Assets()->FindTrackId(L"theme")));
            return true;
        });
        PressPlayOnTitle(game);
        game.Then("name entry", [&game] {
            auto* entry = game.OpenMenu<EnterNameMenu>();
            if (!entry) return false;
            // A double quote breaks the name rule and is refused.
            game.Type(L"Ada\"");
            game.Press(plat::vk::kReturn);
            return true;
        });
        auto mainMenu = [&game] { return static_cast<Menu*>(game.OpenMenu<MainMenu>()); };
        game.Then("main menu greets the player", [&game] {
            auto* menu = game.OpenMenu<MainMenu>();
            if (!menu) return false;
            EXPECT_EQ(menu->Variables()[L"player_name"].ToString(), L"Ada");
            EXPECT_EQ(game.PlayerName(), L"Ada");
            EXPECT_EQ(game.LoadingScreen(), nullptr);
            EXPECT_TRUE(Service<TrackInterface>::Get().IsTrackPlaying(game.Assets()->FindTrackId(L"theme")));
            return true;
        });
        // A process killed now keeps the player just named.
        game.Then("the new player is on disk", [this] {
            EXPECT_NE(Narrow(ReadFile(home_ / "profiles.xml")).find("\"Ada\""), std::string::npos);
            return true;
        });
        ClickScriptButton(game, "options button", mainMenu, L"options");
        game.Then("effects slider", [&game, &sfxChosen] {
            auto* options = game.OpenMenu<OptionsMenu>();
            if (!options || !Settled(game, options)) return false;
            Slider* slider = options->GetSoundSlider();
            const double before = game.GetSfxVolume();
            // Grab the thumb and drag it to the track's far left.
            const ScreenPoint thumb = DrivenGame::Middle(slider);
            const FRect track = DrivenGame::Origin(slider);
            const int grabX = static_cast<int>(track.x + slider->GetValue() * slider->GetWidth());
            game.MoveTo(grabX, thumb.y);
            game.Widgets().WindowMouseDown(grabX, thumb.y, 1);
            game.Widgets().WindowMouseMove(static_cast<int>(track.x) - 20, thumb.y);
            // The volume follows the slider at once, before the release.
            EXPECT_LT(game.GetSfxVolume(), before);
            game.Widgets().WindowMouseUp(static_cast<int>(track.x) - 20, thumb.y, 1);
            sfxChosen = game.GetSfxVolume();
            return true;
        });
        ClickScriptButton(
            game, "close the options", [&game] { return game.OpenMenu<OptionsMenu>(); }, L"close");
        // ... and the options as they were when the dialog closed.
        game.Then("the options are on disk", [this, &sfxChosen] {
            const std::string settings = Narrow(ReadFile(home_ / "settings.xml"));
            EXPECT_NE(settings.find("sfx=\"" + std::to_string(VolumeToPercent(sfxChosen)) + "\""), std::string::npos)
                << settings;
            return true;
        });
        ClickScriptButton(game, "credits button", mainMenu, L"credits");
        game.Then("credits", [&game, &creditsVersion, &creditsTime] {
            auto* credits = game.OpenMenu<CreditsMenu>();
            if (!credits) return false;
            creditsVersion = credits->Variables()[L"version"].ToString();
            creditsTime = credits->Variables()[L"time"].ToString();
            return true;
        });
        ClickScriptButton(
            game, "back from the credits", [&game] { return game.OpenMenu<CreditsMenu>(); }, L"back");
        ClickScriptButton(game, "play button", mainMenu, L"play");
        game.Then("the introduction, skipped line by line", [&game] {
            if (game.OpenMenu<LevelSelectMenu>()) return true;
            if (game.FramesOnStep() % 20 == 19) game.ClickAt(512, 384);
            return false;
        });
        game.Then("the map has released every park", [] {
            auto* player = dynamic_cast<PlayerState*>(BasicPlayerState::Current());
            EXPECT_TRUE(player && player->started_);
            EXPECT_EQ(player ? player->CurrentLevelName() : L"?", L"");
            return true;
        });
        ClickScriptButton(
            game, "the first park's sign", [&game] { return game.OpenMenu<LevelSelectMenu>(); }, L"sign_maple_green");
        game.Then("the first park opens in the display", [&game] {
            auto* display = game.OpenMenu<UserInterface>();
            if (!display || !Settled(game, display)) return false;
            auto* player = dynamic_cast<PlayerState*>(BasicPlayerState::Current());
            EXPECT_EQ(player ? player->CurrentLevelName() : L"?", L"maple_green");
            EXPECT_EQ(game.OpenMenu<LevelSelectMenu>(), nullptr);
            EXPECT_TRUE(display->Grid().ItemsStarted());
            EXPECT_EQ(Service<FrontendHost>::Get().GetInGameDisplay(), display);
            display->DoAction(L"quit_action", L"", 0);
            return true;
        });
        game.Then("back on the map, the park released", [&game] {
            if (!game.OpenMenu<LevelSelectMenu>()) return false;
            auto* player = dynamic_cast<PlayerState*>(BasicPlayerState::Current());
            EXPECT_EQ(player ? player->CurrentLevelName() : L"?", L"");
            EXPECT_EQ(game.OpenMenu<UserInterface>(), nullptr);
            return true;
        });
        ClickScriptButton(
            game, "the first park again", [&game] { return game.OpenMenu<LevelSelectMenu>(); }, L"sign_maple_green");
        game.Then("the park completed", [&game] {
            auto* display = game.OpenMenu<UserInterface>();
            if (!display || !Settled(game, display)) return false;
            display->DoAction(L"complete_level_action", L"", 0);
            return true;
        });
        game.Then("the completed park's own screen", [&game] {
            auto* beaten = game.OpenMenu<BeatLevelMenu>();
            if (!beaten || !Settled(game, beaten)) return false;
            // The park is no longer current, yet its splash and name show.
            DynamicWidget* splash = DrivenGame::ScriptObject(beaten, L"splash");
            EXPECT_TRUE(splash && splash->GetImage()) << "no splash picture";
            EXPECT_EQ(game.OpenMenu<UserInterface>(), nullptr);
            return true;
        });
        ClickScriptButton(
            game, "on to the map", [&game] { return game.OpenMenu<BeatLevelMenu>(); }, L"level_select");
        ClickScriptButton(
            game, "back from the map", [&game] { return game.OpenMenu<LevelSelectMenu>(); }, L"back");
        ClickScriptButton(game, "quit button", mainMenu, L"quit");
        ClickScriptButton(
            game, "confirm quitting", [&game] { return game.OpenMenu<ConfirmQuitMenu>(); }, L"ok");

        ASSERT_EQ(game.Play(), "");
        EXPECT_EQ(game.ExitCode(), 0);
    }
    EXPECT_EQ(creditsVersion, L"v1.3");
    EXPECT_NE(creditsTime.find(L'0'), std::wstring::npos) << "the play time is shown";
    ASSERT_GE(sfxChosen, 0.0);
    EXPECT_LT(sfxChosen, 0.05);

    const std::string settings = Narrow(ReadFile(home_ / "settings.xml"));
    EXPECT_NE(settings.find("sfx=\"" + std::to_string(VolumeToPercent(sfxChosen)) + "\""), std::string::npos)
        << settings;
    const std::string profiles = Narrow(ReadFile(home_ / "profiles.xml"));
    EXPECT_NE(profiles.find("\"Ada\""), std::string::npos) << profiles;

    // A second start: the title screen's play goes straight to the main menu
    // of the same player, with the options as they were left.
    {
        DrivenGame game(data_);
        SkipToTitle(game);
        PressPlayOnTitle(game);
        game.Then("main menu of the remembered player", [&game, sfxChosen] {
            auto* menu = game.OpenMenu<MainMenu>();
            if (!menu) return false;
            EXPECT_EQ(menu->Variables()[L"player_name"].ToString(), L"Ada");
            EXPECT_EQ(game.OpenMenu<EnterNameMenu>(), nullptr);
            EXPECT_NEAR(game.GetSfxVolume(), sfxChosen, 0.006);
            return true;
        });
        // The introduction was seen: play goes straight to the map, and back.
        ClickScriptButton(
            game, "play again", [&game] { return game.OpenMenu<MainMenu>(); }, L"play");
        ClickScriptButton(
            game, "back from the map", [&game] { return game.OpenMenu<LevelSelectMenu>(); }, L"back");
        game.Then("main menu again", [&game] {
            if (!game.OpenMenu<MainMenu>()) return false;
            game.Shutdown();
            return true;
        });
        ASSERT_EQ(game.Play(), "");
    }
}

// A player whose saved players could not be read is told so, once, and where
// the old file was kept; Escape closes each dialog and screen as its Back or
// Done button does; closing the window asks as Quit does.
TEST_F(GameStartTest, ADamagedSaveIsToldEscapeStepsBackAndClosingTheWindowAsksFirst) {
    const std::string damaged = "<profiles selected=\"0\"><profile name=\"Old\"";
    { std::ofstream(home_ / "profiles.xml", std::ios::binary) << damaged; }
    const std::string kept = (home_ / "profiles.xml.bad").string();
    DrivenGame game(data_);
    SkipToTitle(game);
    int notices = 0;
    game.Then("the notice over the title screen", [&game, &notices, kept] {
        auto* notice = game.OpenMenu<NoticeMenu>();
        if (!notice || !Settled(game, notice)) return false;
        ++notices;
        const std::wstring said = notice->Variables()[L"text"].ToString();
        const std::filesystem::path where(kept);
        EXPECT_NE(said.find(text::FromUtf8(where.parent_path().string())), std::wstring::npos) << text::ToUtf8(said);
        EXPECT_NE(said.find(L"profiles.xml.bad"), std::wstring::npos) << text::ToUtf8(said);
        game.Press(plat::vk::kEscape);
        return true;
    });
    game.Then("the notice closes", [&game] { return game.OpenMenu<NoticeMenu>() == nullptr; });
    PressPlayOnTitle(game);
    game.Then("name entry", [&game] {
        if (!game.OpenMenu<EnterNameMenu>()) return false;
        game.Type(L"Bea");
        game.Press(plat::vk::kReturn);
        return true;
    });
    auto mainMenu = [&game] { return static_cast<Menu*>(game.OpenMenu<MainMenu>()); };
    game.Then("closing the window asks", [&game] {
        auto* menu = game.OpenMenu<MainMenu>();
        if (!menu || !Settled(game, menu)) return false;
        game.CloseWindow();
        return true;
    });
    game.Then("the quit question, the game still running", [&game] {
        auto* ask = game.OpenMenu<ConfirmQuitMenu>();
        if (!ask || !Settled(game, ask)) return false;
        EXPECT_FALSE(game.IsShuttingDown());
        game.Press(plat::vk::kEscape);  // stays
        return true;
    });
    game.Then("back on the main menu", [&game] { return !game.OpenMenu<ConfirmQuitMenu>() && !game.IsShuttingDown(); });
    ClickScriptButton(game, "options button", mainMenu, L"options");
    game.Then("Escape closes the options", [&game] {
        auto* options = game.OpenMenu<OptionsMenu>();
        if (!options || !Settled(game, options)) return false;
        game.Press(plat::vk::kEscape);
        return true;
    });
    game.Then("the options are gone", [&game] { return game.OpenMenu<OptionsMenu>() == nullptr; });
    ClickScriptButton(game, "credits button", mainMenu, L"credits");
    game.Then("Escape leaves the credits", [&game] {
        auto* credits = game.OpenMenu<CreditsMenu>();
        if (!credits || !Settled(game, credits)) return false;
        game.Press(plat::vk::kEscape);
        return true;
    });
    game.Then("closing from the main menu again", [&game] {
        auto* menu = game.OpenMenu<MainMenu>();
        if (game.OpenMenu<CreditsMenu>() || !menu || !Settled(game, menu)) return false;
        game.CloseWindow();
        return true;
    });
    ClickScriptButton(
        game, "confirm quitting", [&game] { return game.OpenMenu<ConfirmQuitMenu>(); }, L"ok");
    ASSERT_EQ(game.Play(), "");
    EXPECT_EQ(game.ExitCode(), 0);
    EXPECT_EQ(notices, 1);
    EXPECT_EQ(ReadFile(kept), damaged);
    EXPECT_NE(Narrow(ReadFile(home_ / "profiles.xml")).find("\"Bea\""), std::string::npos);
}

// A home that cannot be written plays on, but the player hears at once that
// nothing will be kept, and again when the new player could not be written.
TEST_F(GameStartTest, AnUnwritableDataFolderIsToldAtStartAndWhenThePlayerIsNamed) {
    { std::ofstream(home_ / "blocked") << "a file where the folder should be"; }
    SetAppDataFolder((home_ / "blocked").string() + "/");
    DrivenGame game(data_);
    SkipToTitle(game);
    auto noticeSaying = [&game](std::wstring words) {
        return [&game, words] {
            auto* notice = game.OpenMenu<NoticeMenu>();
            if (!notice || !Settled(game, notice)) return false;
            const std::wstring said = notice->Variables()[L"text"].ToString();
            EXPECT_NE(said.find(words), std::wstring::npos) << text::ToUtf8(said);
            game.Press(plat::vk::kEscape);
            return true;
        };
    };
    game.Then("told over the title screen", noticeSaying(L"blocked"));
    game.Then("the notice closes", [&game] { return game.OpenMenu<NoticeMenu>() == nullptr; });
    PressPlayOnTitle(game);
    game.Then("name entry", [&game] {
        if (!game.OpenMenu<EnterNameMenu>()) return false;
        game.Type(L"Cy");
        game.Press(plat::vk::kReturn);
        return true;
    });
    game.Then("told over the main menu",
              [&game, told = noticeSaying(L"could not be written")] { return game.OpenMenu<MainMenu>() && told(); });
    game.Then("the game goes on", [&game] {
        if (game.OpenMenu<NoticeMenu>() || !game.OpenMenu<MainMenu>()) return false;
        EXPECT_EQ(game.PlayerName(), L"Cy");
        game.Shutdown();
        return true;
    });
    ASSERT_EQ(game.Play(), "");
}

}  // namespace
