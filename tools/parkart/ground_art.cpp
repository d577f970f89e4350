#include "tools/parkart/ground_art.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <filesystem>

namespace parkart {

namespace {

constexpr float kPi = 3.14159265f;

// A small integer hash: the same speckle on every run.
float Noise(int x, int y, int seed) {
    unsigned h = static_cast<unsigned>(x) * 374761393u + static_cast<unsigned>(y) * 668265263u +
                 static_cast<unsigned>(seed) * 2246822519u;
    h = (h ^ (h >> 13)) * 1274126177u;
    return static_cast<float>((h ^ (h >> 16)) & 0xFFFF) / 65535.0f;
}

// The tile's outline in its cel, one pixel beyond the 64 x 32 step all round,
// with the corner of the look rounded off: look 1 rounds the left corner,
// look 2 the top one (the grid mirrors them for the other two corners).
std::vector<Point> TileOutline(int look, float inset) {
    const float cx = kTileCelW / 2.0f, cy = kTileCelH / 2.0f;
    const float hw = kTileW / 2.0f + 1 - inset * 2, hh = kTileH / 2.0f + 0.5f - inset;
    const Point corners[4] = {{cx, cy - hh}, {cx + hw, cy}, {cx, cy + hh}, {cx - hw, cy}};  // top, right, bottom, left
    const int rounded = look == 1 ? 3 : look == 2 ? 0 : -1;
    std::vector<Point> out;
    for (int i = 0; i < 4; ++i) {
        if (i != rounded) {
            out.push_back(corners[i]);
            continue;
        }
        const Point& prev = corners[(i + 3) % 4];
        const Point& at = corners[i];
        const Point& next = corners[(i + 1) % 4];
        const float t = 0.55f;
        const Point a{at.x + (prev.x - at.x) * t, at.y + (prev.y - at.y) * t};
        const Point b{at.x + (next.x - at.x) * t, at.y + (next.y - at.y) * t};
        for (int s = 0; s <= 8; ++s) {
            const float k = s / 8.0f;
            // A quadratic curve pulled halfway towards the corner.
            const Point m{(a.x + at.x) / 2, (a.y + at.y) / 2}, n{(b.x + at.x) / 2, (b.y + at.y) / 2};
            const Point p{a.x + (m.x - a.x) * k, a.y + (m.y - a.y) * k};
            const Point q{m.x + (n.x - m.x) * k, m.y + (n.y - m.y) * k};
            const Point r{n.x + (b.x - n.x) * k, n.y + (b.y - n.y) * k};
            const Point pq{p.x + (q.x - p.x) * k, p.y + (q.y - p.y) * k};
            const Point qr{q.x + (r.x - q.x) * k, q.y + (r.y - q.y) * k};
            out.push_back({pq.x + (qr.x - pq.x) * k, pq.y + (qr.y - pq.y) * k});
        }
    }
    return out;
}

// Tile coordinates of a cel pixel: u and v from 0 to 1 across the diamond.
void CelToTile(int x, int y, float& u, float& v) {
    const float dx = (x + 0.5f - kTileCelW / 2.0f) / (kTileW / 2.0f);
    const float dy = (y + 0.5f - kTileCelH / 2.0f) / (kTileH / 2.0f);
    u = (dx + dy) / 2 + 0.5f;
    v = (dy - dx) / 2 + 0.5f;
}

Rgba MaterialTexel(int material, int x, int y) {
    float u = 0, v = 0;
    CelToTile(x, y, u, v);
    const float grain = Noise(x, y, material) - 0.5f;
    switch (material) {
        case 0: {  // concrete: pale slabs, four to a tile, with fine grain
            const float seam = std::min({std::fabs(u - 0.5f), std::fabs(v - 0.5f)}) < 0.02f ? 1.0f : 0.0f;
            return Mix(Mix(Hex(0xD9D4CC), Hex(0xC9C3BA), 0.5f + grain * 0.6f), Hex(0xA39C92), seam * 0.8f);
        }
        case 1: {  // cobblestone: rounded stones in offset rows
            const float su = u * 4, sv = v * 4 + (static_cast<int>(u * 4) % 2) * 0.5f;
            const float fu = su - std::floor(su) - 0.5f, fv = sv - std::floor(sv) - 0.5f;
            const float d = std::sqrt(fu * fu + fv * fv);
            const float tone = Noise(static_cast<int>(su), static_cast<int>(sv), 7);
            const Rgba stone = Mix(Hex(0xB59B82), Hex(0x9C8670), tone);
            return d > 0.42f ? Hex(0x6F5F52) : Mix(Lighter(stone, 0.18f), stone, d * 2 + grain * 0.3f);
        }
        case 2: {  // sandstone: warm flags in a running bond
            const float su = u * 2, sv = v * 3 + (static_cast<int>(u * 2) % 2) * 0.5f;
            const bool seam = su - std::floor(su) < 0.05f || sv - std::floor(sv) < 0.06f;
            const float tone = Noise(static_cast<int>(su), static_cast<int>(sv), 3);
            return seam ? Hex(0xB8894E) : Mix(Hex(0xF0CF8E), Hex(0xE3B872), tone * 0.7f + grain * 0.4f);
        }
        case 3: {  // pier: planks along the rows, nail heads at the joists
            const float plank = v * 5;
            const int index = static_cast<int>(plank);
            const bool gap = plank - std::floor(plank) < 0.08f;
            const bool nail = std::fabs(u - 0.2f) < 0.025f || std::fabs(u - 0.8f) < 0.025f;
            const Rgba wood = Mix(Hex(0xB0814F), Hex(0x966A3E), Noise(index, 0, 11));
            const float streak = 0.08f * std::sin(u * 40 + index * 1.7f);
            if (gap) return Hex(0x4B3422);
            return nail && std::fabs(plank - std::floor(plank) - 0.5f) < 0.15f ? Hex(0x5A4A3C)
                                                                               : Lighter(wood, streak + grain * 0.15f);
        }
        default:  // the tutorial's highlight: a bright dashed diamond to build on
            return Hex(0xFFE45C, 0.55f + 0.2f * std::sin((u + v) * 12));
    }
}

bool Materials(const std::string& folder) {
    Canvas sheet(13 * kTileCelW, kTileCelH);
    for (int material = 0; material < 5; ++material)
        for (int look = 0; look < (material < 4 ? 3 : 1); ++look)
            sheet.Draw(MaterialTile(material, look), (material * 3 + look) * kTileCelW, 0);
    return Save(sheet, folder + "/tile_materials.png");
}

// The marks the grid stamps: 0 a door or chosen tile (a white ring), 1 may
// build (green), 2 may not (red), 3 the held building's zone (amber), 4 a
// zone member's ground (sky blue), 5 a tile that refuses the held building
// (a red ring and cross).
bool States(const std::string& folder) {
    constexpr int kCels = 6;
    Canvas sheet(kCels * kTileCelW, kTileCelH);
    const Rgba fills[kCels] = {Hex(0xFFFFFF, 0.5f),  Hex(0x3DDC84, 0.45f), Hex(0xFF4D4D, 0.5f),
                               Hex(0xFFB627, 0.35f), Hex(0x4DB8FF, 0.35f), Hex(0xE01E1E, 0.45f)};
    const Rgba dark = Hex(0x12283D, 0.85f);
    auto ring = [](float inset) {
        std::vector<Point> rim = TileOutline(0, inset);
        rim.push_back(rim.front());
        return rim;
    };
    for (int i = 0; i < kCels; ++i) {
        Canvas cel(kTileCelW, kTileCelH);
        cel.Polygon(TileOutline(0, 2), fills[i]);
        if (i == 0 || i == 5) {
            // A door, and a tile in the way, must stand out on grass and on
            // sidewalk alike: a dark edge round a solid ring.
            const Rgba solid = i == 0 ? Hex(0xFFFFFF) : Hex(0xFF3030);
            cel.Stroke(ring(2), 1.6f, dark);
            cel.Stroke(ring(3.5f), 1.4f, solid);
        } else {
            Rgba edge = Mix(fills[i], Hex(0xFFFFFF), 0.4f);
            edge.a = std::min(1.0f, fills[i].a + 0.35f);
            cel.Stroke(ring(2), 1.0f, edge);
        }
        if (i == 5) {
            // A cross lying on the ground, its arms along the tile's sides.
            const float cx = kTileCelW / 2.0f, cy = kTileCelH / 2.0f, u = kTileW * 0.22f, v = kTileH * 0.22f;
            const std::vector<Point> arms[2] = {{{cx - u, cy - v}, {cx + u, cy + v}},
                                                {{cx + u, cy - v}, {cx - u, cy + v}}};
            for (const auto& arm : arms) cel.Stroke(arm, 3.4f, dark);
            for (const auto& arm : arms) cel.Stroke(arm, 2.2f, Hex(0xFF3030));
        }
        sheet.Draw(cel, i * kTileCelW, 0);
    }
    return Save(sheet, folder + "/tile_states.png");
}

// Eight cels of water, 4 x 2, each a quarter step further through one wave
// cycle; waves repeat every 192 pixels so cels tile seamlessly.
bool Ocean(const std::string& folder) {
    constexpr int kCel = 192, kFrames = 8;
    Canvas sheet(4 * kCel, 2 * kCel);
    for (int frame = 0; frame < kFrames; ++frame) {
        const float phase = 2 * kPi * static_cast<float>(frame) / kFrames;
        const int ox = (frame % 4) * kCel, oy = (frame / 4) * kCel;
        sheet.Shade(ox, oy, ox + kCel, oy + kCel, [&](int x, int y) {
            const float fx = 2 * kPi * static_cast<float>(x - ox) / kCel,
                        fy = 2 * kPi * static_cast<float>(y - oy) / kCel;
            const float w = std::sin(2 * fx + 3 * fy + phase) + 0.6f * std::sin(3 * fx - 2 * fy - 2 * phase) +
                            0.4f * std::sin(5 * fy + fx + phase);
            const float crest = std::max(0.0f, w - 1.2f);
            return Mix(Mix(Hex(0x1D6FA3), Hex(0x2A8FC4), 0.5f + w * 0.2f), Hex(0xE8F7FF), std::min(1.0f, crest * 1.3f));
        });
    }
    return Save(sheet, folder + "/ocean.png");
}

// Warm light falling from the upper left over the whole screen.
bool SunShine(const std::string& folder) {
    Canvas canvas(1024, 768);
    canvas.Shade(0, 0, 1024, 768, [](int x, int y) {
        const float d = std::hypot(static_cast<float>(x) + 80, static_cast<float>(y) + 80) / 900.0f;
        const float angle = std::atan2(static_cast<float>(y) + 80, static_cast<float>(x) + 80);
        const float rays = 0.5f + 0.5f * std::sin(angle * 23);
        const float glow = std::max(0.0f, 1 - d);
        return Hex(0xFFF3C4, glow * glow * (0.18f + 0.12f * rays));
    });
    return Save(canvas, folder + "/sun_shine.png");
}

// The list icon of each walkway material.
bool WalkwayAvatars(const std::string& folder) {
    const char* names[4] = {"concrete", "cobblestone", "sandstone", "pier"};
    bool ok = true;
    for (int m = 0; m < 4; ++m) {
        Canvas icon(64, 64);
        Canvas big = MaterialTile(m, 0).Scaled(0.9f);
        icon.Draw(big, (64 - big.Width()) / 2, 18);
        icon.Draw(big, (64 - big.Width()) / 2, 4);
        ok &= Save(icon, folder + "/avatar_walkway_" + names[m] + ".png");
    }
    return ok;
}

// Grass over the whole backdrop, faint tile lines inside the park, hedges
// and trees beyond it; a level with an ocean is an island whose water is left
// clear for the animated sea.
bool Backdrop(const LevelLook& level, const std::string& folder) {
    Canvas canvas(level.width, level.height);
    const Point top = TileCentre(level, -0.5f, -0.5f);
    const float hw = kTileW / 2.0f, hh = kTileH / 2.0f;
    auto inPark = [&](float x, float y, float& u, float& v) {
        const float dx = (x - top.x) / hw, dy = (y - top.y) / hh;
        u = (dx + dy) / 2, v = (dy - dx) / 2;
        return u >= 0 && v >= 0 && u <= level.cols && v <= level.rows;
    };
    // The grass's broad light and dark patches, sin(0.011 x + 2 sin(0.007 y))
    // + sin(0.013 y - 0.004 x), split into sines of x and of y computed once
    // per column and per row.
    std::vector<std::array<float, 4>> colWave(static_cast<size_t>(level.width)),
        rowWave(static_cast<size_t>(level.height));
    for (size_t x = 0; x < colWave.size(); ++x) {
        const float fx = static_cast<float>(x);
        colWave[x] = {std::sin(fx * 0.011f), std::cos(fx * 0.011f), std::sin(fx * 0.004f), std::cos(fx * 0.004f)};
    }
    for (size_t y = 0; y < rowWave.size(); ++y) {
        const float fy = static_cast<float>(y), bend = 2 * std::sin(fy * 0.007f);
        rowWave[y] = {std::cos(bend), std::sin(bend), std::sin(fy * 0.013f), std::cos(fy * 0.013f)};
    }
    canvas.Shade(0, 0, level.width, level.height, [&](int x, int y) {
        float u = 0, v = 0;
        const bool park = inPark(x + 0.5f, y + 0.5f, u, v);
        const float beyond = park ? 0 : std::max({-u, -v, u - level.cols, v - level.rows});
        if (level.ocean && beyond > 1.6f + 0.5f * std::sin(u * 0.7f) + 0.4f * std::sin(v * 0.9f)) {
            // Sand then clear water, with a soft foam line between.
            const float shore = beyond - 1.6f - 0.5f * std::sin(u * 0.7f) - 0.4f * std::sin(v * 0.9f);
            if (shore > 1.1f) return Hex(0x000000, 0.0f);
            if (shore > 0.9f) return Hex(0xFFFFFF, 0.7f * (1.1f - shore) * 5);
            return Mix(Hex(0xF2DDA4), Hex(0xE6C98A), Noise(x, y, 5) * 0.5f);
        }
        const size_t cx = static_cast<size_t>(x), cy = static_cast<size_t>(y);
        const float patch = 0.5f + 0.25f * (colWave[cx][0] * rowWave[cy][0] + colWave[cx][1] * rowWave[cy][1]) +
                            0.25f * (rowWave[cy][2] * colWave[cx][3] - rowWave[cy][3] * colWave[cx][2]);
        Rgba grass = Mix(Hex(0x7CC05A), Hex(0x69AE4B), patch);
        // A faint mottle every few pixels: enough to read as grass, little enough to pack small.
        grass = Lighter(grass, (Noise(x / 6, y / 4, 9) - 0.5f) * 0.05f);
        if (park) {
            const float fu = u - std::floor(u), fv = v - std::floor(v);
            const float line = std::min({fu, 1 - fu, fv, 1 - fv});
            if (line < 0.025f) grass = Darker(grass, 0.08f);
            // The outermost ring of tiles takes nothing: a clipped hedge of
            // leafy lumps, two to a tile.
            const float edge = std::min({u, v, level.cols - u, level.rows - v});
            if (edge < 1) {
                const float along = (u < 1 || u > level.cols - 1) ? v : u;
                const float lump = std::fabs(along * 2 - std::floor(along * 2) - 0.5f);
                const float across = std::fabs(edge - 0.5f);
                if (lump * lump + across * across < 0.3f)
                    grass = Mix(Hex(0x3F8A3A), Hex(0x2F6E2E), across * 1.6f + Noise(x / 3, y / 3, 4) * 0.2f);
            }
        } else {
            grass = Darker(grass, std::min(0.35f, beyond * 0.05f));
        }
        return grass;
    });
    // A hedge around the park, then trees scattered beyond it (on land).
    unsigned seed = 977;
    auto next = [&seed] {
        seed = seed * 1103515245u + 12345u;
        return static_cast<float>((seed >> 16) & 0x7FFF) / 32767.0f;
    };
    std::vector<Point> trees;
    for (int i = 0; i < level.width * level.height / 9000; ++i) {
        const float x = next() * level.width, y = next() * level.height;
        float u = 0, v = 0;
        const bool park = inPark(x, y, u, v);
        const float beyond = park ? 0 : std::max({-u, -v, u - level.cols, v - level.rows});
        if (park || beyond < 1.2f || (level.ocean && beyond > 1.2f)) continue;
        trees.push_back({x, y});
    }
    std::sort(trees.begin(), trees.end(), [](const Point& a, const Point& b) { return a.y < b.y; });
    for (const Point& t : trees) {
        canvas.Ellipse({t.x + 6, t.y + 4}, 20, 9, Hex(0x1B1430, 0.25f));
        canvas.Stroke({{t.x, t.y}, {t.x, t.y - 16}}, 3, Hex(0x7A5235));
        canvas.Disc({t.x, t.y - 30}, 18, Hex(0x3F8A3A));
        canvas.Disc({t.x - 6, t.y - 36}, 11, Hex(0x56A24A));
    }
    const std::string path = folder + "/bg_" + level.name + (level.ocean ? ".png" : ".jpg");
    return Save(canvas, path);
}

}  // namespace

const std::vector<LevelLook>& Levels() {
    static const std::vector<LevelLook> levels = {
        {"maple_green", 32, 32, 2560, 1600, false, Hex(0xE4572E)},
        {"saltwind_bay", 26, 26, 2048, 1280, true, Hex(0x2BA6A0)},
    };
    return levels;
}

Point TileCentre(const LevelLook& level, float col, float row) {
    const float hw = kTileW / 2.0f, hh = kTileH / 2.0f;
    const float ox = std::trunc((level.width - (level.cols + level.rows) * hw) * 0.5f);
    const float oy = std::trunc((level.height - (level.cols + level.rows) * hh) * 0.5f);
    return {hw * col - hw * row + hw * level.rows + ox, hh * col + hh * row + hh + oy};
}

Canvas MaterialTile(int material, int look) {
    Canvas tile(kTileCelW, kTileCelH);
    tile.Shade(0, 0, kTileCelW, kTileCelH, [material](int x, int y) { return MaterialTexel(material, x, y); });
    Canvas mask(kTileCelW, kTileCelH);
    mask.Polygon(TileOutline(look, 0), Hex(0xFFFFFF));
    tile.MaskBy(mask);
    if (material < 4) {
        // A kerb: a darker rim just inside the edge.
        std::vector<Point> rim = TileOutline(look, 0.8f);
        rim.push_back(rim.front());
        tile.Stroke(rim, 0.7f, Hex(0x4A3F36, 0.35f));
    }
    return tile;
}

bool DrawGround(const std::string& root) {
    const std::string park = root + "/images/park", levels = root + "/images/levels";
    std::filesystem::create_directories(park);
    std::filesystem::create_directories(levels);
    return Materials(park) && States(park) && WalkwayAvatars(levels);
}

bool DrawBackdrops(const std::string& root) {
    const std::string levels = root + "/images/levels";
    std::filesystem::create_directories(levels);
    bool ok = Ocean(levels) && SunShine(levels);
    for (const LevelLook& level : Levels()) ok &= Backdrop(level, levels);
    return ok;
}

}  // namespace parkart
