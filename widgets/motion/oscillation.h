#pragma once
// Oscillation: a periodic offset laid on top of fields' base values. Apply
// advances the phase and adds amplitude x wave(phase) to each field,
// remembering what it added; Remove takes exactly that off again, so the
// base value comes back bit for bit (see before_). The widget keeps oscillations by name
// and takes every offset off before anything writes a base value. Whenever
// either moves a field, the widget is refreshed with the change bits, so
// what was derived from the field (the composed transform, the picture)
// follows, also when an oscillation is stopped with undo.
//
// Promises: a period of 0 (or one that is not a number) holds the
// oscillation at rest, adding 0, instead of a phase that runs to infinity.
// The wave is owned. Main thread only.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "widgets/motion/waves.h"

class DynamicWidget;

struct OscillationTarget {
    float* field;
    float amplitude;
};

class Oscillation {
public:
    // An empty name becomes "oscillation%d" from a process-wide counter.
    // `period` is in update units per cycle (the phase gains 1 / period per
    // unit); a null wave is a sine.
    Oscillation(std::wstring name, DynamicWidget* widget, float period, double phase,
                std::unique_ptr<OscillatingCurve> wave, uint32_t changeBits, std::vector<OscillationTarget> targets);
    Oscillation(const Oscillation&) = delete;
    Oscillation& operator=(const Oscillation&) = delete;
    virtual ~Oscillation() = default;

    // Advances by x update units and adds the new offsets to the fields.
    void Apply(float x);
    // Takes the offsets of the latest Apply off again.
    void Remove();

    const std::wstring& GetName() const { return name_; }
    double GetPhase() const { return phase_; }

private:
    std::wstring name_;
    double phase_;
    std::unique_ptr<OscillatingCurve> wave_;
    DynamicWidget* widget_;
    double step_;
    std::vector<OscillationTarget> targets_;
    std::vector<float> last_;
    // Each field before and after the latest Apply: when nothing wrote the
    // field since, Remove puts the value before back bit for bit, where
    // subtracting the offset again could leave it an ulp off and let it drift.
    std::vector<float> before_;
    std::vector<float> after_;
    uint32_t changeBits_;
};
