#include "widgets/controls/edit_widget.h"

#include <algorithm>

#include "foundation/system/app_services.h"
#include "foundation/values/saturate.h"
#include "platform/window/virtual_keys.h"
#include "rendering/draw/graphics.h"
#include "rendering/font/font.h"
#include "rendering/font/sys_font.h"
#include "widgets/tree/widget_host.h"
#include "widgets/tree/widget_manager.h"

namespace {

// The control characters the keyboard types for Ctrl with C, V, X and Z.
constexpr wchar_t kCopy = 3;
constexpr wchar_t kPaste = 22;
constexpr wchar_t kCut = 24;
constexpr wchar_t kUndo = 26;

constexpr int kTextCursor = 3;
constexpr int kPointerCursor = 0;

// The text starts this far in; the caret and selection keep this far from the right.
constexpr int kTextInset = 4;
constexpr int kRightMargin = 8;

int Length(const std::wstring& text) { return static_cast<int>(std::min<size_t>(text.size(), 0x3FFFFFFF)); }

}  // namespace

EditWidget::EditWidget(EditListener* listener) : listener_(listener) {
    ResetPalette();
    wantsFocus_ = true;
    mouseVisible_ = true;
}

EditWidget::~EditWidget() = default;

Font* EditWidget::GetFont() {
    if (!font_) font_ = std::make_unique<SysFont>(&Service<AppServices>::Get(), "Arial Unicode MS", 10);
    return font_.get();
}

std::wstring EditWidget::DisplayOf(const std::wstring& text) const {
    return passwordChar_ ? std::wstring(text.size(), passwordChar_) : text;
}

const std::wstring& EditWidget::GetDisplayText() {
    displayText_ = DisplayOf(text_);
    return displayText_;
}

int EditWidget::WidthBetween(int from, int to) {
    const std::wstring& display = GetDisplayText();
    const int length = Length(display);
    from = std::clamp(from, 0, length);
    to = std::clamp(to, 0, length);
    if (to < from) return -WidthBetween(to, from);
    return SaturateCast(
        GetFont()->StringWidth(display.substr(static_cast<size_t>(from), static_cast<size_t>(to - from))));
}

int EditWidget::SelectionStart() const { return std::min(cursor_, anchor_); }
int EditWidget::SelectionEnd() const { return std::max(cursor_, anchor_); }

void EditWidget::DeleteSelection() {
    const int start = std::clamp(SelectionStart(), 0, Length(text_));
    const int end = std::clamp(SelectionEnd(), start, Length(text_));
    text_.erase(static_cast<size_t>(start), static_cast<size_t>(end - start));
    cursor_ = start;
    anchor_ = -1;
}

bool EditWidget::KeyHeld(int key) const { return manager_ && manager_->IsKeyDown(key); }

bool EditWidget::IsWordChar(wchar_t c) const {
    return (c >= L'A' && c <= L'Z') || (c >= L'a' && c <= L'z') || (c >= L'0' && c <= L'9') || c == L'_' || c == 0;
}

void EditWidget::SetFont(const Font* font, bool limit) {
    font_.reset(font ? font->Duplicate() : nullptr);
    limitFonts_.clear();
    if (limit && font) limitFonts_.push_back({std::unique_ptr<Font>(font->Duplicate()), -1});
    MarkDirty();
}

void EditWidget::AddLimitFont(const Font* font, int pixels) {
    if (font) limitFonts_.push_back({std::unique_ptr<Font>(font->Duplicate()), pixels});
}

void EditWidget::SetText(const std::wstring& text, bool scrollToStart) {
    text_ = text;
    ApplyLimits();
    cursor_ = Length(text_);
    anchor_ = 0;
    if (scrollToStart)
        scroll_ = 0;
    else
        ScrollToCursor(true);
    MarkDirty();
}

void EditWidget::Resize(float x, float y, int width, int height) {
    Widget::Resize(x, y, width, height);
    ScrollToCursor(false);
}

void EditWidget::ScrollToCursor(bool bigSteps) {
    const int step = bigSteps ? 10 : 1;
    while (cursor_ < scroll_ && scroll_ > 0) {
        scroll_ = std::max(0, scroll_ - step);
        MarkDirty();
    }
    const int room = width_ - kRightMargin;
    if (room < 1) return;
    const int last = Length(text_) - 1;
    if (scroll_ >= last || WidthBetween(scroll_, cursor_) <= room) return;
    // Forward in steps to the first start from which the caret is in view
    // (or the last character), found by halving: the width only shrinks as
    // the start moves on, and a long paste would otherwise be measured once
    // per step.
    auto start = [&](int64_t steps) { return static_cast<int>(std::min<int64_t>(scroll_ + steps * step, last)); };
    int64_t outOfView = 0, inView = (int64_t{last} - scroll_ + step - 1) / step;
    while (inView - outOfView > 1) {
        const int64_t middle = outOfView + (inView - outOfView) / 2;
        (WidthBetween(start(middle), cursor_) <= room ? inView : outOfView) = middle;
    }
    scroll_ = start(inView);
    MarkDirty();
}

int EditWidget::GetCharIndexAtX(int x, int) {
    const int length = Length(GetDisplayText());
    int result = scroll_;
    int before = 0;
    for (int i = std::max(scroll_, 0); i < length; ++i) {
        const int after = WidthBetween(scroll_, i + 1);
        // Widths only grow: once a character's middle is past x, so are the rest.
        if (x < (before + after) / 2 + 5) break;
        result = i + 1;
        before = after;
    }
    return result;
}

void EditWidget::SelectWord() {
    const std::wstring& display = GetDisplayText();
    const int length = Length(display);
    if (cursor_ < 0 || cursor_ >= length) return;
    anchor_ = cursor_;
    while (anchor_ > 0 && IsWordChar(display[static_cast<size_t>(anchor_ - 1)])) --anchor_;
    while (cursor_ + 1 < length && IsWordChar(display[static_cast<size_t>(cursor_ + 1)])) ++cursor_;
    if (cursor_ < length) ++cursor_;
}

void EditWidget::ApplyLimits() {
    if (maxChars_ != -1 && maxChars_ >= 0 && maxChars_ < Length(text_)) text_.resize(static_cast<size_t>(maxChars_));
    // The longest start of the text that fits, found by halving: a long
    // paste is measured a few dozen times, not once per character cut.
    auto cut = [this](Font* font, int pixels) {
        if (!font || pixels <= 0 || text_.empty()) return;
        auto fits = [&](size_t count) {
            return font->StringWidth(DisplayOf(text_.substr(0, count))) <= static_cast<float>(pixels);
        };
        if (fits(text_.size())) return;
        size_t fitting = 0, over = text_.size();
        while (over - fitting > 1) {
            const size_t middle = fitting + (over - fitting) / 2;
            (fits(middle) ? fitting : over) = middle;
        }
        text_.resize(fitting);
    };
    if (limitFonts_.empty()) {
        cut(GetFont(), maxPixels_);
        return;
    }
    for (LimitFont& limit : limitFonts_) cut(limit.font.get(), limit.pixels > 0 ? limit.pixels : maxPixels_);
}

void EditWidget::ProcessKey(int key, wchar_t c) {
    if (key == static_cast<int>(plat::vk::kShift) || key == static_cast<int>(plat::vk::kControl)) return;
    const bool shift = KeyHeld(static_cast<int>(plat::vk::kShift));
    const bool ctrl = KeyHeld(static_cast<int>(plat::vk::kControl));
    bool clearSelection = !shift;
    if (shift && anchor_ < 0) anchor_ = cursor_;
    const std::wstring keptText = text_;
    const int keptCursor = cursor_, keptAnchor = anchor_;
    bool newUndoStep = false;
    const int length = Length(text_);
    const std::wstring& display = GetDisplayText();
    auto wordAt = [&](int i) { return i >= 0 && i < Length(display) && IsWordChar(display[static_cast<size_t>(i)]); };

    if ((c == kCopy || c == kCut) && HasSelection()) {
        const int start = std::clamp(SelectionStart(), 0, Length(display));
        const int end = std::clamp(SelectionEnd(), start, Length(display));
        Service<WidgetHost>::Get().SetClipboardText(
            std::wstring_view(display).substr(static_cast<size_t>(start), static_cast<size_t>(end - start)));
        if (c == kCut) {
            DeleteSelection();
            newUndoStep = true;
        } else {
            clearSelection = false;
        }
    } else if (c == kCopy || c == kCut) {
        clearSelection = false;
    } else if (c == kPaste) {
        const std::wstring clip = Service<WidgetHost>::Get().GetClipboardText();
        if (HasSelection()) DeleteSelection();
        cursor_ = std::clamp(cursor_, 0, Length(text_));
        Font* font = GetFont();
        // Each character enters as if typed, so the listener judges it
        // against the text it joins, pasted characters before it included.
        for (wchar_t ch : clip) {
            if (ch == L'\r' || ch == L'\n') break;
            if (maxChars_ >= 0 && Length(text_) >= maxChars_) break;
            if (font->CharWidth(ch) == 0.0f || (listener_ && !listener_->AllowKey(id_, ch))) continue;
            text_.insert(static_cast<size_t>(cursor_), 1, ch);
            ++cursor_;
        }
        anchor_ = -1;
        newUndoStep = true;
    } else if (c == kUndo) {
        lastEditPosition_ = -1;
        std::swap(text_, undoText_);
        std::swap(cursor_, undoCursor_);
        std::swap(anchor_, undoAnchor_);
        clearSelection = false;
    } else if (key == static_cast<int>(plat::vk::kLeft)) {
        if (ctrl) {
            while (cursor_ > 0 && !wordAt(cursor_ - 1)) --cursor_;
            while (cursor_ > 0 && wordAt(cursor_ - 1)) --cursor_;
        } else if (!shift && HasSelection()) {
            cursor_ = SelectionStart();
        } else {
            --cursor_;
        }
    } else if (key == static_cast<int>(plat::vk::kRight)) {
        if (ctrl) {
            while (cursor_ + 1 < length && wordAt(cursor_ + 1)) ++cursor_;
            while (cursor_ + 1 < length && !wordAt(cursor_ + 1)) ++cursor_;
        }
        if (!shift && HasSelection())
            cursor_ = SelectionEnd();
        else
            ++cursor_;
    } else if (key == static_cast<int>(plat::vk::kBack) && !text_.empty()) {
        if (HasSelection()) {
            DeleteSelection();
            newUndoStep = true;
        } else if (cursor_ > 0 && cursor_ <= length) {
            text_.erase(static_cast<size_t>(cursor_ - 1), 1);
            --cursor_;
            anchor_ = -1;
            newUndoStep = cursor_ != lastEditPosition_;
            lastEditPosition_ = cursor_ - 1;
        }
    } else if (key == static_cast<int>(plat::vk::kDelete) && !text_.empty()) {
        if (HasSelection()) {
            DeleteSelection();
            newUndoStep = true;
        } else if (cursor_ >= 0 && cursor_ < length) {
            text_.erase(static_cast<size_t>(cursor_), 1);
            newUndoStep = cursor_ != lastEditPosition_;
            lastEditPosition_ = cursor_;
        }
    } else if (key == static_cast<int>(plat::vk::kHome)) {
        cursor_ = 0;
    } else if (key == static_cast<int>(plat::vk::kEnd)) {
        cursor_ = length;
    } else if (key == static_cast<int>(plat::vk::kReturn)) {
        if (listener_) listener_->EditWidgetText(id_, text_);
    } else if (c >= 32 && GetFont()->CharWidth(c) > 0.0f && (!listener_ || listener_->AllowKey(id_, c))) {
        if (HasSelection()) {
            DeleteSelection();
            newUndoStep = true;
        } else {
            cursor_ = std::clamp(cursor_, 0, length);
            newUndoStep = cursor_ != lastEditPosition_ + 1;
            lastEditPosition_ = cursor_;
        }
        text_.insert(static_cast<size_t>(cursor_), 1, c);
        ++cursor_;
        anchor_ = -1;
        ScrollToCursor(false);
    } else {
        // Nothing typed (a refused character, a key without meaning here): the selection stays.
        clearSelection = false;
    }

    ApplyLimits();
    const int newLength = Length(text_);
    cursor_ = std::clamp(cursor_, 0, newLength);
    anchor_ = std::min(anchor_, newLength);
    if (cursor_ != keptCursor) {
        blinkCounter_ = 0;
        caretVisible_ = true;
    }
    ScrollToCursor(true);
    if (clearSelection || anchor_ == cursor_) anchor_ = -1;

    if (text_ != keptText && listener_ && !listener_->AllowText(id_, text_)) {
        text_ = keptText;
        cursor_ = keptCursor;
        anchor_ = keptAnchor;
        ScrollToCursor(true);
    } else if (newUndoStep) {
        undoText_ = keptText;
        undoCursor_ = keptCursor;
        undoAnchor_ = keptAnchor;
    }
    MarkDirty();
}

void EditWidget::KeyChar(wchar_t c) { ProcessKey(0, c); }

void EditWidget::KeyDown(int key) {
    // Letters arrive as characters (KeyChar); Ctrl with one as its control character.
    if ((key < 'A' || key > 'Y') && (!listener_ || listener_->AllowKeyDown(id_, key))) ProcessKey(key, 0);
    ColorWidget::KeyDown(key);
}

void EditWidget::MouseButtonDown(int x, int y, int, int clickCount) {
    anchor_ = -1;
    cursor_ = GetCharIndexAtX(x, y);
    if (clickCount > 1) {
        wordSelectPending_ = true;
        SelectWord();
    }
    MarkDirty();
    ScrollToCursor(false);
}

void EditWidget::MouseDrag(int x, int y) {
    if (anchor_ < 0) anchor_ = cursor_;
    cursor_ = GetCharIndexAtX(x, y);
    MarkDirty();
    ScrollToCursor(false);
}

void EditWidget::MouseButtonUp(int x, int y, int, int) {
    if (anchor_ == cursor_) anchor_ = -1;
    if (wordSelectPending_) {
        anchor_ = -1;
        cursor_ = GetCharIndexAtX(x, y);
        wordSelectPending_ = false;
        SelectWord();
    }
    MarkDirty();
}

void EditWidget::MouseEnter() {
    if (manager_) Service<WidgetHost>::Get().SetCursorKind(kTextCursor);
}

void EditWidget::MouseLeave() {
    if (manager_) Service<WidgetHost>::Get().SetCursorKind(kPointerCursor);
}

void EditWidget::GotFocus() {
    ColorWidget::GotFocus();
    caretVisible_ = true;
    blinkCounter_ = 0;
    MarkDirty();
}

void EditWidget::LostFocus() {
    ColorWidget::LostFocus();
    caretVisible_ = false;
    MarkDirty();
}

void EditWidget::Update() {
    ColorWidget::Update();
    if (!hasFocus_) return;
    if (++blinkCounter_ > blinkPeriod_) {
        MarkDirty();
        blinkCounter_ = 0;
        caretVisible_ = !caretVisible_;
    }
}

void EditWidget::RemovedFromManager(WidgetManager* manager) {
    if (listener_) listener_->EditWidgetRemoved(id_);
    ColorWidget::RemovedFromManager(manager);
}

void EditWidget::Draw(Graphics* g) {
    if (!g) return;
    Font* font = GetFont();
    const std::wstring& display = GetDisplayText();
    const std::wstring visible = display.substr(static_cast<size_t>(std::clamp(scroll_, 0, Length(display))));
    const GraphicsState saved = g->GetState();
    g->SetColor(GetColor(kBackground));
    g->FillRect(0, 0, width_, height_);
    g->SetFont(font);
    const int fontHeight = SaturateCast(font->GetHeight());
    const int top = SaturateCast((height_ - font->GetHeight()) * 0.5f);
    const int baseline = SaturateCast((height_ - font->GetHeight()) * 0.5f + font->GetAscent());
    const GraphicsState withFont = g->GetState();

    g->ClipRect(0.0f, 0.0f, width_, height_);
    g->SetColor(GetColor(kText));
    g->DrawString(visible, kTextInset, baseline);
    g->SetState(withFont);

    const int cursorX = WidthBetween(scroll_, cursor_);
    const int limit = std::max(0, width_ - kRightMargin);
    const int anchorEnd = std::clamp(anchor_ >= 0 ? WidthBetween(scroll_, anchor_) : cursorX + 2, 0, limit);
    const int cursorEnd = std::clamp(caretVisible_ ? cursorX : cursorX + 2, 0, limit);
    const int left = std::min(anchorEnd, cursorEnd) + kTextInset;
    const int bandWidth = std::abs(anchorEnd - cursorEnd);
    if ((hasFocus_ || showSelectionUnfocused_) && bandWidth > 0) {
        g->ClipRect(static_cast<float>(left), static_cast<float>(top), bandWidth, fontHeight);
        g->SetColor(GetColor(kSelection));
        g->FillRect(left, top, bandWidth, fontHeight);
        g->SetColor(GetColor(kSelectedText));
        g->DrawString(visible, kTextInset, baseline);
    }
    g->SetState(withFont);
    g->SetColor(GetColor(kOutline));
    g->DrawRect(width_, height_);
    g->SetState(saved);
}
