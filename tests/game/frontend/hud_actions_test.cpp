// The display's actions on the real park: the table's rows with their edge
// cases, the numbers that stand for buildings, the research and marketing
// refresh, and the game's own scripts answering the display's callbacks.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "foundation/expression/constants_map.h"
#include "foundation/values/live_ref.h"
#include "game/data/catalogues/research_option.h"
#include "game/data/progress/goal_tracker.h"
#include "game/data/progress/goals.h"
#include "game/data/progress/kivra_level.h"
#include "game/data/progress/objectives.h"
#include "game/frontend/menus/stretch_slider.h"
#include "tests/game/frontend/hud_test_support.h"
#include "tests/platform/temp_folder.h"
#include "widgets/controls/text_label.h"
#include "widgets/script/animation_stats.h"

namespace {

using testsupport::LevelBuilder;
using Log = std::vector<std::wstring>;

RESEARCH_OPTION Research(std::wstring name, int32_t effect, std::wstring param = {}) {
    RESEARCH_OPTION option;
    option.name = std::move(name);
    option.effect = effect;
    option.param = std::move(param);
    return option;
}

// Buys as the game's player does: the option leaves the level's offer.
class ResearchBuyer : public testsupport::TestParkPlayer {
public:
    using TestParkPlayer::TestParkPlayer;
    bool PurchaseResearch(std::wstring_view name, RESEARCH_OPTION& bought) override {
        auto& offer = GetCurrentLevel()->available_research;
        auto it = std::find_if(offer.begin(), offer.end(), [&](const auto& o) { return o.name == name; });
        if (it == offer.end()) return false;
        bought = *it;
        offer.erase(it);
        return true;
    }
};

class HudActions : public testsupport::HudTest {
protected:
    // Every callback the rows run writes its name to the log.
    void Open() {
        Logged({L"show_goals_menu", L"show_build_toolbar", L"show_building_data", L"clear_my_group",
                L"show_marketing_visitors", L"market_to_visitor_callback", L"show_popup_building_upgrades",
                L"show_goals_detail", L"close_goals_menu", L"show_new_goal_magazine", L"purchased_research_callback",
                L"enable_background", L"new_building_hover_callback", L"new_building_cancel_callback",
                L"refresh_marketing_menu_slot_data", L"move_building_select_callback",
                L"move_building_cancel_select_callback", L"remove_building_callback"});
        HudTest::Open(LevelBuilder(10, 10).Item(L"hut", 4, 4).Item(L"walker", 1, 1));
        TakeLog();
    }
    Log Do(std::wstring_view action, std::wstring_view parameter = L"", int number = 0) {
        hud->DoAction(action, parameter, number);
        Advance();
        return TakeLog();
    }
    int IdOf(std::wstring_view type) const {
        for (GridItem* item : hud->Grid().Items())
            if (item->GetType() == type) return static_cast<int>(item->LiveId());
        return 0;
    }
    const PropertyValue& Local(const wchar_t* name) const { return hud->GetLocalVariable(name); }
};

TEST_F(HudActions, EachRowRunsItsAnimationAndChecksTheIndexItIsGiven) {
    Open();
    Challenge first, second;
    second.name = L"funbooks_silver";
    hud->Challenges().entries = {&first, &second};
    level->chosen_challenge = L"funbooks_bronze";
    struct Row {
        const wchar_t* action;
        const wchar_t* parameter;
        Log log;
    } rows[] = {
        {L"show_goals_menu_action", L"", {L"show_goals_menu"}},
        {L"show_build_toolbar_action", L"", {L"show_build_toolbar"}},
        {L"click_radio_button_action", L"my_group_12", {L"clear_my_group"}},  // split at the last "_"
        {L"show_marketing_visitors_action", L"2", {L"show_marketing_visitors"}},
        {L"buy_building_action", L"hut", {L"new_building_hover_callback"}},
        {L"cancel_build_action", L"", {L"new_building_cancel_callback"}},
        {L"move_building_action", L"", {L"move_building_select_callback"}},
        {L"cancel_move_action", L"", {L"move_building_cancel_select_callback"}},
        {L"set_sidewalk_paint_toggle", L"clear", {}},
        {L"show_building_data_action", L"0", {}},  // no list of buildings yet
        {L"show_goals_detail_action", L"2", {}},   // past the last challenge
        {L"show_goals_detail_action", L"-1", {}},
        {L"show_goals_detail_action", L"1", {L"show_goals_detail"}},
        {L"choose_challenge_action", L"funbooks_bronze", {}},  // chosen already
        {L"choose_challenge_action", L"funbooks_silver", {L"close_goals_menu", L"show_new_goal_magazine"}},
        {L"no_such_action", L"", {}},
        {L"show_goals_menu", L"", {}},  // an animation's name is no action
    };
    for (const Row& row : rows)
        EXPECT_EQ(Do(row.action, row.parameter), row.log) << testing::PrintToString(std::wstring(row.action));
    EXPECT_EQ(Local(L"market_radio_index").ToInt(), 12);
    EXPECT_EQ(Local(L"marketing_slot_index").ToInt(), 2);
    EXPECT_EQ(Local(L"current_challenge").ToPropertyInterface(), &second);
    EXPECT_EQ(level->chosen_challenge, L"funbooks_silver");
    EXPECT_FALSE(hud->Grid().SidewalkPaintAdds());
    EXPECT_EQ(hud->Grid().GetEditMode(), KivraGrid::kNone);

    // Building data peeks around the list's index, wrapping.
    RunStep(Step(L"get-stats", {{L"search", L"items"}, {L"_results", L"items"}, {L"_number", L"count"}}));
    ASSERT_EQ(hud->BuildingTypes().Size(), 3);  // the bench stands still: no building to offer
    hud->BuildingTypes().Step(1);
    for (const wchar_t* offset : {L"1", L"-2"}) {
        EXPECT_EQ(Do(L"show_building_data_action", offset), Log{L"show_building_data"});
        EXPECT_EQ(Local(L"building").ToPropertyInterface(), hud->BuildingTypes().entries[2]);
    }
}

TEST_F(HudActions, ANumberStandsForALiveBuildingOfThePark) {
    Open();
    const int hut = IdOf(L"hut");
    ASSERT_NE(hut, 0);
    // Unknown ids, a visitor's and the display's own name no building of the park.
    for (int number : {0, -1, 123456, IdOf(L"walker"), static_cast<int>(hud->LiveId())})
        EXPECT_EQ(Do(L"show_popup_building_upgrades_action", L"", number), Log{}) << number;
    for (const wchar_t* action : {L"buy_upgrade_action", L"buy_boost_action"})
        EXPECT_EQ(Do(action, L"no_such_label", hut), Log{});
    EXPECT_EQ(Do(L"remove_building_confirmed_action", L"", IdOf(L"walker")), Log{});
    // A building that is no gate opens nothing: no purchase, no dialog.
    const int32_t money = level->money;
    EXPECT_EQ(Do(L"open_gate_action", L"", hut), Log{});
    EXPECT_EQ(level->money, money);
    EXPECT_EQ(Do(L"show_popup_building_upgrades_action", L"", hut), Log{L"show_popup_building_upgrades"});
    EXPECT_EQ(Local(L"upgrade_or_boost_building").ToPropertyInterface(),
              dynamic_cast<ExtendedPropertyInterface*>(hud->FindBuilding(static_cast<uint32_t>(hut))));
    EXPECT_EQ(Do(L"remove_building_confirmed_action", L"", hut), Log{L"remove_building_callback"});
    EXPECT_EQ(hud->FindBuilding(static_cast<uint32_t>(hut)), nullptr);
    for (const wchar_t* action : {L"show_popup_building_upgrades_action", L"remove_building_confirmed_action"})
        EXPECT_EQ(Do(action, L"", hut), Log{}) << "gone";
}

// Picking a building while another is in hand puts that one back first.
TEST_F(HudActions, ANewBuildingPickedWhileOneIsInHandLeavesNoneBehind) {
    Open();
    auto types = [this] {
        std::vector<std::wstring> found;
        for (GridItem* item : hud->Grid().Items()) found.push_back(item->GetType());
        return found;
    };
    const std::vector<std::wstring> park = types();
    auto* hut = hud->FindBuilding(static_cast<uint32_t>(IdOf(L"hut")));
    for (const wchar_t* lift : {L"", L"move_building_action", L"start_rotate_action"}) {
        if (*lift == 0) {
            Do(L"buy_building_action", L"hut");
        } else {
            Do(lift);
            hud->Grid().OnBuildingClicked(*hut);
        }
        ASSERT_NE(hud->Grid().GetHeldBuilding(), nullptr) << testing::PrintToString(std::wstring(lift));
        Do(L"buy_building_action", L"flowers_red");
        Do(L"cancel_build_action");
        EXPECT_EQ(types(), park) << testing::PrintToString(std::wstring(lift));
        EXPECT_FALSE(hut->IsHeldByPark());
        EXPECT_EQ(hut->GetGridPosition(), (TilePoint{4, 4}));
    }
    EXPECT_EQ(level->money, 1000);
}

TEST_F(HudActions, MarketingFillsOrAddsASlotAndIgnoresChoicesOutsideTheLists) {
    Open();
    const struct {
        int32_t slot, choice;
        Log slots;
    } cases[] = {
        {0, -1, {}},          // nothing chosen
        {0, 0, {L"walker"}},  // past the last entry: added
        {0, 0, {L"walker"}},  // filled again
        {1, 0, {L"walker", L"walker"}},
        {0, 1, {L"walker", L"walker"}},  // one kind of visitor only
        {-1, 0, {L"walker", L"walker"}},
    };
    for (const auto& c : cases) {
        hud->SetVariable(L"marketing_slot_index", PropertyValue::FromInt(c.slot));
        hud->SetVariable(L"market_radio_index", PropertyValue::FromInt(c.choice));
        const bool changes = c.choice == 0 && c.slot >= 0;
        EXPECT_EQ(Do(L"market_to_visitor_action"), changes ? Log{L"market_to_visitor_callback"} : Log{});
        EXPECT_EQ(level->marketing_bonus.entries, c.slots) << c.slot << " " << c.choice;
    }
}

TEST_F(HudActions, BoughtResearchKeepsTheListsScrollOverTheShorterList) {
    Open();
    ResearchBuyer buyer(level.get());
    KivraSlider slider(nullptr, {}, nullptr, nullptr, nullptr, false, 100);
    slider.SetValue(0.4);
    level->available_research = {Research(L"posters", RESEARCH_OPTION::kUnlockBuilding, L"hut"),
                                 Research(L"plans", RESEARCH_OPTION::kLearnCombo, L"kids_corner"),
                                 Research(L"billboards", RESEARCH_OPTION::kUnlockMarketing)};
    level->available_research[0].ticks = 500;
    EXPECT_EQ(Do(L"buy_research_action", L"posters"), Log{L"purchased_research_callback"});
    EXPECT_FLOAT_EQ(Local(L"slider_val").ToReal(), 0.4f * 3 / 2);
    EXPECT_EQ(Do(L"buy_research_action", L"billboards"), (Log{L"purchased_research_callback", L"enable_background"}))
        << "a marketing slot shows on its way too";
    // The last one: nothing left to rescale over, so the slider's own value; no time, nothing dimmed.
    EXPECT_EQ(Do(L"buy_research_action", L"plans"), (Log{L"purchased_research_callback", L"enable_background"}));
    EXPECT_FLOAT_EQ(Local(L"slider_val").ToReal(), 0.4f);
    EXPECT_EQ(Do(L"buy_research_action", L"plans"), Log{}) << "bought already";
}

TEST_F(HudActions, FinishedResearchRefreshesTheOpenPanelOrAnnouncesItself) {
    Open();
    // The announcements: popups carrying the display's variables (night has its own).
    auto popups = [this] {
        std::vector<AnimationWidget*> found;
        for (Widget* child : hud->GetChildren())
            if (auto* w = dynamic_cast<AnimationWidget*>(child);
                w && w->GetPriority() == UserInterface::kPopupPriority && w->Variables().contains(L"grid"))
                found.push_back(w);
        return found;
    };
    auto* rows = new AnimationWidget(0, 0, nullptr, 1.0f);
    hud->RegisterObject(L"lyr_marketing_menu_data", rows);
    hud->UpdateResearchAndMarketing(Research(L"billboards", RESEARCH_OPTION::kUnlockMarketing));
    Advance();
    EXPECT_EQ(TakeLog(), Log{L"refresh_marketing_menu_slot_data"}) << "a slot seen in its open panel";
    EXPECT_TRUE(popups().empty());
    rows->RemoveSelf();

    auto* purchase = new AnimationWidget(0, 0, nullptr, 1.0f);
    const LiveRef<AnimationWidget> purchaseAlive(purchase);
    hud->RegisterObject(L"lyr_purchased_research_callback", purchase);
    hud->UpdateResearchAndMarketing(Research(L"billboards", RESEARCH_OPTION::kUnlockMarketing));
    hud->UpdateResearchAndMarketing(Research(L"posters", RESEARCH_OPTION::kUnlockBuilding, L"hut"));
    Advance();
    const std::vector<AnimationWidget*> shown = popups();
    ASSERT_EQ(shown.size(), 2u) << "the second does not remove the first";
    EXPECT_EQ(purchaseAlive.Get(), nullptr) << "the purchase's popup goes";
    EXPECT_EQ(shown[0]->GetLocalVariable(L"researched_effect").ToString(), L"unlock_marketing");
    EXPECT_FALSE(shown[0]->Variables().contains(L"researched_buildingtype"));
    EXPECT_FALSE(shown[0]->Variables().contains(L"researched_zone"));
    EXPECT_EQ(shown[1]->GetLocalVariable(L"researched_buildingcategory").ToString(), L"rides");
    EXPECT_EQ(shown[1]->GetLocalVariable(L"self").ToPropertyInterface(), static_cast<DynamicWidget*>(shown[1]));
    EXPECT_EQ(shown[1]->GetLocalVariable(L"grid").ToPropertyInterface(), Local(L"grid").ToPropertyInterface());
}

// The game's own scripts, without its pictures, fonts and texts: each
// callback builds or takes down what it stands for.
TEST_F(HudActions, TheGamesOwnScriptsAnswerTheDisplaysCallbacks) {
    // The bench's park has no week of its own, whatever a game run before
    // left among the constants.
    const testsupport::ConstantsRestored constants;
    ConstantsMap().erase(L"week_duration");
    {
        testsupport::CurrentDirectoryGuard data(HALVARO_SOURCE_DIR "/data");
        AnimationStats library(false);
    }
    HudTest::Open(LevelBuilder(10, 10).Item(L"hut", 4, 4));
    auto stands = [this](const wchar_t* name) { return Local(name).ToPropertyInterface() != nullptr; };
    auto run = [this](const wchar_t* name) {
        hud->RunAnimationNamed(name);
        Advance();
    };
    for (const wchar_t* part : {L"statusbar", L"calendar", L"btn_build", L"btn_complete", L"btn_hint"})
        EXPECT_TRUE(stands(part)) << part;
    // A park without a name asks for one.
    struct NamelessPlayer : ExtendedPropertyInterface {
        PropertyValue GetProperty(std::wstring_view name) override {
            return name == L"level_display_name" ? PropertyValue::FromWString(L"") : PropertyValue(false);
        }
    } nameless;
    hud->SetVariable(L"player_state", PropertyValue::FromPropertyInterface(&nameless));
    run(L"request_naming");
    EXPECT_TRUE(stands(L"lyr_naming") && stands(L"park_name_input"));
    hud->AnimationSignal(0, L"finished_text_input_Pier Fun");
    Advance();
    EXPECT_FALSE(stands(L"lyr_naming"));
    EXPECT_EQ(level->display_name, L"Pier Fun");
    // Six offers, cheapest first, three to a page: the arrow pages on and round
    // (the first row's hearts tell the page).
    level->available_research.clear();
    for (int i = 0; i < 6; ++i) {
        RESEARCH_OPTION offer;
        offer.name = L"r" + std::to_wstring(i);
        offer.coincost = 100 + i;
        offer.heartcost = 10 + i;
        offer.unlocked = true;
        level->available_research.push_back(offer);
    }
    auto firstOffer = [this] {
        auto* label = Local(L"research_hearts_0").ToWidget<TextLabel>();
        return label ? label->GetText() : L"?";
    };
    // The toolbar's button, pressed and released (without its picture it acts on the press).
    const int research = Local(L"btn_research").ToWidget<Widget>()->GetId();
    hud->ButtonPress(research);
    hud->ButtonRelease(research);
    Advance();
    EXPECT_TRUE(stands(L"lyr_research_menu"));
    std::vector<std::wstring> pages{firstOffer()};
    for (int turn = 0; turn < 2; ++turn) {
        run(L"hud_research_page_on");
        pages.push_back(firstOffer());
    }
    EXPECT_EQ(pages, (std::vector<std::wstring>{L"10", L"13", L"10"}));
    run(L"hud_open_marketing");
    EXPECT_FALSE(stands(L"lyr_research_menu")) << "one panel at a time";
    EXPECT_TRUE(stands(L"lyr_marketing_menu") && stands(L"lyr_marketing_menu_data"));
    run(L"move_building_select_callback");
    EXPECT_TRUE(stands(L"lyr_banner"));
    run(L"move_building_cancel_select_callback");
    EXPECT_FALSE(stands(L"lyr_banner"));

    // With no week its night fell at once, and a box waits for the week's
    // review to close.
    ASSERT_EQ(hud->Grid().GetParkState(), KivraGrid::kNightfall);
    hud->AnimationSignal(0, L"finish_reviewing_week_action");
    for (auto [name, value] : {std::pair{L"lookup", L"true"}, {L"label", L"label_hut"}, {L"resource", L"money"}})
        hud->SetVariable(name, PropertyValue::FromWString(value));
    run(L"show_no_resources_dialog");
    EXPECT_TRUE(stands(L"lyr_dialog"));
    EXPECT_FALSE(hud->Variables().contains(L"resource")) << "a later stop of placing shows no old dialog";
    level->items.Clear();
    run(L"hud_save");
    EXPECT_EQ(level->items.Size(), 1u);
    EXPECT_TRUE(stands(L"toast"));
}

// The hint tells how far the shown goal is, or where a building the player
// cannot buy yet comes from; one hint stands at a time.
TEST_F(HudActions, TheHintCountsTheGoalsBuildingsOrNamesWhereTheyComeFrom) {
    Logged({L"show_hint"});
    Play(LevelBuilder(10, 10).Item(L"hut", 4, 4).Item(L"hut", 7, 7).Item(L"flowers_red", 1, 1));
    MagazineRecord magazine{L"zoo", std::vector<ChallengeRecord>(3)};
    ObjectiveRecord huts;
    huts.check = L"buildings_exist";
    huts.type = L"hut";
    huts.amount = 5;
    for (ChallengeRecord& challenge : magazine.challenges) {
        challenge.unlocked = true;
        challenge.objectives.push_back(huts);
    }
    magazine.challenges[1].buildings = {L"wide"};
    magazine.challenges[2].research = {L"plans"};
    level->goals_tracker.AddMagazine(magazine, level->chosen_challenge);
    HudTest::OpenHere();
    auto* goal = dynamic_cast<BuildingsExist*>(hud->ShownGoal());
    ASSERT_NE(goal, nullptr);
    auto hint = [this] { return Local(L"hint_widget").ToWidget<AnimationWidget>(); };
    auto show = [&](const wchar_t* type, const wchar_t* category) {
        if (AnimationWidget* standing = hint()) standing->RemoveSelf();
        Advance();
        goal->type = type;
        goal->category = category;
        EXPECT_EQ(Do(L"show_hint_action"), Log{L"show_hint"}) << testing::PrintToString(std::wstring(type));
        return hint();
    };
    const struct {
        const wchar_t *type, *category;
        int32_t built;
    } counted[] = {{L"hut", L"", 2}, {L"", L"decorations", 1}, {L"", L"", 3}};
    for (const auto& c : counted) {
        AnimationWidget* shown = show(c.type, c.category);
        ASSERT_NE(shown, nullptr);
        EXPECT_EQ(shown->GetLocalVariable(L"number_already_built").ToInt(), c.built);
        EXPECT_EQ(shown->GetLocalVariable(L"objective").ToPropertyInterface(), goal);
    }
    EXPECT_EQ(Do(L"show_hint_action"), Log{}) << "one at a time";

    level->availability[L"wide"] = 0;
    level->availability[L"flowers_red"] = 0;
    const struct {
        std::vector<RESEARCH_OPTION> offered, bought;
        const wchar_t* type;
        const wchar_t* source;
        const wchar_t* challenge;
    } sources[] = {
        {{}, {}, L"flowers_red", L"error", L""},
        {{},
         {Research(L"plans", RESEARCH_OPTION::kUnlockBuilding, L"flowers_red")},
         L"flowers_red",
         L"research_in_progress",
         L""},
        {{Research(L"plans", RESEARCH_OPTION::kUnlockBuilding, L"flowers_red")},
         {},
         L"flowers_red",
         L"reward_then_research",
         L"zoo_gold"},
        {{}, {}, L"wide", L"reward", L"zoo_silver"},
        {{}, {}, L"no_such_type", L"error", L""},
    };
    for (const auto& c : sources) {
        level->available_research = c.offered;
        level->bought_research = c.bought;
        AnimationWidget* shown = show(c.type, L"");
        ASSERT_NE(shown, nullptr);
        EXPECT_FALSE(shown->GetLocalVariable(L"can_build_building_type").ToBool());
        EXPECT_EQ(shown->GetLocalVariable(L"source").ToString(), c.source);
        auto* challenge = dynamic_cast<Challenge*>(shown->GetLocalVariable(L"challenge").ToPropertyInterface());
        EXPECT_EQ(challenge ? challenge->name : L"", c.challenge);
    }
    level->available_research = {Research(L"plans", RESEARCH_OPTION::kUnlockBuilding, L"flowers_red")};
    level->available_research[0].unlocked = true;
    EXPECT_EQ(show(L"flowers_red", L"")->GetLocalVariable(L"source").ToString(), L"research");
}

// A new building in hand is not built yet: the hint counts what stands.
TEST_F(HudActions, TheHintLeavesOutANewBuildingInHand) {
    Logged({L"show_hint"});
    Play(LevelBuilder(10, 10).Item(L"hut", 4, 4));
    MagazineRecord magazine{L"zoo", std::vector<ChallengeRecord>(1)};
    ObjectiveRecord huts;
    huts.check = L"buildings_exist";
    huts.type = L"hut";
    huts.amount = 5;
    magazine.challenges[0].unlocked = true;
    magazine.challenges[0].objectives.push_back(huts);
    level->goals_tracker.AddMagazine(magazine, level->chosen_challenge);
    level->money = 1000;
    HudTest::OpenHere();
    auto* goal = dynamic_cast<BuildingsExist*>(hud->ShownGoal());
    ASSERT_NE(goal, nullptr);
    hud->Grid().PreviewNewBuilding(L"hut");
    ASSERT_NE(hud->Grid().GetHeldBuilding(), nullptr);
    for (const wchar_t* type : {L"hut", L""}) {
        if (auto* standing = Local(L"hint_widget").ToWidget<AnimationWidget>()) standing->RemoveSelf();
        Advance();
        goal->type = type;
        EXPECT_EQ(Do(L"show_hint_action"), Log{L"show_hint"});
        auto* shown = Local(L"hint_widget").ToWidget<AnimationWidget>();
        ASSERT_NE(shown, nullptr);
        EXPECT_EQ(shown->GetLocalVariable(L"number_already_built").ToInt(), 1) << testing::PrintToString(type);
    }
}

}  // namespace
