// Child order, pass flags, pausing, hit testing and coordinate mapping.

#include <gtest/gtest.h>

#include <map>
#include <memory>

#include "tests/rendering/device_test_support.h"
#include "widget_test_support.h"

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

}  // namespace
