#pragma once
// Window message records as the application's input queue expects them: a
// target window, a message number, a 32-bit wParam and a 32-bit lParam, with
// the classic numbering and bit layouts (coordinates as two signed 16-bit
// halves, key data with repeat count and transition bits, button flags).

#include <cstdint>

namespace plat {

// 0 is "no window"; kBroadcast posts to every top-level window.
using WindowHandle = uint32_t;
constexpr WindowHandle kNoWindow = 0;
constexpr WindowHandle kBroadcast = 0xFFFF;

using WParam = uint32_t;
using LParam = int32_t;
using LResult = intptr_t;

struct Message {
    WindowHandle window = kNoWindow;
    uint32_t id = 0;
    WParam wParam = 0;
    LParam lParam = 0;
    uint32_t time = 0;  // milliseconds since the window system started
};

namespace msg {
constexpr uint32_t kDestroy = 0x0002;
constexpr uint32_t kMove = 0x0003;
constexpr uint32_t kSize = 0x0005;
constexpr uint32_t kActivate = 0x0006;
constexpr uint32_t kEnable = 0x000A;
constexpr uint32_t kPaint = 0x000F;
constexpr uint32_t kClose = 0x0010;
constexpr uint32_t kQueryOpen = 0x0013;
constexpr uint32_t kQuit = 0x0012;
constexpr uint32_t kSysColorChange = 0x0015;
constexpr uint32_t kEndSession = 0x0016;
constexpr uint32_t kActivateApp = 0x001C;
constexpr uint32_t kSetCursor = 0x0020;
constexpr uint32_t kDisplayChange = 0x007E;
constexpr uint32_t kNcLButtonDown = 0x00A1;  // a press on the frame (the desktop's move or size loop)
constexpr uint32_t kKeyDown = 0x0100;
constexpr uint32_t kKeyUp = 0x0101;
constexpr uint32_t kChar = 0x0102;
constexpr uint32_t kSysKeyDown = 0x0104;
constexpr uint32_t kSysKeyUp = 0x0105;
constexpr uint32_t kSysChar = 0x0106;
constexpr uint32_t kSysCommand = 0x0112;
constexpr uint32_t kTimer = 0x0113;
constexpr uint32_t kMouseMove = 0x0200;
constexpr uint32_t kLButtonDown = 0x0201;
constexpr uint32_t kLButtonUp = 0x0202;
constexpr uint32_t kLButtonDblClk = 0x0203;
constexpr uint32_t kRButtonDown = 0x0204;
constexpr uint32_t kRButtonUp = 0x0205;
constexpr uint32_t kRButtonDblClk = 0x0206;
constexpr uint32_t kMButtonDown = 0x0207;
constexpr uint32_t kMButtonUp = 0x0208;
constexpr uint32_t kMButtonDblClk = 0x0209;
constexpr uint32_t kMouseWheel = 0x020A;
// Numbers handed out by RegisterWindowMessage.
constexpr uint32_t kFirstRegistered = 0xC000;
constexpr uint32_t kLastRegistered = 0xFFFF;
}  // namespace msg

// wParam of mouse messages (and the low half of the wheel's): what is held.
constexpr WParam kMkLButton = 0x01;
constexpr WParam kMkRButton = 0x02;
constexpr WParam kMkShift = 0x04;
constexpr WParam kMkControl = 0x08;
constexpr WParam kMkMButton = 0x10;

// One notch of a mouse wheel.
constexpr int kWheelDelta = 120;

// wParam of the size message.
constexpr WParam kSizeRestored = 0;
constexpr WParam kSizeMinimized = 1;
constexpr WParam kSizeMaximized = 2;

// wParam of the activate message (low half; the high half is 1 when minimised).
constexpr WParam kWaInactive = 0;
constexpr WParam kWaActive = 1;

// wParam of the system-command message.
constexpr WParam kScClose = 0xF060;
constexpr WParam kScMinimize = 0xF020;
constexpr WParam kScRestore = 0xF120;

// Key-message lParam bits above the 16-bit repeat count.
constexpr uint32_t kKeyExtended = 1u << 24;
constexpr uint32_t kKeyAltDown = 1u << 29;
constexpr uint32_t kKeyWasDown = 1u << 30;
constexpr uint32_t kKeyReleased = 1u << 31;

constexpr LParam MakeLParam(int low, int high) {
    return static_cast<LParam>((static_cast<uint32_t>(static_cast<uint16_t>(low))) |
                               (static_cast<uint32_t>(static_cast<uint16_t>(high)) << 16));
}
// Signed halves, so positions left of or above a capturing window stay negative.
constexpr int LowSigned(uint32_t v) { return static_cast<int16_t>(v & 0xFFFF); }
constexpr int HighSigned(uint32_t v) { return static_cast<int16_t>(v >> 16); }

}  // namespace plat
