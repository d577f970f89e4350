#pragma once
// A pane of text as the small dialog windows show it: wrapped to its width,
// scrolled a line at a time, with a scroll bar when the text is taller than
// the pane, and a selection the user drags with the mouse and copies. It
// knows pixels only through the measure it is given, so it lays out and
// answers where a point falls without any window.
//
// Offsets are into the pane's wide text; a selection covers [SelectionStart,
// SelectionEnd). Points are relative to the pane's top-left corner.

#include <algorithm>
#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace plat {

// The width in pixels one line of text takes.
using MeasureText = std::function<int(std::wstring_view)>;

struct TextLine {
    size_t start = 0, length = 0;  // into the text; a line break belongs to no line
};

// Lines of at most `width` pixels, broken after spaces and at line breaks; a
// word wider than a line is cut between characters, so no text is lost past
// the right edge.
std::vector<TextLine> WrapText(std::wstring_view text, int width, const MeasureText& measure);

class TextPane {
public:
    static constexpr int kScrollBarWidth = 16;

    TextPane(MeasureText measure, int width, int height, int lineHeight);

    void SetText(std::wstring text);
    const std::wstring& Text() const { return text_; }
    const std::vector<TextLine>& Lines() const { return lines_; }

    // Whether the text is taller than the pane, and so wraps beside a bar.
    bool Scrolls() const { return scrolls_; }
    int FirstLine() const { return first_; }
    int VisibleLines() const;
    int LineHeight() const { return lineHeight_; }
    void ScrollTo(int line);  // kept within the text
    void ScrollBy(int lines) { ScrollTo(first_ + lines); }
    void ScrollToEnd() { ScrollTo(static_cast<int>(lines_.size())); }

    // The bar's parts, in the pane's pixels: the thumb's top and height
    // inside the track between the two arrow buttons.
    struct Thumb {
        int top = 0, height = 0;
    };
    Thumb ScrollThumb() const;
    // A press on the bar: the arrows step a line, the track beside the thumb
    // a page; true when the point was on the bar. A press on the thumb starts
    // a drag that DragThumb follows to the pointer's y.
    bool PressScrollBar(int x, int y);
    void DragThumb(int y);
    void EndDrag() { dragging_ = false; }
    bool Dragging() const { return dragging_; }

    // The offset whose character boundary lies nearest the point.
    size_t OffsetAt(int x, int y) const;
    void SelectFrom(size_t offset) { anchor_ = caret_ = std::min(offset, text_.size()); }
    void SelectTo(size_t offset) { caret_ = std::min(offset, text_.size()); }
    void SelectAll();
    size_t SelectionStart() const { return std::min(anchor_, caret_); }
    size_t SelectionEnd() const { return std::max(anchor_, caret_); }
    std::wstring Selected() const;
    // The width of a line's first `count` characters.
    int PrefixWidth(const TextLine& line, size_t count) const;

private:
    void Wrap();
    int TrackHeight() const;

    MeasureText measure_;
    int width_, height_, lineHeight_;
    std::wstring text_;
    std::vector<TextLine> lines_;
    bool scrolls_ = false;
    int first_ = 0;
    size_t anchor_ = 0, caret_ = 0;
    bool dragging_ = false;
    int dragGrab_ = 0;  // where on the thumb the drag took hold
};

}  // namespace plat
