// The way into a park and out of it: the map of the parks (its signs, the
// loading display, the release of the last park's resources), the screen a
// completed park ends on, and the transition menus open through.
#include <gtest/gtest.h>

#include <map>
#include <memory>

#include "game/data/progress/level_assets.h"
#include "game/data/progress/player_state.h"
#include "game/frontend/entry/game_hosts.h"
#include "game/frontend/menus/beat_level_menu.h"
#include "game/frontend/menus/level_select_menu.h"
#include "game/frontend/menus/main_menu.h"
#include "game/frontend/menus/screen_transition.h"
#include "tests/game/frontend/frontend_test_support.h"
#include "widgets/screens/notice_menu.h"

namespace {

using namespace testsupport;

// A player with two parks; each park's resources are one image named after it.
class PlayerDouble : public PlayerState, public ExtendedPropertyInterface {
public:
    PlayerDouble() {
        for (const wchar_t* name : {L"maple_green", L"saltwind_bay"}) {
            auto level = std::make_unique<LEVEL>();
            level->name = name;
            levels[name] = std::move(level);
        }
        MakeCurrent();
    }
    void WriteLevels(std::wstring&, const std::wstring&) override {}
    void CopyLevelsFrom(const LevelStats&) override {}
    LEVEL* FindLevel(std::wstring_view name) override {
        auto it = levels.find(std::wstring(name));
        return it == levels.end() ? nullptr : it->second.get();
    }
    void CollectLevelResources(LEVEL& level, AssetNameSets& group) override {
        group.images.insert(L"park_" + level.name);
    }
    PropertyValue GetProperty(std::wstring_view name) override {
        if (name == L"level_name") return PropertyValue::FromWString(CurrentLevelName());
        return ExtendedPropertyInterface::GetProperty(name);
    }

    std::map<std::wstring, std::unique_ptr<LEVEL>> levels;
};

class LevelAssetsRecorder : public LevelAssets {
public:
    void LoadDynamicAssets(const AssetNameSets& group) override {
        for (const auto& n : group.images) calls.push_back(L"load " + n);
    }
    void UnloadDynamicAssets(const AssetNameSets& group) override {
        for (const auto& n : group.images) calls.push_back(L"unload " + n);
    }
    std::vector<std::wstring> calls;

private:
    ScopedService<LevelAssets> installed_{this};
};

class LevelSelectTest : public FrontendTest {
protected:
    LevelSelectTest() {
        // The map makes its sign; the loading display answers at once.
        Define(L"level_select_menu", {Step(L"make", {{L"name", L"literal(sign)"}})});
        Define(L"loading",
               {Step(L"make", {{L"name", L"literal(curtain)"}}),
                Step(L"do", {{L"action", L"literal(displayed_loading)"}, {L"parameter", L"level_to_play"}})});
        Define(L"main_menu", {Step(L"add", {{L"id", L"logo"}, {L"image", L"literal(main_logo)"}})});
        LocalizationMap()[L"parks_soon_text"] = L"Soon";
        app.makesDisplays = true;
    }
    LevelSelectMenu* OpenMap() {
        auto* map = new LevelSelectMenu();
        menus.AddMenu(map);
        Updates(1);
        return map;
    }
    static bool Has(const std::vector<std::wstring>& calls, const std::wstring& call) {
        return std::find(calls.begin(), calls.end(), call) != calls.end();
    }
    static bool HasObject(AnimationWidget* widget, const wchar_t* id) {
        auto it = widget->Variables().find(id);
        return it != widget->Variables().end() && it->second.ToWidget<DynamicWidget>() != nullptr;
    }

    LevelAssetsRecorder levelAssets;
    PlayerDouble player;
};

TEST_F(LevelSelectTest, OpeningTheMapReleasesTheLastParkAndASignOpensItsParkInTheDisplay) {
    player.SetCurrentLevel(L"maple_green");
    auto* map = OpenMap();
    EXPECT_TRUE(map->UsesTransition());
    EXPECT_EQ(player.CurrentLevelName(), L"");
    EXPECT_EQ(levelAssets.calls, (std::vector<std::wstring>{L"load park_maple_green", L"unload park_maple_green"}));
    EXPECT_TRUE(Has(app.calls, L"load map_screen"));
    EXPECT_EQ(map->GetLocalVariable(L"player_state").ToPropertyInterface(),
              static_cast<ExtendedPropertyInterface*>(&player));
    EXPECT_FALSE(map->GetProperty(L"is_survey").ToBool());
    EXPECT_TRUE(HasObject(map, L"sign"));

    // The sign: the loading display shows, the main menu's pictures go, and
    // the display's answer opens the park in the map's place.
    map->DoAction(L"play", L"saltwind_bay", 0);
    EXPECT_EQ(map->GetLocalVariable(L"level_to_play").ToString(), L"saltwind_bay");
    EXPECT_TRUE(Has(app.calls, L"unload main_logo"));
    EXPECT_TRUE(Has(app.calls, L"unload hotdog_idle"));
    EXPECT_EQ(player.CurrentLevelName(), L"saltwind_bay");
    EXPECT_EQ(levelAssets.calls.back(), L"load park_saltwind_bay");
    ASSERT_EQ(app.madeDisplays.size(), 1u);
    EXPECT_TRUE(IsOpen(app.madeDisplays[0]));
    EXPECT_FALSE(IsOpen(map));
    EXPECT_EQ(OpenOf<NoticeMenu>(), nullptr);
}

TEST_F(LevelSelectTest, TheLoadingAnswerNamesTheParkAndADoubleChoiceOpensOneDisplay) {
    Define(L"loading", {Step(L"halt")});
    auto* map = OpenMap();
    map->DoAction(L"play", L"maple_green", 0);
    map->DoAction(L"play", L"maple_green", 0);
    map->DoAction(L"displayed_loading", L"saltwind_bay", 0);
    map->DoAction(L"displayed_loading", L"maple_green", 0);
    EXPECT_EQ(player.CurrentLevelName(), L"saltwind_bay");
    EXPECT_EQ(app.madeDisplays.size(), 1u);
    EXPECT_FALSE(IsOpen(map));
}

TEST_F(LevelSelectTest, AParkThePlayerHasNotLeavesTheMapAsItWasAndReady) {
    auto* map = OpenMap();
    map->DoAction(L"play", L"atlantis", 0);
    EXPECT_TRUE(IsOpen(map));
    EXPECT_EQ(player.CurrentLevelName(), L"");
    EXPECT_TRUE(app.madeDisplays.empty());
    // The loading display's curtain is gone, the map's sign is back, and the
    // main menu's pictures are loaded again.
    EXPECT_FALSE(HasObject(map, L"curtain"));
    EXPECT_TRUE(HasObject(map, L"sign"));
    EXPECT_EQ(app.calls.back(), L"load main_logo");
    // A park the player has still opens.
    map->DoAction(L"play", L"maple_green", 0);
    EXPECT_EQ(player.CurrentLevelName(), L"maple_green");
    EXPECT_EQ(app.madeDisplays.size(), 1u);
}

TEST_F(LevelSelectTest, WithoutADisplayTheMainMenuReturnsUnderTheParksSoonNotice) {
    app.makesDisplays = false;
    auto* map = OpenMap();
    map->DoAction(L"play", L"maple_green", 0);
    EXPECT_FALSE(IsOpen(map));
    EXPECT_EQ(player.CurrentLevelName(), L"");
    EXPECT_EQ(levelAssets.calls, (std::vector<std::wstring>{L"load park_maple_green", L"unload park_maple_green"}));
    // The main menu's pictures are back before the main menu opens.
    ASSERT_GE(app.calls.size(), 2u);
    EXPECT_EQ(app.calls[app.calls.size() - 2], L"load main_logo");
    EXPECT_EQ(app.calls.back(), L"main menu");
    ASSERT_NE(OpenOf<NoticeMenu>(), nullptr);
    EXPECT_EQ(OpenOf<NoticeMenu>()->GetLocalVariable(L"text").ToString(), L"Soon");
}

TEST_F(LevelSelectTest, MainLeavesOtherActionsStayAndClosingReleasesTheMap) {
    auto* inner = new LevelSelectMenu();
    ParentRecorder* parent = UnderRecorder(inner);
    inner->DoAction(L"somewhere", L"p", 2);
    EXPECT_TRUE(parent->actions.empty());

    auto* map = OpenMap();
    map->DoAction(L"main", L"", 0);
    EXPECT_FALSE(IsOpen(map));
    EXPECT_NE(OpenOf<MainMenu>(), nullptr);
    map->DoAction(L"displayed_loading", L"maple_green", 0);
    EXPECT_EQ(player.CurrentLevelName(), L"");
    host.DeleteDeferred();
    EXPECT_EQ(app.calls.back(), L"unload map_screen");
}

class BeatLevelTest : public LevelSelectTest {
protected:
    BeatLevelTest() {
        Define(L"beat_level_menu", {Step(L"make", {{L"name", L"literal(splash)"}})});
        Define(L"credits_menu", {});
    }
};

TEST_F(BeatLevelTest, EachWayOnOpensItsScreenInPlaceOfTheSplashWhichLeavesOnce) {
    struct Case {
        const wchar_t* action;
        bool (*is)(const Menu*);
    };
    const Case cases[] = {
        {L"main", [](const Menu* m) { return dynamic_cast<const MainMenu*>(m) != nullptr; }},
        {L"credits", [](const Menu* m) { return dynamic_cast<const CreditsMenu*>(m) != nullptr; }},
        {L"level_select", [](const Menu* m) { return dynamic_cast<const LevelSelectMenu*>(m) != nullptr; }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.action, c.action + std::wcslen(c.action)));
        player.SetCurrentLevel(L"maple_green");
        app.calls.clear();
        auto* beat = new BeatLevelMenu();
        EXPECT_TRUE(beat->UsesTransition());
        EXPECT_EQ(beat->SplashGroup(), L"bg_splash_maple_green");
        EXPECT_EQ(app.calls, std::vector<std::wstring>{L"load bg_splash_maple_green"});
        EXPECT_EQ(beat->GetLocalVariable(L"level").ToPropertyInterface(),
                  static_cast<ExtendedPropertyInterface*>(player.levels[L"maple_green"].get()));
        EXPECT_EQ(beat->GetLocalVariable(L"player_state").ToPropertyInterface(),
                  static_cast<ExtendedPropertyInterface*>(&player));
        menus.AddMenu(beat);
        Updates(1);
        EXPECT_TRUE(HasObject(beat, L"splash"));
        beat->DoAction(c.action, L"", 0);
        EXPECT_FALSE(IsOpen(beat));
        int opened = 0;
        for (const auto& [id, menu] : menus.open) opened += c.is(menu);
        EXPECT_EQ(opened, 1);
        host.DeleteDeferred();
        EXPECT_EQ(std::count(app.calls.begin(), app.calls.end(), L"unload bg_splash_maple_green"), 1);
        while (!menus.open.empty()) menus.RemoveMenu(menus.open.begin()->second);
        host.DeleteDeferred();
    }
}

TEST_F(BeatLevelTest, WithoutACurrentParkNoSplashIsLoadedAndOtherActionsReachTheParent) {
    auto* beat = new BeatLevelMenu();
    ParentRecorder* parent = UnderRecorder(beat);
    EXPECT_EQ(beat->SplashGroup(), L"");
    EXPECT_EQ(beat->GetLocalVariable(L"level").ToPropertyInterface(), nullptr);
    beat->DoAction(L"somewhere", L"p", 2);
    EXPECT_EQ(parent->actions, std::vector<std::wstring>{L"somewhere"});
    parent->RemoveWidget(beat);
    host.DeleteDeferred();
    for (const std::wstring& call : app.calls) EXPECT_EQ(call.find(L"bg_splash"), std::wstring::npos) << call;
}

TEST_F(LevelSelectTest, MenusOpenBeneathTheTransitionWhichLeavesWhenItsScriptIsDone) {
    Define(L"transition", {Step(L"count"), Step(L"wait-for", {{L"time", L"3"}}), Step(L"remove", {{L"id", L"self"}})});
    GameMenuStack stack;
    auto* next = new Menu(L"");
    auto* transition = dynamic_cast<ScreenTransition*>(stack.CreateMenuTransition(next));
    ASSERT_NE(transition, nullptr);
    EXPECT_TRUE(IsOpen(next));
    EXPECT_FALSE(transition->Variables().contains(L"menu"));
    EXPECT_TRUE(transition->Variables().contains(L"screenshot"));
    menus.AddMenu(transition);
    EXPECT_EQ(transition->GetPriority(), Transition::kPriority);
    Updates(1);
    EXPECT_EQ(Count(*transition), 1);
    EXPECT_TRUE(IsOpen(transition));
    // A dialog over the new menu takes the menu focus; the transition still ends.
    auto* dialog = new Menu(L"");
    menus.AddMenu(dialog);
    Updates(5);
    EXPECT_FALSE(IsOpen(transition));
    EXPECT_TRUE(IsOpen(next));
    EXPECT_TRUE(IsOpen(dialog));
}

}  // namespace
