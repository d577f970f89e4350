#include "game/frontend/hud/tutorial_step.h"

#include <algorithm>
#include <array>
#include <limits>
#include <utility>

#include "foundation/values/live_ref.h"
#include "game/data/progress/goal_display.h"
#include "game/park/display/park_display.h"
#include "game/park/parkgrid/kivra_grid.h"
#include "widgets/script/animation_widget.h"

namespace {

// The events in number order: an event's number is its place here.
constexpr std::array<std::wstring_view, kUnknownTutorialEvent> kEventNames = {
    L"name_park",
    L"open_goals_menu",
    L"choose_challenge",
    L"drag_to_ticket_gate",
    L"open_main_menu",
    L"open_build_menu",
    L"show_bouncy_castle_details",
    L"ok",
    L"hover_bouncy_castle",
    L"place_bouncy_castle",
    L"start_painting_sidewalk",
    L"paint_all_highlights",
    L"finish_painting_sidewalk",
    L"show_play_pipes_details",
    L"hover_play_pipes",
    L"place_play_pipes",
    L"show_playhouse_details",
    L"hover_playhouse",
    L"place_playhouse",
    L"show_rewards",
    L"show_goals_list",
    L"choose_funbooks_silver",
    L"start_funbooks_silver_ob2",
    L"start_funbooks_gold_ob1",
    L"start_soccerglobale_bronze_ob1",
    L"open_research_menu",
    L"research_pretzel_stand",
    L"start_soccerglobale_silver_ob0",
    L"open_special_tab",
    L"show_flowers_red_details",
    L"hover_flowers_red",
    L"place_flowers_red",
    L"start_soccerglobale_silver_ob1",
    L"start_bopper_bronze_ob0",
    L"open_marketing_menu",
    L"buy_marketing_slot",
    L"market_to_visitor",
    L"see_marketing_choices",
    L"start_bopper_silver_ob0",
    L"close_finish_research",
};

constexpr TileChar kHighlight = 'T';
constexpr TileChar kNoMaterial = '_';

// The one wait that runs, and the step it belongs to.
struct WaitSlot {
    LiveRef<AnimationWidget> widget;
    const TutorialStep* step = nullptr;
};
WaitSlot& Slot() {
    static WaitSlot slot;
    return slot;
}

void SetPause(bool paused) {
    if (ParkPlayer* player = ParkPlayer::Current()) player->SetPausedForTutorial(paused);
}

}  // namespace

int32_t TutorialEventNumber(std::wstring_view name) {
    for (size_t i = 0; i < kEventNames.size(); ++i)
        if (kEventNames[i] == name) return static_cast<int32_t>(i);
    return kUnknownTutorialEvent;
}

TutorialStep::TutorialStep(std::wstring name, std::wstring_view proceedWhen, int32_t wait, Flags flags)
    : name_(std::move(name)), proceedEvent_(TutorialEventNumber(proceedWhen)), wait_(wait), flags_(flags) {}

TutorialStep::~TutorialStep() {
    // Only forgotten: the widget may belong to a display being torn down.
    if (Slot().step == this) Slot() = {};
}

bool TutorialStep::AddHighlight(int32_t col, int32_t row, int32_t width, int32_t height) {
    if (width <= 0 || height <= 0) return true;
    // Counted wide, so that no sum overflows; a damaged rectangle stays one park's worth.
    const int64_t firstCol = std::max<int64_t>(col, 0),
                  endCol = std::min<int64_t>(int64_t{col} + width, kParkSideBound);
    const int64_t firstRow = std::max<int64_t>(row, 0),
                  endRow = std::min<int64_t>(int64_t{row} + height, kParkSideBound);
    for (int64_t c = firstCol; c < endCol; ++c)
        for (int64_t r = firstRow; r < endRow; ++r)
            highlights_.push_back({static_cast<int32_t>(c), static_cast<int32_t>(r)});
    return firstCol == col && endCol == int64_t{col} + width && firstRow == row && endRow == int64_t{row} + height;
}

AnimationWidget* TutorialStep::CurrentWait() { return Slot().widget.Get(); }

void TutorialStep::StopWaiting(bool remove) {
    // Emptied first: leaving the tree reports completion, which must find no wait.
    AnimationWidget* wait = std::exchange(Slot(), WaitSlot{}).widget.Get();
    if (wait == nullptr) return;
    wait->StopAnimation();
    if (remove && wait->GetParent() != nullptr) wait->RemoveSelf();
}

void TutorialStep::Start(KivraGrid& grid, ParkDisplay& hud) {
    StopWaiting(true);
    auto* wait = new AnimationWidget(L"tutorial_wait", 0, 0, true);
    wait->SetVariable(L"time", PropertyValue::FromInt(wait_));
    wait->SetVariable(L"grid", PropertyValue::FromWidget(&grid));
    wait->SetVariable(L"user_interface", PropertyValue::FromWidget(&hud.Widget()));
    Slot() = {wait, this};
    Watch(wait);
    hud.Widget().AddWidget(wait);
}

void TutorialStep::AnimationComplete(int widgetId) {
    AnimationWidget* wait = Slot().widget.Get();
    if (wait == nullptr || Slot().step != this || wait->GetId() != widgetId) return;
    // Taken out of the tree before its script ended: no completion.
    if (!wait->IsScriptDone()) return;
    auto* grid = wait->GetLocalVariable(L"grid").ToWidget<KivraGrid>();
    auto* hudWidget = wait->GetLocalVariable(L"user_interface").ToWidget<AnimationWidget>();
    ParkDisplay* hud = ParkDisplay::Current();
    Slot() = {};
    if (grid == nullptr || hud == nullptr || &hud->Widget() != hudWidget || hudWidget->GetManager() == nullptr) return;
    Show(*grid, *hud);
}

void TutorialStep::Show(KivraGrid& grid, ParkDisplay& hud) {
    AnimationWidget& script = hud.Widget();
    grid.SetDraggable(flags_.draggable, true);
    grid.SetPushable(flags_.pushable);
    std::vector<TilePoint> marked;
    for (const TilePoint& tile : highlights_) {
        // A tile the park lacks is skipped, and not counted as one to paint.
        if (grid.GetTileAt(tile.col, tile.row) == nullptr) continue;
        grid.SetTileMaterial(tile, kHighlight);
        marked.push_back(tile);
    }
    // A tile two highlights share is painted once: counted twice, the count
    // would never run out and the step never end.
    const auto before = [](TilePoint a, TilePoint b) { return a.col != b.col ? a.col < b.col : a.row < b.row; };
    std::sort(marked.begin(), marked.end(), before);
    marked.erase(std::unique(marked.begin(), marked.end()), marked.end());
    script.SetVariable(L"tiles_highlighted_count", PropertyValue::FromInt(static_cast<int32_t>(marked.size())));
    if (messageBox_) {
        script.SetVariable(L"x", PropertyValue::FromInt(messageBox_->x));
        script.SetVariable(L"y", PropertyValue::FromInt(messageBox_->y));
        script.SetVariable(L"width", PropertyValue::FromInt(messageBox_->width));
        script.SetVariable(L"height", PropertyValue::FromInt(messageBox_->height));
        script.SetVariable(L"text_label", PropertyValue(messageBox_->textLabel));
        script.SetVariable(L"block_mouse", PropertyValue::FromBool(messageBox_->blockMouse));
        if (messageBox_->buttonLabel.empty())
            script.UndefineVariable(L"button_label");
        else
            script.SetVariable(L"button_label", PropertyValue(messageBox_->buttonLabel));
        script.RunAnimationNamed(L"tutorial_add_message_box");
    }
    script.RunAnimationNamed(L"tutorial_" + name_ + L"_start");
    if (flags_.skippable) script.RunAnimationNamed(L"tutorial_add_skip_button");
    SetPause(flags_.paused);
}

void TutorialStep::End(KivraGrid& grid, ParkDisplay& hud) {
    if (Slot().step == this) StopWaiting(true);
    for (const TilePoint& tile : highlights_) {
        const GridTile* found = grid.GetTileAt(tile.col, tile.row);
        if (found != nullptr && found->material == kHighlight) grid.SetTileMaterial(tile, kNoMaterial);
    }
    AnimationWidget& script = hud.Widget();
    script.RunAnimationNamed(L"tutorial_remove_message_box");
    script.RunAnimationNamed(L"tutorial_" + name_ + L"_end");
    if (flags_.skippable) script.RunAnimationNamed(L"tutorial_remove_skip_button");
    SetPause(false);
}
