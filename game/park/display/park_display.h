#pragma once
// ParkDisplay: what the park asks of the in-game display, which the game
// builds on top of the park. The display installs itself (for both this and
// the goals' GoalDisplay, which this extends) while a game screen exists;
// while none does, Current() is null and the park shows nothing, scripts run
// no callback and the tutorial takes no event.
//
// The park talks to the display's scene scripts by setting variables on its
// script widget (Widget()) and then running a named animation there.
// Main thread only.

#include <cstdint>

#include "foundation/system/service.h"
#include "game/data/progress/goal_display.h"
#include "widgets/script/animation_listener.h"
#include "widgets/script/animation_widget.h"

class KivraGrid;
struct RESEARCH_OPTION;

class ParkDisplay : public GoalDisplay {
public:
    // The week's timer moved on: the calendar shows it.
    virtual void UpdateCalendar(float weekTimer) = 0;
    // The goal panel shows its goal afresh.
    virtual void ResetGoalPanel() = 0;
    // Research finished: the research and marketing panel announces it.
    virtual void UpdateResearchAndMarketing(const RESEARCH_OPTION& finished) = 0;
    // A numbered game event for the tutorial; true when the step it waited
    // for has advanced.
    virtual bool OnTutorialEvent(int32_t event, KivraGrid& grid) = 0;
    // The night's drawing priority among the display's children: above the
    // park, under every panel, dialog and card of the display, which would
    // otherwise look disabled under its veil.
    static constexpr int kNightPriority = 1;
    // A building's card stands in the display: under the night's veil it
    // would read greyed out, under a button cut. It stands over the
    // display's bars, buttons, panels and banner (depths up to 30 in its
    // scripts) and under what the player reads there, its toasts, boxes,
    // hints and goal card (45 and up). It stands only while the pointer
    // rests on its building or on it.
    static constexpr int kCardPriority = 40;
    // Puts a building's card, which stands in Widget(), by its building:
    // `anchor` is the building's middle on the screen, where the card's
    // script draws it from, and `building` its picture's box there. The
    // display moves it where it covers none of its own pieces and stays on
    // the screen, touching the building where it finds room; here it stands
    // at the anchor. True when the card stands apart from the building.
    virtual bool PlaceCard(AnimationWidget& card, const FRect& anchor, const FRect& /*building*/) {
        PutCardAt(card, anchor);
        return false;
    }
    // The card's own place at `anchor` on the screen, in whole pixels of
    // whatever holds it.
    static void PutCardAt(AnimationWidget& card, const FRect& anchor) {
        const WidgetContainer* layer = card.GetParent();
        if (layer == nullptr) return;
        const FRect at = layer->MapRectFromScreen(anchor);
        const float x = static_cast<float>(static_cast<int>(at.x)), y = static_cast<float>(static_cast<int>(at.y));
        if (x != card.GetX() || y != card.GetY()) card.Move(x, y);
    }
    // A scene of the park's (the night's) among the display's children; its
    // signals reach the display as its own scripts' do. The display's script
    // widget listens when it is a listener.
    virtual void ShowWatchedScene(AnimationWidget& scene) {
        if (auto* listener = dynamic_cast<AnimationListener*>(&Widget())) listener->Watch(&scene);
        Widget().AddWidget(&scene);
    }

    static ParkDisplay* Current() { return Service<ParkDisplay>::Installed(); }
};
