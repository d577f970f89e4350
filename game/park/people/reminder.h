#pragma once
// Reminder: a scripted pointer that directs the player at a place on the
// park. Its icon stands over the target while the target lies inside the
// reminder's area; once the target is outside, the reminder waits at the
// area's edge and its arrow turns towards the target (0 degrees points
// straight down, targets to the right give negative angles, to the left
// positive ones).
//
// The target is in the grid's own pixels and follows the grid as it
// scrolls; the area is in the parent's pixels. The icon and the arrow are
// the script objects "icon" and "arrow" of the reminder's own animation.
//
// Promises: the reminder never leaves its area, even one narrower than its
// arrow (it then keeps to the area's middle); a grid that is gone leaves it
// where it was, arrow hidden. Main thread only.

#include <string_view>

#include "foundation/values/live_ref.h"
#include "foundation/values/rect.h"
#include "widgets/script/animation_widget.h"

class Grid;
class Image;

class Reminder : public AnimationWidget {
public:
    Reminder(float targetX, float targetY, Grid* grid, Image* icon, Image* arrow, std::wstring_view animation);
    ~Reminder() override;

    void Update() override;

    // The area the reminder keeps inside, in its parent's pixels.
    void SetBounds(const FRect& bounds) { bounds_ = bounds; }
    const FRect& Bounds() const { return bounds_; }
    DynamicWidget* Icon() const { return icon_.Get(); }
    DynamicWidget* Arrow() const { return arrow_.Get(); }

private:
    LiveRef<Grid> grid_;
    float targetX_, targetY_;
    LiveRef<DynamicWidget> icon_;
    LiveRef<DynamicWidget> arrow_;
    FRect bounds_;
};
