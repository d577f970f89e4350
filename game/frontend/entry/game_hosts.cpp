#include "game/frontend/entry/game_hosts.h"

#include "app/assets/asset_registry.h"
#include "game/frontend/entry/my_game_app.h"
#include "game/frontend/hud/user_interface.h"
#include "game/frontend/menus/screen_transition.h"
#include "widgets/screens/board.h"

namespace {

// Every asset not loaded yet whose name contains one of the names.
AssetNameSets GroupOf(AssetRegistry& registry, const std::set<std::wstring>& names) {
    AssetNameSets group;
    for (const std::wstring& name : names) registry.CollectAssetsMatching(name, group);
    return group;
}

}  // namespace

void GameFrontendHost::ShowMainMenu() {
    if (Board* board = app_.GetBoard()) board->ShowMainMenu();
}

void GameFrontendHost::ShowPlayMenu() {
    if (Board* board = app_.GetBoard()) board->ShowPlayMenu();
}

std::wstring GameFrontendHost::GetPlayerName() const { return app_.PlayerName(); }

void GameFrontendHost::SetPlayerName(const std::wstring& name) { app_.SetPlayerName(name); }

ProfileBook* GameFrontendHost::GetProfiles() {
    if (!app_.Profiles().IsLoaded()) return nullptr;
    profiles_.Bind(&app_.Profiles());
    return &profiles_;
}

bool GameFrontendHost::GetPlayTime(int& hours, int& minutes) const {
    PlayTime time;
    if (!app_.GetPlayTime(time)) return false;
    hours = time.hours;
    minutes = time.minutes;
    return true;
}

std::string GameFrontendHost::GetVersion() const { return app_.ProductVersion(); }

InGameDisplay* GameFrontendHost::GetInGameDisplay() { return UserInterface::Current(); }

Menu* GameFrontendHost::CreateInGameDisplay() { return new UserInterface(); }

double GameFrontendHost::GetLoadingProgress() const { return app_.GetLoadingProgress(); }

double GameFrontendHost::GetTrackVolume(std::wstring_view name) const { return app_.GetTrackVolume(name); }

void GameFrontendHost::SetTrackVolume(std::wstring_view name, double volume) { app_.SetTrackVolume(name, volume); }

double GameFrontendHost::GetSfxVolume() const { return app_.GetSfxVolume(); }

void GameFrontendHost::SetSfxVolume(double volume) { app_.SetSfxVolume(volume); }

int GameFrontendHost::GetMouseSpeed() const { return app_.GetMouseSpeed(); }

void GameFrontendHost::SetMouseSpeed(int speed) { app_.SetMouseSpeed(speed); }

bool GameFrontendHost::IsWindowed() const { return app_.Settings().Values().windowed; }

bool GameFrontendHost::HasWindowedMode() const { return app_.WindowedModeAvailable(); }

bool GameFrontendHost::IsStretchScreen() const { return app_.Settings().Values().stretchScreen; }

bool GameFrontendHost::UsesCustomCursors() const { return app_.Settings().Values().customCursors; }

void GameFrontendHost::SwitchScreenMode(bool windowed, bool forced) { app_.SwitchScreenMode(windowed, forced); }

void GameFrontendHost::SetStretchScreen(bool stretch) { app_.SetStretchScreen(stretch); }

void GameFrontendHost::SetCustomCursors(bool on) { app_.SetCustomCursors(on); }

bool GameFrontendHost::GameHasDesktopShape() const { return DeviceGameHasDesktopShape(); }

void GameFrontendHost::StopAllSoundLoops() { app_.StopAllSoundLoops(); }

void GameFrontendHost::PlaySoundEffectByName(std::wstring_view name) { app_.PlaySoundEffectByName(name); }

void GameFrontendHost::LoadDynamicAssets(const std::set<std::wstring>& names) {
    if (AssetRegistry* registry = app_.Assets()) registry->LoadDynamicAssets(GroupOf(*registry, names), nullptr);
}

void GameFrontendHost::UnloadDynamicAssets(const std::set<std::wstring>& names) {
    if (AssetRegistry* registry = app_.Assets()) registry->UnloadDynamicAssets(GroupOf(*registry, names), nullptr);
}

void GameProfileHost::SetCurrentProfileName(std::wstring_view name) { app_.SetPlayerName(name); }

void GameProfileHost::SaveSettingsFile() { app_.SaveSettingsFile(); }

void GameFrontendHost::SaveSettings() { app_.SaveSettingsFile(); }

std::wstring GameScriptHost::PlayerName() { return app_.PlayerName(); }

void GameLevelAssets::LoadDynamicAssets(const AssetNameSets& group) {
    if (AssetRegistry* registry = AssetRegistry::Instance()) registry->LoadDynamicAssets(group, nullptr);
}

void GameLevelAssets::UnloadDynamicAssets(const AssetNameSets& group) {
    if (AssetRegistry* registry = AssetRegistry::Instance()) registry->UnloadDynamicAssets(group, nullptr);
}

Menu* GameMenuStack::CreateMenuTransition(Menu* menu) { return new ScreenTransition(menu); }
