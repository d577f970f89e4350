#pragma once
// The three kinds of motion a DynamicWidget runs on itself each frame, as
// the widget sees them: controllers advance and report when finished;
// oscillations and clamps are offsets laid on property fields, taken off
// before the controllers move and laid on again afterwards, so a controller
// never sees (or keeps) an offset. The concrete kinds live with the
// property-change machinery; the widget owns every one it holds.
// Main thread only.

class Controller {
public:
    virtual ~Controller() = default;
    // Advances by x update units; true when finished (the widget then deletes it).
    virtual bool Update(float x) = 0;
};

class Oscillation {
public:
    virtual ~Oscillation() = default;
    // Advances by x and adds the new offsets to the fields.
    virtual void Apply(float x) = 0;
    // Takes the offsets laid on by the latest Apply off again.
    virtual void Remove() = 0;
};

class Clamp {
public:
    virtual ~Clamp() = default;
    // Saves each field and holds it inside its range.
    virtual void Apply() = 0;
    // Puts the saved values back.
    virtual void Remove() = 0;
};
