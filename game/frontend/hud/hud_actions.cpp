// The display's actions table: what its scripts' buttons and the popups
// inside it ask for. First match only; an action no row names is ignored,
// never passed further up. A number that stands for a building is its
// serial id, resolved among the park's items; an action whose building is
// gone (or never was) does nothing. A tutorial that takes a menu's event
// opens what the player is to see itself, so the menu's animation is left.

#include <array>
#include <string>
#include <string_view>

#include "foundation/files/parser.h"
#include "game/data/catalogues/research_option.h"
#include "game/data/progress/goal_display.h"
#include "game/data/progress/kivra_level.h"
#include "game/frontend/hud/hud_action_rows.h"
#include "game/frontend/hud/user_interface.h"
#include "game/frontend/menus/options_menu.h"
#include "game/frontend/menus/stretch_slider.h"
#include "game/park/buildings/front_gate.h"
#include "game/park/buildings/kivra_building.h"
#include "game/park/parkgrid/kivra_grid.h"
#include "widgets/screens/menu_host.h"
#include "widgets/tree/widget_manager.h"

namespace hud_actions {

bool Event(UserInterface& ui, int32_t event) { return ui.OnTutorialEvent(event, ui.Grid()); }

// A script's int holds the serial id's 32 bits as they are.
KivraBuilding* Source(const Action& a) { return a.ui.FindBuilding(static_cast<uint32_t>(a.number)); }

int32_t IntParameter(const Action& a) { return TextToInt(std::wstring(a.parameter)); }

}  // namespace hud_actions

namespace {

using namespace hud_actions;

// --- Building and editing --------------------------------------------------

// The press goes on to the park, as it does over the card's own building,
// which hands the park its presses: a drag of the park can start from the
// card. Only a press still held goes on: a card acting on its release has
// none left, and a park handed one would follow the pointer until the next
// click.
void ClickThroughItemPopup(const Action& a) {
    KivraBuilding* source = Source(a);
    if (!source) return;
    KivraGrid& grid = a.ui.Grid();
    grid.HideItemPopup(*source, true);
    WidgetManager* manager = grid.GetManager();
    PointerRecord* pointer = manager ? manager->GetPointer(0) : nullptr;
    if (!pointer || !(pointer->rawButtons & mouse_button::kLeft)) return;
    const ScreenPoint at = manager->GetPointerPosition(0);
    grid.MouseDown(static_cast<int>(static_cast<float>(at.x) - grid.GetX()),
                   static_cast<int>(static_cast<float>(at.y) - grid.GetY()), 1);
    pointer->capture = &grid;
    pointer->heldButtons |= mouse_button::kLeft;
}

void PaintSidewalk(const Action& a) {
    a.ui.Grid().BeginSidewalk();
    Event(a.ui, 10);
}

void ShowBuildingData(const Action& a) {
    // An empty list has no record to show.
    ITEM_TYPE* const* type = a.ui.BuildingTypes().PeekAt(IntParameter(a));
    if (!type) return;
    a.ui.SetVariable(L"building", PropertyValue::FromPropertyInterface(*type));
    a.ui.RunAnimationNamed(L"show_building_data");
    if (a.ui.GetTutorial().IsInactive()) return;
    static constexpr std::array<std::pair<std::wstring_view, int32_t>, 4> kEvents{
        {{L"bouncy_castle", 6}, {L"play_pipes", 13}, {L"playhouse", 16}, {L"flowers_red", 29}}};
    for (const auto& [name, event] : kEvents)
        if ((*type)->type == name) Event(a.ui, event);
}

void BuyBuilding(const Action& a) {
    a.ui.Grid().PreviewNewBuilding(a.parameter);
    static constexpr std::array<std::pair<std::wstring_view, int32_t>, 4> kEvents{
        {{L"bouncy_castle", 8}, {L"flowers_red", 30}, {L"play_pipes", 14}, {L"playhouse", 17}}};
    for (const auto& [name, event] : kEvents)
        if (a.parameter == name) Event(a.ui, event);
}

// Removing asks first; the confirmation names the building.
void RemoveBuildingConfirmed(const Action& a) {
    if (KivraBuilding* source = Source(a)) a.ui.Grid().RemoveBuilding(*source);
}

// --- Purchases ---------------------------------------------------------------

void BuyResearch(const Action& a) {
    ParkPlayer* player = ParkPlayer::Current();
    KIVRA_LEVEL* level = UserInterface::Level();
    if (!player || !level) return;
    RESEARCH_OPTION bought;
    if (!player->PurchaseResearch(a.parameter, bought)) return;
    if (bought.effect == RESEARCH_OPTION::kUnlockBuilding && bought.param == L"pretzel_stand") Event(a.ui, 26);
    // A marketing slot the tutorial waits for is its next step's to show;
    // otherwise the open panel shows it on its way like any other research.
    if (bought.effect == RESEARCH_OPTION::kUnlockMarketing && Event(a.ui, 35)) return;
    // The list's scroll bar keeps its place over a list one entry shorter;
    // with no entry left there is nothing to rescale.
    const double slider = KivraSlider::LastScrollValue();
    const auto left = static_cast<int32_t>(level->available_research.size());
    const double value = left == 0 ? slider : (static_cast<double>(left) + 1.0) * slider / static_cast<double>(left);
    a.ui.SetVariable(L"slider_val", PropertyValue::FromFloat(static_cast<float>(value)));
    a.ui.RunAnimationNamed(L"purchased_research_callback");
    if (bought.ticks == 0) a.ui.RunAnimationNamed(L"enable_background");
}

// The building's own upgrade or boost of that label; one it lacks, or one it
// cannot pay for, buys nothing (the purchase shows the no-resources dialog).
template <bool kBoost>
void BuyImprovement(const Action& a) {
    KivraBuilding* source = Source(a);
    if (!source) return;
    ExtendedPropertyInterface* bought = nullptr;
    if constexpr (kBoost)
        bought = source->PurchaseBoost(a.parameter);
    else
        bought = source->PurchaseUpgrade(a.parameter);
    if (!bought) return;
    a.ui.SetVariable(L"type", PropertyValue::FromWString(kBoost ? L"boost" : L"upgrade"));
    a.ui.SetVariable(L"upgrade_or_boost_building", PropertyValue::FromWidget(source));
    a.ui.SetVariable(L"thing", PropertyValue::FromPropertyInterface(bought));
    a.ui.RunAnimationNamed(L"boost_or_upgrade_change_callback");
}

// Only a gate opens; its popup shows again at once with the gate's new state.
// The press came from the popup, so the pointer left the gate before it, and
// the new popup would wait for a leaving that has passed: unless the pointer
// is on the gate, it goes as the old one would, once the pointer is off it.
void OpenGate(const Action& a) {
    auto* gate = dynamic_cast<FrontGate*>(Source(a));
    if (!gate) return;
    gate->PurchaseUpgrade(L"open");
    KivraGrid& grid = a.ui.Grid();
    grid.HideItemPopup(*gate, true);
    grid.ShowItemPopup(*gate);
    if (!gate->IsOver()) grid.HideItemPopup(*gate, false);
}

void TutorialAddHeart(const Action& a) {
    if (ParkPlayer* player = ParkPlayer::Current()) player->ChangeResource(L"hearts", 1, true, &a.ui);
}

// --- Marketing ---------------------------------------------------------------

// "group_12": market_radio_index 12, then "clear_group" (the last "_" splits).
void ClickRadioButton(const Action& a) {
    const size_t split = a.parameter.rfind(L'_');
    const std::wstring_view group = split == std::wstring_view::npos ? a.parameter : a.parameter.substr(0, split);
    const std::wstring_view number =
        split == std::wstring_view::npos ? std::wstring_view() : a.parameter.substr(split + 1);
    a.ui.SetVariable(L"market_radio_index", PropertyValue::FromInt(TextToInt(std::wstring(number))));
    a.ui.RunAnimationNamed(L"clear_" + std::wstring(group));
}

void ShowMarketingVisitors(const Action& a) {
    a.ui.SetVariable(L"marketing_slot_index", PropertyValue::FromInt(IntParameter(a)));
    a.ui.RunAnimationNamed(L"show_marketing_visitors");
    Event(a.ui, 37);
}

// The chosen kind of visitor fills the chosen slot; a slot past the last
// entry adds one. A choice or slot outside the lists does nothing.
void MarketToVisitor(const Action& a) {
    a.ui.CollectVisitorTypes();
    KIVRA_LEVEL* level = UserInterface::Level();
    const int32_t slot = a.ui.GetLocalVariable(L"marketing_slot_index").ToInt();
    const int32_t radio = a.ui.GetLocalVariable(L"market_radio_index").ToInt();
    auto& kinds = a.ui.VisitorTypes().entries;
    if (!level || radio < 0 || radio >= static_cast<int32_t>(kinds.size()) || slot < 0) return;
    std::vector<std::wstring>& entries = level->marketing_bonus.entries;
    const std::wstring& name = kinds[static_cast<size_t>(radio)]->type;
    if (slot < static_cast<int32_t>(entries.size()))
        entries[static_cast<size_t>(slot)] = name;
    else
        entries.push_back(name);
    level->goals_tracker.OnMarketingSlotsChanged();
    Event(a.ui, 36);
    a.ui.RunAnimationNamed(L"market_to_visitor_callback");
}

// --- Panels, goals and menus ---------------------------------------------------

void ShowBuildingUpgrades(const Action& a) {
    KivraBuilding* source = Source(a);
    if (!source) return;
    a.ui.Grid().HideItemPopup(*source, true);
    a.ui.SetVariable(L"upgrade_or_boost_building", PropertyValue::FromWidget(source));
    a.ui.RunAnimationNamed(L"show_popup_building_upgrades");
}

// Counted from the start of the challenge list; an index outside it does nothing.
void ShowGoalsDetail(const Action& a) {
    const int32_t index = IntParameter(a);
    auto& challenges = a.ui.Challenges().entries;
    if (index < 0 || index >= static_cast<int32_t>(challenges.size())) return;
    a.ui.SetVariable(L"current_challenge",
                     PropertyValue::FromPropertyInterface(challenges[static_cast<size_t>(index)]));
    a.ui.RunAnimationNamed(L"show_goals_detail");
}

void ChooseChallenge(const Action& a) {
    KIVRA_LEVEL* level = UserInterface::Level();
    const bool handled = Event(a.ui, 2) || (a.parameter == L"funbooks_silver" && Event(a.ui, 21));
    if (!level) return;
    if (!handled && level->chosen_challenge == a.parameter) return;
    level->chosen_challenge = std::wstring(a.parameter);
    if (!handled) a.ui.RunAnimationNamed(L"close_goals_menu");
    a.ui.ShowNewGoalMagazine(a.parameter, true);
}

void CloseBrandNewZone(const Action& a) {
    a.ui.SetVariable(L"combo_name", PropertyValue::FromWString(std::wstring(a.parameter)));
    a.ui.RunAnimationNamed(L"close_brand_new_zone_callback");
}

// Leaving waits for a save that went through: one that failed says so and
// the park stays (the options' quit leaves without saving).
void SaveAndQuit(const Action& a) {
    if (!a.ui.SaveGame()) {
        a.ui.RunAnimationNamed(L"hud_save_failed");
        return;
    }
    a.ui.ExitToMenu(nullptr);
}

void ShowOptionsMenu(const Action& a) { ShowMenu(new OptionsMenu(L"in_game", &a.ui)); }

// A menu opens unless the tutorial, taking its event, opens what it wants.
template <int32_t kEvent, const wchar_t* kAnimation>
void MenuRow(const Action& a) {
    if (!Event(a.ui, kEvent)) a.ui.RunAnimationNamed(kAnimation);
}

constexpr wchar_t kGoalsMenu[] = L"show_goals_menu";
constexpr wchar_t kBuildToolbar[] = L"show_build_toolbar";
constexpr wchar_t kBuildMenu[] = L"show_build_menu";
constexpr wchar_t kResearchMenu[] = L"show_research_menu";
constexpr wchar_t kMarketingMenu[] = L"show_marketing_menu";
constexpr wchar_t kWonTrophy[] = L"show_won_trophy";
constexpr wchar_t kGoalsFromTrophy[] = L"go_goals_from_trophy_won";
constexpr wchar_t kPurchaseSpecial[] = L"show_purchase_special";

// --- The table -----------------------------------------------------------------

const ActionRow kRows[] = {
    {L"click_through_item_popup", ClickThroughItemPopup},
    {L"paint_sidewalk_action", PaintSidewalk},
    {L"cancel_sidewalk_action", [](const Action& a) { a.ui.Grid().CancelSidewalk(); }},
    {L"set_sidewalk_paint_toggle", [](const Action& a) { a.ui.Grid().SetSidewalkPaintAdds(a.parameter == L"add"); }},
    {L"show_building_data_action", ShowBuildingData},
    {L"buy_building_action", BuyBuilding},
    {L"rotate_building_action", [](const Action& a) { a.ui.Grid().ToggleHeldOrientation(); }},
    {L"cancel_build_action", [](const Action& a) { a.ui.Grid().CancelNewBuilding(); }},
    {L"move_building_action", [](const Action& a) { a.ui.Grid().OnMoveSelect(); }},
    {L"start_rotate_action", [](const Action& a) { a.ui.Grid().OnRotateSelect(); }},
    {L"remove_building_action", [](const Action& a) { a.ui.Grid().OnRemoveSelect(); }},
    {L"remove_building_confirmed_action", RemoveBuildingConfirmed},
    {L"cancel_move_action", [](const Action& a) { a.ui.Grid().CancelMove(); }},
    {L"cancel_rotate_action", [](const Action& a) { a.ui.Grid().CancelRotate(); }},
    {L"cancel_remove_action", [](const Action& a) { a.ui.Grid().CancelRemove(); }},
    {L"cancel_hover_action", [](const Action& a) { a.ui.Grid().CancelEdit(); }},
    {L"leave_special_mode_action", [](const Action& a) { a.ui.Grid().RequestCancel(); }},
    {L"buy_research_action", BuyResearch},
    {L"buy_boost_action", BuyImprovement<true>},
    {L"buy_upgrade_action", BuyImprovement<false>},
    {L"open_gate_action", OpenGate},
    {L"tutorial_add_heart", TutorialAddHeart},
    {L"click_radio_button_action", ClickRadioButton},
    {L"show_marketing_visitors_action", ShowMarketingVisitors},
    {L"market_to_visitor_action", MarketToVisitor},
    {L"show_popup_building_upgrades_action", ShowBuildingUpgrades},
    {L"show_goals_detail_action", ShowGoalsDetail},
    {L"choose_challenge_action", ChooseChallenge},
    {L"close_brand_new_zone_action", CloseBrandNewZone},
    // Placing stopped for money: the dialog takes its turn among the boxes.
    {L"show_no_resources_action", [](const Action& a) { a.ui.RunAnimationNamed(L"show_no_resources_dialog"); }},
    {L"show_options_menu_action", ShowOptionsMenu},
    {L"show_hint_action", [](const Action& a) { ShowHint(a.ui); }},
    {L"show_goals_menu_action", MenuRow<1, kGoalsMenu>},
    {L"show_build_toolbar_action", MenuRow<4, kBuildToolbar>},
    {L"show_build_menu_action", MenuRow<5, kBuildMenu>},
    {L"show_research_menu_action", MenuRow<25, kResearchMenu>},
    {L"show_marketing_menu_action", MenuRow<34, kMarketingMenu>},
    {L"show_won_trophy_action", MenuRow<19, kWonTrophy>},
    {L"go_goals_from_trophy_won_action", MenuRow<20, kGoalsFromTrophy>},
    {L"show_purchase_special_action", MenuRow<28, kPurchaseSpecial>},
    // The save button's note says whether the park reached the disk ("saved").
    {L"save_action", [](const Action& a) { a.ui.SetVariable(L"saved", PropertyValue::FromBool(a.ui.SaveGame())); }},
    {L"quit_action", [](const Action& a) { a.ui.ExitToMenu(nullptr); }},
    {L"save_and_quit_action", SaveAndQuit},
    {L"complete_level_action", [](const Action& a) { a.ui.CompleteLevel(); }},
    {L"start_tutorial_action", [](const Action& a) { a.ui.GetTutorial().StartCurrentStep(a.ui.Grid()); }},
    {L"end_tutorial_action",
     [](const Action& a) {
         a.ui.GetTutorial().End();
         a.ui.SaveGame();
     }},
    {L"tutorial_ok_action", [](const Action& a) { Event(a.ui, 7); }},
};

}  // namespace

void UserInterface::DoAction(std::wstring_view action, std::wstring_view parameter, int number) {
    const Action call{*this, parameter, number};
    for (const ActionRow& row : kRows) {
        if (row.name != action) continue;
        row.handler(call);
        return;
    }
}
