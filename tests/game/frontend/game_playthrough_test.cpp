// A new player's whole first park, played in the real game by pointer and
// keyboard: named, the first park picked on the map, its tutorial followed
// step by step by doing what each step asks, then played on through a week
// with visitors until a goal moves on; saved, left and found again as left;
// completed, and a second start comes back to the same park.

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <utility>
#include <vector>

#include "foundation/expression/constants_map.h"
#include "foundation/expression/localization_map.h"
#include "foundation/system/text.h"
#include "game/data/catalogues/item_stats.h"
#include "game/data/catalogues/item_types.h"
#include "game/data/catalogues/research_option.h"
#include "game/data/progress/goals.h"
#include "game/data/progress/kivra_level.h"
#include "game/data/progress/objectives.h"
#include "game/data/progress/player_state.h"
#include "game/frontend/hud/display_places.h"
#include "game/frontend/hud/tutorial.h"
#include "game/frontend/hud/tutorial_step.h"
#include "game/frontend/hud/user_interface.h"
#include "game/frontend/menus/beat_level_menu.h"
#include "game/frontend/menus/enter_name_menu.h"
#include "game/frontend/menus/level_select_menu.h"
#include "game/frontend/menus/main_menu.h"
#include "game/frontend/menus/options_menu.h"
#include "game/park/buildings/front_gate.h"
#include "game/park/buildings/kivra_building.h"
#include "game/park/grid/kivra_tile.h"
#include "game/park/parkgrid/kivra_grid.h"
#include "game/park/parkgrid/park_helpers.h"
#include "game/park/parkgrid/park_zones.h"
#include "game/park/people/person.h"
#include "platform/window/virtual_keys.h"
#include "tests/game/frontend/driven_game.h"
#include "widgets/controls/button_widget.h"
#include "widgets/controls/text_label.h"
#include "widgets/screens/confirm_menu.h"

namespace {

using testsupport::DrivenGame;
using testsupport::Narrow;
using testsupport::ReadFile;

ParkPlayer& Player() { return *ParkPlayer::Current(); }
KIVRA_LEVEL& Level() { return *Player().GetCurrentLevel(); }

// What a player sees of a park, as text: its buildings, its ground, its
// purse, its calendar, the tutorial and the goals reached.
std::string Look(KivraGrid& grid) {
    std::vector<std::wstring> buildings;
    for (GridItem* item : grid.Items())
        if (auto* building = dynamic_cast<KivraBuilding*>(item)) {
            const TilePoint at = building->GetGridPosition();
            buildings.push_back(text::WFormat(L"%ls@%d,%d/%d ", building->GetType().c_str(), at.col, at.row,
                                              building->GetOrientation()));
        }
    std::sort(buildings.begin(), buildings.end());
    std::wstring view;
    for (const std::wstring& b : buildings) view += b;
    for (int32_t row = 0; row < grid.Rows(); ++row) {
        view += L'\n';
        for (int32_t col = 0; col < grid.Cols(); ++col)
            view += static_cast<wchar_t>(grid.GetTileAt(col, row)->material);
    }
    const KIVRA_LEVEL& level = Level();
    view += text::WFormat(L"\nmoney %d hearts %d weeks %d tutorial %d challenge %ls:", level.money, level.hearts,
                          level.weeks_played, Player().TutorialStep(), level.chosen_challenge.c_str());
    for (const auto& [name, challenge] : level.goals_tracker.Challenges()) {
        if (challenge->completed) view += L" " + name;
        for (size_t i = 0; i < challenge->objectives.size(); ++i)
            if (challenge->objectives[i]->completed) view += L" " + name + L"#" + std::to_wstring(i);
    }
    return text::ToUtf8(view);
}

// The park's own text in profiles.xml.
std::string SavedPark(const std::filesystem::path& profiles) {
    const std::string text = Narrow(ReadFile(profiles));
    const size_t begin = text.find("<level name=\"maple_green\"");
    const size_t end = text.find("</level>", begin);
    return begin == std::string::npos || end == std::string::npos ? std::string() : text.substr(begin, end - begin);
}

class GamePlaythroughTest : public testsupport::DrivenGameTest {
protected:
    UserInterface* Hud() const { return game_->OpenMenu<UserInterface>(); }
    KivraGrid& Grid() const { return Hud()->Grid(); }
    DynamicWidget* HudObject(const wchar_t* id) const { return DrivenGame::ScriptObject(Hud(), id); }
    static FRect ScreenRect(Widget* w) {
        const FRect at = DrivenGame::Origin(w);
        return FRect{at.x, at.y, static_cast<float>(w->GetWidth()), static_cast<float>(w->GetHeight())};
    }
    // No part of the one over the other on the screen.
    static bool Clear(Widget* a, Widget* b) { return hud_places::Overlap(ScreenRect(a), ScreenRect(b)) == 0.0f; }
    // A new player's first park, the tutorial skipped and the park named
    // after the player; `then` runs as the name is given.
    void StartNamedPark(DrivenGame& game, const wchar_t* player, std::string step, std::function<void()> then = {}) {
        game_ = &game;
        NewPlayerToTheMap(game, player);
        OpenFirstPark(game, "the first park");
        SkipTutorialAndNamePark(std::move(step), std::wstring(player) + L"'s", std::move(then));
    }

    // Where a tile's centre is on the screen, through the park's camera.
    ScreenPoint OnScreen(TilePoint tile) const {
        const PixelPoint at = Grid().TileToScreen(tile.col, tile.row);
        const FRect origin = DrivenGame::Origin(&Grid());
        const float down = 0.25f * static_cast<float>(GridTile::TileStepH());
        return {static_cast<int>(origin.x + at.x), static_cast<int>(origin.y + at.y + down)};
    }
    // Moves the carried building until its footprint's far corner is on
    // `corner`, then clicks there; false when it never got there.
    bool PlaceAt(TilePoint corner) {
        KivraBuilding* held = Grid().GetHeldBuilding();
        if (!held) return false;
        TilePoint aim = corner;
        for (int tries = 0; tries < 4; ++tries) {
            const ScreenPoint at = OnScreen(aim);
            game_->MoveTo(at.x, at.y);
            const TileRect r = held->GetFootprintRect();
            if (r.col == corner.col && r.row == corner.row) {
                game_->ClickAt(at.x, at.y);
                return true;
            }
            aim = {aim.col + corner.col - r.col, aim.row + corner.row - r.row};
        }
        return false;
    }
    // A script button of the display shown in full, clicked.
    bool ClickHud(const wchar_t* id) {
        DynamicWidget* button = HudObject(id);
        if (!button || button->opacity < 1.0f || game_->FramesOnStep() < 20) return false;
        game_->ClickOn(button);
        return true;
    }
    void ClickHudLater(std::string name, const wchar_t* id) {
        game_->Then(std::move(name), [this, id] { return ClickHud(id); });
    }
    // The build tool, the list's tab and the row of `type`, bought: it is
    // then carried at the pointer.
    void BuyFromList(const std::string& name, const wchar_t* tab, const wchar_t* type) {
        ClickHudLater(name + ": the build tool", L"btn_build");
        ClickHudLater(name + ": its tab", tab);
        game_->Then(name + ": its row", [this, type] { return ClickBuildRow(type); });
        ClickHudLater(name + ": bought", L"data_buy");
    }
    // Skips the tutorial and names the park `park` through its field; `then`
    // runs as the name is given.
    void SkipTutorialAndNamePark(std::string step, std::wstring park, std::function<void()> then = {}) {
        ClickHudLater("the tutorial skipped", L"tutorial_skip");
        game_->Then(std::move(step), [this, park = std::move(park), then = std::move(then)] {
            DynamicWidget* field = HudObject(L"park_name_input");
            if (!Hud()->TutorialInactive() || !field || game_->FramesOnStep() < 20) return false;
            game_->ClickOn(field);
            game_->Type(park);
            game_->Press(plat::vk::kReturn);
            if (then) then();
            return true;
        });
    }
    // A new player from the start-up screens through naming and the
    // introduction to the map.
    void NewPlayerToTheMap(DrivenGame& game, const wchar_t* name) {
        SkipToTitle(game);
        PressPlayOnTitle(game);
        game.Then("name entry", [&game, name] {
            if (!game.OpenMenu<EnterNameMenu>()) return false;
            game.Type(name);
            game.Press(plat::vk::kReturn);
            return true;
        });
        ClickScriptButton(
            game, "play", [&game] { return game.OpenMenu<MainMenu>(); }, L"play");
        game.Then("the introduction, skipped", [&game] {
            if (game.OpenMenu<LevelSelectMenu>()) return true;
            if (game.FramesOnStep() % 20 == 19) game.ClickAt(512, 384);
            return false;
        });
    }
    void OpenFirstPark(DrivenGame& game, std::string step) {
        ClickScriptButton(
            game, std::move(step), [&game] { return game.OpenMenu<LevelSelectMenu>(); }, L"sign_maple_green");
    }
    // The tiles the current tutorial step marked, and the far corner they span.
    std::vector<TilePoint> Marked() const {
        std::vector<TilePoint> tiles;
        for (int32_t col = 0; col < Grid().Cols(); ++col)
            for (int32_t row = 0; row < Grid().Rows(); ++row)
                if (Grid().GetTileAt(col, row)->material == 'T') tiles.push_back({col, row});
        return tiles;
    }
    FrontGate* Gate() const {
        for (GridItem* item : Grid().Items())
            if (auto* gate = dynamic_cast<FrontGate*>(item)) return gate;
        return nullptr;
    }
    KivraBuilding* Find(std::wstring_view type) const {
        for (GridItem* item : Grid().Items())
            if (auto* building = dynamic_cast<KivraBuilding*>(item); building && building->GetType() == type)
                return building;
        return nullptr;
    }
    // Placed ones only: the one carried is on the grid too.
    size_t Count(std::wstring_view type) const {
        KivraBuilding* held = Grid().GetHeldBuilding();
        return static_cast<size_t>(
            std::count_if(Grid().Items().begin(), Grid().Items().end(), [type, held](GridItem* item) {
                auto* building = dynamic_cast<KivraBuilding*>(item);
                return building && building != held && building->GetType() == type;
            }));
    }
    int Visitors() const {
        return static_cast<int>(std::count_if(Grid().Items().begin(), Grid().Items().end(),
                                              [](GridItem* item) { return dynamic_cast<Person*>(item) != nullptr; }));
    }
    // Where a widget's whole rectangle is drawn on the screen.
    static FRect Drawn(const Widget& widget) {
        const FRect at = widget.MapRectToScreen({0.0f, 0.0f, 1.0f, 1.0f});
        return {at.x, at.y, static_cast<float>(widget.GetWidth()), static_cast<float>(widget.GetHeight())};
    }
    // The night's scene over the display, when night has fallen.
    AnimationWidget* Night() const {
        for (Widget* child : Hud()->GetChildren())
            if (auto* scene = dynamic_cast<AnimationWidget*>(child); scene && DrivenGame::ScriptObject(scene, L"night"))
                return scene;
        return nullptr;
    }

    // The build list's row of that type, clicked; the list is cheapest first,
    // five rows a page, and its arrow turns the page until the row shows.
    bool ClickBuildRow(std::wstring_view type) {
        const auto& shown = Hud()->BuildingTypes();
        const auto& list = shown.entries;
        auto found = std::find_if(list.begin(), list.end(), [type](ITEM_TYPE* t) { return t->type == type; });
        if (found == list.end()) return false;
        auto cost = [](ITEM_TYPE* t) { return static_cast<KIVRA_BUILDING_TYPE*>(t)->buycost; };
        EXPECT_TRUE(
            std::is_sorted(list.begin(), list.end(), [&](ITEM_TYPE* a, ITEM_TYPE* b) { return cost(a) < cost(b); }));
        const auto row = (found - list.begin()) - shown.index;
        if (row < 0 || row >= 5) {
            ClickHud(L"build_next");
            return false;
        }
        return ClickHud((L"build_row_" + std::to_wstring(row)).c_str());
    }

    // Set up as a player would have: the type placed there, or null.
    KivraBuilding* Build(std::wstring_view type, TilePoint at) {
        Grid().PreviewNewBuilding(type);
        if (KivraBuilding* held = Grid().GetHeldBuilding()) held->MoveTo(at);
        const bool placed = Grid().TryPlaceHeldItem(true);
        Grid().CancelCurrentMode();
        return placed ? Grid().GetTileOccupant(at) : nullptr;
    }
    // What a label or a button of the display reads, "none" without one.
    std::wstring HudText(const std::wstring& id) const {
        DynamicWidget* shown = HudObject(id.c_str());
        if (auto* label = dynamic_cast<TextLabel*>(shown)) return label->GetText();
        if (auto* button = dynamic_cast<ButtonWidget*>(shown)) return button->GetLabel();
        return L"none";
    }
    // A button of the night's scene shown a while, clicked.
    bool ClickNight(const wchar_t* id) {
        DynamicWidget* button = DrivenGame::ScriptObject(Night(), id);
        if (!button || game_->FramesOnStep() < 20) return false;
        game_->ClickOn(button);
        return true;
    }
    // The building's upgrades and boosts, as its card's button opens them;
    // true once they have been shown a few updates.
    bool OpenUpgrades(KivraBuilding* building) {
        // Opened again when the night has put it away.
        if (!HudObject(L"building_info_upgrades") ||
            Hud()->GetLocalVariable(L"upgrade_or_boost_building").ToWidget<KivraBuilding>() != building) {
            Hud()->SetVariable(L"upgrade_or_boost_building", PropertyValue::FromWidget(building));
            Hud()->RunAnimationNamed(L"show_popup_building_upgrades");
        }
        return HudObject(L"building_info_upgrades") && game_->FramesOnStep() % 10 == 9;
    }

    // A notice read and closed, as a player does before anything else: a
    // trophy won, a zone found, research done (a scene of its own), a lack
    // of money or hearts.
    bool CloseNotice() {
        for (const wchar_t* ok : {L"trophy_ok", L"zone_ok", L"dialog_ok"})
            if (ClickHud(ok)) return true;
        for (Widget* child : Hud()->GetChildren())
            if (auto* ok = DrivenGame::ScriptObject(dynamic_cast<AnimationWidget*>(child), L"research_ok");
                ok && child->IsVisible() && game_->FramesOnStep() >= 20) {
                game_->ClickOn(ok);
                return true;
            }
        return false;
    }
    // A button of the display clicked once every notice in the way is closed.
    void ClickPastNotices(std::string name, const wchar_t* id) {
        game_->Then(std::move(name), [this, id] { return !CloseNotice() && ClickHud(id); });
    }
    // Weeks played on, their reviews read and their suns risen, until `done`.
    void PlayOnUntil(std::string name, std::function<bool()> done) {
        game_->Then(
            std::move(name),
            [this, done] {
                if (CloseNotice()) return false;
                if (Night()) {
                    for (const wchar_t* id : {L"review_ok", L"sunrise"})
                        if (DynamicWidget* button = DrivenGame::ScriptObject(Night(), id);
                            button && game_->FramesOnStep() % 20 == 19) {
                            game_->ClickOn(button);
                            return false;
                        }
                    return false;
                }
                return done();
            },
            12 * 6000);
    }
    void Afford(const std::string& what, int32_t coins, int32_t hearts) {
        PlayOnUntil(what + ": money and hearts enough",
                    [coins, hearts] { return Level().money >= coins && Level().hearts >= hearts; });
    }
    // Bought from the build list's tab and placed at the first of the
    // corners that takes it.
    void BuyAndPlace(const std::string& name, const wchar_t* tab, const wchar_t* type, std::vector<TilePoint> corners) {
        PlayOnUntil(name + ": money enough", [type] {
            return Level().money >=
                   static_cast<KIVRA_BUILDING_TYPE*>(FindRecordByName(ItemStats::Current(), type))->buycost;
        });
        ClickPastNotices(name + ": the build tool", L"btn_build");
        ClickPastNotices(name + ": its tab", tab);
        game_->Then(name + ": its row", [this, type] { return ClickBuildRow(type); });
        ClickPastNotices(name + ": bought", L"data_buy");
        // The tool holds the next one once one is placed, until it is done.
        struct Placing {
            size_t before = SIZE_MAX;
            size_t frames = 0;
        };
        auto placing = std::make_shared<Placing>();
        game_->Then(
            name + ": placed",
            [this, type, corners, placing] {
                if (placing->before == SIZE_MAX) placing->before = Count(type);
                if (Count(type) > placing->before) return true;
                if (CloseNotice()) return false;
                // A few moments at each: the carried building follows the pointer.
                // None free: the building swept over the park in sight until it
                // shows it fits.
                const size_t frame = placing->frames++;
                if (frame < corners.size() * 10) {
                    PlaceAt(corners[frame / 10]);
                } else if (const size_t tile = frame - corners.size() * 10; tile < 30 * 30) {
                    const TilePoint corner{static_cast<int32_t>(1 + tile % 30), static_cast<int32_t>(1 + tile / 30)};
                    const ScreenPoint on = OnScreen(corner);
                    if (on.x > 60 && on.x < 964 && on.y > 120 && on.y < 640 && PlaceAt(corner)) return false;
                }
                return false;
            },
            4000);
        // The tool lets go by itself when the purse holds no second one.
        game_->Then(name + ": done placing", [this] {
            if (CloseNotice() || game_->FramesOnStep() < 20) return false;
            return (!HudObject(L"banner_done") && !Grid().GetHeldBuilding()) || ClickHud(L"banner_done");
        });
    }
    // Bought from the research panel, its pages turned until the row shows.
    void Research(const std::string& name, const wchar_t* research) {
        ClickPastNotices(name + ": the research panel", L"btn_research");
        game_->Then(name + ": bought", [this, research] {
            if (CloseNotice() || !HudObject(L"lyr_research_menu")) return false;
            const auto& offers = Hud()->ResearchToBuy();
            auto found = std::find_if(offers.entries.begin(), offers.entries.end(),
                                      [research](const ListedResearch& r) { return r.name == research; });
            if (found == offers.entries.end()) return false;
            const std::wstring row =
                L"research_buy_" + std::to_wstring((found - offers.entries.begin()) - offers.index);
            if (!HudObject(row.c_str())) {
                ClickHud(L"research_more");
                return false;
            }
            return ClickHud(row.c_str());
        });
        ClickPastNotices(name + ": the panel closed", L"research_close");
    }
    // A building's card, its improvements, and the upgrade (or boost) bought.
    void Upgrade(const std::string& name, const wchar_t* type, const wchar_t* buy = L"upgrade_buy_0") {
        game_->Then(name + ": its card's improvements", [this, type] {
            KivraBuilding* building = Find(type);
            if (CloseNotice()) return false;
            if (HudObject(L"building_info_upgrades")) return true;
            AnimationWidget* card = Grid().GetPopupWidget();
            DynamicWidget* improve = DrivenGame::ScriptObject(card, L"popup_upgrades");
            if (Grid().GetPopupBuilding() != building || !improve || card->opacity < 1.0f) {
                const ScreenPoint at = DrivenGame::Middle(building);
                game_->MoveTo(at.x + game_->FramesOnStep() % 2, at.y);
                return false;
            }
            if (game_->FramesOnStep() % 20 == 19) game_->ClickOn(improve);
            return false;
        });
        ClickPastNotices(name + ": bought", buy);
        ClickPastNotices(name + ": the panel closed", L"upgrades_close");
    }

    DrivenGame* game_ = nullptr;
};

TEST_F(GamePlaythroughTest, ANewPlayerFollowsTheTutorialPlaysAWeekLeavesReturnsAndCompletesTheFirstPark) {
    const auto started = std::chrono::steady_clock::now();
    std::string left, completedView;
    std::string parkText;
    {
        DrivenGame game(data_);
        game_ = &game;
        NewPlayerToTheMap(game, L"Ada");
        OpenFirstPark(game, "the first park's sign");
        game.Then("the park opens in its tutorial", [this, &game] {
            if (!Hud() || !Settled(game, Hud())) return false;
            EXPECT_EQ(Player().TutorialStep(), 0);
            game.RunFast();
            return true;
        });

        // The tutorial, step by step: what the step asks, done as asked.
        int32_t moneyBefore = 0;
        std::vector<TilePoint> walk;
        int clicks = 0, placing = 0;
        struct Row {
            const wchar_t* step;
            std::function<bool()> act;
        };
        const std::vector<Row> tutorial = {
            {L"welcome",
             [&] {
                 DynamicWidget* field = HudObject(L"park_name_input");
                 if (!field) return false;
                 game.ClickOn(field);
                 game.Type(L"Ada's Green");
                 game.Press(plat::vk::kReturn);
                 return true;
             }},
            {L"build_toolbar", [&] { return ClickHud(L"btn_build"); }},
            {L"build_menu", [&] { return ClickHud(L"tab_ride"); }},
            {L"look_bouncy_castle", [&] { return ClickBuildRow(L"bouncy_castle"); }},
            {L"buy_bouncy_castle",
             [&] {
                 moneyBefore = Level().money;
                 return ClickHud(L"data_buy");
             }},
            {L"place_fun_bounce",
             [&] {
                 const std::vector<TilePoint> marked = Marked();
                 KivraBuilding* held = Grid().GetHeldBuilding();
                 const int frame = placing++;
                 // Below the glowing tiles, on good ground and clear of the
                 // display's panels: refused, the castle blushes and the
                 // glowing tiles light up.
                 if (frame == 0) {
                     EXPECT_EQ(marked.size(), 4u);
                     EXPECT_TRUE(PlaceAt({marked.back().col + 3, marked.back().row + 3}));
                     EXPECT_TRUE(held && held->CanPlace()) << "placed off the marked tiles";
                     EXPECT_EQ(Level().money, moneyBefore);
                     return false;
                 }
                 if (!held) return true;
                 // The pointer on the corner the four glowing tiles share: the
                 // castle over them, its blush passed, and a click sets it there.
                 const PixelPoint first = Grid().TileToScreen(marked.front().col, marked.front().row);
                 const PixelPoint last = Grid().TileToScreen(marked.back().col, marked.back().row);
                 const FRect origin = DrivenGame::Origin(&Grid());
                 const int x = static_cast<int>(origin.x + (first.x + last.x) * 0.5f);
                 const int y = static_cast<int>(origin.y + (first.y + last.y) * 0.5f);
                 if (frame == 20) {
                     EXPECT_LT(held->green, 0.9f);
                     for (const TilePoint tile : marked) EXPECT_EQ(Grid().GetTileAt(tile.col, tile.row)->state, 'g');
                     game.MoveTo(x, y);
                 }
                 if (frame < 40) return false;
                 EXPECT_FLOAT_EQ(held->green, 1.0f);
                 game.ClickAt(x, y);
                 EXPECT_EQ(Grid().GetHeldBuilding(), nullptr) << "refused over the glowing tiles";
                 EXPECT_EQ(Level().money, moneyBefore - 1200);
                 return true;
             }},
            {L"start_sidewalk",
             [&] {
                 // The castle's first card, where the pointer rests, stands clear of the step's box.
                 AnimationWidget* card = Grid().GetPopupWidget();
                 EXPECT_TRUE(game.FramesOnStep() > 0 || (card && Clear(DrivenGame::ScriptObject(card, L"popup_back"),
                                                                       HudObject(L"lyr_tutorial_box"))));
                 return ClickHud(L"btn_sidewalk_add");
             }},
            {L"sidewalk3",
             [&] {
                 // The pointer rests on each tile before the click, as a hand does:
                 // first one beside the marked tiles, refused, then the marked ones.
                 if (walk.empty()) {
                     walk = Marked();
                     EXPECT_EQ(walk.size(), 2u);
                     walk.insert(walk.begin(), {walk.front().col, walk.front().row + 3});
                     moneyBefore = Level().money;
                 }
                 const TilePoint tile = walk[clicks / 2];
                 const ScreenPoint at = OnScreen(tile);
                 if (clicks++ % 2 == 0) {
                     game.MoveTo(at.x, at.y);
                     return false;
                 }
                 game.ClickAt(at.x, at.y);
                 const TileChar painted = Grid().GetTileAt(tile.col, tile.row)->material;
                 if (clicks == 2) {
                     EXPECT_EQ(painted, '_') << "painted off the marked tiles";
                     EXPECT_EQ(Level().money, moneyBefore);
                 } else {
                     EXPECT_EQ(painted, Level().sidewalk);
                 }
                 if (clicks < static_cast<int>(walk.size()) * 2) return false;
                 EXPECT_EQ(Level().money, moneyBefore - 20);
                 return true;
             }},
            {L"finish_sidewalk", [&] { return ClickHud(L"banner_done"); }},
            {L"open_gate",
             [&] {
                 // The gate's popup, its open button, then the step's own button; the first
                 // week runs out before it: the tutorial waits under the review.
                 if (AnimationWidget* night = Night(); Gate()->IsOpen() && (Level().weeks_played == 0 || night)) {
                     DynamicWidget* ok = DrivenGame::ScriptObject(night, L"review_ok");
                     DynamicWidget* next = ok ? ok : DrivenGame::ScriptObject(night, L"sunrise");
                     if (!next || game.FramesOnStep() % 20 != 19) return false;
                     for (const wchar_t* id : {L"lyr_tutorial_box", L"tutorial_skip"})
                         EXPECT_TRUE(HudObject(id) && HudObject(id)->IsVisible() == !ok) << text::ToUtf8(id);
                     return game.ClickOn(next), false;
                 }
                 AnimationWidget* popup = Grid().GetPopupWidget();
                 if (!popup && !Gate()->IsOpen()) {
                     if (game.FramesOnStep() % 30 == 29) game.ClickOn(Gate());
                     return false;
                 }
                 DynamicWidget* open = DrivenGame::ScriptObject(popup, L"popup_open");
                 if (!Gate()->IsOpen()) {
                     if (open && popup->opacity >= 1.0f && game.FramesOnStep() % 30 == 29) game.ClickOn(open);
                     return false;
                 }
                 return ClickHud(L"tutorial_ok");
             }},
            {L"navigate", [&] { return ClickHud(L"btn_goals"); }},
            {L"choose_challenge",
             [&] {
                 // The park's first challenge, followed from the start, chosen again.
                 if (!HudObject(L"lyr_goal_detail")) {
                     ClickHud(L"goal_row_0");
                     return false;
                 }
                 return ClickHud(L"detail_follow");
             }},
        };
        for (size_t i = 0; i < tutorial.size(); ++i) {
            const Row& row = tutorial[i];
            const std::string name = text::ToUtf8(row.step);
            game.Then("tutorial step " + name + " shows", [this, &game, i, row] {
                if (Player().TutorialStep() != static_cast<int32_t>(i)) return false;
                EXPECT_EQ(Hud()->TutorialStepName(static_cast<int32_t>(i)), std::wstring(row.step));
                DynamicWidget* box = HudObject(L"lyr_tutorial_box");
                return box && box->opacity >= 1.0f && game.FramesOnStep() >= 20;
            });
            // The gate's step waits out the first week.
            if (row.act) game.Then("tutorial step " + name + " done", row.act, 8000);
        }
        game.Then("the tutorial ends", [this] {
            if (Player().TutorialStep() != -1) return false;
            EXPECT_TRUE(Hud()->TutorialInactive());
            EXPECT_FALSE(Player().PausedForTutorial());
            EXPECT_TRUE(Grid().IsDraggable());
            EXPECT_NE(Hud()->ShownGoal(), nullptr);
            return true;
        });

        // The challenge's open objectives, one ride each, placed with their
        // doors on the road: the goal panel moves on with each, and the
        // challenge won shows its trophy.
        Objective* goal = nullptr;
        struct Build {
            const char* name;
            const wchar_t* type;
            TilePoint corner;
        };
        for (const Build& build :
             {Build{"play pipes", L"play_pipes", {23, 20}}, Build{"playhouse", L"playhouse", {23, 23}}}) {
            const std::string name = build.name;
            game.Then(name + ": the goal in hand", [&] {
                goal = Hud()->ShownGoal();
                EXPECT_TRUE(goal && !goal->completed);
                return goal != nullptr;
            });
            ClickHudLater(name + ": the build tool", L"btn_build");
            ClickHudLater(name + ": the rides", L"tab_ride");
            game.Then(name + ": its row", [this, build] { return ClickBuildRow(build.type); });
            ClickHudLater(name + ": bought", L"data_buy");
            game.Then(name + ": placed", [this, build] {
                if (!PlaceAt(build.corner)) return false;
                EXPECT_NE(Find(build.type), nullptr);
                return true;
            });
            ClickHudLater(name + ": done placing", L"banner_done");
            game.Then(name + ": the goal panel moves on", [this, &goal, build] {
                if (Hud()->ShownGoal() == goal) return false;
                EXPECT_TRUE(goal->completed);
                // The next objective, or none once the challenge is won.
                EXPECT_EQ(Hud()->ShownGoal() == nullptr, build.type == std::wstring_view(L"playhouse"));
                return true;
            });
        }
        game.Then("the trophy", [&] {
            EXPECT_TRUE(Level().goals_tracker.FindChallenge(L"funbooks_bronze")->completed);
            return ClickHud(L"trophy_ok");
        });

        // Playing on: the week's visitors pay at the gate, ride and leave
        // happier; night falls, the week is reviewed and the sun rises.
        int32_t money = 0, hearts = 0, weeks = 0;
        bool paid = false, rode = false;
        game.Then("money and hearts before the visitors", [&] {
            money = Level().money;
            hearts = Level().hearts;
            weeks = Level().weeks_played;
            return true;
        });
        game.Then(
            "visitors pay, ride and earn hearts",
            [&] {
                paid = paid || (Level().money > money && Visitors() > 0);
                rode = rode || !Find(L"bouncy_castle")->Occupants().empty();
                money = std::min(money, Level().money);
                return paid && rode && Level().hearts > hearts;
            },
            8000);
        game.Then(
            "night falls",
            [&] {
                AnimationWidget* night = Night();
                DynamicWidget* ok = DrivenGame::ScriptObject(night, L"review_ok");
                if (!ok || game.FramesOnStep() < 20) return false;
                EXPECT_EQ(Level().weeks_played, weeks + 1);
                EXPECT_EQ(Grid().GetSpawner(), nullptr);
                EXPECT_GT(Level().stats.allTime.visitors, 0);
                game.ClickOn(ok);
                return true;
            },
            8000);
        game.Then("the sun rises", [&] {
            DynamicWidget* sunrise = DrivenGame::ScriptObject(Night(), L"sunrise");
            if (!sunrise || game.FramesOnStep() < 20) return false;
            EXPECT_EQ(Grid().GetParkState(), KivraGrid::kParkOpen);
            game.ClickOn(sunrise);
            return true;
        });
        game.Then("a new week", [&] {
            if (Night() || Grid().GetParkState() != KivraGrid::kWeekRunning) return false;
            EXPECT_NE(Grid().GetSpawner(), nullptr);
            return true;
        });

        // Saved and left; the park is found again as it was.
        game.Then("save and quit", [&] {
            left = Look(Grid());
            return ClickHud(L"btn_save_quit");
        });
        OpenFirstPark(game, "the first park again");
        game.Then("the park as it was left", [&] {
            if (!Hud() || !Settled(game, Hud())) return false;
            EXPECT_EQ(Look(Grid()), left);
            EXPECT_EQ(Level().display_name, L"Ada's Green");
            return true;
        });

        // Every trophy of the park, won as a player wins them: what each open
        // goal asks bought from the display's own lists and panels, weeks
        // played on whenever money, hearts, research or a weekly goal waits.
        auto won = [](const wchar_t* challenge) {
            return [challenge] { return Level().goals_tracker.FindChallenge(challenge)->completed; };
        };
        Afford("the pretzel stand's research", 300, 1);
        Research("the pretzel stand's research", L"pretzel_stand");
        BuyAndPlace("cotton candy", L"tab_food", L"cotton_candy", {{23, 12}, {23, 11}});
        PlayOnUntil("the second trophy", won(L"funbooks_silver"));
        // The children's favourites side by side with the castle: a zone.
        BuyAndPlace("pipes by the castle", L"tab_ride", L"play_pipes", {{13, 10}, {13, 14}});
        BuyAndPlace("a playhouse by both", L"tab_ride", L"playhouse", {{14, 11}, {14, 10}, {14, 13}});
        PlayOnUntil("the third trophy", won(L"funbooks_gold"));
        Afford("the snack street's research", 500, 2);
        Research("the snack street's research", L"snack_street_zone");
        PlayOnUntil("the snack street learned", [] { return Level().learned_combos.contains(L"snack_street"); });
        BuyAndPlace("a pretzel stand", L"tab_food", L"pretzel_stand", {{23, 13}, {22, 11}});
        BuyAndPlace("a burger diner by both", L"tab_food", L"burger_diner", {{22, 13}});
        PlayOnUntil("the soccer silver", won(L"soccerglobale_silver"));
        BuyAndPlace("the fountain won, by the castle", L"tab_decoration", L"fountain", {{11, 12}, {11, 10}});
        Afford("the castle's towers", 600, 2);
        Upgrade("the castle's towers", L"bouncy_castle");
        game.Then("the finish waits for every trophy", [&] {
            auto* complete = dynamic_cast<ButtonWidget*>(HudObject(L"btn_complete"));
            EXPECT_TRUE(complete && complete->IsDisabled());
            EXPECT_EQ(Level().goals_tracker.CountCompletedChallenges(), 5);
            return true;
        });
        Afford("the sky wheel's plans", 2000, 4);
        Research("the sky wheel's plans", L"sky_wheel_plans");
        PlayOnUntil("the wheel's plans done", [] { return Level().availability[L"sky_wheel"] == 1; });
        BuyAndPlace("the sky wheel", L"tab_ride", L"sky_wheel", {{14, 19}, {21, 20}});
        // The castle, crowded by its neighbours, needs its balloons to rank with the wheel.
        Afford("the castle's balloons", 150, 1);
        Upgrade("the castle's balloons", L"bouncy_castle", L"boost_buy_0");
        PlayOnUntil("the soccer gold", won(L"soccerglobale_gold"));
        Afford("billboards", 800, 2);
        Research("billboards", L"billboards");
        PlayOnUntil("a marketing slot", [] { return Level().marketing_slots > 0; });
        ClickPastNotices("the marketing panel", L"btn_marketing");
        ClickPastNotices("its slot", L"slot_row_0");
        ClickPastNotices("picnickers", L"visitor_row_0");
        ClickPastNotices("advertised", L"visitors_go");
        ClickPastNotices("the marketing panel closed", L"marketing_close");
        PlayOnUntil("the coaster won", won(L"bopper_silver"));
        BuyAndPlace("the coaster, from the list's second page", L"tab_ride", L"roller_coaster",
                    {{15, 23}, {13, 7}, {30, 7}});
        PlayOnUntil("every trophy", [] { return Level().goals_tracker.CountCompletedChallenges() == 9; });
        game.Then("completed", [&] {
            auto* complete = dynamic_cast<ButtonWidget*>(HudObject(L"btn_complete"));
            if (CloseNotice() || !complete || complete->IsDisabled()) return false;
            EXPECT_EQ(Level().goals_tracker.CountCompletedChallenges(), 9);
            return ClickHud(L"btn_complete");
        });
        game.Then("the park's finish confirmed", [&] {
            if (CloseNotice()) return false;
            // The park as the confirming click leaves it: visitors pay on
            // while the dialog asks.
            completedView = Look(Grid());
            return ClickHud(L"dialog_yes");
        });
        game.Then("the completed park's screen", [&] {
            auto* beaten = game.OpenMenu<BeatLevelMenu>();
            if (!beaten || !Settled(game, beaten)) return false;
            parkText = SavedPark(home_ / "profiles.xml");
            return true;
        });
        ClickScriptButton(
            game, "to the main menu", [&game] { return game.OpenMenu<BeatLevelMenu>(); }, L"main");
        ClickScriptButton(
            game, "quit", [&game] { return game.OpenMenu<MainMenu>(); }, L"quit");
        ClickScriptButton(
            game, "confirm quitting", [&game] { return game.OpenMenu<ConfirmQuitMenu>(); }, L"ok");
        ASSERT_EQ(game.Play(), "");
        EXPECT_EQ(game.ExitCode(), 0);
    }
    ASSERT_FALSE(parkText.empty());

    // A second start: the same player, the same park; saving it at once
    // writes the same text.
    {
        DrivenGame game(data_);
        game_ = &game;
        SkipToTitle(game);
        PressPlayOnTitle(game);
        ClickScriptButton(
            game, "play", [&game] { return game.OpenMenu<MainMenu>(); }, L"play");
        OpenFirstPark(game, "the first park's sign");
        game.Then("the park as it was completed", [&] {
            if (!Hud() || !Settled(game, Hud())) return false;
            EXPECT_EQ(game.PlayerName(), L"Ada");
            EXPECT_EQ(Look(Grid()), completedView);
            return ClickHud(L"btn_save");
        });
        game.Then("saved again", [&] {
            // But for the clocks of the week and of the castle's boost, which ran
            // on as the park opened.
            auto withoutClock = [](std::string text) {
                for (const char* clock : {" week_time_left=\"", " time_remaining=\""})
                    for (size_t at = text.find(clock); at != std::string::npos; at = text.find(clock, at))
                        text.erase(at, text.find('"', text.find('"', at) + 1) + 1 - at);
                return text;
            };
            EXPECT_EQ(withoutClock(SavedPark(home_ / "profiles.xml")), withoutClock(parkText));
            game.Shutdown();
            return true;
        });
        ASSERT_EQ(game.Play(), "");
    }
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    RecordProperty("playthrough_seconds", std::to_string(seconds));
    std::printf("the playthrough took %.1f s\n", seconds);
}

// A player who leaves part-way through the tutorial finds it again where it
// was: the saved step shows its box and its skip button as the park opens,
// also a step that shows at once. The hint button answers for the goal
// panel's goal: off while the tutorial holds the panel back (there is no goal
// to hint at, and a press would do nothing), on once the panel shows an open
// goal, and on again when the player comes back to the park.
TEST_F(GamePlaythroughTest, TheTutorialGoesOnWhereThePlayerLeftItAndTheHintWaitsForAGoal) {
    DrivenGame game(data_);
    game_ = &game;
    auto hint = [this] { return dynamic_cast<ButtonWidget*>(HudObject(L"btn_hint")); };
    auto boxShown = [this, &game](int32_t step) {
        if (!Hud() || Player().TutorialStep() != step || game.FramesOnStep() < 60) return false;
        DynamicWidget* box = HudObject(L"lyr_tutorial_box");
        return box && box->opacity >= 1.0f && HudObject(L"tutorial_skip") != nullptr;
    };
    auto noGoalNoHint = [&] {
        EXPECT_EQ(Hud()->ShownGoal(), nullptr);
        EXPECT_TRUE(hint() && hint()->IsDisabled());
    };
    NewPlayerToTheMap(game, L"Cy");
    OpenFirstPark(game, "the first park");
    game.Then("the first step shows: no goal, no hint", [&] {
        if (!boxShown(0)) return false;
        game.RunFast();
        noGoalNoHint();
        return true;
    });
    game.Then("the park named", [&] {
        DynamicWidget* field = HudObject(L"park_name_input");
        if (!field) return false;
        game.ClickOn(field);
        game.Type(L"Cy's Park");
        game.Press(plat::vk::kReturn);
        return true;
    });
    std::wstring secondStep;
    game.Then("the second step shows", [&] {
        if (!boxShown(1)) return false;
        secondStep = Hud()->TutorialStepName(1).value_or(L"");
        return true;
    });
    ClickHudLater("save and quit", L"btn_save_quit");
    OpenFirstPark(game, "the first park again");
    game.Then("the second step shows again", [&] {
        if (!boxShown(1)) return false;
        EXPECT_EQ(Hud()->TutorialStepName(1), secondStep);
        EXPECT_EQ(Hud()->GetLocalVariable(L"text_label").ToString(), L"t_instr_" + secondStep);
        noGoalNoHint();
        return true;
    });
    ClickHudLater("the tutorial skipped", L"tutorial_skip");
    game.Then("the goal shown, the hint on", [&] {
        if (!Hud()->TutorialInactive() || !Hud()->ShownGoal() || game.FramesOnStep() < 20) return false;
        EXPECT_FALSE(hint()->IsDisabled());
        game.ClickOn(hint());
        return true;
    });
    game.Then("the hint shows", [&] { return HudObject(L"hint_widget") != nullptr; });
    ClickHudLater("save and quit once more", L"btn_save_quit");
    OpenFirstPark(game, "the first park once more");
    game.Then("back in the park, the hint on", [&] {
        if (!Hud() || !Settled(game, Hud())) return false;
        EXPECT_NE(Hud()->ShownGoal(), nullptr);
        EXPECT_TRUE(hint() && !hint()->IsDisabled());
        game.Shutdown();
        return true;
    });
    ASSERT_EQ(game.Play(), "");
}

// The widest name the field takes shows right of the calendar at its widest
// and no further right than a short name.
TEST_F(GamePlaythroughTest, ALongParkNameLeavesTheCalendarClear) {
    DrivenGame game(data_);
    game_ = &game;
    // Where a label's text shows on the screen, as far as its clip lets it:
    // the two corners mapped as points.
    auto onScreen = [](DynamicWidget* widget) {
        auto* label = dynamic_cast<TextLabel*>(widget);
        if (!label) return FRect{};
        const FRect clip = label->ClipRectangle();
        const float top = static_cast<float>(label->GetTextY()) - label->GetFont()->GetAscent();
        const float left = std::max(static_cast<float>(label->GetTextX()), clip.x);
        const float right = std::min(static_cast<float>(label->GetTextX() + label->GetTextWidth()), clip.x + clip.w);
        const FRect a = label->MapRectToScreen({left, top, 1.0f, 1.0f});
        const FRect b = label->MapRectToScreen({right, top + static_cast<float>(label->GetTextHeight()), 1.0f, 1.0f});
        return FRect{a.x, a.y, b.x - a.x, b.y - a.y};
    };
    NewPlayerToTheMap(game, L"Bo");
    OpenFirstPark(game, "the first park");
    float shortEnd = 0.0f;
    game.Then("the park named at length", [&] {
        DynamicWidget* field = HudObject(L"park_name_input");
        if (!field || !HudObject(L"park_name") || game.FramesOnStep() < 60) return false;
        const FRect shortName = onScreen(HudObject(L"park_name"));
        shortEnd = shortName.x + shortName.w;
        // Year 10, month 12, week 4: the calendar's widest numbers.
        Level().weeks_played = 9 * 48 + 47;
        game.ClickOn(field);
        game.Type(std::wstring(30, L'W'));
        game.Press(plat::vk::kReturn);
        return true;
    });
    game.Then("the name beside the calendar", [&] {
        if (Level().display_name.empty() || game.FramesOnStep() < 20) return false;
        const FRect name = onScreen(HudObject(L"park_name"));
        const FRect calendar = onScreen(HudObject(L"calendar"));
        EXPECT_GT(name.w, 0.0f);
        EXPECT_GE(name.x, calendar.x + calendar.w) << "the name runs over the calendar";
        EXPECT_LE(name.x + name.w, shortEnd + 1.0f) << "past where a short name ends";
        game.Shutdown();
        return true;
    });
    ASSERT_EQ(game.Play(), "");
}

// Every research on its way has its row in the research panel, each below
// the last and all above the list of what is left to buy. A click at once
// after a purchase buys what it was aimed at: no buy button closes up under
// the pointer.
TEST_F(GamePlaythroughTest, TheResearchPanelListsAllResearchOnItsWay) {
    DrivenGame game(data_);
    StartNamedPark(game, L"Ed", "the park named, money enough", [] { Level().money = 100000; });
    ClickHudLater("the research panel", L"btn_research");
    std::vector<std::wstring> aimedAt;
    ScreenPoint third{};
    game.Then("the second offer bought", [&] {
        DynamicWidget* second = HudObject(L"research_buy_1");
        if (!second || !HudObject(L"research_buy_2") || game.FramesOnStep() < 20) return false;
        aimedAt = {Hud()->ResearchToBuy().entries.at(1).name, Hud()->ResearchToBuy().entries.at(2).name};
        third = DrivenGame::Middle(HudObject(L"research_buy_2"));
        return game.ClickOn(second), true;
    });
    game.Then("at once, the third where it stood", [&] { return game.ClickAt(third.x, third.y), true; });
    game.Then("everything on offer bought", [&] {
        if (game.FramesOnStep() == 0) {
            std::vector<std::wstring> bought;
            for (const RESEARCH_OPTION& option : Level().bought_research) bought.push_back(option.name);
            EXPECT_EQ(bought, aimedAt);
        }
        if (game.FramesOnStep() < 20) return false;
        // A bought offer's place stays empty: the next one down is bought.
        for (const wchar_t* id : {L"research_buy_0", L"research_buy_1", L"research_buy_2"})
            if (DynamicWidget* buy = HudObject(id)) return game.ClickOn(buy), false;
        return true;
    });
    game.Then("each on its way listed", [&] {
        if (game.FramesOnStep() < 20) return false;
        constexpr float kLine = 16.0f;  // the panel's small font
        const size_t onItsWay = Level().bought_research.size();
        EXPECT_GE(onItsWay, 3u);
        float below = DrivenGame::Origin(HudObject(L"research_on_title")).y;
        for (size_t row = 0; row < onItsWay; ++row) {
            DynamicWidget* line = HudObject(text::WFormat(L"research_on_%d", static_cast<int>(row)).c_str());
            if (!line) {
                ADD_FAILURE() << "no row " << row << " of " << onItsWay;
                break;
            }
            const float top = DrivenGame::Origin(line).y;
            EXPECT_GE(top, below + kLine) << "row " << row;
            below = top;
        }
        EXPECT_GE(DrivenGame::Origin(HudObject(L"research_offer_title")).y, below + kLine);
        game.Shutdown();
        return true;
    });
    ASSERT_EQ(game.Play(), "");
}

// However many challenges are open, the goals menu shows each of them, page
// by page, and a row opens the challenge it names; no row lies under the
// arrow that turns the page.
TEST_F(GamePlaythroughTest, TheGoalsMenuReachesEveryOpenChallenge) {
    DrivenGame game(data_);
    game_ = &game;
    NewPlayerToTheMap(game, L"Flo");
    OpenFirstPark(game, "the first park");
    std::set<std::wstring> open, seen;
    SkipTutorialAndNamePark("the park named, every challenge open", L"Flo's", [&] {
        for (const auto& [name, challenge] : Level().goals_tracker.Challenges()) {
            Level().goals_tracker.ActivateChallenge(name);
            open.insert(name);
        }
    });
    ClickHudLater("the goals menu", L"btn_goals");
    int row = 0, pages = 0;
    game.Then("every row of every page opened", [&] {
        if (game.FramesOnStep() < 20 || !HudObject(L"lyr_goals_menu")) return false;
        DynamicWidget* line = HudObject(text::WFormat(L"goal_row_%d", row).c_str());
        DynamicWidget* more = HudObject(L"goals_more");
        if (line) {
            if (more) {
                EXPECT_LE(DrivenGame::Origin(line).y + static_cast<float>(line->GetHeight()),
                          DrivenGame::Origin(more).y);
            }
            game.ClickOn(line);
            const PropertyValue shown = Hud()->GetLocalVariable(L"current_challenge");
            if (auto* challenge = dynamic_cast<Challenge*>(shown.ToPropertyInterface())) {
                EXPECT_TRUE(seen.insert(challenge->name).second) << text::ToUtf8(challenge->name) << " twice";
            }
            ++row;
            return false;
        }
        ++pages;
        if (!more || seen.size() >= open.size() || pages > 10) return true;
        game.ClickOn(more);
        row = 0;
        return false;
    });
    game.Then("each challenge seen once", [&] {
        EXPECT_GT(open.size(), 6u);
        EXPECT_EQ(seen, open);
        game.Shutdown();
        return true;
    });
    ASSERT_EQ(game.Play(), "");
}

// Six rides for sale fill more than a page of the build list: its arrow
// turns to the second page and past it back to the first, and the dearest
// ride, on the second page, is bought from there.
TEST_F(GamePlaythroughTest, TheBuildListTurnsToItsSecondPageAndBack) {
    DrivenGame game(data_);
    StartNamedPark(game, L"Ida", "the park named, every ride for sale", [] {
        Level().availability[L"sky_wheel"] = 1;
        Level().availability[L"roller_coaster"] = 1;
        Level().money = 100000;
    });
    ClickHudLater("the build tool", L"btn_build");
    ClickHudLater("the rides", L"tab_ride");
    ClickHudLater("a page on", L"build_next");
    game.Then("the second page, past it", [this] {
        if (game_->FramesOnStep() < 20) return false;
        EXPECT_EQ(Hud()->BuildingTypes().Size(), 6);
        EXPECT_EQ(Hud()->BuildingTypes().index, 5);
        EXPECT_EQ(HudObject(L"build_row_1"), nullptr);
        return ClickHud(L"build_next");
    });
    game.Then("the first page again", [this] {
        if (game_->FramesOnStep() < 20) return false;
        EXPECT_EQ(Hud()->BuildingTypes().index, 0);
        return HudObject(L"build_row_4") != nullptr;
    });
    game.Then("the coaster's row", [this] { return ClickBuildRow(L"roller_coaster"); });
    ClickHudLater("the coaster bought", L"data_buy");
    game.Then("the coaster carried", [&] {
        KivraBuilding* held = Grid().GetHeldBuilding();
        if (!held) return false;
        EXPECT_EQ(held->GetType(), L"roller_coaster");
        game.Shutdown();
        return true;
    });
    ASSERT_EQ(game.Play(), "");
}

// A player carries, lifts and turns a building by the pointer: the tile under
// the pointer is in the footprint and the picture stands on the marked tiles;
// a lifted building and the park stay put until the pointer moves; doors show
// while a tool is in hand; two turns and Done leave no turn button behind.
TEST_F(GamePlaythroughTest, BuildingsGoWhereThePointerAimsAndTheToolsLeaveNothingBehind) {
    DrivenGame game(data_);
    StartNamedPark(game, L"Gus", "the park named, money enough", [] { Level().money = 100000; });
    BuyFromList("the castle", L"tab_ride", L"bouncy_castle");
    KivraBuilding* castle = nullptr;
    auto doorsShown = [this](KivraBuilding& b) {
        return std::all_of(b.Doors().begin(), b.Doors().end(),
                           [this](const Door& d) { return Grid().GetTileAt(d.col, d.row)->state == d.code; });
    };
    // The pointer rests on the tile a moment, then clicks.
    auto aimAt = [&](TilePoint tile) -> KivraBuilding* {
        KivraBuilding* held = Grid().GetHeldBuilding();
        const ScreenPoint at = OnScreen(tile);
        game.MoveTo(at.x, at.y);
        if (game.FramesOnStep() < 10) return nullptr;
        const TileRect r = held->GetFootprintRect();
        EXPECT_TRUE(r.Covers(tile));
        const PixelPoint foot = Grid().TileToScreen(r.col, r.row);
        const FRect grid = DrivenGame::Origin(&Grid()), picture = DrivenGame::Origin(held);
        EXPECT_FLOAT_EQ(picture.x + static_cast<float>(held->GetWidth()) * 0.5f, grid.x + foot.x);
        EXPECT_FLOAT_EQ(picture.y + static_cast<float>(held->GetHeight() - GridTile::TileStepH() / 2), grid.y + foot.y);
        EXPECT_TRUE(doorsShown(*held));
        game.ClickAt(at.x, at.y);
        return held;
    };
    game.Then("carried and set down where aimed", [&] { return Grid().GetHeldBuilding() && aimAt({22, 19}); });
    ClickHudLater("done building", L"banner_done");
    game.Then("the castle stands", [&] { return (castle = Find(L"bouncy_castle")) != nullptr; });
    ClickHudLater("the turn tool", L"btn_rotate");
    FRect stood{}, park{};
    game.Then("lifted where it stands", [&] {
        if (Grid().GetEditMode() != KivraGrid::kRotateSelect || game.FramesOnStep() < 20) return false;
        EXPECT_TRUE(doorsShown(*castle));
        stood = DrivenGame::Origin(castle);
        park = DrivenGame::Origin(&Grid());
        game.ClickOn(castle);
        return true;
    });
    game.Then("it stays until the pointer moves", [&] {
        EXPECT_EQ(DrivenGame::Origin(castle).x, stood.x);
        EXPECT_EQ(DrivenGame::Origin(castle).y, stood.y);
        EXPECT_EQ(DrivenGame::Origin(&Grid()).x, park.x);
        EXPECT_EQ(DrivenGame::Origin(&Grid()).y, park.y);
        return game.FramesOnStep() >= 30;
    });
    game.Then("turned and set down elsewhere", [&] { return aimAt({22, 22}) != nullptr; });
    game.Then("lifted and set down again", [&] {
        if (Grid().GetEditMode() != KivraGrid::kRotateSelect || game.FramesOnStep() < 20) return false;
        game.ClickOn(castle);
        game.ClickOn(castle);
        return Grid().GetEditMode() == KivraGrid::kRotateSelect;
    });
    ClickHudLater("done turning", L"banner_done");
    game.Then("no turn button left", [&] {
        if (Grid().GetEditMode() != KivraGrid::kNone || game.FramesOnStep() < 20) return false;
        const auto& all = Hud()->GetChildren();
        EXPECT_EQ(std::count_if(all.begin(), all.end(),
                                [](Widget* w) {
                                    auto* button = dynamic_cast<ButtonWidget*>(w);
                                    return button && button->GetIdText() == L"btn_turn";
                                }),
                  0);
        game.Shutdown();
        return true;
    });
    ASSERT_EQ(game.Play(), "");
}

// Escape puts away the panel on top, then the tool in hand, then opens the
// options; a building under a panel shows no card while the pointer rests
// on the panel.
TEST_F(GamePlaythroughTest, EscapeClosesThePanelThenTheToolThenOpensTheOptions) {
    DrivenGame game(data_);
    StartNamedPark(game, L"Ida", "the park named");
    ClickHudLater("the goals menu", L"btn_goals");
    ScreenPoint spot;
    game.Then("the pointer on the panel, the gate beneath it", [&] {
        DynamicWidget* panel = HudObject(L"lyr_goals_menu");
        if (!panel || game.FramesOnStep() < 20) return false;
        // A corner of the panel, clear of its rows and buttons.
        const FRect corner = DrivenGame::Origin(panel);
        spot = {static_cast<int>(corner.x) + 12, static_cast<int>(corner.y) + panel->GetHeight() - 12};
        const ScreenPoint gate = DrivenGame::Middle(Gate());
        Grid().Move(Grid().GetX() + static_cast<float>(spot.x - gate.x),
                    Grid().GetY() + static_cast<float>(spot.y - gate.y));
        game.MoveTo(spot.x, spot.y);
        return true;
    });
    game.Then("no card through the panel", [&] {
        if (game.FramesOnStep() < 20) return false;
        EXPECT_EQ(Grid().GetPopupWidget(), nullptr);
        game.Press(plat::vk::kEscape);
        return true;
    });
    game.Then("Escape closes the panel", [&] {
        if (HudObject(L"lyr_goals_menu")) return false;
        game.MoveTo(spot.x + 1, spot.y);
        return true;
    });
    game.Then("the gate's card once the panel went", [&] { return Grid().GetPopupWidget() != nullptr; });
    ClickHudLater("the move tool", L"btn_move");
    game.Then("Escape puts the tool away", [&] {
        if (Grid().GetEditMode() != KivraGrid::kMoveSelect || game.FramesOnStep() < 20) return false;
        game.Press(plat::vk::kEscape);
        EXPECT_EQ(Grid().GetEditMode(), KivraGrid::kNone);
        EXPECT_EQ(game.OpenMenu<OptionsMenu>(), nullptr);
        game.Press(plat::vk::kEscape);
        return true;
    });
    game.Then("then the options open", [&] {
        if (!game.OpenMenu<OptionsMenu>()) return false;
        game.Shutdown();
        return true;
    });
    ASSERT_EQ(game.Play(), "");
}

// The week's review keeps the park: profiles.xml, read afresh then, holds the
// week's building and money, and the next week's start keeps what was built
// at night. A park left mid-week opens again in that week, with the money and
// the days as they were, and its night falls once the rest of the week has
// passed, not a whole week later.
TEST_F(GamePlaythroughTest, TheWeeksReviewSavesTheParkAndAParkLeftMidWeekGoesOnWithIt) {
    DrivenGame game(data_);
    StartNamedPark(game, L"Jo", "the park named", [&] { game.RunFast(); });
    game.Then("the gate opened from its card", [&] {
        const ScreenPoint at = DrivenGame::Middle(Gate());
        game.MoveTo(at.x, at.y);
        DynamicWidget* open = DrivenGame::ScriptObject(Grid().GetPopupWidget(), L"popup_open");
        if (!open || open->opacity < 1.0f || game.FramesOnStep() < 20) return false;
        game.ClickOn(open);
        return Gate()->IsOpen();
    });
    BuyFromList("the playhouse", L"tab_ride", L"playhouse");
    game.Then("the playhouse placed", [this] { return PlaceAt({23, 23}); });
    ClickHudLater("done placing", L"banner_done");
    game.Then(
        "the week's review, the park saved",
        [&] {
            DynamicWidget* ok = DrivenGame::ScriptObject(Night(), L"review_ok");
            if (!ok || game.FramesOnStep() < 20) return false;
            const std::string saved = SavedPark(home_ / "profiles.xml");
            EXPECT_NE(saved.find("money=\"" + std::to_string(Level().money) + "\""), std::string::npos);
            EXPECT_NE(saved.find("<item type=\"playhouse\""), std::string::npos);
            EXPECT_NE(saved.find("weeks_played=\"1\""), std::string::npos);
            game.ClickOn(ok);
            return true;
        },
        8000);
    BuyFromList("a castle at night", L"tab_ride", L"bouncy_castle");
    game.Then("the castle placed", [this] { return PlaceAt({22, 19}); });
    ClickHudLater("done building at night", L"banner_done");
    game.Then("the sun rises", [&] {
        DynamicWidget* sunrise = DrivenGame::ScriptObject(Night(), L"sunrise");
        if (!sunrise || game.FramesOnStep() < 20) return false;
        game.ClickOn(sunrise);
        return true;
    });
    game.Then("the next week begun, the night's castle saved", [&] {
        if (Grid().GetParkState() != KivraGrid::kWeekRunning) return false;
        EXPECT_NE(SavedPark(home_ / "profiles.xml").find("<item type=\"bouncy_castle\""), std::string::npos);
        return true;
    });
    float left = 0.0f;
    int32_t money = 0, earned = 0;
    game.Then(
        "days into the next week, saved and left",
        [&] {
            if (Grid().GetParkState() != KivraGrid::kWeekRunning || Grid().WeekTimer() > 30.0f ||
                Level().stats.week.money_earned == 0)
                return false;
            left = Grid().WeekTimer();
            money = Level().money;
            earned = Level().stats.week.money_earned;
            return ClickHud(L"btn_save_quit");
        },
        8000);
    OpenFirstPark(game, "the park again");
    game.Then("the week where it was left", [&] {
        if (!Hud() || Grid().GetParkState() != KivraGrid::kWeekRunning) return false;
        EXPECT_NEAR(Grid().WeekTimer(), left, 0.5f);
        EXPECT_EQ(Level().money, money);
        EXPECT_EQ(Level().stats.week.money_earned, earned);
        return true;
    });
    game.Then(
        "night after the rest of the week",
        [&] {
            if (!Night()) return false;
            game.Shutdown();
            return true;
        },
        // What was left, at most 30 s, and a few seconds for opening the park.
        3600);
    ASSERT_EQ(game.Play(), "");
}

// The gate's card shows again as the gate opens, and goes like any card once
// the pointer leaves it: the press was on the card, so the pointer left the
// gate itself before, and nothing else would take the card away.
TEST_F(GamePlaythroughTest, TheGateCardGoesOnceThePointerLeavesItAfterOpening) {
    DrivenGame game(data_);
    StartNamedPark(game, L"Gus", "the park named");
    game.Then("the gate's card, on a click under its arch, where the ground shows through", [&] {
        if (game.FramesOnStep() < 20) return false;
        EXPECT_EQ(Gate()->GetImage()->GetPixel(132, 124, Gate()->GetFrame()) >> 24, 0u) << "no ground shows there";
        const FRect arch = Gate()->MapRectToScreen({132.0f, 124.0f, 1.0f, 1.0f});
        game.ClickAt(static_cast<int>(arch.x), static_cast<int>(arch.y));
        EXPECT_EQ(Grid().GetPopupBuilding(), Gate());
        return true;
    });
    // A click on the card's body over the gate: the park stays put as the
    // pointer moves on, and back on the gate once the card has gone.
    ScreenPoint at;
    FRect park;
    int moved = -1;
    game.Then("a click on the card's body over the gate, the pointer moved on", [&] {
        if (moved < 0) {
            DynamicWidget* open = DrivenGame::ScriptObject(Grid().GetPopupWidget(), L"popup_open");
            if (!open || open->opacity < 1.0f || game.FramesOnStep() < 20) return false;
            at = {DrivenGame::Middle(open).x, static_cast<int>(DrivenGame::Origin(open).y) - 8};
            park = DrivenGame::Origin(&Grid());
            game.ClickAt(at.x, at.y);
        }
        if (++moved < 30) return game.MoveTo(at.x - 8 * moved, at.y + 2 * moved), false;
        if (Grid().GetPopupWidget()) return false;
        EXPECT_EQ(DrivenGame::Origin(&Grid()), park) << "the park follows the pointer";
        return game.MoveTo(at.x, at.y), true;
    });
    game.Then("the gate opened from its card", [&] {
        DynamicWidget* open = DrivenGame::ScriptObject(Grid().GetPopupWidget(), L"popup_open");
        if (!open || open->opacity < 1.0f || game.FramesOnStep() < 20) return false;
        auto* say = dynamic_cast<TextLabel*>(DrivenGame::ScriptObject(Grid().GetPopupWidget(), L"popup_open_text"));
        EXPECT_TRUE(say && static_cast<float>(say->GetTextHeight()) <= say->GetFont()->GetHeight() &&
                    DrivenGame::Origin(say).x + static_cast<float>(say->GetTextX() + say->GetTextWidth()) <=
                        DrivenGame::Origin(open).x)
            << "the gate's card wraps or overlaps its open words";
        game.ClickOn(open);
        EXPECT_TRUE(Gate()->IsOpen());
        return true;
    });
    game.Then(
        "the card gone once the pointer is away",
        [&] {
            // It stays while the pointer rests on it.
            if (game.FramesOnStep() < 60) {
                EXPECT_NE(Grid().GetPopupWidget(), nullptr) << "frame " << game.FramesOnStep();
                return false;
            }
            const ScreenPoint away = OnScreen({12, 12});
            game.MoveTo(away.x, away.y);
            return Grid().GetPopupBuilding() == nullptr && Grid().GetPopupWidget() == nullptr;
        },
        300);
    game.Then("done", [&] {
        game.Shutdown();
        return true;
    });
    ASSERT_EQ(game.Play(), "");
}

// In the bay too, its gate turned the other way, a click under the gate's
// arch opens its card, and one where a visitor stands over it. The bay's
// bridge is opened by hand, as its trophies would open it.
TEST_F(GamePlaythroughTest, AClickUnderTheGatesArchOrOnAVisitorOverItOpensItsCard) {
    DrivenGame game(data_);
    StartNamedPark(game, L"Ivy", "the first park named", [&] {
        game.RunFast();
        auto* bay = dynamic_cast<PlayerState&>(Player()).FindLevel(L"saltwind_bay");
        static_cast<KIVRA_LEVEL*>(bay)->trophies_required = 0;
    });
    const auto clickOpensCard = [&](FRect at) {
        game.ClickAt(static_cast<int>(at.x), static_cast<int>(at.y));
        return Grid().GetPopupBuilding() == Gate();
    };
    // The picture's middle column, a little below its middle: under the arch.
    const auto arch = [this] { return Gate()->MapRectToScreen({132.0f, 124.0f, 1.0f, 1.0f}); };
    ClickHudLater("save and quit", L"btn_save_quit");
    ClickScriptButton(
        game, "the bay", [&game] { return game.OpenMenu<LevelSelectMenu>(); }, L"sign_saltwind_bay");
    game.Then("the bay's arch, and the gate opened", [&] {
        if (!Hud() || !Settled(game, Hud())) return false;
        EXPECT_TRUE(clickOpensCard(arch()));
        return Gate()->PurchaseUpgrade(L"open") != nullptr;
    });
    // A point of a visitor drawn over the gate where the gate's picture is.
    const auto visitorOverGate = [this]() -> std::optional<FRect> {
        for (GridItem* item : Grid().Items()) {
            if (!dynamic_cast<Person*>(item) || item->GetPriority() <= Gate()->GetPriority()) continue;
            const float middle = static_cast<float>(item->GetWidth() / 2);
            for (float y = 0.0f; y < static_cast<float>(item->GetHeight()); y += 2.0f) {
                const FRect at = item->MapRectToScreen({middle, y, 1.0f, 1.0f}), onGate = Gate()->MapRectFromScreen(at);
                if (item->HitTest(middle, y) && Gate()->HitTest(onGate.x, onGate.y)) return at;
            }
        }
        return std::nullopt;
    };
    game.Then("a visitor over the bay's gate, its card gone before", [&] {
        const ScreenPoint away = OnScreen({12, 12});
        game.MoveTo(away.x, away.y);
        const std::optional<FRect> at = Grid().GetPopupWidget() ? std::nullopt : visitorOverGate();
        if (!at) return false;
        EXPECT_TRUE(clickOpensCard(*at)) << "the visitor took the click";
        game.Shutdown();
        return true;
    });
    ASSERT_EQ(game.Play(), "");
}

// A park opening under a pointer at rest on one of its buildings shows that
// building's card only once the building stands as it was left: the card's
// figures are those of the building, its upgrade with them.
TEST_F(GamePlaythroughTest, ACardShownAsTheParkOpensTellsTheBuildingAsItWasLeft) {
    DrivenGame game(data_);
    game_ = &game;
    NewPlayerToTheMap(game, L"Hal");
    OpenFirstPark(game, "the first park");
    ScreenPoint sign{};
    game.Then("the park open where the sign was pressed", [&] {
        sign = game.Widgets().GetPointerPosition(0);
        return Hud() != nullptr;
    });
    // Named, so that no dialog lies between the pointer and the park.
    SkipTutorialAndNamePark("the tutorial skipped, the park named", L"Hal's");
    auto card = [this](const wchar_t* id) {
        auto* label = dynamic_cast<TextLabel*>(DrivenGame::ScriptObject(Grid().GetPopupWidget(), id));
        return label ? label->GetText() : std::wstring(L"none");
    };
    game.Then("a castle upgraded where the map's sign was pressed", [&] {
        if (!Hud()->TutorialInactive() || game.FramesOnStep() < 20) return false;
        const FRect origin = DrivenGame::Origin(&Grid());
        const TilePoint under =
            Grid().ScreenToTile(static_cast<float>(sign.x) - origin.x, static_cast<float>(sign.y) - origin.y);
        Level().money = 100000;
        Level().hearts = 100;
        Grid().PreviewNewBuilding(L"bouncy_castle");
        Grid().GetHeldBuilding()->MoveTo(under);
        EXPECT_TRUE(Grid().TryPlaceHeldItem(true));
        Grid().CancelCurrentMode();
        EXPECT_NE(Find(L"bouncy_castle")->PurchaseUpgrade(L"extra_towers"), nullptr);
        return true;
    });
    game.Then("its card under the pointer", [&] {
        game.MoveTo(sign.x + (game.FramesOnStep() % 2), sign.y);
        return Grid().GetPopupBuilding() == Find(L"bouncy_castle") && game.FramesOnStep() > 20;
    });
    std::wstring appeal;
    game.Then("the card read", [&] {
        appeal = card(L"popup_appeal");
        EXPECT_EQ(appeal, std::to_wstring(static_cast<int>(Find(L"bouncy_castle")->Appeal())));
        return true;
    });
    ClickHudLater("save and quit", L"btn_save_quit");
    OpenFirstPark(game, "the first park again");
    game.Then("the card, if any, as the building stands", [&] {
        if (!Hud() || !Settled(game, Hud())) return false;
        if (Grid().GetPopupWidget() != nullptr) {
            EXPECT_EQ(card(L"popup_appeal"), appeal);
        }
        return true;
    });
    game.Then("the card once the pointer moves", [&] {
        const ScreenPoint away = OnScreen({12, 12});
        game.FramesOnStep() % 2 ? game.MoveTo(sign.x, sign.y) : game.MoveTo(away.x, away.y);
        if (Grid().GetPopupBuilding() != Find(L"bouncy_castle") || game.FramesOnStep() < 20) return false;
        EXPECT_EQ(card(L"popup_appeal"), appeal);
        game.Shutdown();
        return true;
    });
    ASSERT_EQ(game.Play(), "");
}

// What the player reads stays in sight: each tutorial box clear of the
// status strip and no hint button under it, a toolbar tip inside the screen,
// the sixth goal row inside its panel, and at night the veil under the
// display's panels, the open ones closed before the week's review.
TEST_F(GamePlaythroughTest, BoxesTipsRowsAndTheNightLeaveWhatThePlayerReadsInSight) {
    DrivenGame game(data_);
    game_ = &game;
    NewPlayerToTheMap(game, L"Vee");
    OpenFirstPark(game, "the first park");
    int32_t checked = -1;
    game.Then(
        "every tutorial step's box",
        [&] {
            if (!Hud()) return false;
            if (Hud()->TutorialInactive()) return checked >= 0;
            DynamicWidget* box = HudObject(L"lyr_tutorial_box");
            if (!box || box->opacity < 1.0f || checked == Player().TutorialStep()) return false;
            game.RunFast();
            checked = Player().TutorialStep();
            const TutorialStep* step = Hud()->GetTutorial().Data().At(Player().TutorialStep());
            const FRect strip = ScreenRect(HudObject(L"statusbar"));
            EXPECT_GE(ScreenRect(box).y, strip.y + strip.h)
                << text::ToUtf8(step->Name()) << " covers money, hearts, calendar";
            EXPECT_FALSE(HudObject(L"btn_hint")->IsVisible()) << text::ToUtf8(step->Name());
            // Moved on as the player's doing would.
            Hud()->OnTutorialEvent(step->ProceedEvent(), Grid());
            return false;
        },
        20000);
    game.Then("the tip of the toolbar's last button", [&] {
        auto* finish = dynamic_cast<ButtonWidget*>(HudObject(L"btn_complete"));
        EXPECT_TRUE(HudObject(L"btn_hint")->IsVisible()) << "the hint button stays hidden after the tutorial";
        finish->SetDisabled(false);  // as once the park's trophies are all won
        const ScreenPoint at = DrivenGame::Middle(finish);
        game.MoveTo(at.x, at.y);
        DynamicWidget* tip = HudObject(L"tip");
        if (!tip) return false;
        EXPECT_GE(ScreenRect(tip).x, 0.0f);
        EXPECT_LE(ScreenRect(tip).x + ScreenRect(tip).w, 1020.0f) << "the tip runs to the screen's edge";
        // Six challenges open: the goals list shows six rows on its page.
        int open = 0;
        for (const auto& [name, challenge] : Level().goals_tracker.Challenges()) challenge->unlocked = open++ < 6;
        return true;
    });
    ClickHudLater("the goals", L"btn_goals");
    game.Then("the sixth goal row", [&] {
        DynamicWidget* row = HudObject(L"goal_row_5");
        if (!row) return false;
        const FRect panel = ScreenRect(HudObject(L"lyr_goals_menu"));
        EXPECT_LE(ScreenRect(row).y + ScreenRect(row).h, panel.y + panel.h - 16.0f)
            << "the row sits on the panel's edge";
        return true;
    });
    game.Then(
        "nightfall with the goals open",
        [&] {
            if (!Night()) return false;
            EXPECT_EQ(HudObject(L"lyr_goals_menu"), nullptr) << "the review opened over the goals";
            for (const wchar_t* id : {L"statusbar", L"btn_goals", L"btn_hint"})
                EXPECT_LT(Night()->GetPriority(), HudObject(id)->GetPriority())
                    << text::ToUtf8(id) << " under the veil";
            EXPECT_LT(Night()->GetPriority(), Hud()->MagazinePanel()->GetPriority());
            game.Shutdown();
            return true;
        },
        20000);
    ASSERT_EQ(game.Play(), "");
}

// Research of a zone that the player forms by building first gives back what
// it cost, and the zone's card says so. A boost bought at night lasts the
// played weeks its row shows, however long the night: a week on it runs
// still, its row tells the time left, and the goals it counted for keep it.
TEST_F(GamePlaythroughTest, ResearchOvertakenByBuildingIsRefundedAndABoostBoughtAtNightLastsItsPlayedWeeks) {
    DrivenGame game(data_);
    StartNamedPark(game, L"Ida", "the park named, money enough", [] {
        Level().money = 100000;
        Level().hearts = 100;
    });
    Research("the snack street's research", L"snack_street_zone");
    RESEARCH_OPTION paid;
    int32_t money = 0, hearts = 0;
    game.Then("the snack street formed by building", [&] {
        if (Level().bought_research.size() != 1) return false;
        EXPECT_FALSE(HudObject(L"toast") && HudObject(L"lyr_purchased_research_callback")) << "two notes in one place";
        paid = Level().bought_research[0];
        EXPECT_TRUE(Build(L"cotton_candy", {10, 4}) && Build(L"burger_diner", {11, 6}));
        money = Level().money, hearts = Level().hearts;
        KivraBuilding* last = Build(L"cotton_candy", {11, 4});
        money -= last ? last->BuyCost() : 0;
        return last != nullptr;
    });
    KivraBuilding* castle = nullptr;
    game.Then("its research paid back, and the card says so", [&] {
        const std::wstring refund = HudText(L"zone_refund");
        if (refund == L"none" || game.FramesOnStep() < 20) return false;
        EXPECT_NE(refund.find(std::to_wstring(paid.coincost)), std::wstring::npos) << text::ToUtf8(refund);
        EXPECT_TRUE(Level().bought_research.empty());
        EXPECT_EQ(Level().money, money + paid.coincost);
        EXPECT_EQ(Level().hearts, hearts + paid.heartcost);
        castle = Build(L"bouncy_castle", {22, 4});
        EXPECT_TRUE(castle && castle->PurchaseUpgrade(L"extra_towers"));
        game.ClickOn(HudObject(L"zone_ok"));
        return true;
    });
    game.Then(
        "the week reviewed at nightfall", [&] { return ClickNight(L"review_ok"); }, 8000);
    game.Then("the castle's card at night", [&] { return OpenUpgrades(castle); });
    ClickHudLater("its boost bought", L"boost_buy_0");
    std::map<Objective*, size_t> counted;
    game.Then(
        "a week's time spent building under the night sky",
        [&] {
            for (const auto& [name, challenge] : Level().goals_tracker.Challenges())
                for (const auto& objective : challenge->objectives)
                    if (auto* buildings = dynamic_cast<BuildingsExist*>(objective))
                        counted.emplace(buildings, buildings->CountedBuildings());
            return game.FramesOnStep() > 7000;
        },
        8000);
    game.Then("the sun rises", [&] { return ClickNight(L"sunrise"); });
    game.Then(
        "a played week on, reviewed", [&] { return Level().weeks_played == 2 && ClickNight(L"review_ok"); }, 8000);
    game.Then(
        "the castle's boost",
        [&] {
            if (!OpenUpgrades(castle)) return false;
            Boost& boost = castle->Boosts().at(0);
            EXPECT_GE(boost.TimeRemaining(), boost.FullRunTicks() / 2 - 100);
            const std::wstring row = HudText(L"boost_lasting_0");
            for (const char* shown : {"duration_string", "timetofinish_string"})
                EXPECT_NE(row.find(boost.GetProperty(text::FromUtf8(shown)).ToString()), std::wstring::npos)
                    << text::ToUtf8(row);
            for (const auto& [objective, count] : counted)
                EXPECT_GE(static_cast<BuildingsExist*>(objective)->CountedBuildings(), count)
                    << text::ToUtf8(objective->name);
            game.Shutdown();
            return true;
        },
        9000);
    ASSERT_EQ(game.Play(), "");
}

// As night falls nothing stays or opens over the week's review: a panel
// opened in that second does not, and a note of research done then waits
// until the review is closed. After it the park takes the pointer as by day:
// a building bought is carried at the pointer and set down where it aims, one
// turned is set down after one move, a tile is paved where the pointer rests
// and a building's card opens.
TEST_F(GamePlaythroughTest, AtNightNothingStandsOverTheReviewAndTheParkTakesThePointerAfterIt) {
    DrivenGame game(data_);
    StartNamedPark(game, L"Noa", "the park named, money enough", [&] {
        Level().money = 100000;
        Level().hearts = 100;
        game.RunFast();
    });
    Research("the pretzel stand's research", L"pretzel_stand");
    auto noteShown = [this] {
        return std::any_of(Hud()->GetChildren().begin(), Hud()->GetChildren().end(), [](Widget* child) {
            return child->IsVisible() &&
                   DrivenGame::ScriptObject(dynamic_cast<AnimationWidget*>(child), L"research_ok") != nullptr;
        });
    };
    game.Then(
        "research done and the goals opened as night falls",
        [&] {
            // As research bought the night before finishes.
            if (!Night()) {
                if (Grid().WeekTimeLeft() > 0 && Grid().WeekTimeLeft() < 20 && !Level().bought_research.empty())
                    Level().bought_research[0].ticks = 1;
                return false;
            }
            game.ClickOn(HudObject(L"btn_goals"));
            return true;
        },
        8000);
    game.Then("the review, nothing over it", [&] {
        DynamicWidget* ok = DrivenGame::ScriptObject(Night(), L"review_ok");
        if (!ok || game.FramesOnStep() < 20) return false;
        EXPECT_EQ(HudObject(L"lyr_goals_menu"), nullptr) << "a panel over the review";
        EXPECT_FALSE(noteShown()) << "a note over the review";
        game.ClickOn(ok);
        return true;
    });
    game.Then("the note, once the review is closed", [&] { return noteShown() && CloseNotice(); });
    BuyFromList("the castle", L"tab_ride", L"bouncy_castle");
    game.Then("carried at the pointer and set down", [this] { return PlaceAt({22, 19}); });
    ClickHudLater("the next one turned", L"btn_turn");
    int32_t turned = 0;
    game.Then("set down after one move", [&] {
        KivraBuilding* held = Grid().GetHeldBuilding();
        if (!held || game.FramesOnStep() < 10) return false;
        turned = held->GetOrientation();
        const ScreenPoint at = OnScreen({22, 23});
        game.ClickAt(at.x, at.y);
        KivraBuilding* placed = Grid().GetTileOccupant({22, 23});
        EXPECT_TRUE(placed && placed != Grid().GetHeldBuilding() && placed->GetOrientation() == turned);
        return true;
    });
    ClickHudLater("done building", L"banner_done");
    ClickHudLater("the sidewalk tool", L"btn_sidewalk_add");
    game.Then("a tile paved where the pointer rests", [&] {
        const ScreenPoint at = OnScreen({18, 21});
        game.MoveTo(at.x, at.y);
        if (game.FramesOnStep() < 10) return false;
        game.ClickAt(at.x, at.y);
        return dynamic_cast<KivraTile*>(Grid().GetTileAt(18, 21))->IsSidewalk();
    });
    ClickHudLater("done paving", L"banner_done");
    // The display's child a widget is drawn in, and where among them.
    auto drawnAt = [this](const Widget* widget) {
        while (widget && widget->GetParent() != Hud()) widget = dynamic_cast<const Widget*>(widget->GetParent());
        const auto& layers = Hud()->GetChildren();
        return std::find(layers.begin(), layers.end(), widget) - layers.begin();
    };
    // With the park scrolled to put the castle under "Next week", at the
    // left edge, under the top bar and between the bar and "Next week", its
    // card is drawn over the veil and the display's buttons, stands wholly
    // on the screen and over none of the display's buttons, bars and goal card.
    for (const ScreenPoint spot :
         {ScreenPoint{512, 200}, ScreenPoint{16, 400}, ScreenPoint{300, 70}, ScreenPoint{512, 70}}) {
        game.Then("the castle's card in sight at " + std::to_string(spot.x) + "," + std::to_string(spot.y), [&, spot] {
            const ScreenPoint at = DrivenGame::Middle(Find(L"bouncy_castle"));
            if (at.x != spot.x || at.y != spot.y)
                Grid().Move(Grid().GetX() + static_cast<float>(spot.x - at.x),
                            Grid().GetY() + static_cast<float>(spot.y - at.y));
            AnimationWidget* card = Grid().GetPopupWidget();
            if (!card || card->opacity < 1.0f || game.FramesOnStep() < 20) {
                // Off the castle and back while no card stands: resting on it opens none.
                const bool away = !card && game.FramesOnStep() % 20 == 0;
                return game.MoveTo(away ? (spot.x + 400) % 1024 : spot.x + game.FramesOnStep() % 2, spot.y), false;
            }
            EXPECT_GT(drawnAt(card), drawnAt(Night())) << "the card lies under the night's veil";
            EXPECT_GT(drawnAt(card), drawnAt(HudObject(L"btn_hint"))) << "the card lies under the display's buttons";
            const FRect drawn = ScreenRect(DrivenGame::ScriptObject(card, L"popup_back"));
            EXPECT_EQ(drawn.Intersection({0.0f, 0.0f, 1024.0f, 768.0f}), drawn) << "the card runs off the screen";
            for (DynamicWidget* piece :
                 {DrivenGame::ScriptObject(Night(), L"sunrise"), HudObject(L"btn_hint"), HudObject(L"statusbar"),
                  DrivenGame::ScriptObject(Hud()->GoalTaskPanel(), L"goal_card")})
                EXPECT_TRUE(Clear(DrivenGame::ScriptObject(card, L"popup_back"), piece))
                    << "the card covers " << text::ToUtf8(piece->GetIdText());
            return true;
        });
    }
    // There the card stands apart: its "Improve" is reached at a hand's pace, a second from the castle.
    KivraBuilding* castle = nullptr;
    game.Then("the card apart reached at a hand's pace", [&] {
        AnimationWidget* card = Grid().GetPopupWidget();
        DynamicWidget* improve = DrivenGame::ScriptObject(card, L"popup_upgrades");
        const int frame = game.FramesOnStep();
        if (frame == 0) castle = card->GetLocalVariable(L"apart").ToBool() ? Grid().GetPopupBuilding() : nullptr;
        if (!improve || !castle || Grid().GetPopupBuilding() != castle)
            return ADD_FAILURE() << "the card touched the castle, or went " << frame << " updates on the way", true;
        const ScreenPoint from = DrivenGame::Middle(castle), to = DrivenGame::Middle(improve);
        if (frame < 100)
            return game.MoveTo(from.x + (to.x - from.x) * frame / 100, from.y + (to.y - from.y) * frame / 100), false;
        game.ClickOn(improve);
        EXPECT_NE(HudObject(L"building_info_upgrades"), nullptr) << "\"Improve\" did nothing";
        return true;
    });
    Upgrade("the castle's card", L"bouncy_castle");
    game.Then("still night", [&] {
        EXPECT_NE(Night(), nullptr);
        game.Shutdown();
        return true;
    });
    ASSERT_EQ(game.Play(), "");
}

// Every row of the upgrades and boosts panel, of research to buy and of the
// kinds of visitor to market to tells its catalogue entry's cost, effect and
// how long it lasts, each text clear of the next and inside its row.
TEST_F(GamePlaythroughTest, EveryPurchaseRowTellsItsCostEffectAndDuration) {
    DrivenGame game(data_);
    StartNamedPark(game, L"Jo", "the park named, money enough, a marketing slot, every research", [] {
        Level().money = 100000;
        Level().marketing_slots = 1;
        for (RESEARCH_OPTION& offer : Level().available_research) offer.unlocked = true;
    });
    auto has = [](const std::wstring& row, const std::wstring& part) {
        EXPECT_NE(row.find(part), std::wstring::npos) << text::ToUtf8(row) << " lacks " << text::ToUtf8(part);
    };
    // Where a label's lines are drawn on the screen.
    auto drawn = [this](const std::wstring& id) {
        auto* label = dynamic_cast<TextLabel*>(HudObject(id.c_str()));
        if (!label || !label->GetFont()) return ADD_FAILURE() << text::ToUtf8(id), FRect{};
        const FRect at = DrivenGame::Origin(label);
        return FRect{at.x + static_cast<float>(label->GetTextX()),
                     at.y + static_cast<float>(label->GetTextY()) - label->GetFont()->GetAscent(),
                     static_cast<float>(label->GetTextWidth()), static_cast<float>(label->GetTextHeight())};
    };
    auto above = [&](const std::wstring& upper, const std::wstring& lower) {
        EXPECT_LE(drawn(upper).y + drawn(upper).h, drawn(lower).y)
            << text::ToUtf8(HudText(upper)) << " runs into " << text::ToUtf8(HudText(lower));
    };
    auto weeks = [](int32_t n) {
        return std::to_wstring(n) + L" " + LocalizeLookup(n == 1 ? L"time_week_singular" : L"time_week_plural");
    };
    std::vector<const KIVRA_BUILDING_TYPE*> types;
    game.Then("the catalogue's buildings with upgrades or boosts", [&] {
        for (const auto& [name, record] : ItemStats::Current()->Types().Entries())
            if (auto* type = dynamic_cast<const KIVRA_BUILDING_TYPE*>(record); type && !type->stationary)
                if (!type->upgrades.empty() || !type->boosts.empty()) types.push_back(type);
        return !types.empty();
    });
    KivraBuilding* shown = nullptr;
    game.Then(
        "each building's upgrades and boosts",
        [&] {
            if (!shown && !(shown = Build(types.back()->type, {20, 6})))
                return ADD_FAILURE() << text::ToUtf8(types.back()->type), true;
            if (!OpenUpgrades(shown)) return false;
            auto check = [&](const std::wstring& kind, const IMPROVEMENT_STATS& entry, int row,
                             const std::wstring& lasting) {
                const std::wstring at = L"_" + std::to_wstring(row);
                above(kind + L"_name" + at, kind + L"_effect" + at);
                EXPECT_EQ(HudText(kind + L"_buy" + at), std::to_wstring(entry.coincost));
                EXPECT_EQ(HudText(kind + L"_hearts" + at),
                          entry.heartcost > 0 ? std::to_wstring(entry.heartcost) : L"none");
                for (const auto& [property, offset] : entry.offsets) {
                    has(HudText(kind + L"_effect" + at), LocalizeLookup(L"effect_" + property));
                    has(HudText(kind + L"_effect" + at),
                        std::to_wstring(std::abs(property == L"time" ? offset / 100 : offset)));
                }
                has(HudText(kind + L"_lasting" + at), lasting);
            };
            const FRect title = drawn(L"upgrades_title");
            EXPECT_LE(title.x + title.w, DrivenGame::Origin(HudObject(L"upgrades_close")).x) << "the name under the X";
            int row = 0;
            for (const auto& [label, upgrade] : types.back()->upgrades)
                check(L"upgrade", upgrade, row++, LocalizeLookup(L"upgrade_lasting"));
            row = 0;
            for (const auto& [label, boost] : types.back()->boosts)
                check(L"boost", boost, row++, weeks(boost.duration));
            Grid().RemoveBuilding(*shown);
            shown = nullptr;
            types.pop_back();
            return types.empty();
        },
        20000);
    ClickHudLater("the research panel", L"btn_research");
    size_t rows = 0;
    game.Then("each research to buy, page by page", [&] {
        if (game.FramesOnStep() < 20) return false;
        for (int row = 0; HudObject((L"research_name_" + std::to_wstring(row)).c_str()); ++row, ++rows) {
            const std::wstring at = L"_" + std::to_wstring(row), name = HudText(L"research_name" + at);
            const auto& offers = Level().available_research;
            auto entry = std::find_if(offers.begin(), offers.end(),
                                      [&](auto& o) { return LocalizeLookup(L"label_" + o.name) == name; });
            if (entry == offers.end()) return ADD_FAILURE() << text::ToUtf8(name), true;
            above(L"research_name" + at, L"research_effect" + at);
            EXPECT_EQ(HudText(L"research_buy" + at), std::to_wstring(entry->coincost));
            EXPECT_EQ(HudText(L"research_hearts" + at), std::to_wstring(entry->heartcost));
            const std::wstring brings =
                entry->effect == RESEARCH_OPTION::kLearnCombo       ? L"label_" + entry->param + L"_zone"
                : entry->effect == RESEARCH_OPTION::kUnlockBuilding ? L"label_" + entry->param
                                                                    : L"research_effect_unlock_marketing";
            has(HudText(L"research_effect" + at), LocalizeLookup(brings));
            has(HudText(L"research_takes" + at), weeks(entry->ticks / 100 / Countdown::WeekDuration()));
            if (DynamicWidget* next = HudObject((L"research_buy_" + std::to_wstring(row + 1)).c_str())) {
                EXPECT_LE(drawn(L"research_takes" + at).y + drawn(L"research_takes" + at).h, DrivenGame::Origin(next).y)
                    << "how long it takes runs into the row below";
            }
        }
        if (!HudObject(L"research_more") || rows >= Level().available_research.size()) return true;
        game.ClickOn(HudObject(L"research_more"));
        return false;
    });
    ClickHudLater("the marketing panel", L"btn_marketing");
    ClickHudLater("its slot", L"slot_row_0");
    game.Then("each kind of visitor to invite", [&] {
        if (game.FramesOnStep() < 20 || !HudObject(L"visitors_go")) return false;
        const size_t kinds = Hud()->VisitorTypes().entries.size();
        for (size_t kind = 0; kind < kinds; ++kind) {
            const std::wstring at = L"_" + std::to_wstring(kind);
            has(HudText(L"visitor_terms" + at), std::to_wstring(GetConstantInt(L"person_marketing_bonus")));
            DynamicWidget* row = HudObject((L"visitor_row" + at).c_str());
            // The row's frame and shadow take its last four pixels.
            EXPECT_LE(drawn(L"visitor_terms" + at).y + drawn(L"visitor_terms" + at).h + 4.0f,
                      DrivenGame::Origin(row).y + static_cast<float>(row->GetHeight()))
                << "the terms touch the row's frame";
        }
        EXPECT_EQ(rows, static_cast<size_t>(std::count_if(Level().available_research.begin(),
                                                          Level().available_research.end(),
                                                          [](auto& o) { return o.unlocked; })));
        EXPECT_GT(kinds, 1u);
        game.Shutdown();
        return true;
    });
    ASSERT_EQ(game.Play(), "");
}

// A zone goal's hint shows, in the park, the ring of every building that
// could make the zone (a snack cart for a snack street, not a bouncy castle),
// its box stands clear of them, and the rings go when the hint is closed.
TEST_F(GamePlaythroughTest, AZoneGoalsHintRingsTheBuildingsThatMakeTheZoneAndItsBoxHidesNoneOfThem) {
    DrivenGame game(data_);
    game_ = &game;
    KivraBuilding* candy = nullptr;
    KivraBuilding* castle = nullptr;
    auto ringed = [this] {
        std::set<std::pair<int32_t, int32_t>> tiles;
        for (int32_t col = 0; col < Grid().Cols(); ++col)
            for (int32_t row = 0; row < Grid().Rows(); ++row)
                if (auto* tile = dynamic_cast<KivraTile*>(Grid().GetTileAt(col, row)); tile && tile->overlay == '*')
                    tiles.insert({col, row});
        return tiles;
    };
    NewPlayerToTheMap(game, L"Zed");
    OpenFirstPark(game, "the first park");
    SkipTutorialAndNamePark("the park named, a snack street to form", L"Zed's", [&] {
        const std::wstring challenge = L"soccerglobale_silver";
        Level().goals_tracker.ActivateChallenge(challenge);
        Level().goals_tracker.Challenges().at(challenge)->objectives[0]->completed = true;
        Level().chosen_challenge = challenge;
        Hud()->ShowNewGoalMagazine(challenge, false);
        // The snack cart where the hint's box would stand by its script alone.
        const FRect origin = DrivenGame::Origin(&Grid());
        const TilePoint under = Grid().ScreenToTile(512.0f - origin.x, 300.0f - origin.y);
        candy = Grid().CreateAndPlaceBuilding(L"cotton_candy", under.col, under.row, 1, L"");
        castle = Grid().CreateAndPlaceBuilding(L"bouncy_castle", under.col + 16, under.row, 1, L"");
    });
    game.Then("the zone goal shown, its hint opened", [&] {
        Objective* goal = Hud()->ShownGoal();
        if (!goal || game.FramesOnStep() < 20) return false;
        EXPECT_EQ(goal->GetProperty(L"zone_name").ToString(), L"snack_street");
        EXPECT_TRUE(ringed().empty());
        return ClickHud(L"btn_hint");
    });
    game.Then("the snack cart's ring on the tiles", [&] {
        auto* hint = dynamic_cast<AnimationWidget*>(HudObject(L"hint_widget"));
        if (!hint || game.FramesOnStep() < 10) return false;
        if (!candy || !castle) {
            ADD_FAILURE() << "the buildings were not placed";
            return true;
        }
        std::set<std::pair<int32_t, int32_t>> expected;
        const TileRect zone = candy->GetZoneRect();
        for (int32_t col = std::max(zone.Left(), 0); col <= std::min(zone.col, Grid().Cols() - 1); ++col)
            for (int32_t row = std::max(zone.Top(), 0); row <= std::min(zone.row, Grid().Rows() - 1); ++row)
                if (!candy->GetFootprintRect().Covers({col, row})) expected.insert({col, row});
        EXPECT_FALSE(expected.empty());
        EXPECT_EQ(ringed(), expected) << "only the snack cart, which could make a snack street, is ringed";
        const FRect corner = candy->MapRectToScreen({GetCelBoxLeft(*candy), GetCelBoxTop(*candy), 1.0f, 1.0f});
        const FRect cart{corner.x, corner.y, GetCelBoxWidth(*candy), GetCelBoxHeight(*candy)};
        const FRect both = Drawn(*DrivenGame::ScriptObject(hint, L"hint_panel")).Intersection(cart);
        EXPECT_TRUE(both.w <= 0.0f || both.h <= 0.0f) << "the hint's box hides the ringed snack cart";
        game.ClickOn(DrivenGame::ScriptObject(hint, L"hint_ok"));
        return true;
    });
    game.Then("the rings gone with the hint", [&] {
        if (HudObject(L"hint_widget") || game.FramesOnStep() < 10) return false;
        EXPECT_TRUE(ringed().empty());
        game.Shutdown();
        return true;
    });
    ASSERT_EQ(game.Play(), "");
}

// The boxes the player reads stand one at a time, in the order of their
// causes: the diner that forms a snack street opens the zone's box, and the
// silver trophy the zone wins opens only once that box is closed; a sky
// wheel's trophy comes before the money it left too little of for another.
TEST_F(GamePlaythroughTest, BoxesStackedAtATrophyNowOpenOneAtATimeInTheOrderOfTheirCauses) {
    DrivenGame game(data_);
    StartNamedPark(game, L"Ines", "the park named, the snack street's trophy chosen", [this] {
        Level().money = 100000;
        Level().chosen_challenge = L"soccerglobale_silver";
        Level().goals_tracker.ActivateChallenge(L"soccerglobale_silver");
        Hud()->ShowNewGoalMagazine(L"soccerglobale_silver", false);
    });
    game.Then("two snack carts", [this] { return Build(L"cotton_candy", {10, 4}) && Build(L"cotton_candy", {11, 4}); });
    BuyFromList("the diner", L"tab_food", L"burger_diner");
    game.Then("the diner set down by them", [this] { return PlaceAt({11, 6}); });
    game.Then("the goal card counts it at once, another diner in hand", [&] {
        if (game.FramesOnStep() < 2) return false;
        EXPECT_EQ(Grid().GetEditMode(), KivraGrid::kNewBuilding);
        EXPECT_EQ(Hud()->GoalPanelStateValue(), UserInterface::kPanelIdle) << "the goal card waits for Done";
        game.RunFast();
        return true;
    });
    auto standing = [this] {
        std::wstring shown;
        for (const wchar_t* box : {L"lyr_new_zone", L"lyr_trophy", L"lyr_dialog"})
            if (HudObject(box)) shown += (shown.empty() ? L"" : L" and ") + std::wstring(box);
        return shown;
    };
    // Alone from the moment it opens, read a while, then closed by its OK.
    auto readAlone = [&](std::string name, std::wstring box, const wchar_t* ok) {
        game.Then(std::move(name), [&, box, ok] {
            const std::wstring shown = standing();
            if (shown.empty()) return false;
            EXPECT_EQ(shown, box);
            return shown != box || (game.FramesOnStep() >= 60 && ClickHud(ok));
        });
    };
    // The zone's box stands, the trophy's waits, as the week runs out.
    game.Then(
        "the night puts the zone's box away", [&] { return Night() && standing().empty(); }, 8000);
    game.Then("the week reviewed", [&] { return ClickNight(L"review_ok"); });
    game.Then("\"Next week\" waits for the boxes", [&] {
        DynamicWidget* sunrise = DrivenGame::ScriptObject(Night(), L"sunrise");
        if (standing() != L"lyr_new_zone" || !sunrise || game.FramesOnStep() < 20) return false;
        game.ClickOn(sunrise);
        return true;
    });
    readAlone("the zone's box, back after the review", L"lyr_new_zone", L"zone_ok");
    readAlone("the trophy's box, once the zone's is closed", L"lyr_trophy", L"trophy_ok");
    game.Then("a sky wheel's trophy chosen, and money for one sky wheel", [&] {
        EXPECT_NE(Night(), nullptr) << "the week began under a box";
        Level().chosen_challenge = L"bopper_silver";
        Level().goals_tracker.ActivateChallenge(L"bopper_silver");
        Level().availability[L"sky_wheel"] = 1;
        Level().money = 5000;
        return true;
    });
    BuyFromList("the sky wheel", L"tab_ride", L"sky_wheel");
    game.Then("the sky wheel set down", [this] { return PlaceAt({4, 27}); });
    readAlone("the sky wheel's trophy", L"lyr_trophy", L"trophy_ok");
    readAlone("too little money for another, once the trophy's box is closed", L"lyr_dialog", L"dialog_ok");
    game.Then("no box left", [&] {
        if (game.FramesOnStep() < 60) return false;
        EXPECT_EQ(standing(), L"");
        return ClickNight(L"sunrise");
    });
    game.Then("\"Next week\" begins it once they are read", [&] {
        if (Night()) return false;
        game.Shutdown();
        return true;
    });
    ASSERT_EQ(game.Play(), "");
}

}  // namespace
