// Removal during passes, deferred deletion, identity, and the listeners that
// hear about widgets going away.

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <vector>

#include "foundation/values/property_value.h"
#include "widget_test_support.h"
#include "widgets/script/animation_listener.h"
#include "widgets/tree/removal_listener.h"

using namespace testsupport;

namespace {

class LifecycleTest : public ::testing::Test {
protected:
    ProbeWidget* Add(WidgetContainer& parent, const char* name) {
        auto* p = new ProbeWidget(&log, name);
        p->destroyed = &destroyed;
        parent.AddWidget(p);
        return p;
    }

    EventLog log;
    int destroyed = 0;
    FakeHost host;
    WidgetManager mgr;
};

TEST_F(LifecycleTest, ChildRemovingItselfDuringUpdateDoesNotStopThePass) {
    ProbeWidget* a = Add(mgr, "a");
    Add(mgr, "b");
    Add(mgr, "c");
    a->onUpdate = [a] { a->RemoveSelf(); };
    mgr.UpdateFrame();
    EXPECT_EQ(log, (EventLog{"a:update", "b:update", "c:update"}));
    EXPECT_EQ(destroyed, 0);  // deferred, never during the pass
    host.DeleteDeferred();
    EXPECT_EQ(destroyed, 1);
}

TEST_F(LifecycleTest, RemovingSiblingsDuringUpdateVisitsNoneTwiceAndSkipsTheRemoved) {
    ProbeWidget* a = Add(mgr, "a");
    ProbeWidget* b = Add(mgr, "b");
    ProbeWidget* c = Add(mgr, "c");
    Add(mgr, "d");
    b->onUpdate = [&] {
        a->RemoveSelf();
        c->RemoveSelf();
    };
    mgr.UpdateFrame();
    EXPECT_EQ(log, (EventLog{"a:update", "b:update", "d:update"}));
}

TEST_F(LifecycleTest, ResortingAfterADepthChangeDuringUpdateSkipsNoSiblingAndRepeatsNone) {
    ProbeWidget* a = Add(mgr, "a");
    ProbeWidget* b = Add(mgr, "b");
    Add(mgr, "c");
    Add(mgr, "d");
    // b sinks below its siblings while it updates: a must not run again.
    b->onUpdate = [&] {
        b->SetPriority(-1);
        mgr.SortChildren();
    };
    mgr.UpdateFrame();
    EXPECT_EQ(log, (EventLog{"a:update", "b:update", "c:update", "d:update"}));

    // a rises above its siblings while it updates (it now runs first): b, c and d must still run.
    log.clear();
    b->onUpdate = nullptr;
    a->onUpdate = [&] {
        a->SetPriority(5);
        mgr.SortChildren();
    };
    mgr.UpdateFrame();
    EXPECT_EQ(std::count(log.begin(), log.end(), "b:update"), 1);
    EXPECT_EQ(std::count(log.begin(), log.end(), "c:update"), 1);
    EXPECT_EQ(std::count(log.begin(), log.end(), "d:update"), 1);
}

TEST_F(LifecycleTest, AChildMovedDuringAnUpdateIsVisitedOnceAndSoIsEverySibling) {
    using Kids = std::vector<ProbeWidget*>;
    const struct {
        const char* what;
        size_t actor;
        std::function<void(WidgetContainer&, const Kids&)> move;
    } cases[] = {
        {"the visited child brought to front", 1, [](WidgetContainer& p, const Kids& k) { p.BringToFront(k[1]); }},
        {"the visited child raised and re-sorted", 0,
         [](WidgetContainer& p, const Kids& k) {
             k[0]->SetPriority(5);
             p.SortChildren();
         }},
        {"an earlier sibling put in front of a later one", 2,
         [](WidgetContainer& p, const Kids& k) { p.PutInFront(k[0], k[3]); }},
        {"a later sibling brought to back", 1, [](WidgetContainer& p, const Kids& k) { p.BringToBack(k[3]); }},
        {"a later sibling lowered and re-sorted", 1,
         [](WidgetContainer& p, const Kids& k) {
             k[3]->SetPriority(-1);
             p.SortChildren();
         }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        log.clear();
        auto* parent = new Widget;
        mgr.AddWidget(parent);
        const Kids kids{Add(*parent, "a"), Add(*parent, "b"), Add(*parent, "c"), Add(*parent, "d")};
        bool moved = false;
        kids[c.actor]->onUpdate = [&] {
            if (!moved) c.move(*parent, kids);
            moved = true;
        };
        mgr.UpdateFrame();
        ASSERT_TRUE(moved);
        for (const char* name : {"a:update", "b:update", "c:update", "d:update"})
            EXPECT_EQ(std::count(log.begin(), log.end(), name), 1) << name;
        parent->RemoveAllWidgets(true, false);
        parent->RemoveSelf();
        host.DeleteDeferred();
    }
}

// A container of one child is walked without the general walk's first step;
// whatever that child does to its siblings, the pass must go on as it would
// over several children.
TEST_F(LifecycleTest, ALoneChildChangingItsSiblingsDuringAnUpdateHandsOverToTheWholeWalk) {
    const struct {
        const char* what;
        std::function<void(WidgetContainer&, ProbeWidget&)> change;
        EventLog expected;
    } cases[] = {
        {"a sibling added after it", [&](WidgetContainer& p, ProbeWidget&) { Add(p, "b"); }, {"a:update", "b:update"}},
        // A sibling moved during the pass is still visited, after the rest.
        {"two siblings added, the first sent behind it",
         [&](WidgetContainer& p, ProbeWidget&) {
             p.BringToBack(Add(p, "b"));
             Add(p, "c");
         },
         {"a:update", "c:update", "b:update"}},
        {"replaced by a new sibling",
         [&](WidgetContainer& p, ProbeWidget& a) {
             Add(p, "b");
             a.RemoveSelf();
         },
         {"a:update", "b:update"}},
        {"nothing", [](WidgetContainer&, ProbeWidget&) {}, {"a:update"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        auto* parent = new Widget;
        mgr.AddWidget(parent);
        ProbeWidget* a = Add(*parent, "a");
        bool changed = false;
        a->onUpdate = [&] {
            if (!changed) c.change(*parent, *a);
            changed = true;
        };
        log.clear();
        mgr.UpdateFrame();
        EXPECT_EQ(log, c.expected);
        // The per-frame pass over the same children visits each once.
        log.clear();
        mgr.UpdateFractionFrame(0.5f);
        EXPECT_EQ(log.size(), parent->GetChildren().size());
        parent->RemoveAllWidgets(true, false);
        parent->RemoveSelf();
        host.DeleteDeferred();
    }
}

TEST_F(LifecycleTest, RemovingDuringDrawKeepsTheWalkValid) {
    ProbeWidget* a = Add(mgr, "a");
    ProbeWidget* b = Add(mgr, "b");
    Add(*a, "a1");
    a->onDraw = [b] { b->RemoveSelf(); };
    mgr.MarkAllDirty();
    EXPECT_TRUE(mgr.DrawScreen());
    EXPECT_EQ(log, (EventLog{"a:draw null", "a1:draw null"}));
}

TEST_F(LifecycleTest, RemoveSelfKeepLeavesTheTreeAndSurvives) {
    ProbeWidget* a = Add(mgr, "a");
    a->RemoveSelfKeep();
    EXPECT_TRUE(a->GetDeleteOnRemoval());
    EXPECT_TRUE(host.Deferred().empty());
    EXPECT_EQ(a->GetManager(), nullptr);
    mgr.AddWidget(a);
    EXPECT_EQ(a->GetManager(), &mgr);
}

TEST_F(LifecycleTest, AddingAgainBeforeDeferredDeletionKeepsTheWidget) {
    ProbeWidget* a = Add(mgr, "a");
    a->RemoveSelf();
    ASSERT_EQ(host.Deferred().size(), 1u);
    mgr.AddWidget(a);
    EXPECT_TRUE(host.Deferred().empty());
    host.DeleteDeferred();
    EXPECT_EQ(destroyed, 0);
}

TEST_F(LifecycleTest, DeletingAnAttachedWidgetTakesItOutOfTheTree) {
    ProbeWidget* a = Add(mgr, "a");
    ProbeWidget* child = Add(*a, "child");
    mgr.SetFocus(child);
    delete a;
    EXPECT_TRUE(mgr.GetChildren().empty());
    EXPECT_EQ(mgr.GetFocus(), nullptr);
    EXPECT_EQ(child->GetParent(), nullptr);
    EXPECT_EQ(host.Deferred(), std::vector<Widget*>{child});  // the parent's removal queues it
}

// A whole crowd leaves at once in linear time, in the order it came; one
// deleted by another's deletion is not deleted twice, and one queued by a
// deletion follows the rest.
TEST_F(LifecycleTest, ManyWidgetsLeaveInOrderAndEachIsDeletedOnce) {
    constexpr int kCrowd = 100000;
    std::vector<ProbeWidget*> crowd;
    for (int i = 0; i < kCrowd; ++i) crowd.push_back(Add(mgr, "w"));
    ProbeWidget* late = Add(mgr, "late");
    late->RemoveSelfKeep();
    crowd[10]->onDestroy = [&] { delete crowd[20]; };  // queued further on
    crowd[30]->onDestroy = [&] { host.DeferDelete(late); };
    mgr.RemoveAllWidgets(true, false);
    ASSERT_EQ(host.Deferred().size(), static_cast<size_t>(kCrowd));
    host.DeleteDeferred();
    EXPECT_EQ(destroyed, kCrowd + 1);
    EXPECT_TRUE(host.Deferred().empty());
}

TEST_F(LifecycleTest, WidgetIdsIncreaseAndAreNeverReused) {
    auto* first = new Widget;
    const int id = first->GetId();
    delete first;
    Widget second;
    EXPECT_EQ(second.GetId(), id + 1);
}

TEST(OrphanedWidgets, WithoutAHostRemovedWidgetsDieAfterTheOutermostPass) {
    ASSERT_EQ(Service<WidgetHost>::Installed(), nullptr);
    EventLog log;
    int destroyed = 0;
    WidgetManager mgr;
    auto* a = new ProbeWidget(&log, "a");
    auto* b = new ProbeWidget(&log, "b");
    a->destroyed = b->destroyed = &destroyed;
    mgr.AddWidget(a);
    mgr.AddWidget(b);
    a->onUpdate = [a] { a->RemoveSelf(); };
    int calls = 0;
    b->onUpdate = [&] {
        if (calls++ > 0) return;
        EXPECT_EQ(destroyed, 0);
        mgr.UpdateFrame();  // a nested loop: still too early
        EXPECT_EQ(destroyed, 0);
    };
    mgr.UpdateFrame();
    EXPECT_EQ(destroyed, 1);
}

// Removes itself from inside a callback and runs a nested update loop
// there, touching only what outlives it afterwards.
class NestingRemover : public Widget {
public:
    NestingRemover(WidgetManager& mgr, int* destroyed, int* destroyedInside)
        : mgr_(mgr), destroyed_(destroyed), destroyedInside_(destroyedInside) {
        Resize(0.0f, 0.0f, 10, 10);
        SetMouseVisible(true);
    }
    ~NestingRemover() override { ++*destroyed_; }
    void MouseDown(int, int, int) override { RemoveAndNest(); }
    void KeyDown(int) override { RemoveAndNest(); }
    void UpdateFraction(float) override { RemoveAndNest(); }

private:
    void RemoveAndNest() {
        WidgetManager& mgr = mgr_;
        int* destroyed = destroyed_;
        int* inside = destroyedInside_;
        RemoveSelf();
        mgr.UpdateFrame();
        *inside = *destroyed;
    }

    WidgetManager& mgr_;
    int* destroyed_;
    int* destroyedInside_;
};

TEST(OrphanedWidgets, WithoutAHostAWidgetRemovedInItsOwnCallbackOutlivesANestedUpdate) {
    ASSERT_EQ(Service<WidgetHost>::Installed(), nullptr);
    const struct {
        const char* entry;
        std::function<void(WidgetManager&, Widget*)> dispatch;
    } entries[] = {
        {"pointer press", [](WidgetManager& m, Widget*) { m.WindowMouseDown(5, 5, 1); }},
        {"key press",
         [](WidgetManager& m, Widget* w) {
             m.SetFocus(w);
             m.KeyDown(65);
         }},
        {"per-frame update", [](WidgetManager& m, Widget*) { m.UpdateFractionFrame(0.5f); }},
    };
    for (const auto& e : entries) {
        SCOPED_TRACE(e.entry);
        WidgetManager mgr;
        int destroyed = 0, destroyedInside = -1;
        auto* w = new NestingRemover(mgr, &destroyed, &destroyedInside);
        mgr.AddWidget(w);
        e.dispatch(mgr, w);
        EXPECT_EQ(destroyedInside, 0);
        mgr.UpdateFrame();
        EXPECT_EQ(destroyed, 1);
    }
}

class ScriptedWidget : public Widget, public ExtendedPropertyInterface {};

TEST_F(LifecycleTest, PropertyValueReadsNullOnceAScriptedWidgetIsDeleted) {
    auto* w = new ScriptedWidget;
    mgr.AddWidget(w);
    const PropertyValue ref = PropertyValue::FromWidget(w);
    EXPECT_EQ(ref.ToWidget<ScriptedWidget>(), w);
    EXPECT_EQ(ref.ToWidget<Widget>(), w);
    w->RemoveSelf();
    EXPECT_EQ(ref.ToWidget<ScriptedWidget>(), w);  // alive until the deferred deletion
    host.DeleteDeferred();
    EXPECT_EQ(ref.ToWidget<ScriptedWidget>(), nullptr);
    EXPECT_EQ(ref.ToPropertyInterface(), nullptr);
}

class RemovalRecorder : public RemovalListener {
public:
    void WidgetRemoved(int id) override { removed.push_back(id); }
    std::vector<int> removed;
};

TEST(RemovalLink, OneHolderAtATimeAndEitherSideMayGoFirst) {
    RemovalWidget part;
    auto first = std::make_unique<RemovalRecorder>();
    RemovalRecorder second;
    part.SetRemovalListener(first.get());
    part.SetRemovalListener(&second);
    EXPECT_FALSE(first->IsWatching(&part));
    EXPECT_TRUE(second.IsWatching(&part));
    part.SetRemovalListener(first.get());
    first.reset();  // holder first: the part forgets it
    EXPECT_EQ(part.GetRemovalListener(), nullptr);
    {
        RemovalWidget gone;
        gone.SetRemovalListener(&second);
    }  // part first: taken out of the set, WidgetRemoved not called
    EXPECT_EQ(second.CountWatched(), 0u);
    part.SetRemovalListener(&second);
    part.ReportRemoval(42);
    EXPECT_EQ(second.removed, std::vector<int>{42});
    EXPECT_EQ(second.CountWatched(), 0u);
}

TEST(AnimationLink, WatchingMovesTheAnimationAndDestructionUnhooks) {
    WatchedAnimation anim;
    auto a = std::make_unique<AnimationListener>();
    AnimationListener b;
    a->Watch(&anim);
    a->Watch(&anim);
    EXPECT_EQ(a->CountWatched(), 1u);
    b.Watch(&anim);
    EXPECT_FALSE(a->IsWatching(&anim));
    EXPECT_EQ(anim.GetAnimationListener(), &b);
    a->Watch(&anim);
    a.reset();
    EXPECT_EQ(anim.GetAnimationListener(), nullptr);
    {
        WatchedAnimation other;
        b.Watch(&other);
    }
    EXPECT_EQ(b.CountWatched(), 0u);
}

}  // namespace
