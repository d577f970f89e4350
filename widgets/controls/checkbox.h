#pragma once
// Checkbox: an on/off toggle drawn with one of six images: checked or not,
// each normal, under the pointer and disabled (the last pair optional). A
// press of any button toggles it, so a double click toggles twice; each
// toggle reports to the listener and plays the click sound. Images are
// borrowed; a missing one draws nothing.

#include "widgets/tree/widget.h"

class Image;

class CheckboxListener {
public:
    virtual ~CheckboxListener() = default;
    virtual void CheckboxChecked(int widgetId, bool checked) = 0;
};

class Checkbox : public Widget {
public:
    Checkbox(Image* unchecked, Image* uncheckedOver, Image* checked, Image* checkedOver, CheckboxListener* listener);

    void Draw(Graphics* g) override;
    void MouseButtonDown(int x, int y, int button, int clickCount) override;
    void MouseEnter() override;
    void MouseLeave() override;
    virtual void SetChecked(bool checked, bool notify);
    virtual bool IsChecked() const { return checked_; }

    void SetDisabledImages(Image* unchecked, Image* checked) {
        uncheckedDisabled_ = unchecked;
        checkedDisabled_ = checked;
    }
    void SetPlaySounds(bool on) { playSounds_ = on; }
    void SetHoverSound(int id) { hoverSound_ = id; }
    void SetClickSound(int id) { clickSound_ = id; }
    // The image the present state draws.
    Image* CurrentImage() const;

private:
    CheckboxListener* listener_;
    bool checked_ = false;
    bool playSounds_ = true;
    int hoverSound_;
    int clickSound_;
    Image* unchecked_;
    Image* checkedImage_;
    Image* uncheckedOver_;
    Image* checkedOver_;
    Image* uncheckedDisabled_ = nullptr;
    Image* checkedDisabled_ = nullptr;
};
