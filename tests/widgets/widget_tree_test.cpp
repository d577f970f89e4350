// Child order, pass flags, pausing, hit testing and coordinate mapping.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <functional>
#include <list>
#include <map>
#include <memory>
#include <random>
#include <vector>

#include "tests/rendering/device_test_support.h"
#include "widget_test_support.h"
#include "widgets/tree/child_array.h"

using namespace testsupport;

namespace {

// A started software device whose view transform the test chooses, under an
// identity projection: the device's view-projection is that matrix.
class ProjectingDevice {
public:
    ProjectingDevice(DeviceHost* host, const plat::Matrix& view) {
        plat::GraphicsSystem::SetConfigForTesting(testsupport::OneAdapter());
        d3d_ = std::make_unique<D3DInterface>(host);
        started = d3d_->Init(nullptr, true, false) == RESULT_OK;
        if (!started) return;
        const plat::Matrix identity;
        d3d_->GetDevice()->SetTransform(plat::TransformState::View, &view);
        d3d_->GetDevice()->SetTransform(plat::TransformState::Projection, &identity);
    }
    ~ProjectingDevice() {
        d3d_.reset();
        plat::GraphicsSystem::SetConfigForTesting(std::nullopt);
    }

    bool started = false;

private:
    std::unique_ptr<D3DInterface> d3d_;
};

class TreeTest : public ::testing::Test {
protected:
    ProbeWidget* Add(WidgetContainer& parent, const char* name, int priority = 0, float x = 0, float y = 0, int w = 0,
                     int h = 0) {
        auto* p = new ProbeWidget(&log, name, x, y, w, h);
        p->SetPriority(priority);
        parent.AddWidget(p);
        return p;
    }
    std::string Order(const WidgetContainer& c) {
        std::string out;
        for (const Widget* w : c.GetChildren()) out += names.at(w->GetId());
        return out;
    }
    ProbeWidget* Named(WidgetContainer& parent, char name, int priority) {
        ProbeWidget* p = Add(parent, std::string(1, name).c_str(), priority);
        names[p->GetId()] = name;
        return p;
    }

    EventLog log;
    std::map<int, char> names;
    FakeHost host;
    WidgetManager mgr;
};

TEST_F(TreeTest, ChildrenStayOrderedByPriorityWithTheInsertionHints) {
    ProbeWidget* a = Named(mgr, 'a', 0);
    Named(mgr, 'b', 0);
    ProbeWidget* c = Named(mgr, 'c', 0);
    Named(mgr, 'm', -1);
    EXPECT_EQ(Order(mgr), "mabc");
    ProbeWidget* f = Named(mgr, 'f', 5);
    mgr.BringToBack(c);
    EXPECT_EQ(Order(mgr), "mcabf");
    mgr.BringToFront(c);
    EXPECT_EQ(Order(mgr), "mabcf");
    mgr.PutInFront(a, f);  // f is higher: a goes after the last sibling not above it
    EXPECT_EQ(Order(mgr), "mbcaf");
    mgr.PutBehind(a, c);
    EXPECT_EQ(Order(mgr), "mbacf");
    f->SetPriority(-5);
    mgr.SortChildren();
    EXPECT_EQ(Order(mgr), "fmbac");
}

TEST_F(TreeTest, WidgetCannotJoinItsOwnSubtreeButMovesBetweenParents) {
    ProbeWidget* outer = Add(mgr, "outer");
    ProbeWidget* inner = Add(*outer, "inner");
    ProbeWidget* leaf = Add(*inner, "leaf");
    inner->AddWidget(outer);
    leaf->AddWidget(inner);
    outer->AddWidget(outer);
    EXPECT_EQ(outer->GetParent(), &mgr);
    EXPECT_EQ(inner->GetParent(), outer);
    EXPECT_EQ(leaf->GetParent(), inner);
    mgr.AddWidget(leaf);  // a move: leaves inner, is not queued for deletion
    EXPECT_TRUE(inner->GetChildren().empty());
    EXPECT_EQ(leaf->GetParent(), &mgr);
    EXPECT_TRUE(host.Deferred().empty());
}

TEST_F(TreeTest, MasksAndPauseDecideWhoUpdates) {
    ProbeWidget* quiet = Add(mgr, "quiet");
    quiet->SetFlagMasks(0, pass_flag::kUpdate);
    Add(*quiet, "inherits");
    ProbeWidget* loud = Add(*quiet, "adds");
    loud->SetFlagMasks(pass_flag::kUpdate, 0);
    ProbeWidget* menu = Add(mgr, "menu");
    menu->SetPauseOwner(menu);
    Add(*menu, "owned");
    mgr.UpdateFrame();
    mgr.UpdateFractionFrame(0.25f);
    EXPECT_EQ(log, (EventLog{"adds:update", "menu:update", "owned:update", "adds:fraction 25", "menu:fraction 25",
                             "owned:fraction 25"}));
    log.clear();
    host.pauseCount = 1;
    mgr.UpdateFrame();
    mgr.UpdateFractionFrame(0.5f);
    EXPECT_TRUE(log.empty());
}

TEST_F(TreeTest, HitTestPrefersDescendantsAndRespectsVisibilityAndClipping) {
    ProbeWidget* panel = Add(mgr, "panel", 0, 100, 100, 50, 50);
    ProbeWidget* child = Add(*panel, "child", 0, 40, 40, 30, 30);  // reaches past the panel
    float lx = 0, ly = 0;
    EXPECT_EQ(mgr.FindWidgetAtPoint(145, 145, &lx, &ly), child);
    EXPECT_EQ(lx, 5.0f);
    EXPECT_EQ(mgr.FindWidgetAtPoint(165, 165, nullptr, nullptr), child);
    EXPECT_EQ(mgr.FindWidgetAtPoint(110, 110, nullptr, nullptr), panel);
    panel->SetClipChildren(true);
    EXPECT_EQ(mgr.FindWidgetAtPoint(165, 165, nullptr, nullptr), nullptr);
    panel->SetVisible(false);
    EXPECT_EQ(mgr.FindWidgetAtPoint(145, 145, nullptr, nullptr), nullptr);
    EXPECT_EQ(mgr.FindWidgetAtPoint(110, 110, nullptr, nullptr), nullptr);
}

TEST_F(TreeTest, NestedAdditionsRecheckThePointerOnce) {
    ProbeWidget* counter = Add(mgr, "counter", 0, 0, 0, 50, 50);
    mgr.WindowMouseMove(10, 10);
    auto* root = new ProbeWidget(&log, "root", 500, 500, 10, 10);
    for (int i = 0; i < 9; ++i) {
        auto* w = new ProbeWidget(&log, "sub", 0, 0, 5, 5);
        w->onAdded = [w, this] { w->AddWidget(new ProbeWidget(&log, "late", 0, 0, 1, 1)); };
        root->AddWidget(w);
    }
    counter->hitTests = 0;
    mgr.AddWidget(root);
    EXPECT_EQ(counter->hitTests, 1);
    EXPECT_EQ(root->GetChildren().front()->GetChildren().size(), 1u);
}

TEST_F(TreeTest, ScreenMappingProjectsOnlyPointsOffTheFlatPlane) {
    // Row-vector matrix: x and y scaled, w' = z.
    ProjectingDevice device(&host.screen, {{{0.01f, 0, 0, 0}, {0, 0.02f, 0, 0}, {0, 0, 1, 1}, {0, 0, 0, 0}}});
    ASSERT_TRUE(device.started);
    ProbeWidget* w = Add(mgr, "w", 0, 5, 5);
    const FRect flat = w->MapRectToScreen({5, 15, 1.00005f, 1});
    EXPECT_FLOAT_EQ(flat.x, 10);
    EXPECT_FLOAT_EQ(flat.y, 20);
    const FRect deep = w->MapRectToScreen({5, 15, 1.5f, 1});
    EXPECT_NEAR(deep.x, 400 * (1 + 0.01 * 10 / 1.5), 1e-3);
    EXPECT_NEAR(deep.y, 300 * (1 + 0.02 * 20 / 1.5), 1e-3);
    const LocalPoint back = mgr.ScreenToLocal(w, 10, 20);
    EXPECT_FLOAT_EQ(back.x, 5);
}

TEST_F(TreeTest, TreeOrderIsPreOrder) {
    ProbeWidget* a = Add(mgr, "a");
    ProbeWidget* a1 = Add(*a, "a1");
    ProbeWidget* b = Add(mgr, "b");
    Widget stranger;
    EXPECT_TRUE(WidgetContainer::ComesBefore(&mgr, a, a1));
    EXPECT_TRUE(WidgetContainer::ComesBefore(&mgr, a1, b));
    EXPECT_FALSE(WidgetContainer::ComesBefore(&mgr, b, a1));
    EXPECT_FALSE(WidgetContainer::ComesBefore(&mgr, &stranger, b));
    EXPECT_FALSE(WidgetContainer::ComesBefore(&mgr, &stranger, nullptr));
}

TEST(ClickCodes, TranslateToButtonAndCount) {
    EventLog log;
    ProbeWidget w(&log, "w");
    w.MouseDown(1, 2, 0);
    w.MouseUp(1, 2, 0);
    w.MouseDown(1, 2, -2);
    w.MouseDown(1, 2, 2);
    EXPECT_EQ(log, (EventLog{"w:down 1,2 b2 n1", "w:up 1,2 b2 n1", "w:down 1,2 b1 n2", "w:down 1,2 b0 n2"}));
}

// The order the children's sort gave as the list's own stable sort, kept
// here as the reference the faster sort must match.
std::vector<const Widget*> ReferenceSorted(const WidgetContainer& c) {
    std::list<const Widget*> copy(c.GetChildren().begin(), c.GetChildren().end());
    copy.sort([](const Widget* a, const Widget* b) { return a->GetPriority() < b->GetPriority(); });
    return {copy.begin(), copy.end()};
}

// Random priorities from a narrow range, so ties abound, over a list that
// earlier sorts, insertions and removals left in any order.
TEST_F(TreeTest, SortMatchesTheStableListSortOnRandomPriorities) {
    std::mt19937 rng(4357);
    std::vector<ProbeWidget*> kids;
    size_t moved = 0;
    for (int round = 0; round < 300; ++round) {
        if (kids.size() < 60 && rng() % 3 != 0) kids.push_back(Add(mgr, "kid", static_cast<int>(rng() % 7) - 3));
        if (!kids.empty() && rng() % 5 == 0) {
            const size_t gone = rng() % kids.size();
            mgr.RemoveWidget(kids[gone]);
            kids.erase(kids.begin() + static_cast<std::ptrdiff_t>(gone));
        }
        for (ProbeWidget* kid : kids)
            if (rng() % 4 == 0) kid->SetPriority(static_cast<int>(rng() % 7) - 3);
        const std::vector<const Widget*> before(mgr.GetChildren().begin(), mgr.GetChildren().end());
        const std::vector<const Widget*> expected = ReferenceSorted(mgr);
        mgr.SortChildren();
        const std::vector<const Widget*> actual(mgr.GetChildren().begin(), mgr.GetChildren().end());
        ASSERT_EQ(actual, expected) << "round " << round;
        moved += before != actual;
    }
    EXPECT_GT(moved, 100u);  // the rounds did reorder the list
    // Positions stored before the sorts still name their children: each
    // removal takes exactly its own.
    while (!kids.empty()) {
        mgr.RemoveWidget(kids.back());
        kids.pop_back();
        ASSERT_EQ(mgr.GetChildren().size(), kids.size());
    }
}

// Children re-prioritise their siblings at random and re-sort while the
// update walks them: every child still updates exactly once.
TEST_F(TreeTest, RandomResortsDuringAWalkVisitEveryChildOnce) {
    static constexpr const char* kNames[] = {"a", "b", "c", "d", "e", "f", "g", "h", "i", "j", "k", "l"};
    static constexpr const char* kUpdates[] = {"a:update", "b:update", "c:update", "d:update", "e:update", "f:update",
                                               "g:update", "h:update", "i:update", "j:update", "k:update", "l:update"};
    std::mt19937 rng(71);
    for (int round = 0; round < 40; ++round) {
        SCOPED_TRACE(round);
        auto* parent = new Widget;
        mgr.AddWidget(parent);
        std::vector<ProbeWidget*> kids;
        for (int i = 0; i < 12; ++i) kids.push_back(Add(*parent, kNames[i], i % 3));
        for (ProbeWidget* kid : kids)
            kid->onUpdate = [&, kid] {
                for (ProbeWidget* other : kids)
                    if (other != kid && rng() % 3 == 0) other->SetPriority(static_cast<int>(rng() % 5));
                parent->SortChildren();
            };
        log.clear();
        mgr.UpdateFrame();
        for (const char* update : kUpdates) EXPECT_EQ(std::count(log.begin(), log.end(), update), 1) << update;
        EXPECT_EQ(std::vector<const Widget*>(parent->GetChildren().begin(), parent->GetChildren().end()),
                  ReferenceSorted(*parent));
        parent->RemoveAllWidgets(true, false);
        parent->RemoveSelf();
        host.DeleteDeferred();
    }
}

// The children's places as the linked list that held them gave them, kept
// here as the reference the array must match: a widget goes after the last
// sibling not above it, searched from the hint the operation names.
class ListOrder {
public:
    using List = std::list<const Widget*>;
    void Add(const Widget* w) { kids_.insert(Place(kids_.end(), w->GetPriority()), w); }
    void Remove(const Widget* w) { kids_.remove(w); }
    // where: 0 front, 1 back, 2 behind other, 3 in front of other.
    void Move(const Widget* w, int where, const Widget* other) {
        kids_.remove(w);
        auto at = where == 0 ? kids_.begin() : kids_.end();
        if (where >= 2) at = std::next(std::find(kids_.begin(), kids_.end(), other), where - 2);
        kids_.insert(Place(at, w->GetPriority()), w);
    }
    void Sort() {
        kids_.sort([](const Widget* a, const Widget* b) { return a->GetPriority() < b->GetPriority(); });
    }
    std::vector<const Widget*> Kids() const { return {kids_.begin(), kids_.end()}; }

private:
    List::iterator Place(List::iterator e, int priority) {
        auto nearestNotAbove = [&](List::iterator from) {
            while (from != kids_.begin())
                if ((*--from)->GetPriority() <= priority) return std::next(from);
            return kids_.begin();
        };
        while (e != kids_.end() && (*e)->GetPriority() < priority) ++e;
        if (e == kids_.end()) return nearestNotAbove(e);
        return e == kids_.begin() || (*e)->GetPriority() == priority ? e : nearestNotAbove(e);
    }
    List kids_;
};

// Random additions, removals, moves and re-sorts, between passes and from
// inside the children's own updates: the order is the list's, and a child
// that stays through a pass updates once in it.
TEST_F(TreeTest, ChildOrderAndWalksMatchTheLinkedListAtRandom) {
    std::mt19937 rng(2029);
    auto* parent = new Widget;
    mgr.AddWidget(parent);
    ListOrder model;
    std::vector<ProbeWidget*> kids;
    std::map<const Widget*, int> updates;
    std::function<void()> randomOp = [&] {
        const unsigned op = kids.size() < 3 ? 0 : rng() % 6;
        ProbeWidget* kid = kids.empty() ? nullptr : kids[rng() % kids.size()];
        ProbeWidget* other = kids.empty() ? nullptr : kids[rng() % kids.size()];
        if (op == 0 && kids.size() < 40) {
            auto* made = Add(*parent, "kid", static_cast<int>(rng() % 5) - 2);
            made->onUpdate = [&, made] {
                ++updates[made];
                if (rng() % 2 == 0) randomOp();
            };
            kids.push_back(made);
            model.Add(made);
        } else if (op == 1) {
            kids.erase(std::find(kids.begin(), kids.end(), kid));
            parent->RemoveWidget(kid);
            model.Remove(kid);
            updates.erase(kid);
        } else if (op == 2 || op == 3) {
            op == 2 ? parent->BringToBack(kid) : parent->BringToFront(kid);
            model.Move(kid, op == 2 ? 0 : 1, nullptr);
        } else if (op == 4 && kid != other) {
            const bool behind = rng() % 2 == 0;
            behind ? parent->PutBehind(kid, other) : parent->PutInFront(kid, other);
            model.Move(kid, behind ? 2 : 3, other);
        } else if (op == 5) {
            kid->SetPriority(static_cast<int>(rng() % 5) - 2);
            parent->SortChildren();
            model.Sort();
        }
    };
    for (int round = 0; round < 150; ++round) {
        SCOPED_TRACE(round);
        for (int i = 0; i < 4; ++i) randomOp();
        ASSERT_EQ(std::vector<const Widget*>(parent->GetChildren().begin(), parent->GetChildren().end()), model.Kids());
        const std::vector<ProbeWidget*> before = kids;
        updates.clear();
        mgr.UpdateFrame();
        ASSERT_EQ(std::vector<const Widget*>(parent->GetChildren().begin(), parent->GetChildren().end()), model.Kids());
        for (ProbeWidget* kid : before)
            if (std::find(kids.begin(), kids.end(), kid) != kids.end()) {
                EXPECT_EQ(updates[kid], 1);
            }
        host.DeleteDeferred();
    }
}

// The array keeps its order while it grows from the word the lone child
// shares with the block to blocks of its own, and names a lone child only
// while that child is held in place.
TEST_F(TreeTest, ChildArrayKeepsOrderThroughGrowthAndNamesOnlyAChildHeldInPlace) {
    std::vector<std::unique_ptr<Widget>> made;
    for (int i = 0; i < 10; ++i) made.push_back(std::make_unique<Widget>());
    ChildArray array;
    std::vector<Widget*> model;
    EXPECT_EQ(array.Lone(), nullptr);
    // Front, back and middle in turn, through the capacities 1, 4, 8 and 16.
    for (size_t i = 0; i < made.size(); ++i) {
        const size_t at = i % 3 == 0 ? 0 : i % 3 == 1 ? model.size() : model.size() / 2;
        array.Insert(at, made[i].get());
        model.insert(model.begin() + static_cast<std::ptrdiff_t>(at), made[i].get());
        ASSERT_EQ(std::vector<Widget*>(array.begin(), array.end()), model);
        EXPECT_EQ(array.Lone(), model.size() == 1 ? model.front() : nullptr);
    }
    while (array.size() > 1) {
        array.Erase(1);
        model.erase(model.begin() + 1);
        ASSERT_EQ(std::vector<Widget*>(array.begin(), array.end()), model);
    }
    // One child left in a block of its own is not held in place.
    EXPECT_EQ(array.Lone(), nullptr);
    EXPECT_EQ(array.IndexOf(model.front(), 3), 0u);
}

}  // namespace
