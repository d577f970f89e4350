// The draw pass: what it asks of the drawing context, overlays, and the
// modal masks while drawing.

#include <gtest/gtest.h>

#include <algorithm>

#include "widget_test_support.h"

using namespace testsupport;

namespace {

class DrawTest : public ::testing::Test {
protected:
    ProbeWidget* Add(WidgetContainer& parent, const char* name, float x = 0, float y = 0, int w = 0, int h = 0) {
        auto* p = new ProbeWidget(&log, name, x, y, w, h);
        parent.AddWidget(p);
        return p;
    }
    bool Has(const std::string& op) const { return std::find(sink.ops.begin(), sink.ops.end(), op) != sink.ops.end(); }

    EventLog log;
    FakeHost host;
    WidgetManager mgr;
    RecordingSink sink;
};

TEST_F(DrawTest, DrawScreenTranslatesClipsAndRestoresAroundEachChild) {
    auto* panel = new ProbeWidget(&log, "panel", 10, 20, 100, 50);
    panel->SetPriority(3);
    panel->SetClipChildren(true);
    panel->SetFlagMasks(pass_flag::kBatching, 0);
    mgr.AddWidget(panel);
    Add(*panel, "child", 5, 6);
    Add(mgr, "hidden", 200, 0)->SetVisible(false);
    EXPECT_TRUE(mgr.DrawScreen());
    EXPECT_EQ(sink.ops,
              (EventLog{"#0 begin screen", "#0 copy to #1", "#1 translate 10,20", "#1 clip 0,0,100,50", "#1 batch on",
                        "#1 order 3", "#1 offscreen off", "#1 push", "#1 restore", "#1 translate 5,6", "#1 batch on",
                        "#1 order 0", "#1 offscreen off", "#1 pop", "#1 end", "#0 end"}));
    EXPECT_EQ(log, (EventLog{"panel:draw", "child:draw"}));
    EXPECT_FALSE(mgr.DrawScreen());  // nothing changed since
}

TEST_F(DrawTest, OverlaysDrawAboveInPriorityOrderAtTheWidgetsScreenOrigin) {
    ProbeWidget* a = Add(mgr, "a", 30, 40);
    a->onDraw = [&] {
        mgr.AddPendingOverlay(a, 5);
        mgr.AddPendingOverlay(a, -1);
    };
    Add(mgr, "b");  // its overlay threshold 0 draws the negative overlay first
    mgr.MarkAllDirty();
    mgr.DrawScreen();
    EXPECT_EQ(log, (EventLog{"a:draw", "a:overlay -1", "b:draw", "a:overlay 5"}));
    EXPECT_TRUE(Has("#3 translate 30,40"));
    EXPECT_TRUE(Has("#4 translate 30,40"));
    EXPECT_EQ(mgr.GetLowestOverlayPriority(), WidgetManager::kNoOverlay);
}

TEST_F(DrawTest, RemovedOverlayWidgetIsNotDrawn) {
    ProbeWidget* a = Add(mgr, "a");
    ProbeWidget* b = Add(mgr, "b");
    a->onDraw = [&] { mgr.AddPendingOverlay(b, 1); };
    b->onDraw = [b] { b->RemoveSelf(); };
    mgr.MarkAllDirty();
    mgr.DrawScreen();
    EXPECT_EQ(log, (EventLog{"a:draw", "b:draw"}));
}

TEST(DrawToNoTarget, ModalDrawMaskHidesWhatLiesBeneath) {
    EventLog log;
    FakeHost host;
    WidgetManager mgr;
    auto* under = new ProbeWidget(&log, "under");
    auto* dialog = new ProbeWidget(&log, "dialog");
    auto* later = new ProbeWidget(&log, "later");
    for (Widget* w : {static_cast<Widget*>(under), static_cast<Widget*>(dialog), static_cast<Widget*>(later)})
        mgr.AddWidget(w);
    mgr.PushModalLayer(dialog, 0, pass_flag::kDraw);
    mgr.DrawScreen();
    EXPECT_EQ(log, (EventLog{"dialog:draw null", "later:draw null"}));
}

}  // namespace
