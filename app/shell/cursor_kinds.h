#pragma once
// The application's cursor kinds and what the desktop shows for each: 0 and
// 10 the arrow, 1 a pointing hand and 2 a gripping hand (the program's own
// two cursors), 3 the text beam, 4 forbidden, 5 move, 6-9 the four sizing
// arrows, 11 no cursor, 12 the arrow unless an image is set for it.
// Threads: any; nothing is shared.

#include <cstdint>
#include <optional>
#include <vector>

#include "platform/window/window.h"

inline constexpr int kCursorKindCount = 13;
inline constexpr int kCursorPointer = 0;
inline constexpr int kCursorHand = 1;
inline constexpr int kCursorDragging = 2;
inline constexpr int kCursorText = 3;
inline constexpr int kCursorNone = 11;
inline constexpr int kCursorImageOnly = 12;

struct CursorChoice {
    enum class Source { kSystem, kBuiltin, kNone };
    Source source = Source::kSystem;
    plat::SystemCursor system = plat::SystemCursor::Arrow;
    int builtin = 0;  // 0 the hand, 1 the gripping hand
};

// Kinds outside 0-12 show the arrow.
CursorChoice ChooseCursor(int kind);

// The pixels (32 x 32, black and white with transparency) and hot spot of a
// built-in cursor; `pixels` keeps them alive for the returned image.
plat::CursorImage BuiltinCursorImage(int which, std::vector<uint32_t>& pixels);
