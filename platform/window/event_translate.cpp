// SDL events become window messages here and nowhere else.
#include <cmath>

#include "platform/window/event_translate_internal.h"
#include "platform/window/virtual_keys.h"
#include "platform/window/wide_text_internal.h"

namespace plat {
namespace {

Message Make(WindowHandle window, uint32_t id, WParam w, LParam l, uint32_t now) {
    return Message{window, id, w, l, now};
}

bool AltOnly(uint16_t mods) { return (mods & KMOD_ALT) && !(mods & KMOD_CTRL); }

// The character a key itself types where no text-input event follows it:
// the editing keys and Ctrl with a letter (Ctrl+C is 3, Ctrl+V 22).
uint32_t KeyCharacter(SDL_Keycode key, uint16_t mods) {
    const bool ctrl = mods & KMOD_CTRL;
    switch (key) {
        case SDLK_RETURN:
        case SDLK_RETURN2:
        case SDLK_KP_ENTER: return ctrl ? 10 : 13;
        case SDLK_BACKSPACE: return ctrl ? 127 : 8;
        case SDLK_TAB: return ctrl ? 0 : 9;
        case SDLK_ESCAPE: return 27;
        default: break;
    }
    if (ctrl && !(mods & KMOD_ALT) && key >= SDLK_a && key <= SDLK_z) return 1 + static_cast<uint32_t>(key - SDLK_a);
    return 0;
}

}  // namespace

WParam EventTranslator::MouseFlags() const {
    WParam flags = buttons_;
    if (modifiers_ & KMOD_SHIFT) flags |= kMkShift;
    if (modifiers_ & KMOD_CTRL) flags |= kMkControl;
    return flags;
}

void EventTranslator::Forget(WindowHandle window) {
    if (pointerWindow_ == window) pointerWindow_ = kNoWindow;
}

void EventTranslator::Translate(const SDL_Event& e, const Lookup& lookup, uint32_t now, std::vector<Message>& out) {
    switch (e.type) {
        case SDL_KEYDOWN:
        case SDL_KEYUP: {
            TranslateTarget t = lookup(e.key.windowID);
            modifiers_ = e.key.keysym.mod;
            if (t.window) Key(e.key, t, now, out);
            break;
        }
        case SDL_TEXTINPUT: {
            TranslateTarget t = lookup(e.text.windowID);
            if (t.window) Text(e.text.text, t, now, out);
            break;
        }
        case SDL_MOUSEMOTION: {
            TranslateTarget t = lookup(e.motion.windowID);
            if (!t.window) break;
            pointerWindow_ = t.window;
            pointerX_ = e.motion.x;
            pointerY_ = e.motion.y;
            out.push_back(Make(t.window, msg::kMouseMove, MouseFlags(), MakeLParam(e.motion.x, e.motion.y), now));
            break;
        }
        case SDL_MOUSEBUTTONDOWN:
        case SDL_MOUSEBUTTONUP: {
            TranslateTarget t = lookup(e.button.windowID);
            if (t.window) Button(e.button, t, now, out);
            break;
        }
        case SDL_MOUSEWHEEL: {
            TranslateTarget t = lookup(e.wheel.windowID);
            if (!t.window) break;
            float amount = e.wheel.preciseY != 0.0f ? e.wheel.preciseY : static_cast<float>(e.wheel.y);
            if (e.wheel.direction == SDL_MOUSEWHEEL_FLIPPED) amount = -amount;
            const long delta = std::lround(amount * kWheelDelta);
            if (delta == 0) break;
            const auto clamped = static_cast<int16_t>(delta > 32767 ? 32767 : delta < -32768 ? -32768 : delta);
            const WParam w = (MouseFlags() & 0xFFFF) | (static_cast<WParam>(static_cast<uint16_t>(clamped)) << 16);
            // Client coordinates, like every other mouse message of the queue.
            out.push_back(Make(t.window, msg::kMouseWheel, w, MakeLParam(e.wheel.mouseX, e.wheel.mouseY), now));
            break;
        }
        case SDL_WINDOWEVENT: {
            TranslateTarget t = lookup(e.window.windowID);
            if (t.window) Window(e.window, t, now, out);
            break;
        }
        case SDL_DISPLAYEVENT: out.push_back(Make(kBroadcast, msg::kDisplayChange, 32, 0, now)); break;
        case SDL_QUIT:
            // Asked to end from outside (a signal, the session going away).
            out.push_back(Make(kBroadcast, msg::kEndSession, 1, 0, now));
            break;
        default: break;
    }
}

void EventTranslator::Key(const SDL_KeyboardEvent& e, const TranslateTarget& t, uint32_t now,
                          std::vector<Message>& out) {
    const SDL_Keycode key = e.keysym.sym;
    const uint32_t code = VirtualKeyFromSdl(key, e.keysym.mod);
    if (code == 0) return;
    const bool down = e.type == SDL_KEYDOWN;
    const bool alt = AltOnly(e.keysym.mod);
    // Alt itself, keys held with Alt (but not Ctrl+Alt, which types), and F10
    // are system keys.
    const bool system = code == vk::kMenu || alt || code == vk::kF1 + 9;
    uint32_t bits = 1;  // repeat count: SDL reports each repeat as its own event
    if (IsExtendedKey(key)) bits |= kKeyExtended;
    if (alt || (code == vk::kMenu && down)) bits |= kKeyAltDown;
    if (!down)
        bits |= kKeyWasDown | kKeyReleased;
    else if (e.repeat)
        bits |= kKeyWasDown;
    const uint32_t id = down ? (system ? msg::kSysKeyDown : msg::kKeyDown) : (system ? msg::kSysKeyUp : msg::kKeyUp);
    out.push_back(Make(t.window, id, code, static_cast<LParam>(bits), now));
    if (!down) return;
    if (uint32_t c = KeyCharacter(key, e.keysym.mod); c != 0)
        out.push_back(Make(t.window, alt ? msg::kSysChar : msg::kChar, c, static_cast<LParam>(bits), now));
}

void EventTranslator::Text(const char* utf8, const TranslateTarget& t, uint32_t now, std::vector<Message>& out) {
    std::vector<uint16_t> units;
    for (wchar_t c : Utf8ToWide(utf8)) AppendUtf16(static_cast<char32_t>(c), units);
    const uint32_t id = AltOnly(modifiers_) ? msg::kSysChar : msg::kChar;
    for (uint16_t u : units) out.push_back(Make(t.window, id, u, 1, now));
}

void EventTranslator::Button(const SDL_MouseButtonEvent& e, const TranslateTarget& t, uint32_t now,
                             std::vector<Message>& out) {
    uint32_t downId = 0;
    WParam bit = 0;
    switch (e.button) {
        case SDL_BUTTON_LEFT:
            downId = msg::kLButtonDown;
            bit = kMkLButton;
            break;
        case SDL_BUTTON_RIGHT:
            downId = msg::kRButtonDown;
            bit = kMkRButton;
            break;
        case SDL_BUTTON_MIDDLE:
            downId = msg::kMButtonDown;
            bit = kMkMButton;
            break;
        default: return;  // the queue takes no other buttons
    }
    pointerWindow_ = t.window;
    pointerX_ = e.x;
    pointerY_ = e.y;
    uint32_t id = downId;
    if (e.type == SDL_MOUSEBUTTONDOWN) {
        buttons_ |= bit;
        // SDL counts clicks on: the second of a pair is the double-click, the
        // third starts a new pair, as the classic double-click rule has it.
        if (t.doubleClicks && e.clicks >= 2 && e.clicks % 2 == 0) id = downId + 2;
    } else {
        buttons_ &= ~bit;
        id = downId + 1;
    }
    out.push_back(Make(t.window, id, MouseFlags(), MakeLParam(e.x, e.y), now));
}

void EventTranslator::Window(const SDL_WindowEvent& e, const TranslateTarget& t, uint32_t now,
                             std::vector<Message>& out) {
    switch (e.event) {
        case SDL_WINDOWEVENT_FOCUS_GAINED:
            out.push_back(Make(t.window, msg::kActivate, kWaActive, 0, now));
            out.push_back(Make(t.window, msg::kActivateApp, 1, 0, now));
            break;
        case SDL_WINDOWEVENT_FOCUS_LOST:
            out.push_back(Make(t.window, msg::kActivate, kWaInactive, 0, now));
            out.push_back(Make(t.window, msg::kActivateApp, 0, 0, now));
            // Buttons released while another window has the pointer never come back.
            buttons_ = 0;
            break;
        case SDL_WINDOWEVENT_MINIMIZED: out.push_back(Make(t.window, msg::kSize, kSizeMinimized, 0, now)); break;
        case SDL_WINDOWEVENT_MAXIMIZED:
            out.push_back(Make(t.window, msg::kSize, kSizeMaximized, MakeLParam(t.clientWidth, t.clientHeight), now));
            break;
        case SDL_WINDOWEVENT_RESTORED:
            out.push_back(Make(t.window, msg::kSize, kSizeRestored, MakeLParam(t.clientWidth, t.clientHeight), now));
            break;
        case SDL_WINDOWEVENT_SIZE_CHANGED:
            out.push_back(Make(t.window, msg::kSize, kSizeRestored, MakeLParam(e.data1, e.data2), now));
            break;
        case SDL_WINDOWEVENT_MOVED:
            out.push_back(Make(t.window, msg::kMove, 0, MakeLParam(e.data1, e.data2), now));
            break;
        case SDL_WINDOWEVENT_EXPOSED: out.push_back(Make(t.window, msg::kPaint, 0, 0, now)); break;
        case SDL_WINDOWEVENT_CLOSE: out.push_back(Make(t.window, msg::kClose, 0, 0, now)); break;
        case SDL_WINDOWEVENT_ENTER: pointerWindow_ = t.window; break;
        case SDL_WINDOWEVENT_LEAVE: Forget(t.window); break;
        default: break;
    }
}

}  // namespace plat
