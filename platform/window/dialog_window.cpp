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

// Lines of at most `width` pixels, broken at spaces (a word wider than the
// line stands alone) and at line ends.
std::vector<std::wstring> Wrap(SystemFont& font, std::wstring_view text, int width) {
    std::vector<std::wstring> lines(1);
    size_t at = 0;
    while (at <= text.size()) {
        const size_t end = std::min(text.find_first_of(L" \n", at), text.size());
        const std::wstring_view word = text.substr(at, end - at);
        std::wstring& line = lines.back();
        const std::wstring joined = line.empty() ? std::wstring(word) : line + L" " + std::wstring(word);
        if (line.empty() || font.MeasureWidth(joined) <= width)
            line = joined;
        else
            lines.emplace_back(word);
        if (end < text.size() && text[end] == L'\n') lines.emplace_back();
        at = end + 1;
    }
    return lines;
}

}  // namespace

struct DialogWindow::Impl {
    DialogLayout layout;
    bool startedVideo = false;
    SDL_Window* window = nullptr;
    SDL_Surface* canvas = nullptr;
    std::unique_ptr<SystemFont> textFont, controlFont;
    std::string edited;
    int pressed = -1;  // the button the pointer went down on
    bool dirty = true;

    ~Impl() {
        if (canvas) SDL_FreeSurface(canvas);
        if (window) {
            if (layout.editable) SDL_StopTextInput();
            SDL_DestroyWindow(window);
        }
        if (startedVideo) SDL_QuitSubSystem(SDL_INIT_VIDEO);
    }

    void DrawLines(SystemFont& font, const std::vector<std::wstring>& lines, const DialogRect& r, bool lastLines) {
        const int height = std::max(1, font.Metrics().height);
        const size_t fit = static_cast<size_t>(std::max(1, (r.height - 4) / height));
        const size_t first = lastLines && lines.size() > fit ? lines.size() - fit : 0;
        PixelBuffer target{static_cast<uint32_t*>(canvas->pixels), canvas->w, canvas->h, canvas->pitch};
        const PixelRect clip{r.x + 2, r.y + 2, r.x + r.width - 2, r.y + r.height - 2};
        for (size_t i = first; i < lines.size() && i < first + fit; ++i) {
            const int top = clip.top + static_cast<int>(i - first) * height;
            font.DrawText(target, {clip.left, top, clip.right, top + height}, clip, lines[i], kInk);
        }
    }

    void Draw() {
        Fill(canvas, {0, 0, canvas->w, canvas->h}, kFace);
        const DialogRect& t = layout.textRect;
        DrawLines(*textFont, Wrap(*textFont, Utf8ToWide(layout.text), t.width - 4), t, false);
        if (layout.editable) {
            Frame(canvas, layout.editRect, kPaper, kShade);
            // The bar marks where typing goes: always the end.
            const std::wstring text = Utf8ToWide(edited) + L"|";
            DrawLines(*controlFont, Wrap(*controlFont, text, layout.editRect.width - 4), layout.editRect, true);
        }
        for (size_t i = 0; i < layout.buttons.size(); ++i) {
            const DialogButton& b = layout.buttons[i];
            Frame(canvas, b.rect, static_cast<int>(i) == pressed ? kShade : kFace, kInk);
            const std::wstring label = Utf8ToWide(b.label);
            const int width = controlFont->MeasureWidth(label), height = controlFont->Metrics().height;
            const int left = b.rect.x + (b.rect.width - width) / 2, top = b.rect.y + (b.rect.height - height) / 2;
            PixelBuffer target{static_cast<uint32_t*>(canvas->pixels), canvas->w, canvas->h, canvas->pitch};
            const PixelRect clip{b.rect.x, b.rect.y, b.rect.x + b.rect.width, b.rect.y + b.rect.height};
            controlFont->DrawText(target, {left, top, left + width, top + height}, clip, label, kInk);
        }
        SDL_Surface* screen = SDL_GetWindowSurface(window);
        if (screen) {
            SDL_BlitSurface(canvas, nullptr, screen, nullptr);
            SDL_UpdateWindowSurface(window);
        }
        dirty = false;
    }

    void EraseLastCharacter() {
        size_t at = edited.size();
        while (at > 0 && (static_cast<unsigned char>(edited[at - 1]) & 0xC0) == 0x80) --at;
        edited.resize(at > 0 ? at - 1 : 0);
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
                for (size_t i = 0; i < layout.buttons.size(); ++i)
                    if (Inside(layout.buttons[i].rect, event.button.x, event.button.y)) pressed = static_cast<int>(i);
                dirty = true;
                break;
            case SDL_MOUSEBUTTONUP: {
                if (event.button.windowID != id || event.button.button != SDL_BUTTON_LEFT) break;
                const int was = pressed;
                pressed = -1;
                dirty = true;
                if (was >= 0 && Inside(layout.buttons[static_cast<size_t>(was)].rect, event.button.x, event.button.y))
                    return was;
                break;
            }
            case SDL_TEXTINPUT:
                if (event.text.windowID != id || !layout.editable) break;
                if (edited.size() < kMaxEdited) edited += event.text.text;
                dirty = true;
                break;
            case SDL_KEYDOWN:
                if (event.key.windowID != id) break;
                if (event.key.keysym.sym == SDLK_ESCAPE) return kClosed;
                if (!layout.editable) break;
                if (event.key.keysym.sym == SDLK_BACKSPACE) EraseLastCharacter();
                if ((event.key.keysym.sym == SDLK_RETURN || event.key.keysym.sym == SDLK_KP_ENTER) &&
                    edited.size() < kMaxEdited)
                    edited += '\n';
                dirty = true;
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
    impl->textFont = SystemFont::Create({"Tahoma", layout.textPoints, 96, layout.boldText ? 700 : 400});
    impl->controlFont = SystemFont::Create({"Tahoma", 8, 96, 400});
    if (!impl->textFont || !impl->controlFont) return nullptr;
    impl->canvas = SDL_CreateRGBSurfaceWithFormat(0, layout.width, layout.height, 32, SDL_PIXELFORMAT_ARGB8888);
    impl->window =
        SDL_CreateWindow(layout.title.c_str(), layout.x, layout.y, layout.width, layout.height, SDL_WINDOW_SHOWN);
    if (!impl->canvas || !impl->window) return nullptr;
    if (layout.editable) SDL_StartTextInput();
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

int DialogWindow::Poll() {
    SDL_Event event;
    int answer = kNothing;
    while (answer == kNothing && SDL_PollEvent(&event)) answer = impl_->Handle(event);
    if (impl_->dirty) impl_->Draw();
    return answer;
}

}  // namespace plat
