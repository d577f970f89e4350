// The built-in drawing sink: the widget tree's state, translation, clipping,
// batching and off-screen calls reach a real drawing context, and saved
// states nest per context.

#include <gtest/gtest.h>

#include <memory>

#include "rendering/draw/graphics.h"
#include "rendering/image/image_surface.h"
#include "widget_test_support.h"

using namespace testsupport;

namespace {

// Records the context's state each time it is drawn.
class StateProbe : public Widget {
public:
    StateProbe(std::vector<GraphicsState>* seen, float x, float y, int w, int h) : seen_(seen) { Resize(x, y, w, h); }
    void Draw(Graphics* g) override {
        ASSERT_NE(nullptr, g);
        seen_->push_back(g->GetState());
    }

private:
    std::vector<GraphicsState>* seen_;
};

TEST(GraphicsSinkTest, SavedStatesNestAndRestoreWhole) {
    GraphicsSink& sink = Service<GraphicsSink>::Get();
    Graphics* g = sink.BeginScreen(nullptr);
    EXPECT_EQ(nullptr, g);  // no screen: the tree draws to no target

    ImageSurface screen(true);
    screen.Create(200, 100);
    g = sink.BeginScreen(&screen);
    ASSERT_NE(nullptr, g);
    EXPECT_EQ(&screen, dynamic_cast<ImageSurface*>(g->GetDestination()));
    sink.Translate(g, 1, 2);
    sink.PushState(g);
    sink.Translate(g, 10, 10);
    sink.ClipRect(g, 0, 0, 5, 5);
    sink.PushState(g);
    sink.Translate(g, 100, 0);
    sink.RestoreState(g);
    EXPECT_EQ(11, g->GetState().transX);
    sink.PopState(g);
    EXPECT_EQ(11, g->GetState().transX);
    EXPECT_EQ(FRect(11, 12, 5, 5), g->GetClipRect());
    sink.PopState(g);
    EXPECT_EQ(1, g->GetState().transX);
    EXPECT_EQ(FRect(0, 0, 200, 100), g->GetClipRect());
    sink.PopState(g);  // unbalanced: nothing left to restore, nothing happens
    EXPECT_EQ(1, g->GetState().transX);

    sink.SetBatching(g, true);
    sink.OffsetDrawOrder(g, 7);
    Graphics* copy = sink.CopyContext(g);
    EXPECT_EQ(g->GetDestination(), copy->GetDestination());
    EXPECT_EQ(7, copy->GetState().drawOrder);
    EXPECT_TRUE(copy->IsBatching());
    sink.EndContext(copy);
    sink.EndContext(g);
    FreeScratchSurfaces();
}

TEST(GraphicsSinkTest, TreeDrawsChildrenTranslatedClippedAndBatched) {
    FakeHost host;
    WidgetManager mgr;
    ImageSurface screen(true);
    screen.Create(320, 240);
    mgr.SetScreenImage(&screen);
    std::vector<GraphicsState> seen;
    auto* panel = new StateProbe(&seen, 10, 20, 100, 50);
    panel->SetClipChildren(true);
    panel->SetFlagMasks(pass_flag::kBatching, 0);
    mgr.AddWidget(panel);
    panel->AddWidget(new StateProbe(&seen, 5, 6, 10, 10));
    panel->AddWidget(new StateProbe(&seen, 50, 0, 10, 10));
    auto* composed = new StateProbe(&seen, 200, 100, 20, 20);
    composed->SetFlagMasks(pass_flag::kOffscreen, 0);
    mgr.AddWidget(composed);
    mgr.MarkAllDirty();
    ASSERT_TRUE(mgr.DrawScreen());

    ASSERT_EQ(4u, seen.size());
    EXPECT_EQ(10, seen[0].transX);
    EXPECT_EQ(FRect(10, 20, 100, 50), seen[0].clipRect);
    EXPECT_TRUE(seen[0].batching);
    EXPECT_EQ(15, seen[1].transX);
    EXPECT_EQ(26, seen[1].transY);
    EXPECT_EQ(FRect(10, 20, 100, 50), seen[1].clipRect);
    EXPECT_EQ(60, seen[2].transX);  // back to the panel's origin, then moved
    EXPECT_EQ(20, seen[2].transY);
    EXPECT_TRUE(seen[3].offscreen);
    EXPECT_FALSE(seen[3].batching);
    EXPECT_EQ(kDrawAdditive, seen[3].drawState.mode);
    FreeScratchSurfaces();
}

}  // namespace
