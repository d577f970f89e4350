// The controller base (name, count, curve, refresh) and the Tweener.

#include "widgets/motion/controller.h"

#include <algorithm>
#include <cassert>
#include <cmath>
#include <cstddef>
#include <limits>
#include <string>
#include <typeinfo>

#include "widgets/dynamic/dynamic_widget.h"
#include "widgets/motion/controller_name.h"

namespace {
int g_controller_names = 0;
}

Controller::Controller(std::wstring name, DynamicWidget* widget, std::unique_ptr<EasingCurve> curve,
                       bool countsAsAnimating, uint32_t changeBits)
    : name_(std::move(name)),
      countsAsAnimating_(countsAsAnimating),
      curve_(std::move(curve)),
      widget_(widget),
      changeBits_(changeBits) {
    // The digits as "%d" writes them, without the formatter's machinery: a
    // script's unnamed change makes one at each start.
    if (name_.empty()) name_ = L"controller" + std::to_wstring(g_controller_names++);
    // A straight curve is the course taken without one, read without a
    // call to an object of its own elsewhere in memory.
    if (const EasingCurve* curve = curve_.get(); curve && typeid(*curve) == typeid(Linear)) curve_.reset();
    if (countsAsAnimating_ && widget_) widget_->AddControllerCount(1);
}

Controller::~Controller() {
    if (countsAsAnimating_ && widget_ && !resting_) widget_->AddControllerCount(-1);
}

int Controller::NameNumber() {
    if (nameNumber_ < 0) nameNumber_ = ControllerName::NumberOf(name_);
    return nameNumber_;
}

void Controller::SetResting(bool resting) {
    if (resting == resting_) return;
    resting_ = resting;
    if (countsAsAnimating_ && widget_) widget_->AddControllerCount(resting ? -1 : 1);
}

float Controller::RateForDuration(float duration) {
    if (!(duration > 0.0f) || !std::isfinite(duration)) return 1.0f;
    const float rate = 1.0f / duration;
    return std::isfinite(rate) ? rate : std::numeric_limits<float>::max();
}

float Controller::Curve(float t) {
    float v = curve_ ? curve_->Evaluate(t) : t;
    if (std::isnan(v)) v = t;
    return NearestFinite(v);
}

void Controller::Store(float* field, double value) {
    if (!std::isnan(value)) *field = NearestFinite(value);
}

void Controller::Refresh() {
    if (widget_) widget_->PropertiesChanged(changeBits_);
}

Tweener::Tweener(std::wstring name, DynamicWidget* widget, float duration, std::unique_ptr<EasingCurve> curve,
                 uint32_t changeBits, std::vector<TweenTarget> targets, float elapsed)
    : Controller(std::move(name), widget, std::move(curve), true, changeBits) {
    const size_t nearCount = std::min(targets.size(), near_.size());
    nearCount_ = static_cast<uint8_t>(nearCount);
    std::copy_n(targets.begin(), nearCount, near_.begin());
    more_.assign(targets.begin() + static_cast<std::ptrdiff_t>(nearCount), targets.end());
    hasMore_ = !more_.empty();
    StartTiming(duration, elapsed);
}

void Tweener::StartTiming(float duration, float elapsed) {
    progress_ = 0.0f;
    duration_ = 0.0f;
    elapsed_ = 0.0;
    rate_ = RateForDuration(duration);
    if (duration > 0.0f && std::isfinite(duration)) {
        progress_ = elapsed / duration;
        if (std::isfinite(progress_) && std::isfinite(1.0f / duration)) {
            duration_ = duration;
            elapsed_ = elapsed;
        }
    }
    if (!std::isfinite(progress_)) progress_ = 0.0f;
}

bool Tweener::MovesPair(const float* first, const float* second, uint32_t changeBits) const {
    return nearCount_ == 2 && !hasMore_ && near_[0].field == first && near_[1].field == second && !curve_ &&
           changeBits_ == changeBits;
}

void Tweener::RestartPair(float endFirst, float endSecond, float duration) {
    assert(nearCount_ == 2 && !hasMore_);
    near_[0].start = *near_[0].field;
    near_[0].end = endFirst;
    near_[1].start = *near_[1].field;
    near_[1].end = endSecond;
    delay_ = 0.0f;
    StartTiming(duration, 0.0f);
}

bool Tweener::Update(float x) {
    if (delay_ > 0.0f) {
        delay_ -= x;
        if (delay_ > 0.0f) return false;
        x = -delay_;  // the part of this update past the delay moves
        delay_ = 0.0f;
    }
    if (duration_ > 0.0f) {
        elapsed_ += x;
        progress_ = static_cast<float>(elapsed_ / duration_);
    } else {
        progress_ += rate_ * x;
    }
    if (progress_ > 1.0f) progress_ = 1.0f;
    const float c = Curve(progress_);
    auto move = [c](const TweenTarget& t) {
        const float v = t.end * c + t.start * (1.0f - c);
        // Past the float range the sum is taken again in double, where it
        // cannot overflow, for the sign of the value to hold.
        Store(t.field, std::isfinite(v) ? v : double{t.end} * c + double{t.start} * (1.0 - double{c}));
    };
    for (size_t i = 0; i < nearCount_; ++i) move(near_[i]);
    if (hasMore_)
        for (const TweenTarget& t : more_) move(t);
    Refresh();
    return progress_ >= 1.0f;
}
