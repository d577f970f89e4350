#include "widgets/screens/logo_motion.h"

#include "foundation/system/app_services.h"
#include "rendering/device/device_host.h"
#include "rendering/image/image.h"

namespace {

constexpr double kGravity = 0.1;

int ScreenWidth() { return Service<DeviceHost>::Get().ScreenWidth(); }
int ScreenHeight() { return Service<DeviceHost>::Get().ScreenHeight(); }

void PlayNamedSound(std::wstring_view name) {
    const int id = FindSoundId(name);
    if (id >= 0) PlaySoundEffect(id);
}

}  // namespace

// --- Letters -------------------------------------------------------------------

LogoLetter::LogoLetter(int x, int y, Image* image) : DynamicWidget(x, y, image, 1.0f) {}

void LogoLetter::Launch() {
    falling_ = true;
    targetY_ = ScreenHeight() / 2;
    velocity_ = 12.0;
    spring_ = 0.4;
    PlayNamedSound(L"whoosh");
}

void LogoLetter::Tilt(Image* tilted, float shiftLeft, float lowerBy, DynamicWidget& ball, double ballVelocity) {
    SetImage(tilted);
    Move(x_ - shiftLeft, y_);
    targetY_ += lowerBy;
    falling_ = true;
    spring_ = 0.04;
    velocity_ = ballVelocity;
    linked_ = &ball;
    linkOffset_ = ball.GetY() - y_;
}

void LogoLetter::UpdateFraction(float dt) {
    DynamicWidget::UpdateFraction(dt);
    if (velocity_ == 0) return;
    MarkDirty();
    double y = y_ + dt * velocity_;
    if (falling_) {
        if (y < targetY_)
            velocity_ += kGravity * dt;
        else
            falling_ = false;
    } else if (y >= targetY_) {
        // At or below the line a spring pulls it back up.
        velocity_ += (targetY_ - y) * dt * spring_;
    } else {
        y = targetY_;
        velocity_ = 0;
        if (!linked_) arrived_ = true;
    }
    Move(x_, static_cast<float>(y));
    if (linked_) linked_->Move(linked_->GetX(), static_cast<float>(y + linkOffset_));
}

// --- Ball ----------------------------------------------------------------------

LogoBall::LogoBall(Image* image) : DynamicWidget(ScreenWidth() / 2 - 740, ScreenHeight() / 2 + 350, image, 1.0f) {
    const int half = ScreenHeight() / 2;
    floors_ = {half - 101, half - 102, half + 4};
    if (image) Resize(x_, y_, image->GetCelWidth(), height_);
}

bool LogoBall::TakeLandedEvent() {
    const bool landed = landed_;
    landed_ = false;
    return landed;
}

void LogoBall::UpdateFraction(float dt) {
    DynamicWidget::UpdateFraction(dt);
    if (vx_ == 0) return;
    MarkDirty();
    const bool squashing = squash_ >= 0;
    double x = x_ + dt * (squashing ? vx_ / 2 : vx_);
    double y = y_;
    if (!squashing) {
        y += dt * vy_;
        vy_ += kGravity * dt;
        if (vy_ > 0 && bounce_ < 3 && y >= floors_[bounce_]) {
            static constexpr int kFrameLengths[3] = {6, 7, 5};
            static constexpr const wchar_t* kSounds[3] = {L"bounce", L"bounce", L"land"};
            squash_ = 0;
            landed_ = true;
            squashFrameLength_ = kFrameLengths[bounce_];
            if (bounce_ == 2) {
                y = floors_[bounce_];
                vx_ = vy_ = 0;
            }
            PlayNamedSound(kSounds[bounce_]);
            ++bounce_;
        }
    }
    Move(static_cast<float>(x), static_cast<float>(y));
    SetFrame(squash_ < 0 ? 0 : 1 + (squash_ / squashFrameLength_) % 2);
}

void LogoBall::Update() {
    DynamicWidget::Update();
    if (squash_ < 0) return;
    ++squash_;
    if (squash_ % squashFrameLength_ == 0) MarkDirty();
    if (squash_ >= 3 * squashFrameLength_) {
        squash_ = -1;
        if (bounce_ == 1) {
            vx_ = 2.76;
            vy_ = -2.8;
        } else if (bounce_ == 2) {
            vx_ = 1.98;
            vy_ = -3.4;
        }
    }
    SetFrame(squash_ < 0 ? 0 : 1 + (squash_ / squashFrameLength_) % 2);
}
