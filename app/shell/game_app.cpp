// The game application's start-up, loading and end.

#include "app/shell/game_app.h"

#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "app/assets/asset_manager.h"
#include "app/assets/asset_registry.h"
#include "app/assets/image_prefetch.h"
#include "foundation/expression/constants.h"
#include "foundation/expression/constants_map.h"
#include "foundation/system/log.h"
#include "foundation/system/noise.h"
#include "foundation/system/text.h"
#include "rendering/device/d3d_interface.h"
#include "rendering/font/fonts_xml.h"
#include "rendering/image/image.h"
#include "rendering/shader/blend_shaders.h"
#include "widgets/screens/distributor_screen.h"
#include "widgets/screens/logo_screen.h"
#include "widgets/screens/title_screen.h"
#include "widgets/script/animation_stats.h"

namespace {

GameApp* gGameApp = nullptr;

// The cursor images by cursor kind 0-3, from the intro assets.
constexpr const wchar_t* kCursorImages[] = {L"custom_pointer", L"custom_hand", L"custom_dragging", L"custom_text"};

}  // namespace

GameApp::GameApp(std::string productName, std::string version, int width, int height) {
    gGameApp = this;
    productName_ = std::move(productName);
    productVersion_ = std::move(version);
    title_ = text::FromUtf8(productName_);
    companyName_ = "Pelmar";
    showLogoScreen_ = !commandLine_.screensaverMode;
    width_ = width;
    height_ = height;
    // The game starts full screen with its own cursors unless settings.xml says otherwise.
    defaultSettings_.windowed = false;
    defaultSettings_.customCursors = true;
    LogSetProductName(productName_);
}

GameApp::~GameApp() {
    // Everything that may still use the registry goes first.
    EndLoadingAndWidgets();
    startupImages_.reset();
    loadingScreen_ = nullptr;
    if (assets_) assets_->UnloadAllAssets();
    UnloadFonts();
    LogWrite(L"Stopped Game", true);
    LogWrite(L"", false);
    LogDisable();
    soundPlayer_.reset();
    if (wiring_) wiring_->UnwireImageRegistry();
    // Before the base's sound manager and music interface.
    assets_.reset();
    if (gGameApp == this) gGameApp = nullptr;
}

GameApp* GameApp::Instance() { return gGameApp; }

void GameApp::EndLoadingAndWidgets() {
    Shutdown();
    WaitForLoadingThread();
    CloseAllMenus();
    Widgets().RemoveAllWidgets(true, false);
    board_ = nullptr;
    deferred_.DeleteAll();
}

SoundManager* GameApp::SoundOwner::GetSoundManager() { return app_.soundManager_.get(); }

void GameApp::Initialize() {
    VornAppBase::Initialize();
    if (shuttingDown_ || !initialized_) return;
    soundPlayer_ = std::make_unique<SoundPlayer>(&soundOwner_);

    assets_ = std::make_unique<AssetRegistry>(&GetAssetHost());
    wiring_->WireImageRegistry(*assets_);
    int assetFiles = 0;
    if (!startupImages_) OnDataMounted();
    {
        // Only what the logo and the title's loading bar show: the first
        // frame waits for these. Their images decode on other cores while
        // they are registered here.
        ImagePrefetch::Scope taking(*startupImages_);
        AssetManager intro(*assets_, AssetManager::Pass::kStartScreens);
        assetFiles = intro.GetFileCount();
    }
    startupImages_.reset();
    // The cursors are persistent assets: the loading thread registers them first.
    TakePersistentAssets();

    int animationSteps = 0;
    {
        AnimationStats counting(true);
        animationSteps = counting.GetAnimationCount();
    }
    InitNoiseTables();
    // One more for constants.xml.
    SetLoadingSteps(GetExtraLoadingSteps() + fontSteps_ + animationSteps + 1 + assetFiles);
    resourcesLoaded_ = false;

    if (showLogoScreen_) {
        AddMenu(new LogoScreen());
    } else {
        splashCounter_ = 100;
        ShowNextSplashScreen();
    }
}

std::string_view GameApp::RequiredDataFile() const { return AssetManager::kFileName; }

// The loading thread touches only what the registries lock (the asset
// registry, and through it the sound ids it reserves), the fonts, constants
// and animation libraries nothing reads before loading completes, the step
// counter and the log. The sound manager's channels and volume are the main
// thread's: the sounds loaded here take the effects volume on completion.
void GameApp::LoadResources() {
    if (assets_) {
        // The persistent section's images decode first, as the title screen
        // waits for them; the game section's behind them.
        std::vector<std::string> paths;
        if (!persistentRegistered_) paths = AssetManager::ImagePaths(AssetManager::Pass::kPersistent);
        std::vector<std::string> game = AssetManager::ImagePaths(false);
        paths.insert(paths.end(), std::make_move_iterator(game.begin()), std::make_move_iterator(game.end()));
        ImagePrefetch prefetch(std::move(paths));
        ImagePrefetch::Scope taking(prefetch);
        RegisterPersistentAssets();
        AssetManager gamePass(*assets_, false);
    }
    LoadFontsXml(false);
    { Constants constants; }
    AdvanceLoadingStep();
    { AnimationStats animations(false); }
    if (GetConstantInt(L"logging") > 0) loggingEnabled_ = true;
    LogInit(loggingEnabled_);
    LogWrite(text::WFormat(L"Started %ls, version %ls", text::FromUtf8(productName_).c_str(),
                           text::FromUtf8(productVersion_).c_str()),
             true);
}

void GameApp::LoadingThreadCompleted() {
    VornAppBase::LoadingThreadCompleted();
    // The sounds just loaded take the effects volume.
    SetSfxVolume(VornAppBase::GetSfxVolume());
    if (quitRequestedFromOtherThread_) return;
    if (loadingScreen_) {
        loadingScreen_->LoadingFinished();
        loadingScreen_->MarkDirty();
    }
    resourcesLoaded_ = true;
}

void GameApp::UpdateFrames() {
    TakePersistentAssets();
    if (soundPlayer_) soundPlayer_->Update();
    // The loading thread only counts its steps; the bar is redrawn from here,
    // on the thread that owns the widget tree.
    const int steps = LoadingStepsDone();
    if (steps != stepsShown_) {
        stepsShown_ = steps;
        if (loadingScreen_) loadingScreen_->MarkDirty();
    }
    VornAppBase::UpdateFrames();
}

void GameApp::ShowNextSplashScreen() {
    ++splashCounter_;
    if (splashCounter_ > 2) {
        // The title screen shows persistent assets: should the loading
        // thread not have registered them yet, they are registered (or
        // waited for) here.
        RegisterPersistentAssets();
        TakePersistentAssets();
        TitleScreen* first = CreateFirstScreen();
        loadingScreen_ = first;
        AddMenu(first);
        if (resourcesLoaded_ && first) first->LoadingFinished();
        return;
    }
    AddMenu(new DistributorScreen(splashCounter_ == 1 ? "splash" : "splash2"));
}

void GameApp::SetTitleScreen(TitleScreen* screen) { loadingScreen_ = screen; }

void GameApp::TitleScreenDone() {
    loadingScreen_ = nullptr;
    if (assets_) assets_->DrainPendingAssets();
}

void GameApp::TitleScreenGone(TitleScreen* screen) {
    if (loadingScreen_ == screen) loadingScreen_ = nullptr;
}

void GameApp::OnDataMounted() {
    // The intro section's alone: the first frame waits for them. The rest
    // would only take processors and fresh memory from the window and the
    // device; they decode once the loading thread runs.
    startupImages_ = std::make_unique<ImagePrefetch>(AssetManager::ImagePaths(AssetManager::Pass::kStartScreens));
    // Counting the fonts also starts the lookup of their system faces.
    fontSteps_ = LoadFontsXml(true);
}

void GameApp::RegisterPersistentAssets() {
    std::call_once(persistentRegistering_, [this] {
        if (assets_) AssetManager persistent(*assets_, AssetManager::Pass::kPersistent);
        persistentRegistered_ = true;
    });
}

void GameApp::TakePersistentAssets() {
    if (cursorsTaken_ || !persistentRegistered_ || !assets_) return;
    cursorsTaken_ = true;
    for (int kind = 0; kind < 4; ++kind) SetCustomCursorImage(kind, assets_->FindImageByName(kCursorImages[kind]));
}

void GameApp::OnProcessExit() {
    // No destructor joins the decoding threads once exit() runs.
    startupImages_.reset();
}

void GameApp::PostDeviceInit() {
    VornAppBase::PostDeviceInit();
    if (d3d_) LoadBlendShaders(d3d_->GetBlendShaders());
}
