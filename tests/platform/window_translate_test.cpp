// The SDL-event-to-message table, driven directly through the translator.
#include "platform/window/event_translate_internal.h"
#include "window_test_support.h"

namespace {

using namespace testsupport;
using plat::Message;
namespace msg = plat::msg;

class TranslateTest : public ::testing::Test {
protected:
    std::vector<Message> Run(const SDL_Event& e) {
        std::vector<Message> out;
        translator_.Translate(
            e, [this](uint32_t) { return target_; }, 0, out);
        return out;
    }
    plat::EventTranslator translator_;
    plat::TranslateTarget target_{7, true, 640, 480};
};

struct KeyCase {
    SDL_Keycode key;
    uint16_t mod;
    uint32_t vk;
};

void PrintTo(const KeyCase& c, std::ostream* os) { *os << "sdl key " << c.key << " -> vk " << c.vk; }

class VirtualKeyTest : public ::testing::TestWithParam<KeyCase> {};

TEST_P(VirtualKeyTest, MapsToTheClassicCode) {
    EXPECT_EQ(GetParam().vk, plat::VirtualKeyFromSdl(GetParam().key, GetParam().mod));
}

// Expected codes are the long-standing virtual-key numbers of a PC keyboard.
INSTANTIATE_TEST_SUITE_P(
    Keys, VirtualKeyTest,
    ::testing::Values(KeyCase{SDLK_a, 0, 0x41}, KeyCase{SDLK_m, 0, 0x4D}, KeyCase{SDLK_z, 0, 0x5A},
                      KeyCase{SDLK_0, 0, 0x30}, KeyCase{SDLK_9, 0, 0x39}, KeyCase{SDLK_F1, 0, 0x70},
                      KeyCase{SDLK_F10, 0, 0x79}, KeyCase{SDLK_F12, 0, 0x7B}, KeyCase{SDLK_F13, 0, 0x7C},
                      KeyCase{SDLK_LEFT, 0, 0x25}, KeyCase{SDLK_UP, 0, 0x26}, KeyCase{SDLK_RIGHT, 0, 0x27},
                      KeyCase{SDLK_DOWN, 0, 0x28}, KeyCase{SDLK_LSHIFT, 0, 0x10}, KeyCase{SDLK_RSHIFT, 0, 0x10},
                      KeyCase{SDLK_LCTRL, 0, 0x11}, KeyCase{SDLK_RCTRL, 0, 0x11}, KeyCase{SDLK_LALT, 0, 0x12},
                      KeyCase{SDLK_ESCAPE, 0, 0x1B}, KeyCase{SDLK_RETURN, 0, 0x0D}, KeyCase{SDLK_KP_ENTER, 0, 0x0D},
                      KeyCase{SDLK_TAB, 0, 0x09}, KeyCase{SDLK_SPACE, 0, 0x20}, KeyCase{SDLK_BACKSPACE, 0, 0x08},
                      KeyCase{SDLK_DELETE, 0, 0x2E}, KeyCase{SDLK_HOME, 0, 0x24}, KeyCase{SDLK_END, 0, 0x23},
                      KeyCase{SDLK_PAGEUP, 0, 0x21}, KeyCase{SDLK_PAGEDOWN, 0, 0x22}, KeyCase{SDLK_INSERT, 0, 0x2D},
                      KeyCase{SDLK_KP_0, KMOD_NUM, 0x60}, KeyCase{SDLK_KP_7, KMOD_NUM, 0x67},
                      KeyCase{SDLK_KP_9, KMOD_NUM, 0x69}, KeyCase{SDLK_KP_PERIOD, KMOD_NUM, 0x6E},
                      KeyCase{SDLK_KP_PLUS, 0, 0x6B}, KeyCase{SDLK_KP_MINUS, 0, 0x6D},
                      KeyCase{SDLK_KP_MULTIPLY, 0, 0x6A}, KeyCase{SDLK_KP_DIVIDE, 0, 0x6F},
                      // Without Num Lock the keypad navigates.
                      KeyCase{SDLK_KP_7, 0, 0x24}, KeyCase{SDLK_KP_8, 0, 0x26}, KeyCase{SDLK_KP_3, 0, 0x22},
                      KeyCase{SDLK_KP_5, 0, 0x0C}, KeyCase{SDLK_KP_PERIOD, 0, 0x2E}, KeyCase{SDLK_MINUS, 0, 0xBD},
                      KeyCase{SDLK_PERIOD, 0, 0xBE}, KeyCase{SDLK_UNKNOWN, 0, 0}));

TEST_F(TranslateTest, KeyMessagesCarryRepeatTransitionAndExtendedBits) {
    auto down = Run(KeyEvent(SDL_KEYDOWN, SDLK_LEFT));
    ASSERT_EQ(1u, down.size());
    EXPECT_EQ(msg::kKeyDown, down[0].id);
    EXPECT_EQ(7u, down[0].window);
    EXPECT_EQ(0x25u, down[0].wParam);
    EXPECT_EQ(1u | (1u << 24), static_cast<uint32_t>(down[0].lParam));  // count 1, extended key

    auto repeat = Run(KeyEvent(SDL_KEYDOWN, SDLK_a, KMOD_NONE, 1));
    ASSERT_EQ(1u, repeat.size());
    EXPECT_EQ(1u | (1u << 30), static_cast<uint32_t>(repeat[0].lParam));  // was already down

    auto up = Run(KeyEvent(SDL_KEYUP, SDLK_a, KMOD_NONE));
    ASSERT_EQ(1u, up.size());
    EXPECT_EQ(msg::kKeyUp, up[0].id);
    EXPECT_EQ(1u | (1u << 30) | (1u << 31), static_cast<uint32_t>(up[0].lParam));

    EXPECT_TRUE(Run(KeyEvent(SDL_KEYDOWN, SDLK_UNKNOWN)).empty());
}

TEST_F(TranslateTest, AltMakesSystemKeysButCtrlAltStaysAnOrdinaryKey) {
    auto alt = Run(KeyEvent(SDL_KEYDOWN, SDLK_LALT, KMOD_LALT));
    ASSERT_EQ(1u, alt.size());
    EXPECT_EQ(msg::kSysKeyDown, alt[0].id);
    EXPECT_EQ(0x12u, alt[0].wParam);

    auto altEnter = Run(KeyEvent(SDL_KEYDOWN, SDLK_RETURN, KMOD_LALT));
    ASSERT_EQ(2u, altEnter.size());
    EXPECT_EQ(msg::kSysKeyDown, altEnter[0].id);
    EXPECT_EQ(0x0Du, altEnter[0].wParam);
    EXPECT_NE(0u, static_cast<uint32_t>(altEnter[0].lParam) & (1u << 29));
    EXPECT_EQ(msg::kSysChar, altEnter[1].id);
    EXPECT_EQ(13u, altEnter[1].wParam);

    auto altUp = Run(KeyEvent(SDL_KEYUP, SDLK_LALT, KMOD_NONE));
    ASSERT_EQ(1u, altUp.size());
    EXPECT_EQ(msg::kSysKeyUp, altUp[0].id);

    auto altGr = Run(KeyEvent(SDL_KEYDOWN, SDLK_q, KMOD_LCTRL | KMOD_RALT));
    ASSERT_FALSE(altGr.empty());
    EXPECT_EQ(msg::kKeyDown, altGr[0].id);

    auto f10 = Run(KeyEvent(SDL_KEYDOWN, SDLK_F10, KMOD_NONE));
    ASSERT_EQ(1u, f10.size());
    EXPECT_EQ(msg::kSysKeyDown, f10[0].id);
}

TEST_F(TranslateTest, EditingKeysAndCtrlLettersTypeControlCharacters) {
    struct Case {
        SDL_Keycode key;
        uint16_t mod;
        uint32_t ch;
    };
    // Ctrl+letter is the letter's position in the alphabet: C 3, V 22, X 24, Z 26.
    for (Case c : {Case{SDLK_RETURN, 0, 13}, Case{SDLK_BACKSPACE, 0, 8}, Case{SDLK_TAB, 0, 9}, Case{SDLK_ESCAPE, 0, 27},
                   Case{SDLK_c, KMOD_LCTRL, 3}, Case{SDLK_v, KMOD_RCTRL, 22}, Case{SDLK_x, KMOD_LCTRL, 24},
                   Case{SDLK_z, KMOD_LCTRL, 26}, Case{SDLK_a, KMOD_LCTRL, 1}}) {
        auto out = Run(KeyEvent(SDL_KEYDOWN, c.key, c.mod));
        ASSERT_EQ(2u, out.size()) << c.key;
        EXPECT_EQ(msg::kKeyDown, out[0].id);
        EXPECT_EQ(msg::kChar, out[1].id);
        EXPECT_EQ(c.ch, out[1].wParam) << c.key;
    }
    // A plain letter types through text input, not through its key.
    EXPECT_EQ(1u, Run(KeyEvent(SDL_KEYDOWN, SDLK_c, KMOD_NONE)).size());
    EXPECT_EQ(1u, Run(KeyEvent(SDL_KEYUP, SDLK_RETURN, KMOD_NONE)).size());
}

TEST_F(TranslateTest, TextBecomesUtf16CodeUnitsWithSurrogatePairsOutsideTheBasicPlane) {
    // "aé€" then U+1F600 (four UTF-8 bytes).
    auto out = Run(TextEvent("a\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80"));
    const char32_t emoji = 0x1F600;
    const uint32_t high = 0xD800 + ((emoji - 0x10000) >> 10);
    const uint32_t low = 0xDC00 + ((emoji - 0x10000) & 0x3FF);
    std::vector<uint32_t> expected{'a', 0xE9, 0x20AC, high, low};
    ASSERT_EQ(expected.size(), out.size());
    for (size_t i = 0; i < out.size(); ++i) {
        EXPECT_EQ(msg::kChar, out[i].id);
        EXPECT_EQ(expected[i], out[i].wParam) << i;
        EXPECT_EQ(1, out[i].lParam);
    }
    // A stray continuation byte is one replacement character, not a crash or a drop.
    auto bad = Run(TextEvent("\x80z"));
    ASSERT_EQ(2u, bad.size());
    EXPECT_EQ(0xFFFDu, bad[0].wParam);
    EXPECT_EQ(static_cast<uint32_t>('z'), bad[1].wParam);
}

TEST_F(TranslateTest, MouseButtonsReportClientPositionAndHeldButtonsAndModifiers) {
    Run(KeyEvent(SDL_KEYDOWN, SDLK_LSHIFT, KMOD_LSHIFT));
    auto down = Run(ButtonEvent(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_LEFT, 30, 40));
    ASSERT_EQ(1u, down.size());
    EXPECT_EQ(msg::kLButtonDown, down[0].id);
    EXPECT_EQ(plat::kMkLButton | plat::kMkShift, down[0].wParam);
    EXPECT_EQ(30, plat::LowSigned(static_cast<uint32_t>(down[0].lParam)));
    EXPECT_EQ(40, plat::HighSigned(static_cast<uint32_t>(down[0].lParam)));

    auto right = Run(ButtonEvent(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_RIGHT, 31, 41));
    EXPECT_EQ(msg::kRButtonDown, right[0].id);
    EXPECT_EQ(plat::kMkLButton | plat::kMkRButton | plat::kMkShift, right[0].wParam);

    // Dragged to the left of and above the window: the halves stay negative.
    auto move = Run(MotionEvent(-5, -300));
    EXPECT_EQ(msg::kMouseMove, move[0].id);
    EXPECT_EQ(-5, plat::LowSigned(static_cast<uint32_t>(move[0].lParam)));
    EXPECT_EQ(-300, plat::HighSigned(static_cast<uint32_t>(move[0].lParam)));

    auto up = Run(ButtonEvent(SDL_MOUSEBUTTONUP, SDL_BUTTON_LEFT, 1, 2));
    EXPECT_EQ(msg::kLButtonUp, up[0].id);
    EXPECT_EQ(plat::kMkRButton | plat::kMkShift, up[0].wParam);  // the released button is no longer held

    Run(KeyEvent(SDL_KEYUP, SDLK_LSHIFT, KMOD_NONE));
    auto middle = Run(ButtonEvent(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_MIDDLE, 0, 0));
    EXPECT_EQ(msg::kMButtonDown, middle[0].id);
    EXPECT_EQ(plat::kMkRButton | plat::kMkMButton, middle[0].wParam);
    EXPECT_TRUE(Run(ButtonEvent(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_X1, 0, 0)).empty());
}

TEST_F(TranslateTest, EverySecondClickIsADoubleClickWhenTheClassAsksForThem) {
    const uint32_t expected[] = {msg::kLButtonDown, msg::kLButtonDblClk, msg::kLButtonDown, msg::kLButtonDblClk};
    for (uint8_t clicks = 1; clicks <= 4; ++clicks) {
        auto out = Run(ButtonEvent(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_LEFT, 5, 5, clicks));
        EXPECT_EQ(expected[clicks - 1], out[0].id) << int(clicks);
        Run(ButtonEvent(SDL_MOUSEBUTTONUP, SDL_BUTTON_LEFT, 5, 5, clicks));
    }
    EXPECT_EQ(msg::kRButtonDblClk, Run(ButtonEvent(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_RIGHT, 5, 5, 2))[0].id);
    EXPECT_EQ(msg::kMButtonDblClk, Run(ButtonEvent(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_MIDDLE, 5, 5, 2))[0].id);
    target_.doubleClicks = false;
    EXPECT_EQ(msg::kLButtonDown, Run(ButtonEvent(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_LEFT, 5, 5, 2))[0].id);
}

TEST_F(TranslateTest, WheelDeltaIsInNotchesOf120WithClientPosition) {
    struct Case {
        float amount;
        bool flipped;
        int delta;
    };
    for (Case c : {Case{1.0f, false, 120}, Case{-1.0f, false, -120}, Case{3.0f, false, 360}, Case{0.5f, false, 60},
                   Case{1.0f, true, -120}, Case{-2.0f, true, 240}}) {
        auto out = Run(WheelEvent(c.amount, 12, 34, c.flipped));
        ASSERT_EQ(1u, out.size());
        EXPECT_EQ(msg::kMouseWheel, out[0].id);
        EXPECT_EQ(c.delta, plat::HighSigned(out[0].wParam)) << c.amount;
        EXPECT_EQ(0, plat::LowSigned(out[0].wParam));
        EXPECT_EQ(plat::MakeLParam(12, 34), out[0].lParam);
    }
    EXPECT_TRUE(Run(WheelEvent(0.0f, 0, 0)).empty());
}

TEST_F(TranslateTest, WindowEventsBecomeActivationSizeMoveCloseAndPaint) {
    auto gained = Run(WindowEvent(SDL_WINDOWEVENT_FOCUS_GAINED, 1));
    ASSERT_EQ(2u, gained.size());
    EXPECT_EQ(msg::kActivate, gained[0].id);
    EXPECT_EQ(plat::kWaActive, gained[0].wParam);
    EXPECT_EQ(msg::kActivateApp, gained[1].id);
    EXPECT_EQ(1u, gained[1].wParam);
    auto lost = Run(WindowEvent(SDL_WINDOWEVENT_FOCUS_LOST, 1));
    EXPECT_EQ(0u, lost[1].wParam);

    auto minimised = Run(WindowEvent(SDL_WINDOWEVENT_MINIMIZED, 1));
    EXPECT_EQ(msg::kSize, minimised[0].id);
    EXPECT_EQ(plat::kSizeMinimized, minimised[0].wParam);
    auto restored = Run(WindowEvent(SDL_WINDOWEVENT_RESTORED, 1));
    EXPECT_EQ(plat::kSizeRestored, restored[0].wParam);
    EXPECT_EQ(plat::MakeLParam(640, 480), restored[0].lParam);
    auto maximised = Run(WindowEvent(SDL_WINDOWEVENT_MAXIMIZED, 1));
    EXPECT_EQ(plat::kSizeMaximized, maximised[0].wParam);
    auto resized = Run(WindowEvent(SDL_WINDOWEVENT_SIZE_CHANGED, 1, 800, 600));
    EXPECT_EQ(plat::MakeLParam(800, 600), resized[0].lParam);
    auto moved = Run(WindowEvent(SDL_WINDOWEVENT_MOVED, 1, -20, 15));
    EXPECT_EQ(msg::kMove, moved[0].id);
    EXPECT_EQ(plat::MakeLParam(-20, 15), moved[0].lParam);
    EXPECT_EQ(msg::kClose, Run(WindowEvent(SDL_WINDOWEVENT_CLOSE, 1))[0].id);
    EXPECT_EQ(msg::kPaint, Run(WindowEvent(SDL_WINDOWEVENT_EXPOSED, 1))[0].id);

    SDL_Event quit{};
    quit.type = SDL_QUIT;
    auto ended = Run(quit);
    ASSERT_EQ(1u, ended.size());
    EXPECT_EQ(msg::kEndSession, ended[0].id);
    EXPECT_EQ(plat::kBroadcast, ended[0].window);
}

TEST_F(TranslateTest, EventsForUnknownWindowsAreDropped) {
    target_.window = plat::kNoWindow;
    EXPECT_TRUE(Run(KeyEvent(SDL_KEYDOWN, SDLK_a)).empty());
    EXPECT_TRUE(Run(MotionEvent(1, 1)).empty());
    EXPECT_TRUE(Run(WindowEvent(SDL_WINDOWEVENT_CLOSE, 99)).empty());
}

}  // namespace
