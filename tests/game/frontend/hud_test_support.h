#pragma once
// The in-game display on the park's bench: the bench's level, catalogue and
// player, a register of open menus, and a display opened on the level. Test
// scripts are defined before Open; "log" in them writes to the bench's log,
// so the animations the display runs show there in order.

#include "foundation/expression/constants_map.h"
#include "game/data/catalogues/countdown.h"
#include "game/frontend/hud/user_interface.h"
#include "game/frontend/menus/frontend_host.h"
#include "tests/game/park/park_grid_bench.h"
#include "tests/widgets/menu_test_support.h"

namespace testsupport {

// A test that changes the constants starts and ends with no week or time texts kept.
struct ConstantsRestored {
    ConstantsRestored() { Countdown::ForgetCachedValues(); }
    ~ConstantsRestored() { ConstantsMap() = saved, Countdown::ForgetCachedValues(); }
    VariableMap saved = ConstantsMap();
};

class HudTest : public ParkGridBench {
protected:
    ~HudTest() override {
        while (!menus.open.empty()) menus.RemoveMenu(menus.open.begin()->second);
        host.DeleteDeferred();
    }

    // Each named animation writes its name to the log when it runs.
    void Logged(std::initializer_list<const wchar_t*> names) {
        for (const wchar_t* name : names) Define(name, {Step(L"log", {{L"text", name}})});
    }

    template <class Builder>
    UserInterface* Open(Builder&& builder, int32_t money = 1000) {
        Play(builder);
        level->money = money;
        return OpenHere();
    }
    // On the level made current last.
    UserInterface* OpenHere() {
        hud = new UserInterface();
        menus.AddMenu(hud);
        Advance();
        return hud;
    }

    void Type(std::wstring_view text) {
        for (wchar_t c : text) mgr.KeyChar(c);
    }

    // Runs one script step on the display as its scripts would.
    void RunStep(AnimationStep step) {
        Define(L"probe", {std::move(step)});
        hud->RunAnimationNamed(L"probe");
        Advance();
    }

    MenuHostDouble menus{mgr};
    NullFrontendHost frontend;
    ScopedService<FrontendHost> frontendInstalled{&frontend};
    UserInterface* hud = nullptr;
};

}  // namespace testsupport
