// Hit tests of a dynamic widget: the box, the pixel's alpha against the
// "opacity_threshold" constant, the inverse transform, the mask, the
// rotated bounding box, clipping of the subtree, and button reports.

#include <gtest/gtest.h>

#include <algorithm>

#include "dynamic_widget_test_support.h"
#include "foundation/expression/constants_map.h"
#include "widget_test_support.h"

using namespace testsupport;

namespace {

// Alpha rises by 10 per column: column x has alpha 10 x x.
uint32_t Ramp(int x, int) { return static_cast<uint32_t>(10 * x) << 24; }

class DynamicHitTest : public ::testing::Test {
protected:
    void SetUp() override { ConstantsMap()[L"opacity_threshold"] = PropertyValue(50); }
    void TearDown() override { ConstantsMap().erase(L"opacity_threshold"); }

    std::unique_ptr<ImageSurface> ramp = testsupport::MakeImage(20, 10, Ramp);
    FakeHost host;
    WidgetManager mgr;
};

TEST_F(DynamicHitTest, PixelAlphaMustBeStrictlyAboveTheThreshold) {
    DynamicWidget w(0, 0, ramp.get(), 1.0f);
    EXPECT_FALSE(w.HitTest(4.5f, 5.0f));  // alpha 40
    EXPECT_FALSE(w.HitTest(5.0f, 5.0f));  // alpha 50: equal is not a hit
    EXPECT_TRUE(w.HitTest(6.0f, 5.0f));   // alpha 60
    EXPECT_FALSE(w.HitTest(20.0f, 5.0f));
    EXPECT_FALSE(w.HitTest(10.0f, 10.0f));
    w.SetPixelHitTest(false);
    EXPECT_TRUE(w.HitTest(0.0f, 0.0f));
}

// Truncating -0.5 gives column 0: a point left of the widget would hit it.
TEST_F(DynamicHitTest, PointsJustLeftOrAboveTheWidgetDoNotHitColumnZero) {
    auto solid = testsupport::SolidImage(10, 10, 0xFFFFFFFF);
    DynamicWidget w(0, 0, solid.get(), 1.0f);
    EXPECT_TRUE(w.HitTest(0.0f, 0.0f));
    EXPECT_FALSE(w.HitTest(-0.5f, 3.0f));
    EXPECT_FALSE(w.HitTest(3.0f, -0.5f));
}

TEST_F(DynamicHitTest, WithoutAnImageTheBoxDecides) {
    DynamicWidget w(0, 0, nullptr, 1.0f);
    w.Resize(0.0f, 0.0f, 8, 4);
    EXPECT_TRUE(w.HitTest(7.5f, 3.5f));
    EXPECT_FALSE(w.HitTest(8.0f, 1.0f));
}

TEST_F(DynamicHitTest, TransformedWidgetsAreTestedThroughTheInverse) {
    auto solid = testsupport::SolidImage(10, 10, 0xFFFFFFFF);
    DynamicWidget w(0, 0, solid.get(), 1.0f);
    w.scale_x = 0.5f;  // shrinks about the middle to columns 2.5 .. 7.5
    w.PropertiesChanged(change_bit::kTransform);
    EXPECT_FALSE(w.HitTest(1.0f, 5.0f));
    EXPECT_TRUE(w.HitTest(3.0f, 5.0f));
    EXPECT_FALSE(w.HitTest(8.0f, 5.0f));
    // The ramp turned half over: column x shows the pixel of column 19 - x.
    DynamicWidget r(0, 0, ramp.get(), 1.0f);
    r.angle = 180.0f;
    r.PropertiesChanged(change_bit::kTransform);
    EXPECT_TRUE(r.HitTest(2.5f, 5.0f));    // shows column 17
    EXPECT_FALSE(r.HitTest(14.5f, 5.0f));  // shows column 5, alpha 50
    // Children drawn inside the transform: the widget tests untransformed.
    r.SetTransformChildren(true);
    EXPECT_FALSE(r.HitTest(2.5f, 5.0f));
}

TEST_F(DynamicHitTest, TheMaskIsSampledAtTheScaledPosition) {
    auto solid = testsupport::SolidImage(20, 10, 0xFFFFFFFF);
    // A 10 x 5 mask: opaque only in its right half.
    auto mask = testsupport::MakeImage(10, 5, [](int x, int) { return x >= 5 ? 0xFF000000u : 0u; });
    DynamicWidget w(0, 0, solid.get(), 1.0f);
    w.SetMask(mask.get());
    EXPECT_FALSE(w.HitTest(9.0f, 2.0f));  // mask column 4
    EXPECT_TRUE(w.HitTest(10.0f, 2.0f));  // mask column 5
    // A set mask rectangle (4 wide) scales by 4 / 20 instead.
    w.SetMaskRect(0.0f, 0.0f, 4.0f, 5.0f);
    EXPECT_FALSE(w.HitTest(19.0f, 2.0f));  // mask column 3
}

// Points are local, as every caller passes them: the position plays no part.
TEST_F(DynamicHitTest, ContainsPointUsesTheScaledOrRotatedBoxAboutTheLocalMiddle) {
    auto solid = testsupport::SolidImage(20, 10, 0xFFFFFFFF);
    DynamicWidget w(100, 50, solid.get(), 1.0f);
    EXPECT_TRUE(w.ContainsPoint(0, 0));
    EXPECT_FALSE(w.ContainsPoint(20, 0));
    EXPECT_FALSE(w.ContainsPoint(100, 50));
    for (float scale : {0.5f, -0.5f}) {  // a mirrored box is as wide
        w.scale_x = scale;               // left = 20 x 0.5 x 0.5 = 5, width 10
        EXPECT_FALSE(w.ContainsPoint(4, 5));
        EXPECT_TRUE(w.ContainsPoint(5, 5));
        EXPECT_TRUE(w.ContainsPoint(14, 5));
        EXPECT_FALSE(w.ContainsPoint(15, 5));
    }
    w.angle = 30.0f;  // a square of side 10 + 10 about the middle (10, 5)
    EXPECT_TRUE(w.ContainsPoint(10, -4));
    EXPECT_FALSE(w.ContainsPoint(10, -6));
    EXPECT_TRUE(w.ContainsPoint(0, 5));
}

TEST_F(DynamicHitTest, ClippingDynamicContainerAwayFromTheOriginFindsItsChildren) {
    auto* parent = new DynamicWidget(100, 100, nullptr, 1.0f);
    parent->Resize(100.0f, 100.0f, 50, 50);
    parent->SetClipChildren(true);
    auto* child = new Widget;
    child->Resize(10.0f, 10.0f, 10, 10);
    child->SetMouseVisible(true);
    mgr.AddWidget(parent);
    parent->AddWidget(child);
    EXPECT_EQ(mgr.FindWidgetAtPoint(115.0f, 115.0f, nullptr, nullptr), child);
    child->Move(60.0f, 10.0f);  // outside the parent: clipped away
    EXPECT_EQ(mgr.FindWidgetAtPoint(165.0f, 115.0f, nullptr, nullptr), nullptr);
    parent->RemoveSelf();
    host.DeleteDeferred();
}

TEST_F(DynamicHitTest, ClippedSubtreeIsNotFoundOutsideTheClip) {
    auto solid = testsupport::SolidImage(10, 10, 0xFFFFFFFF);
    auto* parent = new DynamicWidget(0, 0, nullptr, 1.0f);
    parent->Resize(0.0f, 0.0f, 100, 100);
    auto* child = new DynamicWidget(50, 0, solid.get(), 1.0f);
    child->SetMouseVisible(true);
    mgr.AddWidget(parent);
    parent->AddWidget(child);
    parent->SetFlagMasks(pass_flag::kMouse, 0);
    EXPECT_EQ(mgr.FindWidgetAt(55.0f, 5.0f, pass_flag::kMouse, nullptr, nullptr), child);
    parent->rel_clip[2] = 40.0f;
    parent->SetClipping(true);
    EXPECT_EQ(mgr.FindWidgetAt(55.0f, 5.0f, pass_flag::kMouse, nullptr, nullptr), nullptr);
    parent->rel_clip[2] = 60.0f;
    float lx = 0, ly = 0;
    EXPECT_EQ(mgr.FindWidgetAt(55.0f, 5.0f, pass_flag::kMouse, &lx, &ly), child);
    EXPECT_FLOAT_EQ(lx, 5.0f);
    parent->RemoveSelf();
    host.DeleteDeferred();
}

TEST_F(DynamicHitTest, ChildrenOfATransformingParentAreFoundWhereTheyAreDrawn) {
    auto solid = testsupport::SolidImage(4, 4, 0xFFFFFFFF);
    auto* parent = new DynamicWidget(100, 100, nullptr, 1.0f);
    parent->Resize(100.0f, 100.0f, 20, 20);
    auto* child = new DynamicWidget(0, 8, solid.get(), 1.0f);
    child->SetMouseVisible(true);
    mgr.AddWidget(parent);
    parent->AddWidget(child);
    parent->SetFlagMasks(pass_flag::kMouse, 0);
    parent->SetTransformChildren(true);
    parent->angle = 180.0f;
    parent->PropertiesChanged(change_bit::kTransform);
    // A half turn about (110, 110) shows the child at 116..120, 108..112.
    float lx = 0, ly = 0;
    EXPECT_EQ(mgr.FindWidgetAt(118.0f, 110.0f, pass_flag::kMouse, &lx, &ly), child);
    EXPECT_NEAR(lx, 2.0f, 1e-3);
    EXPECT_EQ(mgr.FindWidgetAt(102.0f, 110.0f, pass_flag::kMouse, nullptr, nullptr), nullptr);
    // Mapping to the parent and back is the identity.
    const FRect there = parent->MapRectToParent({3.0f, 4.0f, 1.0f, 1.0f});
    EXPECT_NEAR(there.x, 117.0f, 1e-3);
    EXPECT_NEAR(there.y, 116.0f, 1e-3);
    const FRect back = parent->MapRectFromParent(there);
    EXPECT_NEAR(back.x, 3.0f, 1e-3);
    EXPECT_NEAR(back.y, 4.0f, 1e-3);
    parent->RemoveSelf();
    host.DeleteDeferred();
}

class ButtonParent : public DynamicWidget {
public:
    ButtonParent() : DynamicWidget(0, 0, nullptr, 1.0f) {}
    void ButtonPress(int id) override { log.push_back("press " + std::to_string(id)); }
    void ButtonRelease(int id) override { log.push_back("release " + std::to_string(id)); }
    void ButtonMouseEnter(int id) override { log.push_back("enter " + std::to_string(id)); }
    void ButtonHeld(int id) override { log.push_back("held " + std::to_string(id)); }
    EventLog log;
};

TEST_F(DynamicHitTest, ReenablingUnderARestingPointerEntersAwayFromTheOrigin) {
    auto* parent = new ButtonParent;
    mgr.AddWidget(parent);
    auto* w = new DynamicWidget(100, 100, nullptr, 1.0f);
    w->Resize(100.0f, 100.0f, 20, 20);
    w->SetMouseVisible(true);
    parent->AddWidget(w);
    const std::string id = std::to_string(w->GetId());
    mgr.WindowMouseMove(110, 110);
    w->SetDisabled(true);
    parent->log.clear();
    w->SetDisabled(false);
    EXPECT_EQ(parent->log, EventLog{"enter " + id});
    parent->RemoveSelf();
    host.DeleteDeferred();
}

class ButtonRecorder : public ButtonListener {
public:
    void ButtonPress(int id) override { log.push_back("press " + std::to_string(id)); }
    EventLog log;
};

// The old parent may be deleted while the widget lives on elsewhere: the
// widget must have let go of it when it left.
TEST_F(DynamicHitTest, MovedOrKeptWidgetNoLongerReportsToTheParentItLeft) {
    auto* first = new ButtonParent;
    auto* second = new ButtonParent;
    auto* plain = new Widget;
    mgr.AddWidget(first);
    mgr.AddWidget(second);
    mgr.AddWidget(plain);
    auto* child = new DynamicWidget(0, 0, nullptr, 1.0f);
    child->Resize(0.0f, 0.0f, 10, 10);
    child->SetMouseVisible(true);
    first->AddWidget(child);
    const std::string press = "press " + std::to_string(child->GetId());
    auto click = [this] {
        mgr.WindowMouseDown(5, 5, 1);
        mgr.WindowMouseUp(5, 5, 1);
    };

    auto presses = [&press](const EventLog& log) { return std::count(log.begin(), log.end(), press); };

    second->AddWidget(child);  // moved
    click();
    EXPECT_EQ(presses(first->log), 0);
    EXPECT_EQ(presses(second->log), 1);
    // Stop here if it still points at the parent about to be deleted.
    ASSERT_EQ(child->GetButtonListener(), second);
    first->RemoveSelf();
    host.DeleteDeferred();
    click();
    EXPECT_EQ(presses(second->log), 2);

    child->RemoveSelfKeep();  // kept, then put where nobody listens
    ASSERT_EQ(child->GetButtonListener(), nullptr);
    second->RemoveSelf();
    host.DeleteDeferred();
    plain->AddWidget(child);
    click();

    // The script may name a listener of its own, and take it away again.
    ButtonRecorder recorder;
    child->SetButtonListener(&recorder);
    click();
    child->SetButtonListener(nullptr);
    click();
    EXPECT_EQ(recorder.log, EventLog{press});
    plain->RemoveSelf();
    host.DeleteDeferred();
}

TEST_F(DynamicHitTest, ButtonReportsGoToTheParentListenerUntilRemoved) {
    auto* parent = new ButtonParent;
    mgr.AddWidget(parent);
    auto* child = new DynamicWidget(0, 0, nullptr, 1.0f);
    parent->AddWidget(child);
    const std::string id = std::to_string(child->GetId());
    child->MouseEnter();
    child->MouseDown(1, 1, 2);  // a double click still presses once
    child->MouseUpAt(1, 1);     // the pointer is not over it: no release
    EXPECT_EQ(parent->log, (EventLog{"enter " + id, "press " + id}));
    child->RemoveSelf();
    child->MouseEnter();
    EXPECT_EQ(parent->log.size(), 2u);
    parent->RemoveSelf();
    host.DeleteDeferred();
}

}  // namespace
