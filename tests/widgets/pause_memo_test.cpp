// The pause answers an update pass keeps: each widget updates exactly when
// its pause owner, asked afresh at that moment as the tree used to, says it
// is not paused, also when scripts change the answers in the middle of a
// pass (menus made active, pausable or not, opened and closed, the host's
// counter moved, widgets handed to another menu).
#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "tests/widgets/menu_test_support.h"
#include "widgets/screens/menu.h"

namespace {

using testsupport::MenuTest;

class PauseMemoTest : public MenuTest {
protected:
    // Asks the old way at each visit and checks that its own update agrees.
    class Probe : public Widget {
    public:
        explicit Probe(PauseMemoTest& test) : test_(test) {}

        // A change as the visit begins stands for what the widgets before
        // it did; one in its own update, for what a widget does to those
        // after it.
        void UpdateAll(PassFlags& flags) override {
            Visit([&] { Widget::UpdateAll(flags); });
        }
        void UpdateFractionAll(PassFlags& flags, float fraction) override {
            Visit([&] { Widget::UpdateFractionAll(flags, fraction); });
        }
        void Update() override {
            updated_ = true;
            test_.MaybeChange(*this);
        }
        void UpdateFraction(float) override {
            updated_ = true;
            test_.MaybeChange(*this);
        }

    private:
        template <class Pass>
        void Visit(Pass pass) {
            test_.MaybeChange(*this);
            expected_ = GetManager() != nullptr && !Reference();
            updated_ = false;
            pass();
            test_.Visited(expected_, updated_);
        }
        // The question as every widget asked it before the memo: its owner,
        // or the host's counter.
        bool Reference() const {
            const WidgetContainer* owner = GetPauseOwner();
            if (owner != nullptr && owner != this) return owner->IsPaused();
            return Service<WidgetHost>::Get().GetPauseCount() > 0;
        }

        PauseMemoTest& test_;
        bool expected_ = false;
        bool updated_ = false;
    };

    void Visited(bool expected, bool updated) {
        EXPECT_EQ(updated, expected) << "visit " << visits;
        ++visits;
        (expected ? running : paused) += 1;
    }

    // One change in four calls, of a kind drawn from the seeded generator.
    void MaybeChange(Probe& probe) {
        if (rng() % 4 != 0) return;
        Menu* menu = menusOpen[rng() % menusOpen.size()];
        switch (rng() % 6) {
            case 0: menu->SetPaused(!menu->IsActive()); break;
            case 1: menu->SetPausable(rng() % 2 == 0); break;
            case 2:
                // The host says so, as its contract asks.
                host.pauseCount = host.pauseCount > 0 ? 0 : 1;
                PauseAnswersChanged();
                break;
            case 3:
                if (probe.GetParent() != menu) menu->AddWidget(&probe);
                break;
            case 4: probe.SetPauseOwner(rng() % 2 == 0 ? menu : nullptr); break;
            default:
                if (spare->GetManager() != nullptr)
                    mgr.RemoveWidget(spare);
                else
                    mgr.AddWidget(spare);
                break;
        }
    }

    std::mt19937 rng{20261208};
    std::vector<Menu*> menusOpen;
    Menu* spare = nullptr;
    int visits = 0;
    int running = 0;
    int paused = 0;
};

TEST_F(PauseMemoTest, EveryWidgetUpdatesExactlyWhenItsOwnerSaysSoAtItsVisit) {
    menusOpen = {OpenMenu(), OpenMenu(), OpenMenu()};
    // A menu outside the register, taken out and put back by the probes.
    spare = new Menu(L"");
    spare->SetModal(false);
    spare->SetDeleteOnRemoval(false);
    menusOpen.push_back(spare);
    for (Menu* menu : menusOpen)
        for (int i = 0; i < 8; ++i) {
            auto* probe = new Probe(*this);
            menu->AddWidget(probe);
            probe->AddWidget(new Probe(*this));
        }
    for (int pass = 0; pass < 60; ++pass) {
        mgr.UpdateFrame();
        mgr.UpdateFractionFrame(1.0f);
    }
    // Both answers were met often, so the comparison means something.
    EXPECT_GT(running, 500);
    EXPECT_GT(paused, 500);
    if (spare->GetManager() != nullptr) mgr.RemoveWidget(spare);
    delete spare;
}

}  // namespace
