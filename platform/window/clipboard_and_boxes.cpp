// Clipboard text and message boxes.
#include <algorithm>
#include <cstdio>

#include "platform/window/wide_text_internal.h"
#include "platform/window/window_internal.h"

namespace plat {
namespace {

struct BoxButton {
    int id;
    const char* label;
};

std::vector<BoxButton> ButtonsFor(uint32_t style) {
    switch (style & 0xF) {
        case mb::kOkCancel: return {{mb::kIdOk, "OK"}, {mb::kIdCancel, "Cancel"}};
        case mb::kYesNoCancel: return {{mb::kIdYes, "Yes"}, {mb::kIdNo, "No"}, {mb::kIdCancel, "Cancel"}};
        case mb::kYesNo: return {{mb::kIdYes, "Yes"}, {mb::kIdNo, "No"}};
        default: return {{mb::kIdOk, "OK"}};
    }
}

uint32_t SdlBoxFlags(uint32_t style) {
    switch (style & 0xF0) {
        case mb::kIconError: return SDL_MESSAGEBOX_ERROR;
        case mb::kIconWarning: return SDL_MESSAGEBOX_WARNING;
        default: return SDL_MESSAGEBOX_INFORMATION;
    }
}

}  // namespace

bool WindowSystem::SetClipboardText(std::wstring_view text) {
    if (!ready_) return Fail("no video system for the clipboard");
    if (SDL_SetClipboardText(WideToUtf8(text).c_str()) != 0)
        return Fail(std::string("cannot set the clipboard: ") + SDL_GetError());
    return true;
}

bool WindowSystem::GetClipboardText(std::wstring* text) const {
    if (!text || !ready_) return false;
    char* utf8 = SDL_GetClipboardText();
    if (!utf8) return false;
    *text = Utf8ToWide(utf8);
    SDL_free(utf8);
    return true;
}

int WindowSystem::MessageBox(WindowHandle owner, std::wstring_view text, std::wstring_view caption, uint32_t style) {
    const std::vector<BoxButton> buttons = ButtonsFor(style);
    const size_t defaultIndex = std::min<size_t>((style >> 8) & 0xF, buttons.size() - 1);
    const std::string utf8Text = WideToUtf8(text), utf8Caption = WideToUtf8(caption);
    if (ready_ && !HeadlessVideo()) {
        std::vector<SDL_MessageBoxButtonData> data;
        // Escape answers Cancel, else the last button (No, or the only OK).
        for (size_t i = 0; i < buttons.size(); ++i) {
            uint32_t flags = 0;
            if (i == defaultIndex) flags |= SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT;
            if (i + 1 == buttons.size()) flags |= SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT;
            data.push_back(SDL_MessageBoxButtonData{flags, buttons[i].id, buttons[i].label});
        }
        SDL_MessageBoxData box{};
        box.flags = SdlBoxFlags(style);
        box.window = GetNativeWindow(owner);
        box.title = utf8Caption.c_str();
        box.message = utf8Text.c_str();
        box.numbuttons = static_cast<int>(data.size());
        box.buttons = data.data();
        int answer = -1;
        if (SDL_ShowMessageBox(&box, &answer) == 0) return answer >= 0 ? answer : buttons.back().id;
    }
    // Nobody can see a box: keep the text where someone will read it.
    std::fprintf(stderr, "%s: %s\n", utf8Caption.c_str(), utf8Text.c_str());
    std::fflush(stderr);
    return buttons[defaultIndex].id;
}

}  // namespace plat
