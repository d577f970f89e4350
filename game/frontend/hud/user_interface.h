#pragma once
// UserInterface: the in-game display, the screen a level is played in. A
// Menu running the scene script "ui", which draws the whole display
// (toolbars, menus, dialogs, the calendar, the goal panel). It owns the park
// (KivraGrid) as its child, the tutorial, the calendar numbers, the goal
// and magazine panels and the eight lists scripts page through.
//
// While it exists it is the park's display (ParkDisplay, and so the goals'
// GoalDisplay) and the menus' InGameDisplay: exactly one runs while a level
// is played, and Current() finds it. The level is always the current
// player's current level.
//
// Where its parts live: construction, leaving, calendar and the park's
// questions in user_interface.cpp; the goal and magazine panels in
// goal_panels.cpp; signals and typed words in hud_signals.cpp; script
// commands and lists in hud_commands.cpp and hud_lists.cpp; the actions
// table in hud_actions.cpp; the research and marketing refresh beside it;
// the boxes' turns in hud_boxes.cpp.
//
// Promises: leaving (ExitToMenu) always shows a menu and saves nothing;
// saving writes the park into its level, then profiles.xml. The goal panel
// is refreshed only while no edit mode runs, or once a building is set down. A number a script passes for
// an object is resolved among live objects, never taken as an address.
// Main thread only.

#include <cstdint>
#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "foundation/values/live_ref.h"
#include "game/data/progress/goals.h"
#include "game/data/progress/stats_query.h"
#include "game/frontend/hud/listed_research.h"
#include "game/frontend/hud/tutorial.h"
#include "game/frontend/menus/in_game_display.h"
#include "game/park/buildings/improvements.h"
#include "game/park/display/park_display.h"
#include "widgets/controls/slider.h"
#include "widgets/screens/menu.h"

class KivraComboStats;
class KivraBuilding;
class KivraGrid;
struct ITEM_TYPE;
struct KIVRA_LEVEL;
struct KIVRA_PERSON_TYPE;

class UserInterface : public Menu, public SliderListener, public ParkDisplay, public InGameDisplay {
public:
    // The goal panel's pending work, raised by the goals and consumed by Draw.
    enum GoalPanelState : int32_t { kPanelIdle = 0, kGoalProgressed = 1, kGoalMovedOn = 2, kSkipRefresh = 3 };
    // The goal panels draw in front of the display's other children.
    static constexpr int kGoalPanelPriority = 1 << 30;
    // Popups over the display (hints, finished research).
    static constexpr int kPopupPriority = 1 << 20;
    static_assert(kNightPriority < kCardPriority && kCardPriority < kPopupPriority,
                  "a building's card stands over the night and under the display's popups");

    UserInterface();
    ~UserInterface() override;

    // The display of the level being played, or null.
    static UserInterface* Current();

    // Its own operations.
    // The park into its level, then profiles.xml; false when the file could
    // not be written (or there are no profiles to write it from).
    virtual bool SaveGame();
    // Leaves the level for `next` (null: the level select). Saves nothing.
    virtual void ExitToMenu(Menu* next) override;
    // Every visitor type of the item catalogue, once.
    virtual void CollectVisitorTypes();

    // Saves, then leaves for the completed-level screen, which is built
    // while the level is still current; a save that failed says so
    // ("hud_save_failed") and the park stays.
    void CompleteLevel();

    // Tree, input and scripts.
    void Draw(Graphics* g) override;
    void KeyChar(wchar_t c) override;
    // Escape (hud_keys.cpp): the top panel or dialog goes, else the tool in
    // hand, else the options open.
    void KeyDown(int key) override;
    // The park under a piece of the display does not take the pointer
    // (hud_cover.cpp): its buildings show no card through a panel, and a
    // click on a panel places or paints nothing.
    ::Widget* FindWidgetAt(float x, float y, uint32_t flags, float* localX, float* localY) override;
    // A building's card goes where it covers none of the display's pieces
    // and stays on the screen (hud_cover.cpp).
    bool PlaceCard(AnimationWidget& card, const FRect& anchor, const FRect& building) override;
    void AddedToManager(WidgetManager* manager) override;
    // A tutorial step still waiting to show stops: its park is going.
    void RemovedFromManager(WidgetManager* manager) override;
    int HandleCustomCommand(const AnimationStep& step) override;
    // The boxes the player reads and closes (a zone formed, a trophy won,
    // too little money, research done) stand one at a time (hud_boxes.cpp):
    // a box's script run while another box or the week's review stands
    // waits, its variables kept, and runs in its turn, in the order asked.
    void RunAnimationNamed(std::wstring_view name) override;
    // The next waiting box opens once the one standing has gone, however it went.
    void Update() override;
    // The actions table (hud_actions.cpp).
    void DoAction(std::wstring_view action, std::wstring_view parameter, int number) override;
    PropertyValue GetProperty(std::wstring_view name) override;
    void AnimationSignal(int widgetId, std::wstring_view signal) override;

    // Calendar and panels.
    void UpdateCalendar(float weekTimer) override;
    void MarkGoalChanged(Objective& objective) override;
    void OnShownGoalCompleted(Objective& objective) override;
    void ResetGoalPanel() override;
    void ShowNewGoalMagazine(std::wstring_view challenge, bool playSound);
    void NotifyObjectiveTutorial();
    void OnTutorialEnded();
    // The research and marketing panels after a research finished.
    void UpdateResearchAndMarketing(const RESEARCH_OPTION& finished) override;
    // The night's scene (week_review.cpp): its review stands over the
    // display until the player closes it, the tutorial's box hidden meanwhile.
    void ShowWatchedScene(AnimationWidget& scene) override;

    // The park's questions (ParkDisplay, GoalDisplay).
    AnimationWidget& Widget() override { return *this; }
    bool TutorialInactive() override { return tutorial_.IsInactive(); }
    std::optional<std::wstring> TutorialStepName(int32_t step) override { return tutorial_.GetStepName(step); }
    bool TutorialReachedStep(std::wstring_view name) override { return tutorial_.HasReachedStep(name); }
    bool OnTutorialEvent(int32_t event, KivraGrid& grid) override { return tutorial_.OnEvent(event, grid); }

    // The menus' questions (InGameDisplay).
    ::Widget* FocusTarget() override { return this; }

    // The state the parts share.
    KivraGrid& Grid() { return *grid_; }
    Tutorial& GetTutorial() { return tutorial_; }
    // The park's building of that serial id (a script's number for it), or
    // null: a number never stands for an address.
    KivraBuilding* FindBuilding(uint32_t serialId) const;
    // The current level; null when the player has none.
    static KIVRA_LEVEL* Level();
    int32_t Days() const { return days_; }
    int32_t Weeks() const { return weeks_; }
    int32_t Months() const { return months_; }
    int32_t Years() const { return years_; }
    bool AllBuildingsAvailable() const { return allBuildingsAvailable_; }
    Objective* ShownGoal() const { return shownGoal_.Get(); }
    AnimationWidget* GoalTaskPanel() const { return goalTaskPanel_.Get(); }
    AnimationWidget* MagazinePanel() const { return magazinePanel_.Get(); }
    int32_t GoalPanelStateValue() const { return goalPanelState_; }

    // The lists scripts page, by the search names of "get-stats".
    StatsQuery<ITEM_TYPE*>& BuildingTypes() { return buildingTypes_; }
    StatsQuery<ListedResearch>& ResearchToBuy() { return researchToBuy_; }
    StatsQuery<ListedResearch>& ResearchInProgress() { return researchInProgress_; }
    StatsQuery<KIVRA_PERSON_TYPE*>& VisitorTypes() { return visitorTypes_; }
    StatsQuery<KivraComboStats*>& Combos() { return combos_; }
    // The zones the park knows, afresh into Combos().
    void CollectCombos();
    // The park shows the rings of the buildings that could make the zone
    // (any zone when empty) for as long as the zone goal's hint stays open.
    void ShowZoneRingsWhileOpen(AnimationWidget& hint, std::wstring_view zone);
    // Moves the hint so its box lies over none of the ringed buildings, or
    // over as little of them as the screen allows (hud_hint.cpp); false
    // while its script has not put the box up yet.
    bool PlaceHintClearOfRings(AnimationWidget& hint);
    StatsQuery<Challenge*>& Challenges() { return challenges_; }
    StatsQuery<LiveRef<Upgrade>>& Upgrades() { return upgrades_; }
    StatsQuery<LiveRef<Boost>>& Boosts() { return boosts_; }

private:
    // hud_signals.cpp
    void OnParkNamed(std::wstring_view name);
    // hud_commands.cpp: the list a search name stands for, null for none.
    StatsQueryIndex* FindSearch(std::wstring_view search);
    int GetStats(std::wstring_view search);
    void StepSearch(std::wstring_view search, int32_t n, bool reset);
    void Publish(StatsQueryIndex& query);
    void AddSlider();
    void AddTextInput();
    void SetActiveGoals();
    // hud_lists.cpp: the rebuilds of "get-stats".
    void CollectBuildingTypes();
    void CollectResearch(bool inProgress);
    void CollectChallenges();
    void CollectImprovements(bool upgrades);
    // goal_panels.cpp
    void RefreshGoalPanel();
    // week_review.cpp: the night's scene while its review stands, else
    // null; a note of finished research, hidden until its turn as a box;
    // once the review is closed, the note and the tutorial it hid and the
    // boxes that waited; the tutorial's box, shade and skip button hidden
    // while the review stands, else shown.
    AnimationWidget* StandingReview() const;
    void KeepResearchNote(AnimationWidget& note);
    void ShowWaitingBoxes();
    void HideTutorialWhileReviewing();
    // hud_boxes.cpp: the first waiting box opened unless a box or the
    // review stands; the box standing as night falls first in line again
    // when it is one the night does not take away; whether a box, or a
    // script's layer of that name, stands.
    void OpenWaitingBox();
    void KeepBoxThroughNight();
    bool LayerStands(std::wstring_view layer) const;
    bool BoxStands() const;
    // hud_cover.cpp: whether a visible piece of the display other than the
    // park lies at that point of the display.
    bool CoveredAt(float x, float y) const;

    Tutorial tutorial_;
    int32_t days_ = 0;
    int32_t weeks_ = 0;
    int32_t months_ = 0;
    int32_t years_ = 0;
    bool allBuildingsAvailable_ = false;
    KivraGrid* grid_ = nullptr;
    LiveRef<Objective> shownGoal_;
    LiveRef<AnimationWidget> goalTaskPanel_;
    LiveRef<AnimationWidget> magazinePanel_;
    LiveRef<AnimationWidget> zoneRingsHint_;
    LiveRef<AnimationWidget> night_;
    // A box as what opens it, and the layer it stands in when the night
    // does not take it away (none when it may go with it).
    struct WaitingBox {
        std::function<void()> open;
        std::wstring_view keptLayer;
    };
    // The boxes waiting their turn, first in line first; the one opened
    // last; the note of research shown last; whether a box was opened
    // since the last update (its script may still be on its way).
    std::deque<WaitingBox> waitingBoxes_;
    WaitingBox openedBox_;
    LiveRef<AnimationWidget> shownNote_;
    bool boxOpening_ = false;
    // The card placed last, for its building's middle and its extent then,
    // how much of the display's pieces it lay over there, and whether it
    // stood apart from its building.
    LiveRef<AnimationWidget> placedCard_;
    FRect placedAt_;
    FRect placedExtent_;
    float placedCover_ = 0.0f;
    bool placedApart_ = false;
    bool zoneRingsShown_ = false;
    bool zoneHintPlaced_ = false;
    int32_t goalPanelState_ = kPanelIdle;
    // The park's count of buildings set down at the goal panel's last refresh.
    uint32_t goalPanelSetDowns_ = 0;
    StatsQuery<ITEM_TYPE*> buildingTypes_;
    // Research, upgrades and boosts by name or handle: a purchase or a sale
    // while the list is shown would leave a pointer dangling.
    StatsQuery<ListedResearch> researchToBuy_;
    StatsQuery<ListedResearch> researchInProgress_;
    StatsQuery<KIVRA_PERSON_TYPE*> visitorTypes_;
    StatsQuery<KivraComboStats*> combos_;
    StatsQuery<Challenge*> challenges_;
    StatsQuery<LiveRef<Upgrade>> upgrades_;
    StatsQuery<LiveRef<Boost>> boosts_;
    FieldHandles calendarHandles_;
    std::optional<ScopedService<ParkDisplay>> asPark_;
    std::optional<ScopedService<GoalDisplay>> asGoals_;
};
