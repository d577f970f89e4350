#pragma once
// PopupMenu: a menu on top, centred on its image, that opens with the
// scripted overlay "popup_intro" and closes after "popup_outro", with a
// background animation ("popup_background_intro", then
// "popup_background_outro") just behind it in the manager.
//
// Promises: the outro runs once; a second RemoveSelf while it runs, or any
// RemoveSelf of a popup without intro, hidden or not drawn, or while no
// "popup_outro" script exists, closes it at once. The background goes with the menu. Main thread only.

#include "widgets/screens/menu.h"

class PopupMenu : public Menu {
public:
    explicit PopupMenu(Image* image);

    void AddedToManager(WidgetManager* manager) override;
    void RemovedFromManager(WidgetManager* manager) override;
    void RemoveSelf() override;
    void AnimationComplete(int widgetId) override;

    void SetUseIntro(bool use) { useIntro_ = use; }
    void SetUseBackground(bool use) { useBackground_ = use; }
    AnimationWidget* GetBackground() const;
    AnimationWidget* GetOutro() const;

protected:
    bool useIntro_ = true;
    bool useBackground_ = true;

private:
    AnimationWidget* outro_ = nullptr;  // followed only while watched
    int outroId_ = -1;
    AnimationWidget* background_ = nullptr;
};
