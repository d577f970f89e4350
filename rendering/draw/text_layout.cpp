// Graphics: text layout through the current font: justified lines and word
// wrap at spaces, hyphens and newlines.
#include <algorithm>

#include "foundation/values/saturate.h"
#include "rendering/draw/graphics.h"
#include "rendering/font/font.h"

namespace {

constexpr int kMaxLines = 99999;

// The substring [offset, offset + length) clamped to the text; a negative
// length means up to the end.
std::wstring Substring(const std::wstring& text, int offset, int length) {
    const size_t size = text.size();
    const size_t start = std::min(static_cast<size_t>(std::max(offset, 0)), size);
    if (length < 0 || start + static_cast<size_t>(length) > size) return text.substr(start);
    return text.substr(start, static_cast<size_t>(length));
}

}  // namespace

int Graphics::WriteString(const std::wstring& text, int x, int y, int width, int justification, bool draw, int offset,
                          int length) {
    Font* font = state_.font;
    if (!font) return 0;
    const std::wstring part = Substring(text, offset, length);
    const int measured = SaturateCast(font->StringWidth(part));
    if (draw) {
        if (justification == kJustifyCentre)
            x += (width - measured) / 2;
        else if (justification == kJustifyRight)
            x += width - measured;
        DrawString(part, x, y);
    }
    return measured;
}

int Graphics::WriteWordWrappedLine(const std::wstring& text, int start, int end, int x, int y, int width,
                                   int justification) {
    if (end - start < 1) return -1;
    return WriteString(text, x, y, width, justification, true, start, end - start);
}

int Graphics::WriteWordWrapped(const Rect& rect, const std::wstring& text, int lineSpacing, int justification,
                               int* maxWidth) {
    return LayoutWordWrapped(rect, text, lineSpacing, justification, maxWidth, true);
}

int Graphics::LayoutWordWrapped(const Rect& rect, const std::wstring& text, int lineSpacing, int justification,
                                int* maxWidth, bool draw) {
    Font* font = state_.font;
    if (!font) {
        if (maxWidth) *maxWidth = 0;
        return 0;
    }
    const bool batchGlyphs = draw && font->batch;
    GraphicsState saved;
    if (batchGlyphs) {
        saved = state_;
        SetBatching(true);
    }

    int curY = SaturateCast(font->GetAscent() - font->GetAscentPadding());
    if (lineSpacing == -1) lineSpacing = SaturateCast(font->GetLineSpacing());
    int widest = 0;
    const int size = static_cast<int>(text.size());
    // An empty line draws nothing but still takes its line.
    auto emitLine = [&](int start, int end) {
        const int w =
            draw ? WriteWordWrappedLine(text, start, end, rect.x, rect.y + curY, rect.w, justification)
                 : (end - start < 1 ? -1 : WriteString(text, 0, 0, 0, justification, false, start, end - start));
        widest = std::max(widest, w);
        curY += lineSpacing;
    };

    int lineStart = 0;
    int breakPos = -1;
    int skipAtBreak = 1;
    bool newlineBreak = false;
    float lineWidth = 0;
    wchar_t previous = 0;
    int lines = 0;
    int i = 0;
    while (i < size && lines < kMaxLines) {
        const wchar_t c = text[static_cast<size_t>(i)];
        bool forced = false;
        if (c == L' ') {
            breakPos = i;
            skipAtBreak = 1;
            newlineBreak = false;
        } else if (c == L'-') {
            breakPos = i + 1;  // the hyphen stays on the line
            skipAtBreak = 0;
            newlineBreak = false;
        } else if (c == L'\n') {
            breakPos = i;
            skipAtBreak = 1;
            newlineBreak = true;
            forced = true;
        }
        lineWidth += font->CharWidthKern(c, previous);
        previous = c;
        if (!forced && lineWidth <= static_cast<float>(rect.w)) {
            ++i;
            continue;
        }
        int lineEnd, next;
        if (breakPos < 0) {
            // No break to go back to: cut before the overflowing character,
            // keeping at least one character on the line.
            lineEnd = next = std::max(i, lineStart + 1);
        } else {
            lineEnd = breakPos;
            next = breakPos + skipAtBreak;
            if (!newlineBreak) {
                while (next < size && text[static_cast<size_t>(next)] == L' ') ++next;
                if (next < size && text[static_cast<size_t>(next)] == L'\n') ++next;
            }
        }
        emitLine(lineStart, lineEnd);
        ++lines;
        lineWidth = 0;
        previous = 0;
        breakPos = -1;
        skipAtBreak = 1;
        newlineBreak = false;
        lineStart = i = next;
    }
    if (lines < kMaxLines) {
        if (lineStart < size)
            emitLine(lineStart, size);
        else if (size > 0 && text.back() == L'\n')
            curY += lineSpacing;
    }

    if (maxWidth) *maxWidth = widest;
    if (batchGlyphs) SetState(saved);
    return SaturateCast(font->GetDescent() + static_cast<float>(curY - lineSpacing));
}

int Graphics::DrawStringWordWrapped(const std::wstring& text, int x, int y, int width, int justification,
                                    int* maxWidth) {
    Font* font = state_.font;
    if (!font) {
        if (maxWidth) *maxWidth = 0;
        return 0;
    }
    const int top = y - SaturateCast(font->GetAscent() - font->GetAscentPadding());
    return WriteWordWrapped(Rect(x, top, width, 0), text, -1, justification, maxWidth);
}

int Graphics::GetWordWrappedHeight(Graphics* source, int width, const std::wstring& text, int* maxWidth) {
    Graphics measure(nullptr);
    measure.SetFont(source ? source->GetFont() : nullptr);
    return measure.LayoutWordWrapped(Rect(0, 0, width, 0), text, -1, kJustifyLeft, maxWidth, false);
}
