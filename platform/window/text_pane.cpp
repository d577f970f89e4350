// Wrapping, scrolling and selection of a dialog's text pane.
#include "platform/window/text_pane.h"

#include <utility>

namespace plat {
namespace {

// The lines of one paragraph (no line breaks in [start, end)); an empty
// paragraph still takes a line.
void WrapParagraph(std::wstring_view text, size_t start, size_t end, int width, const MeasureText& measure,
                   std::vector<TextLine>* lines) {
    if (start == end) {
        lines->push_back({start, 0});
        return;
    }
    auto fits = [&](size_t from, size_t to) { return measure(text.substr(from, to - from)) <= width; };
    while (start < end) {
        size_t fit = start;
        // Whole words, each with the spaces after it, while the words fit.
        for (size_t at = start; at < end;) {
            const size_t wordEnd = std::min(text.find(L' ', at), end);
            if (!fits(start, wordEnd)) break;
            at = wordEnd;
            while (at < end && text[at] == L' ') ++at;
            fit = at;
        }
        if (fit == start) {
            fit = start + 1;
            while (fit < end && fits(start, fit + 1)) ++fit;
        }
        lines->push_back({start, fit - start});
        start = fit;
    }
}

}  // namespace

std::vector<TextLine> WrapText(std::wstring_view text, int width, const MeasureText& measure) {
    std::vector<TextLine> lines;
    size_t start = 0;
    for (;;) {
        const size_t end = std::min(text.find(L'\n', start), text.size());
        WrapParagraph(text, start, end, width, measure, &lines);
        if (end == text.size()) return lines;
        start = end + 1;
    }
}

TextPane::TextPane(MeasureText measure, int width, int height, int lineHeight)
    : measure_(std::move(measure)), width_(width), height_(height), lineHeight_(std::max(1, lineHeight)) {}

void TextPane::SetText(std::wstring text) {
    text_ = std::move(text);
    anchor_ = std::min(anchor_, text_.size());
    caret_ = std::min(caret_, text_.size());
    Wrap();
    ScrollTo(first_);
}

void TextPane::Wrap() {
    // A bar appears only when the text wrapped to the full width overflows;
    // the narrower wrap beside it can only be taller.
    scrolls_ = false;
    lines_ = WrapText(text_, width_ - 4, measure_);
    if (static_cast<int>(lines_.size()) <= VisibleLines()) return;
    scrolls_ = true;
    lines_ = WrapText(text_, width_ - 4 - kScrollBarWidth, measure_);
}

int TextPane::VisibleLines() const { return std::max(1, (height_ - 4) / lineHeight_); }

void TextPane::ScrollTo(int line) {
    const int last = std::max(0, static_cast<int>(lines_.size()) - VisibleLines());
    first_ = std::clamp(line, 0, last);
}

int TextPane::TrackHeight() const { return std::max(0, height_ - 2 * kScrollBarWidth); }

TextPane::Thumb TextPane::ScrollThumb() const {
    const int track = TrackHeight();
    const int total = std::max(1, static_cast<int>(lines_.size()));
    const int shown = std::min(VisibleLines(), total);
    Thumb thumb;
    thumb.height = std::min(track, std::max(8, track * shown / total));
    const int range = total - shown;
    thumb.top = kScrollBarWidth + (range > 0 ? (track - thumb.height) * first_ / range : 0);
    return thumb;
}

bool TextPane::PressScrollBar(int x, int y) {
    if (!scrolls_ || x < width_ - kScrollBarWidth || x >= width_ || y < 0 || y >= height_) return false;
    const Thumb thumb = ScrollThumb();
    if (y < kScrollBarWidth)
        ScrollBy(-1);
    else if (y >= height_ - kScrollBarWidth)
        ScrollBy(1);
    else if (y < thumb.top)
        ScrollBy(-VisibleLines());
    else if (y >= thumb.top + thumb.height)
        ScrollBy(VisibleLines());
    else {
        dragging_ = true;
        dragGrab_ = y - thumb.top;
    }
    return true;
}

void TextPane::DragThumb(int y) {
    if (!dragging_) return;
    const Thumb thumb = ScrollThumb();
    const int room = TrackHeight() - thumb.height;
    const int range = static_cast<int>(lines_.size()) - VisibleLines();
    if (room <= 0 || range <= 0) return;
    const int top = std::clamp(y - dragGrab_ - kScrollBarWidth, 0, room);
    ScrollTo((top * range + room / 2) / room);
}

int TextPane::PrefixWidth(const TextLine& line, size_t count) const {
    return measure_(std::wstring_view(text_).substr(line.start, std::min(count, line.length)));
}

size_t TextPane::OffsetAt(int x, int y) const {
    if (lines_.empty()) return 0;
    const int below = y - 2;
    const int row = first_ + (below >= 0 ? below / lineHeight_ : -1 - (-below - 1) / lineHeight_);
    if (row < 0) return 0;
    if (row >= static_cast<int>(lines_.size())) return text_.size();
    const TextLine& line = lines_[static_cast<size_t>(row)];
    size_t column = 0;
    int left = 0;
    while (column < line.length) {
        const int right = PrefixWidth(line, column + 1);
        if (x - 2 < (left + right + 1) / 2) break;
        left = right;
        ++column;
    }
    return line.start + column;
}

void TextPane::SelectAll() {
    anchor_ = 0;
    caret_ = text_.size();
}

std::wstring TextPane::Selected() const { return text_.substr(SelectionStart(), SelectionEnd() - SelectionStart()); }

}  // namespace plat
