#pragma once
// Propellers: controllers that push fields at a velocity shaped by a curve
// of their own running time. A Propeller runs until it is stopped; a
// TerminalPropeller stops as soon as one of its fields reaches its end.
// Each keeps the offset it last added per field, so it adds only the change
// and other writers of the same field keep their share. Main thread only.

#include <vector>

#include "widgets/motion/controller.h"

struct PropelTarget {
    float* field;
    float velocity;
};

class Propeller : public Controller {
public:
    // `rate` scales the running time fed to the curve; the velocities are
    // divided by it, so with the Linear curve a field moves by its velocity
    // per update unit whatever the rate. A rate of 0 leaves the curve's
    // input standing still. `progress` is where the running time starts.
    Propeller(std::wstring name, DynamicWidget* widget, float rate, float progress, std::unique_ptr<EasingCurve> curve,
              uint32_t changeBits, std::vector<PropelTarget> targets);
    bool Update(float x) override;

protected:
    // Moves every field by its new offset; true when `reached` says one arrived.
    template <typename Reached>
    bool Advance(float x, Reached reached);

    Propeller(std::wstring name, DynamicWidget* widget, float rate, float progress, std::unique_ptr<EasingCurve> curve,
              uint32_t changeBits, std::vector<PropelTarget> targets, bool countsAsAnimating);

    std::vector<PropelTarget> targets_;
    std::vector<float> last_;
};

struct TerminalTarget {
    float* field;
    float velocity;
    float end;
    bool rising;  // the end lies above the start
};

class TerminalPropeller : public Propeller {
public:
    TerminalPropeller(std::wstring name, DynamicWidget* widget, float rate, float progress,
                      std::unique_ptr<EasingCurve> curve, uint32_t changeBits,
                      const std::vector<TerminalTarget>& targets, bool snap);
    bool Update(float x) override;

private:
    std::vector<TerminalTarget> ends_;
    bool snap_;
};
