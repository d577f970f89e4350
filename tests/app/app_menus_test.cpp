// Menus through the application as a player meets them: shown through the
// register of open menus, a modal one shields what lies beneath from the
// mouse, typed characters reach the application's hidden words, the same id
// again replaces the open menu, and confirming the quit dialog ends the run.

#include <gtest/gtest.h>

#include "platform/window/messages.h"
#include "tests/app/app_services_support.h"
#include "widgets/screens/confirm_menu.h"
#include "widgets/screens/menu.h"
#include "widgets/screens/menu_host.h"
#include "widgets/tree/widget.h"

namespace {

namespace msg = plat::msg;
using testsupport::ScopedDataFolder;
using testsupport::ServicesApp;

class ClickCounter : public Widget {
public:
    ClickCounter() {
        Resize(0, 0, 640, 480);
        SetMouseVisible(true);
    }
    void MouseDown(int, int, int) override { ++clicks; }
    int clicks = 0;
};

class CountingMenu : public Menu {
public:
    explicit CountingMenu(int& deaths) : Menu(nullptr, false, false), deaths_(deaths) { Resize(0, 0, 100, 100); }
    ~CountingMenu() override { ++deaths_; }
    void MenuOpened() override { ++opened; }
    int opened = 0;

private:
    int& deaths_;
};

class TypedWords : public MenuStack {
public:
    void HandleTypedCommand(std::wstring_view text) override { words.emplace_back(text); }
    std::vector<std::wstring> words;
};

class MenuApp : public ServicesApp {
public:
    MenuStack& GetMenuStack() override { return stack; }
    void OnModalMenuAdded(Menu*) override { ++modalAdded; }
    void OnModalMenuRemoved(Menu*) override { ++modalRemoved; }
    void Click(int x, int y) {
        Feed(msg::kMouseMove, 0, plat::MakeLParam(x, y));
        Feed(msg::kLButtonDown, 1, plat::MakeLParam(x, y));
        Feed(msg::kLButtonUp, 0, plat::MakeLParam(x, y));
    }
    void Type(std::wstring_view text) {
        for (wchar_t c : text) Feed(msg::kChar, static_cast<plat::WParam>(c));
    }
    TypedWords stack;
    int modalAdded = 0;
    int modalRemoved = 0;
};

TEST(AppMenus, AModalMenuShieldsWhatLiesBeneathAndTheSameIdReplacesTheOpenOne) {
    ScopedDataFolder data;
    MenuApp app;
    app.Initialize();
    ASSERT_TRUE(app.IsInitialized());
    app.Feed(msg::kActivateApp, 1);
    auto* below = new ClickCounter;
    app.Widgets().AddWidget(below);
    app.Click(300, 300);
    ASSERT_EQ(below->clicks, 1);

    int deaths = 0;
    auto* dialog = new CountingMenu(deaths);
    const int id = dialog->GetId();
    ShowMenu(dialog);
    EXPECT_EQ(app.FindMenu(id), dialog);
    EXPECT_EQ(app.CountMenus(), 1);
    EXPECT_EQ(dialog->opened, 1);
    EXPECT_EQ(app.modalAdded, 1);
    EXPECT_EQ(app.Widgets().GetFocus(), dialog);
    app.Click(300, 300);
    EXPECT_EQ(below->clicks, 1);  // beneath the modal dialog

    app.Type(L"abcdefgh");
    app.Type(L"i");
    EXPECT_EQ(app.stack.words, (std::vector<std::wstring>{L"abcdefgh", L"bcdefghi"}));

    auto* replacement = new CountingMenu(deaths);
    app.AddMenuWithId(id, replacement);
    EXPECT_EQ(app.FindMenu(id), replacement);
    EXPECT_EQ(app.CountMenus(), 1);
    EXPECT_EQ(app.modalRemoved, 1);
    EXPECT_EQ(app.Widgets().CountModalLayers(), 1u);
    app.DeleteDue();
    EXPECT_EQ(deaths, 1);  // the old dialog is gone

    // Closing itself finds the id it was opened under, not its own.
    replacement->RemoveSelf();
    EXPECT_EQ(app.CountMenus(), 0);
    EXPECT_EQ(app.FindMenu(id), nullptr);
    EXPECT_EQ(app.Widgets().CountModalLayers(), 0u);
    EXPECT_FALSE(app.DetachMenu(id, true, true));
    app.DeleteDue();
    EXPECT_EQ(deaths, 2);
    app.Click(300, 300);
    EXPECT_EQ(below->clicks, 2);

    // Left open when the application ends: closed and freed with it.
    ShowMenu(new CountingMenu(deaths));
    app.Widgets().RemoveWidget(below);
    app.Shutdown();
}

TEST(AppMenus, ConfirmingTheQuitDialogEndsTheRun) {
    ScopedDataFolder data;
    MenuApp app;
    app.Initialize();
    auto* quit = new ConfirmQuitMenu;
    ShowMenu(quit);
    EXPECT_EQ(app.FindMenu(quit->GetId()), quit);
    EXPECT_FALSE(app.IsShuttingDown());
    quit->DoAction(L"ok", L"", 0);
    EXPECT_TRUE(app.IsShuttingDown());
}

}  // namespace
