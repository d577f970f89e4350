#include "widgets/screens/menu.h"

#include <set>

#include "platform/window/virtual_keys.h"
#include "rendering/device/d3d_interface.h"
#include "rendering/device/device_host.h"
#include "rendering/draw/graphics.h"
#include "rendering/image/image_surface.h"
#include "widgets/controls/button_widget.h"
#include "widgets/screens/menu_host.h"
#include "widgets/tree/widget_host.h"
#include "widgets/tree/widget_manager.h"

namespace {

constexpr int kTypedLength = 8;

MenuHost& Host() { return Service<MenuHost>::Get(); }

}  // namespace

Menu::Menu(Image* image, bool onTop, bool centre) : AnimationWidget(L"", 0, 0, false) {
    Setup();
    if (onTop) {
        overlayThreshold_ = 2;
        priority_ = 2;
    }
    if (image) {
        SetImage(image);
        if (centre) {
            const DeviceHost& screen = Service<DeviceHost>::Get();
            Move(static_cast<float>(screen.ScreenWidth() / 2 - width_ / 2),
                 static_cast<float>(screen.ScreenHeight() / 2 - height_ / 2));
        }
    }
    Service<WidgetHost>::Get().SetCursorKind(0);
}

Menu::Menu(std::wstring_view animation) : AnimationWidget(L"", 0, 0, false) {
    Setup();
    Service<WidgetHost>::Get().SetCursorKind(0);
    PlayAnimationNamed(animation);
}

void Menu::Setup() {
    pauseOwner_ = this;
    AnswersOwnPause();
    mouseVisible_ = true;
    const DeviceHost& screen = Service<DeviceHost>::Get();
    Resize(0.0f, 0.0f, screen.ScreenWidth(), screen.ScreenHeight());
}

Menu::~Menu() { PauseAnswersChanged(); }

Menu* Menu::WrapInTransition() { return Host().CreateMenuTransition(this); }

// --- Tree and input ------------------------------------------------------------

bool Menu::IsPaused() const {
    if (Service<WidgetHost>::Get().GetPauseCount() > 0) return true;
    return pausable_ && manager_ && !active_ && !Host().IsScreensaverPreview();
}

void Menu::GotFocus() {
    AnimationWidget::GotFocus();
    Host().UpdateMenuFocus(this);
    MarkDirty();
}

void Menu::KeyChar(wchar_t c) {
    typed_ += c;
    if (typed_.size() > kTypedLength) typed_.erase(0, typed_.size() - kTypedLength);
    if (typed_.size() == kTypedLength) Host().HandleTypedCommand(typed_);
}

void Menu::KeyDown(int key) {
    const std::wstring_view back = BackAction();
    if (key == static_cast<int>(plat::vk::kEscape) && !back.empty()) {
        DoAction(back, L"", 0);
        return;
    }
    AnimationWidget::KeyDown(key);
}

void Menu::MouseDown(int x, int y, int clickCode) {
    AnimationWidget::MouseDown(x, y, clickCode);
    if (!IsPaused()) return;
    // A paused menu that still had the mouse asks for the focus, which may
    // make it the active menu.
    if (manager_) manager_->SetFocus(this);
    ApplyPauseState();
}

void Menu::AddedToManager(WidgetManager* manager) {
    Host().PushMenuStack(this);
    AnimationWidget::AddedToManager(manager);
    PauseAnswersChanged();
    if (manager_ != manager) return;  // its script took it out again
    if (removalPending_)
        RemoveSelf();
    else
        manager->SetFocus(this);
}

void Menu::RemovedFromManager(WidgetManager* manager) {
    StopAllMenuSounds(0.0f);
    AnimationWidget::RemovedFromManager(manager);
    PauseAnswersChanged();
    Host().RemoveFromMenuStack(this);
}

void Menu::RemoveSelf() {
    removalPending_ = true;
    Host().RemoveMenu(this);
}

ButtonWidget* Menu::AddButton(int x, int y, std::wstring_view imageName, std::wstring_view label, bool localise) {
    auto* button = new ButtonWidget(x, y, imageName, label, localise);
    AddWidget(button);
    return button;
}

// --- Pausing ---------------------------------------------------------------------

void Menu::SetPaused(bool active) {
    active_ = active;
    PauseAnswersChanged();
    ApplyPauseState();
}

bool Menu::SetPausable(bool pausable) {
    const bool previous = pausable_;
    pausable_ = pausable;
    PauseAnswersChanged();
    if (previous != pausable) ApplyPauseState();
    return previous;
}

void Menu::ApplyPauseState() {
    std::set<int> loops;
    for (const auto& [sound, count] : sounds_) loops.insert(sound);
    if (IsPaused()) {
        if (mouseBitsTaken_ == 0) {
            mouseBitsTaken_ = ~removeFlags_ & pass_flag::kMouse;
            removeFlags_ |= mouseBitsTaken_;
        }
        if (!loops.empty()) Host().SilenceSoundLoops(true, loops);
    } else {
        removeFlags_ &= ~mouseBitsTaken_;
        mouseBitsTaken_ = 0;
        if (!loops.empty()) Host().SilenceSoundLoops(false, loops);
    }
}

// --- Looping sounds ------------------------------------------------------------

void Menu::PlayMenuSound(int soundId, float fade) {
    ++sounds_[soundId];
    Host().StartSoundLoop(soundId, fade);
}

void Menu::StopMenuSound(int soundId, float fade) {
    auto it = sounds_.find(soundId);
    if (it == sounds_.end()) return;
    if (--it->second <= 0) sounds_.erase(it);
    Host().StopSoundLoop(soundId, fade);
}

void Menu::StopAllMenuSounds(float fade) {
    std::map<int, int> sounds;
    sounds.swap(sounds_);
    for (const auto& [sound, count] : sounds)
        for (int i = 0; i < count; ++i) Host().StopSoundLoop(sound, fade);
}

// --- Pictures ------------------------------------------------------------------

std::unique_ptr<Image> Menu::DrawToImage(bool renderNow) {
    if (renderNow) {
        WidgetManager* widgets = Host().GetWidgetManager();
        if (!widgets) widgets = manager_;
        auto picture = std::make_unique<ImageSurface>(true);
        if (!widgets || width_ <= 0 || height_ <= 0 || !picture->Create(width_, height_)) return nullptr;
        Graphics g(picture.get());
        widgets->DrawWidgetsTo(&g);
        return picture;
    }
    D3DInterface* device = D3DInterface::Instance();
    if (!device) return nullptr;
    std::unique_ptr<DeviceImage> frame = device->CaptureScreen();
    auto* image = dynamic_cast<Image*>(frame.get());
    if (!image) return nullptr;
    static_cast<void>(frame.release());
    return std::unique_ptr<Image>(image);
}
