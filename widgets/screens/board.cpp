#include "widgets/screens/board.h"

#include <climits>

#include "foundation/expression/localization_map.h"
#include "foundation/system/log.h"
#include "foundation/system/text.h"
#include "rendering/device/device_host.h"
#include "rendering/draw/graphics.h"
#include "rendering/font/fonts_xml.h"
#include "widgets/screens/startup_host.h"
#include "widgets/tree/widget_container.h"

namespace {

constexpr int kTicksPerMinute = 6000;

}  // namespace

void AdvancePlayTime(PlayTime& time) {
    ++time.ticks;
    if (time.ticks >= kTicksPerMinute) {
        ++time.minutes;
        time.ticks -= kTicksPerMinute;
    }
    if (time.minutes > 59) {
        ++time.hours;
        time.minutes -= 60;
    }
}

Board::Board() {
    const DeviceHost& screen = Service<DeviceHost>::Get();
    Resize(0.0f, 0.0f, screen.ScreenWidth(), screen.ScreenHeight());
}

void Board::GoToMainMenu() { ShowMainMenu(); }

void Board::AddedToManager(WidgetManager* manager) {
    Widget::AddedToManager(manager);
    GoToMainMenu();
}

void Board::RemovedFromManager(WidgetManager* manager) {
    PlayTime time;
    if (Service<StartupHost>::Get().GetPlayTime(time))
        LogWrite(text::WFormat(L"Total play time: %d:%02d:%02d", time.hours, time.minutes, time.ticks / 100), true);
    Widget::RemovedFromManager(manager);
}

void Board::Update() {
    StartupHost& host = Service<StartupHost>::Get();
    PlayTime time;
    if (!host.GetPlayTime(time)) return;
    AdvancePlayTime(time);
    host.SetPlayTime(time);
}

void Board::SetPaused(bool paused) {
    if (paused && !paused_) {
        restPriority_ = priority_;
        restOverlayThreshold_ = overlayThreshold_;
    }
    if (paused) {
        priority_ = INT_MAX;
        overlayThreshold_ = INT_MAX;
        if (parent_) parent_->BringToFront(this);
    } else {
        // Children stay ordered by priority: with the top priority kept, the
        // board could not go behind the menus again.
        if (paused_) {
            priority_ = restPriority_;
            overlayThreshold_ = restOverlayThreshold_;
        }
        if (parent_) parent_->BringToBack(this);
    }
    paused_ = paused;
    MarkDirty();
}

void Board::Draw(Graphics* g) {
    if (!paused_) return;
    g->SetColor(Color::FromRGBA(0, 0, 0, 128));
    g->FillRect(0, 0, width_, height_);
    Font* font = GetFontMap().Find(L"large");
    if (!font) return;
    g->SetFont(font);
    g->SetColor(Color::White);
    g->WriteString(LocalizeLookup(L"paused"), width_ / 2, height_ / 2, 0, 0);
}
