// The widget's motion: controllers, oscillations and clamps by name, the
// layering of offsets over base values, and the helpers that start timed
// changes (tween, oscillate, cross-fade, arc, circle, shear).

#include <algorithm>
#include <cmath>
#include <typeinfo>

#include "foundation/system/random.h"
#include "widgets/dynamic/dynamic_widget.h"
#include "widgets/motion/controller_circler.h"
#include "widgets/motion/controller_shearer.h"
#include "widgets/motion/easing_factory.h"

// --- Layering -------------------------------------------------------------------

void DynamicWidget::RemoveOffsets() {
    // Clamps went on last, so they come off first; within each kind the last
    // laid on comes off first. Two clamps on one field restored in name order
    // would leave the first one's limited value behind as the base value.
    for (auto it = clamps_.rbegin(); it != clamps_.rend(); ++it) it->second->Restore();
    for (auto it = oscillations_.rbegin(); it != oscillations_.rend(); ++it) it->second->Remove();
    offsetsOn_ = false;
}

void DynamicWidget::ApplyOffsets(float x) {
    for (auto& [name, o] : oscillations_) o->Apply(x);
    for (auto& [name, c] : clamps_) c->Apply();
    offsetsOn_ = true;
}

// Between the two passes of a frame the offsets are already off: taking them
// off again is harmless, but laying them on mid-pass would let the rest of
// the pass write over displaced values and the frame's end add them twice.
template <typename Write>
void DynamicWidget::WriteBase(Write write) {
    const bool wasOn = offsetsOn_;
    if (wasOn) RemoveOffsets();
    write();
    if (wasOn) ApplyOffsets(0.0f);
}

void DynamicWidget::SetFloatProperty(std::wstring_view name, float value, bool relative) {
    uint32_t mask = 0;
    float* field = GetPropertyPtr(name, mask);
    if (!field) return;
    WriteBase([&] { *field = relative ? *field + value : value; });
    PropertiesChanged(mask);
}

void DynamicWidget::SetPosition(std::wstring_view nameX, std::wstring_view nameY, float vx, float vy, bool relative) {
    uint32_t mask = 0;
    float* fx = GetPropertyPtr(nameX, mask);
    float* fy = GetPropertyPtr(nameY, mask);
    if (!fx && !fy) return;
    WriteBase([&] {
        if (fx) *fx = relative ? *fx + vx : vx;
        if (fy) *fy = relative ? *fy + vy : vy;
    });
    PropertiesChanged(mask);
}

// --- Controllers ------------------------------------------------------------------

namespace {

bool IsTween(const Controller& c) {
    // Asked by every walking person each step: a plain tween needs no cast.
    return typeid(c) == typeid(Tweener) || dynamic_cast<const Tweener*>(&c);
}

}  // namespace

void DynamicWidget::NoteEntry(int number, const Controller* c) {
    if (number < 0) return;
    const uint32_t bit = uint32_t{1} << number;
    if (c && IsTween(*c))
        tweenBits_ |= bit;
    else
        tweenBits_ &= ~bit;
}

void DynamicWidget::RetireController(std::map<std::wstring, std::unique_ptr<Controller>>::iterator it) {
    NoteEntry(it->second ? it->second->NameNumber() : ControllerName::NumberOf(it->first), nullptr);
    if (updatingControllers_) {
        // The running loop stands on this entry or a neighbour: leave the
        // entry, empty, and let the controller die after the pass.
        if (it->second) KeepRetired(std::move(it->second));
        NoteFirstController();
        return;
    }
    // Out of the map before it dies, so its destructor sees a consistent widget.
    std::unique_ptr<Controller> doomed = std::move(it->second);
    controllers_.erase(it);
    NoteFirstController();
}

void DynamicWidget::UpdateControllers(float x) {
    if (controllers_.empty()) return;
    updatingControllers_ = true;
    // No entry leaves the map during the pass (stopped ones are emptied), so
    // a map of one entry after an update has none after the one updated.
    auto it = controllers_.begin();
    for (Controller* c = firstController_;; c = it->second.get()) {
        // The entry may have been emptied, or refilled, by an earlier Update.
        if (c && c->Update(x) && it->second.get() == c) {
            NoteEntry(c->NameNumber(), nullptr);
            KeepRetired(std::move(it->second));
            NoteFirstController();
        }
        if (controllers_.size() == 1 || ++it == controllers_.end()) break;
    }
    updatingControllers_ = false;
    if (!retiredInPass_) return;
    retiredInPass_ = false;
    std::erase_if(controllers_, [](const auto& entry) { return !entry.second; });
    NoteFirstController();
    // Destructors run last and may add or stop controllers themselves.
    auto doomed = std::move(retired_);
    retired_.clear();
    for (std::unique_ptr<Controller>& ended : doomed) KeepEnded(ended);
    doomed.clear();
}

void DynamicWidget::AddController(std::unique_ptr<Controller> controller) {
    if (!controller) return;
    NoteEntry(controller->NameNumber(), controller.get());
    auto it = controllers_.find(controller->GetName());
    if (it == controllers_.end()) {
        controllers_.emplace(controller->GetName(), std::move(controller));
        NoteFirstController();
        return;
    }
    // The earlier one stops where it was before the new one takes its place.
    std::unique_ptr<Controller> earlier = std::move(it->second);
    it->second = std::move(controller);
    NoteFirstController();
    if (updatingControllers_)
        KeepRetired(std::move(earlier));
    else
        earlier.reset();
}

void DynamicWidget::StopController(const std::wstring& name) {
    auto it = controllers_.find(name);
    if (it != controllers_.end()) RetireController(it);
}

void DynamicWidget::StopChanges() {
    fadeFraction_ = 0.0f;
    fadeController_.clear();
    tweenBits_ = 0;
    firstController_ = nullptr;
    if (updatingControllers_) {
        for (auto& [name, c] : controllers_)
            if (c) KeepRetired(std::move(c));
        return;
    }
    // A controller's destructor touches the widget (its count): take the
    // map out first so the widget never sees a half-destroyed entry.
    auto doomed = std::move(controllers_);
    controllers_.clear();
    doomed.clear();
}

// --- Oscillations and clamps ----------------------------------------------------------

void DynamicWidget::AddOscillation(std::unique_ptr<Oscillation> oscillation) {
    if (!oscillation) return;
    WriteBase([&] { oscillations_[oscillation->GetName()] = std::move(oscillation); });
    NoteOffsets();
}

void DynamicWidget::StopOscillation(const std::wstring& name, bool undo) {
    auto it = oscillations_.find(name);
    if (it == oscillations_.end()) return;
    if (undo)
        WriteBase([&] { oscillations_.erase(name); });
    else
        oscillations_.erase(it);
    NoteOffsets();
}

void DynamicWidget::StopOscillations(bool undo) {
    if (oscillations_.empty()) return;
    // Offsets back on afterwards, so the clamps hold their fields again.
    if (undo)
        WriteBase([&] { oscillations_.clear(); });
    else
        oscillations_.clear();
    NoteOffsets();
}

void DynamicWidget::AddClamp(std::unique_ptr<Clamp> clamp) {
    if (!clamp) return;
    WriteBase([&] { clamps_[clamp->GetName()] = std::move(clamp); });
    NoteOffsets();
}

void DynamicWidget::StopClamp(const std::wstring& name, bool undo) {
    auto it = clamps_.find(name);
    if (it == clamps_.end()) return;
    if (undo)
        WriteBase([&] { clamps_.erase(name); });
    else
        clamps_.erase(it);
    NoteOffsets();
}

void DynamicWidget::StopClamps(bool undo) {
    if (clamps_.empty()) return;
    // The oscillations' offsets go back on too: left off, the next removal
    // would take them off a second time.
    if (undo)
        WriteBase([&] { clamps_.clear(); });
    else
        clamps_.clear();
    NoteOffsets();
}

// --- Helpers that start timed changes ----------------------------------------------------

void DynamicWidget::TweenProperty(const std::wstring& controller, std::wstring_view property, float end, float time,
                                  std::unique_ptr<EasingCurve> curve, bool relative) {
    uint32_t mask = 0;
    float* field = GetPropertyPtr(property, mask);
    if (!field) return;
    if (!curve) curve = std::make_unique<Linear>();
    // The change starts from the base value, not from one an oscillation displaced.
    WriteBase([&] {
        std::vector<TweenTarget> targets{{field, *field, relative ? *field + end : end}};
        AddController(
            std::make_unique<Tweener>(controller, this, time, std::move(curve), mask, std::move(targets), 0.0f));
    });
}

void DynamicWidget::TweenPropertyPair(const std::wstring& controller, std::wstring_view nameX, std::wstring_view nameY,
                                      float endX, float endY, float time, std::unique_ptr<EasingCurve> curve,
                                      bool relative) {
    uint32_t mask = 0;
    float* fx = GetPropertyPtr(nameX, mask);
    float* fy = GetPropertyPtr(nameY, mask);
    if (!fx && !fy) return;
    if (!curve) curve = std::make_unique<Linear>();
    WriteBase([&] {
        std::vector<TweenTarget> targets;
        if (fx) targets.push_back({fx, *fx, relative ? *fx + endX : endX});
        if (fy) targets.push_back({fy, *fy, relative ? *fy + endY : endY});
        AddController(
            std::make_unique<Tweener>(controller, this, time, std::move(curve), mask, std::move(targets), 0.0f));
    });
}

void DynamicWidget::TweenAgain(std::unique_ptr<Tweener> tween, float endX, float endY, float time) {
    // From the base values, as TweenPropertyPair starts.
    WriteBase([&] {
        tween->SetResting(false);
        tween->RestartPair(endX, endY, time);
        AddController(std::move(tween));
    });
}

void DynamicWidget::KeepPairTween(std::unique_ptr<Controller>& ended, std::unique_ptr<Tweener>& kept,
                                  const ControllerName& name, const float* x, const float* y, uint32_t changeBits) {
    if (kept || !ended || ended->GetName() != name.Text()) return;
    if (const Controller& controller = *ended; typeid(controller) != typeid(Tweener)) return;
    auto& tween = static_cast<Tweener&>(*ended);
    if (!tween.MovesPair(x, y, changeBits)) return;
    tween.SetResting(true);
    kept.reset(static_cast<Tweener*>(ended.release()));
}

void DynamicWidget::TweenPropertyByName(const std::wstring& controller, std::wstring_view property, float end,
                                        float time, std::wstring_view curve, bool relative) {
    TweenProperty(controller, property, end, time, MakeEasingCurve(curve), relative);
}

void DynamicWidget::TweenPropertyPairByName(const std::wstring& controller, std::wstring_view nameX,
                                            std::wstring_view nameY, float endX, float endY, float time,
                                            std::wstring_view curve, float delay) {
    TweenPropertyPair(controller, nameX, nameY, endX, endY, time, MakeEasingCurve(curve), false);
    if (delay <= 0.0f) return;
    auto it = controllers_.find(controller);
    if (it == controllers_.end()) return;
    if (auto* tweener = dynamic_cast<Tweener*>(it->second.get())) tweener->SetDelay(delay);
}

void DynamicWidget::StopTweens(const std::wstring& name) {
    if (CountTweens(name) > 0) StopController(name);
}

int DynamicWidget::CountTweens(const std::wstring& name) const {
    auto it = controllers_.find(name);
    return it != controllers_.end() && it->second && IsTween(*it->second) ? 1 : 0;
}

int DynamicWidget::CountTweens(const ControllerName& name) const {
    if (name.Number() < 0) return CountTweens(name.Text());
    const uint32_t bit = uint32_t{1} << name.Number();
    if (!(tweenBitsKnown_ & bit)) {
        // Entries made before the name was numbered set no bit: learn it once.
        if (CountTweens(name.Text()) > 0)
            tweenBits_ |= bit;
        else
            tweenBits_ &= ~bit;
        tweenBitsKnown_ |= bit;
    }
    return (tweenBits_ & bit) ? 1 : 0;
}

void DynamicWidget::Oscillate(const std::wstring& name, std::wstring_view property, float amplitude, float rate,
                              const PropertyValue& start, std::unique_ptr<OscillatingCurve> wave) {
    uint32_t mask = 0;
    float* field = GetPropertyPtr(property, mask);
    if (!field) return;
    double phase = 0.0;
    if (start.Is(PropertyValue::Tag::Real) || start.Is(PropertyValue::Tag::Int)) {
        phase = start.ToReal();
    } else if (start.Is(PropertyValue::Tag::String)) {
        const std::wstring text = start.ToString();
        if (text == L"top")
            phase = 0.25;
        else if (text == L"bottom")
            phase = 0.75;
        else if (text == L"random")
            phase = RandomReal(100.0);
    }
    AddOscillation(std::make_unique<Oscillation>(name, this, rate, phase, std::move(wave), mask,
                                                 std::vector<OscillationTarget>{{field, amplitude}}));
}

void DynamicWidget::FadeToFrame(int frame, float time, std::unique_ptr<EasingCurve> curve) {
    animators_[0].timer = 0.0f;
    if (frame == animators_[0].frame) return;  // the curve goes with this scope
    previousFrame_ = animators_[0].frame;
    animators_[0].frame = frame;
    fadeFraction_ = 1.0f;
    MarkDirty();
    // Two fades on the one fraction would fight, and the older one, whose
    // generated name may sort later, could win: the new fade replaces it.
    if (!fadeController_.empty()) StopController(fadeController_);
    if (!curve) curve = std::make_unique<Linear>();
    auto fade = std::make_unique<Tweener>(L"", this, time, std::move(curve), change_bit::kColour,
                                          std::vector<TweenTarget>{{&fadeFraction_, 1.0f, 0.0f}}, 0.0f);
    fadeController_ = fade->GetName();
    AddController(std::move(fade));
}

void DynamicWidget::Arc(int endX, int endY, int minDy, int maxDy, int time) {
    if (minDy == 0 || time <= 0) return;
    WriteBase([&] { StartArc(endX, endY, minDy, maxDy, time); });
}

void DynamicWidget::StartArc(int endX, int endY, int minDy, int maxDy, int time) {
    const float ey = static_cast<float>(endY);
    float y = y_;
    // A jump that starts level with its end still needs a vertical span.
    if (static_cast<int>(y) == endY) y = maxDy < 0 ? ey + 1.0f : ey - 1.0f;
    const int yt = static_cast<int>(y);
    const int hi = std::min(yt, endY), lo = std::max(yt, endY);
    const int apex = minDy > 0 ? std::max(hi + maxDy, lo + minDy) : std::min(lo + maxDy, hi + minDy);
    const float p = (static_cast<float>(apex) - y) / (ey - y);
    // The parabola through (0, 0) and (1, 1) whose vertex lies at height p,
    // found by moving s halfway towards the vertex of the one through (s, p).
    float s = p / (2.0f * p - 1.0f);
    float a = 0.0f, b = 0.0f;
    auto solve = [&] {
        const float d = s * (1.0f - s);
        a = (s - p) / d;
        b = (p - s * s) / d;
    };
    for (int i = 0; i < 8; ++i) {
        solve();
        s = (s - b / (2.0f * a)) * 0.5f;
    }
    solve();
    std::unique_ptr<EasingCurve> vertical;
    if (std::isfinite(a) && std::isfinite(b))
        vertical = std::make_unique<ParabolicCurve>(a, b, 0.0f);
    else
        vertical = std::make_unique<Linear>();  // no finite parabola: go straight rather than write NaN
    const float t = static_cast<float>(time);
    AddController(std::make_unique<Tweener>(L"", this, t, std::make_unique<Linear>(), change_bit::kPosition,
                                            std::vector<TweenTarget>{{&x_, x_, static_cast<float>(endX)}}, 0.0f));
    AddController(std::make_unique<Tweener>(L"", this, t, std::move(vertical), change_bit::kPosition,
                                            std::vector<TweenTarget>{{&y_, y, ey}}, 0.0f));
}

void DynamicWidget::Circle(const std::wstring& controller, float time, float angle, int x, int y,
                           std::unique_ptr<EasingCurve> curve) {
    // Radius and start angle come from the base position.
    WriteBase([&] {
        AddController(std::make_unique<Circler>(controller, &x_, &y_, x, y, angle, time, std::move(curve), this,
                                                change_bit::kPosition));
    });
}

void DynamicWidget::Shear(const std::wstring& controller, float targetX, float targetY, float offsetX, float offsetY,
                          float speed, float acceleration, float decay) {
    // The shearer reads and writes base values as it is made.
    WriteBase([&] {
        AddController(std::make_unique<Shearer>(controller, this, change_bit::kTransform,
                                                Shearer::Fields{&shear_x, &shear_y, &shear_x_offset, &shear_y_offset},
                                                targetX, targetY, offsetX, offsetY, speed, acceleration, decay));
    });
    PropertiesChanged(change_bit::kTransform);
}
