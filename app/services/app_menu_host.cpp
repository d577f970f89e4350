#include "app/services/app_menu_host.h"

#include "app/audio/sound_player.h"
#include "app/shell/vorn_app_base.h"

void AppMenuHost::AddMenu(Menu* menu) { app_.AddMenu(menu); }

void AppMenuHost::RemoveMenu(Menu* menu) { app_.RemoveMenu(menu); }

void AppMenuHost::PushMenuStack(Menu* menu) { app_.GetMenuStack().PushMenuStack(menu); }

void AppMenuHost::RemoveFromMenuStack(Menu* menu) { app_.GetMenuStack().RemoveFromMenuStack(menu); }

void AppMenuHost::UpdateMenuFocus(Menu* menu) { app_.GetMenuStack().UpdateMenuFocus(menu); }

void AppMenuHost::HandleTypedCommand(std::wstring_view text) { app_.HandleTypedCommand(text); }

Menu* AppMenuHost::CreateMenuTransition(Menu* menu) { return app_.GetMenuStack().CreateMenuTransition(menu); }

void AppMenuHost::StartSoundLoop(int soundId, float fade) {
    if (SoundPlayer* player = app_.GetSoundPlayer()) player->StartLoop(soundId, fade);
}

void AppMenuHost::StopSoundLoop(int soundId, float fade) {
    if (SoundPlayer* player = app_.GetSoundPlayer()) player->StopLoop(soundId, fade);
}

void AppMenuHost::SilenceSoundLoops(bool silence, const std::set<int>& soundIds) {
    if (SoundPlayer* player = app_.GetSoundPlayer()) player->SilenceLoops(silence, soundIds);
}

void AppMenuHost::Shutdown() { app_.Shutdown(); }

bool AppMenuHost::IsScreensaverPreview() const { return app_.IsScreensaverPreview(); }

WidgetManager* AppMenuHost::GetWidgetManager() { return &app_.Widgets(); }
