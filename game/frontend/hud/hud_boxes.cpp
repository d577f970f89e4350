// The boxes the player reads and closes stand one at a time: one opened
// over another would hide what the player is reading. While a box or the
// week's review stands, the next waits, and the waiting open in the order
// they were asked for, each once the one before has gone, however it went
// (its button, Escape, a tool that puts the dialogs away). The night puts
// away what stands as it falls; a zone or a trophy the game announced is
// not lost with it but waits through the review, first in line. The week
// does not begin while a box stands or waits: the player reads them first.

#include <algorithm>
#include <optional>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include "game/frontend/hud/user_interface.h"

namespace {

// The park and the goals open these by running their script on the
// display, with the variables the script reads set just before; the next
// box sets them afresh, so a box that waits keeps its own until it opens.
struct BoxScript {
    std::wstring_view script;
    // What the box stands in while it is open.
    std::wstring_view layer;
    std::span<const std::wstring_view> inputs;
    // Whether it opens again after the night that put it away.
    bool keptThroughNight;
};

constexpr std::wstring_view kZoneInputs[] = {L"discovered_combo", L"refunded_coins", L"refunded_hearts"};
constexpr std::wstring_view kTrophyInputs[] = {L"trophychal",    L"trophymag",      L"moneyprize",    L"heartprize",
                                               L"buildingprize", L"magazineunlock", L"researchunlock"};
constexpr std::wstring_view kNoResourcesInputs[] = {L"lookup", L"label", L"resource"};

// The confirmations stand in the dialog's layer too: a box waits for them.
constexpr BoxScript kBoxScripts[] = {
    {L"brand_new_zone_callback", L"lyr_new_zone", kZoneInputs, true},
    {L"show_won_trophy_splash", L"lyr_trophy", kTrophyInputs, true},
    {L"show_no_resources_dialog", L"lyr_dialog", kNoResourcesInputs, false},
};

}  // namespace

void UserInterface::RunAnimationNamed(std::wstring_view name) {
    const auto* box = std::ranges::find(kBoxScripts, name, &BoxScript::script);
    if (box == std::end(kBoxScripts)) {
        if (name == L"nightfall_callback") KeepBoxThroughNight();
        Menu::RunAnimationNamed(name);
        return;
    }
    // Absent ones stay absent: a trophy without a building prize shows none.
    std::vector<std::pair<std::wstring, std::optional<PropertyValue>>> inputs;
    for (std::wstring_view input : box->inputs) {
        const auto found = ScriptVariables().find(input);
        inputs.emplace_back(input, found == ScriptVariables().end() ? std::nullopt : std::optional(found->second));
    }
    const auto open = [this, script = std::wstring(name), inputs = std::move(inputs)] {
        for (const auto& [input, value] : inputs) {
            if (value)
                SetVariable(input, *value);
            else
                UndefineVariable(input);
        }
        Menu::RunAnimationNamed(script);
    };
    waitingBoxes_.push_back({open, box->keptThroughNight ? box->layer : std::wstring_view()});
    OpenWaitingBox();
}

void UserInterface::Update() {
    Menu::Update();
    boxOpening_ = false;
    OpenWaitingBox();
    // A tutorial step may show while the review stands: it waits too.
    if (StandingReview() != nullptr) HideTutorialWhileReviewing();
    // "Next week" waits for the boxes to be read.
    if (AnimationWidget* night = night_.Get())
        if (auto* sunrise = night->GetLocalVariable(L"sunrise").ToWidget<::Widget>())
            sunrise->SetDisabled(boxOpening_ || !waitingBoxes_.empty() || BoxStands());
}

void UserInterface::OpenWaitingBox() {
    // A box asked for in the middle of one of the display's scripts is built
    // once that script is through: until the next update it counts as standing.
    if (waitingBoxes_.empty() || boxOpening_ || StandingReview() != nullptr || BoxStands()) return;
    openedBox_ = std::move(waitingBoxes_.front());
    waitingBoxes_.pop_front();
    boxOpening_ = true;
    const std::function<void()> open = openedBox_.open;
    open();
}

void UserInterface::KeepBoxThroughNight() {
    if (!openedBox_.keptLayer.empty() && LayerStands(openedBox_.keptLayer))
        waitingBoxes_.push_front(std::move(openedBox_));
    openedBox_ = {};
}

bool UserInterface::LayerStands(std::wstring_view layer) const {
    return GetLocalVariable(layer).ToWidget<DynamicWidget>() != nullptr;
}

bool UserInterface::BoxStands() const {
    return std::ranges::any_of(kBoxScripts, [this](const BoxScript& box) { return LayerStands(box.layer); }) ||
           shownNote_.Get() != nullptr;
}
