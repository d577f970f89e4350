#pragma once
// The pass flags steer every walk of the widget tree. One 32-bit word is
// handed down the tree; each container ORs in its add mask and clears its
// remove mask before it acts and before its children see the word.

#include <cstdint>

namespace pass_flag {
inline constexpr uint32_t kUpdate = 1;
inline constexpr uint32_t kDraw = 2;
inline constexpr uint32_t kMouse = 4;
inline constexpr uint32_t kFocus = 8;
// Drawing options, read when kDraw is in force.
inline constexpr uint32_t kBatching = 16;
inline constexpr uint32_t kDrawOrderByPriority = 32;
inline constexpr uint32_t kOffscreen = 64;
}  // namespace pass_flag

inline uint32_t ApplyFlagMasks(uint32_t flags, uint32_t add, uint32_t remove) { return (flags | add) & ~remove; }

// What one pass carries: the flags for widgets at or above the modal widget,
// the flags for widgets beneath it, and whether the walk has reached the
// modal widget yet. Once set, pastModal stays set for the rest of the walk,
// so it is shared by reference while the two words are saved and restored
// around each container.
struct PassFlags {
    uint32_t normal = 0;
    uint32_t belowModal = 0;
    bool pastModal = true;

    uint32_t Effective() const { return pastModal ? normal : belowModal; }
};
