// The "..._ptr" properties of a real dynamic widget as the rest of the
// engine meets them: read through by the expression language (realptr,
// intptr) and bound to shader constants, live while the widget lives and 0
// once it is gone.

#include <gtest/gtest.h>

#include <cstring>
#include <memory>

#include "dynamic_widget_test_support.h"
#include "foundation/expression/expression.h"
#include "foundation/system/text.h"
#include "rendering/draw/graphics.h"
#include "rendering/shader/shader_program.h"
#include "tests/rendering/image_surface_test_support.h"

namespace {

class WidgetPointerExpressions : public ::testing::Test {
protected:
    void SetUp() override { vars[L"w"] = PropertyValue::FromWidget(widget.get()); }
    PropertyValue Eval(std::wstring_view text) { return evaluator.Evaluate(text); }

    std::unique_ptr<DynamicWidget> widget = std::make_unique<DynamicWidget>(12, -7, nullptr, 1.0f);
    VariableMap vars;
    ExpressionEvaluator evaluator{vars};
};

// Regression: the handles were 1..9, which the expression language could not resolve.
TEST_F(WidgetPointerExpressions, RealptrOfEveryPointerPropertyReadsTheLiveField) {
    uint32_t mask = 0;
    *widget->GetPropertyPtr(L"x", mask) = 40.25f;
    *widget->GetPropertyPtr(L"y", mask) = -3.5f;
    widget->opacity = 0.625f;
    widget->angle = 270.0f;
    widget->scale_x = 1.75f;
    widget->scale_y = 0.5f;
    widget->timer = 12.0f;
    widget->last_x = 8.0f;
    widget->last_y = 9.5f;
    for (const wchar_t* name :
         {L"x", L"y", L"opacity", L"angle", L"scale_x", L"scale_y", L"timer", L"last_x", L"last_y"}) {
        const std::wstring source = L"realptr(w." + std::wstring(name) + L"_ptr)";
        EXPECT_EQ(Eval(source).ToReal(), widget->GetProperty(name).ToReal()) << text::ToUtf8(source);
    }
    EXPECT_EQ(Eval(L"intptr(w.x_ptr)").ToInt(), 40);
    EXPECT_EQ(Eval(L"intptr(w.y_ptr)").ToInt(), -3);

    // A handle copied into a variable follows later writes.
    vars[L"p"] = Eval(L"w.opacity_ptr");
    *widget->GetPropertyPtr(L"opacity", mask) = 0.25f;
    EXPECT_EQ(Eval(L"realptr(p) * 4").ToReal(), 1.0f);
    EXPECT_TRUE(Eval(L"p == w.opacity_ptr").ToBool()) << "the same handle each time";
}

TEST_F(WidgetPointerExpressions, HandlesOfADeletedWidgetReadZero) {
    widget->angle = 90.0f;
    vars[L"a"] = Eval(L"w.angle_ptr");
    vars[L"x"] = Eval(L"w.x_ptr");
    ASSERT_EQ(Eval(L"realptr(a)").ToReal(), 90.0f);
    widget.reset();
    // The next widget takes fresh ids, so an old one never names its fields.
    DynamicWidget next(5, 5, nullptr, 1.0f);
    next.angle = 45.0f;
    vars[L"n"] = PropertyValue::FromWidget(&next);
    EXPECT_EQ(Eval(L"realptr(n.angle_ptr)").ToReal(), 45.0f);
    EXPECT_EQ(Eval(L"realptr(a)").ToReal(), 0.0f);
    EXPECT_EQ(Eval(L"intptr(x)").ToInt(), 0);
    EXPECT_EQ(Eval(L"realptr(w.angle_ptr)").ToReal(), 0.0f);
}

// Shader constants bound through handles, on the software device.
class WidgetShaderConstants : public testsupport::ImageDeviceTest {
protected:
    void SetUp() override {
        ImageDeviceTest::SetUp();
        Start(plat::DeviceCaps{});
    }

    void Draw(DynamicWidget& w) {
        Graphics g(Target());
        w.Draw(&g);
    }

    static float Sent(ShaderProgram* program, const char* name) {
        const std::vector<uint8_t> bytes = program->GetPixelShader()->RememberedConstant(name);
        float value = -1.0f;
        if (bytes.size() >= sizeof value) std::memcpy(&value, bytes.data(), sizeof value);
        return value;
    }
};

TEST_F(WidgetShaderConstants, BoundConstantsFollowTheirFieldsAndReadZeroOnceTheOwnerIsGone) {
    auto image = testsupport::SolidImage(4, 4, 0xFFFFFFFF);
    DynamicWidget shaded(0, 0, image.get(), 1.0f);
    auto* program = new ShaderProgram(
        "float Clock;\nfloat Strength;\n"
        "float4 PS(float4 c : COLOR0) : COLOR0 { return c * Strength * Clock; }\n");
    ASSERT_NE(program->GetPixelShader(), nullptr);
    shaded.SetShader(program);
    auto source = std::make_unique<DynamicWidget>(0, 0, nullptr, 0.5f);
    shaded.SetShaderConstant("Strength", source->GetProperty(L"opacity_ptr").ToInt());

    shaded.clock = 3.0f;
    Draw(shaded);
    EXPECT_EQ(Sent(program, "Clock"), 3.0f);
    EXPECT_EQ(Sent(program, "Strength"), 0.5f);

    uint32_t mask = 0;
    *source->GetPropertyPtr(L"opacity", mask) = 0.75f;
    shaded.clock = 4.5f;
    Draw(shaded);
    EXPECT_EQ(Sent(program, "Clock"), 4.5f);
    EXPECT_EQ(Sent(program, "Strength"), 0.75f);

    source.reset();
    Draw(shaded);
    EXPECT_EQ(Sent(program, "Strength"), 0.0f);
}

}  // namespace
