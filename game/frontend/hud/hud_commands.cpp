// The display's own script words: the lists scripts page through, the
// spawner, sliders and text fields, and the goal panels' fading. Each
// answers with the step hook's code: 0 leaves the step to the words below,
// 2 goes on with the next step at once.

#include "foundation/system/log.h"
#include "foundation/values/saturate.h"
#include "game/data/progress/kivra_level.h"
#include "game/frontend/hud/user_interface.h"
#include "game/frontend/menus/stretch_slider.h"
#include "game/frontend/menus/text_input_widget.h"
#include "game/park/buildings/improvements.h"
#include "game/park/parkgrid/kivra_grid.h"
#include "widgets/script/script_host.h"

namespace {

using hook_result::kHandled;
using hook_result::kNotHandled;

// The lists "step-search" and "reset-search" move.
bool IsSteppable(std::wstring_view search) {
    return search == L"items" || search == L"research_buy" || search == L"research_progress" ||
           search == L"marketing_slots" || search == L"visitors" || search == L"combos_learned";
}

}  // namespace

int UserInterface::HandleCustomCommand(const AnimationStep& step) {
    const std::wstring& word = step.name;
    if (word == L"get-stats") return GetStats(StepAttributeString(L"search"));
    if (word == L"get-search") {
        StatsQueryIndex* query = FindSearch(StepAttributeString(L"search"));
        if (!query) return kNotHandled;
        Publish(*query);
        return kHandled;
    }
    if (word == L"step-search" || word == L"reset-search") {
        const bool reset = word == L"reset-search";
        StepSearch(StepAttributeString(L"search"), reset ? 0 : StepAttributeIntOr(L"number", 1), reset);
        return kHandled;
    }
    if (word == L"add-customer-spawner") {
        grid_->CreateSpawner();
        return kHandled;
    }
    if (word == L"remove-customer-spawner") {
        grid_->RemoveSpawner();
        return kHandled;
    }
    if (word == L"add-slider") {
        AddSlider();
        return kHandled;
    }
    if (word == L"add-text-input") {
        AddTextInput();
        return kNotHandled;
    }
    if (word == L"add-reminder") {
        grid_->AddReminder(StepAttributeString(L"id"), static_cast<float>(StepAttributeInt(L"target_x")),
                           static_cast<float>(StepAttributeInt(L"target_y")), StepAttributeImage(L"icon"),
                           StepAttributeImage(L"arrow"), StepAttributeString(L"animation"));
        return kNotHandled;
    }
    if (word == L"remove-reminder") {
        grid_->RemoveReminder(StepAttributeString(L"id"));
        return kNotHandled;
    }
    if (word == L"set-active-goals") {
        SetActiveGoals();
        return kHandled;
    }
    return Menu::HandleCustomCommand(step);
}

StatsQueryIndex* UserInterface::FindSearch(std::wstring_view search) {
    if (search == L"items") return &buildingTypes_;
    if (search == L"research_buy") return &researchToBuy_;
    if (search == L"research_progress") return &researchInProgress_;
    if (search == L"visitors") return &visitorTypes_;
    if (search == L"combos_learned") return &combos_;
    if (search == L"challenges") return &challenges_;
    if (search == L"upgrades") return &upgrades_;
    if (search == L"boosts") return &boosts_;
    if (search == L"marketing_slots") {
        KIVRA_LEVEL* level = Level();
        return level ? &level->marketing_bonus : nullptr;
    }
    return nullptr;
}

int UserInterface::GetStats(std::wstring_view search) {
    if (search == L"items")
        CollectBuildingTypes();
    else if (search == L"research_buy" || search == L"research_progress")
        CollectResearch(search == L"research_progress");
    else if (search == L"combos_learned")
        CollectCombos();
    else if (search == L"challenges")
        CollectChallenges();
    else if (search == L"upgrades" || search == L"boosts")
        CollectImprovements(search == L"upgrades");
    StatsQueryIndex* query = FindSearch(search);
    if (!query) return kNotHandled;
    Publish(*query);
    return kHandled;
}

void UserInterface::Publish(StatsQueryIndex& query) {
    // Raw texts: the names of the variables to set, never evaluated.
    const std::wstring& results = StepAttributeText(L"_results");
    const std::wstring& number = StepAttributeText(L"_number");
    if (!results.empty()) SetVariable(results, PropertyValue::FromPropertyInterface(&query));
    if (!number.empty()) SetVariable(number, PropertyValue::FromInt(query.Size()));
}

void UserInterface::StepSearch(std::wstring_view search, int32_t n, bool reset) {
    if (!IsSteppable(search)) return;
    StatsQueryIndex* query = FindSearch(search);
    if (!query) return;
    if (reset)
        query->index = 0;
    else
        query->Step(n);
}

void UserInterface::AddSlider() {
    DynamicWidget* parent = StepHasAttribute(L"to") ? dynamic_cast<DynamicWidget*>(FindObject(L"to")) : nullptr;
    WidgetContainer* into = parent ? static_cast<WidgetContainer*>(parent) : GetLayer();
    DynamicWidget* canvas = StepHasAttribute(L"canvas") ? FindObject(L"canvas") : nullptr;
    // The window's edges are its position plus its size: each kept in half
    // the int's range, so that the sum is one too.
    auto bounded = [this](const wchar_t* name) { return ClampHalfInt(StepAttributeIntOr(name, 0)); };
    const KivraSlider::Window window{bounded(L"window_x"), bounded(L"window_y"), bounded(L"window_width"),
                                     bounded(L"window_height")};
    const bool horizontal = StepHasAttribute(L"direction") && StepAttributeString(L"direction") == L"horizontal";
    auto* slider = new KivraSlider(canvas, window, StepAttributeImage(L"track"), StepAttributeImage(L"thumb"), this,
                                   horizontal, ClampHalfInt(StepAttributeIntOr(L"span", -1)));
    slider->Move(StepAttributeFloatOr(L"x", 0.0f), StepAttributeFloatOr(L"y", 0.0f));
    // A value of 0 or less keeps the slider's own start.
    const float value = StepAttributeFloatOr(L"value", -1.0f);
    if (value > 0.0f) slider->SetValue(value);
    into->AddWidget(slider);
}

void UserInterface::AddTextInput() {
    auto text = [this](std::wstring_view name, std::wstring_view fallback) {
        return StepHasAttribute(name) ? StepAttributeString(name) : std::wstring(fallback);
    };
    auto* input = new TextInputWidget(
        StepAttributeIntOr(L"x", 0), StepAttributeIntOr(L"y", 0), StepAttributeString(L"type"), text(L"text", L""),
        text(L"empty_prompt", L"enter_value"), StepAttributeBoolOr(L"empty_prompt_lookup", true),
        text(L"empty_text", L"no_value"), StepAttributeBoolOr(L"empty_text_lookup", true),
        text(L"font", L"hud_button_small"), StepAttributeIntOr(L"max_length", -1));
    // The name typed comes back as "finished_text_input_" and the text.
    Watch(input);
    RegisterObject(StepAttributeString(L"id"), input);
}

void UserInterface::SetActiveGoals() {
    const float target = StepAttributeBoolOr(L"visible", true) ? 1.0f : 0.0f;
    const float time = StepAttributeFloatOr(L"fade_time", 0.0f);
    for (AnimationWidget* panel : {GoalTaskPanel(), MagazinePanel()})
        if (panel) panel->TweenPropertyByName(L"opacity_tween", L"opacity", target, time, L"", false);
}
