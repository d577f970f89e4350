#pragma once
// EditWidget: a one-line text field. A caret that blinks while focused, a
// selection made with Shift, the mouse (a double click selects a word) or
// a word-wise Ctrl move; copy, cut, paste and undo as the control
// characters 3, 24, 22 and 26 (Ctrl+C, X, V, Z); one undo step that groups
// a run of typing or of deleting; an optional password character shown in
// place of every character (and copied in its place); limits in characters
// and in pixels. The listener may filter keys and characters and refuse a
// changed text, which restores text, caret and selection as they were.
//
// Colours are palette rows: 0 background, 1 outline, 2 text, 3 selection
// and caret, 4 selected text. The clipboard is the application's
// (WidgetHost). Owns copies of the fonts it is given; without one it makes
// the default font ("Arial Unicode MS", 10 points) when it first needs it.
// Main thread only.

#include <memory>
#include <string>
#include <vector>

#include "widgets/controls/color_widget.h"

class Font;

class EditListener {
public:
    virtual ~EditListener() = default;
    // Enter was pressed.
    virtual void EditWidgetText(int, const std::wstring&) {}
    virtual bool AllowKeyDown(int, int) { return true; }
    virtual bool AllowKey(int, wchar_t) { return true; }
    virtual bool AllowText(int, const std::wstring&) { return true; }
    virtual void EditWidgetRemoved(int) {}
};

class EditWidget : public ColorWidget {
public:
    // Palette rows.
    enum Row { kBackground = 0, kOutline = 1, kText = 2, kSelection = 3, kSelectedText = 4 };

    explicit EditWidget(EditListener* listener);
    ~EditWidget() override;

    void Update() override;
    void Draw(Graphics* g) override;
    void GotFocus() override;
    void LostFocus() override;
    void KeyChar(wchar_t c) override;
    void KeyDown(int key) override;
    void MouseButtonDown(int x, int y, int button, int clickCount) override;
    void MouseButtonUp(int x, int y, int button, int clickCount) override;
    void MouseDrag(int x, int y) override;
    void MouseEnter() override;
    void MouseLeave() override;
    void RemovedFromManager(WidgetManager* manager) override;

    // A key code (virtual key) or a typed character (key 0).
    virtual void ProcessKey(int key, wchar_t c);
    virtual void SelectWord();
    // A copy of the font; with `limit` the text must also fit it (in the max pixel width).
    virtual void SetFont(const Font* font, bool limit);
    // The whole new text is selected; the view starts at its beginning or at the caret.
    virtual void SetText(const std::wstring& text, bool scrollToStart);
    virtual bool IsWordChar(wchar_t c) const;
    virtual int GetCharIndexAtX(int x, int y);
    virtual void Resize(float x, float y, int width, int height);
    virtual void ScrollToCursor(bool bigSteps);

    // A further font the text must fit in `pixels` (not above 0: the max pixel width).
    void AddLimitFont(const Font* font, int pixels);
    void SetMaxChars(int count) { maxChars_ = count; }
    void SetMaxPixels(int pixels) { maxPixels_ = pixels; }
    void SetPasswordChar(wchar_t c) { passwordChar_ = c; }
    void SetShowSelectionUnfocused(bool on) { showSelectionUnfocused_ = on; }
    void SetBlinkPeriod(int updates) { blinkPeriod_ = updates; }

    const std::wstring& GetText() const { return text_; }
    const std::wstring& GetDisplayText();
    int GetCursor() const { return cursor_; }
    int GetAnchor() const { return anchor_; }
    int GetScroll() const { return scroll_; }
    bool IsCaretVisible() const { return caretVisible_; }
    Font* GetFont();

private:
    struct LimitFont {
        std::unique_ptr<Font> font;
        int pixels;
    };
    // The display form of a text: itself, or as many password characters.
    std::wstring DisplayOf(const std::wstring& text) const;
    // Width of the display text from index `from` to `to` (negative when to < from).
    int WidthBetween(int from, int to);
    bool HasSelection() const { return anchor_ >= 0 && anchor_ != cursor_; }
    int SelectionStart() const;
    int SelectionEnd() const;
    void DeleteSelection();
    void ApplyLimits();
    bool KeyHeld(int key) const;

    std::wstring text_;
    std::wstring displayText_;
    std::unique_ptr<Font> font_;
    std::vector<LimitFont> limitFonts_;
    EditListener* listener_;
    bool caretVisible_ = false;
    bool showSelectionUnfocused_ = false;
    bool wordSelectPending_ = false;
    int cursor_ = 0;
    int anchor_ = -1;
    int blinkCounter_ = 0;
    int blinkPeriod_ = 40;
    int scroll_ = 0;
    int maxChars_ = -1;
    int maxPixels_ = -1;
    wchar_t passwordChar_ = 0;
    std::wstring undoText_;
    int undoCursor_ = 0;
    int undoAnchor_ = 0;
    int lastEditPosition_ = 0;
};
