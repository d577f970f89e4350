#pragma once
// Menu: the base of every screen and dialog. An AnimationWidget driven by
// its scene scripts that joins the application's menu stack when it enters
// the widget manager, takes the keyboard focus, may be modal, pauses while
// another menu holds the menu focus (no mouse, its looping sounds silent),
// hands the last eight typed characters to the application's typed
// commands, counts the looping sounds it started, and can capture the screen
// into a picture for a transition.
//
// Promises: pausing takes only the mouse bit it added to the remove-mask
// and gives back only that; the looping sounds stop when the menu leaves
// the manager; a menu asked to close before it reached the manager closes
// as soon as it arrives. It is its own pause owner: its subtree pauses
// with it. Everything it asks of the application goes through
// Service<MenuHost> (menu_host.h). Main thread only.

#include <map>
#include <memory>
#include <string>
#include <string_view>

#include "widgets/script/animation_widget.h"
#include "widgets/script/script_menu.h"

class ButtonWidget;
class Image;

class Menu : public AnimationWidget, public ScriptMenu {
public:
    // An image sizes the menu (centred on the screen when asked); no image
    // makes it full screen. On top: overlay threshold and priority 2.
    Menu(Image* image, bool onTop, bool centre);
    // Full screen, its script started at once.
    explicit Menu(std::wstring_view animation);
    ~Menu() override;

    // The menu's own virtual operations.
    virtual Menu* WrapInTransition();
    virtual bool IsModal() const { return modal_; }
    // Told by the application when it has opened the menu.
    virtual void MenuOpened() {}
    // The action of the menu's Back or Done button, which Escape takes too;
    // empty where Escape does nothing.
    virtual std::wstring_view BackAction() const { return {}; }

    // Tree and input.
    bool IsPaused() const override;
    void GotFocus() override;
    void KeyChar(wchar_t c) override;
    void KeyDown(int key) override;
    void MouseDown(int x, int y, int clickCode) override;
    void AddedToManager(WidgetManager* manager) override;
    void RemovedFromManager(WidgetManager* manager) override;
    void RemoveSelf() override;

    // The menu focus: `active` is whether this menu holds it.
    void SetPaused(bool active);
    bool SetPausable(bool pausable) override;
    void ApplyPauseState();
    bool IsActive() const { return active_; }
    bool IsPausable() const { return pausable_; }
    void SetModal(bool modal) { modal_ = modal; }
    bool UsesTransition() const { return useTransition_; }
    void SetUseTransition(bool use) { useTransition_ = use; }
    const std::wstring& TypedText() const { return typed_; }

    // A button (ButtonWidget's arguments) added as a child of the menu.
    ButtonWidget* AddButton(int x, int y, std::wstring_view imageName, std::wstring_view label, bool localise);

    // Looping sounds, counted per id.
    void PlayMenuSound(int soundId, float fade) override;
    void StopMenuSound(int soundId, float fade) override;
    void StopAllMenuSounds(float fade);
    const std::map<int, int>& MenuSounds() const { return sounds_; }

    // A picture of the screen: the whole widget tree drawn into a new
    // picture of the menu's size (renderNow), or a copy of the frame last
    // shown. Null when it cannot be made.
    std::unique_ptr<Image> DrawToImage(bool renderNow);

private:
    void Setup();

    bool useTransition_ = false;
    bool modal_ = true;
    bool active_ = false;
    uint32_t mouseBitsTaken_ = 0;
    std::wstring typed_;
    std::map<int, int> sounds_;
    bool pausable_ = true;
};
