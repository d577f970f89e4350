#pragma once
// Builders for synthetic SDL events and a window that records what it receives.
#include <SDL.h>
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "platform/window/window.h"

namespace testsupport {

inline SDL_Event KeyEvent(uint32_t type, SDL_Keycode key, uint16_t mod = KMOD_NUM, uint8_t repeat = 0,
                          uint32_t windowId = 0) {
    SDL_Event e{};
    e.type = type;
    e.key.windowID = windowId;
    e.key.state = type == SDL_KEYDOWN ? SDL_PRESSED : SDL_RELEASED;
    e.key.repeat = repeat;
    e.key.keysym.sym = key;
    e.key.keysym.mod = mod;
    return e;
}

inline SDL_Event TextEvent(const char* utf8, uint32_t windowId = 0) {
    SDL_Event e{};
    e.type = SDL_TEXTINPUT;
    e.text.windowID = windowId;
    std::strncpy(e.text.text, utf8, sizeof e.text.text - 1);
    return e;
}

inline SDL_Event MotionEvent(int x, int y, uint32_t windowId = 0) {
    SDL_Event e{};
    e.type = SDL_MOUSEMOTION;
    e.motion.windowID = windowId;
    e.motion.x = x;
    e.motion.y = y;
    return e;
}

inline SDL_Event ButtonEvent(uint32_t type, uint8_t button, int x, int y, uint8_t clicks = 1, uint32_t windowId = 0) {
    SDL_Event e{};
    e.type = type;
    e.button.windowID = windowId;
    e.button.button = button;
    e.button.state = type == SDL_MOUSEBUTTONDOWN ? SDL_PRESSED : SDL_RELEASED;
    e.button.clicks = clicks;
    e.button.x = x;
    e.button.y = y;
    return e;
}

inline SDL_Event WheelEvent(float preciseY, int x, int y, bool flipped = false, uint32_t windowId = 0) {
    SDL_Event e{};
    e.type = SDL_MOUSEWHEEL;
    e.wheel.windowID = windowId;
    e.wheel.y = static_cast<int>(preciseY);
    e.wheel.preciseY = preciseY;
    e.wheel.direction = flipped ? SDL_MOUSEWHEEL_FLIPPED : SDL_MOUSEWHEEL_NORMAL;
    e.wheel.mouseX = x;
    e.wheel.mouseY = y;
    return e;
}

inline SDL_Event WindowEvent(uint8_t event, uint32_t windowId, int data1 = 0, int data2 = 0) {
    SDL_Event e{};
    e.type = SDL_WINDOWEVENT;
    e.window.event = event;
    e.window.windowID = windowId;
    e.window.data1 = data1;
    e.window.data2 = data2;
    return e;
}

// A window system with one registered class whose procedure records every
// message and hands it on to the default procedure.
class WindowFixture : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(system_.Ready()) << system_.LastError();
        plat::WindowClass cls;
        cls.name = L"MainWindow";
        cls.style = plat::kClassDoubleClicks;
        cls.procedure = [this](plat::WindowHandle w, uint32_t m, plat::WParam wp, plat::LParam lp) {
            received_.push_back(plat::Message{w, m, wp, lp, 0});
            return system_.DefWindowProc(w, m, wp, lp);
        };
        ASSERT_TRUE(system_.RegisterClass(cls));
    }

    plat::WindowHandle MakeWindow(int x = 100, int y = 50, int w = 320, int h = 200) {
        plat::WindowCreateParams p;
        p.className = L"MainWindow";
        p.title = L"Test";
        p.style = plat::kStylePopup | plat::kStyleCaption;
        p.x = x;
        p.y = y;
        p.width = w;
        p.height = h;
        plat::WindowHandle handle = system_.CreateWindow(p);
        EXPECT_NE(plat::kNoWindow, handle) << system_.LastError();
        return handle;
    }

    // Dispatches everything queued except paint and timer messages, which
    // never run out while pending.
    std::vector<plat::Message> Drain() {
        received_.clear();
        plat::Message m;
        while (system_.PeekMessage(&m, false) && m.id != plat::msg::kPaint && m.id != plat::msg::kTimer) {
            system_.PeekMessage(&m, true);
            if (m.id == plat::msg::kQuit) {
                received_.push_back(m);
                continue;
            }
            system_.DispatchMessage(m);
        }
        return received_;
    }

    static std::vector<plat::Message> Only(const std::vector<plat::Message>& all, std::vector<uint32_t> ids) {
        std::vector<plat::Message> out;
        for (const auto& m : all)
            for (uint32_t id : ids)
                if (m.id == id) out.push_back(m);
        return out;
    }

    // Before the system: its destructor still sends the windows their destroy message.
    std::vector<plat::Message> received_;
    plat::WindowSystem system_;
};

}  // namespace testsupport
