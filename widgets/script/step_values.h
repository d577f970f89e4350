#pragma once
// What the word families read from the current step beyond single values:
// value lists, name lists, the property fields a step names on its object,
// and the easing curve of its "curve" attribute with the step's numeric
// curve parameters and the script's variables behind it.
//
// Promises: an absent attribute gives an empty list; numbers in a value list
// keep their value whatever their size (only texts are read as text); no
// field pointer handed out is null. Main thread only.

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "foundation/values/property_value.h"
#include "widgets/motion/easing_curve.h"

class AnimationWidget;
class DynamicWidget;

// A value of a value list as a float: Int and Real values as they are; any
// other value through its text, so a String holding a number counts as that
// number and anything else (a Bool's "true", a name) as 0.
float ListValueToFloat(const PropertyValue& value);

// The attribute evaluated as a comma-separated list of expressions, each
// taken as a float; empty when the step lacks the attribute.
std::vector<float> StepValueList(AnimationWidget& widget, std::wstring_view name);
// The same list, each value as text ("align" lists).
std::vector<std::wstring> StepTextList(AnimationWidget& widget, std::wstring_view name);
// The raw attribute split on top-level commas into trimmed, unevaluated
// texts; empty when the step lacks the attribute.
std::vector<std::wstring> StepNameList(AnimationWidget& widget, std::wstring_view name);

// Entry i of a list that is padded with its last value; `fallback` for an
// empty list.
float PaddedValue(const std::vector<float>& list, size_t i, float fallback = 0.0f);

// The fields the step's "property" names on the object, in order (names the
// object does not know are skipped), with their change bits ORed together.
struct StepFields {
    std::vector<float*> fields;
    uint32_t mask = 0;
};
StepFields StepPropertyFields(AnimationWidget& widget, DynamicWidget& object);

// Position values aligned on the object by the step's "align" list: entry i
// applies to fields[i] when that field is the object's x or y.
void AlignFields(AnimationWidget& widget, DynamicWidget& object, const std::vector<float*>& fields,
                 std::vector<float>& values);

// The curve the step's "curve" attribute names (a local variable of that
// name gives the name), with "base", "period", "fraction" and "accel" read
// from the step and formulas seeing the script's variables.
std::unique_ptr<EasingCurve> StepCurve(AnimationWidget& widget);
