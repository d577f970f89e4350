// The built-in drawing sink: the widget tree's state, translation, clipping,
// batching and off-screen calls reach a real drawing context, and saved
// states nest per context.

#include <gtest/gtest.h>

#include <memory>
#include <random>
#include <utility>

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

// Two contexts pushed, restored and popped in turn, the second ended and
// made anew now and then: each gets back only its own states (the model).
TEST(GraphicsSinkTest, SavedStatesStayWithTheirContextAcrossInterleavedContexts) {
    GraphicsSink& sink = Service<GraphicsSink>::Get();
    ImageSurface screen(true);
    screen.Create(64, 64);
    Graphics* g[2] = {sink.BeginScreen(&screen), nullptr};
    g[1] = sink.CopyContext(g[0]);
    std::vector<float> saved[2];
    std::mt19937 random(977u);
    for (int step = 0; step < 2000; ++step) {
        const int i = static_cast<int>(random() % 2), op = static_cast<int>(random() % 5);
        const float x = g[i]->GetState().transX, last = saved[i].empty() ? x : saved[i].back();
        if (op == 0) sink.PushState(g[i]), saved[i].push_back(x);
        if (op == 1) sink.RestoreState(g[i]);
        if (op == 2) sink.PopState(g[i]), saved[i].empty() ? void() : saved[i].pop_back();
        if (op == 3) sink.Translate(g[i], 1, 0);
        if (op == 4 && i == 1) sink.EndContext(g[1]), g[1] = sink.CopyContext(g[0]), saved[1].clear();
        const float want = op == 1 || op == 2 ? last : op == 3 ? x + 1 : g[i]->GetState().transX;
        ASSERT_EQ(want, g[i]->GetState().transX) << "step " << step;
    }
    sink.EndContext(g[1]);
    sink.EndContext(g[0]);
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

// The context as the tree's calls move it: where each draw lands, and each
// flush with the draws it held. The oracle for walks passing widgets by.
class ModelSink : public GraphicsSink {
public:
    void PushState(Graphics*) override { saved_.push_back(now_); }
    void RestoreState(Graphics*) override { Become(saved_.empty() ? now_ : saved_.back()); }
    void PopState(Graphics* g) override {
        RestoreState(g);
        if (!saved_.empty()) saved_.pop_back();
    }
    void Translate(Graphics*, float dx, float dy) override { now_.x += dx, now_.y += dy; }
    void ClipRect(Graphics*, float, float, int, int) override {}
    void SetBatching(Graphics*, bool on) override { Become({now_.x, now_.y, on, now_.offscreen}); }
    void OffsetDrawOrder(Graphics*, int) override {}
    void SetOffscreen(Graphics*, bool on) override { Become({now_.x, now_.y, now_.batching, on}); }
    Graphics* CopyContext(Graphics* g) override { return g; }
    Graphics* BeginScreen(ImageSurface*) override { return nullptr; }
    void EndContext(Graphics*) override { Become({}); }
    void Draw(int id) {
        log.push_back(std::to_string(id) + " at " + std::to_string(now_.x) + "," + std::to_string(now_.y));
        pending_ += now_.batching ? 1 : 0;
    }
    EventLog log;

private:
    struct State {
        float x = 0, y = 0;
        bool batching = false, offscreen = false;
    };
    void Become(const State& s) {
        if ((now_.batching && !s.batching) || now_.offscreen != s.offscreen)
            log.push_back("flush of " + std::to_string(std::exchange(pending_, 0)) +
                          (s.offscreen ? ", off-screen" : ""));
        now_ = s;
    }
    State now_;
    std::vector<State> saved_;
    int pending_ = 0;
    ScopedService<GraphicsSink> installed_{this};
};

// Draws unless quiet; a quiet one claims to draw nothing only while `passBy`
// holds, and is walked as any widget else.
class QuietProbe : public Widget {
public:
    QuietProbe(ModelSink& sink, int id, bool quiet) : sink_(sink), id_(id), quiet_(quiet) {}
    void Draw(Graphics*) override { quiet_ ? void() : sink_.Draw(id_); }
    static inline bool passBy = false;
    static inline int passed = 0;

protected:
    bool DrawsNothing() const override { return quiet_ && passBy && ++passed; }

private:
    ModelSink& sink_;
    int id_;
    bool quiet_;
};

TEST(GraphicsSinkTest, PassingByWidgetsThatDrawNothingDrawsAndFlushesAsWalkingThem) {
    FakeHost host;
    ModelSink sink;
    std::mt19937 random(431u);
    auto chance = [&](unsigned percent) { return random() % 100 < percent; };
    auto mask = [&] {
        return (chance(15) ? pass_flag::kDraw : 0) | (chance(15) ? pass_flag::kBatching : 0) |
               (chance(15) ? pass_flag::kOffscreen : 0);
    };
    for (int tree = 0; tree < 300; ++tree) {
        std::vector<std::unique_ptr<QuietProbe>> widgets;
        widgets.push_back(std::make_unique<QuietProbe>(sink, 0, false));
        for (int i = 1; i < 2 + tree % 14; ++i) {
            auto w = std::make_unique<QuietProbe>(sink, i, chance(60));
            w->Resize(float(i % 5), float(i % 3), 10, 10);
            w->SetFlagMasks(mask(), mask());
            w->SetVisible(chance(85));
            widgets[random() % widgets.size()]->AddWidget(w.get());
            widgets.push_back(std::move(w));
        }
        EventLog drawn[2];
        for (int passing = 0; passing < 2; ++passing) {
            QuietProbe::passBy = passing == 1;
            PassFlags flags{pass_flag::kDraw | pass_flag::kBatching, pass_flag::kDraw, true};
            widgets[0]->DrawAll(flags, reinterpret_cast<Graphics*>(&sink));  // a token the model never reads
            sink.EndContext(nullptr);
            drawn[passing].swap(sink.log);
        }
        EXPECT_EQ(drawn[0], drawn[1]) << "tree " << tree;
        widgets[0]->RemoveAllWidgets(false, true);
    }
    EXPECT_GT(QuietProbe::passed, 300);
}

}  // namespace
