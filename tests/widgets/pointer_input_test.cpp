// The player's mouse, through the manager's window-level entry points.

#include <gtest/gtest.h>

#include <random>

#include "widget_test_support.h"
#include "widgets/tree/click_listener.h"

using namespace testsupport;

namespace {

using PointerTest = ManagerTest;

TEST_F(PointerTest, PressDragOutAndBackThenRelease) {
    Add(mgr, "b", 100, 100, 50, 20);
    mgr.WindowMouseMove(110, 105);
    mgr.WindowMouseDown(110, 105, 1);
    mgr.WindowMouseMove(300, 300);
    mgr.WindowMouseMove(120, 110);
    mgr.WindowMouseUp(120, 110, 1);
    EXPECT_EQ(Take(), (EventLog{"b:enter", "b:move 10,5", "b:down 10,5 b0 n1", "b:drag 200,200", "b:leave",
                                "b:drag 20,10", "b:enter", "b:up 20,10 b0 n1"}));
    EXPECT_EQ(mgr.GetPointer(0)->capture, nullptr);
}

TEST_F(PointerTest, ReleaseElsewhereEntersTheWidgetUnderThePointer) {
    Add(mgr, "b", 100, 100, 50, 20);
    Add(mgr, "c", 300, 300, 50, 50);
    mgr.WindowMouseMove(110, 105);
    mgr.WindowMouseDown(110, 105, 1);
    mgr.WindowMouseMove(310, 310);  // c is not entered while b holds the pointer
    mgr.WindowMouseUp(310, 310, 1);
    EXPECT_EQ(Take(), (EventLog{"b:enter", "b:move 10,5", "b:down 10,5 b0 n1", "b:drag 210,210", "b:leave",
                                "b:up 210,210 b0 n1", "c:enter", "c:move 10,10"}));
}

TEST_F(PointerTest, PressOnEmptySpaceEntersNothingUntilTheRelease) {
    Add(mgr, "b", 100, 100, 50, 20);
    mgr.WindowMouseMove(110, 105);
    mgr.WindowMouseMove(10, 10);
    mgr.WindowMouseDown(10, 10, 1);
    Take();
    mgr.WindowMouseMove(120, 110);
    EXPECT_TRUE(Take().empty());
    mgr.WindowMouseUp(120, 110, 1);
    EXPECT_EQ(Take(), (EventLog{"b:enter", "b:move 20,10"}));
}

TEST_F(PointerTest, LeftButtonOnlyIgnoresOtherButtons) {
    mgr.SetLeftButtonOnly(true);
    Add(mgr, "b", 0, 0, 50, 50);
    mgr.WindowMouseMove(10, 10);
    Take();
    mgr.WindowMouseDown(10, 10, -1);
    mgr.WindowMouseDown(10, 10, 0);
    mgr.WindowMouseUp(10, 10, -1);
    EXPECT_TRUE(Take().empty());
    EXPECT_EQ(mgr.GetPointer(0)->rawButtons, 0u);
    EXPECT_EQ(mgr.GetPointer(0)->heldButtons, 0u);
}

TEST_F(PointerTest, DisabledWidgetSwallowsTheHitUntilReEnabledUnderAStillPointer) {
    Add(mgr, "a", 0, 0, 100, 100);
    ProbeWidget* d = Add(mgr, "d", 50, 50, 100, 100);
    mgr.WindowMouseMove(10, 10);  // binds the mouse to its pointer record
    d->SetDisabled(true);
    Take();
    mgr.WindowMouseMove(75, 75);
    EXPECT_EQ(Take(), (EventLog{"a:leave"}));
    EXPECT_EQ(mgr.FindWidgetAtPoint(75, 75, nullptr, nullptr), nullptr);
    d->SetDisabled(false);
    EXPECT_EQ(Take(), (EventLog{"d:enter", "d:move 25,25"}));
}

TEST_F(PointerTest, HidingOrRemovingTheWidgetUnderThePointerLeavesIt) {
    ProbeWidget* b = Add(mgr, "b", 0, 0, 50, 50);
    ProbeWidget* c = Add(mgr, "c", 100, 0, 50, 50);
    mgr.WindowMouseMove(10, 10);
    b->SetVisible(false);
    mgr.WindowMouseMove(110, 10);
    c->RemoveSelf();
    EXPECT_EQ(Take(), (EventLog{"b:enter", "b:move 10,10", "b:leave", "c:enter", "c:move 10,10", "c:leave"}));
    EXPECT_EQ(mgr.GetPointer(0)->over, nullptr);
}

TEST_F(PointerTest, WheelGivesWholeNotchesToTheWidgetUnderThePointer) {
    Add(mgr, "b", 0, 0, 50, 50);
    mgr.WindowMouseMove(10, 10);
    Take();
    mgr.WindowMouseWheel(-240);
    mgr.WindowMouseWheel(60);
    EXPECT_EQ(Take(), (EventLog{"b:wheel -2", "b:wheel 0"}));
}

TEST_F(PointerTest, SecondPressGoesToCaptureInItsOwnCoordinatesAndEntersNothing) {
    Add(mgr, "a", 100, 100, 50, 50);
    Add(mgr, "b", 300, 300, 50, 50);
    mgr.WindowMouseMove(110, 120);
    mgr.WindowMouseDown(110, 120, 1);
    mgr.WindowMouseMove(310, 330);
    Take();
    mgr.WindowMouseDown(310, 330, -1);
    mgr.WindowMouseUp(310, 330, -1);
    EXPECT_EQ(Take(), (EventLog{"a:down 210,230 b1 n1", "a:up 210,230 b1 n1"}));
    mgr.WindowMouseUp(310, 330, 1);
    EXPECT_EQ(Take(), (EventLog{"a:up 210,230 b0 n1", "b:enter", "b:move 10,30"}));
}

TEST_F(PointerTest, RemovingTheCaptureMidDragReleasesItOnce) {
    ProbeWidget* b = Add(mgr, "b", 0, 0, 50, 50);
    b->onDrag = [b] { b->RemoveSelf(); };
    mgr.WindowMouseMove(10, 10);
    mgr.WindowMouseDown(10, 10, 1);
    mgr.WindowMouseMove(20, 20);
    mgr.WindowMouseUp(20, 20, 1);
    mgr.WindowMouseMove(30, 30);
    EXPECT_EQ(Take(), (EventLog{"b:enter", "b:move 10,10", "b:down 10,10 b0 n1", "b:drag 20,20", "b:leave",
                                "b:up 20,20 b0 n1"}));
    EXPECT_EQ(host.Deferred(), std::vector<Widget*>{b});
}

TEST_F(PointerTest, HandCursorFollowsEnterAndLeaveUnlessHidden) {
    ProbeWidget* b = Add(mgr, "b", 0, 0, 50, 50);
    b->SetHandCursor(true);
    mgr.WindowMouseMove(10, 10);
    EXPECT_EQ(host.cursor, 1);
    mgr.WindowMouseMove(100, 100);
    EXPECT_EQ(host.cursor, 0);
    mgr.WindowMouseMove(10, 10);
    host.cursor = 11;
    mgr.WindowMouseMove(100, 100);
    EXPECT_EQ(host.cursor, 11);
}

class RecordingClickListener : public ClickListener {
public:
    RecordingClickListener(EventLog* log, WidgetManager* mgr) : log_(log), mgr_(mgr) {}
    void ClickStarted() override { log_->push_back("started"); }
    void Clicked() override {
        log_->push_back("clicked");
        mgr_->RemoveClickListener(this);
    }

private:
    EventLog* log_;
    WidgetManager* mgr_;
};

TEST_F(PointerTest, ClickListenersBracketThePressAndMayUnregisterThemselves) {
    Add(mgr, "b", 0, 0, 50, 50);
    RecordingClickListener listener(&log, &mgr);
    mgr.AddClickListener(&listener);
    mgr.AddClickListener(&listener);
    mgr.WindowMouseMove(10, 10);
    Take();
    mgr.WindowMouseDown(10, 10, 1);
    mgr.WindowMouseUp(10, 10, 1);
    mgr.WindowMouseDown(10, 10, 2);
    EXPECT_EQ(Take(), (EventLog{"started", "b:down 10,10 b0 n1", "clicked", "b:up 10,10 b0 n1", "b:down 10,10 b0 n2"}));
}

TEST_F(PointerTest, WindowPixelsMapToTheLogicalScreen) {
    mgr.SetScreenLayout({80, 0, 800, 600}, {10, 20, 400, 300});
    EXPECT_EQ(mgr.GetWidth(), 960);
    EXPECT_EQ(mgr.GetHeight(), 600);
    int x = 210, y = 170;
    mgr.MapWindowToScreen(x, y);
    EXPECT_EQ(x, (210 - 10) * 800 / 400 + 80);
    EXPECT_EQ(y, (170 - 20) * 600 / 300);
    Add(mgr, "b", 470, 290, 20, 20);
    mgr.WindowMouseMove(210, 170);
    EXPECT_EQ(Take(), (EventLog{"b:enter", "b:move 10,10"}));
    EXPECT_EQ(mgr.GetPointerPosition(0).x, 480);
}

TEST_F(PointerTest, ModalLayerReleasesANestedCaptureInItsOwnCoordinates) {
    ProbeWidget* panel = Add(mgr, "panel", 100, 100, 200, 200);
    panel->SetMouseVisible(false);
    Add(*panel, "c", 10, 10, 50, 50);
    ProbeWidget* dialog = Add(mgr, "dialog", 400, 400, 50, 50);
    mgr.WindowMouseMove(120, 125);
    mgr.WindowMouseDown(120, 125, 1);
    Take();
    mgr.PushModalLayerDefault(dialog);
    EXPECT_EQ(Take(), (EventLog{"c:leave", "c:up 10,15 b0 n1"}));
}

TEST_F(PointerTest, MovesAroundAStillPointerEnterAndLeaveAsAFullHitTestAfterEachMove) {
    // Items in a shifted field over a ground, some hidden, some with a child
    // hanging outside; an empty widget on top counts the walks of the tree.
    Add(mgr, "ground", 0, 0, 400, 400);
    ProbeWidget* field = Add(mgr, "field", 20, 30, 300, 300);
    field->SetMouseVisible(false);
    std::vector<ProbeWidget*> items;
    std::mt19937 random(57u);
    auto coord = [&random] { return static_cast<float>(std::uniform_int_distribution<int>(0, 120)(random)); };
    for (int i = 0; i < 12; ++i) {
        ProbeWidget* item = Add(*field, ("i" + std::to_string(i)).c_str(), coord(), coord(), 10 + i * 3, 12);
        if (i % 4 == 1) Add(*item, ("c" + std::to_string(i)).c_str(), -15, 20, 8, 8);
        if (i % 5 == 3) item->SetVisible(false);
        items.push_back(item);
    }
    ProbeWidget* top = Add(mgr, "top", 0, 0, 0, 0);
    constexpr int kX = 80, kY = 95;
    mgr.WindowMouseMove(kX, kY);
    Widget* over = mgr.GetPointer(0)->over;
    Take();
    int walks = 0;
    for (int move = 0; move < 600; ++move) {
        ProbeWidget* item = items[random() % items.size()];
        top->hitTests = 0;
        if (move % 7 == 0)
            item->Resize(item->GetX(), item->GetY(), 5 + static_cast<int>(random() % 40), item->GetHeight());
        else
            item->Move(coord(), coord());
        walks += top->hitTests;
        Widget* hit = mgr.FindWidgetAtPoint(kX, kY, nullptr, nullptr);
        EventLog expected;
        if (hit != over) {
            if (over) expected.push_back(static_cast<ProbeWidget*>(over)->Name() + ":leave");
            if (hit) expected.push_back(static_cast<ProbeWidget*>(hit)->Name() + ":enter");
        }
        EventLog seen = Take();
        std::erase_if(seen, [](const std::string& e) { return e.find(":move") != std::string::npos; });
        ASSERT_EQ(seen, expected) << "move " << move;
        ASSERT_EQ(mgr.GetPointer(0)->over, hit) << "move " << move;
        over = hit;
    }
    // Most moves kept clear of the pointer, and walked nothing.
    EXPECT_LT(walks, 300);
}

}  // namespace
