#include "foundation/expression/constants.h"

#include <cmath>

#include "foundation/expression/constants_map.h"

Constants::Constants() : evaluator_(ConstantsMap()) { LoadPropertiesXml("constants.xml"); }

void Constants::ElementStart(const std::wstring& name) {
    if (name != L"define") return;
    for (const auto& [key, expression] : element_.attributes) {
        ConstantsMap()[key] = evaluator_.Evaluate(expression);
    }
}

float PowFloat(float x, float y) {
    return static_cast<float>(std::pow(static_cast<double>(x), static_cast<double>(y)));
}
float CosFloat(float radians) { return static_cast<float>(std::cos(static_cast<double>(radians))); }
float SinFloat(float radians) { return static_cast<float>(std::sin(static_cast<double>(radians))); }

std::wstring StringReplaceAll(std::wstring text, const std::wstring& find, const std::wstring& replacement) {
    if (find.empty()) return text;
    size_t at = 0;
    while ((at = text.find(find, at)) != std::wstring::npos) {
        text.replace(at, find.size(), replacement);
        at += replacement.size();
    }
    return text;
}
