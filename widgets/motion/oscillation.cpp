// Oscillation.

#include "widgets/motion/oscillation.h"

#include <cmath>

#include "foundation/system/text.h"
#include "widgets/dynamic/dynamic_widget.h"

namespace {
int g_oscillation_names = 0;
}

Oscillation::Oscillation(std::wstring name, DynamicWidget* widget, float period, double phase,
                         std::unique_ptr<OscillatingCurve> wave, uint32_t changeBits,
                         std::vector<OscillationTarget> targets)
    : name_(std::move(name)),
      phase_(std::isfinite(phase) ? phase : 0.0),
      wave_(wave ? std::move(wave) : std::make_unique<SineWave>()),
      widget_(widget),
      step_(1.0 / static_cast<double>(period)),
      targets_(std::move(targets)),
      last_(targets_.size(), 0.0f),
      before_(targets_.size(), 0.0f),
      after_(targets_.size(), 0.0f),
      changeBits_(changeBits) {
    if (name_.empty()) name_ = text::WFormat(L"oscillation%d", g_oscillation_names++);
    // The phase advances in single precision; a period of 0 has no step.
    step_ = static_cast<float>(step_);
    if (!std::isfinite(step_)) step_ = 0.0;
}

void Oscillation::Apply(float x) {
    // Computed in single precision, kept in double.
    phase_ = phase_ + static_cast<double>(x * static_cast<float>(step_));
    // A zero period has no cycle to run through: the fields stay at rest.
    const float w = step_ == 0.0 ? 0.0f : static_cast<float>(wave_->Evaluate(phase_));
    for (size_t i = 0; i < targets_.size(); ++i) {
        const float offset = targets_[i].amplitude * w;
        last_[i] = offset;
        before_[i] = *targets_[i].field;
        *targets_[i].field += offset;
        after_[i] = *targets_[i].field;
    }
    if (widget_) widget_->PropertiesChanged(changeBits_);
}

void Oscillation::Remove() {
    // Cleared once taken off, so a second Remove cannot take it off twice.
    // Last target first, so a field named twice unwinds in order.
    bool moved = false;
    for (size_t i = targets_.size(); i-- > 0;) {
        float& field = *targets_[i].field;
        if (last_[i] == 0.0f) continue;
        const float was = field;
        field = field == after_[i] ? before_[i] : field - last_[i];
        last_[i] = 0.0f;
        if (field != was) moved = true;
    }
    // Taken off for good (a stop with undo), the base value shows again.
    if (moved && widget_) widget_->PropertiesChanged(changeBits_);
}
