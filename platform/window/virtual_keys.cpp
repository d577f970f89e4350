// SDL keycodes to virtual-key codes. SDL's keycodes already follow the
// keyboard layout, as the virtual keys do, so letters map by character.
#include "platform/window/virtual_keys.h"
#include "platform/window/event_translate_internal.h"

namespace plat {
namespace {

struct KeyPair {
    SDL_Keycode sdl;
    uint32_t vk;
};

constexpr KeyPair kKeys[] = {
    {SDLK_BACKSPACE, vk::kBack},
    {SDLK_TAB, vk::kTab},
    {SDLK_CLEAR, vk::kClear},
    {SDLK_RETURN, vk::kReturn},
    {SDLK_RETURN2, vk::kReturn},
    {SDLK_KP_ENTER, vk::kReturn},
    {SDLK_LSHIFT, vk::kShift},
    {SDLK_RSHIFT, vk::kShift},
    {SDLK_LCTRL, vk::kControl},
    {SDLK_RCTRL, vk::kControl},
    {SDLK_LALT, vk::kMenu},
    {SDLK_RALT, vk::kMenu},
    {SDLK_PAUSE, vk::kPause},
    {SDLK_CAPSLOCK, vk::kCapital},
    {SDLK_ESCAPE, vk::kEscape},
    {SDLK_SPACE, vk::kSpace},
    {SDLK_PAGEUP, vk::kPrior},
    {SDLK_PAGEDOWN, vk::kNext},
    {SDLK_END, vk::kEnd},
    {SDLK_HOME, vk::kHome},
    {SDLK_LEFT, vk::kLeft},
    {SDLK_UP, vk::kUp},
    {SDLK_RIGHT, vk::kRight},
    {SDLK_DOWN, vk::kDown},
    {SDLK_PRINTSCREEN, vk::kSnapshot},
    {SDLK_INSERT, vk::kInsert},
    {SDLK_DELETE, vk::kDelete},
    {SDLK_LGUI, vk::kLWin},
    {SDLK_RGUI, vk::kRWin},
    {SDLK_APPLICATION, vk::kApps},
    {SDLK_KP_MULTIPLY, vk::kMultiply},
    {SDLK_KP_PLUS, vk::kAdd},
    {SDLK_KP_MINUS, vk::kSubtract},
    {SDLK_KP_DIVIDE, vk::kDivide},
    {SDLK_NUMLOCKCLEAR, vk::kNumLock},
    {SDLK_SCROLLLOCK, vk::kScroll},
    {SDLK_SEMICOLON, vk::kOemSemicolon},
    {SDLK_EQUALS, vk::kOemPlus},
    {SDLK_PLUS, vk::kOemPlus},
    {SDLK_COMMA, vk::kOemComma},
    {SDLK_MINUS, vk::kOemMinus},
    {SDLK_PERIOD, vk::kOemPeriod},
    {SDLK_SLASH, vk::kOemSlash},
    {SDLK_BACKQUOTE, vk::kOemBackquote},
    {SDLK_LEFTBRACKET, vk::kOemOpenBracket},
    {SDLK_BACKSLASH, vk::kOemBackslash},
    {SDLK_RIGHTBRACKET, vk::kOemCloseBracket},
    {SDLK_QUOTE, vk::kOemQuote},
};

// The keypad's digits and point without Num Lock, in the order 0-9, '.'.
constexpr uint32_t kKeypadNavigation[] = {vk::kInsert, vk::kEnd,  vk::kDown, vk::kNext,  vk::kLeft,  vk::kClear,
                                          vk::kRight,  vk::kHome, vk::kUp,   vk::kPrior, vk::kDelete};

int KeypadIndex(SDL_Keycode key) {
    if (key == SDLK_KP_0) return 0;
    if (key >= SDLK_KP_1 && key <= SDLK_KP_9) return 1 + (key - SDLK_KP_1);
    if (key == SDLK_KP_PERIOD) return 10;
    return -1;
}

}  // namespace

uint32_t VirtualKeyFromSdl(SDL_Keycode key, uint16_t modifiers) {
    if (key >= SDLK_a && key <= SDLK_z) return 'A' + static_cast<uint32_t>(key - SDLK_a);
    if (key >= SDLK_0 && key <= SDLK_9) return '0' + static_cast<uint32_t>(key - SDLK_0);
    if (key >= SDLK_F1 && key <= SDLK_F12) return vk::kF1 + static_cast<uint32_t>(key - SDLK_F1);
    if (key >= SDLK_F13 && key <= SDLK_F24) return vk::kF1 + 12 + static_cast<uint32_t>(key - SDLK_F13);
    if (int pad = KeypadIndex(key); pad >= 0) {
        if (!(modifiers & KMOD_NUM)) return kKeypadNavigation[pad];
        return pad == 10 ? vk::kDecimal : vk::kNumpad0 + static_cast<uint32_t>(pad);
    }
    for (const KeyPair& k : kKeys)
        if (k.sdl == key) return k.vk;
    return 0;
}

bool IsExtendedKey(SDL_Keycode key) {
    switch (key) {
        case SDLK_RCTRL:
        case SDLK_RALT:
        case SDLK_INSERT:
        case SDLK_DELETE:
        case SDLK_HOME:
        case SDLK_END:
        case SDLK_PAGEUP:
        case SDLK_PAGEDOWN:
        case SDLK_LEFT:
        case SDLK_RIGHT:
        case SDLK_UP:
        case SDLK_DOWN:
        case SDLK_KP_ENTER:
        case SDLK_KP_DIVIDE:
        case SDLK_NUMLOCKCLEAR:
        case SDLK_PRINTSCREEN:
        case SDLK_LGUI:
        case SDLK_RGUI:
        case SDLK_APPLICATION: return true;
        default: return false;
    }
}

}  // namespace plat
