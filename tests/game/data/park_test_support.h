#pragma once
// Doubles for the goal and park tests: the park's buildings, zones and tile
// materials, the HUD with its script widget and tutorial, and a current
// player that pays resources into a park level as the game's player does.

#include <optional>
#include <set>
#include <string>
#include <vector>

#include "game/data/progress/goal_display.h"
#include "game/data/progress/kivra_level.h"
#include "game/data/progress/park_hooks.h"
#include "game/data/progress/player_state.h"
#include "widgets/script/animation_widget.h"

namespace testsupport {

class TestBuilding : public GoalBuilding {
public:
    TestBuilding(std::wstring type, std::wstring category, float appeal = 1.0f, bool upgraded = false)
        : type_(std::move(type)), category_(std::move(category)), appeal_(appeal), upgraded_(upgraded) {}
    const std::wstring& TypeName() const override { return type_; }
    const std::wstring& Category() const override { return category_; }
    const KivraCharacteristics& Characteristics() const override { return characteristics_; }
    float Appeal() const override { return appeal_; }
    bool IsFullyUpgraded() const override { return upgraded_; }

    std::wstring type_, category_;
    float appeal_;
    bool upgraded_;
    KivraCharacteristics characteristics_;
};

class TestZone : public GoalZone {
public:
    explicit TestZone(std::wstring name) : name_(std::move(name)) {}
    const std::wstring& ZoneName() const override { return name_; }
    std::wstring name_;
};

// Materials by their first letter: "brick" is 'b'.
class LetterMaterials : public TileMaterials {
public:
    std::wstring MaterialToName(uint16_t code) override { return code == L'b' ? L"brick" : L"concrete"; }
    uint16_t NameToMaterial(std::wstring_view name) override { return name == L"brick" ? L'b' : L'c'; }

private:
    ScopedService<TileMaterials> installed_{this};
};

// The HUD's script widget, recording the animations it is asked to run.
class RecordingHudWidget : public AnimationWidget {
public:
    RecordingHudWidget() : AnimationWidget(0, 0, nullptr, 1.0f) {}
    void RunAnimationNamed(std::wstring_view name) override { animations.emplace_back(name); }
    std::vector<std::wstring> animations;
};

class TestHud : public GoalDisplay {
public:
    AnimationWidget& Widget() override { return widget; }
    bool TutorialInactive() override { return !tutorialStep.has_value(); }
    std::optional<std::wstring> TutorialStepName(int32_t) override { return tutorialStep; }
    bool TutorialReachedStep(std::wstring_view name) override {
        return !tutorialStep.has_value() || reachedSteps.contains(std::wstring(name));
    }
    void MarkGoalChanged(Objective&) override { ++changes; }
    void OnShownGoalCompleted(Objective& objective) override { completions.push_back(objective.name); }

    int Count(std::wstring_view animation) const {
        return static_cast<int>(std::count(widget.animations.begin(), widget.animations.end(), animation));
    }

    RecordingHudWidget widget;
    std::optional<std::wstring> tutorialStep;  // none: the tutorial is inactive
    std::set<std::wstring> reachedSteps;       // while active, the steps reached
    int changes = 0;
    std::vector<std::wstring> completions;

private:
    ScopedService<GoalDisplay> installed_{this};
};

// The current player, playing one park level: money and hearts go into the
// level, and money earned feeds the level's weekly earnings goals.
class TestParkPlayer : public PlayerState, public ParkPlayer {
public:
    explicit TestParkPlayer(KIVRA_LEVEL* level) : level_(level) { MakeCurrent(); }

    void WriteLevels(std::wstring&, const std::wstring&) override {}
    void CopyLevelsFrom(const LevelStats&) override {}
    LEVEL* FindLevel(std::wstring_view name) override { return level_ && level_->name == name ? level_ : nullptr; }

    KIVRA_LEVEL* GetCurrentLevel() override { return level_; }
    void ChangeResource(std::wstring_view name, int32_t delta, bool, AnimationWidget*) override {
        payments.push_back({std::wstring(name), delta});
        if (level_ == nullptr || delta == 0) return;
        if (name == L"hearts") level_->hearts += delta;
        if (name == L"money") {
            level_->money += delta;
            if (delta > 0) level_->goals_tracker.OnMoneyEarned(delta);
        }
    }
    int32_t TutorialStep() const override { return tutorialStep; }
    bool PausedForTutorial() const override { return paused; }
    void SetTutorialStep(int32_t step) override { tutorialStep = step; }
    void SetPausedForTutorial(bool on) override { paused = on; }

    struct Payment {
        std::wstring resource;
        int32_t delta;
        bool operator==(const Payment&) const = default;
    };
    std::vector<Payment> payments;
    bool paused = false;
    int32_t tutorialStep = 0;

private:
    KIVRA_LEVEL* level_;
};

}  // namespace testsupport
