#pragma once
// The application as menus see it: its register of open menus, its menu
// stack, the looping sounds of its sound player, shutting down, the
// screen-saver preview and its widget manager. Forwards to the application
// base, which outlives it; installed by the service wiring. Main thread only.

#include "widgets/screens/menu_host.h"

class VornAppBase;

class AppMenuHost : public MenuHost {
public:
    explicit AppMenuHost(VornAppBase& app) : app_(app) {}

    void AddMenu(Menu* menu) override;
    void RemoveMenu(Menu* menu) override;
    void PushMenuStack(Menu* menu) override;
    void RemoveFromMenuStack(Menu* menu) override;
    void UpdateMenuFocus(Menu* menu) override;
    void HandleTypedCommand(std::wstring_view text) override;
    Menu* CreateMenuTransition(Menu* menu) override;
    void StartSoundLoop(int soundId, float fade) override;
    void StopSoundLoop(int soundId, float fade) override;
    void SilenceSoundLoops(bool silence, const std::set<int>& soundIds) override;
    void Shutdown() override;
    bool IsScreensaverPreview() const override;
    WidgetManager* GetWidgetManager() override;

private:
    VornAppBase& app_;
};
