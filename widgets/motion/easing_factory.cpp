#include "widgets/motion/easing_factory.h"

#include <cmath>
#include <string>

#include "widgets/motion/easing_formula.h"

namespace {

std::optional<PropertyValue> Attribute(EasingCurveSource* source, std::wstring_view name) {
    if (!source) return std::nullopt;
    return source->CurveAttribute(name);
}

float FloatParameter(EasingCurveSource* source, std::wstring_view name, float fallback) {
    auto value = Attribute(source, name);
    if (!value) return fallback;
    float v = value->ToReal();
    return std::isfinite(v) ? v : fallback;
}

int IntParameter(EasingCurveSource* source, std::wstring_view name, int fallback) {
    auto value = Attribute(source, name);
    return value ? value->ToInt() : fallback;
}

std::unique_ptr<EasingCurve> MakeBuiltIn(std::wstring_view name, EasingCurveSource* source) {
    if (name == L"in_quad") return std::make_unique<InQuad>();
    if (name == L"in_cubic") return std::make_unique<InCubic>();
    if (name == L"in_quart") return std::make_unique<InQuart>();
    if (name == L"in_quint") return std::make_unique<InQuint>();
    if (name == L"in_sine") return std::make_unique<InSine>();
    if (name == L"in_circ") return std::make_unique<InCirc>();
    if (name == L"in_bounce") return std::make_unique<InBounce>();
    if (name == L"in_expo") return std::make_unique<InExpo>(FloatParameter(source, L"base", 10.0f));
    if (name == L"in_elastic") {
        float base = FloatParameter(source, L"base", 10000.0f);
        float frequency = static_cast<float>(IntParameter(source, L"period", 5)) * 2.5f * kCurvePi;
        float fraction = FloatParameter(source, L"fraction", 1.0f);
        return std::make_unique<InElastic>(base, frequency, fraction);
    }
    if (name == L"in_back") return std::make_unique<InBack>(FloatParameter(source, L"accel", 2.0f));
    return nullptr;
}

std::unique_ptr<EasingCurve> Make(std::wstring_view name, EasingCurveSource* source, int depth) {
    if (name.empty() || name == L"linear") return std::make_unique<Linear>();

    // Each prefix names a wrapper around the "in_" curve of the rest.
    enum class Wrap { None, OutIn, Out, InOut } wrap = Wrap::None;
    size_t prefix = 0;
    if (name.starts_with(L"out_in_")) {
        wrap = Wrap::OutIn;
        prefix = 7;
    } else if (name.starts_with(L"out_")) {
        wrap = Wrap::Out;
        prefix = 4;
    } else if (name.starts_with(L"in_out_")) {
        wrap = Wrap::InOut;
        prefix = 7;
    }
    if (wrap != Wrap::None) {
        if (depth >= kMaxCurveNesting) return std::make_unique<Linear>();
        std::wstring innerName = L"in_";
        innerName.append(name.substr(prefix));
        auto inner = Make(innerName, source, depth + 1);
        switch (wrap) {
            case Wrap::OutIn: return std::make_unique<OutInCurve>(std::move(inner));
            case Wrap::Out: return std::make_unique<OutCurve>(std::move(inner));
            default: return std::make_unique<InOutCurve>(std::move(inner));
        }
    }

    if (auto curve = MakeBuiltIn(name, source)) return curve;
    return std::make_unique<ExpressionCurve>(name, source ? &source->CurveVariables() : nullptr);
}

}  // namespace

std::unique_ptr<EasingCurve> MakeEasingCurve(std::wstring_view name, EasingCurveSource* source) {
    return Make(name, source, 0);
}

std::unique_ptr<EasingCurve> ReadCurveAttribute(std::wstring_view rawCurve, EasingCurveSource* source) {
    if (source && !rawCurve.empty()) {
        const VariableMap& variables = source->CurveVariables();
        auto it = variables.find(rawCurve);
        if (it != variables.end()) return MakeEasingCurve(it->second.ToString(), source);
    }
    return MakeEasingCurve(rawCurve, source);
}
