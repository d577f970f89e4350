#pragma once
// What the step loop asks of the application: a second look at every script
// step after the widget's own hook, and the player's name for shown texts. Reached through Service<ScriptHost>;
// while nothing is installed NullScriptHost handles nothing. Main thread only.

#include <string>

#include "foundation/system/service.h"

struct AnimationStep;
class AnimationWidget;

// Results of the step hooks.
namespace hook_result {
inline constexpr int kNotHandled = 0;
inline constexpr int kStopHere = 1;  // the run halts at this step
inline constexpr int kHandled = 2;   // the loop goes on with the next step
}  // namespace hook_result

class ScriptHost {
public:
    ScriptHost() = default;
    virtual ~ScriptHost() = default;
    ScriptHost(const ScriptHost&) = delete;
    ScriptHost& operator=(const ScriptHost&) = delete;

    static ScriptHost& Fallback();

    // One of the hook_result codes.
    virtual int HandleScriptStep(const AnimationStep& step, AnimationWidget& widget) = 0;
    // The current player's name, which stands for "[player]" in texts
    // scripts show; empty while no player is current.
    virtual std::wstring PlayerName() = 0;
};

class NullScriptHost : public ScriptHost {
public:
    int HandleScriptStep(const AnimationStep&, AnimationWidget&) override { return hook_result::kNotHandled; }
    std::wstring PlayerName() override { return {}; }
};
