#pragma once
// Word-family tests: a runner widget in the managed tree plays scripts the
// test writes, on objects the test registers with it; Tick runs fixed
// update steps as the main loop does (the step pass, then one update unit).

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/widgets/script_test_support.h"

namespace testsupport {

class WordsTest : public ScriptTest {
public:
    using Attributes = std::vector<std::pair<std::wstring, std::wstring>>;

protected:
    WordsTest() {
        runner = new AnimationWidget(L"", 0, 0, false);
        mgr.AddWidget(runner);
    }

    // A plain object of that size under `id`, added to the runner's layer.
    DynamicWidget* Object(const std::wstring& id, float x = 0, float y = 0, int w = 0, int h = 0) {
        auto* object = new DynamicWidget(static_cast<int>(x), static_cast<int>(y), nullptr, 1.0f);
        object->Resize(x, y, w, h);
        runner->RegisterObject(id, object);
        return object;
    }
    DynamicWidget* Object(const std::wstring& id, Image* image) {
        auto* object = new DynamicWidget(0, 0, image, 1.0f);
        runner->RegisterObject(id, object);
        return object;
    }

    // Defines the script under a fresh name and plays it on the runner.
    void Play(std::vector<AnimationStep> steps) {
        const std::wstring name = L"script" + std::to_wstring(++played_);
        Define(name, std::move(steps));
        runner->PlayAnimationNamed(name);
    }
    // One step on the object "box".
    void Do(std::wstring word, Attributes attributes) {
        attributes.emplace_back(L"id", L"box");
        Play({Step(std::move(word), std::move(attributes))});
    }

    void Tick(int steps = 1) {
        for (int i = 0; i < steps; ++i) {
            mgr.UpdateFrame();
            mgr.UpdateFractionFrame(1.0f);
        }
    }

    float Real(DynamicWidget* object, const wchar_t* property) { return object->GetProperty(property).ToReal(); }
    PropertyValue Var(const std::wstring& name) {
        auto it = runner->Variables().find(name);
        return it == runner->Variables().end() ? PropertyValue(L"<none>") : it->second;
    }

    AnimationWidget* runner;

private:
    int played_ = 0;
};

}  // namespace testsupport
