// Curve names: the input's first line, as UTF-8, is the curve a step asks
// for (a name, or a formula in t); each later line "key=value" is an
// attribute of the step when the key is one the curves read ("base",
// "period", "fraction", "accel") and otherwise a local variable of the
// running script. The curve is made as the script widget makes it and
// evaluated inside, at and beyond its ends. A curve promises never to answer
// NaN for a finite input; an answer that breaks it stops the run.
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>

#include "foundation/system/text.h"
#include "fuzz/harness.h"
#include "widgets/motion/easing_factory.h"

namespace {

class StepSource : public EasingCurveSource {
public:
    explicit StepSource(std::wstring_view lines) {
        for (size_t start = 0; start < lines.size();) {
            size_t end = lines.find(L'\n', start);
            if (end == std::wstring_view::npos) end = lines.size();
            const std::wstring_view line = lines.substr(start, end - start);
            const size_t equals = line.find(L'=');
            if (equals != std::wstring_view::npos) {
                const std::wstring key(line.substr(0, equals));
                const PropertyValue value(line.substr(equals + 1));
                if (key == L"base" || key == L"period" || key == L"fraction" || key == L"accel")
                    attributes_[key] = value;
                else
                    variables_[key] = value;
            }
            start = end + 1;
        }
    }
    std::optional<PropertyValue> CurveAttribute(std::wstring_view name) override {
        auto found = attributes_.find(name);
        if (found == attributes_.end()) return std::nullopt;
        return found->second;
    }
    const VariableMap& CurveVariables() const override { return variables_; }

private:
    VariableMap attributes_;
    VariableMap variables_;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::ResetSharedState();
    const std::wstring text = text::FromUtf8(std::string_view(reinterpret_cast<const char*>(data), size));
    const size_t lineEnd = std::min(text.find(L'\n'), text.size());
    StepSource source(std::wstring_view(text).substr(std::min(lineEnd + 1, text.size())));
    const std::unique_ptr<EasingCurve> curve = ReadCurveAttribute(std::wstring_view(text).substr(0, lineEnd), &source);
    for (float t : {0.0f, 0.25f, 0.5f, 0.999f, 1.0f, -0.5f, 2.75f, 1000.0f}) {
        const float eased = curve->Evaluate(t);
        if (std::isnan(eased)) {
            std::fprintf(stderr, "halvaro fuzz: the curve answered NaN at t = %g\n", static_cast<double>(t));
            std::abort();
        }
    }
    return 0;
}
