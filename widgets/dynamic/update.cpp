// Time: the fixed-step update (held button, blinking), the per-frame update
// (clock, motion, frame animators, when-done actions) and hit tests.

#include <cassert>
#include <climits>
#include <cmath>
#include <cstdint>

#include "foundation/expression/constants_map.h"
#include "foundation/system/random.h"
#include "rendering/image/image.h"
#include "widgets/dynamic/dynamic_widget.h"

namespace {

// Frame steps one animator takes at most in one update. More would show
// nothing more on screen; the steps owed beyond are dropped, and a limited
// animation that owed them goes on in later updates and still ends.
constexpr int kMostFrameSteps = 1024;

}  // namespace

void DynamicWidget::Update() {
    if (isDown_ && isOver_ && buttonListener_) buttonListener_->ButtonHeld(id_);
    // A widget whose step does not fetch the period's line never flashed
    // (Flash names it): its period is 0, known without waiting on the line,
    // as thousands of tasks would after a drawn frame.
    if (!StepFetches(&flashPeriod_)) return;
    if (flashPeriod_ > 0) {
        const int half = flashPeriod_ / 2;
        ++flashPhase_;
        if (half > 0 && flashPhase_ % half == 0 && flashPhase_ >= flashPeriod_) {
            flashPhase_ = 0;
            if (flashCount_ != 0 && --flashCount_ == 0) flashPeriod_ = 0;
        }
        SetVisible(!(flashPeriod_ != 0 && (flashPhase_ < 0 || flashPhase_ >= half)));
    }
}

void DynamicWidget::UpdateFraction(float x) {
    x *= clockRate_;
    clock += x;
    last_x = x_;
    last_y = y_;
    // The controllers write base values: the offsets are off for the whole
    // pass, also when a controller adds the first oscillation or clamp.
    if (hasOffsets_)
        RemoveOffsets();
    else
        offsetsOn_ = false;
    // Most widgets of a busy park, every visitor's tasks, hold no controller.
    // Out of a pass over them the map's first entry holds one whenever the
    // map holds any, so the first controller answers for the map here.
    assert(updatingControllers_ || (firstController_ != nullptr) == !controllers_.empty());
    if (firstController_ != nullptr || updatingControllers_) UpdateControllers(x);
    if (hasOffsets_)
        ApplyOffsets(x);
    else
        offsetsOn_ = true;
    // Most widgets show one frame: their animators are stopped, and the
    // update then goes on without a call.
    if (!(animators_[0].period <= 0.0f) || !(animators_[1].period <= 0.0f)) StepAnimators(x);
    // Asked of every widget at every frame, and most have nothing to do
    // when done: whether they animate, a call through the table, and the
    // call to do it only for those that have.
    if (HasWhenDone() && !IsAnimating()) RunWhenDone();
}

void DynamicWidget::StepAnimators(float x) {
    for (int i = 0; i < 2; ++i) {
        FrameAnimator& a = animators_[static_cast<size_t>(i)];
        if (a.period <= 0.0f) continue;
        a.timer += x;
        const int before = a.frame;
        if (a.timer >= a.period) {
            // The periods owed come by division: subtracting one at a time
            // no longer changes a huge timer, and a tiny period owes millions.
            const double owed = std::floor(static_cast<double>(a.timer) / a.period);
            a.timer = std::fmod(a.timer, a.period);
            if (!std::isfinite(a.timer)) a.timer = 0.0f;
            const int steps = owed < kMostFrameSteps ? static_cast<int>(owed) : kMostFrameSteps;
            MarkDirty();
            for (int step = 0; step < steps && a.period > 0.0f; ++step) AdvanceAnimator(a, i == 1);
        }
        if (i == 0 && a.frame != before) frameChanged_ = true;
        if (i == 0 && a.crossFadeTime > 0.0f && a.frame != before) {
            const int next = a.frame;
            a.frame = before;
            FadeToFrame(next, a.crossFadeTime);
        }
    }
}

void DynamicWidget::AdvanceAnimator(FrameAnimator& a, bool isMask) {
    (void)isMask;
    if (a.mode == 2) {
        if (a.highest > a.lowest) {
            const int before = a.frame;
            // A range of one frame has nothing to change to. The range
            // includes highest; one past the largest int has no int, so such
            // a range is drawn from its other, open end.
            do
                a.frame = a.highest < INT_MAX  ? RandomRange(a.lowest, a.highest + 1)
                          : a.lowest > INT_MIN ? RandomRange(a.highest, a.lowest - 1)
                                               : RandomRange(a.lowest, a.highest);
            while (a.frame == before);
        }
        return;
    }
    // In 64 bits: a script may end the range on the largest (or start it on
    // the smallest) int, and the step past it must not wrap before it is seen.
    const int before = a.frame;
    int64_t frame = int64_t{a.frame} + a.step;
    auto countCycle = [&](int64_t revertTo) {
        if (a.cyclesLeft == 0) return;
        if (--a.cyclesLeft == 0) {
            a.period = 0.0f;
            if (a.mode == 1 || a.mode == -1) frame = revertTo;
        }
    };
    if (a.mode == 0) {
        if ((a.step > 0 && frame >= a.highest) || (a.step < 0 && frame <= a.lowest)) {
            a.step = -a.step;
            countCycle(frame);
        }
    } else if (a.mode == 1 && frame > a.highest) {
        countCycle(before);
    } else if (a.mode == -1 && frame < a.lowest) {
        countCycle(before);
    }
    if (frame < a.lowest) frame = a.highest;
    if (frame > a.highest) frame = a.lowest;
    a.frame = static_cast<int>(frame);  // within lowest .. highest, or the frame before
}

void DynamicWidget::RunWhenDone() {
    // Every action here is one HasWhenDone answers for: a new one goes in both.
    if (shader_ && visible_) MarkDirty();
    if (removeWhenDone_) {
        removeWhenDone_ = false;
        RemoveSelf();
        return;
    }
    if (hideWhenDone_) {
        hideWhenDone_ = false;
        SetVisible(false);
    }
    if (clearFlagWhenDone_) {
        clearFlagWhenDone_ = false;
        addFlags_ &= ~pass_flag::kOffscreen;
    }
    if (resetModesWhenDone_) {
        resetModesWhenDone_ = false;
        transformChildren_ = false;
        postRender_ = 0;
        clipSubtree_ = false;
        NoteBlank();
    }
}

bool DynamicWidget::HitTest(float x, float y) {
    if (!image_) return Widget::HitTest(x, y);
    ComposeTransform();
    float px = x, py = y;
    if (hasTransform_ && !transformChildren_) {
        const float hw = width_ * 0.5f, hh = height_ * 0.5f;
        const float in[3] = {x - hw, y - hh, 0.0f};
        float out[3];
        GetInverseMatrix().TransformVector3(out, in);
        px = out[0] + hw;
        py = out[1] + hh;
    }
    // Truncation toward zero would fold (-1, 0) onto column 0.
    if (!(px >= 0.0f && py >= 0.0f)) return false;
    const int ix = static_cast<int>(px), iy = static_cast<int>(py);
    if (ix >= width_ || iy >= height_) return false;
    if (!pixelHitTest_ || !image_->IsPlain()) return true;
    static int threshold = 0;
    if (threshold == 0) threshold = GetConstantInt(L"opacity_threshold");
    auto passes = [](uint32_t pixel) { return static_cast<int>(pixel >> 24) > threshold; };
    if (!passes(image_->GetPixel(ix, iy, animators_[0].frame))) return false;
    if (maskImage_ && maskImage_->IsPlain()) {
        const FRect m = maskRectSet_ ? maskRect_
                                     : FRect(0.0f, 0.0f, static_cast<float>(maskImage_->GetCelWidth()),
                                             static_cast<float>(maskImage_->GetCelHeight()));
        const int cw = image_->GetCelWidth(), ch = image_->GetCelHeight();
        if (cw <= 0 || ch <= 0) return false;
        const int mx = static_cast<int>(static_cast<float>(ix) * m.w / static_cast<float>(cw));
        const int my = static_cast<int>(static_cast<float>(iy) * m.h / static_cast<float>(ch));
        if (!passes(maskImage_->GetPixel(mx, my, animators_[1].frame))) return false;
    }
    return true;
}
