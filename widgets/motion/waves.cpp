#include "widgets/motion/waves.h"

#include <cmath>

#include "foundation/system/noise.h"

double SineWave::Evaluate(double phase) {
    if (!std::isfinite(phase)) return 0.0;
    return std::sin(2.0 * 3.1415926 * phase);
}

double ZigZagWave::Evaluate(double phase) {
    if (!std::isfinite(phase)) return 0.0;
    double f = std::fmod(phase, 1.0);
    // The fraction keeps the phase's sign; a negative one is taken into the
    // same cycle position above 0, so that running backwards retraces the
    // triangle instead of sliding down to -4.
    if (f < 0.0) f += 1.0;
    double v = 4.0 * f;
    if (v < 1.0) return v;
    if (v < 3.0) return 2.0 - v;
    return v - 4.0;
}

double NoiseWave::Evaluate(double phase) { return GradientNoise1D(phase); }

double ExpressionWave::Evaluate(double phase) {
    if (!std::isfinite(phase)) return 0.0;
    return formula_.Evaluate(static_cast<float>(phase), 0.0f);
}
