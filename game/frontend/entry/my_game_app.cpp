#include "game/frontend/entry/my_game_app.h"

#include <array>
#include <memory>
#include <vector>

#include "app/crash/crash_reporter.h"
#include "app/player/basic_player_state.h"
#include "foundation/files/path_utils.h"
#include "foundation/system/text.h"
#include "game/data/catalogues/countdown.h"
#include "game/frontend/entry/my_board.h"
#include "game/frontend/menus/loading_menu.h"
#include "game/frontend/menus/main_menu.h"
#include "game/park/grid/grid_tile.h"
#include "widgets/screens/confirm_menu.h"
#include "widgets/screens/menu_host.h"
#include "widgets/screens/notice_menu.h"

namespace {

MyGameApp* gMyGameApp = nullptr;

}  // namespace

MyGameApp::MyGameApp() : GameApp("Halvaro", "v1.3", 1024, 768) {
    gMyGameApp = this;
    // Right and middle buttons do nothing anywhere in the game.
    Widgets().SetLeftButtonOnly(true);
}

MyGameApp::~MyGameApp() {
    gMyGameApp = nullptr;
    // The catalogues go before the base's end: nothing that reads them may
    // outlive them, neither the loading thread nor a widget.
    EndLoadingAndWidgets();
    // A profile manager that never read profiles.xml would write empty slots over it.
    if (SaveOnExit() && profiles_.IsLoaded()) profiles_.Save();
    // The park's tiles share pictures of this game's assets, which go with
    // it: a later game in the same process looks them up afresh.
    GridTile::ForgetTileImages();
}

MyGameApp* MyGameApp::Instance() { return gMyGameApp; }

void MyGameApp::LoadResources() {
    GameApp::LoadResources();
    if (!commandLine_.screensaverMode) localization_.Load();
    // The week and the time texts are kept from their first use: this
    // game's own, not what the process read before it loaded them.
    Countdown::ForgetCachedValues();
    AdvanceLoadingStep();
    itemStats_.Load();
    AdvanceLoadingStep();
    levelStats_.Load();
    AdvanceLoadingStep();
    gameStats_.Load();
    AdvanceLoadingStep();
    profiles_.Load();
    dataFolderWritable_ = CanWriteInFolder(GetAppDataFolder());
    AdvanceLoadingStep();
    LoadMainMenuAssets(true);
    AdvanceLoadingStep();
}

void MyGameApp::UpdateFrames() {
    GameApp::UpdateFrames();
    // Over the title screen once loading is done: the start-up pictures
    // before it would stand still under a dialog.
    if (unreadableProfilesTold_ || !ResourcesLoaded() || !dynamic_cast<LoadingMenu*>(LoadingScreen())) return;
    unreadableProfilesTold_ = true;
    if (!dataFolderWritable_) {
        const std::array<PropertyValue, 1> folder{PropertyValue::FromWString(text::FromUtf8(GetAppDataFolder()))};
        ShowMenu(new NoticeMenu(L"data_folder_unwritable", nullptr, L"menu", folder));
    }
    // The game starts as on a first run, or without what could not be read:
    // the player is told, and where the old file waits.
    const std::string& moved = profiles_.MovedAsideTo();
    const std::string& copied = profiles_.DamagedCopy();
    const std::string& kept = moved.empty() ? copied : moved;
    if (kept.empty()) return;
    std::vector<PropertyValue> where;
    if (moved.empty()) where.push_back(PropertyValue::FromWString(profiles_.Damage().Places()));
    where.push_back(PropertyValue::FromWString(text::FromUtf8(GetFileDir(kept))));
    where.push_back(PropertyValue::FromWString(text::FromUtf8(GetFileName(kept))));
    ShowMenu(new NoticeMenu(moved.empty() ? L"profiles_damaged" : L"profiles_unreadable", nullptr, L"menu", where));
}

void MyGameApp::TitleScreenDone() {
    GameApp::TitleScreenDone();
    auto* board = new MyBoard();
    SetBoard(board);
    // Joining the tree opens the main menu.
    Widgets().AddWidget(board);
}

void MyGameApp::HandleTypedCommand(std::wstring_view text) {
    // While the loading thread still reads the profiles, the current player
    // and the profile manager are its own.
    if (LoadingThrottle()) return;
    BasicPlayerState* player = BasicPlayerState::Current();
    if (!player) return;
    if (text == L"qelmotra") {
        // Our own sound where the system's menu sound once played.
        PlaySoundEffectByName(L"feedback_general");
        profiles_.Save();
    } else if (text == L"qelmotsu") {
        profiles_.ResetProfile(profiles_.Selected());
        profiles_.Save();
    } else if (text == L"qelmotwi") {
        localization_.ClearStrings();
        localization_.Load();
        Countdown::ForgetCachedValues();
    } else if (text == L"qelmotne") {
        if (auto* kivra = dynamic_cast<KivraPlayerState*>(player)) kivra->CompleteAllGoals();
    } else {
        GameApp::HandleTypedCommand(text);
    }
}

TitleScreen* MyGameApp::CreateFirstScreen() { return new LoadingMenu(); }

bool MyGameApp::AllowWindowClose() {
    bool quitAsks = false;
    for (Menu* menu : GetMenuStack().Menus()) {
        if (dynamic_cast<ConfirmQuitMenu*>(menu)) return false;  // already asking
        if (dynamic_cast<MainMenu*>(menu)) quitAsks = true;
    }
    if (!quitAsks) return true;
    ShowMenu(new ConfirmQuitMenu());
    return false;
}

int CreateAndRunApp(std::vector<std::string> arguments) {
    // A fault anywhere in the run, "-crash" included, is reported: the
    // handlers go in before the application exists and stay until the process
    // ends, so the teardown of the objects made during the run is covered too.
    static const CrashReporter reporter;
    auto app = std::make_unique<MyGameApp>();
    app->SetArguments(std::move(arguments));
    app->Initialize();
    app->Run();
    const int code = app->ExitCode();
    app.reset();
    return code;
}
