#include "widgets/screens/dialog_menu.h"

#include <memory>

#include "foundation/expression/constants_map.h"
#include "foundation/system/app_services.h"
#include "rendering/device/device_host.h"
#include "rendering/draw/graphics.h"
#include "rendering/image/image_surface.h"
#include "widgets/screens/picture_widget.h"
#include "widgets/tree/widget_manager.h"

namespace {

// The source drawn at its place into a picture the size of the screen; the
// source is then hidden (its picture stands in for it).
DynamicWidget* TakePicture(Widget& source, WidgetManager* manager) {
    const DeviceHost& screen = Service<DeviceHost>::Get();
    auto image = std::make_unique<ImageSurface>(true);
    if (image->Create(screen.ScreenWidth(), screen.ScreenHeight())) {
        Graphics g(image.get());
        g.Translate(source.GetX(), source.GetY());
        PassFlags flags;
        flags.normal = manager ? manager->GetCurrentFlags() : WidgetManager::kDefaultFlags;
        source.DrawAll(flags, &g);
    }
    auto* picture = new PictureWidget(std::move(image));
    picture->SetFlagMasks(picture->GetAddFlags() | pass_flag::kDraw, picture->GetRemoveFlags());
    source.SetFlagMasks(source.GetAddFlags(), source.GetRemoveFlags() | pass_flag::kDraw);
    return picture;
}

float FadeTime() { return static_cast<float>(ConstantsMap()[L"dialog_fade_time"].ToReal()); }

void ClearRemoveBits(WidgetContainer& widget, uint32_t bits) {
    widget.SetFlagMasks(widget.GetAddFlags(), widget.GetRemoveFlags() & ~bits);
}

}  // namespace

DialogMenu::DialogMenu(Menu* parent)
    : PopupMenu(dynamic_cast<Image*>(FindImageByName(L"Dialog"))),
      fadeState_(parent ? kShown : kNoFade),
      parentMenu_(parent) {}

void DialogMenu::AddedToManager(WidgetManager* manager) {
    PopupMenu::AddedToManager(manager);
    Menu* parentMenu = parentMenu_.Get();
    if (!parentMenu || manager_ != manager) return;
    removeFlags_ |= pass_flag::kMouse;
    manager->RecheckAllPointers();
    // Only what the dialog took is given back: a parent that was not drawn stays so.
    parentHidden_ = !(parentMenu->GetRemoveFlags() & pass_flag::kDraw);
    DynamicWidget* parentPicture = TakePicture(*parentMenu, manager);
    DynamicWidget* ownPicture = TakePicture(*this, manager);
    parentPicture_ = parentPicture;
    ownPicture_ = ownPicture;
    parentPicture->AddWidget(ownPicture);
    parentPicture->SetFlagMasks(parentPicture->GetAddFlags() | pass_flag::kOffscreen, parentPicture->GetRemoveFlags());
    // Covers the screen from the dialog's origin.
    parentPicture->Move(-x_, -y_);
    AddWidget(parentPicture);
    const float t = FadeTime();
    parentPicture->TweenPropertyByName(L"", L"opacity", 0.0f, t, L"", false);
    ownPicture->SetFloatProperty(L"opacity", 0.0f, false);
    ownPicture->TweenPropertyByName(L"", L"opacity", 1.0f, t, L"", false);
    fadeState_ = kFadingIn;
}

void DialogMenu::Update() {
    PopupMenu::Update();
    if (fadeState_ == kFadingIn && parentPicture_ && !parentPicture_->IsAnimating()) {
        parentPicture_->SetVisible(false);
        ClearRemoveBits(*this, pass_flag::kDraw | pass_flag::kMouse);
        if (manager_) manager_->RecheckAllPointers();
        fadeState_ = kShown;
    } else if (fadeState_ == kFadingOut && ownPicture_ && !ownPicture_->IsAnimating()) {
        ShowParentAgain();
        fadeState_ = kNoFade;  // nothing left to fade: closing again is at once
        PopupMenu::RemoveSelf();
    }
}

void DialogMenu::RemovedFromManager(WidgetManager* manager) {
    ShowParentAgain();
    PopupMenu::RemovedFromManager(manager);
}

void DialogMenu::ShowParentAgain() {
    if (!parentHidden_) return;
    parentHidden_ = false;
    Menu* parentMenu = parentMenu_.Get();
    if (!parentMenu) return;
    ClearRemoveBits(*parentMenu, pass_flag::kDraw);
    parentMenu->MarkDirty();
}

void DialogMenu::CloseDialog() {
    if (fadeState_ == kNoFade || !parentPicture_ || !ownPicture_) {
        PopupMenu::RemoveSelf();
        return;
    }
    if (fadeState_ == kFadingOut) return;
    const float t = FadeTime();
    parentPicture_->SetVisible(true);
    parentPicture_->TweenPropertyByName(L"", L"opacity", 1.0f, t, L"", false);
    ownPicture_->TweenPropertyByName(L"", L"opacity", 0.0f, t, L"", false);
    removeFlags_ |= pass_flag::kDraw;
    MarkDirty();
    fadeState_ = kFadingOut;
}

void DialogMenu::DoAction(std::wstring_view action, std::wstring_view, int) {
    if (action == L"close") CloseDialog();
}
