// Propeller and TerminalPropeller.

#include "widgets/motion/controller_propeller.h"

#include <cmath>

Propeller::Propeller(std::wstring name, DynamicWidget* widget, float rate, float progress,
                     std::unique_ptr<EasingCurve> curve, uint32_t changeBits, std::vector<PropelTarget> targets)
    : Propeller(std::move(name), widget, rate, progress, std::move(curve), changeBits, std::move(targets), false) {}

Propeller::Propeller(std::wstring name, DynamicWidget* widget, float rate, float progress,
                     std::unique_ptr<EasingCurve> curve, uint32_t changeBits, std::vector<PropelTarget> targets,
                     bool countsAsAnimating)
    : Controller(std::move(name), widget, std::move(curve), countsAsAnimating, changeBits),
      targets_(std::move(targets)),
      last_(targets_.size(), 0.0f) {
    rate_ = std::isfinite(rate) ? rate : 1.0f;
    progress_ = std::isfinite(progress) ? progress : 0.0f;
    // A rate of 0 keeps the curve's input still; dividing by it would make
    // every velocity infinite.
    if (rate_ != 1.0f && rate_ != 0.0f)
        for (PropelTarget& t : targets_) t.velocity /= rate_;
    // Started part-way, the offsets already stand where the curve is, so
    // the field does not jump at the first update.
    if (progress_ != 0.0f) {
        const float c = Curve(progress_);
        for (size_t i = 0; i < targets_.size(); ++i) last_[i] = NearestFinite(double{targets_[i].velocity} * c);
    }
}

template <typename Reached>
bool Propeller::Advance(float x, Reached reached) {
    progress_ += rate_ * x;
    const float c = Curve(progress_);
    bool done = false;
    for (size_t i = 0; i < targets_.size(); ++i) {
        // Offsets and fields beyond the float range hold at its end: a
        // propeller's running time has no end, and infinity in a field
        // would stay there for good.
        const float v = NearestFinite(double{targets_[i].velocity} * c);
        float* field = targets_[i].field;
        const float next = *field + (v - last_[i]);
        Store(field, std::isfinite(next) ? next : double{*field} + (double{v} - last_[i]));
        last_[i] = v;
        if (reached(i)) done = true;
    }
    return done;
}

bool Propeller::Update(float x) {
    Advance(x, [](size_t) { return false; });
    Refresh();
    return false;
}

namespace {
std::vector<PropelTarget> Velocities(const std::vector<TerminalTarget>& targets) {
    std::vector<PropelTarget> out;
    out.reserve(targets.size());
    for (const TerminalTarget& t : targets) out.push_back({t.field, t.velocity});
    return out;
}
}  // namespace

TerminalPropeller::TerminalPropeller(std::wstring name, DynamicWidget* widget, float rate, float progress,
                                     std::unique_ptr<EasingCurve> curve, uint32_t changeBits,
                                     const std::vector<TerminalTarget>& targets, bool snap)
    : Propeller(std::move(name), widget, rate, progress, std::move(curve), changeBits, Velocities(targets), true),
      ends_(targets),
      snap_(snap) {}

bool TerminalPropeller::Update(float x) {
    const bool done = Advance(x, [this](size_t i) {
        const float v = *ends_[i].field;
        return ends_[i].rising ? v >= ends_[i].end : v <= ends_[i].end;
    });
    if (done && snap_)
        for (const TerminalTarget& t : ends_) *t.field = t.end;
    Refresh();
    return done;
}
