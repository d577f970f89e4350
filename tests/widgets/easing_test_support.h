#pragma once
// Doubles and reference formulas for the curve and wave tests. The
// reference values are worked out here in double precision from the
// published formulas, never through the curve classes.

#include <cmath>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>

#include "widgets/motion/easing_factory.h"

namespace testsupport {

// How near a curve must come to the formula it follows.
inline constexpr double kTolerance = 1e-4;

// A script step with fixed attribute values and a widget's locals.
class FakeCurveSource : public EasingCurveSource {
public:
    std::optional<PropertyValue> CurveAttribute(std::wstring_view name) override {
        auto it = attributes.find(std::wstring(name));
        if (it == attributes.end()) return std::nullopt;
        return it->second;
    }
    const VariableMap& CurveVariables() const override { return variables; }

    std::map<std::wstring, PropertyValue> attributes;
    VariableMap variables;
};

constexpr double kPi = 3.1415925;  // the curves' constant, as written

// Parameters of the built-in curves, defaults as scripts get them.
struct Params {
    double expoBase = 10.0;
    double elasticBase = 10000.0;
    int period = 5;
    double fraction = 1.0;
    double accel = 2.0;
};

inline double Rise(double base, double t) { return (std::pow(base, t) - 1.0) / (base - 1.0); }

// The "in_" curve of a base word ("quad", "bounce", ...); NaN for an unknown
// word. "linear" stands for the linear core of a tower of prefixes.
inline double In(std::string_view word, double t, const Params& p = {}) {
    if (word == "linear") return t;
    if (word == "quad") return t * t;
    if (word == "cubic") return t * t * t;
    if (word == "quart") return std::pow(t, 4);
    if (word == "quint") return std::pow(t, 5);
    if (word == "sine") return 1.0 - std::cos(t * kPi / 2.0);
    if (word == "expo") return Rise(p.expoBase, t);
    if (word == "circ") return std::sqrt(1.0 - (1.0 - t) * (1.0 - t));
    if (word == "elastic") {
        double frequency = p.period * 2.5 * kPi;
        return Rise(p.elasticBase, t) * ((1.0 - p.fraction) + std::sin(frequency * t) * p.fraction);
    }
    if (word == "back") return std::pow(t, 3) * (p.accel + 1.0) - t * t * p.accel;
    if (word == "bounce") {
        auto arc = [t](double top, double centre) { return top - 8.0 * (t - centre) * (t - centre); };
        if (t > 0.646) return arc(1.0, 1.0);
        if (t > 0.293) return arc(0.25, 0.46967);
        if (t > 0.116) return arc(0.0625, 0.204505);
        return arc(0.027, 0.0603075);
    }
    return std::nan("");
}

inline double InOut(const std::function<double(double)>& f, double t) {
    return t < 0.5 ? f(2.0 * t) / 2.0 : 1.0 - f(2.0 - 2.0 * t) / 2.0;
}

// The value of a script curve name, prefixes unwrapped one at a time.
inline double Named(std::string_view name, double t, const Params& p = {}) {
    if (name == "linear") return t;
    if (name.starts_with("out_in_")) {
        std::string inner = "in_" + std::string(name.substr(7));
        return InOut([&](double u) { return 1.0 - Named(inner, 1.0 - u, p); }, t);
    }
    if (name.starts_with("out_")) return 1.0 - Named("in_" + std::string(name.substr(4)), 1.0 - t, p);
    if (name.starts_with("in_out_")) {
        std::string inner = "in_" + std::string(name.substr(7));
        return InOut([&](double u) { return Named(inner, u, p); }, t);
    }
    if (name.starts_with("in_")) return In(name.substr(3), t, p);
    return std::nan("");
}

}  // namespace testsupport
