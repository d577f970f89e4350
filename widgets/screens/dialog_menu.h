#pragma once
// DialogMenu: a popup on the image "Dialog" that cross-fades with the menu
// that opened it: pictures of both stand in while the parent fades out and
// the dialog in, and the other way round when it closes ("close" action).
// Without a parent it opens and closes as a plain popup.
//
// Promises: the dialog takes no clicks until its fade-in has ended; the
// parent menu is drawn again once the fade-out has ended, and the dialog
// then closes; a dialog removed any other way while its picture stood in for
// the parent gives the parent its drawing back as it leaves. The parent is
// not owned and must outlive the dialog.
// Main thread only.

#include "foundation/values/live_ref.h"
#include "widgets/screens/popup_menu.h"

class DialogMenu : public PopupMenu {
public:
    enum FadeState { kNoFade = 0, kFadingIn = 1, kShown = 2, kFadingOut = 3 };

    explicit DialogMenu(Menu* parent);

    virtual void CloseDialog();
    void AddedToManager(WidgetManager* manager) override;
    void RemovedFromManager(WidgetManager* manager) override;
    void Update() override;
    void DoAction(std::wstring_view action, std::wstring_view parameter, int number) override;
    // Escape closes the dialog.
    std::wstring_view BackAction() const override { return L"close"; }

    int GetFadeState() const { return fadeState_; }
    DynamicWidget* GetParentPicture() const { return parentPicture_.Get(); }
    DynamicWidget* GetOwnPicture() const { return ownPicture_.Get(); }

private:
    void ShowParentAgain();

    int fadeState_;
    LiveRef<Menu> parentMenu_;
    bool parentHidden_ = false;  // the dialog took the parent's draw bit
    LiveRef<DynamicWidget> parentPicture_;
    LiveRef<DynamicWidget> ownPicture_;
};
