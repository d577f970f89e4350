#include "tools/parkart/building_art.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <filesystem>

#include "tools/parkart/ground_art.h"
#include "tools/parkart/people_art.h"

namespace parkart {

namespace {

constexpr float kPi = 3.14159265f;

const Rgba kRed = Hex(0xE4572E), kYellow = Hex(0xFFC857), kBlue = Hex(0x3A86FF), kTeal = Hex(0x2BA6A0);
const Rgba kPink = Hex(0xFF7AA2), kPurple = Hex(0x8E5CC7), kGreen = Hex(0x4CAF50), kCream = Hex(0xFFF4DC);
const Rgba kWood = Hex(0xB5835A), kStone = Hex(0xB9B4AA), kNavy = Hex(0x16324F), kWhite = Hex(0xFFFFFF);
const Rgba kGlass = Hex(0x9ED8F0), kDoor = Hex(0x3B2A3F);

// A dark arched doorway on the right-front face (u = u1) between v0 and v1.
void DoorOnRight(Canvas& c, const Iso& iso, float u1, float v0, float v1, float z0, float z1) {
    const float vm = (v0 + v1) / 2;
    std::vector<Point> door = {iso.At(u1, v0, z0), iso.At(u1, v0, z1)};
    for (int i = 1; i < 8; ++i) {
        const float a = kPi * static_cast<float>(i) / 8;
        door.push_back(iso.At(u1, vm - (vm - v0) * std::cos(a), z1 + (vm - v0) * 28 * std::sin(a)));
    }
    door.push_back(iso.At(u1, v1, z1));
    door.push_back(iso.At(u1, v1, z0));
    c.Polygon(door, kDoor);
}

// A window on the left-front face (v = v1) or the right-front one (u = u1).
void WindowLeft(Canvas& c, const Iso& iso, float v1, float u0, float u1, float z0, float z1) {
    c.Polygon({iso.At(u0, v1, z0), iso.At(u1, v1, z0), iso.At(u1, v1, z1), iso.At(u0, v1, z1)}, Darker(kGlass, 0.15f));
    c.Stroke({iso.At((u0 + u1) / 2, v1, z0), iso.At((u0 + u1) / 2, v1, z1)}, 0.8f, kWhite);
}
void WindowRight(Canvas& c, const Iso& iso, float u1, float v0, float v1, float z0, float z1) {
    c.Polygon({iso.At(u1, v0, z0), iso.At(u1, v1, z0), iso.At(u1, v1, z1), iso.At(u1, v0, z1)}, kGlass);
    c.Stroke({iso.At(u1, (v0 + v1) / 2, z0), iso.At(u1, (v0 + v1) / 2, z1)}, 0.8f, kWhite);
}

// A pennant on a pole standing at (u, v) from z0 to z1.
void Flag(Canvas& c, const Iso& iso, float u, float v, float z0, float z1, const Rgba& colour, int cel) {
    const Point top = iso.At(u, v, z1);
    c.Stroke({iso.At(u, v, z0), top}, 1.1f, kNavy);
    const float wave = cel % 2 == 0 ? 0 : 2;
    c.Polygon({top, {top.x + 14, top.y + 3 + wave}, {top.x, top.y + 7}}, colour);
}

// A round sign on a post above (u, v): the icon is drawn by the caller on top.
Point SignBoard(Canvas& c, const Iso& iso, float u, float v, float z0, float z1, float radius, const Rgba& rim) {
    const Point centre = iso.At(u, v, z1);
    c.Stroke({iso.At(u, v, z0), centre}, 1.5f, kNavy);
    c.Disc(centre, radius + 2, rim);
    c.Disc(centre, radius, kCream);
    return centre;
}

Canvas BouncyCastle(int cel) {
    Plot p(2, 2, 96);
    Canvas& c = p.canvas;
    const Iso& iso = p.iso;
    const float squash = cel == 1 ? 3 : 0;
    Shadow(c, iso, 1, 1, 1.05f);
    Box(c, iso, 0.1f, 0.1f, 1.9f, 1.9f, 0, 9, kBlue);
    Column(c, iso, 0.32f, 0.32f, 0.24f, 0, 58 - squash, kRed);
    Cone(c, iso, 0.32f, 0.32f, 0.3f, 58 - squash, 80 - squash, kPink);
    Box(c, iso, 0.3f, 0.3f, 1.7f, 1.7f, 9, 44 - squash, kYellow);
    for (int i = 0; i < 4; ++i) {
        const float t = 0.45f + 0.3f * static_cast<float>(i);
        Box(c, iso, t, 1.55f, t + 0.15f, 1.7f, 44 - squash, 52 - squash, kRed);
        Box(c, iso, 1.55f, t, 1.7f, t + 0.15f, 44 - squash, 52 - squash, kRed);
    }
    // The door faces the tile its footprint door is on: the nearer half of the right-hand front.
    DoorOnRight(c, iso, 1.7f, 1.15f, 1.55f, 9, 24);
    for (const Point& at : {Point{1.68f, 0.32f}, Point{0.32f, 1.68f}}) {
        Column(c, iso, at.x, at.y, 0.24f, 0, 58 - squash, kRed);
        Cone(c, iso, at.x, at.y, 0.3f, 58 - squash, 80 - squash, kPink);
    }
    Column(c, iso, 1.68f, 1.68f, 0.26f, 0, 60 - squash, kRed);
    Cone(c, iso, 1.68f, 1.68f, 0.32f, 60 - squash, 84 - squash, kPink);
    Flag(c, iso, 1.68f, 1.68f, 84 - squash, 100 - squash, kYellow, cel);
    return c;
}

// A pipe through ground points (u, v, z) as a round tube with a highlight.
void Pipe(Canvas& c, const Iso& iso, const std::vector<std::array<float, 3>>& points, const Rgba& colour) {
    std::vector<Point> line;
    for (const auto& q : points) line.push_back(iso.At(q[0], q[1], q[2]));
    c.Stroke(line, 5, Darker(colour, 0.25f));
    c.Stroke(line, 3.6f, colour);
    for (Point& q : line) q.y -= 1.6f;
    c.Stroke(line, 1.0f, Lighter(colour, 0.45f));
}

Canvas PlayPipes(int cel) {
    Plot p(2, 2, 80);
    Canvas& c = p.canvas;
    const Iso& iso = p.iso;
    Shadow(c, iso, 1, 1, 1.0f);
    Box(c, iso, 0.1f, 0.1f, 1.9f, 1.9f, 0, 5, kGreen);
    Pipe(c, iso, {{0.3f, 0.3f, 5}, {0.3f, 0.3f, 46}, {1.0f, 0.3f, 56}, {1.7f, 0.3f, 46}, {1.7f, 0.3f, 5}}, kBlue);
    Box(c, iso, 0.7f, 0.7f, 1.3f, 1.3f, 34, 40, kYellow);
    for (const Point& leg : {Point{0.72f, 1.28f}, Point{1.28f, 1.28f}, Point{1.28f, 0.72f}})
        c.Stroke({iso.At(leg.x, leg.y, 5), iso.At(leg.x, leg.y, 34)}, 1.6f, kNavy);
    Pipe(c, iso, {{0.3f, 1.7f, 5}, {0.3f, 1.7f, 30}, {0.6f, 1.1f, 40}, {0.8f, 0.9f, 40}}, Hex(0xF7931E));
    // The slide down to the front.
    std::vector<std::array<float, 3>> slide;
    for (int i = 0; i <= 10; ++i) {
        const float t = static_cast<float>(i) / 10;
        slide.push_back({1.3f + 0.5f * t, 1.0f + 0.75f * t, 38 - 32 * t + 6 * std::sin(t * kPi)});
    }
    Pipe(c, iso, slide, kRed);
    Pipe(c, iso, {{1.75f, 1.75f, 5}, {1.75f, 1.75f, 24}, {1.75f, 1.2f, 30}, {1.75f, 0.8f, 24}, {1.75f, 0.8f, 5}},
         kPurple);
    Flag(c, iso, 1.0f, 1.0f, 40, 62, kPink, cel);
    return c;
}

Canvas TeacupTwirl(int cel) {
    Plot p(3, 3, 90);
    Canvas& c = p.canvas;
    const Iso& iso = p.iso;
    Shadow(c, iso, 1.5f, 1.5f, 1.5f);
    Column(c, iso, 1.5f, 1.5f, 1.42f, 0, 8, kPurple);
    FlatDisc(c, iso, 1.5f, 1.5f, 1.2f, 8, Lighter(kPurple, 0.35f));
    struct Cup {
        float u, v;
        Rgba colour;
    };
    std::vector<Cup> cups;
    const Rgba colours[4] = {kPink, kTeal, kYellow, kBlue};
    for (int i = 0; i < 4; ++i) {
        const float a = kPi / 2 * static_cast<float>(i) + 0.4f * static_cast<float>(cel);
        cups.push_back({1.5f + 0.82f * std::cos(a), 1.5f + 0.82f * std::sin(a), colours[i]});
    }
    std::sort(cups.begin(), cups.end(), [](const Cup& a, const Cup& b) { return a.u + a.v < b.u + b.v; });
    auto drawCup = [&](const Cup& cup) {
        const Point handle = iso.At(cup.u + 0.3f, cup.v - 0.1f, 20);
        c.Ellipse(handle, 5, 6, Darker(cup.colour, 0.2f));
        c.Ellipse(handle, 2.5f, 3.5f, Lighter(kPurple, 0.35f));
        Column(c, iso, cup.u, cup.v, 0.3f, 8, 28, cup.colour);
        FlatDisc(c, iso, cup.u, cup.v, 0.24f, 28, Darker(cup.colour, 0.45f));
        c.Stroke({iso.At(cup.u - 0.2f, cup.v + 0.2f, 14), iso.At(cup.u + 0.2f, cup.v - 0.2f, 14)}, 1.3f,
                 Lighter(cup.colour, 0.5f));
    };
    for (const Cup& cup : cups)
        if (cup.u + cup.v < 3) drawCup(cup);
    Column(c, iso, 1.5f, 1.5f, 0.12f, 8, 62, kCream);
    Cone(c, iso, 1.5f, 1.5f, 0.9f, 58, 80, kRed);
    for (int i = 0; i < 8; ++i) {
        const float a = kPi / 4 * static_cast<float>(i);
        c.Disc(iso.At(1.5f + 0.6f * std::cos(a), 1.5f + 0.6f * std::sin(a), 64), 2.5f, kWhite);
    }
    for (const Cup& cup : cups)
        if (cup.u + cup.v >= 3) drawCup(cup);
    return c;
}

Canvas SkyWheel(int cel) {
    Plot p(3, 3, 190);
    Canvas& c = p.canvas;
    const Iso& iso = p.iso;
    Shadow(c, iso, 1.5f, 1.5f, 1.4f);
    Box(c, iso, 0.3f, 0.3f, 2.7f, 2.7f, 0, 10, kStone);
    const Point hub = iso.At(1.5f, 1.5f, 130);
    const float radius = 92;
    for (const float side : {-1.0f, 1.0f}) {
        c.Stroke({iso.At(1.5f + side * 0.9f, 1.5f - side * 0.9f, 10), hub}, 3.2f, kNavy);
        c.Stroke({iso.At(1.5f + side * 0.5f, 1.5f - side * 0.5f + 0.6f, 10), hub}, 2.4f, Lighter(kNavy, 0.2f));
    }
    std::vector<Point> rim;
    for (int i = 0; i <= 64; ++i) {
        const float a = 2 * kPi * static_cast<float>(i) / 64;
        rim.push_back({hub.x + radius * std::cos(a), hub.y + radius * std::sin(a)});
    }
    c.Stroke(rim, 2.6f, kWhite);
    for (Point& q : rim) q = {hub.x + (q.x - hub.x) * 0.93f, hub.y + (q.y - hub.y) * 0.93f};
    c.Stroke(rim, 1.2f, kBlue);
    const Rgba cabins[4] = {kRed, kYellow, kTeal, kPink};
    for (int i = 0; i < 12; ++i) {
        const float a = 2 * kPi * static_cast<float>(i) / 12 + static_cast<float>(cel) * kPi / 24;
        const Point end{hub.x + radius * std::cos(a), hub.y + radius * std::sin(a)};
        c.Stroke({hub, end}, 1.0f, Hex(0xDDE6F0));
        c.Stroke({end, {end.x, end.y + 6}}, 1.0f, kNavy);
        c.RoundRect(end.x - 8, end.y + 5, end.x + 8, end.y + 19, 4, cabins[i % 4], Darker(cabins[i % 4], 0.25f));
        c.RoundRect(end.x - 5, end.y + 8, end.x + 5, end.y + 12, 1.5f, kGlass, kGlass);
    }
    c.Disc(hub, 7, kNavy);
    c.Disc(hub, 3, kYellow);
    Box(c, iso, 2.2f, 1.2f, 2.7f, 1.8f, 10, 26, kCream);
    DoorOnRight(c, iso, 2.7f, 1.35f, 1.65f, 10, 20);
    return c;
}

// The coaster's track: a rounded loop inside the footprint with a tall lift
// hill at the back corner and a smaller hump at the right, as points
// (u, v, z); index 0 is the front, by the station.
std::vector<std::array<float, 3>> TrackPath() {
    std::vector<std::array<float, 3>> path;
    auto bump = [](float t, float at, float width) {
        float d = std::fabs(t - at);
        d = std::min(d, 2 * kPi - d);
        return std::exp(-d * d / width);
    };
    for (int i = 0; i <= 96; ++i) {
        const float t = kPi / 4 + 2 * kPi * static_cast<float>(i) / 96;
        const float cu = std::cos(t), sv = std::sin(t);
        const float u = 2 + 1.55f * (cu < 0 ? -1.0f : 1.0f) * std::pow(std::fabs(cu), 0.6f);
        const float v = 2 + 1.55f * (sv < 0 ? -1.0f : 1.0f) * std::pow(std::fabs(sv), 0.6f);
        const float z =
            10 + 84 * bump(t, 5 * kPi / 4, 0.45f) + 40 * bump(t, 7 * kPi / 4, 0.18f) + 26 * bump(t, 3 * kPi / 4, 0.15f);
        path.push_back({u, v, z});
    }
    return path;
}

void Track(Canvas& c, const Iso& iso, const std::vector<std::array<float, 3>>& path, size_t from, size_t to) {
    for (size_t i = from; i <= to && i < path.size(); i += 3) {
        const Point top = iso.At(path[i][0], path[i][1], path[i][2] - 2);
        c.Stroke({iso.At(path[i][0], path[i][1], 0), top}, 1.1f, Hex(0xE8ECF1));
        c.Stroke({iso.At(path[i][0], path[i][1], 0), top}, 0.5f, Hex(0x9AA5B1));
    }
    std::vector<Point> rail;
    for (size_t i = from; i <= to && i < path.size(); ++i) rail.push_back(iso.At(path[i][0], path[i][1], path[i][2]));
    c.Stroke(rail, 3.6f, Darker(kRed, 0.35f));
    c.Stroke(rail, 2.4f, kRed);
    for (Point& q : rail) q.y -= 1.2f;
    c.Stroke(rail, 0.7f, Lighter(kRed, 0.5f));
}

Canvas RollerCoaster(int) {
    Plot p(4, 4, 110);
    Canvas& c = p.canvas;
    const Iso& iso = p.iso;
    Shadow(c, iso, 2, 2, 1.9f);
    Flat(c, iso, 0.1f, 0.1f, 3.9f, 3.9f, 0, Hex(0x9C8670, 0.35f));
    const auto path = TrackPath();
    // The far half first, then the station, then the near half over it.
    Track(c, iso, path, 24, 72);
    Box(c, iso, 1.4f, 1.5f, 2.6f, 2.5f, 0, 20, kCream);
    GableRoof(c, iso, 1.3f, 1.4f, 2.7f, 2.6f, 20, 36, kTeal);
    DoorOnRight(c, iso, 2.6f, 1.8f, 2.2f, 0, 13);
    Track(c, iso, path, 72, 96);
    Track(c, iso, path, 0, 24);
    return c;
}

// The coaster's train, seen in the four screen directions (up-right,
// down-right, down-left, up-left), one cel each.
Canvas CoasterCars() {
    Canvas sheet(4 * 64, 48);
    for (int dir = 0; dir < 4; ++dir) {
        Canvas cel(64, 48);
        Iso iso{32, 20};
        const float du = dir == 1 ? 1 : dir == 3 ? -1 : 0, dv = dir == 0 ? -1 : dir == 2 ? 1 : 0;
        std::vector<int> order = {-1, 0, 1};
        // The car nearest the viewer is drawn last.
        std::sort(order.begin(), order.end(), [&](int a, int b) { return (du + dv) * a < (du + dv) * b; });
        for (int k : order) {
            const float u = 0.5f + du * 0.42f * k, v = 0.5f + dv * 0.42f * k;
            const Rgba colour = k == 0 ? kYellow : kBlue;
            Box(cel, iso, u - 0.18f, v - 0.18f, u + 0.18f, v + 0.18f, 2, 12, colour);
            cel.Disc(iso.At(u, v, 18), 3.5f, Hex(0xF2C9A0));
        }
        sheet.Draw(cel, dir * 64, 0);
    }
    return sheet;
}

Canvas Playhouse(int) {
    Plot p(1, 1, 64);
    Canvas& c = p.canvas;
    const Iso& iso = p.iso;
    Shadow(c, iso, 0.5f, 0.5f, 0.5f);
    Box(c, iso, 0.15f, 0.15f, 0.85f, 0.85f, 0, 30, Hex(0x8FD3FE));
    WindowLeft(c, iso, 0.85f, 0.3f, 0.6f, 12, 24);
    DoorOnRight(c, iso, 0.85f, 0.38f, 0.62f, 0, 14);
    GableRoof(c, iso, 0.08f, 0.08f, 0.92f, 0.92f, 30, 52, kRed);
    Box(c, iso, 0.3f, 0.25f, 0.42f, 0.37f, 40, 58, kCream);
    return c;
}

Canvas FlowersRed(int cel) {
    Plot p(1, 1, 30);
    Canvas& c = p.canvas;
    const Iso& iso = p.iso;
    Box(c, iso, 0.08f, 0.08f, 0.92f, 0.92f, 0, 5, Hex(0x8A5A3B));
    for (int row = 0; row < 5; ++row)
        for (int col = 0; col < 5; ++col) {
            const float u = 0.18f + 0.16f * static_cast<float>(col), v = 0.18f + 0.16f * static_cast<float>(row);
            const float sway = ((row + col + cel) % 2 == 0) ? 0.6f : -0.6f;
            const Point stem = iso.At(u, v, 5), bloom = iso.At(u, v, 14);
            c.Stroke({stem, {bloom.x + sway, bloom.y}}, 1.0f, Hex(0x2E7D32));
            c.Ellipse({stem.x - 2.5f, stem.y - 4}, 2.6f, 1.4f, kGreen);
            c.Disc({bloom.x + sway, bloom.y}, 3.4f, Hex(0xC62828));
            c.Disc({bloom.x + sway - 0.8f, bloom.y - 0.8f}, 1.8f, Hex(0xFF5252));
            c.Disc({bloom.x + sway, bloom.y}, 0.9f, kYellow);
        }
    return c;
}

Canvas Tree(const Rgba& leaves) {
    Plot p(1, 1, 78);
    Canvas& c = p.canvas;
    const Iso& iso = p.iso;
    Shadow(c, iso, 0.55f, 0.55f, 0.45f);
    Column(c, iso, 0.5f, 0.5f, 0.08f, 0, 34, Hex(0x7A5235));
    const Point crown = iso.At(0.5f, 0.5f, 58);
    const float blobs[6][3] = {{-14, 6, 15}, {14, 6, 15}, {0, -10, 17}, {-8, -2, 16}, {9, -3, 15}, {0, 10, 14}};
    for (const auto& b : blobs) c.Disc({crown.x + b[0], crown.y + b[1]}, b[2], Darker(leaves, 0.2f));
    for (const auto& b : blobs) c.Disc({crown.x + b[0] - 2, crown.y + b[1] - 3}, b[2] - 4, leaves);
    for (const auto& b : blobs) c.Disc({crown.x + b[0] - 5, crown.y + b[1] - 6}, b[2] * 0.35f, Lighter(leaves, 0.25f));
    return c;
}

Canvas OakTree(int) { return Tree(Hex(0x3E9B47)); }
Canvas OakTreeAutumn(int) { return Tree(Hex(0xE8893A)); }

Canvas Fountain(int cel) {
    Plot p(2, 2, 70);
    Canvas& c = p.canvas;
    const Iso& iso = p.iso;
    Flat(c, iso, 0.05f, 0.05f, 1.95f, 1.95f, 0, Hex(0xD9D4CC));
    Column(c, iso, 1, 1, 0.82f, 0, 12, kStone);
    FlatDisc(c, iso, 1, 1, 0.7f, 12, Hex(0x4FA9D9));
    FlatDisc(c, iso, 1.05f, 0.95f, 0.45f, 12, Hex(0x7CC7EC));
    Column(c, iso, 1, 1, 0.1f, 12, 34, kStone);
    Column(c, iso, 1, 1, 0.3f, 30, 36, kStone);
    const Point spout = iso.At(1, 1, 46);
    c.Stroke({iso.At(1, 1, 36), spout}, 2.5f, Hex(0xBFE9FF));
    for (int i = 0; i < 6; ++i) {
        const float a = kPi / 3 * static_cast<float>(i) + (cel == 1 ? kPi / 6 : 0);
        std::vector<Point> jet;
        for (int s = 0; s <= 8; ++s) {
            const float t = static_cast<float>(s) / 8;
            const Point g = iso.At(1 + 0.55f * t * std::cos(a), 1 + 0.55f * t * std::sin(a), 0);
            jet.push_back({g.x, g.y - 46 + 40 * t * t - 12 * t - 0 * t + (12 * t)});
        }
        for (Point& q : jet) q.y += 0;
        c.Stroke(jet, 1.3f, Hex(0xE3F6FF, 0.9f));
    }
    c.Disc(spout, 3, kWhite);
    return c;
}

// A food or gift cart: a wooden counter on wheels under a striped awning
// with a sign above; the caller draws the sign's icon at the returned point.
Point Stall(Canvas& c, const Iso& iso, const Rgba& body, const Rgba& stripeA, const Rgba& stripeB) {
    Shadow(c, iso, 0.5f, 0.5f, 0.48f);
    Box(c, iso, 0.2f, 0.22f, 0.8f, 0.78f, 6, 26, body);
    for (const Point& w : {Point{0.32f, 0.78f}, Point{0.68f, 0.78f}}) {
        const Point at = iso.At(w.x, w.y, 5);
        c.Disc(at, 5, kNavy);
        c.Disc(at, 2, kStone);
    }
    c.Stroke({iso.At(0.8f, 0.22f, 26), iso.At(0.8f, 0.22f, 44)}, 1.1f, kNavy);
    c.Stroke({iso.At(0.8f, 0.78f, 26), iso.At(0.8f, 0.78f, 44)}, 1.1f, kNavy);
    Flat(c, iso, 0.18f, 0.2f, 0.82f, 0.8f, 44, Darker(stripeA, 0.1f));
    Awning(c, iso, 0.82f, 0.2f, 0.8f, 46, 0.18f, stripeA, stripeB);
    return SignBoard(c, iso, 0.4f, 0.4f, 44, 62, 9, Darker(body, 0.2f));
}

Canvas PretzelStand(int) {
    Plot p(1, 1, 76);
    Canvas& c = p.canvas;
    const Point sign = Stall(c, p.iso, kWood, Hex(0x8D5524), kCream);
    const Point q = sign;
    c.Stroke({{q.x - 4, q.y + 4},
              {q.x - 5, q.y - 2},
              {q.x, q.y - 5},
              {q.x + 5, q.y - 2},
              {q.x + 4, q.y + 4},
              {q.x - 3, q.y - 1},
              {q.x + 3, q.y - 1},
              {q.x - 4, q.y + 4}},
             1.6f, Hex(0xA0612B));
    return c;
}

Canvas CottonCandy(int) {
    Plot p(1, 1, 76);
    Canvas& c = p.canvas;
    const Point sign = Stall(c, p.iso, Hex(0xF8BBD0), kPink, kWhite);
    c.Stroke({{sign.x + 1, sign.y + 6}, {sign.x - 1, sign.y + 1}}, 1, kWood);
    c.Disc({sign.x - 2, sign.y - 2}, 4, kPink);
    c.Disc({sign.x + 2, sign.y - 3}, 3.5f, Lighter(kPink, 0.3f));
    return c;
}

Canvas GiftShop(int) {
    Plot p(1, 1, 70);
    Canvas& c = p.canvas;
    const Iso& iso = p.iso;
    Shadow(c, iso, 0.5f, 0.5f, 0.5f);
    Box(c, iso, 0.12f, 0.12f, 0.88f, 0.88f, 0, 34, kPurple);
    WindowLeft(c, iso, 0.88f, 0.25f, 0.7f, 10, 26);
    DoorOnRight(c, iso, 0.88f, 0.35f, 0.6f, 0, 16);
    Awning(c, iso, 0.88f, 0.15f, 0.85f, 30, 0.16f, kBlue, kWhite);
    Box(c, iso, 0.1f, 0.1f, 0.9f, 0.9f, 34, 38, Darker(kPurple, 0.3f));
    // A wrapped present on the roof.
    Box(c, iso, 0.3f, 0.3f, 0.62f, 0.62f, 38, 54, kYellow);
    c.Stroke({iso.At(0.46f, 0.62f, 38), iso.At(0.46f, 0.62f, 54), iso.At(0.46f, 0.3f, 54)}, 1.3f, kRed);
    c.Stroke({iso.At(0.62f, 0.46f, 38), iso.At(0.62f, 0.46f, 54), iso.At(0.3f, 0.46f, 54)}, 1.3f, kRed);
    const Point bow = iso.At(0.46f, 0.46f, 56);
    c.Ellipse({bow.x - 4, bow.y}, 4, 2.5f, kRed);
    c.Ellipse({bow.x + 4, bow.y}, 4, 2.5f, kRed);
    return c;
}

Canvas BurgerDiner(int cel) {
    Plot p(2, 2, 96);
    Canvas& c = p.canvas;
    const Iso& iso = p.iso;
    Shadow(c, iso, 1, 1, 1.0f);
    Box(c, iso, 0.15f, 0.15f, 1.85f, 1.85f, 0, 44, kCream);
    Box(c, iso, 0.12f, 0.12f, 1.88f, 1.88f, 30, 36, kRed);
    for (int i = 0; i < 3; ++i) {
        const float t = 0.3f + 0.5f * static_cast<float>(i);
        WindowLeft(c, iso, 1.85f, t, t + 0.32f, 10, 26);
    }
    WindowRight(c, iso, 1.85f, 0.3f, 0.75f, 10, 26);
    DoorOnRight(c, iso, 1.85f, 1.05f, 1.45f, 0, 20);
    Box(c, iso, 0.1f, 0.1f, 1.9f, 1.9f, 44, 48, Darker(kRed, 0.2f));
    // The burger on its pole.
    c.Stroke({iso.At(1, 1, 48), iso.At(1, 1, 70)}, 2, kNavy);
    const Point b = iso.At(1, 1, 80 + (cel == 1 ? 2 : 0));
    c.Ellipse({b.x, b.y + 7}, 17, 6, Hex(0xD99A4E));
    c.Ellipse({b.x, b.y + 3}, 18, 4, Hex(0x6D3B1F));
    c.Ellipse({b.x, b.y + 0}, 18, 3, kGreen);
    c.Ellipse({b.x, b.y - 5}, 17, 9, Hex(0xE0A458));
    for (int i = -2; i <= 2; ++i) c.Disc({b.x + 6.0f * static_cast<float>(i), b.y - 9}, 0.9f, kCream);
    return c;
}

Canvas FrontGate(int cel) {
    Plot p(4, 4, 100);
    Canvas& c = p.canvas;
    const Iso& iso = p.iso;
    // The passage runs along v between u = 1 and u = 3: the way in.
    Flat(c, iso, 1.0f, 0.0f, 3.0f, 4.0f, 0, Hex(0xD9D4CC));
    const Rgba wall = Hex(0xE9C46A), roof = Hex(0x264653);
    auto tower = [&](float u0) {
        Box(c, iso, u0, 1.2f, u0 + 0.8f, 2.8f, 0, 64, wall);
        Box(c, iso, u0 - 0.05f, 1.15f, u0 + 0.85f, 2.85f, 64, 70, Darker(wall, 0.25f));
        GableRoof(c, iso, u0 - 0.05f, 1.15f, u0 + 0.85f, 2.85f, 70, 88, roof);
        WindowLeft(c, iso, 2.8f, u0 + 0.25f, u0 + 0.55f, 36, 52);
    };
    tower(0.1f);
    // The arch over the passage with the park's banner.
    Box(c, iso, 0.9f, 1.8f, 3.1f, 2.2f, 60, 74, Hex(0xE76F51));
    const Point left = iso.At(1.2f, 2.2f, 56), right = iso.At(2.8f, 2.2f, 56);
    c.Polygon({iso.At(1.2f, 2.2f, 72),
               iso.At(2.8f, 2.2f, 72),
               right,
               {right.x, right.y + 8},
               {(left.x + right.x) / 2, (left.y + right.y) / 2 + 4},
               {left.x, left.y + 8},
               left},
              kCream);
    for (int i = 0; i < 5; ++i) {
        const float u = 1.3f + 0.35f * static_cast<float>(i);
        c.Disc(iso.At(u, 2.2f, 66), 2.2f, i % 2 == 0 ? kRed : kTeal);
    }
    // A turnstile in the passage and the ticket window on the near tower.
    c.Stroke({iso.At(2.0f, 3.0f, 0), iso.At(2.0f, 3.0f, 14)}, 1.5f, kNavy);
    c.Stroke({iso.At(1.7f, 3.0f, 12), iso.At(2.3f, 3.0f, 12)}, 1.5f, kNavy);
    tower(3.1f);
    WindowRight(c, iso, 3.9f, 1.6f, 2.4f, 14, 30);
    Flag(c, iso, 0.5f, 2.0f, 88, 104, kRed, cel);
    Flag(c, iso, 3.5f, 2.0f, 88, 104, kYellow, cel);
    return c;
}

// Each building's cels side by side in one row (the action pictures, which
// scripts ask for by name, are plain images).
Canvas Row(const BuildingArt& art) {
    std::vector<Canvas> cels;
    for (int i = 0; i < art.cels; ++i) cels.push_back(art.draw(i));
    Canvas row(cels[0].Width() * art.cels, cels[0].Height());
    for (int i = 0; i < art.cels; ++i) row.Draw(cels[static_cast<size_t>(i)], i * cels[0].Width(), 0);
    return row;
}

// Every building's cels trimmed to what they show and packed on shelves into
// one atlas; each building is a piece whose frames keep the full cel size and
// where the trimmed part sits in it, so the engine knows every cel's visible box.
struct Atlas {
    Canvas pixels{1024, 1024};
    std::string xml;
    int shelfX = 0, shelfY = 0, shelfHeight = 0, used = 0;

    void Add(const BuildingArt& art) {
        xml += "        <piece name=\"" + art.type + "\" cols=\"" + std::to_string(art.cels) + "\">\n";
        for (int i = 0; i < art.cels; ++i) {
            const Canvas cel = art.draw(i);
            int x = 0, y = 0, w = 0, h = 0;
            cel.OpaqueBounds(x, y, w, h);
            if (shelfX + w > pixels.Width()) shelfX = 0, shelfY += shelfHeight + 1, shelfHeight = 0;
            pixels.Draw(cel.Crop(x, y, w, h), shelfX, shelfY);
            xml += "            <frame width=\"" + std::to_string(cel.Width()) + "\" height=\"" +
                   std::to_string(cel.Height()) + "\" dest-offset-x=\"" + std::to_string(x) + "\" dest-offset-y=\"" +
                   std::to_string(y) + "\" source-x=\"" + std::to_string(shelfX) + "\" source-y=\"" +
                   std::to_string(shelfY) + "\" source-width=\"" + std::to_string(w) + "\" source-height=\"" +
                   std::to_string(h) + "\"/>\n";
            shelfX += w + 1;
            shelfHeight = std::max(shelfHeight, h);
            used = std::max(used, shelfY + shelfHeight);
        }
        xml += "        </piece>\n";
    }
};

// The building's first cel fitted into a 64 x 64 list icon.
Canvas Avatar(const BuildingArt& art) {
    const Canvas cel = art.draw(0);
    int x = 0, y = 0, w = 0, h = 0;
    cel.OpaqueBounds(x, y, w, h);
    const Canvas trimmed = cel.Crop(x, y, w, h);
    const float scale = std::min(60.0f / static_cast<float>(w), 60.0f / static_cast<float>(h));
    const Canvas small = trimmed.Scaled(std::min(1.0f, scale));
    Canvas icon(64, 64);
    icon.Draw(small, (64 - small.Width()) / 2, 62 - small.Height());
    return icon;
}

}  // namespace

const std::vector<BuildingArt>& Buildings() {
    static const std::vector<BuildingArt> buildings = {
        {"bouncy_castle", 2, 2, BouncyCastle},
        {"play_pipes", 2, 2, PlayPipes},
        {"teacup_twirl", 3, 2, TeacupTwirl},
        {"sky_wheel", 3, 2, SkyWheel},
        {"roller_coaster", 4, 1, RollerCoaster},
        {"playhouse", 1, 1, Playhouse},
        {"flowers_red", 1, 2, FlowersRed},
        {"oak_tree", 1, 1, OakTree},
        {"fountain", 2, 2, Fountain},
        {"pretzel_stand", 1, 1, PretzelStand},
        {"cotton_candy", 1, 1, CottonCandy},
        {"gift_shop", 1, 1, GiftShop},
        {"burger_diner", 2, 2, BurgerDiner},
        {"front_gate", 4, 2, FrontGate},
    };
    return buildings;
}

bool DrawBuildings(const std::string& root, std::string& assetsXml) {
    // Level resources (loaded with a level) under images/levels/; the action
    // pictures and the cars, which scripts ask for by name, under images/park/.
    const std::string levels = root + "/images/levels", park = root + "/images/park";
    std::filesystem::create_directories(levels);
    std::filesystem::create_directories(park);
    bool ok = true;
    Atlas atlas;
    for (const BuildingArt& art : Buildings()) {
        atlas.Add(art);
        ok &= Save(Avatar(art), levels + "/avatar_" + art.type + ".png");
    }
    ok &= Save(atlas.pixels.Crop(0, 0, atlas.pixels.Width(), atlas.used), levels + "/park_buildings.png");
    assetsXml = "        <image name=\"park_buildings\" path=\"images/levels\">\n" + atlas.xml + "        </image>\n";
    ok &= Save(Row({"oak_tree_autumn", 1, 1, OakTreeAutumn}), park + "/oak_tree_autumn.png");
    ok &= Save(CoasterCars(), park + "/roller_coaster_cars.png");
    return ok;
}

bool DrawScene(const std::string& path) {
    const LevelLook& level = Levels().front();
    // A 1024 x 768 window onto the first level's middle.
    Canvas scene(1024, 768);
    const Point mid = TileCentre(level, 16, 16);
    const float ox = mid.x - 512, oy = mid.y - 420;
    Canvas ground(1024, 768);
    ground.Fill(Hex(0x74B852));
    scene.Draw(ground, 0, 0);
    auto tileAt = [&](float col, float row) {
        const Point p = TileCentre(level, col, row);
        return Point{p.x - ox, p.y - oy};
    };
    // A sidewalk ring with a cross path, corners rounded as the grid would pick them.
    auto paved = [](int col, int row) {
        const bool ring =
            (col >= 8 && col <= 24 && (row == 8 || row == 24)) || (row >= 8 && row <= 24 && (col == 8 || col == 24));
        return ring || (col == 16 && row >= 8 && row <= 24) || (row == 16 && col >= 8 && col <= 24);
    };
    for (int col = 0; col < 32; ++col)
        for (int row = 0; row < 32; ++row) {
            if (!paved(col, row)) continue;
            const int bits = (paved(col, row - 1) ? 1 : 0) | (paved(col, row + 1) ? 2 : 0) |
                             (paved(col - 1, row) ? 4 : 0) | (paved(col + 1, row) ? 8 : 0);
            const int look = bits == 5 || bits == 10 ? 2 : bits == 6 || bits == 9 ? 1 : 0;
            Canvas tile = MaterialTile((col + row) % 7 == 0 ? 1 : 0, look);
            // The grid mirrors these two corners; the scene only needs their outline.
            const Point at = tileAt(static_cast<float>(col), static_cast<float>(row));
            scene.Draw(tile, static_cast<int>(at.x) - kTileCelW / 2, static_cast<int>(at.y) - kTileCelH / 2);
        }
    struct Placed {
        size_t art;
        int col, row;
    };
    const std::vector<Placed> placed = {{0, 11, 11},  {1, 14, 11},  {2, 12, 15},  {3, 20, 12}, {4, 22, 21},
                                        {5, 10, 18},  {6, 11, 19},  {7, 9, 20},   {8, 18, 15}, {9, 15, 18},
                                        {10, 17, 18}, {11, 19, 18}, {12, 13, 22}, {13, 15, 7}};
    std::vector<Placed> order = placed;
    std::sort(order.begin(), order.end(),
              [](const Placed& a, const Placed& b) { return a.col + a.row < b.col + b.row; });
    for (const Placed& item : order) {
        const Canvas cel = Buildings()[item.art].draw(0);
        const Point anchor = tileAt(static_cast<float>(item.col), static_cast<float>(item.row));
        scene.Draw(cel, static_cast<int>(anchor.x - cel.Width() * 0.5f),
                   static_cast<int>(anchor.y - cel.Height() + kTileH * 0.5f));
    }
    for (int i = 0; i < 6; ++i) {
        const Canvas person = VisitorCel(i % 2, i % 2, i);
        const Point at = tileAt(16, static_cast<float>(9 + 2 * i));
        scene.Draw(person, static_cast<int>(at.x - person.Width() / 2),
                   static_cast<int>(at.y + kTileH / 2.0f - person.Height()));
    }
    return Save(scene, path);
}

}  // namespace parkart
