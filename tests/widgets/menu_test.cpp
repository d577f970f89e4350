// Menus through the widget manager as the player meets them: the menu focus
// passing between open menus, pausing what lies beneath, typed words,
// looping menu sounds, the pause counter and the centring rule.
#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "foundation/expression/constants_map.h"
#include "rendering/image/image_surface.h"
#include "tests/widgets/menu_test_support.h"
#include "widgets/controls/button_widget.h"
#include "widgets/screens/menu_stack.h"
#include "widgets/screens/transition.h"

namespace {

using testsupport::MenuTest;

TEST_F(MenuTest, ASecondMenuPausesTheFirstUntilItClosesAndFocusGoesBack) {
    ImageSurface look(false);
    const std::vector<uint32_t> opaque(40 * 40, 0xFF808080u);  // hit tests read the alpha
    look.SetBits(opaque.data(), 40, 40, false);
    assets.images[L"btn"] = &look;
    Menu* first = OpenMenu();
    ButtonWidget* button = first->AddButton(10, 10, L"btn", L"", false);
    EXPECT_EQ(button->GetParent(), first);
    EXPECT_EQ(mgr.GetFocus(), first);
    EXPECT_TRUE(first->IsActive());
    EXPECT_FALSE(first->IsPaused());

    auto* second = new Menu(L"");
    second->SetModal(false);
    second->Resize(400, 300, 100, 100);
    menus.AddMenu(second);
    EXPECT_EQ(mgr.GetFocus(), second);
    EXPECT_EQ(menus.Stack().FocusedMenu(), second);
    EXPECT_FALSE(first->IsActive());
    EXPECT_TRUE(first->IsPaused());
    EXPECT_FALSE(second->IsPaused());
    Click(20, 20);  // beside the second menu, on the first one's button
    EXPECT_EQ(first->GetLastButtonId(), -1);

    second->RemoveSelf();
    EXPECT_FALSE(IsOpen(second));
    EXPECT_EQ(menus.Stack().Menus(), std::list<Menu*>{first});
    EXPECT_EQ(mgr.GetFocus(), first);
    EXPECT_TRUE(first->IsActive());
    EXPECT_FALSE(first->IsPaused());
    Click(20, 20);
    EXPECT_EQ(first->GetLastButtonId(), button->GetId());
    menus.RemoveMenu(first);  // while the button's image lives
}

TEST_F(MenuTest, ResumingGivesBackOnlyTheMouseBitThatPausingTook) {
    Menu* own = OpenMenu();
    Menu* blocked = OpenMenu();
    blocked->SetFlagMasks(0, pass_flag::kMouse);  // set by its own code, not by pausing
    Menu* top = OpenMenu();
    EXPECT_NE(own->GetRemoveFlags() & pass_flag::kMouse, 0u);
    top->RemoveSelf();  // the focus goes to `blocked`, the newest left
    EXPECT_TRUE(blocked->IsActive());
    EXPECT_NE(blocked->GetRemoveFlags() & pass_flag::kMouse, 0u);
    blocked->RemoveSelf();
    EXPECT_TRUE(own->IsActive());
    EXPECT_EQ(own->GetRemoveFlags() & pass_flag::kMouse, 0u);
}

TEST_F(MenuTest, AClickOnAPausedMenuThatStillHasTheMouseTakesTheFocus) {
    Menu* first = OpenMenu();
    Menu* second = OpenMenu();
    second->Resize(400, 300, 100, 100);
    // Paused, but its pause state not yet applied: it still has the mouse.
    first->SetFlagMasks(first->GetAddFlags(), 0);
    Click(20, 20);
    EXPECT_TRUE(first->IsActive());
    EXPECT_FALSE(second->IsActive());
    EXPECT_TRUE(second->IsPaused());
    EXPECT_EQ(mgr.GetFocus(), first);
}

TEST_F(MenuTest, EveryTypedCharacterFromTheEighthOnHandsOverTheLastEight) {
    OpenMenu();
    Type(L"abcdefg");
    EXPECT_TRUE(menus.typed.empty());
    Type(L"hi");
    EXPECT_EQ(menus.typed, (std::vector<std::wstring>{L"abcdefgh", L"bcdefghi"}));
    EXPECT_TRUE(menus.Stack().SaveOnExit());
    Type(L"wimbolxe");
    EXPECT_EQ(menus.shutdowns, 1);
    EXPECT_FALSE(menus.Stack().SaveOnExit());
}

TEST_F(MenuTest, TypingTheReloadWordReadsTheConstantsAgainEachTime) {
    namespace fs = std::filesystem;
    const fs::path root = fs::temp_directory_path() / ("halvaro_typed_" + std::to_string(::getpid()));
    fs::create_directories(root / "properties");
    const fs::path previous = fs::current_path();
    fs::current_path(root);
    const auto write = [&](const char* value) {
        std::ofstream(root / "properties" / "constants.xml") << "<c><define typed_probe=\"" << value << "\"/></c>";
    };
    write("1");
    OpenMenu();
    Type(L"wimbolzu");
    EXPECT_EQ(ConstantsMap()[L"typed_probe"].ToInt(), 1);
    write("2");
    Type(L"wimbolzu");
    EXPECT_EQ(ConstantsMap()[L"typed_probe"].ToInt(), 2);
    EXPECT_EQ(menus.shutdowns, 0);
    ConstantsMap().erase(L"typed_probe");
    fs::current_path(previous);
    fs::remove_all(root);
}

TEST_F(MenuTest, ShowMenuOpensAMenuThroughTheTransitionItAsksFor) {
    // An application whose menus open through a transition.
    class Wrapping : public testsupport::MenuHostDouble {
    public:
        using MenuHostDouble::MenuHostDouble;
        Menu* CreateMenuTransition(Menu* menu) override { return new Transition(L"", menu, true); }
    } wrapping(mgr);
    auto* plain = new Menu(L"");
    ShowMenu(plain);
    EXPECT_EQ(wrapping.open.size(), 1u);
    auto* wrapped = new Menu(L"");
    wrapped->SetUseTransition(true);
    ShowMenu(wrapped);
    ASSERT_EQ(wrapping.open.size(), 3u);
    EXPECT_EQ(mgr.GetChildren().back()->GetPriority(), Transition::kPriority);
    EXPECT_EQ(wrapped->GetManager(), &mgr);
    while (!wrapping.open.empty()) wrapping.RemoveMenu(wrapping.open.begin()->second);
}

TEST_F(MenuTest, LoopingSoundsAreCountedSilencedWhilePausedAndStoppedWithTheirOwners) {
    assets.sounds = {{L"hum", 7}, {L"buzz", 8}};
    Define(L"hum", {Step(L"start-soundloop", {{L"name", L"hum"}}), Step(L"start-soundloop", {{L"name", L"hum"}}),
                    Step(L"stop-soundloop", {{L"name", L"hum"}}), Step(L"stop-soundloop", {{L"name", L"never"}})});
    Define(L"buzz", {Step(L"start-soundloop", {{L"name", L"buzz"}}), Step(L"halt")});
    Menu* menu = OpenMenu(L"hum");
    // Taking the focus afterwards applies the unpaused state: the loop plays at its volume.
    EXPECT_EQ(menus.loops, (std::vector<std::string>{"start 7", "start 7", "stop 7", "restore 7"}));
    EXPECT_EQ(menu->MenuSounds(), (std::map<int, int>{{7, 1}}));
    EXPECT_EQ(menu->SoundLoops(), (std::map<int, int>{{7, 1}}));

    // A script object of the menu starts a loop of its own; it stops when the object goes.
    auto* child = new AnimationWidget(L"buzz", 0, 0, false);
    menu->RegisterObject(L"child", child);
    EXPECT_EQ(menu->MenuSounds(), (std::map<int, int>{{7, 1}, {8, 1}}));
    menus.loops.clear();
    child->RemoveSelf();
    EXPECT_EQ(menus.loops, (std::vector<std::string>{"stop 8"}));

    menus.loops.clear();
    Menu* other = OpenMenu();
    other->RemoveSelf();
    menu->RemoveSelf();
    EXPECT_EQ(menus.loops, (std::vector<std::string>{"silence 7", "restore 7", "stop 7"}));
    EXPECT_TRUE(menu->MenuSounds().empty());
}

TEST_F(MenuTest, ThePauseCounterPausesEveryMenuAndAPreviewPausesNone) {
    Menu* beneath = OpenMenu();
    Menu* top = OpenMenu();
    EXPECT_TRUE(beneath->IsPaused());
    menus.preview = true;
    EXPECT_FALSE(beneath->IsPaused());
    menus.preview = false;
    beneath->SetPausable(false);
    EXPECT_FALSE(beneath->IsPaused());
    host.pauseCount = 1;
    EXPECT_TRUE(beneath->IsPaused());
    EXPECT_TRUE(top->IsPaused());
    host.pauseCount = 0;
    EXPECT_FALSE(top->IsPaused());
}

TEST_F(MenuTest, AMenuClosedBeforeItArrivesLeavesAtOnceWithoutTheFocus) {
    Menu* first = OpenMenu();
    auto* late = new Menu(L"");
    late->RemoveSelf();
    menus.AddMenu(late);
    EXPECT_FALSE(IsOpen(late));
    EXPECT_EQ(late->GetManager(), nullptr);
    EXPECT_EQ(mgr.GetFocus(), first);
    EXPECT_TRUE(first->IsActive());
    EXPECT_EQ(menus.Stack().Menus(), std::list<Menu*>{first});
}

TEST_F(MenuTest, AnImageMenuIsCentredByHalvesTakenInIntegerDivision) {
    ImageSurface image(false);
    ASSERT_TRUE(image.Create(301, 201));
    Menu centred(&image, true, true);
    EXPECT_EQ(centred.GetX(), 800 / 2 - 301 / 2);
    EXPECT_EQ(centred.GetY(), 600 / 2 - 201 / 2);
    EXPECT_EQ(centred.GetPriority(), 2);
    Menu placed(&image, false, false);
    EXPECT_EQ(placed.GetX(), 0);
    EXPECT_EQ(placed.GetWidth(), 301);
    Menu screen(nullptr, false, false);
    EXPECT_EQ(screen.GetWidth(), 800);
    EXPECT_EQ(screen.GetHeight(), 600);
}

TEST_F(MenuTest, WithoutAnApplicationAMenuHandedOverIsDroppedAndStacksStillFocus) {
    NullMenuHost bare;
    auto* dropped = new Menu(L"");
    bare.AddMenu(dropped);  // deleted: the sanitizer would see a leak otherwise

    ScopedService<MenuHost> installed(&bare);
    auto* menu = new Menu(L"");
    mgr.AddWidget(menu);
    EXPECT_EQ(bare.Stack().FocusedMenu(), menu);
    EXPECT_FALSE(menu->IsPaused());
    menu->RemoveSelf();
    EXPECT_EQ(menu->GetManager(), nullptr);
    EXPECT_TRUE(bare.Stack().Menus().empty());
}

}  // namespace
