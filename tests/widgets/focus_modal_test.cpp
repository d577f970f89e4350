// Keyboard focus, the key table, activation and modal layers.

#include <gtest/gtest.h>

#include "platform/window/virtual_keys.h"
#include "widget_test_support.h"

using namespace testsupport;

namespace {

using FocusTest = ManagerTest;

TEST_F(FocusTest, TabMovesFocusAlongNeighbours) {
    ProbeWidget* a = Add(mgr, "a", 0, 0, 10, 10);
    ProbeWidget* b = Add(mgr, "b", 20, 0, 10, 10);
    a->SetTabNeighbours(nullptr, b);
    b->SetTabNeighbours(a, nullptr);
    mgr.SetFocus(a);
    mgr.KeyDown(plat::vk::kTab);
    EXPECT_EQ(mgr.GetFocus(), b);
    mgr.KeyDown(plat::vk::kTab);  // no tab next: stays
    EXPECT_EQ(mgr.GetFocus(), b);
    mgr.KeyDown(plat::vk::kShift);
    mgr.KeyDown(plat::vk::kTab);
    EXPECT_EQ(mgr.GetFocus(), a);
    mgr.KeyDown(plat::vk::kTab);  // Shift held, no tab previous: stays
    EXPECT_EQ(mgr.GetFocus(), a);
    EXPECT_TRUE(a->HasFocus());
    EXPECT_FALSE(b->HasFocus());
}

TEST_F(FocusTest, PressGivesFocusOnlyToWidgetsThatWantIt) {
    ProbeWidget* plain = Add(mgr, "plain", 0, 0, 10, 10);
    ProbeWidget* field = Add(mgr, "field", 20, 0, 10, 10);
    field->SetWantsFocus(true);
    mgr.WindowMouseMove(25, 5);
    mgr.WindowMouseDown(25, 5, 1);
    mgr.WindowMouseUp(25, 5, 1);
    EXPECT_EQ(mgr.GetFocus(), field);
    mgr.WindowMouseMove(5, 5);
    mgr.WindowMouseDown(5, 5, 1);
    EXPECT_EQ(mgr.GetFocus(), field);
    EXPECT_TRUE(plain->IsDown());
}

TEST_F(FocusTest, DeactivationReleasesHeldKeysAndReactivationRestoresFocus) {
    ProbeWidget* a = Add(mgr, "a", 0, 0, 10, 10);
    mgr.SetFocus(a);
    mgr.KeyDown('A');
    mgr.KeyDown(plat::vk::kShift);
    mgr.KeyDown(300);  // beyond the table: delivered, not recorded
    Take();
    mgr.ApplicationDeactivated();
    EXPECT_EQ(Take(), (EventLog{"a:key_up 16", "a:key_up 65", "a:lost_focus"}));
    EXPECT_FALSE(mgr.IsKeyDown('A'));
    EXPECT_FALSE(mgr.IsKeyDown(300));
    mgr.SetFocus(nullptr);
    mgr.SetFocus(a);  // focus changes while inactive send no GotFocus
    EXPECT_EQ(Take(), (EventLog{"a:lost_focus"}));
    mgr.ApplicationActivated();
    EXPECT_EQ(Take(), (EventLog{"a:got_focus"}));
}

class ModalTest : public FocusTest {
protected:
    void SetUp() override {
        below = Add(mgr, "below", 0, 0, 100, 100);
        dialog = Add(mgr, "dialog", 200, 200, 100, 100);
        button = Add(*dialog, "button", 10, 10, 20, 20);
    }
    ProbeWidget* below = nullptr;
    ProbeWidget* dialog = nullptr;
    ProbeWidget* button = nullptr;
};

TEST_F(ModalTest, LayerBlocksMouseBeneathButStillUpdatesIt) {
    mgr.WindowMouseMove(50, 50);
    mgr.PushModalLayerDefault(dialog);
    mgr.WindowMouseMove(51, 51);
    mgr.WindowMouseDown(51, 51, 1);
    mgr.WindowMouseUp(51, 51, 1);
    mgr.WindowMouseMove(215, 215);
    mgr.WindowMouseDown(215, 215, 1);
    mgr.UpdateFrame();
    EXPECT_EQ(Take(), (EventLog{"below:enter", "below:move 50,50", "below:leave", "button:enter", "button:move 5,5",
                                "button:down 5,5 b0 n1", "below:update", "dialog:update", "button:update"}));
}

TEST_F(ModalTest, LayerTakesFocusFromBeneathAndPoppingRestoresIt) {
    ProbeWidget* menu = Add(mgr, "menu", 0, 0, 10, 10);
    mgr.PopModalLayer(nullptr);  // no layers: nothing
    mgr.PushModalLayerDefault(below);
    mgr.SetFocus(below);
    mgr.PushModalLayerDefault(menu);  // below comes before menu: loses focus
    EXPECT_EQ(mgr.GetFocus(), nullptr);
    mgr.PopModalLayer(menu);
    EXPECT_EQ(mgr.GetFocus(), below);
    EXPECT_EQ(mgr.GetModalWidget(), below);
    EXPECT_EQ(Take(), (EventLog{"below:got_focus", "below:lost_focus", "below:got_focus"}));
}

TEST_F(ModalTest, TheFocusedWidgetKeepsTheFocusWhenItsOwnLayerIsPushed) {
    ProbeWidget* menu = Add(mgr, "menu", 0, 0, 10, 10);
    mgr.SetFocus(menu);  // a menu takes the focus as it arrives, then becomes modal
    mgr.PushModalLayerDefault(menu);
    EXPECT_EQ(mgr.GetFocus(), menu);
    EXPECT_EQ(Take(), EventLog{"menu:got_focus"});
}

TEST_F(ModalTest, RemovingTheModalWidgetUnblocksEvenWithItsLayerStacked) {
    mgr.PushModalLayerDefault(dialog);
    dialog->RemoveSelf();
    EXPECT_EQ(mgr.GetModalWidget(), nullptr);
    EXPECT_EQ(mgr.CountModalLayers(), 1u);
    mgr.WindowMouseMove(50, 50);
    EXPECT_TRUE(below->IsOver());
}

TEST_F(ModalTest, PoppingOntoALayerWhoseWidgetWasDeletedDoesNotTouchIt) {
    ProbeWidget* top = Add(mgr, "top", 0, 0, 10, 10);
    mgr.PushModalLayerDefault(dialog);
    mgr.PushModalLayerDefault(top);
    dialog->RemoveSelf();
    host.DeleteDeferred();
    mgr.PopModalLayer(top);  // the dialog's layer is on top again, its widget gone
    EXPECT_EQ(mgr.GetModalWidget(), nullptr);
    mgr.PopModalLayer(dialog);
    EXPECT_EQ(mgr.CountModalLayers(), 0u);
}

TEST_F(ModalTest, LayerOfDetachedWidgetDeletedLaterIsNotTouchedWhenPoppedOnto) {
    auto* loose = new ProbeWidget(&log, "loose");  // never in the tree
    mgr.PushModalLayerDefault(loose);
    mgr.PushModalLayerDefault(dialog);
    delete loose;
    mgr.PopModalLayer(dialog);
    EXPECT_EQ(mgr.GetModalWidget(), nullptr);
    mgr.WindowMouseMove(50, 50);
    EXPECT_TRUE(below->IsOver());
}

TEST_F(ModalTest, LayerPushedBeforeItsWidgetJoinsTheTreeStillBlocks) {
    auto* late = new ProbeWidget(&log, "late", 200, 0, 50, 50);
    mgr.PushModalLayerDefault(late);
    mgr.AddWidget(late);
    mgr.PushModalLayerDefault(dialog);
    mgr.PopModalLayer(dialog);
    EXPECT_EQ(mgr.GetModalWidget(), late);
    mgr.WindowMouseMove(50, 50);
    EXPECT_FALSE(below->IsOver());
}

}  // namespace
