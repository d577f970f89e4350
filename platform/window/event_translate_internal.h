#pragma once
// The one place where SDL events become window messages. The translator keeps
// what the messages need beyond a single event: the buttons and modifiers
// held and where the pointer was last seen.

#include <SDL.h>

#include <functional>
#include <vector>

#include "platform/window/messages.h"

namespace plat {

// What the translator needs to know about the window an event names.
struct TranslateTarget {
    WindowHandle window = kNoWindow;
    bool doubleClicks = false;  // its class asks for double-click messages
    int clientWidth = 0, clientHeight = 0;
};

// Maps an SDL key to a virtual-key code, 0 for keys without one. The numeric
// keypad gives navigation keys while Num Lock is off, as a PC keyboard does.
uint32_t VirtualKeyFromSdl(SDL_Keycode key, uint16_t modifiers);
// Keys whose messages carry the extended-key bit.
bool IsExtendedKey(SDL_Keycode key);

class EventTranslator {
public:
    using Lookup = std::function<TranslateTarget(uint32_t sdlWindowId)>;

    // Appends the messages `event` stands for to `out` (none for events the
    // queue has no use for). `now` stamps them.
    void Translate(const SDL_Event& event, const Lookup& lookup, uint32_t now, std::vector<Message>& out);

    // Where the pointer was last seen, in the client coordinates of that window.
    WindowHandle PointerWindow() const { return pointerWindow_; }
    int PointerX() const { return pointerX_; }
    int PointerY() const { return pointerY_; }
    // Forgets a window that no longer exists.
    void Forget(WindowHandle window);

private:
    void Key(const SDL_KeyboardEvent& e, const TranslateTarget& t, uint32_t now, std::vector<Message>& out);
    void Text(const char* utf8, const TranslateTarget& t, uint32_t now, std::vector<Message>& out);
    void Window(const SDL_WindowEvent& e, const TranslateTarget& t, uint32_t now, std::vector<Message>& out);
    void Button(const SDL_MouseButtonEvent& e, const TranslateTarget& t, uint32_t now, std::vector<Message>& out);
    WParam MouseFlags() const;

    WParam buttons_ = 0;  // kMkLButton, kMkRButton, kMkMButton
    uint16_t modifiers_ = 0;
    WindowHandle pointerWindow_ = kNoWindow;
    int pointerX_ = 0, pointerY_ = 0;
};

}  // namespace plat
