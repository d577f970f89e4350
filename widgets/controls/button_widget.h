#pragma once
// ButtonWidget: the push button. An AnimationWidget with an image, a label
// drawn in the font of its state (normal, over, down, disabled), hover and
// press sounds, and state animations the scripts may define per button:
// "<name>_<event>", else the shared "button_<event>", for the events "init",
// "enabled", "disabled", "hover", "leave", "down" and "up".
//
// Promises: only a single left click presses it; any other press (a double
// click, the right or middle button) leaves it looking released and reports
// neither a press nor the release that ends it. A disabled button plays no
// sound but still runs its animations. A state without a font keeps the
// font in use. With its frame-use flags set (the default) the pointer-over
// and pressed looks show cels 1 and 2 of its image, when it has them, and
// the rest cel 0; the state animations run after and may choose otherwise.
// The button owns copies of the fonts it is given.
// Main thread only.

#include <array>
#include <memory>
#include <string>
#include <string_view>

#include "widgets/script/animation_widget.h"

class Font;

class ButtonWidget : public AnimationWidget {
public:
    enum State { kNormal = 0, kOver = 1, kDown = 2, kDisabled = 3 };

    // The image is the registered image of that name, which also names the
    // state animations; with `localise` the label is a localisation key.
    ButtonWidget(int x, int y, std::wstring_view imageName, std::wstring_view label, bool localise);
    ~ButtonWidget() override;

    void Draw(Graphics* g) override;
    void SetDisabled(bool disabled) override;
    void MouseEnter() override;
    void MouseLeave() override;
    void MouseDown(int x, int y, int clickCode) override;
    void MouseUpAt(int x, int y) override;
    PropertyValue GetProperty(std::wstring_view name) override;

    // A copy of the font (null: none) for the state.
    void SetStateFont(int state, const Font* font);
    Font* GetStateFont(int state) const;
    Font* GetCurrentFont() const { return currentFont_; }
    int GetState() const { return state_; }
    void PlayStateAnimation(std::wstring_view event);

    void SetLabel(std::wstring label) {
        label_ = std::move(label);
        MarkDirty();
    }
    const std::wstring& GetLabel() const { return label_; }
    const std::wstring& GetName() const { return name_; }
    // 0 centre, 1 right, other values left.
    void SetJustification(int justification) { justification_ = justification; }
    // Negative: 4096; 0: the button's width.
    void SetWrapWidth(int width) { wrapWidth_ = width; }
    int GetWrapWidth() const { return wrapWidth_; }
    void SetTextOffset(int x, int y) {
        textOffsetX_ = x;
        textOffsetY_ = y;
    }
    void SetDownTextOffset(int x, int y) {
        downTextOffsetX_ = x;
        downTextOffsetY_ = y;
    }
    int GetTextOffsetX() const { return textOffsetX_; }
    int GetTextOffsetY() const { return textOffsetY_; }
    int GetDownTextOffsetX() const { return downTextOffsetX_; }
    int GetDownTextOffsetY() const { return downTextOffsetY_; }
    // Whether the pointer-over and the pressed looks use cels of the image.
    void SetStateFrames(bool over, bool down);
    bool UsesOverFrame() const { return overFrame_; }
    bool UsesDownFrame() const { return downFrame_; }
    void SetPlaySounds(bool on) { playSounds_ = on; }
    bool GetPlaySounds() const { return playSounds_; }
    // Sound ids; -1 plays nothing.
    void SetHoverSound(int id) { hoverSound_ = id; }
    void SetPressSound(int id) { pressSound_ = id; }
    int GetHoverSound() const { return hoverSound_; }
    int GetPressSound() const { return pressSound_; }

private:
    void ChooseStateFont();
    // The cel of the look the state has, where the frame-use flags ask for one.
    void ShowStateFrame(bool disabled);
    // The image's cel count, taken where the image is known to be alive (made,
    // configured, drawn): the input events that pick cels never read the image.
    void CountCels();
    void PlayButtonSound(int id) const;
    // The label's top-left as the layout rule puts it, with the wrap width.
    void LabelPosition(Graphics* g, Font* font, int* x, int* y, int* wrap) const;

    std::wstring label_;
    int justification_ = 0;
    Font* currentFont_ = nullptr;
    std::array<std::unique_ptr<Font>, 4> stateFonts_;
    std::unique_ptr<Font> defaultFont_;  // made on the first draw that needs it
    bool overFrame_ = true, downFrame_ = true;
    int cels_ = 0;
    bool playSounds_ = true;
    int hoverSound_ = -1;
    int pressSound_ = -1;
    int wrapWidth_ = 0;
    int textOffsetX_ = 0, textOffsetY_ = 0;
    int downTextOffsetX_ = 1, downTextOffsetY_ = 1;
    int state_ = kNormal;
    std::wstring name_;
    bool disabledProperty_ = false, mouseOverProperty_ = false, mouseDownProperty_ = false;
    // The press that began the present hold counted (a single left click).
    bool pressCounted_ = false;
};
