// The play board's play path, and the game application built but never
// started: its hidden words, its end, and its loading steps.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>

#include "app/player/basic_player_state.h"
#include "foundation/expression/localization_map.h"
#include "game/data/progress/kivra_level_stats.h"
#include "game/frontend/entry/my_board.h"
#include "game/frontend/entry/my_game_app.h"
#include "game/frontend/menus/level_select_menu.h"
#include "game/frontend/menus/loading_menu.h"
#include "game/frontend/menus/main_menu.h"
#include "tests/game/data/profile_test_support.h"
#include "tests/game/frontend/frontend_test_support.h"
#include "tests/platform/temp_folder.h"
#include "widgets/screens/notice_menu.h"
#include "widgets/script/script_text.h"

namespace {

using namespace testsupport;

class PlayBoardTest : public FrontendTest {
protected:
    PlayBoardTest() {
        Define(L"intro_menu", {Step(L"halt")});  // runs until the test ends it
        LocalizationMap()[L"parks_soon_text"] = L"Soon";
        player.MakeCurrent();
        app.board = board;
        mgr.AddWidget(board);
    }
    template <class M>
    int CountOpen() const {
        int n = 0;
        for (const auto& [id, menu] : menus.open) n += dynamic_cast<M*>(menu) != nullptr;
        return n;
    }

    BasicPlayerState player;
    MyBoard* board = new MyBoard();
};

TEST_F(PlayBoardTest, TheIntroComesOnceAfterwardsTheMapOfTheParks) {
    ASSERT_EQ(CountOpen<MainMenu>(), 1);
    OpenOf<MainMenu>()->DoAction(L"play", L"", 0);
    EXPECT_TRUE(player.started_);
    auto* intro = OpenOf<IntroMenu>();
    ASSERT_NE(intro, nullptr);
    EXPECT_EQ(CountOpen<MainMenu>(), 0);

    intro->StopAnimation();  // its script ends
    EXPECT_EQ(OpenOf<IntroMenu>(), nullptr);
    EXPECT_EQ(CountOpen<MainMenu>(), 0);
    EXPECT_EQ(CountOpen<NoticeMenu>(), 0);
    ASSERT_EQ(CountOpen<LevelSelectMenu>(), 1);

    OpenOf<LevelSelectMenu>()->DoAction(L"main", L"", 0);
    ASSERT_EQ(CountOpen<MainMenu>(), 1);
    OpenOf<MainMenu>()->DoAction(L"play", L"", 0);
    EXPECT_EQ(OpenOf<IntroMenu>(), nullptr);
    EXPECT_EQ(CountOpen<MainMenu>(), 0);
    EXPECT_EQ(CountOpen<LevelSelectMenu>(), 1);
}

// The application is built in a fresh data folder holding the levels
// catalogue, and never initialised (no window, no device).
class UnstartedGameTest : public ProfileTest {
protected:
    UnstartedGameTest() { WriteProperty("localization.xml", R"(<strings><id tag="probe" value="here"/></strings>)"); }
    bool ProfilesWritten() const { return std::filesystem::exists(ProfilesFile()); }
};

TEST_F(UnstartedGameTest, WithoutACurrentPlayerNoWordActsOrReachesTheBase) {
    auto app = std::make_unique<MyGameApp>();
    for (const wchar_t* word : {L"qelmotra", L"qelmotsu", L"qelmotwi", L"qelmotne", L"wimbolxe"})
        app->HandleTypedCommand(word);
    EXPECT_TRUE(app->SaveOnExit());
    EXPECT_FALSE(LocalizationMap().contains(L"probe"));
    EXPECT_FALSE(ProfilesWritten());

    // With one the same words act.
    BasicPlayerState player;
    player.MakeCurrent();
    app->HandleTypedCommand(L"qelmotwi");
    EXPECT_EQ(LocalizationMap()[L"probe"], L"here");
    app->HandleTypedCommand(L"wimbolxe");
    EXPECT_FALSE(app->SaveOnExit());
}

TEST_F(UnstartedGameTest, QelmotneCompletesTheGoalsOfTheGamesOwnPlayerStateOnly) {
    MyGameApp app;
    KivraPlayerState kivra;
    BasicPlayerState plain;
    plain.MakeCurrent();
    app.HandleTypedCommand(L"qelmotne");
    EXPECT_FALSE(kivra.GetProperty(L"beat_game").ToBool());
    kivra.MakeCurrent();
    app.HandleTypedCommand(L"qelmotne");
    EXPECT_TRUE(kivra.GetProperty(L"beat_game").ToBool());
}

TEST_F(UnstartedGameTest, TheEndWritesProfilesOnlyWhenTheyWereRead) {
    std::make_unique<MyGameApp>().reset();
    EXPECT_FALSE(ProfilesWritten());
    auto app = std::make_unique<MyGameApp>();
    app->Profiles().Load();
    app.reset();
    EXPECT_TRUE(ProfilesWritten());
}

class ModeGame : public MyGameApp {
public:
    explicit ModeGame(bool screensaver) { commandLine_.screensaverMode = screensaver; }
};

TEST_F(UnstartedGameTest, TheGameCountsItsExtraStepsInBothModesButTheScreensaverReadsNoTexts) {
    for (bool screensaver : {false, true}) {
        LocalizationMap().clear();
        ModeGame app(screensaver);
        app.GameApp::LoadResources();
        const int engineSteps = app.LoadingStepsDone();
        app.LoadResources();
        EXPECT_EQ(app.LoadingStepsDone() - 2 * engineSteps, app.GetExtraLoadingSteps()) << screensaver;
        EXPECT_EQ(LocalizationMap().contains(L"probe"), !screensaver);
    }
}

// Nothing named the park's materials, so every level's sidewalk read as none.
TEST_F(UnstartedGameTest, TheParksMaterialNamesAreInstalledBeforeTheLevelsAreRead) {
    WriteProperty("levels.xml", R"(<levels><level name="cove" sidewalk="pier"><tiles>..</tiles></level></levels>)");
    MyGameApp app;
    EXPECT_EQ(Service<TileMaterials>::Get().MaterialToName('B'), L"cobblestone");
    app.LoadResources();
    const auto* levels = dynamic_cast<KivraLevelStats*>(LevelStats::Current());
    ASSERT_NE(levels, nullptr);
    ASSERT_NE(levels->FindParkLevel(L"cove"), nullptr);
    EXPECT_EQ(levels->FindParkLevel(L"cove")->sidewalk, 'P');
}

TEST_F(UnstartedGameTest, ScriptTextsNameTheCurrentPlayer) {
    MyGameApp app;
    app.SetPlayerName(L"Ada");
    EXPECT_EQ(ScriptDisplayText(L"Well done, [player]! [player] wins.", false), L"Well done, Ada! Ada wins.");
}

// The game as started from the command line: "-crash" must leave the report,
// with the game's own header, in the folder it runs in, and end by the fault.
TEST(GameCrashTest, DashCrashLeavesTheGamesReportAndEndsByTheFault) {
    TempFolder folder;
    const pid_t child = ::fork();
    if (child == 0) {
        if (::chdir(folder.Path().c_str()) != 0) ::_exit(90);
        ::setenv("HOME", folder.Path().c_str(), 1);
        ::setenv("SDL_VIDEODRIVER", "dummy", 1);
        ::setenv("SDL_AUDIODRIVER", "dummy", 1);
        CreateAndRunApp({"halvaro", "-crash"});
        ::_exit(91);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    ASSERT_TRUE(WIFSIGNALED(status)) << "exit status " << WEXITSTATUS(status);
    EXPECT_EQ(WTERMSIG(status), SIGSEGV);
    std::ifstream in(folder / "crash.txt", std::ios::binary);
    std::ostringstream report;
    report << in.rdbuf();
    EXPECT_EQ(report.str().rfind("Exception: Access Violation", 0), 0u) << report.str();
    EXPECT_NE(report.str().find("\r\nProduct: Halvaro\r\nVersion: v1.3\r\n"), std::string::npos) << report.str();
}

}  // namespace
