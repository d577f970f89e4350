#include "widgets/screens/logo_screen.h"

#include <algorithm>
#include <string>

#include "foundation/system/app_services.h"
#include "rendering/device/device_host.h"
#include "rendering/draw/graphics.h"
#include "rendering/image/image.h"
#include "widgets/screens/startup_host.h"

namespace {

constexpr wchar_t kWord[] = L"PELMA";  // the studio word but its last letter, which the ball stands for
constexpr int kLetterOffsets[LogoScreen::kLetterCount] = {0, 88, 172, 263, 354};

Image* FindImage(std::wstring_view name) { return dynamic_cast<Image*>(FindImageByName(name)); }

}  // namespace

LogoScreen::LogoScreen() : Menu(nullptr, false, false) {
    trail_ = FindImage(L"Trail");
    mark_ = FindImage(L"PelmarTM");
    const DeviceHost& screen = Service<DeviceHost>::Get();
    const int y = screen.ScreenHeight() / 2 - 550;
    for (int i = 0; i < kLetterCount; ++i) {
        auto* letter =
            new LogoLetter(screen.ScreenWidth() / 2 - 270 + kLetterOffsets[i], y, FindImage(std::wstring(1, kWord[i])));
        letters_.push_back(letter);
        AddWidget(letter);
    }
    letters_[0]->Launch();
}

void LogoScreen::End() {
    if (ended_) return;
    ended_ = true;
    RemoveSelf();
    Service<StartupHost>::Get().ShowNextSplashScreen();
}

void LogoScreen::StartBall() {
    Image* image = FindImage(L"Ball");
    if (!image || image->cols < LogoBall::kCels) {
        ShowFatalError("Ball aImage needs 3 columns specified");
        // Drawing it would ask for cels it lacks: the logo ends here instead.
        End();
        return;
    }
    ball_ = new LogoBall(image);
    AddWidget(ball_);
}

void LogoScreen::TiltLetter(int index, float shiftLeft, float lowerBy) {
    LogoLetter& letter = *letters_[static_cast<size_t>(index)];
    Image* tilted = FindImage(std::wstring(1, kWord[index]) + L"_Tilt");
    letter.Tilt(tilted ? tilted : letter.GetImage(), shiftLeft, lowerBy, *ball_, ball_->VerticalVelocity());
}

void LogoScreen::UpdateFraction(float dt) {
    Menu::UpdateFraction(dt);
    if (ended_) return;
    for (int i = 0; i + 1 < kLetterCount; ++i) {
        LogoLetter& letter = *letters_[static_cast<size_t>(i)];
        if (!letter.HasArrived()) continue;
        letter.ClearArrived();
        letters_[static_cast<size_t>(i) + 1]->Launch();
        if (i == 0 && !ball_) {
            StartBall();
            if (ended_) return;
        }
    }
    if (ball_ && ball_->TakeLandedEvent()) {
        if (ball_->BounceIndex() == 1) TiltLetter(1, 4, 5);
        if (ball_->BounceIndex() == 2) TiltLetter(3, 6, 17);
    }
}

void LogoScreen::Update() {
    Menu::Update();
    if (updates_ == kEndUpdate) End();
    ++updates_;
}

void LogoScreen::MouseDown(int x, int y, int clickCode) {
    Menu::MouseDown(x, y, clickCode);
    if (clickCode > 0) End();
}

void LogoScreen::Draw(Graphics* g) {
    g->SetColor(Color::White);
    g->FillRect(0, 0, width_, height_);
    if (!ball_ || !trail_) return;
    const float left = static_cast<float>(width_ / 2 - 229);
    const float top = static_cast<float>(height_ / 2 - 73);
    const float centreX = ball_->GetX() + ball_->GetWidth() / 2.0f;
    const float centreY = ball_->GetY() + ball_->GetHeight() / 2.0f;
    if (centreX <= left) return;
    // The trail shows only where the ball has been: up to its centre, and
    // past 408 pixels (its last fall) down to its centre.
    const float trailWidth = static_cast<float>(trail_->width);
    const float trailHeight = static_cast<float>(trail_->height);
    const float revealed = std::min(trailWidth, centreX - left);
    g->DrawImage(trail_, left, top, 0, FRect(0, 0, revealed, trailHeight));
    if (centreX <= left + 408 || trailWidth <= 408) return;
    g->DrawImage(trail_, left + 408, top, 0,
                 FRect(408, 0, trailWidth - 408, std::max(0.0f, std::min(trailHeight, centreY - top))));
    if (ball_->HasStopped() && mark_)
        g->DrawImage(mark_, ball_->GetX() + ball_->GetWidth() - 15,
                     ball_->GetY() + ball_->GetHeight() - mark_->height - 5, 0,
                     FRect(0, 0, static_cast<float>(mark_->width), static_cast<float>(mark_->height)));
}
