// Words that move, turn, scale, fade and shake objects: direct writes,
// timed changes and the other controllers, oscillations, clamps, and the
// transform's pivot, axis and flip. Each acts on the object "id" names and
// completes at once; what it starts runs on in the object's updates.
#include <cmath>

#include "foundation/system/random.h"
#include "foundation/values/saturate.h"
#include "widgets/motion/controller_binder.h"
#include "widgets/motion/controller_propeller.h"
#include "widgets/script/animation_widget.h"
#include "widgets/script/step_values.h"
#include "widgets/script/word_families.h"

namespace {

constexpr float kDegreesToRadians = 3.1415927f / 180.0f;

// Amplitudes (or velocities) per field from "angle" with "amplitude": the
// first two fields get the x and y parts, positive angles pointing up the
// screen, and any further field none. Without "angle", the list named by
// `list`, padded with its last value.
std::vector<float> DirectedValues(AnimationWidget& widget, std::wstring_view list, size_t fields) {
    std::vector<float> out(fields, 0.0f);
    if (!widget.StepHasAttribute(L"angle")) {
        const std::vector<float> values = StepValueList(widget, list);
        for (size_t i = 0; i < fields; ++i) out[i] = PaddedValue(values, i);
        return out;
    }
    const float a = -widget.StepAttributeFloat(L"angle") * kDegreesToRadians;
    const float amplitude = widget.StepAttributeFloat(L"amplitude");
    if (fields > 0) out[0] = amplitude * std::cos(a);
    if (fields > 1) out[1] = amplitude * std::sin(a);
    return out;
}

// Each field's value from the list, padded with its last value.
std::vector<float> PerField(const std::vector<float>& list, size_t count) {
    std::vector<float> out(count);
    for (size_t i = 0; i < count; ++i) out[i] = PaddedValue(list, i);
    return out;
}

WordResult Set(AnimationWidget& widget, const AnimationStep&, DynamicWidget* object) {
    StepFields target = StepPropertyFields(widget, *object);
    // Every list is read before any field is written.
    const std::vector<float> values = StepValueList(widget, L"value");
    const std::vector<float> offsets = StepValueList(widget, L"offset");
    std::vector<float> next = PerField(values, target.fields.size());
    if (!values.empty()) AlignFields(widget, *object, target.fields, next);
    object->RemoveOffsets();
    for (size_t i = 0; i < target.fields.size(); ++i) {
        float* field = target.fields[i];
        *field = values.empty() ? *field + PaddedValue(offsets, i) : next[i];
    }
    object->ApplyOffsets(0.0f);
    object->PropertiesChanged(target.mask);
    return WordResult::kNext;
}

WordResult Change(AnimationWidget& widget, const AnimationStep&, DynamicWidget* object) {
    StepFields target = StepPropertyFields(widget, *object);
    const std::vector<float> starts = StepValueList(widget, L"start");
    const std::vector<float> ends = StepValueList(widget, L"end");
    const std::vector<float> offsets = StepValueList(widget, L"offset");
    std::vector<float> endValues = PerField(ends, target.fields.size());
    if (!ends.empty()) AlignFields(widget, *object, target.fields, endValues);
    const float timer = widget.StepAttributeFloatOr(L"timer", 0.0f);
    const float time = widget.StepAttributeFloatOr(L"time", 50.0f);
    const std::wstring name = widget.StepAttributeString(L"controller");
    std::unique_ptr<EasingCurve> curve = StepCurve(widget);
    // The change runs between base values: an oscillation or clamp on the
    // same field stays laid on top of it rather than baked into its start.
    object->RemoveOffsets();
    std::vector<TweenTarget> targets;
    for (size_t i = 0; i < target.fields.size(); ++i) {
        float* field = target.fields[i];
        if (!starts.empty()) *field = PaddedValue(starts, i);
        const float end = ends.empty() ? *field + PaddedValue(offsets, i) : endValues[i];
        targets.push_back({field, *field, end});
    }
    object->AddController(
        std::make_unique<Tweener>(name, object, time, std::move(curve), target.mask, std::move(targets), timer));
    object->ApplyOffsets(0.0f);
    object->PropertiesChanged(target.mask);
    return WordResult::kNext;
}

WordResult Propel(AnimationWidget& widget, const AnimationStep&, DynamicWidget* object) {
    StepFields target = StepPropertyFields(widget, *object);
    const std::vector<float> velocities = DirectedValues(widget, L"velocity", target.fields.size());
    const std::vector<float> ends = StepValueList(widget, L"end");
    const bool snap = widget.StepAttributeBool(L"snap");
    const float timer = widget.StepAttributeFloat(L"timer");
    const float speed = widget.StepAttributeFloatOr(L"curve_speed", 0.01f);
    const std::wstring name = widget.StepAttributeString(L"controller");
    std::unique_ptr<EasingCurve> curve = StepCurve(widget);
    if (ends.empty()) {
        std::vector<PropelTarget> targets;
        for (size_t i = 0; i < target.fields.size(); ++i) targets.push_back({target.fields[i], velocities[i]});
        object->AddController(
            std::make_unique<Propeller>(name, object, speed, timer, std::move(curve), target.mask, std::move(targets)));
        return WordResult::kNext;
    }
    std::vector<TerminalTarget> targets;
    for (size_t i = 0; i < target.fields.size(); ++i) {
        const float end = PaddedValue(ends, i);
        targets.push_back({target.fields[i], velocities[i], end, *target.fields[i] < end});
    }
    object->AddController(
        std::make_unique<TerminalPropeller>(name, object, speed, timer, std::move(curve), target.mask, targets, snap));
    return WordResult::kNext;
}

WordResult Bind(AnimationWidget& widget, const AnimationStep&, DynamicWidget* object) {
    StepFields target = StepPropertyFields(widget, *object);
    const std::vector<std::wstring> expressions = StepNameList(widget, L"value");
    std::vector<BindTarget> targets;
    for (size_t i = 0; i < target.fields.size() && !expressions.empty(); ++i)
        targets.push_back({target.fields[i], expressions[std::min(i, expressions.size() - 1)]});
    object->AddController(std::make_unique<Binder>(widget.StepAttributeString(L"controller"), object,
                                                   &widget.Variables(), target.mask, std::move(targets)));
    return WordResult::kNext;
}

WordResult StopController(AnimationWidget& widget, const AnimationStep&, DynamicWidget* object) {
    object->StopController(widget.StepAttributeString(L"controller"));
    return WordResult::kNext;
}

std::unique_ptr<OscillatingCurve> WaveNamed(const std::wstring& text, const VariableMap& variables) {
    if (text == L"zigzag") return std::make_unique<ZigZagWave>();
    if (text == L"noise") return std::make_unique<NoiseWave>();
    if (text.empty() || text == L"sine") return std::make_unique<SineWave>();
    return std::make_unique<ExpressionWave>(text, &variables);
}

WordResult Oscillate(AnimationWidget& widget, const AnimationStep&, DynamicWidget* object) {
    StepFields target = StepPropertyFields(widget, *object);
    const std::vector<float> amplitudes = DirectedValues(widget, L"amplitude", target.fields.size());
    const bool timed = widget.StepHasAttribute(L"timer");
    double phase = 0.0;
    if (timed) {
        phase = widget.StepAttributeFloat(L"timer");
    } else {
        const std::wstring start = widget.StepAttributeString(L"start");
        if (start == L"top")
            phase = 0.25;
        else if (start == L"bottom")
            phase = 0.75;
        else if (start == L"random")
            phase = RandomReal(100.0);
    }
    const std::wstring& waveName = widget.StepAttributeText(L"curve");
    // Noise has no cycle to start at: each object gets its own stretch.
    if (waveName == L"noise" && !timed) phase = RandomInt(100);
    const float rate = widget.StepAttributeFloatOr(L"rate", 200.0f);
    std::vector<OscillationTarget> targets;
    for (size_t i = 0; i < target.fields.size(); ++i) targets.push_back({target.fields[i], amplitudes[i]});
    object->AddOscillation(std::make_unique<Oscillation>(widget.StepAttributeString(L"oscillation"), object, rate,
                                                         phase, WaveNamed(waveName, widget.Variables()), target.mask,
                                                         std::move(targets)));
    return WordResult::kNext;
}

WordResult StopOscillation(AnimationWidget& widget, const AnimationStep&, DynamicWidget* object) {
    object->StopOscillation(widget.StepAttributeString(L"oscillation"), widget.StepAttributeBoolOr(L"undo", true));
    return WordResult::kNext;
}

WordResult StopOscillations(AnimationWidget& widget, const AnimationStep&, DynamicWidget* object) {
    object->StopOscillations(widget.StepAttributeBoolOr(L"undo", true));
    return WordResult::kNext;
}

WordResult ClampWord(AnimationWidget& widget, const AnimationStep&, DynamicWidget* object) {
    StepFields target = StepPropertyFields(widget, *object);
    const std::vector<float> minimums = StepValueList(widget, L"min");
    const std::vector<float> maximums = StepValueList(widget, L"max");
    std::vector<ClampTarget> targets;
    for (size_t i = 0; i < target.fields.size(); ++i)
        targets.push_back({target.fields[i], PaddedValue(minimums, i, -1e20f), PaddedValue(maximums, i, 1e20f)});
    object->AddClamp(
        std::make_unique<Clamp>(widget.StepAttributeString(L"clamp"), object, std::move(targets), target.mask));
    return WordResult::kNext;
}

WordResult StopClamp(AnimationWidget& widget, const AnimationStep&, DynamicWidget* object) {
    object->StopClamp(widget.StepAttributeString(L"clamp"), widget.StepAttributeBoolOr(L"undo", true));
    return WordResult::kNext;
}

WordResult StopClamps(AnimationWidget& widget, const AnimationStep&, DynamicWidget* object) {
    object->StopClamps(widget.StepAttributeBoolOr(L"undo", true));
    return WordResult::kNext;
}

WordResult ArcWord(AnimationWidget& widget, const AnimationStep&, DynamicWidget* object) {
    uint32_t ignored = 0;
    float x = widget.StepAttributeFloatOr(L"x", *object->GetPropertyPtr(L"x", ignored));
    float y = widget.StepAttributeFloatOr(L"y", *object->GetPropertyPtr(L"y", ignored));
    x = AlignValue(x, *object, false, widget.StepAttributeString(L"align"));
    y = AlignValue(y, *object, true, widget.StepAttributeString(L"valign"));
    const int endX = SaturateCast<int>(std::trunc(x) + widget.StepAttributeFloat(L"dx"));
    const int endY = SaturateCast<int>(std::trunc(y) + widget.StepAttributeFloat(L"dy"));
    object->Arc(endX, endY, widget.StepAttributeInt(L"min_dy"), widget.StepAttributeInt(L"max_dy"),
                widget.StepAttributeInt(L"time"));
    return WordResult::kNext;
}

WordResult CircleWord(AnimationWidget& widget, const AnimationStep&, DynamicWidget* object) {
    object->Circle(widget.StepAttributeString(L"controller"), widget.StepAttributeFloat(L"time"),
                   widget.StepAttributeFloat(L"angle"), widget.StepAttributeInt(L"x"), widget.StepAttributeInt(L"y"),
                   StepCurve(widget));
    return WordResult::kNext;
}

WordResult RotationAxis(AnimationWidget& widget, const AnimationStep&, DynamicWidget* object) {
    object->SetRotationAxis(widget.StepAttributeFloat(L"x"), widget.StepAttributeFloat(L"y"),
                            widget.StepAttributeFloat(L"z"));
    return WordResult::kNext;
}

WordResult SetCenter(AnimationWidget& widget, const AnimationStep&, DynamicWidget* object) {
    object->SetCenter(widget.StepAttributeFloatOr(L"x", kNotGiven), widget.StepAttributeFloatOr(L"y", kNotGiven),
                      widget.StepAttributeFloatOr(L"z", kNotGiven));
    return WordResult::kNext;
}

WordResult FlipWord(AnimationWidget& widget, const AnimationStep&, DynamicWidget* object) {
    object->Flip(widget.StepAttributeString(L"dir") == L"vertical");
    return WordResult::kNext;
}

// Where the shear line lies on one axis: the given offset from the
// object's middle, or the keyword's edge.
float ShearLine(AnimationWidget& widget, std::wstring_view offset, std::wstring_view keyword, std::wstring_view low,
                std::wstring_view high, int size) {
    const float half = static_cast<float>(size / 2);
    if (widget.StepHasAttribute(offset)) return widget.StepAttributeFloat(offset) - half;
    const std::wstring edge = widget.StepAttributeString(keyword);
    if (edge == low) return -half;
    if (edge == high) return half;
    return 0.0f;
}

WordResult ShearWord(AnimationWidget& widget, const AnimationStep&, DynamicWidget* object) {
    const float lineX = ShearLine(widget, L"x_offset", L"align", L"left", L"right", object->GetWidth());
    const float lineY = ShearLine(widget, L"y_offset", L"valign", L"top", L"bottom", object->GetHeight());
    object->Shear(widget.StepAttributeString(L"controller"), widget.StepAttributeFloatOr(L"x", kNotGiven),
                  widget.StepAttributeFloatOr(L"y", kNotGiven), lineX, lineY,
                  widget.StepAttributeFloatOr(L"speed", -1.0f), widget.StepAttributeFloat(L"accel"),
                  widget.StepAttributeFloatOr(L"decay", 1.0f));
    return WordResult::kNext;
}

}  // namespace

void RegisterMotionWords(ScriptWords& words) {
    const std::pair<const wchar_t*, WordFunction> objectWords[] = {
        {L"set", Set},
        {L"change", Change},
        {L"propel", Propel},
        {L"bind", Bind},
        {L"stop-controller", StopController},
        {L"oscillate", Oscillate},
        {L"stop-oscillation", StopOscillation},
        {L"stop-oscillations", StopOscillations},
        {L"clamp", ClampWord},
        {L"stop-clamp", StopClamp},
        {L"stop-clamps", StopClamps},
        {L"arc", ArcWord},
        {L"circle", CircleWord},
        {L"rotation-axis", RotationAxis},
        {L"set-center", SetCenter},
        {L"flip", FlipWord},
        {L"shear", ShearWord},
    };
    for (const auto& [name, word] : objectWords) words.Register(WordGroup::kObject, name, word);
}
