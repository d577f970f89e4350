#pragma once
// Virtual-key codes carried by key messages: layout-independent numbers for
// the keys the game and its widgets test for. Letters and digits use their
// upper-case character codes ('A' is 0x41, '0' is 0x30).

#include <cstdint>

namespace plat::vk {
constexpr uint32_t kBack = 0x08;
constexpr uint32_t kTab = 0x09;
constexpr uint32_t kClear = 0x0C;
constexpr uint32_t kReturn = 0x0D;
constexpr uint32_t kShift = 0x10;
constexpr uint32_t kControl = 0x11;
constexpr uint32_t kMenu = 0x12;  // Alt
constexpr uint32_t kPause = 0x13;
constexpr uint32_t kCapital = 0x14;
constexpr uint32_t kEscape = 0x1B;
constexpr uint32_t kSpace = 0x20;
constexpr uint32_t kPrior = 0x21;  // Page Up
constexpr uint32_t kNext = 0x22;   // Page Down
constexpr uint32_t kEnd = 0x23;
constexpr uint32_t kHome = 0x24;
constexpr uint32_t kLeft = 0x25;
constexpr uint32_t kUp = 0x26;
constexpr uint32_t kRight = 0x27;
constexpr uint32_t kDown = 0x28;
constexpr uint32_t kSnapshot = 0x2C;
constexpr uint32_t kInsert = 0x2D;
constexpr uint32_t kDelete = 0x2E;
constexpr uint32_t kLWin = 0x5B;
constexpr uint32_t kRWin = 0x5C;
constexpr uint32_t kApps = 0x5D;
constexpr uint32_t kNumpad0 = 0x60;  // to kNumpad0 + 9
constexpr uint32_t kMultiply = 0x6A;
constexpr uint32_t kAdd = 0x6B;
constexpr uint32_t kSubtract = 0x6D;
constexpr uint32_t kDecimal = 0x6E;
constexpr uint32_t kDivide = 0x6F;
constexpr uint32_t kF1 = 0x70;  // to kF1 + 23 for F24
constexpr uint32_t kNumLock = 0x90;
constexpr uint32_t kScroll = 0x91;
constexpr uint32_t kOemSemicolon = 0xBA;
constexpr uint32_t kOemPlus = 0xBB;
constexpr uint32_t kOemComma = 0xBC;
constexpr uint32_t kOemMinus = 0xBD;
constexpr uint32_t kOemPeriod = 0xBE;
constexpr uint32_t kOemSlash = 0xBF;
constexpr uint32_t kOemBackquote = 0xC0;
constexpr uint32_t kOemOpenBracket = 0xDB;
constexpr uint32_t kOemBackslash = 0xDC;
constexpr uint32_t kOemCloseBracket = 0xDD;
constexpr uint32_t kOemQuote = 0xDE;
}  // namespace plat::vk
