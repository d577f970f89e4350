#include "tools/parkart/people_art.h"

#include <cmath>
#include <filesystem>

namespace parkart {

namespace {

// The feet stand 14 pixels above the cel's foot, near the middle of the tile
// whose bottom corner the grid puts the foot on.
constexpr int kCelW = 28, kCelH = 58, kFrames = 4;
constexpr float kFeet = kCelH - 14.0f;

struct Look {
    const char* type;
    Rgba shirt, trousers, hair, skin;
    bool cap;
};

const Look kLooks[2] = {
    // A family day out: warm shirt, sun hat.
    {"picnicker", Hex(0xF4A259), Hex(0x5B8E7D), Hex(0x6B4226), Hex(0xF2C9A0), true},
    // Here for the rides: bold colours, spiky hair.
    {"daredevil", Hex(0x3A86FF), Hex(0x22223B), Hex(0x1B1B1B), Hex(0xC68B59), false},
};

}  // namespace

Canvas VisitorCel(int kind, int row, int frame) {
    const Look& look = kLooks[kind];
    Canvas c(kCelW, kCelH);
    const float cx = kCelW / 2.0f;
    const float swing = std::sin(static_cast<float>(frame) * 3.14159265f / 2) * 4;
    const float bob = frame % 2 == 0 ? 0 : -1;
    // Facing away (row 0, up and right) or towards the viewer (row 1, down and right).
    const float lean = 1.5f;
    c.Ellipse({cx, kFeet + 2}, 7, 2.5f, Hex(0x1B1430, 0.25f));
    // Legs and feet swinging in turn.
    c.Stroke({{cx - 2, 30 + bob}, {cx - 2 + swing * 0.6f, kFeet}}, 2.2f, look.trousers);
    c.Stroke({{cx + 2, 30 + bob}, {cx + 2 - swing * 0.6f, kFeet}}, 2.2f, Darker(look.trousers, 0.2f));
    // Arms behind the body when walking away, in front when coming.
    auto arms = [&] {
        c.Stroke({{cx - 5, 20 + bob}, {cx - 6 - swing * 0.5f, 29 + bob}}, 1.7f, look.skin);
        c.Stroke({{cx + 5, 20 + bob}, {cx + 6 + swing * 0.5f, 29 + bob}}, 1.7f, Darker(look.skin, 0.15f));
    };
    if (row == 0) arms();
    c.RoundRect(cx - 6, 17 + bob, cx + 6, 32 + bob, 4, look.shirt, Darker(look.shirt, 0.2f));
    if (row == 1) arms();
    const Point head{cx + (row == 0 ? lean : lean), 11 + bob};
    c.Disc(head, 6, look.skin);
    if (row == 0) {
        c.Disc({head.x, head.y - 0.5f}, 6, look.hair);  // the back of the head
    } else {
        c.Ellipse({head.x, head.y - 4}, 6, 3, look.hair);
        c.Disc({head.x + 1.5f, head.y}, 0.9f, Hex(0x1B1430));
        c.Disc({head.x + 4.0f, head.y}, 0.9f, Hex(0x1B1430));
        c.Stroke({{head.x + 2, head.y + 3}, {head.x + 4, head.y + 2.6f}}, 0.5f, Hex(0x8C3B2E));
    }
    if (look.cap) {
        c.Ellipse({head.x, head.y - 4}, 9, 2.2f, Hex(0xFFE08A));
        c.Ellipse({head.x, head.y - 6}, 5.5f, 3.5f, Hex(0xFFE08A));
        c.Stroke({{head.x - 5, head.y - 5}, {head.x + 5, head.y - 5}}, 0.8f, Hex(0xE4572E));
    } else {
        for (int i = -2; i <= 2; ++i)
            c.Stroke({{head.x + i * 2.2f, head.y - 4}, {head.x + i * 2.8f, head.y - 9}}, 1.1f, look.hair);
    }
    return c;
}

bool DrawVisitors(const std::string& root) {
    const std::string folder = root + "/images/park";
    std::filesystem::create_directories(folder);
    bool ok = true;
    for (int kind = 0; kind < 2; ++kind) {
        Canvas sheet(kFrames * kCelW, 2 * kCelH);
        for (int row = 0; row < 2; ++row)
            for (int frame = 0; frame < kFrames; ++frame)
                sheet.Draw(VisitorCel(kind, row, frame), frame * kCelW, row * kCelH);
        ok &= Save(sheet, folder + "/" + kLooks[kind].type + ".png");
    }
    return ok;
}

}  // namespace parkart
