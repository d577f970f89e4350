// What the game application answers while it runs: play time, sounds by
// name, the menus' buttons, the scripts' system values and the pause counter.

#include "app/player/basic_player_state.h"
#include "app/shell/game_app.h"
#include "rendering/device/d3d_interface.h"
#include "widgets/controls/button_widget.h"
#include "widgets/screens/board.h"
#include "widgets/screens/menu.h"
#include "widgets/tree/widget_host.h"

bool GameApp::GetPlayTime(PlayTime& time) {
    BasicPlayerState* player = BasicPlayerState::Current();
    if (!player) return false;
    time.hours = player->hours_;
    time.minutes = player->minutes_;
    // A tick is one fixed update: a hundredth of a second.
    time.ticks = player->centiseconds_;
    return true;
}

void GameApp::SetPlayTime(const PlayTime& time) {
    BasicPlayerState* player = BasicPlayerState::Current();
    if (!player) return;
    player->hours_ = time.hours;
    player->minutes_ = time.minutes;
    player->centiseconds_ = time.ticks;
}

VariableMap* GameApp::PlayerSymbols() {
    BasicPlayerState* player = BasicPlayerState::Current();
    return player ? &player->symbols_ : nullptr;
}

void GameApp::PlaySoundEffectByName(std::wstring_view name) { PlaySoundEffect(FindSoundId(name), 0, 1.0); }

void GameApp::StopAllSoundLoops() {
    if (soundPlayer_) soundPlayer_->StopAllLoops();
}

ButtonWidget* GameApp::CreateMenuButton(int x, int y, std::wstring_view label, bool localise) {
    return new ButtonWidget(x, y, L"menubutton", label, localise);
}

ButtonWidget* GameApp::CreateTextButton(int x, int y, std::wstring_view label, bool localise) {
    return new ButtonWidget(x, y, L"text", label, localise);
}

PropertyValue GameApp::GetSystemValue(std::wstring_view name) {
    if (name == L"screen_width") return PropertyValue(width_);
    if (name == L"screen_height") return PropertyValue(height_);
    if (name == L"support_shader") return PropertyValue(d3d_ != nullptr && d3d_->ShadersAvailable());
    if (name == L"mouse_x" || name == L"mouse_y") {
        const ScreenPoint at = widgetManager_->GetPointerPosition(0);
        return PropertyValue(name == L"mouse_x" ? at.x : at.y);
    }
    if (name == L"windows") return PropertyValue(true);
    if (name == L"debug" || name == L"mac" || name == L"ios" || name == L"appstore_enabled" ||
        name == L"gamecenter_available")
        return PropertyValue(false);
    return PropertyValue(std::wstring());
}

void GameApp::Activated() {
    VornAppBase::Activated();
    SetPaused(false);
}

void GameApp::Deactivated() {
    VornAppBase::Deactivated();
    SetPaused(true);
}

void GameApp::SetPaused(bool pause) {
    if (IsScreensaverPreview() || !pauseOnDeactivate_) return;
    if (pause) {
        ++pauseCounter_;
        SetCursor(0);
    } else if (pauseCounter_ > 0) {
        --pauseCounter_;
    }
    PauseAnswersChanged();
    if (board_) board_->SetPaused(pauseCounter_ > 0);
    if (Menu* focused = GetMenuStack().FocusedMenu()) focused->SetPaused(pauseCounter_ == 0);
}
