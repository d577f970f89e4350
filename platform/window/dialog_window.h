#pragma once
// A small window of its own for questions asked when the application may be
// broken (the crash report and its details and progress windows), needing no
// WindowSystem: a block of read-only text, optionally an edit box, and push
// buttons, each where the caller places it. The edit box either takes what
// the user types (several lines; Return starts a new one) or shows text the
// user scrolls through, selects with the mouse and copies (Ctrl+C, Ctrl+A
// for all of it); both wrap their lines and scroll. Text is drawn with
// system fonts, the edit box's in a monospace face.
//
// The caller runs the window by polling it: Poll takes what the desktop sent,
// redraws, and says which button was pressed. Open gives null where no box
// can be shown (the rule of ShowButtonBox: headless video drivers, no
// desktop). One thread; the window goes when the object does.

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/window/text_pane.h"

namespace plat {

struct DialogRect {
    int x = 0, y = 0, width = 0, height = 0;
};

struct DialogButton {
    std::string label;
    DialogRect rect;
};

enum class EditBox { kNone, kTyped, kReadOnly };

struct DialogLayout {
    std::string title;
    int x = 64, y = 64;  // the client area's place and size on the desktop
    int width = 400, height = 300;
    std::string text;  // UTF-8, wrapped at spaces to the rectangle's width
    DialogRect textRect;
    std::string textFace = "Tahoma";
    int textPoints = 8;
    bool boldText = false;
    EditBox edit = EditBox::kNone;
    DialogRect editRect;
    std::string editText;  // UTF-8, what the edit box holds when the window opens
    std::vector<DialogButton> buttons;
};

class DialogWindow {
public:
    static constexpr int kNothing = -1;
    static constexpr int kClosed = -2;  // its close box, or Escape

    static std::unique_ptr<DialogWindow> Open(const DialogLayout& layout);
    ~DialogWindow();
    DialogWindow(const DialogWindow&) = delete;
    DialogWindow& operator=(const DialogWindow&) = delete;

    void SetText(std::string_view text);
    // What the user typed into the edit box, UTF-8.
    const std::string& Edited() const;
    // The edit box's pane, null without one.
    const TextPane* Pane() const;
    // The index of the button pressed since the last poll, kClosed, or kNothing.
    int Poll();

private:
    struct Impl;
    explicit DialogWindow(std::unique_ptr<Impl> impl);
    std::unique_ptr<Impl> impl_;
};

}  // namespace plat
