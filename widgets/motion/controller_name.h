#pragma once
// ControllerName: the name of a controller some caller asks about over and
// over (is a tween of this name running?). It is numbered once, so a widget
// can answer from a bit it keeps instead of searching its controllers by
// text, which for thousands of widgets a frame was a cache miss each.
//
// Promises: the first kMostNumbers distinct texts made into names keep their
// numbers (0 up) for the life of the process, the same text always the same
// number; any text after those gets none (-1) and is answered by text.
// Main thread only.

#include <string>

class ControllerName {
public:
    static constexpr int kMostNumbers = 32;

    explicit ControllerName(std::wstring text);
    const std::wstring& Text() const { return text_; }
    // Every call that takes a controller's name by text takes this too.
    operator const std::wstring&() const { return text_; }
    int Number() const { return number_; }

    // The number a name of this text was given, or -1.
    static int NumberOf(const std::wstring& text);

private:
    std::wstring text_;
    int number_;
};
