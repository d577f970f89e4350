#pragma once
// AnimationWidget: the DynamicWidget that runs scene scripts (named
// animations of the AnimationLibrary). It owns the run state of its script,
// the table of objects the script registered, the script's local variables
// ("self" is the widget), the button bindings and the links through which it
// hears about clicks, removals, child animations and button events.
//
// Promises: a script starts only inside a WidgetManager's tree; a newer
// PlayAnimation supersedes a run still on the stack (the play counter); an
// outermost ExecuteSteps call and the runs it starts meanwhile (scripts of
// widgets it makes) share kStepBudget units of work (steps, hit tests,
// widgets made) and nest at most kMaxNesting deep, after which the run halts
// after its step and resumes at the next update (reported once per widget),
// so a script that never waits cannot freeze the program. A script started
// by scripts kMaxNesting deep does not run at all; all runs of one fixed
// update share kUpdateBudget, and none does anything while kMostWidgets
// widgets exist. Objects are plain pointers forgotten
// when their removal is reported; every other widget the script keeps
// (layers, waited widgets, children it started, its notice) is a LiveRef and
// reads null once deleted. Callers must not delete it while it is in a tree.
// Main thread only.

#include <deque>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "foundation/expression/expression.h"
#include "foundation/values/live_ref.h"
#include "widgets/dynamic/dynamic_widget.h"
#include "widgets/script/animation_listener.h"
#include "widgets/script/animation_stats.h"
#include "widgets/script/script_words.h"
#include "widgets/tree/click_listener.h"
#include "widgets/tree/removal_listener.h"

class ButtonWidget;
struct Color;

// What a button added by a script does when it acts.
struct ButtonBinding {
    enum Kind { kNothing = 0, kLaunch = 1, kCall = 2, kAction = 3 };
    int kind = kNothing;
    std::wstring name;  // the button's id text
    std::wstring target;
    std::wstring parameter;
    int number = 0;
    std::wstring hoverAnimation;
    std::wstring leaveAnimation;
    bool depress = false;  // act on release rather than on press
};

// Alignment of a position value on an object: "center" takes off half the
// width (x) or height (y), "right" (x) or "bottom" (y) all of it; any other
// keyword leaves the value.
float AlignValue(float value, const Widget& object, bool vertical, std::wstring_view keyword);

class AnimationWidget : public DynamicWidget,
                        public WatchedAnimation,
                        public ClickListener,
                        public RemovalListener,
                        public ScriptVariableOwner {
public:
    // Work units of one run: a step is one, a hit test one, a widget made
    // kWidgetWork. All runs of one fixed update together may do kUpdateBudget.
    static constexpr int kStepBudget = 100000;
    static constexpr int kUpdateBudget = 10 * kStepBudget;
    static constexpr int kWidgetWork = 100;
    static constexpr int kMaxNesting = 64;
    // With this many widgets in the process no run starts doing anything.
    static constexpr size_t kMostWidgets = 100000;

    // Wait kinds (0 runs or halted; 3-14 are polled or ended by listeners).
    enum WaitKind {
        kRunning = 0,
        kPersist = 1,
        kNoticeMenu = 2,
        kCondition = 3,
        kObjectGone = 6,
        kAnimation = 7,
        kLastObjectWait = 12,
        kLastWait = 14
    };

    AnimationWidget(std::wstring_view animation, int x, int y, bool removeWhenDone);
    AnimationWidget(int x, int y, Image* image, float opacity);
    ~AnimationWidget() override;

    // Tree.
    void Update() override;
    // Polls the wait in progress and wakes the script when it is over (wait_words.cpp).
    void UpdateFraction(float x) override;
    void AddedToManager(WidgetManager* manager) override;
    void RemovedFromManager(WidgetManager* manager) override;
    void AddedToParent(WidgetContainer* parent) override;
    void RemovedFromParent(WidgetContainer* parent) override;
    void RemoveSelfKeep() override;
    PropertyValue GetProperty(std::wstring_view name) override;

    // Script control.
    virtual void PlayAnimation(AnimationDefinition* definition);
    virtual void PlayAnimationNamed(std::wstring_view name);
    virtual void PushAnimation(AnimationDefinition* definition);
    virtual void PushAnimationNamed(std::wstring_view name);
    virtual void RunAnimation(AnimationDefinition* definition);
    virtual void RunAnimationNamed(std::wstring_view name);
    virtual bool RestartAnimationIfCurrent(std::wstring_view name);
    virtual void RestartAnimation();
    virtual void RemoveObjects(bool forget);
    virtual void StopAnimation();
    virtual void ResetScript();
    // Removes the widget from its parent when the flag below is set.
    virtual void AnimationFinished();
    // Whether the widget leaves its parent once a script of its runs to its
    // end (AnimationFinished). Not DynamicWidget::RemoveWhenDone, which
    // waits for the widget's timed changes instead.
    void SetRemoveWhenScriptEnds(bool on) { removeWhenDone_ = on; }
    // First look at every step: one of the hook_result codes (script_host.h).
    virtual int HandleCustomCommand(const AnimationStep& step);
    virtual void EmptyAnimationPlayed();
    virtual bool AnyObjectAnimating() const;
    virtual void AdvanceStep(bool advance);
    virtual void ObjectAdded(ButtonBinding& binding);
    virtual void HandleButtonEvent(ButtonBinding& binding);
    virtual void DoAction(std::wstring_view action, std::wstring_view parameter, int number);

    // The step loop. True when the run stopped at a step, false when the script ended.
    bool ExecuteSteps(bool advance);
    // Charges work to the run in progress: false once its budget is spent,
    // when the word should stop early (the run then halts after the step).
    // Outside every run it always answers true.
    static bool SpendWork(int units);
    // How many runs were cut so far, over all widgets.
    static int CountCuts();
    // How many scripts started this widget's script, one by another.
    int GetStartDepth() const { return startDepth_; }
    bool IsScriptDone() const;
    bool TestCondition(const ExpressionText& expression, bool fallback);
    // Moves the cursor to the end of its present list ("break", "continue").
    void EndSteps();
    // For words that move the cursor themselves (they answer kNextInPlace):
    // past the current step without entering its block; into `list` as a
    // subroutine that returns after the current step; out of open blocks
    // until the block stack holds `depth` entries.
    void SkipStep();
    void CallSteps(const StepList* list);
    void LeaveBlocks(size_t depth);

    // Objects and layers.
    void RegisterObject(const std::wstring& id, DynamicWidget* widget);
    // Enters the object in the objects table only; it joins a tree elsewhere.
    void RecordObject(DynamicWidget* widget) {
        if (widget) objects_[widget->GetId()] = widget;
    }
    // The object the attribute names: a widget value, or a local variable holding one.
    DynamicWidget* FindObject(std::wstring_view attribute);
    // The container new objects join: the layer set last, or the widget
    // itself when none was set or the one set is gone.
    WidgetContainer* GetLayer();
    // Null (or this widget) makes the widget itself the layer again.
    void SetLayer(LiveRef<DynamicWidget> layer) { layer_ = std::move(layer); }
    const LiveRef<DynamicWidget>& GetLayerRef() const { return layer_; }
    void PushLayer() { layerStack_.push_back(layer_); }
    void PopLayer();
    const std::map<int, DynamicWidget*>& Objects() const { return objects_; }

    // The current step's attributes; every value is an expression read afresh.
    const AnimationStep* CurrentStep() const;
    bool StepHasAttribute(std::wstring_view name) const;
    const ExpressionText& StepAttributeText(std::wstring_view name) const;
    PropertyValue EvalStepAttribute(std::wstring_view name);
    std::wstring StepAttributeString(std::wstring_view name);
    int StepAttributeInt(std::wstring_view name);
    int StepAttributeIntOr(std::wstring_view name, int fallback);
    float StepAttributeFloat(std::wstring_view name);
    float StepAttributeFloatOr(std::wstring_view name, float fallback);
    bool StepAttributeBool(std::wstring_view name);
    bool StepAttributeBoolOr(std::wstring_view name, bool fallback);
    Image* StepAttributeImage(std::wstring_view name);
    int StepAttributeSound(std::wstring_view name);
    int StepAttributeTrack(std::wstring_view name);

    // Element readers: the attribute work of the larger words, on the
    // current step (widgets/controls/).
    // A text label: a new registered object, or text drawn into the
    // existing object `to` names (returned); null when nothing was made.
    DynamicWidget* ReadLabelElement(int textOffsetY, int bottomSpacing);
    // Opaque white with each of red, green, blue, alpha the step has (0..1) taken over.
    Color ReadColor();
    // The attributes the step has, applied to the button; the rest stay.
    void ReadButtonConfig(ButtonWidget* button);
    // The attribute as a list: evaluated, or with `split` only cut at its commas.
    std::vector<PropertyValue> ResolvePropertyPtr(std::wstring_view attribute, bool split);

    // Variables.
    VariableMap& Variables() { return variables_; }
    // The variable, or a shared empty value when there is none.
    const PropertyValue& GetLocalVariable(std::wstring_view name) const;
    // How many were removed (0 or 1).
    int UndefineVariable(std::wstring_view name);
    const VariableMap& ScriptVariables() const override { return variables_; }
    void SetVariable(const std::wstring& name, const PropertyValue& value) { variables_[name] = value; }
    double GetNumberVariable(std::wstring_view name) const;
    ExpressionEvaluator& Evaluator() { return evaluator_; }

    // Run state.
    int GetWaitKind() const { return waitKind_; }
    // Where the wait lies, which every update reads first: for a pass
    // target's further line (NamePassTarget).
    const void* WaitField() const { return &waitKind_; }
    // A wait that begins forgets the condition an earlier one found.
    void SetWaitKind(int kind) {
        waitKind_ = kind;
        conditionStep_ = nullptr;
        condition_ = nullptr;
        keptAnchor_ = nullptr;
        // The passes read what a condition wait keeps only of a widget that
        // has waited on a condition: most scripts never do.
        // The per-frame update alone asks the condition.
        if (kind == kCondition) AddPassLines(&conditionStep_, variables_.StampField() + 1, UpdatePass::kFrame);
    }
    float GetTimeout() const { return timeout_; }
    void SetTimeout(float timeout) { timeout_ = timeout; }
    int GetWaitTargetId() const { return waitTargetId_; }
    void SetWaitTargetId(int id) { waitTargetId_ = id; }
    // What a "wait-for" waits on besides the target id; the widget values
    // read null once their widget is gone.
    struct Awaited {
        LiveRef<DynamicWidget> object;       // the wait target
        LiveRef<AnimationWidget> animation;  // the animation whose script must end
        std::wstring controller;             // the target's controller that must end
        int soundOrTrack = -1;
    };
    Awaited& GetAwaited() { return awaited_; }
    int GetPlayCounter() const { return playCounter_; }
    AnimationDefinition* GetDefinition() const { return definition_; }
    // Where the cursor stands: words that open blocks remember it.
    const StepList* CursorList() const { return cursor_.list; }
    int CursorIndex() const { return cursor_.index; }
    bool IsHaltedByBudget() const { return budgetHalt_; }
    std::map<int, ButtonBinding>& Buttons() { return buttons_; }
    // Child animations started and not yet complete, by widget id.
    std::map<int, LiveRef<AnimationWidget>>& RunningAnimations() { return runningAnimations_; }
    // Looping sounds this script started through its menu: sound id to count.
    std::map<int, int>& SoundLoops() { return soundLoops_; }
    // The notice menu the script shows (null when none), and whether it
    // waits with its menu made unpausable (`savedPausable` restored after).
    DynamicWidget* GetNoticeMenu() const { return noticeMenu_.Get(); }
    void SetNoticeMenu(DynamicWidget* menu, bool unpauseRequested, bool savedPausable);
    int GetLastButtonId() const { return lastButtonId_; }

    // Loops open on the cursor (one per "loop" or "for" block, innermost last).
    struct LoopRecord {
        const StepList* list = nullptr;
        int index = 0;
        int blockDepth = 0;
        int count = -1;  // -1: no limit
        std::wstring variable;
        ExpressionText cond;
        ExpressionText inc;
    };
    std::vector<LoopRecord>& Loops() { return loops_; }
    size_t BlockDepth() const { return blocks_.size(); }

    // Listener sides.
    void ButtonPress(int id) override;
    void ButtonRelease(int id) override;
    void ButtonMouseEnter(int id) override;
    void ButtonMouseLeave(int id) override;
    void AnimationComplete(int widgetId) override;
    void ClickStarted() override;
    void Clicked() override;
    void WidgetRemoved(int widgetId) override;
    void SetWaitForClick(bool on);

private:
    // Names the wait, the budget's cut and the cursor for `pass`.
    void NameRunStateLines(UpdatePass pass) { AddPassLines(&waitKind_, &cursor_ + 1, pass); }
    struct Cursor {
        const StepList* list = nullptr;
        int index = 0;
    };
    void Construct(std::wstring_view animation);
    bool RunSteps(bool advance);
    WordResult RunWord(const AnimationStep& step);
    void HaltForBudget(bool advance, const char* why);
    void ReportRunaway(std::string_view what);
    static int StartDepthHere();
    // Whether the condition wait's condition holds now (wait_words.cpp).
    bool ConditionHolds();
    // The per-frame update's wait, for a widget waiting on something.
    void UpdateWait(float x);
    void KeepConditionReading();

    // Read by both update passes of every widget: first, next to the
    // dynamic widget's own block of such fields.
    int waitKind_ = kRunning;
    float timeout_ = 0.0f;
    // A run cut short by the step budget or the nesting cap, resumed by the next update.
    bool budgetHalt_ = false;
    bool budgetAdvance_ = false;
    // The kept condition's negation (below): here, in what was padding, so
    // that the variables' stamp follows the kept fields on their line.
    bool keptNegate_ = false;
    // The step a waiting script asks its condition of. The passes read no
    // further of a widget that never waited on a condition (SetWaitKind).
    Cursor cursor_;
    // A condition wait's step and the text of its condition, found at the
    // wait's first update: the step stays put while the wait lasts, and the
    // library keeps its steps, so the text is not looked up at every update.
    const AnimationStep* conditionStep_ = nullptr;
    const ExpressionText* condition_ = nullptr;
    // A condition that reads one property of an object a variable holds
    // ("!owner.following_path"), as its last evaluation found it: the
    // reference's anchor, the variables' stamp then and the property's name
    // in the condition's text. While the stamp stands the variable holds
    // the same reference, so the condition is the object's property, read
    // without the variables, the evaluator or the reference, each a cache
    // miss for every waiting script once a frame has been drawn. Null:
    // evaluate the text. The object's reading of the property, where it
    // has one, reads it without finding the name (its place and length in
    // the text) each time; an object that dies reads as none. When the object was this widget or one of the
    // widgets it lies in, and the widget in a manager's tree, the object
    // itself: it lives as long as the widget stays in the tree, for a
    // widget leaves it (RemovedFromManager) before any widget above it
    // goes or changes, so not even the anchor needs reading.
    const LiveAnchor* keptAnchor_ = nullptr;
    ExtendedPropertyInterface* keptAbove_ = nullptr;
    uint64_t keptStamp_ = 0;
    const PropertyReading* keptReading_ = nullptr;
    uint32_t keptPropertyAt_ = 0;
    uint32_t keptPropertySize_ = 0;
    // Beside the fields of the condition: its every update compares the
    // variables' stamp, the map's first field, with the one it kept.
    VariableMap variables_;
    LiveRef<DynamicWidget> layer_;  // null: the widget itself
    std::deque<LiveRef<DynamicWidget>> layerStack_;
    std::map<int, DynamicWidget*> objects_;
    std::map<int, ButtonBinding> buttons_;
    bool removeWhenDone_ = false;
    std::vector<LoopRecord> loops_;
    int lastButtonId_ = -1;
    AnimationDefinition* definition_ = nullptr;
    std::vector<Cursor> blocks_;
    int playCounter_ = 0;
    std::map<int, LiveRef<AnimationWidget>> runningAnimations_;
    std::map<int, int> soundLoops_;
    LiveRef<DynamicWidget> noticeMenu_;
    int noticeMenuId_ = -1;
    bool unpauseRequested_ = false;
    bool savedPausable_ = false;
    int waitTargetId_ = -1;
    Awaited awaited_;
    bool keepStateOnRemoval_ = false;
    ExpressionEvaluator evaluator_{variables_};
    bool waitingForClick_ = false;
    bool pressSeen_ = false;
    bool reportedRunaway_ = false;
    int startDepth_ = StartDepthHere();
};
