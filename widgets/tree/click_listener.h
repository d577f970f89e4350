#pragma once
// Told about every mouse-button press the manager dispatches: ClickStarted
// before the press reaches the tree, Clicked after it. Scripts use it to wait
// for a click anywhere. A listener must unregister before it is destroyed.

class ClickListener {
public:
    virtual void ClickStarted() {}
    virtual void Clicked() {}
    virtual ~ClickListener() = default;
};
