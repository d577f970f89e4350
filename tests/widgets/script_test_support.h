#pragma once
// Scene-script tests: a managed tree on a fake host, animations written into
// the library by the test, and a few test words registered for the fixture's
// life (the real word families come with their own tests).

#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

#include "foundation/system/text.h"
#include "tests/widgets/widget_test_support.h"
#include "widgets/script/animation_widget.h"
#include "widgets/script/script_words.h"

namespace testsupport {

// "note" appends its evaluated "text" to the variable "trace"; "count" adds
// one to the variable "n"; "halt" stops the run at the step; "replay" plays
// the animation named by "name" on the running widget; "make" registers a
// new object under "name"; "wait-gone" waits for its object ("id") to go;
// "endless" opens a loop without end over its children; "spawn-self" adds
// a copy of the running animation as an object.
class ScriptTest : public ManagerTest {
public:
    ScriptTest() {
        AnimationLibrary().clear();
        ScriptWords& words = ScriptWordTable();
        for (const auto& [group, name, word] : Words()) words.Register(group, name, word);
    }
    ~ScriptTest() override {
        mgr.RemoveAllWidgets(true, false);
        host.DeleteDeferred();
        for (const auto& [group, name, word] : Words()) ScriptWordTable().Unregister(group, name);
        AnimationLibrary().clear();
    }

    // Steps as (word, attributes) with "if"/"unless" taken apart like the loader does.
    static AnimationStep Step(std::wstring word, std::vector<std::pair<std::wstring, std::wstring>> attributes = {},
                              std::vector<AnimationStep> children = {}) {
        AnimationStep step;
        step.name = std::move(word);
        for (auto& [name, value] : attributes) {
            if (name == L"if")
                step.ifText = value;
            else if (name == L"unless")
                step.unlessText = value;
            else
                step.attributes[name] = value;
        }
        step.children = std::move(children);
        return step;
    }
    static void Define(const std::wstring& name, std::vector<AnimationStep> steps) {
        AnimationDefinition* definition = FindAnimation(name);
        definition->steps = std::move(steps);
    }
    static std::wstring Trace(AnimationWidget& w) {
        auto it = w.Variables().find(L"trace");
        return it == w.Variables().end() ? std::wstring() : it->second.ToString();
    }
    static int Count(AnimationWidget& w) { return w.Variables()[L"n"].ToInt(); }

private:
    struct Entry {
        WordGroup group;
        const wchar_t* name;
        WordFunction word;
    };
    static std::vector<Entry> Words() {
        return {
            {WordGroup::kNoObject, L"note",
             [](AnimationWidget& w, const AnimationStep&, DynamicWidget*) {
                 w.SetVariable(L"trace", PropertyValue(Trace(w) + w.StepAttributeString(L"text")));
                 return WordResult::kNext;
             }},
            {WordGroup::kNoObject, L"count",
             [](AnimationWidget& w, const AnimationStep&, DynamicWidget*) {
                 w.SetVariable(L"n", PropertyValue(Count(w) + 1));
                 return WordResult::kNext;
             }},
            {WordGroup::kNoObject, L"halt",
             [](AnimationWidget&, const AnimationStep&, DynamicWidget*) { return WordResult::kStop; }},
            {WordGroup::kNoObject, L"replay",
             [](AnimationWidget& w, const AnimationStep&, DynamicWidget*) {
                 w.PlayAnimationNamed(w.StepAttributeString(L"name"));
                 return WordResult::kNext;
             }},
            {WordGroup::kNoObject, L"make",
             [](AnimationWidget& w, const AnimationStep&, DynamicWidget*) {
                 w.RegisterObject(w.StepAttributeString(L"name"), new DynamicWidget(0, 0, nullptr, 1.0f));
                 return WordResult::kNext;
             }},
            {WordGroup::kObject, L"wait-gone",
             [](AnimationWidget& w, const AnimationStep&, DynamicWidget* object) {
                 w.SetWaitKind(AnimationWidget::kObjectGone);
                 w.SetWaitTargetId(object->GetId());
                 return WordResult::kStop;
             }},
            {WordGroup::kNoObject, L"endless",
             [](AnimationWidget& w, const AnimationStep&, DynamicWidget*) {
                 AnimationWidget::LoopRecord loop;
                 loop.list = w.CursorList();
                 loop.index = w.CursorIndex();
                 loop.blockDepth = static_cast<int>(w.BlockDepth());
                 w.Loops().push_back(loop);
                 return WordResult::kNext;
             }},
            {WordGroup::kNoObject, L"spawn-self",
             [](AnimationWidget& w, const AnimationStep&, DynamicWidget*) {
                 w.RegisterObject(L"child", new AnimationWidget(w.GetDefinition()->name, 0, 0, false));
                 return WordResult::kNext;
             }},
        };
    }
};

// A "note" step with its text, further attributes and children.
inline AnimationStep Note(const wchar_t* text, std::vector<std::pair<std::wstring, std::wstring>> more = {},
                          std::vector<AnimationStep> children = {}) {
    more.emplace_back(L"text", text);
    return ScriptTest::Step(L"note", std::move(more), std::move(children));
}

}  // namespace testsupport
