#pragma once
// What a container hears from the button-like widgets inside it: presses
// (with the click count), releases, holds and the pointer entering, leaving
// and moving. A DynamicWidget reports to its parent when the parent is one.
// The base does nothing except forward a counted press to ButtonPress.
// Main thread only.

class ButtonListener {
public:
    virtual ~ButtonListener() = default;

    virtual void ButtonPressCount(int buttonId, int clickCount) {
        (void)clickCount;
        ButtonPress(buttonId);
    }
    virtual void ButtonPress(int) {}
    virtual void ButtonRelease(int) {}
    virtual void ButtonHeld(int) {}
    virtual void ButtonMouseEnter(int) {}
    virtual void ButtonMouseLeave(int) {}
    virtual void ButtonMouseMove(int, int, int) {}
};
