// The display's script words on the real park: the lists "get-stats"
// rebuilds and publishes, paging them, and the words that add widgets.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <fstream>

#include "foundation/expression/constants_map.h"
#include "foundation/expression/localization_map.h"
#include "game/data/catalogues/combo_stats.h"
#include "game/data/catalogues/game_stats.h"
#include "game/frontend/menus/stretch_slider.h"
#include "game/frontend/menus/text_input_widget.h"
#include "tests/game/frontend/hud_test_support.h"

namespace {

using testsupport::HudTest;
using testsupport::LevelBuilder;
using Names = std::vector<std::wstring>;
using Attributes = std::vector<std::pair<std::wstring, std::wstring>>;

// Two rides of one price, a stationary bench and a type not for sale, in
// name order: bench, flowers_red, hut, locked, swing, wide.
constexpr std::string_view kItems = R"(<items>
  <people><person type="kid"/><person type="adult"/></people>
  <rides>
    <building type="hut" buycost="100">AA AA 2_</building>
    <upgrade label="paint"/><upgrade label="lights"/><boost label="fair"/>
    <building type="swing" buycost="100">A</building>
    <building type="bench" buycost="40" stationary="true">AAA</building>
    <building type="locked" buycost="5" availabletobuy="false">A</building>
  </rides>
  <decorations>
    <building type="flowers_red" buycost="10">A</building>
    <building type="wide" buycost="1">AAAA AAAA AAAA</building>
  </decorations>
</items>)";

class HudCommands : public HudTest {
protected:
    HudCommands() {
        std::ofstream("properties/items.xml") << kItems;
        catalogue.Load();
    }
    ~HudCommands() override { ConstantsMap().erase(L"all_buildings_available_to_build"); }

    // The park's first building, or null.
    KivraBuilding* FirstBuilding() const {
        for (GridItem* item : hud->Grid().Items())
            if (auto* building = dynamic_cast<KivraBuilding*>(item)) return building;
        return nullptr;
    }
    // The display's last scroll bar made by a script.
    KivraSlider* LastSlider() const {
        KivraSlider* slider = nullptr;
        for (Widget* child : hud->GetChildren())
            if (auto* s = dynamic_cast<KivraSlider*>(child)) slider = s;
        return slider;
    }
    // "get-stats" of the search with the attributes; the names it published.
    Names GetStats(const std::wstring& search, Attributes attributes = {}) {
        attributes.emplace_back(L"search", L"literal(" + search + L")");
        attributes.emplace_back(L"_results", L"found");
        attributes.emplace_back(L"_number", L"count");
        RunStep(Step(L"get-stats", attributes));
        return Published();
    }
    Names Published() {
        auto* query = hud->GetLocalVariable(L"found").ToPropertyInterface();
        Names names;
        if (!query) return names;
        const int32_t count = hud->GetLocalVariable(L"count").ToInt();
        EXPECT_EQ(query->GetProperty(L"size").ToInt(), count);
        for (int32_t i = 0; i < count; ++i) {
            const PropertyValue element = query->GetProperty(std::to_wstring(i));
            auto* record = element.ToPropertyInterface();
            if (!record) {
                names.push_back(element.ToString());
                continue;
            }
            // Records answer "name"; item types "type", improvements "label".
            PropertyValue name = record->GetProperty(L"name");
            if (name.Is(PropertyValue::Tag::Bool)) name = record->GetProperty(L"type");
            if (name.Is(PropertyValue::Tag::Bool)) name = record->GetProperty(L"label");
            names.push_back(name.ToString());
        }
        return names;
    }

    // A park whose display holds a list "list" of 50 x 400 and a slider over
    // it with the window `window` gives.
    void OpenScrolledList(const Attributes& window) {
        images.Add(L"track", 10, 150);
        images.Add(L"thumb", 10, 10);
        images.Add(L"rows", 50, 400);
        Open(LevelBuilder(6, 6));
        RunStep(Step(L"add", {{L"id", L"list"}, {L"image", L"literal(rows)"}}));
        Attributes slider{{L"track", L"literal(track)"}, {L"thumb", L"literal(thumb)"}, {L"canvas", L"list"}};
        slider.insert(slider.end(), window.begin(), window.end());
        RunStep(Step(L"add-slider", slider));
    }

    KivraItemStats catalogue;
};

TEST_F(HudCommands, TheBuildListHoldsTheAvailableNonStationaryTypesCheapestFirstAndPages) {
    Open(LevelBuilder(6, 6));
    // Equal prices: the type found later in the catalogue comes first.
    EXPECT_EQ(GetStats(L"items"), (Names{L"wide", L"flowers_red", L"swing", L"hut"}));
    // Found available by its type alone, a type is entered as "not given".
    EXPECT_EQ(level->availability.at(L"swing"), -1);
    EXPECT_FALSE(level->availability.contains(L"locked"));

    // Paging moves only the lists it names; unknown searches publish nothing.
    RunStep(Step(L"step-search", {{L"search", L"literal(items)"}, {L"number", L"-1"}}));
    EXPECT_EQ(hud->BuildingTypes().index, 3);
    level->marketing_bonus.entries = {L"kid", L"adult", L"kid"};
    RunStep(Step(L"step-search", {{L"search", L"literal(marketing_slots)"}}));
    RunStep(Step(L"step-search", {{L"search", L"literal(marketing_slots)"}, {L"number", L"4"}}));
    EXPECT_EQ(level->marketing_bonus.index, 2);
    RunStep(Step(L"reset-search", {{L"search", L"literal(items)"}}));
    EXPECT_EQ(hud->BuildingTypes().index, 0);
    // Challenges are not paged by these words.
    hud->Challenges().entries.assign(3, nullptr);
    RunStep(Step(L"step-search", {{L"search", L"literal(challenges)"}}));
    EXPECT_EQ(hud->Challenges().index, 0);

    hud->SetVariable(L"found", PropertyValue::FromInt(7));
    RunStep(Step(L"get-search", {{L"search", L"literal(nothing)"}, {L"_results", L"found"}}));
    EXPECT_EQ(hud->GetLocalVariable(L"found").ToInt(), 7);
    RunStep(Step(L"get-search", {{L"search", L"literal(items)"}, {L"_results", L"found"}, {L"_number", L"count"}}));
    EXPECT_EQ(Published(), (Names{L"wide", L"flowers_red", L"swing", L"hut"}));

    EXPECT_EQ(GetStats(L"items", {{L"category", L"literal(decorations)"}}), (Names{L"wide", L"flowers_red"}));
    EXPECT_EQ(GetStats(L"items", {{L"type", L"literal(hut), literal(swing), literal(bench)"}}),
              (Names{L"swing", L"hut"}));

    // The level's own table and its excluded types win over the records.
    level->availability[L"hut"] = 0;
    level->availability[L"locked"] = 1;
    level->disallowed.insert(L"wide");
    EXPECT_EQ(GetStats(L"items"), (Names{L"locked", L"flowers_red", L"swing"}));
    level->availability[L"locked"] = 0;
    // The developer word offers every type but the excluded and stationary ones.
    Type(L"wimbolab");
    EXPECT_EQ(GetStats(L"items"), (Names{L"locked", L"flowers_red", L"swing", L"hut"}));
}

TEST_F(HudCommands, ResearchChallengesCombosAndVisitorsListInTheirOwnOrder) {
    Open(LevelBuilder(6, 6));
    auto option = [](std::wstring name, int32_t cost, int32_t ticks, bool unlocked) {
        RESEARCH_OPTION o;
        o.name = std::move(name);
        o.coincost = cost;
        o.ticks = ticks;
        o.unlocked = unlocked;
        return o;
    };
    level->available_research = {option(L"r1", 300, 0, true), option(L"r2", 100, 0, true),
                                 option(L"hidden", 50, 0, false), option(L"r3", 300, 0, true)};
    level->bought_research = {option(L"b1", 0, 900, true), option(L"b2", 0, 200, true)};
    EXPECT_EQ(GetStats(L"research_buy"), (Names{L"r2", L"r3", L"r1"}));
    EXPECT_EQ(GetStats(L"research_progress"), (Names{L"b2", L"b1"}));

    // Two magazines of three metals; the first two metals unlocked, bronze won.
    for (const wchar_t* name : {L"zoo", L"arcade"}) {
        MagazineRecord magazine{name, std::vector<ChallengeRecord>(3)};
        magazine.challenges[0].unlocked = magazine.challenges[1].unlocked = true;
        ObjectiveRecord open;
        open.check = L"weekly_earnings";
        magazine.challenges[1].objectives.push_back(open);
        std::wstring chosen;
        level->goals_tracker.AddMagazine(magazine, chosen);
    }
    for (const auto& [completion, names] : std::vector<std::pair<std::wstring, Names>>{
             {L"both", {L"arcade_bronze", L"arcade_silver", L"zoo_bronze", L"zoo_silver"}},
             {L"incomplete", {L"arcade_silver", L"zoo_silver"}},
             {L"completed", {L"arcade_bronze", L"zoo_bronze"}},
             {L"some", {}}})
        EXPECT_EQ(GetStats(L"challenges", {{L"completion", L"literal(" + completion + L")"}}), names) << completion;

    // Learned combinations by the text the player reads; unknown ones left out.
    std::ofstream("properties/game.xml") << R"(<game><combo name="a_combo"/><combo name="b_combo"/></game>)";
    GameStats game;
    game.Load();
    LocalizationMap()[L"a_combo"] = L"Zebra row";
    LocalizationMap()[L"b_combo"] = L"Apple lane";
    level->learned_combos = {L"a_combo", L"b_combo", L"lost_combo"};
    EXPECT_EQ(GetStats(L"combos_learned"), (Names{L"b_combo", L"a_combo"}));
    LocalizationMap().clear();

    // Visitor types were gathered once, in catalogue order.
    hud->CollectVisitorTypes();
    EXPECT_EQ(GetStats(L"visitors"), (Names{L"adult", L"kid"}));
    level->marketing_bonus.entries = {L"kid", L"kid"};
    EXPECT_EQ(GetStats(L"marketing_slots"), (Names{L"kid", L"kid"}));
}

TEST_F(HudCommands, ImprovementsListTheBuildingsOwnAndRemindersComeAndGo) {
    Open(LevelBuilder(8, 8).Item(L"hut", 4, 4));
    KivraBuilding* hut = FirstBuilding();
    ASSERT_NE(hut, nullptr);
    hud->SetVariable(L"building", PropertyValue::FromWidget(hut));
    EXPECT_EQ(GetStats(L"upgrades"), (Names{L"lights", L"paint"}));
    // Scripts may hold the building's serial id instead.
    hud->SetVariable(L"building", PropertyValue::FromInt(static_cast<int32_t>(hut->LiveId())));
    EXPECT_EQ(GetStats(L"boosts"), Names{L"fair"});
    // A number that is no building of the park, or a text: an empty list, not the last building's.
    hud->SetVariable(L"building", PropertyValue::FromInt(12345));
    EXPECT_EQ(GetStats(L"upgrades"), Names{});
    hud->SetVariable(L"building", PropertyValue::FromWString(L"hut"));
    EXPECT_EQ(GetStats(L"boosts"), Names{});

    RunStep(Step(L"add-reminder", {{L"id", L"literal(gate)"}, {L"target_x", L"100"}, {L"target_y", L"50"}}));
    EXPECT_NE(hud->Grid().FindReminder(L"gate"), nullptr);
    RunStep(Step(L"remove-reminder", {{L"id", L"literal(gate)"}}));
    EXPECT_EQ(hud->Grid().FindReminder(L"gate"), nullptr);
}

TEST_F(HudCommands, AddsSlidersAndTextFieldsThatReportToTheDisplay) {
    images.Add(L"track", 200, 10);
    images.Add(L"thumb", 10, 10);
    Open(LevelBuilder(6, 6));
    RunStep(Step(L"add-slider", {{L"track", L"literal(track)"},
                                 {L"thumb", L"literal(thumb)"},
                                 {L"direction", L"literal(horizontal)"},
                                 {L"x", L"30"},
                                 {L"y", L"40"},
                                 {L"value", L"0"}}));
    KivraSlider* slider = LastSlider();
    ASSERT_NE(slider, nullptr);
    EXPECT_EQ(slider->GetX(), 30.0f);
    EXPECT_EQ(slider->GetValue(), KivraSlider(nullptr, {}, nullptr, nullptr, nullptr, true, -1).GetValue())
        << "a value of 0 keeps the slider's own start";

    Define(L"refresh_level_display_name", {Step(L"log", {{L"text", L"refresh"}})});
    Define(L"close_park_naming", {Step(L"log", {{L"text", L"close"}})});
    RunStep(Step(L"add-text-input", {{L"id", L"park_name"}, {L"max_length", L"12"}}));
    auto* field = hud->GetLocalVariable(L"park_name").ToWidget<TextInputWidget>();
    ASSERT_NE(field, nullptr);
    field->Focus();
    Type(L"My_Park");
    mgr.KeyChar(L'\r');
    EXPECT_EQ(level->display_name, L"My_Park");
    EXPECT_EQ(TakeLog(), (std::vector<std::wstring>{L"refresh", L"close"}));
}

// A script may take the scrolled list away and leave its scroll bar: the bar
// then scrolls nothing, and a second list under the old name is not moved.
TEST_F(HudCommands, AScrollBarOutlivesTheListItScrolled) {
    OpenScrolledList({{L"window_y", L"20"}, {L"window_width", L"50"}, {L"window_height", L"150"}, {L"span", L"150"}});
    KivraSlider* slider = LastSlider();
    ASSERT_NE(slider, nullptr);
    slider->SetValue(0.5);
    Advance();
    auto* list = hud->GetLocalVariable(L"list").ToWidget<DynamicWidget>();
    ASSERT_NE(list, nullptr);
    EXPECT_FLOAT_EQ(list->GetY(), 20.0f - (400.0f - 150.0f) * 0.5f) << "the list scrolls while it is there";

    RunStep(Step(L"remove", {{L"id", L"list"}}));
    RunStep(Step(L"add", {{L"id", L"list"}, {L"image", L"literal(rows)"}, {L"y", L"7"}}));
    slider->SetValue(1.0);
    Advance(2);
    auto* second = hud->GetLocalVariable(L"list").ToWidget<DynamicWidget>();
    ASSERT_NE(second, nullptr);
    EXPECT_FLOAT_EQ(second->GetY(), 7.0f);
    EXPECT_DOUBLE_EQ(slider->GetValue(), 1.0);
}

// The lists stay on screen while the player buys research or sells the
// building whose upgrades they show: read then, each gives its record as it
// now is, or nothing, never the memory the record left.
TEST_F(HudCommands, ListsReadAfterAPurchaseOrASaleFindTheirRecordsAgain) {
    Open(LevelBuilder(8, 8).Item(L"hut", 4, 4));
    RESEARCH_OPTION option;
    option.unlocked = true;
    for (const wchar_t* name : {L"posters", L"plans", L"kites"}) {
        option.name = name;
        level->available_research.push_back(option);
    }
    level->bought_research.assign(1, option);
    level->bought_research.shrink_to_fit();
    EXPECT_EQ(GetStats(L"research_progress"), Names{L"kites"});
    auto* inProgress = hud->GetLocalVariable(L"found").ToPropertyInterface();
    EXPECT_EQ(GetStats(L"research_buy"), (Names{L"kites", L"plans", L"posters"}));
    auto* onOffer = hud->GetLocalVariable(L"found").ToPropertyInterface();
    // Bought as the player's state buys: the option joins those in progress,
    // whose vector grows into new storage, and leaves the offer.
    level->bought_research.push_back(level->available_research[1]);
    level->available_research.erase(level->available_research.begin() + 1);
    auto name = [](ExtendedPropertyInterface* list, const wchar_t* at) {
        auto* record = list->GetProperty(at).ToPropertyInterface();
        return record ? record->GetProperty(L"name").ToString() : L"none";
    };
    EXPECT_EQ(name(inProgress, L"0"), L"kites");
    EXPECT_EQ(name(onOffer, L"current"), L"kites");
    EXPECT_EQ(name(onOffer, L"1"), L"none") << "bought: no longer on offer";
    EXPECT_EQ(name(onOffer, L"2"), L"posters");

    KivraBuilding* hut = FirstBuilding();
    ASSERT_NE(hut, nullptr);
    hud->SetVariable(L"building", PropertyValue::FromWidget(hut));
    EXPECT_EQ(GetStats(L"upgrades"), (Names{L"lights", L"paint"}));
    auto* upgrades = hud->GetLocalVariable(L"found").ToPropertyInterface();
    hud->Grid().RemoveBuilding(*hut);
    Advance();
    EXPECT_EQ(upgrades->GetProperty(L"current").ToPropertyInterface(), nullptr);
    EXPECT_EQ(upgrades->GetProperty(L"size").ToInt(), 2);
}

// Numbers scripts give are kept in range where they are read: a scroll
// window's edges and the week timer the calendar shows.
TEST_F(HudCommands, ScriptNumbersOutOfRangeAreClampedWhereRead) {
    OpenScrolledList({{L"window_x", L"2147483647"},
                      {L"window_width", L"2147483647"},
                      {L"window_y", L"-2147483647"},
                      {L"window_height", L"-2147483647"}});
    auto* list = hud->GetLocalVariable(L"list").ToWidget<DynamicWidget>();
    ASSERT_NE(list, nullptr);
    constexpr auto kEdge = static_cast<float>((1 << 30) - 1);
    EXPECT_FLOAT_EQ(list->GetProperty(L"abs_clip_x2").ToReal(), 2 * kEdge);
    EXPECT_FLOAT_EQ(list->GetProperty(L"abs_clip_y2").ToReal(), -2 * kEdge);

    ConstantsMap()[L"week_duration"] = PropertyValue(700);
    for (const auto& [timer, day] : std::vector<std::pair<float, int32_t>>{
             {700.0f, 1}, {1.0f, 7}, {-1.0f, 7}, {-1e30f, 7}, {-INFINITY, 7}, {1e30f, 1}, {NAN, 1}}) {
        hud->UpdateCalendar(timer);
        EXPECT_EQ(hud->Days(), day) << timer;
    }
    ConstantsMap().erase(L"week_duration");
}

}  // namespace
