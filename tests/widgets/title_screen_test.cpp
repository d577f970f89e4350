// The title screen: known to the application while it exists, never paused,
// and closed through the application so the intro assets can go.
#include <gtest/gtest.h>

#include "tests/widgets/startup_screens_test_support.h"
#include "tests/widgets/widget_test_support.h"
#include "widgets/screens/title_screen.h"

using namespace testsupport;

namespace {

class TitleHost : public NullStartupHost {
public:
    void SetTitleScreen(TitleScreen* screen) override { current = screen; }
    void TitleScreenDone() override { events.push_back("done"); }
    void TitleScreenGone(TitleScreen* screen) override {
        if (current == screen) current = nullptr;
        events.push_back("gone");
    }
    TitleScreen* current = nullptr;
    std::vector<std::string> events;

private:
    ScopedService<StartupHost> installed_{this};
};

class TitleScreenTest : public ManagerTest {
protected:
    TitleHost titles;
};

TEST_F(TitleScreenTest, IsTheCurrentTitleScreenUntilDestroyedAndCloseTellsTheApplicationFirst) {
    auto* title = new TitleScreen(nullptr);
    EXPECT_EQ(titles.current, title);
    EXPECT_EQ(title->GetWidth(), 800);
    mgr.AddWidget(title);
    title->Close();
    EXPECT_EQ(titles.events, std::vector<std::string>{"done"});
    EXPECT_EQ(title->GetParent(), nullptr);
    host.DeleteDeferred();
    EXPECT_EQ(titles.current, nullptr);
    EXPECT_EQ(titles.events, (std::vector<std::string>{"done", "gone"}));
}

TEST_F(TitleScreenTest, ANewerMenuDoesNotPauseIt) {
    auto* title = new TitleScreen(nullptr);
    mgr.AddWidget(title);
    auto* other = new Menu(nullptr, false, false);
    mgr.AddWidget(other);
    EXPECT_FALSE(title->IsActive());
    EXPECT_FALSE(title->IsPaused());
    EXPECT_TRUE(other->IsActive());
    mgr.RemoveWidget(other);
    mgr.RemoveWidget(title);
}

}  // namespace
