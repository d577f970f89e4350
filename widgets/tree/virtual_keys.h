#pragma once
// Virtual-key codes as the window layer delivers them (the Win32 numbering).
// Only the keys the widget tree itself reads are named here.

#include <cstdint>

namespace vkey {
inline constexpr uint32_t kTab = 9;
inline constexpr uint32_t kShift = 16;
inline constexpr uint32_t kControl = 17;
inline constexpr uint32_t kMenu = 18;  // Alt
// The key table records codes below this one; higher codes still reach the focus widget.
inline constexpr uint32_t kTableSize = 255;
}  // namespace vkey
