// The crash report's own small windows: drawn into a pixel buffer of their
// own with a system font and copied to the window, so they need neither the
// window system nor the graphics device.
#include "platform/window/dialog_window.h"

#include <algorithm>

#include "platform/fonts/system_font.h"
#include "platform/system/utf8.h"
#include "platform/window/window_internal.h"

namespace plat {
namespace {

constexpr uint32_t kFace = 0xFFD4D0C8, kPaper = 0xFFFFFFFF, kInk = 0xFF000000, kShade = 0xFF808080;
constexpr uint32_t kTrack = 0xFFECEAE6, kSelection = 0xFFA8C8F0;
constexpr size_t kMaxEdited = 64 * 1024;

void Fill(SDL_Surface* canvas, const DialogRect& r, uint32_t argb) {
    SDL_Rect rect{r.x, r.y, r.width, r.height};
    SDL_FillRect(canvas, &rect, argb);
}

void Frame(SDL_Surface* canvas, const DialogRect& r, uint32_t inside, uint32_t edge) {
    Fill(canvas, r, edge);
    Fill(canvas, {r.x + 1, r.y + 1, r.width - 2, r.height - 2}, inside);
}

bool Inside(const DialogRect& r, int x, int y) {
    return x >= r.x && y >= r.y && x < r.x + r.width && y < r.y + r.height;
}

void Arrow(SDL_Surface* canvas, int x, int y, bool up) {
    for (int row = 0; row < 4; ++row) {
        const int half = up ? row : 3 - row;
        Fill(canvas, {x + 8 - half - 1, y + 6 + row, 2 * half + 1, 1}, kInk);
    }
}

// Courier New where it is installed, else the machine's own monospace face:
// the report's columns only line up in one.
std::unique_ptr<SystemFont> MonospaceFont() {
    std::unique_ptr<SystemFont> font = SystemFont::Create({"Courier New", 8, 96, 400});
    if (font && !font->UsedFallback()) return font;
    std::unique_ptr<SystemFont> mono = SystemFont::Create({"DejaVu Sans Mono", 8, 96, 400});
    return mono ? std::move(mono) : std::move(font);
}

}  // namespace

struct DialogWindow::Impl {
    DialogLayout layout;
    bool startedVideo = false;
    SDL_Window* window = nullptr;
    SDL_Surface* canvas = nullptr;
    std::unique_ptr<SystemFont> textFont, controlFont, paneFont;
    std::unique_ptr<TextPane> pane;
    std::string edited;
    int pressed = -1;        // the button the pointer went down on
    bool selecting = false;  // the pointer went down on the pane's text
    bool dirty = true;

    ~Impl() {
        if (canvas) SDL_FreeSurface(canvas);
        if (window) {
            if (layout.edit == EditBox::kTyped) SDL_StopTextInput();
            SDL_DestroyWindow(window);
        }
        if (startedVideo) SDL_QuitSubSystem(SDL_INIT_VIDEO);
    }

    PixelBuffer Target() const { return {static_cast<uint32_t*>(canvas->pixels), canvas->w, canvas->h, canvas->pitch}; }

    void DrawText() {
        const DialogRect& r = layout.textRect;
        const std::wstring text = Utf8ToWide(layout.text);
        const int height = std::max(1, textFont->Metrics().height);
        const PixelRect clip{r.x + 2, r.y + 2, r.x + r.width - 2, r.y + r.height - 2};
        int top = clip.top;
        for (const TextLine& line :
             WrapText(text, r.width - 4, [&](std::wstring_view t) { return textFont->MeasureWidth(t); })) {
            if (top + height > clip.bottom) break;
            textFont->DrawText(Target(), {clip.left, top, clip.right, top + height}, clip,
                               std::wstring_view(text).substr(line.start, line.length), kInk);
            top += height;
        }
    }

    void DrawScrollBar() {
        const DialogRect& r = layout.editRect;
        const int w = TextPane::kScrollBarWidth, x = r.x + r.width - w;
        Fill(canvas, {x, r.y + 1, w - 1, r.height - 2}, kTrack);
        Frame(canvas, {x, r.y, w, w}, kFace, kShade);
        Arrow(canvas, x, r.y, true);
        Frame(canvas, {x, r.y + r.height - w, w, w}, kFace, kShade);
        Arrow(canvas, x, r.y + r.height - w, false);
        const TextPane::Thumb thumb = pane->ScrollThumb();
        Frame(canvas, {x, r.y + thumb.top, w, thumb.height}, kFace, kShade);
    }

    void DrawPane() {
        const DialogRect& r = layout.editRect;
        Frame(canvas, r, kPaper, kShade);
        const int height = pane->LineHeight();
        const int right = r.x + r.width - (pane->Scrolls() ? TextPane::kScrollBarWidth : 0) - 2;
        const PixelRect clip{r.x + 2, r.y + 2, right, r.y + r.height - 2};
        const std::wstring_view text = pane->Text();
        const auto& lines = pane->Lines();
        const size_t from = pane->SelectionStart(), to = pane->SelectionEnd();
        const size_t last = std::min(lines.size(), static_cast<size_t>(pane->FirstLine() + pane->VisibleLines()));
        for (size_t i = static_cast<size_t>(pane->FirstLine()); i < last; ++i) {
            const TextLine& line = lines[i];
            const int top = clip.top + static_cast<int>(i - static_cast<size_t>(pane->FirstLine())) * height;
            const size_t end = line.start + line.length;
            // A selection running on past the line's end marks its break too.
            const size_t selectedEnd = std::min(to, end + (to > end ? 1 : 0));
            if (from < selectedEnd && to > line.start) {
                const int left = clip.left + pane->PrefixWidth(line, from > line.start ? from - line.start : 0);
                const int stop = selectedEnd > end ? right : clip.left + pane->PrefixWidth(line, to - line.start);
                Fill(canvas, {left, top, std::max(1, stop - left), height}, kSelection);
            }
            paneFont->DrawText(Target(), {clip.left, top, clip.right, top + height}, clip,
                               text.substr(line.start, line.length), kInk);
        }
        if (layout.edit == EditBox::kTyped && !lines.empty()) {
            // The bar marks where typing goes: always the end.
            const TextLine& line = lines.back();
            const int row = static_cast<int>(lines.size()) - 1 - pane->FirstLine();
            const int x = std::min(right - 1, clip.left + pane->PrefixWidth(line, line.length));
            if (row >= 0 && row < pane->VisibleLines()) Fill(canvas, {x, clip.top + row * height, 1, height}, kInk);
        }
        if (pane->Scrolls()) DrawScrollBar();
    }

    void Draw() {
        Fill(canvas, {0, 0, canvas->w, canvas->h}, kFace);
        DrawText();
        if (pane) DrawPane();
        for (size_t i = 0; i < layout.buttons.size(); ++i) {
            const DialogButton& b = layout.buttons[i];
            Frame(canvas, b.rect, static_cast<int>(i) == pressed ? kShade : kFace, kInk);
            const std::wstring label = Utf8ToWide(b.label);
            const int width = controlFont->MeasureWidth(label), height = controlFont->Metrics().height;
            const int left = b.rect.x + (b.rect.width - width) / 2, top = b.rect.y + (b.rect.height - height) / 2;
            const PixelRect clip{b.rect.x, b.rect.y, b.rect.x + b.rect.width, b.rect.y + b.rect.height};
            controlFont->DrawText(Target(), {left, top, left + width, top + height}, clip, label, kInk);
        }
        SDL_Surface* screen = SDL_GetWindowSurface(window);
        if (screen) {
            SDL_BlitSurface(canvas, nullptr, screen, nullptr);
            SDL_UpdateWindowSurface(window);
        }
        dirty = false;
    }

    void EditedChanged() {
        pane->SetText(Utf8ToWide(edited));
        pane->ScrollToEnd();
    }

    void EraseLastCharacter() {
        size_t at = edited.size();
        while (at > 0 && (static_cast<unsigned char>(edited[at - 1]) & 0xC0) == 0x80) --at;
        edited.resize(at > 0 ? at - 1 : 0);
    }

    // The pane's keys; false for keys it leaves alone.
    bool PaneKey(const SDL_Keysym& key) {
        if (key.mod & KMOD_CTRL) {
            if (key.sym == SDLK_c && pane->SelectionEnd() > pane->SelectionStart())
                SDL_SetClipboardText(WideToUtf8(pane->Selected()).c_str());
            else if (key.sym == SDLK_a)
                pane->SelectAll();
            else
                return false;
            return true;
        }
        if (layout.edit == EditBox::kTyped) {
            if (key.sym == SDLK_BACKSPACE) EraseLastCharacter();
            if ((key.sym == SDLK_RETURN || key.sym == SDLK_KP_ENTER) && edited.size() < kMaxEdited) edited += '\n';
            EditedChanged();
            return true;
        }
        const int page = pane->VisibleLines();
        switch (key.sym) {
            case SDLK_UP: pane->ScrollBy(-1); break;
            case SDLK_DOWN: pane->ScrollBy(1); break;
            case SDLK_PAGEUP: pane->ScrollBy(-page); break;
            case SDLK_PAGEDOWN: pane->ScrollBy(page); break;
            case SDLK_HOME: pane->ScrollTo(0); break;
            case SDLK_END: pane->ScrollToEnd(); break;
            default: return false;
        }
        return true;
    }

    void PointerDown(int x, int y) {
        for (size_t i = 0; i < layout.buttons.size(); ++i)
            if (Inside(layout.buttons[i].rect, x, y)) pressed = static_cast<int>(i);
        if (!pane || !Inside(layout.editRect, x, y)) return;
        const int px = x - layout.editRect.x, py = y - layout.editRect.y;
        if (pane->PressScrollBar(px, py)) return;
        selecting = true;
        pane->SelectFrom(pane->OffsetAt(px, py));
    }

    void PointerMoved(int x, int y) {
        if (!pane) return;
        const int py = y - layout.editRect.y;
        if (pane->Dragging()) {
            pane->DragThumb(py);
            dirty = true;
        } else if (selecting) {
            // Dragging past the pane's edge scrolls on, so a selection can run
            // beyond what the pane shows.
            if (py < 0) pane->ScrollBy(-1);
            if (py >= layout.editRect.height) pane->ScrollBy(1);
            pane->SelectTo(pane->OffsetAt(x - layout.editRect.x, py));
            dirty = true;
        }
    }

    int Handle(const SDL_Event& event) {
        const uint32_t id = SDL_GetWindowID(window);
        switch (event.type) {
            case SDL_QUIT: return kClosed;
            case SDL_WINDOWEVENT:
                if (event.window.windowID != id) break;
                if (event.window.event == SDL_WINDOWEVENT_CLOSE) return kClosed;
                dirty = true;
                break;
            case SDL_MOUSEBUTTONDOWN:
                if (event.button.windowID != id || event.button.button != SDL_BUTTON_LEFT) break;
                PointerDown(event.button.x, event.button.y);
                dirty = true;
                break;
            case SDL_MOUSEMOTION:
                if (event.motion.windowID == id) PointerMoved(event.motion.x, event.motion.y);
                break;
            case SDL_MOUSEWHEEL:
                if (event.wheel.windowID != id || !pane) break;
                pane->ScrollBy(-3 * (event.wheel.direction == SDL_MOUSEWHEEL_FLIPPED ? -event.wheel.y : event.wheel.y));
                dirty = true;
                break;
            case SDL_MOUSEBUTTONUP: {
                if (event.button.windowID != id || event.button.button != SDL_BUTTON_LEFT) break;
                const int was = pressed;
                pressed = -1;
                selecting = false;
                if (pane) pane->EndDrag();
                dirty = true;
                if (was >= 0 && Inside(layout.buttons[static_cast<size_t>(was)].rect, event.button.x, event.button.y))
                    return was;
                break;
            }
            case SDL_TEXTINPUT:
                if (event.text.windowID != id || layout.edit != EditBox::kTyped) break;
                if (edited.size() < kMaxEdited) edited += event.text.text;
                EditedChanged();
                dirty = true;
                break;
            case SDL_KEYDOWN:
                if (event.key.windowID != id) break;
                if (event.key.keysym.sym == SDLK_ESCAPE) return kClosed;
                if (pane && PaneKey(event.key.keysym)) dirty = true;
                break;
            default: break;
        }
        return kNothing;
    }
};

std::unique_ptr<DialogWindow> DialogWindow::Open(const DialogLayout& layout) {
    if (!DesktopCanShowBoxes()) return nullptr;
    auto impl = std::make_unique<Impl>();
    impl->layout = layout;
    if (!SDL_WasInit(SDL_INIT_VIDEO)) {
        if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) return nullptr;
        impl->startedVideo = true;
    }
    if (HeadlessVideo()) return nullptr;
    impl->textFont = SystemFont::Create({layout.textFace, layout.textPoints, 96, layout.boldText ? 700 : 400});
    impl->controlFont = SystemFont::Create({"Tahoma", 8, 96, 400});
    if (!impl->textFont || !impl->controlFont) return nullptr;
    if (layout.edit != EditBox::kNone) {
        impl->paneFont = MonospaceFont();
        if (!impl->paneFont) return nullptr;
        SystemFont* font = impl->paneFont.get();
        impl->pane = std::make_unique<TextPane>([font](std::wstring_view t) { return font->MeasureWidth(t); },
                                                layout.editRect.width, layout.editRect.height, font->Metrics().height);
        impl->edited = layout.editText.substr(0, kMaxEdited);
        impl->pane->SetText(Utf8ToWide(impl->edited));
        if (layout.edit == EditBox::kTyped) impl->pane->ScrollToEnd();
    }
    // The window shows pixels of its own: it needs no 3D driver, which a
    // crash may have left broken and which takes seconds to start.
    SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
    impl->canvas = SDL_CreateRGBSurfaceWithFormat(0, layout.width, layout.height, 32, SDL_PIXELFORMAT_ARGB8888);
    impl->window =
        SDL_CreateWindow(layout.title.c_str(), layout.x, layout.y, layout.width, layout.height, SDL_WINDOW_SHOWN);
    if (!impl->canvas || !impl->window) return nullptr;
    if (layout.edit == EditBox::kTyped) SDL_StartTextInput();
    SDL_RaiseWindow(impl->window);
    return std::unique_ptr<DialogWindow>(new DialogWindow(std::move(impl)));
}

DialogWindow::DialogWindow(std::unique_ptr<Impl> impl) : impl_(std::move(impl)) {}
DialogWindow::~DialogWindow() = default;

void DialogWindow::SetText(std::string_view text) {
    if (impl_->layout.text == text) return;
    impl_->layout.text = text;
    impl_->dirty = true;
}

const std::string& DialogWindow::Edited() const { return impl_->edited; }

const TextPane* DialogWindow::Pane() const { return impl_->pane.get(); }

int DialogWindow::Poll() {
    SDL_Event event;
    int answer = kNothing;
    while (answer == kNothing && SDL_PollEvent(&event)) answer = impl_->Handle(event);
    if (impl_->dirty) impl_->Draw();
    return answer;
}

}  // namespace plat
