// The week: its phases (the week runs, night falls, the park opens), the
// calendar while it runs, the research bought counting down only then, and
// the spawner that lets the week's visitors in.
#include <algorithm>
#include <climits>
#include <cmath>
#include <utility>

#include "app/player/basic_player_state.h"
#include "foundation/expression/constants_map.h"
#include "game/data/progress/kivra_level.h"
#include "game/data/progress/wrapping_add.h"
#include "game/park/buildings/kivra_building.h"
#include "game/park/display/park_display.h"
#include "game/park/parkgrid/kivra_grid.h"
#include "game/park/parkgrid/kivra_spawner.h"

namespace {

KIVRA_LEVEL* CurrentParkLevel() {
    ParkPlayer* player = ParkPlayer::Current();
    return player ? player->GetCurrentLevel() : nullptr;
}

// Weekly earnings goals and the week's statistics count from nothing.
void StartCountingWeek() {
    if (KIVRA_LEVEL* level = CurrentParkLevel()) {
        level->goals_tracker.ResetWeeklyEarnings();
        level->stats.week.Reset();
    }
}

// The seconds left of a week the park was saved in, its earnings so far
// counted again towards the weekly goals; 0 for a park saved between weeks.
// A clock no save writes (negative, or a whole week or more) reads as the
// week's start.
float ResumeSavedWeek() {
    KIVRA_LEVEL* level = CurrentParkLevel();
    if (level == nullptr) return 0.0f;
    const int32_t left = std::exchange(level->week_time_left, 0);
    if (left <= 0 || left >= GetConstantInt(L"week_duration") * 100) return 0.0f;
    level->goals_tracker.ResetWeeklyEarnings();
    if (level->stats.week.money_earned > 0) level->goals_tracker.OnMoneyEarned(level->stats.week.money_earned);
    return static_cast<float>(left) / 100.0f;
}

// Finished research takes effect in this park only: the level's own table
// and lists change, never the shared type record.
void ApplyResearch(KIVRA_LEVEL& level, const RESEARCH_OPTION& research) {
    switch (research.effect) {
        case RESEARCH_OPTION::kUnlockMarketing: level.marketing_slots = WrappingAdd(level.marketing_slots, 1); break;
        case RESEARCH_OPTION::kUnlockBuilding: level.availability[research.param] = 1; break;
        case RESEARCH_OPTION::kLearnCombo: level.learned_combos.insert(research.param); break;
        default: break;
    }
}

}  // namespace

void KivraGrid::OnWeekStart() {
    // A park saved mid-week goes on with that week: the days gone and the
    // money earned in them are not played again. The week's script starts
    // its clock from the timer it finds set.
    weekTimer_ = ResumeSavedWeek();
    if (weekTimer_ <= 0.0f) StartCountingWeek();
    parkState_ = kWeekRunning;
    RunCallback(L"week_start_shared");
    ParkDisplay* display = Display();
    if (display != nullptr && TutorialRunning() && !display->TutorialReachedStep(L"navigate"))
        display->ResetGoalPanel();
}

void KivraGrid::OnNightfall() {
    parkState_ = kNightfall;
    // A saved count at the far end of the numbers wraps, as money and hearts do.
    if (KIVRA_LEVEL* level = CurrentParkLevel()) level->weeks_played = WrappingAdd(level->weeks_played, 1);
    ParkDisplay* display = Display();
    if (display == nullptr) return;
    // The week's review stands under the display's panels: whatever is open
    // closes first, so nothing lies over it, a building's popup too.
    ClosePopupFor(popupBuilding_.Get());
    RunCallback(L"nightfall_callback");
    auto* night = new AnimationWidget(L"nightfall", 0, 0, true);
    night->SetPriority(ParkDisplay::kNightPriority);
    auto* player = dynamic_cast<ExtendedPropertyInterface*>(BasicPlayerState::Current());
    night->SetVariable(L"player_state", PropertyValue::FromPropertyInterface(player));
    display->ShowWatchedScene(*night);
}

void KivraGrid::OnParkOpen() {
    StartCountingWeek();
    parkState_ = kParkOpen;
    SetDisplayVariable(L"park_open", PropertyValue::FromBool(true));
}

void KivraGrid::StartWeekShared() {
    parkState_ = kWeekRunning;
    RunCallback(L"week_start_shared");
}

int32_t KivraGrid::WeekTimeLeft() const {
    if (parkState_ != kWeekRunning || !itemsStarted_ || weekTimer_ <= 0.0f) return 0;
    return static_cast<int32_t>(std::lround(weekTimer_ * 100.0f));
}

void KivraGrid::UpdateWeekClock() {
    // No week runs before the park starts its items with the first one.
    if (parkState_ != kWeekRunning || !itemsStarted_) return;
    if (weekTimer_ > 0.0f) {
        if (ParkDisplay* display = Display()) display->UpdateCalendar(weekTimer_);
    } else {
        OnNightfall();
    }
}

void KivraGrid::UpdateResearch() {
    KIVRA_LEVEL* level = CurrentParkLevel();
    if (parkState_ != kWeekRunning || !itemsStarted_ || level == nullptr) return;
    // By index: a finished record leaves the list while it is walked, and
    // the display told of it may buy more.
    auto& bought = level->bought_research;
    for (size_t i = 0; i < bought.size();) {
        RESEARCH_OPTION& research = bought[i];
        research.GetWeeksDays();
        const int32_t before = research.ticks;
        if (before > INT32_MIN) research.ticks = before - 1;
        if (before > 1) {
            ++i;
            continue;
        }
        const RESEARCH_OPTION finished = research;
        bought.erase(bought.begin() + static_cast<std::ptrdiff_t>(i));
        ApplyResearch(*level, finished);
        if (ParkDisplay* display = Display()) display->UpdateResearchAndMarketing(finished);
    }
}

void KivraGrid::CreateSpawner() {
    RemoveSpawner();
    auto* spawner = new KivraSpawner(*this);
    if (const KIVRA_LEVEL* level = CurrentParkLevel()) {
        for (const auto& [type, count] : level->marketing)
            spawner->AddVisitorEntry(type, static_cast<uint32_t>(std::max(count, 0)));
        for (const std::wstring& type : level->marketing_bonus.entries)
            spawner->AddVisitors(type, static_cast<uint32_t>(std::max(GetConstantInt(L"person_marketing_bonus"), 0)));
    }
    spawner->BuildSpawnQueue();
    spawner_ = spawner;
    AddWidget(spawner);
}

void KivraGrid::RemoveSpawner() {
    if (spawner_ != nullptr) RemoveWidget(spawner_);
    spawner_ = nullptr;
}
