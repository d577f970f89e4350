#pragma once
// Transition: a full-screen menu above everything else (priority 100000)
// that shows a picture of the screen it replaces (the script object
// "screenshot") while its scene script animates the change to the menu it
// was given (the script variable "menu"), which is shown beneath it at once.
// Main thread only.

#include <string_view>

#include "foundation/values/live_ref.h"
#include "widgets/screens/menu.h"

class Transition : public Menu {
public:
    static constexpr int kPriority = 100000;

    // renderNow: draw the widget tree into the picture now rather than copy
    // the frame last shown.
    Transition(std::wstring_view animation, Menu* menu, bool renderNow);

    // The picture of the screen replaced, owned by the "screenshot" object;
    // null when none could be made or the object is gone.
    Image* GetCapturedImage() const;

private:
    LiveRef<DynamicWidget> screenshot_;
};
