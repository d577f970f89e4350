#include "app/shell/cursor_kinds.h"

#include <cstring>

namespace {

// '#' black, '.' white, anything else transparent. Rows shorter than 32 are
// transparent to the right; missing rows at the bottom likewise.
constexpr const char* kPointingHand[] = {
    "",
    "",
    "",
    "",
    "          ##",
    "         #..#",
    "         #..#",
    "         #..#",
    "         #..###",
    "         #..#..###",
    "         #..#..#..##",
    "     ### #..#..#..#.#",
    "     #..##........#.#",
    "     #...#..........#",
    "      #.............#",
    "      #.............#",
    "       #............#",
    "       #...........#",
    "        #..........#",
    "        #.........#",
    "         #........#",
    "         #........#",
    "         ##########",
};

constexpr const char* kGrippingHand[] = {
    "",
    "",
    "",
    "",
    "",
    "",
    "",
    "",
    "            ## ## ##",
    "           #..#..#..##",
    "           #..#..#..#.#",
    "         ###........#.#",
    "        #..#..........#",
    "        #.............#",
    "         #............#",
    "         #............#",
    "          #..........#",
    "          #.........#",
    "           #........#",
    "           #........#",
    "           ##########",
};

struct Art {
    const char* const* rows;
    int count;
    int hotX;
    int hotY;
};

constexpr Art kArts[2] = {
    {kPointingHand, static_cast<int>(sizeof(kPointingHand) / sizeof(kPointingHand[0])), 11, 4},
    {kGrippingHand, static_cast<int>(sizeof(kGrippingHand) / sizeof(kGrippingHand[0])), 15, 10},
};

constexpr int kSide = 32;

}  // namespace

CursorChoice ChooseCursor(int kind) {
    using plat::SystemCursor;
    CursorChoice c;
    switch (kind) {
        case 1: c.source = CursorChoice::Source::kBuiltin, c.builtin = 0; break;
        case 2: c.source = CursorChoice::Source::kBuiltin, c.builtin = 1; break;
        case 3: c.system = SystemCursor::IBeam; break;
        case 4: c.system = SystemCursor::No; break;
        case 5: c.system = SystemCursor::SizeAll; break;
        case 6: c.system = SystemCursor::SizeNESW; break;
        case 7: c.system = SystemCursor::SizeNS; break;
        case 8: c.system = SystemCursor::SizeNWSE; break;
        case 9: c.system = SystemCursor::SizeWE; break;
        case 11: c.source = CursorChoice::Source::kNone; break;
        default: break;  // 0, 10, 12 and anything unknown: the arrow
    }
    return c;
}

plat::CursorImage BuiltinCursorImage(int which, std::vector<uint32_t>& pixels) {
    const Art& art = kArts[which == 1 ? 1 : 0];
    pixels.assign(static_cast<size_t>(kSide) * kSide, 0u);
    for (int y = 0; y < art.count && y < kSide; ++y) {
        const char* row = art.rows[y];
        const int length = static_cast<int>(std::strlen(row));
        for (int x = 0; x < length && x < kSide; ++x) {
            uint32_t& p = pixels[static_cast<size_t>(y) * kSide + x];
            if (row[x] == '#') p = 0xFF000000u;
            if (row[x] == '.') p = 0xFFFFFFFFu;
        }
    }
    plat::CursorImage image;
    image.argb = pixels.data();
    image.width = kSide;
    image.height = kSide;
    image.hotX = art.hotX;
    image.hotY = art.hotY;
    return image;
}
