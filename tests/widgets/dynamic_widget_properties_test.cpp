// Named properties: the writable fields and their change bits, the refresh
// after a write, the values scripts read, and the widget's liveness as seen
// from a PropertyValue.

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <limits>
#include <utility>

#include "dynamic_widget_test_support.h"
#include "foundation/values/property_value.h"
#include "foundation/values/saturate.h"
#include "widget_test_support.h"

using namespace testsupport;

namespace {

class PropertyTest : public ::testing::Test {
protected:
    FakeHost host;
    WidgetManager mgr;
};

TEST_F(PropertyTest, EveryWritableNameReachesItsFieldWithItsCategory) {
    DynamicWidget w(3, 4, nullptr, 1.0f);
    struct Case {
        const wchar_t* name;
        uint32_t bits;
    };
    const Case cases[] = {{L"x", 1},
                          {L"y", 1},
                          {L"z", 2},
                          {L"angle", 2},
                          {L"scale_x", 2},
                          {L"scale_y", 2},
                          {L"opacity", 4},
                          {L"alpha", 4},
                          {L"red", 4},
                          {L"green", 4},
                          {L"blue", 4},
                          {L"frame_rate", 0},
                          {L"mask_frame_rate", 0},
                          {L"abs_clip_x1", 8},
                          {L"abs_clip_y1", 8},
                          {L"abs_clip_x2", 8},
                          {L"abs_clip_y2", 8},
                          {L"rel_clip_x1", 8},
                          {L"rel_clip_y1", 8},
                          {L"rel_clip_x2", 8},
                          {L"rel_clip_y2", 8},
                          {L"clock", 0},
                          {L"timer", 0},
                          {L"shear_x", 2},
                          {L"shear_y", 2},
                          {L"shear_x_offset", 2},
                          {L"shear_y_offset", 2}};
    std::vector<float*> seen;
    for (const Case& c : cases) {
        uint32_t mask = 16;  // bits already collected stay
        float* f = w.GetPropertyPtr(c.name, mask);
        ASSERT_NE(f, nullptr) << c.name;
        EXPECT_EQ(mask, 16u | c.bits) << c.name;
        for (float* other : seen) EXPECT_NE(f, other) << c.name << " shares a field";
        seen.push_back(f);
    }
    // A write through the pointer is what the readable side reports.
    uint32_t mask = 0;
    *w.GetPropertyPtr(L"x", mask) = 17.5f;
    *w.GetPropertyPtr(L"scale_y", mask) = 0.25f;
    *w.GetPropertyPtr(L"rel_clip_x2", mask) = 40.0f;
    EXPECT_FLOAT_EQ(w.GetProperty(L"x").ToReal(), 17.5f);
    EXPECT_FLOAT_EQ(w.GetProperty(L"scale_y").ToReal(), 0.25f);
    EXPECT_FLOAT_EQ(w.GetProperty(L"rel_clip_x2").ToReal(), 40.0f);
    EXPECT_EQ(mask, 1u | 2u | 8u);
}

// Each clip edge, however far out or not a number, lands where a saturating
// cast clamped to 2^29 puts it (the oracle); the position moves absolute edges.
TEST_F(PropertyTest, ClipEdgesTruncateAndStopAtTheFarLimitAsASaturatingCastWould) {
    static constexpr int32_t kLimit = int32_t{1} << 29;
    auto oracle = [](float v) { return static_cast<float>(std::clamp(SaturateCast<int32_t>(v), -kLimit, kLimit)); };
    const float inf = std::numeric_limits<float>::infinity(), far = static_cast<float>(kLimit);
    DynamicWidget w(0, 0, nullptr, 1.0f);
    w.Move(0.5f, -0.5f);
    for (const float v : {0.0f, 0.7f, -0.7f, -12.5f, far, -far, std::nextafter(far, 0.0f), std::nextafter(-far, -inf),
                          3e9f, -1e30f, inf, -inf, std::numeric_limits<float>::quiet_NaN()}) {
        w.abs_clip = {v, -inf, inf, v};
        w.rel_clip = {-inf, v, v, inf};
        const FRect r = w.ClipRectangle();
        EXPECT_EQ(FRect(oracle(v - 0.5f), oracle(v), oracle(v) - r.x, oracle(v + 0.5f) - r.y), r) << v;
        w.abs_clip = {v, -inf, inf, inf};  // one edge alone, never an empty rectangle
        EXPECT_EQ(oracle(v - 0.5f), w.ClipRectangle().x) << v;
    }
    // Edges that cross leave nothing, whichever pair crosses and whichever
    // side gives the edge.
    for (const auto& [absolute, relative] :
         {std::pair<std::array<float, 4>, std::array<float, 4>>{{20.5f, -inf, 10.5f, inf}, {-inf, -inf, inf, inf}},
          {{-inf, -inf, inf, inf}, {0, 30, 40, 29}},
          {{-inf, 12.5f, inf, inf}, {0, 0, 40, 11}}}) {
        w.abs_clip = absolute;
        w.rel_clip = relative;
        EXPECT_EQ(FRect(0, 0, 0, 0), w.ClipRectangle()) << absolute[0] << " " << relative[1];
    }
}

TEST_F(PropertyTest, UnknownNamesGiveNullAndBoolFalse) {
    DynamicWidget w(0, 0, nullptr, 1.0f);
    uint32_t mask = 5;
    EXPECT_EQ(w.GetPropertyPtr(L"wobble", mask), nullptr);
    EXPECT_EQ(w.GetPropertyPtr(L"X", mask), nullptr);
    EXPECT_EQ(mask, 5u);
    const PropertyValue v = w.GetProperty(L"wobble");
    EXPECT_TRUE(v.Is(PropertyValue::Tag::Bool));
    EXPECT_FALSE(v.ToBool());
}

TEST_F(PropertyTest, ReadableValuesCarryTheirTypesAndDerivedFigures) {
    auto image = testsupport::SolidImage(40, 20, 0xFFFFFFFF);
    auto* parent = new DynamicWidget(100, 50, nullptr, 1.0f);
    auto* w = new DynamicWidget(10, 6, image.get(), -0.5f);
    mgr.AddWidget(parent);
    parent->AddWidget(w);
    w->SetId(L"hero");
    w->SetPriority(7);
    EXPECT_FLOAT_EQ(w->GetProperty(L"opacity").ToReal(), 0.5f);  // the size of a negative opacity
    EXPECT_TRUE(w->GetProperty(L"width").Is(PropertyValue::Tag::Int));
    EXPECT_EQ(w->GetProperty(L"width").ToInt(), 40);
    EXPECT_EQ(w->GetProperty(L"height").ToInt(), 20);
    EXPECT_EQ(w->GetProperty(L"depth").ToInt(), 7);
    EXPECT_FLOAT_EQ(w->GetProperty(L"right").ToReal(), 50.0f);
    EXPECT_FLOAT_EQ(w->GetProperty(L"bottom").ToReal(), 26.0f);
    EXPECT_FLOAT_EQ(w->GetProperty(L"center_x").ToReal(), 30.0f);
    EXPECT_FLOAT_EQ(w->GetProperty(L"center_y").ToReal(), 16.0f);
    EXPECT_FLOAT_EQ(w->GetProperty(L"abs_x").ToReal(), 110.0f);
    EXPECT_FLOAT_EQ(w->GetProperty(L"abs_y").ToReal(), 56.0f);
    EXPECT_FLOAT_EQ(w->GetProperty(L"last_x").ToReal(), 10.0f);
    EXPECT_EQ(w->GetProperty(L"id").ToString(), L"hero");
    EXPECT_EQ(w->GetProperty(L"image").ToImage<Image>(), image.get());
    EXPECT_FALSE(w->GetProperty(L"flip_x").ToBool());
    w->Flip(false);
    EXPECT_TRUE(w->GetProperty(L"flip_x").ToBool());
    EXPECT_FALSE(w->GetProperty(L"flip_y").ToBool());
    EXPECT_FALSE(w->GetProperty(L"changing").ToBool());
    w->SetMouseVisible(true);
    EXPECT_TRUE(w->GetProperty(L"mouse_visible").ToBool());
    w->RemoveSelf();
    parent->RemoveSelf();
    host.DeleteDeferred();
}

// An address does not fit in a 32-bit Int: a truncated one would point anywhere.
TEST_F(PropertyTest, PointerNamesGiveHandlesThatResolveToTheirFieldsNotTruncatedAddresses) {
    DynamicWidget w(0, 0, nullptr, 1.0f);
    const std::pair<const wchar_t*, float*> cases[] = {{L"x_ptr", nullptr},      {L"opacity_ptr", &w.opacity},
                                                       {L"angle_ptr", &w.angle}, {L"scale_x_ptr", &w.scale_x},
                                                       {L"timer_ptr", &w.timer}, {L"last_y_ptr", &w.last_y}};
    for (const auto& [name, field] : cases) {
        const PropertyValue v = w.GetProperty(name);
        ASSERT_TRUE(v.Is(PropertyValue::Tag::Int)) << name;
        float* resolved = w.FieldFromHandle(v.ToInt());
        ASSERT_NE(resolved, nullptr) << name;
        if (field) {
            EXPECT_EQ(resolved, field) << name;
        }
    }
    uint32_t mask = 0;
    EXPECT_EQ(w.FieldFromHandle(w.GetProperty(L"x_ptr").ToInt()), w.GetPropertyPtr(L"x", mask));
    EXPECT_EQ(w.FieldFromHandle(0), nullptr);
    EXPECT_EQ(w.FieldFromHandle(1000), nullptr);
}

TEST_F(PropertyTest, RefreshMarksDirtyOnlyWhenSomethingVisibleChanged) {
    auto* w = new DynamicWidget(0, 0, nullptr, 1.0f);
    mgr.AddWidget(w);
    mgr.DrawScreen();  // clears the dirty flag
    w->PropertiesChanged(0);
    EXPECT_FALSE(mgr.IsDirty());
    w->PropertiesChanged(change_bit::kPosition);
    EXPECT_TRUE(mgr.IsDirty());
    mgr.DrawScreen();
    w->opacity = 0.0f;
    w->PropertiesChanged(change_bit::kTransform);  // an invisible widget moved
    EXPECT_FALSE(mgr.IsDirty());
    w->PropertiesChanged(change_bit::kColour);  // fading in from nothing shows
    EXPECT_TRUE(mgr.IsDirty());
    mgr.DrawScreen();
    w->opacity = 1.0f;
    w->SetVisible(false);
    mgr.DrawScreen();
    w->PropertiesChanged(change_bit::kColour);
    EXPECT_FALSE(mgr.IsDirty());
    w->RemoveSelf();
    host.DeleteDeferred();
}

TEST_F(PropertyTest, TransformIsComposedAgainOnlyAfterATransformChange) {
    DynamicWidget w(0, 0, nullptr, 1.0f);
    EXPECT_FALSE(w.HasTransform());
    uint32_t mask = 0;
    *w.GetPropertyPtr(L"scale_x", mask) = 2.0f;
    EXPECT_FALSE(w.HasTransform());  // written, not yet refreshed
    w.PropertiesChanged(mask);
    EXPECT_TRUE(w.HasTransform());
    w.scale_x = 1.0f;
    w.PropertiesChanged(change_bit::kColour);
    EXPECT_TRUE(w.HasTransform());
    w.PropertiesChanged(change_bit::kTransform);
    EXPECT_FALSE(w.HasTransform());
    // A pivot offset alone makes a (translating) transform.
    w.SetCenter(5.0f, kNotGiven, kNotGiven);
    EXPECT_TRUE(w.HasTransform());
}

TEST_F(PropertyTest, ComposedMatrixAppliesShearScaleAndRotationAboutThePivot) {
    DynamicWidget w(0, 0, nullptr, 1.0f);
    w.scale_x = 2.0f;
    w.angle = 90.0f;
    w.PropertiesChanged(change_bit::kTransform);
    Transform t = w.ComposeTransform();
    const float in[3] = {1.0f, 0.0f, 0.0f};
    float out[3];
    t.GetMatrix().TransformVector3(out, in);
    // Scale first: (2, 0); then a quarter turn about z: (0, +-2).
    EXPECT_NEAR(out[0], 0.0f, 1e-5);
    EXPECT_NEAR(std::fabs(out[1]), 2.0f, 1e-5);
    // The inverse takes it back.
    float back[3];
    w.GetInverseMatrix().TransformVector3(back, out);
    EXPECT_NEAR(back[0], 1.0f, 1e-5);
    EXPECT_NEAR(back[1], 0.0f, 1e-5);

    DynamicWidget s(0, 0, nullptr, 1.0f);
    s.shear_x = 0.5f;
    s.shear_y_offset = 10.0f;
    s.PropertiesChanged(change_bit::kTransform);
    Transform st = s.ComposeTransform();
    const float p[3] = {4.0f, 10.0f, 0.0f};
    st.GetMatrix().TransformVector3(out, p);
    // x' = x + shear_x * (y - shear_y_offset): the line y = 10 stays put.
    EXPECT_NEAR(out[0], 4.0f, 1e-5);
    const float q[3] = {4.0f, 20.0f, 0.0f};
    st.GetMatrix().TransformVector3(out, q);
    EXPECT_NEAR(out[0], 9.0f, 1e-5);
}

TEST_F(PropertyTest, SetCenterKeepsComponentsNotGivenAndRotationAxisIgnoresZeroVector) {
    auto image = testsupport::SolidImage(40, 20, 0xFFFFFFFF);
    DynamicWidget w(0, 0, image.get(), 1.0f);
    w.SetCenter(0.0f, 0.0f, 0.0f);  // pivot at the top-left corner
    w.SetCenter(10.0f, kNotGiven, kNotGiven);
    w.angle = 180.0f;
    w.PropertiesChanged(change_bit::kTransform);
    // About the pivot (10, 0) in widget space, a half turn sends (30, 0) to (-10, 0).
    // Points are taken relative to the middle (20, 10).
    const float in[3] = {30.0f - 20.0f, 0.0f - 10.0f, 0.0f};
    float out[3];
    Transform t = w.ComposeTransform();
    t.GetMatrix().TransformVector3(out, in);
    EXPECT_NEAR(out[0] + 20.0f, -10.0f, 1e-4);
    EXPECT_NEAR(out[1] + 10.0f, 0.0f, 1e-4);

    w.SetRotationAxis(0.0f, 0.0f, 0.0f);  // ignored: the axis stays z
    w.angle = 90.0f;
    w.SetCenter(20.0f, 10.0f, kNotGiven);
    w.PropertiesChanged(change_bit::kTransform);
    const float x1[3] = {1.0f, 0.0f, 0.0f};
    t = w.ComposeTransform();
    t.GetMatrix().TransformVector3(out, x1);
    EXPECT_NEAR(out[2], 0.0f, 1e-5);
    EXPECT_NEAR(std::fabs(out[1]), 1.0f, 1e-5);
}

TEST_F(PropertyTest, ValuesReferringToTheWidgetReadNullOnceItIsDeleted) {
    auto* w = new DynamicWidget(0, 0, nullptr, 1.0f);
    mgr.AddWidget(w);
    const PropertyValue ref = PropertyValue::FromWidget(w);
    EXPECT_EQ(ref.ToWidget<DynamicWidget>(), w);
    w->RemoveSelf();
    EXPECT_EQ(ref.ToWidget<DynamicWidget>(), w);
    host.DeleteDeferred();
    EXPECT_EQ(ref.ToWidget<DynamicWidget>(), nullptr);
    EXPECT_EQ(ref.ToPropertyInterface(), nullptr);
}

}  // namespace
