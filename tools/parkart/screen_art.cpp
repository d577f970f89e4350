#include "tools/parkart/screen_art.h"

#include <algorithm>
#include <cmath>
#include <filesystem>

#include "tools/parkart/building_art.h"
#include "tools/parkart/ground_art.h"
#include "tools/parkart/iso.h"

namespace parkart {

namespace {

constexpr float kPi = 3.14159265f;
const Rgba kNavy = Hex(0x16324F), kCream = Hex(0xFFF4DC), kWood = Hex(0xB5835A), kWoodDark = Hex(0x7A5235);

// Repeatable pseudo-random numbers in [0, 1).
struct Dice {
    unsigned seed;
    float Next() {
        seed = seed * 1103515245u + 12345u;
        return static_cast<float>((seed >> 16) & 0x7FFF) / 32768.0f;
    }
};

// Where each level's sign stands on the map, in level order.
const Point kSignSpots[] = {{330, 430}, {720, 300}};

// The map: a green country with a winding river to the sea at the right,
// hills, woods and a dotted trail from one park to the next.
bool MapBackground(const std::string& folder) {
    Canvas map(1024, 768);
    map.VerticalGradient(Hex(0xA7D67E), Hex(0x86C063), 0, 768);
    // The sea along the right and the bottom right.
    map.FillBelow([](float x) { return x > 760 ? 768 - (x - 760) * 3.2f + 30 * std::sin(x / 40) : 2000.0f; },
                  Hex(0x3F9BD1));
    map.FillBelow([](float x) { return x > 790 ? 768 - (x - 790) * 3.2f + 30 * std::sin(x / 40) : 2000.0f; },
                  Hex(0x2A83BD));
    // A river from the hills to the sea.
    std::vector<Point> river;
    for (int i = 0; i <= 60; ++i) {
        const float t = static_cast<float>(i) / 60;
        river.push_back({80 + 760 * t, 120 + 420 * t + 60 * std::sin(t * 7)});
    }
    map.Stroke(river, 14, Hex(0x5DB3E3));
    map.Stroke(river, 8, Hex(0x7CC7EC));
    // Hills at the top left and woods scattered (not on the water).
    for (int i = 0; i < 5; ++i) {
        const float x = 60 + 110.0f * static_cast<float>(i), y = 110 + 20.0f * static_cast<float>(i % 2);
        map.Polygon({{x - 80, y + 40}, {x, y - 60}, {x + 80, y + 40}}, Hex(0x8A9A6B));
        map.Polygon({{x - 20, y - 30}, {x, y - 60}, {x + 20, y - 30}, {x + 6, y - 24}, {x - 8, y - 32}}, Hex(0xF4F1DE));
    }
    Dice dice{4242};
    for (int i = 0; i < 120; ++i) {
        const float x = dice.Next() * 720, y = 200 + dice.Next() * 540;
        bool clear = true;
        for (const Point& s : kSignSpots) clear &= std::hypot(x - s.x, y - s.y) > 90;
        for (const Point& r : river) clear &= std::hypot(x - r.x, y - r.y) > 26;
        if (!clear) continue;
        map.Ellipse({x + 3, y + 12}, 9, 3, Hex(0x1B1430, 0.2f));
        map.Stroke({{x, y + 12}, {x, y + 4}}, 1.6f, kWoodDark);
        map.Disc({x, y}, 8, Hex(0x3F8A3A));
        map.Disc({x - 2, y - 2}, 4, Hex(0x5DAA50));
    }
    // The trail between the parks.
    const Point a = kSignSpots[0], b = kSignSpots[1];
    for (int i = 1; i < 24; ++i) {
        const float t = static_cast<float>(i) / 24;
        const Point p{a.x + (b.x - a.x) * t, a.y + 40 + (b.y - a.y) * t + 50 * std::sin(t * kPi)};
        map.Disc(p, 3.2f, Hex(0xFFF4DC, 0.9f));
    }
    // A compass rose in the corner.
    const Point c{90, 680};
    map.Disc(c, 36, Hex(0xFFF4DC, 0.8f));
    map.Polygon({{c.x, c.y - 32}, {c.x + 7, c.y}, {c.x, c.y + 32}, {c.x - 7, c.y}}, kNavy);
    map.Polygon({{c.x - 32, c.y}, {c.x, c.y - 7}, {c.x + 32, c.y}, {c.x, c.y + 7}}, Hex(0xE4572E));
    return Save(map, folder + "/map_screen_background.jpg");
}

// A wooden signpost for a level: normal, pointer over and locked cels; the
// level's name is written on the board by the screen's script.
bool Sign(const LevelLook& level, const std::string& folder, int index) {
    constexpr int kW = 150, kH = 170;
    Canvas sheet(3 * kW, kH);
    for (int cel = 0; cel < 3; ++cel) {
        const float x0 = static_cast<float>(cel * kW), lift = cel == 1 ? -4.0f : 0.0f;
        const Rgba accent = cel == 2 ? Hex(0x9AA5B1) : level.accent;
        sheet.Ellipse({x0 + 75, 160}, 40, 8, Hex(0x1B1430, 0.25f));
        sheet.RoundRect(x0 + 68, 70 + lift, x0 + 82, 160, 3, kWood, kWoodDark);
        sheet.RoundRect(x0 + 8, 18 + lift, x0 + 142, 96 + lift, 10, Darker(accent, 0.3f), Darker(accent, 0.3f));
        sheet.RoundRect(x0 + 13, 23 + lift, x0 + 137, 91 + lift, 7, Lighter(kWood, 0.35f), kWood);
        sheet.RoundRect(x0 + 20, 30 + lift, x0 + 130, 84 + lift, 5, kCream, Hex(0xEAD9B5));
        // The level's own mark on a disc above the board: a maple leaf or an anchor.
        const Point m{x0 + 75, 18 + lift};
        sheet.Disc(m, 17, Darker(accent, 0.3f));
        sheet.Disc(m, 14, accent);
        if (index == 0) {
            std::vector<Point> leaf;
            for (int i = 0; i < 40; ++i) {
                const float t = 2 * kPi * static_cast<float>(i) / 40;
                const float r = 9 * (0.55f + 0.45f * std::fabs(std::sin(t * 2.5f)));
                leaf.push_back({m.x + r * std::sin(t), m.y - r * std::cos(t)});
            }
            sheet.Polygon(leaf, kCream);
            sheet.Stroke({{m.x, m.y}, {m.x, m.y + 10}}, 1.2f, kCream);
        } else {
            sheet.Stroke({{m.x, m.y - 8}, {m.x, m.y + 8}}, 1.6f, kCream);
            sheet.Stroke({{m.x - 6, m.y - 4}, {m.x + 6, m.y - 4}}, 1.4f, kCream);
            sheet.Stroke(
                {{m.x - 8, m.y + 3}, {m.x - 5, m.y + 8}, {m.x, m.y + 9}, {m.x + 5, m.y + 8}, {m.x + 8, m.y + 3}}, 1.4f,
                kCream);
            sheet.Disc({m.x, m.y - 9}, 2.2f, kCream);
        }
        if (cel == 2) {
            // A padlock hanging on the post.
            sheet.Stroke({{x0 + 69, 118}, {x0 + 69, 110}, {x0 + 81, 110}, {x0 + 81, 118}}, 2.2f, Hex(0x9AA5B1));
            sheet.RoundRect(x0 + 64, 116, x0 + 86, 134, 3, Hex(0xFFC53D), Hex(0xC98A12));
        }
    }
    return Save(sheet, folder + "/map_screen_sign_" + level.name + ".png");
}

// The nightfall cover: a deep blue veil with stars, and the moon.
bool Night(const std::string& folder) {
    Canvas sky(1024, 768);
    sky.VerticalGradient(Hex(0x0B1D3A, 0.82f), Hex(0x2B2F6B, 0.55f), 0, 768);
    Dice dice{77};
    for (int i = 0; i < 120; ++i) {
        const Point p{dice.Next() * 1024, dice.Next() * 420};
        sky.Disc(p, 0.7f + dice.Next() * 1.3f, Hex(0xFFFFFF, 0.4f + dice.Next() * 0.5f));
    }
    Canvas moon(128, 128);
    moon.Disc({64, 64}, 60, Hex(0xFFF6D5, 0.18f));
    moon.Disc({64, 64}, 44, Hex(0xF4F1DE));
    moon.Disc({50, 52}, 8, Hex(0xE2DCC4));
    moon.Disc({76, 74}, 11, Hex(0xE2DCC4));
    moon.Disc({72, 44}, 5, Hex(0xE2DCC4));
    return Save(sky, folder + "/nighttime_sky.png") && Save(moon, folder + "/nighttime_moon.png");
}

// A firework burst of `rays` sparks.
void Burst(Canvas& c, Point at, float radius, const Rgba& colour, int rays) {
    for (int i = 0; i < rays; ++i) {
        const float a = 2 * kPi * static_cast<float>(i) / static_cast<float>(rays);
        const Point end{at.x + radius * std::cos(a), at.y + radius * std::sin(a)};
        c.Stroke({{at.x + radius * 0.35f * std::cos(a), at.y + radius * 0.35f * std::sin(a)}, end}, 1.6f, colour);
        c.Disc(end, 3, Lighter(colour, 0.4f));
    }
}

// The beat-level splash: the level's park at dusk under fireworks, a band of
// bunting in its colour, the park's own buildings standing in a row.
bool Splash(const LevelLook& level, const std::string& folder, int index) {
    Canvas c(1024, 768);
    c.VerticalGradient(index == 0 ? Hex(0x2B2F6B) : Hex(0x143D59), index == 0 ? Hex(0xF6A26B) : Hex(0xF4C27A), 0, 520);
    Dice dice{static_cast<unsigned>(99 + index)};
    const Rgba sparks[4] = {Hex(0xFFC857), Hex(0xFF7AA2), Hex(0x7CC7EC), level.accent};
    for (int i = 0; i < 7; ++i)
        Burst(c, {90 + dice.Next() * 840, 60 + dice.Next() * 200}, 30 + dice.Next() * 40, sparks[i % 4], 16);
    if (level.ocean) c.FillBelow([](float x) { return 430 + 6 * std::sin(x / 30); }, Hex(0x2A83BD));
    c.FillBelow([](float x) { return 470 + 25 * std::sin(x / 150 + 1); }, Hex(0x74B852));
    c.FillBelow([](float x) { return 600 + 15 * std::sin(x / 90); }, Hex(0x5E9F45));
    // The buildings, largest at the back.
    const char* row[] = {index == 0 ? "sky_wheel" : "roller_coaster", "bouncy_castle", "teacup_twirl",
                         index == 0 ? "burger_diner" : "fountain",    "cotton_candy",  "oak_tree"};
    const float spots[][2] = {{250, 520}, {520, 560}, {780, 560}, {120, 650}, {640, 700}, {900, 690}};
    for (int i = 0; i < 6; ++i)
        for (const BuildingArt& art : Buildings())
            if (art.type == row[i]) {
                const Canvas cel = art.draw(0);
                c.Draw(cel, static_cast<int>(spots[i][0] - cel.Width() / 2.0f),
                       static_cast<int>(spots[i][1] - cel.Height()));
            }
    // Bunting across the top.
    std::vector<Point> rope;
    for (int i = 0; i <= 40; ++i)
        rope.push_back({25.6f * i, 40 + 30 * std::sin(kPi * i / 20.0f) * std::sin(kPi * i / 20.0f)});
    c.Stroke(rope, 1.5f, kCream);
    for (int i = 1; i < 40; i += 2) {
        const Point p = rope[static_cast<size_t>(i)];
        c.Polygon({{p.x - 9, p.y}, {p.x + 9, p.y}, {p.x, p.y + 20}}, i % 4 == 1 ? level.accent : Hex(0xFFC857));
    }
    return Save(c, folder + "/bg_splash_" + level.name + ".jpg");
}

}  // namespace

bool DrawScreens(const std::string& root) {
    const std::string folder = root + "/images/levels";
    std::filesystem::create_directories(folder);
    bool ok = MapBackground(folder) && Night(folder);
    int index = 0;
    for (const LevelLook& level : Levels()) {
        ok &= Sign(level, folder, index);
        ok &= Splash(level, folder, index);
        ++index;
    }
    return ok;
}

}  // namespace parkart
