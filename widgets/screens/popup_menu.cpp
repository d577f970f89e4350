#include "widgets/screens/popup_menu.h"

#include "widgets/controls/overlay_animation.h"
#include "widgets/tree/widget_manager.h"

namespace {

AnimationWidget* MakeOverlay(std::wstring_view animation, Menu* menu) {
    auto* overlay = new OverlayAnimation(animation);
    overlay->SetVariable(L"menu", PropertyValue::FromWidget(menu));
    return overlay;
}

}  // namespace

PopupMenu::PopupMenu(Image* image) : Menu(image, true, true) {}

AnimationWidget* PopupMenu::GetBackground() const {
    // The watch ends when the background is deleted, whoever deletes it.
    return background_ && AnimationListener::IsWatching(background_) ? background_ : nullptr;
}

AnimationWidget* PopupMenu::GetOutro() const {
    return outro_ && AnimationListener::IsWatching(outro_) ? outro_ : nullptr;
}

void PopupMenu::AddedToManager(WidgetManager* manager) {
    Menu::AddedToManager(manager);
    if (manager_ != manager) return;
    if (useIntro_) AddWidget(MakeOverlay(L"popup_intro", this));
    if (useBackground_ && !GetBackground()) {
        auto* background = new AnimationWidget(L"popup_background_intro", 0, 0, false);
        background->SetVariable(L"do_popup", PropertyValue(useIntro_));
        background->SetPriority(priority_);
        Watch(background);
        background_ = background;
        manager->AddWidget(background);
        manager->PutBehind(background, this);
    }
}

void PopupMenu::RemovedFromManager(WidgetManager* manager) {
    if (AnimationWidget* background = GetBackground()) {
        background_ = nullptr;
        background->RemoveSelf();
    }
    Menu::RemovedFromManager(manager);
}

void PopupMenu::RemoveSelf() {
    AnimationWidget* background = GetBackground();
    // Without an outro script the overlay would never end, and the popup never close.
    if (useIntro_ && !outro_ && visible_ && !(removeFlags_ & pass_flag::kDraw) && AnimationExists(L"popup_outro")) {
        // The outro must run even while another menu holds the focus.
        SetPausable(false);
        outro_ = MakeOverlay(L"popup_outro", this);
        outroId_ = outro_->GetId();
        Watch(outro_);
        AddWidget(outro_);
        if (background) background->PlayAnimationNamed(L"popup_background_outro");
        return;
    }
    // Played before the menu goes, since the background goes with it.
    if (background) background->PlayAnimationNamed(L"popup_background_outro");
    Menu::RemoveSelf();
}

void PopupMenu::AnimationComplete(int widgetId) {
    Menu::AnimationComplete(widgetId);
    if (outroId_ != -1 && widgetId == outroId_) RemoveSelf();
}
