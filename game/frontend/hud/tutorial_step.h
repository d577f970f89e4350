#pragma once
// TutorialStep: one step of the tutorial. Started, it waits (the display's
// script "tutorial_wait" runs in a child of the display for the step's
// wait), then shows itself: the park's drag and push flags, the tiles it
// marks with the material 'T', its message box, its start script, the skip
// button and its pause. Ended, it takes all of that back.
//
// One wait runs at a time (the slot is shared by every step): a newer wait,
// or the end of the waiting step, stops the older one, and a wait counts as
// complete only when its script ran to its end while the display that runs
// it is the park's display and in the tree. So an ended step never shows,
// and leaving the level during a wait shows nothing on a park being torn
// down. Main thread only.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "game/park/base/tile_geometry.h"
#include "widgets/script/animation_listener.h"

class AnimationWidget;
class KivraGrid;
class ParkDisplay;

// What a step's message box shows and where; the script lays it out.
struct TutorialMessageBox {
    std::wstring textLabel;    // localisation key of the text
    std::wstring buttonLabel;  // localisation key of the button; empty: no button label
    bool blockMouse = false;
    int32_t x = -1;
    int32_t y = -1;
    int32_t width = -1;
    int32_t height = -1;
};

// The event number of a step's proceed_when text; an unlisted text gives
// kUnknownTutorialEvent, which nothing sends.
inline constexpr int32_t kUnknownTutorialEvent = 40;
int32_t TutorialEventNumber(std::wstring_view name);

// Columns and rows a park may have, eight times the largest park's side: a
// highlighted tile outside them lies in no park. And more highlights than a
// tutorial needs: each marks a building's or a path's tiles.
inline constexpr int32_t kParkSideBound = 256;
inline constexpr int32_t kMostHighlights = 64;

class TutorialStep : public AnimationListener {
public:
    struct Flags {
        bool draggable = false;
        bool pushable = false;
        bool skippable = true;
        bool paused = true;
    };

    TutorialStep(std::wstring name, std::wstring_view proceedWhen, int32_t wait, Flags flags);
    // A wait of this step still running is forgotten: its completion shows nothing.
    ~TutorialStep() override;

    // The wait's completion: shows the step (see the contract above).
    void AnimationComplete(int widgetId) override;

    // Begins the wait; the step shows when it completes.
    virtual void Start(KivraGrid& grid, ParkDisplay& hud);
    virtual void Show(KivraGrid& grid, ParkDisplay& hud);
    // Takes back what Show did and stops this step's wait.
    virtual void End(KivraGrid& grid, ParkDisplay& hud);

    // Stops the wait that runs, of whichever step; its completion then shows
    // nothing. With `remove` its widget also leaves the display (not while
    // the display itself is leaving the tree).
    static void StopWaiting(bool remove);
    // The wait that runs, or null.
    static AnimationWidget* CurrentWait();

    const std::wstring& Name() const { return name_; }
    int32_t ProceedEvent() const { return proceedEvent_; }
    int32_t Wait() const { return wait_; }
    const Flags& GetFlags() const { return flags_; }
    const std::vector<TilePoint>& Highlights() const { return highlights_; }
    const std::optional<TutorialMessageBox>& MessageBox() const { return messageBox_; }

    // The reader's: column-major, (col + i, row + j) for i outer, those in
    // 0..kParkSideBound - 1 each way. False when some tile was outside.
    bool AddHighlight(int32_t col, int32_t row, int32_t width, int32_t height);
    // Replaces any box the step had.
    void SetMessageBox(TutorialMessageBox box) { messageBox_ = std::move(box); }

private:
    std::wstring name_;
    int32_t proceedEvent_;
    int32_t wait_;
    Flags flags_;
    std::vector<TilePoint> highlights_;
    std::optional<TutorialMessageBox> messageBox_;
};
