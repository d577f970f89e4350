#include "tools/parkart/hud_art.h"

#include <cmath>
#include <filesystem>
#include <functional>

#include "tools/parkart/iso.h"

namespace parkart {

namespace {

constexpr float kPi = 3.14159265f;

// The display shares the front door's palette: navy frames, cream faces,
// orange for what matters now, teal for tools.
const Rgba kNavy = Hex(0x16324F), kNavyLight = Hex(0x24507A), kCream = Hex(0xFFF4DC), kCreamDark = Hex(0xEAD9B5);
const Rgba kOrange = Hex(0xF7931E), kTeal = Hex(0x2BA6A0), kGreen = Hex(0x3DBE5A), kRed = Hex(0xE0413A);
const Rgba kGold = Hex(0xFFC53D), kWhite = Hex(0xFFFFFF), kShade = Hex(0x000000, 0.3f);

using Glyph = std::function<void(Canvas&, Point, float, const Rgba&)>;

// Three looks side by side (normal, pointer over, pressed) of a rounded
// square button with a glyph drawn in `ink` around its centre.
Canvas IconButton(int size, const Rgba& face, const Glyph& glyph) {
    Canvas sheet(3 * size, size);
    for (int cel = 0; cel < 3; ++cel) {
        const float x0 = static_cast<float>(cel * size), press = cel == 2 ? 2.0f : 0.0f;
        const float s = static_cast<float>(size);
        sheet.RoundRect(x0 + 3, 5, x0 + s - 1, s - 1, 11, kShade, kShade);
        const Rgba top = cel == 1 ? Lighter(face, 0.25f) : cel == 2 ? Darker(face, 0.2f) : face;
        sheet.RoundRect(x0 + 1, 1 + press, x0 + s - 3, s - 3 + press, 11, kNavy, kNavy);
        sheet.RoundRect(x0 + 3, 3 + press, x0 + s - 5, s - 5 + press, 9, Lighter(top, 0.1f), Darker(top, 0.2f));
        sheet.RoundRect(x0 + 7, 6 + press, x0 + s - 9, s * 0.42f + press, 6, Hex(0xFFFFFF, 0.22f),
                        Hex(0xFFFFFF, 0.02f));
        glyph(sheet, {x0 + s / 2 - 1, s / 2 - 1 + press}, s / 56.0f, cel == 2 ? kCreamDark : kCream);
    }
    return sheet;
}

// A wide button of three cels with an optional glyph at its left.
Canvas WideButton(int width, int height, const Rgba& face, const Glyph& glyph) {
    Canvas sheet(3 * width, height);
    for (int cel = 0; cel < 3; ++cel) {
        const float x0 = static_cast<float>(cel * width), press = cel == 2 ? 2.0f : 0.0f;
        const float w = static_cast<float>(width), h = static_cast<float>(height);
        const Rgba top = cel == 1 ? Lighter(face, 0.25f) : cel == 2 ? Darker(face, 0.2f) : face;
        sheet.RoundRect(x0 + 2, 4, x0 + w - 1, h - 1, h / 2 - 2, kShade, kShade);
        sheet.RoundRect(x0 + 1, 1 + press, x0 + w - 3, h - 3 + press, h / 2 - 2, kNavy, kNavy);
        sheet.RoundRect(x0 + 3, 3 + press, x0 + w - 5, h - 5 + press, h / 2 - 4, Lighter(top, 0.1f), Darker(top, 0.2f));
        if (glyph) glyph(sheet, {x0 + h / 2 + 2, h / 2 - 1 + press}, h / 56.0f, kCream);
    }
    return sheet;
}

// A navy panel with a cream face inset, as the lists and dialogs sit on.
Canvas Panel(int width, int height, float radius) {
    Canvas c(width, height);
    const float w = static_cast<float>(width), h = static_cast<float>(height);
    c.RoundRect(4, 6, w, h, radius, kShade, kShade);
    c.RoundRect(0, 0, w - 4, h - 6, radius, kNavyLight, kNavy);
    c.RoundRect(8, 8, w - 12, h - 14, radius - 5, kCream, kCreamDark);
    return c;
}

// --- Glyphs (centre, scale, ink) ---------------------------------------------

// A four-sided shape symmetric about p's upright: half-width `top` at height
// `y0` and `bottom` at `y1`, all in units of s.
void Trapezoid(Canvas& c, Point p, float s, float top, float y0, float bottom, float y1, const Rgba& ink) {
    c.Polygon({{p.x - top * s, p.y + y0 * s},
               {p.x + top * s, p.y + y0 * s},
               {p.x + bottom * s, p.y + y1 * s},
               {p.x - bottom * s, p.y + y1 * s}},
              ink);
}

void Hammer(Canvas& c, Point p, float s, const Rgba& ink) {
    c.Stroke({{p.x - 11 * s, p.y + 13 * s}, {p.x + 5 * s, p.y - 3 * s}}, 3 * s, ink);
    c.Polygon({{p.x - 2 * s, p.y - 12 * s},
               {p.x + 8 * s, p.y - 16 * s},
               {p.x + 16 * s, p.y - 6 * s},
               {p.x + 11 * s, p.y + 0 * s}},
              ink);
}
void TileGlyph(Canvas& c, Point p, float s, const Rgba& ink) {
    c.Polygon({{p.x - 16 * s, p.y + 3 * s}, {p.x, p.y - 5 * s}, {p.x + 16 * s, p.y + 3 * s}, {p.x, p.y + 11 * s}}, ink);
    c.Polygon({{p.x - 10 * s, p.y + 3 * s}, {p.x, p.y - 2 * s}, {p.x + 10 * s, p.y + 3 * s}, {p.x, p.y + 8 * s}},
              Darker(ink, 0.15f));
}
void SidewalkAdd(Canvas& c, Point p, float s, const Rgba& ink) {
    TileGlyph(c, {p.x - 3 * s, p.y + 4 * s}, s, ink);
    c.Disc({p.x + 12 * s, p.y - 10 * s}, 8 * s, kGreen);
    c.Stroke({{p.x + 8 * s, p.y - 10 * s}, {p.x + 16 * s, p.y - 10 * s}}, 1.6f * s, kWhite);
    c.Stroke({{p.x + 12 * s, p.y - 14 * s}, {p.x + 12 * s, p.y - 6 * s}}, 1.6f * s, kWhite);
}
void SidewalkClear(Canvas& c, Point p, float s, const Rgba& ink) {
    TileGlyph(c, {p.x - 3 * s, p.y + 4 * s}, s, ink);
    c.Disc({p.x + 12 * s, p.y - 10 * s}, 8 * s, kRed);
    c.Stroke({{p.x + 8 * s, p.y - 10 * s}, {p.x + 16 * s, p.y - 10 * s}}, 1.6f * s, kWhite);
}
void Arrow(Canvas& c, Point from, Point to, float s, const Rgba& ink) {
    c.Stroke({from, to}, 2.2f * s, ink);
    const float dx = to.x - from.x, dy = to.y - from.y, len = std::hypot(dx, dy);
    const float ux = dx / len, uy = dy / len;
    c.Polygon({{to.x + ux * 5 * s, to.y + uy * 5 * s},
               {to.x - uy * 5 * s - ux * 3 * s, to.y + ux * 5 * s - uy * 3 * s},
               {to.x + uy * 5 * s - ux * 3 * s, to.y - ux * 5 * s - uy * 3 * s}},
              ink);
}
void Move(Canvas& c, Point p, float s, const Rgba& ink) {
    Arrow(c, p, {p.x, p.y - 12 * s}, s, ink);
    Arrow(c, p, {p.x, p.y + 12 * s}, s, ink);
    Arrow(c, p, {p.x - 12 * s, p.y}, s, ink);
    Arrow(c, p, {p.x + 12 * s, p.y}, s, ink);
}
void Rotate(Canvas& c, Point p, float s, const Rgba& ink) {
    std::vector<Point> arc;
    for (int i = 0; i <= 20; ++i) {
        const float a = -kPi * 0.1f + kPi * 1.45f * static_cast<float>(i) / 20;
        arc.push_back({p.x + 12 * s * std::cos(a), p.y + 12 * s * std::sin(a)});
    }
    c.Stroke(arc, 2.4f * s, ink);
    const Point end = arc.back();
    c.Polygon({{end.x - 7 * s, end.y - 2 * s}, {end.x + 5 * s, end.y - 6 * s}, {end.x + 2 * s, end.y + 6 * s}}, ink);
}
void Trash(Canvas& c, Point p, float s, const Rgba& ink) {
    Trapezoid(c, p, s, 10, -7, 7, 14, ink);
    c.Stroke({{p.x - 13 * s, p.y - 11 * s}, {p.x + 13 * s, p.y - 11 * s}}, 2 * s, ink);
    c.Stroke({{p.x - 3 * s, p.y - 14 * s}, {p.x + 3 * s, p.y - 14 * s}}, 2 * s, ink);
    for (float dx : {-4.0f, 0.0f, 4.0f})
        c.Stroke({{p.x + dx * s, p.y - 3 * s}, {p.x + dx * s, p.y + 10 * s}}, 1 * s, kNavy);
}
void Trophy(Canvas& c, Point p, float s, const Rgba& ink) {
    Trapezoid(c, p, s, 10, -13, 7, 1, ink);
    c.Ellipse({p.x, p.y + 1 * s}, 7 * s, 4 * s, ink);
    for (const float side : {-1.0f, 1.0f})
        c.Stroke({{p.x + side * 10 * s, p.y - 10 * s},
                  {p.x + side * 15 * s, p.y - 9 * s},
                  {p.x + side * 13 * s, p.y - 2 * s},
                  {p.x + side * 7 * s, p.y}},
                 1.5f * s, ink);
    c.Stroke({{p.x, p.y + 4 * s}, {p.x, p.y + 10 * s}}, 2.5f * s, ink);
    c.RoundRect(p.x - 8 * s, p.y + 10 * s, p.x + 8 * s, p.y + 15 * s, 1.5f * s, ink, ink);
}
void Flask(Canvas& c, Point p, float s, const Rgba& ink) {
    c.Polygon({{p.x - 4 * s, p.y - 14 * s},
               {p.x + 4 * s, p.y - 14 * s},
               {p.x + 4 * s, p.y - 4 * s},
               {p.x + 13 * s, p.y + 12 * s},
               {p.x - 13 * s, p.y + 12 * s},
               {p.x - 4 * s, p.y - 4 * s}},
              ink);
    Trapezoid(c, p, s, 7, 3, 11, 10, Hex(0x7CD67C));
    c.Disc({p.x - 2 * s, p.y + 6 * s}, 1.5f * s, kWhite);
}
void Megaphone(Canvas& c, Point p, float s, const Rgba& ink) {
    c.Polygon({{p.x - 12 * s, p.y - 4 * s},
               {p.x + 8 * s, p.y - 13 * s},
               {p.x + 8 * s, p.y + 11 * s},
               {p.x - 12 * s, p.y + 4 * s}},
              ink);
    c.RoundRect(p.x - 15 * s, p.y - 5 * s, p.x - 9 * s, p.y + 5 * s, 2 * s, ink, ink);
    c.Stroke({{p.x - 8 * s, p.y + 4 * s}, {p.x - 5 * s, p.y + 13 * s}}, 2 * s, ink);
    for (int i = 0; i < 3; ++i)
        c.Stroke({{p.x + 12 * s, p.y + (i - 1) * 8 * s}, {p.x + 16 * s, p.y + (i - 1) * 11 * s}}, 1.3f * s, ink);
}
void Gear(Canvas& c, Point p, float s, const Rgba& ink) {
    std::vector<Point> teeth;
    for (int i = 0; i < 32; ++i) {
        const float a = 2 * kPi * static_cast<float>(i) / 32;
        const float r = (i / 2) % 2 == 0 ? 14 * s : 10.5f * s;
        teeth.push_back({p.x + r * std::cos(a), p.y + r * std::sin(a)});
    }
    c.Polygon(teeth, ink);
    c.Disc(p, 5 * s, kNavy);
}
void Disk(Canvas& c, Point p, float s, const Rgba& ink) {
    c.RoundRect(p.x - 13 * s, p.y - 13 * s, p.x + 13 * s, p.y + 13 * s, 2.5f * s, ink, ink);
    c.RoundRect(p.x - 8 * s, p.y - 13 * s, p.x + 7 * s, p.y - 3 * s, 1 * s, kNavy, kNavy);
    c.RoundRect(p.x - 9 * s, p.y + 2 * s, p.x + 9 * s, p.y + 11 * s, 1 * s, kWhite, kCreamDark);
}
void DoorOut(Canvas& c, Point p, float s, const Rgba& ink) {
    c.Stroke({{p.x + 2 * s, p.y - 13 * s},
              {p.x - 12 * s, p.y - 13 * s},
              {p.x - 12 * s, p.y + 13 * s},
              {p.x + 2 * s, p.y + 13 * s}},
             2 * s, ink);
    Arrow(c, {p.x - 5 * s, p.y}, {p.x + 10 * s, p.y}, s, ink);
}
void Flag(Canvas& c, Point p, float s, const Rgba& ink) {
    c.Stroke({{p.x - 10 * s, p.y + 15 * s}, {p.x - 10 * s, p.y - 14 * s}}, 1.8f * s, ink);
    for (int row = 0; row < 3; ++row)
        for (int col = 0; col < 4; ++col) {
            const float x = p.x - 9 * s + col * 5.5f * s, y = p.y - 14 * s + row * 5 * s;
            c.RoundRect(x, y, x + 5.5f * s, y + 5 * s, 0.5f, (row + col) % 2 == 0 ? ink : kNavy,
                        (row + col) % 2 == 0 ? ink : kNavy);
        }
}
void Coin(Canvas& c, Point p, float s, const Rgba&) {
    c.Disc(p, 12 * s, Hex(0xC98A12));
    c.Disc(p, 10.5f * s, kGold);
    c.Disc({p.x - 2 * s, p.y - 2 * s}, 7 * s, Lighter(kGold, 0.3f));
    c.Stroke({{p.x + 3 * s, p.y - 5 * s},
              {p.x - 3 * s, p.y - 5 * s},
              {p.x - 3 * s, p.y},
              {p.x + 3 * s, p.y},
              {p.x + 3 * s, p.y + 5 * s},
              {p.x - 3 * s, p.y + 5 * s}},
             1.3f * s, Hex(0xA8690A));
}
void Heart(Canvas& c, Point p, float s, const Rgba& colour) {
    std::vector<Point> shape;
    for (int i = 0; i < 48; ++i) {
        const float t = 2 * kPi * static_cast<float>(i) / 48;
        const float x = 16 * std::pow(std::sin(t), 3.0f);
        const float y = 13 * std::cos(t) - 5 * std::cos(2 * t) - 2 * std::cos(3 * t) - std::cos(4 * t);
        shape.push_back({p.x + x * 0.75f * s, p.y - y * 0.75f * s});
    }
    c.Polygon(shape, colour);
    c.Ellipse({p.x - 5 * s, p.y - 4 * s}, 3 * s, 2 * s, Hex(0xFFFFFF, 0.5f));
}
void Calendar(Canvas& c, Point p, float s, const Rgba&) {
    c.RoundRect(p.x - 11 * s, p.y - 9 * s, p.x + 11 * s, p.y + 12 * s, 2 * s, kWhite, kCreamDark);
    c.RoundRect(p.x - 11 * s, p.y - 9 * s, p.x + 11 * s, p.y - 3 * s, 2 * s, kRed, kRed);
    c.Stroke({{p.x - 6 * s, p.y - 12 * s}, {p.x - 6 * s, p.y - 7 * s}}, 1.4f * s, kNavy);
    c.Stroke({{p.x + 6 * s, p.y - 12 * s}, {p.x + 6 * s, p.y - 7 * s}}, 1.4f * s, kNavy);
    for (int i = 0; i < 6; ++i) c.Disc({p.x - 6 * s + (i % 3) * 6 * s, p.y + 1 * s + (i / 3) * 5 * s}, 1.2f * s, kNavy);
}
void Star(Canvas& c, Point p, float s, const Rgba& colour) {
    std::vector<Point> star;
    for (int i = 0; i < 10; ++i) {
        const float a = -kPi / 2 + kPi * static_cast<float>(i) / 5;
        const float r = (i % 2 == 0 ? 13 : 5.5f) * s;
        star.push_back({p.x + r * std::cos(a), p.y + r * std::sin(a)});
    }
    c.Polygon(star, colour);
}
void Check(Canvas& c, Point p, float s, const Rgba& ink) {
    c.Stroke({{p.x - 9 * s, p.y}, {p.x - 3 * s, p.y + 7 * s}, {p.x + 10 * s, p.y - 8 * s}}, 3 * s, ink);
}
void Crown(Canvas& c, Point p, float s, const Rgba& colour) {
    c.Polygon({{p.x - 12 * s, p.y + 8 * s},
               {p.x - 13 * s, p.y - 8 * s},
               {p.x - 6 * s, p.y - 1 * s},
               {p.x, p.y - 12 * s},
               {p.x + 6 * s, p.y - 1 * s},
               {p.x + 13 * s, p.y - 8 * s},
               {p.x + 12 * s, p.y + 8 * s}},
              colour);
    for (float dx : {-13.0f, 0.0f, 13.0f}) c.Disc({p.x + dx * s, p.y + (dx == 0 ? -12 : -8) * s}, 2 * s, colour);
}
void SkipArrows(Canvas& c, Point p, float s, const Rgba& ink) {
    for (float dx : {-6.0f, 6.0f})
        c.Polygon({{p.x + (dx - 6) * s, p.y - 8 * s}, {p.x + (dx + 6) * s, p.y}, {p.x + (dx - 6) * s, p.y + 8 * s}},
                  ink);
}
void CloseX(Canvas& c, Point p, float s, const Rgba& ink) {
    c.Stroke({{p.x - 9 * s, p.y - 9 * s}, {p.x + 9 * s, p.y + 9 * s}}, 3 * s, ink);
    c.Stroke({{p.x + 9 * s, p.y - 9 * s}, {p.x - 9 * s, p.y + 9 * s}}, 3 * s, ink);
}

// A round badge that rises over a building: a disc in `ring`, a symbol, and
// a small arrow up or down (direction +1 up, -1 down, 0 none).
Canvas Badge(const Rgba& ring, const Glyph& symbol, int direction) {
    Canvas c(56, 56);
    c.Disc({29, 30}, 24, kShade);
    c.Disc({28, 28}, 24, kNavy);
    c.Disc({28, 28}, 21, ring);
    c.Disc({26, 24}, 13, Hex(0xFFFFFF, 0.18f));
    symbol(c, {direction == 0 ? 28.0f : 24.0f, 29}, 0.9f, kWhite);
    if (direction != 0) {
        const Rgba tint = direction > 0 ? kGreen : kRed;
        c.Disc({42, 40}, 10, kNavy);
        c.Disc({42, 40}, 8.5f, tint);
        const float d = static_cast<float>(direction);
        c.Polygon({{42, 40 - 6 * d}, {47, 40 + 1 * d}, {37, 40 + 1 * d}}, kWhite);
        c.Stroke({{42, 40}, {42, 40 + 5 * d}}, 1.6f, kWhite);
    }
    return c;
}

void ZoneLinks(Canvas& c, Point p, float s, const Rgba& ink) {
    const Point a{p.x - 9 * s, p.y + 6 * s}, b{p.x + 9 * s, p.y + 6 * s}, t{p.x, p.y - 9 * s};
    c.Stroke({a, b, t, a}, 1.8f * s, ink);
    for (const Point& q : {a, b, t}) c.Disc(q, 4.5f * s, ink);
}

bool SaveAll(const std::string& folder, const std::vector<std::pair<std::string, Canvas>>& pictures) {
    bool ok = true;
    for (const auto& [name, canvas] : pictures) ok &= Save(canvas, folder + "/" + name + ".png");
    return ok;
}

}  // namespace

bool DrawHud(const std::string& root) {
    const std::string folder = root + "/images/hud";
    std::filesystem::create_directories(folder);
    std::vector<std::pair<std::string, Canvas>> out;
    // The toolbar's buttons, 56 x 56 cels.
    const std::pair<const char*, Glyph> tools[] = {
        {"build", Hammer},
        {"sidewalk_add", SidewalkAdd},
        {"sidewalk_clear", SidewalkClear},
        {"move", Move},
        {"rotate", Rotate},
        {"remove", Trash},
        {"goals", Trophy},
        {"research", Flask},
        {"marketing", Megaphone},
        {"options", Gear},
        {"save", Disk},
        {"save_quit", DoorOut},
    };
    for (const auto& [name, glyph] : tools)
        out.emplace_back(std::string("hud_btn_") + name, IconButton(56, kTeal, glyph));
    out.emplace_back("hud_btn_complete", IconButton(56, kOrange, Flag));
    // Bars: the toolbar along the bottom, the status strip along the top with
    // three slots (money, hearts, calendar).
    Canvas toolbar(1024, 76);
    toolbar.RoundRect(-20, 4, 1044, 96, 18, kNavyLight, kNavy);
    toolbar.RoundRect(-20, 0, 1044, 8, 4, kOrange, Darker(kOrange, 0.2f));
    out.emplace_back("hud_toolbar", std::move(toolbar));
    Canvas status(1024, 48);
    status.RoundRect(-20, -20, 1044, 44, 16, kNavy, kNavyLight);
    status.RoundRect(-20, 40, 1044, 46, 3, kOrange, Darker(kOrange, 0.2f));
    for (int slot = 0; slot < 3; ++slot) {
        const float x = 16 + 180.0f * static_cast<float>(slot);
        // The calendar's slot holds day, week, month and year.
        const float width = slot == 2 ? 344.0f : 164.0f;
        status.RoundRect(x, 6, x + width, 36, 14, Darker(kNavy, 0.3f), Darker(kNavy, 0.15f));
        if (slot == 0) Coin(status, {x + 16, 21}, 0.95f, kGold);
        if (slot == 1) Heart(status, {x + 16, 21}, 0.8f, kRed);
        if (slot == 2) Calendar(status, {x + 16, 21}, 0.95f, kWhite);
    }
    out.emplace_back("hud_statusbar", std::move(status));
    out.emplace_back("hud_panel", Panel(380, 460, 18));
    out.emplace_back("hud_dialog_no_resources", Panel(440, 240, 18));
    {
        Canvas& dialog = out.back().second;
        Coin(dialog, {60, 70}, 1.6f, kGold);
        Heart(dialog, {100, 76}, 1.2f, kRed);
    }
    // The tutorial's speech box and its skip button.
    {
        Canvas box = Panel(420, 170, 16);
        box.Polygon({{40, 150}, {80, 150}, {46, 168}}, kNavy);
        out.emplace_back("tutorial_message_box", std::move(box));
        out.emplace_back("tutorial_skip_button", WideButton(124, 40, kOrange, SkipArrows));
    }
    // The popup by a building: a rounded card whose notch points at it, at
    // the card's foot over the building, at its head below it; none beside it.
    {
        Canvas popup(3 * 260, 156);
        for (int cel = 0; cel < 3; ++cel) {
            const float x = static_cast<float>(cel * 260);
            popup.RoundRect(x + 4, 22, x + 260, 142, 14, kShade, kShade);
            popup.RoundRect(x, 16, x + 256, 136, 14, kNavyLight, kNavy);
            if (cel == 0) popup.Polygon({{x + 116, 134}, {x + 140, 134}, {x + 128, 152}}, kNavy);
            if (cel == 1) popup.Polygon({{x + 116, 18}, {x + 140, 18}, {x + 128, 0}}, kNavy);
            popup.RoundRect(x + 6, 22, x + 250, 130, 10, kCream, kCreamDark);
        }
        out.emplace_back("hud_item_popup", std::move(popup));
    }
    // List rows (normal, pointer over, chosen), tabs and the small buttons.
    {
        Canvas row(3 * 340, 64);
        const Rgba faces[3] = {kCream, Lighter(kOrange, 0.7f), Lighter(kTeal, 0.6f)};
        for (int cel = 0; cel < 3; ++cel) {
            const float x0 = 340.0f * static_cast<float>(cel);
            row.RoundRect(x0 + 2, 2, x0 + 338, 62, 10, kNavyLight, kNavy);
            row.RoundRect(x0 + 4, 4, x0 + 336, 60, 8, faces[cel], Darker(faces[cel], 0.08f));
            row.RoundRect(x0 + 8, 8, x0 + 56, 56, 6, Hex(0xFFFFFF, 0.7f), Hex(0xFFFFFF, 0.4f));
        }
        out.emplace_back("hud_list_row", std::move(row));
        out.emplace_back("hud_tab", WideButton(110, 36, kNavyLight, nullptr));
        out.emplace_back("hud_button", WideButton(140, 40, kTeal, nullptr));
        out.emplace_back("hud_button_buy", WideButton(140, 40, kOrange, Coin));
        // The park's name field: a dark slot whose rim lights under the pointer and while pressed.
        Canvas field(3 * 320, 44);
        const Rgba rims[3] = {kCreamDark, Lighter(kTeal, 0.3f), kOrange};
        for (int cel = 0; cel < 3; ++cel) {
            const float x0 = 320.0f * static_cast<float>(cel);
            field.RoundRect(x0 + 1, 1, x0 + 319, 43, 10, rims[cel], Darker(rims[cel], 0.15f));
            field.RoundRect(x0 + 4, 4, x0 + 316, 40, 8, Darker(kNavy, 0.3f), kNavy);
        }
        out.emplace_back("hud_name_field", std::move(field));
        out.emplace_back("hud_close", IconButton(32, kRed, CloseX));
        out.emplace_back("hud_arrow_left", IconButton(32, kTeal, [](Canvas& c, Point p, float s, const Rgba& ink) {
                             c.Polygon({{p.x + 6 * s * 1.7f, p.y - 9 * s * 1.7f},
                                        {p.x - 8 * s * 1.7f, p.y},
                                        {p.x + 6 * s * 1.7f, p.y + 9 * s * 1.7f}},
                                       ink);
                         }));
        out.emplace_back("hud_arrow_right", IconButton(32, kTeal, [](Canvas& c, Point p, float s, const Rgba& ink) {
                             c.Polygon({{p.x - 6 * s * 1.7f, p.y - 9 * s * 1.7f},
                                        {p.x + 8 * s * 1.7f, p.y},
                                        {p.x - 6 * s * 1.7f, p.y + 9 * s * 1.7f}},
                                       ink);
                         }));
    }
    // Icons for texts and lists.
    auto icon = [](const Glyph& glyph, const Rgba& colour) {
        Canvas c(32, 32);
        glyph(c, {16, 16}, 1.0f, colour);
        return c;
    };
    out.emplace_back("icon_money", icon(Coin, kGold));
    out.emplace_back("icon_hearts", icon(Heart, kRed));
    out.emplace_back("icon_calendar", icon(Calendar, kWhite));
    out.emplace_back("icon_appeal", icon(Star, kGold));
    out.emplace_back(
        "icon_lock",
        icon(
            [](Canvas& c, Point p, float s, const Rgba&) {
                c.Stroke(
                    {{p.x - 6 * s, p.y}, {p.x - 6 * s, p.y - 7 * s}, {p.x + 6 * s, p.y - 7 * s}, {p.x + 6 * s, p.y}},
                    2.2f * s, Hex(0x9AA5B1));
                c.RoundRect(p.x - 10 * s, p.y - 2 * s, p.x + 10 * s, p.y + 13 * s, 2 * s, kGold, Darker(kGold, 0.2f));
            },
            kGold));
    // Stat popups over buildings.
    out.emplace_back("stat_appeal_up", Badge(kOrange, Star, 1));
    out.emplace_back("stat_appeal_down", Badge(kOrange, Star, -1));
    out.emplace_back("stat_appeal_maxed", Badge(kGold, Crown, 0));
    out.emplace_back("stat_profit_up", Badge(kTeal, Coin, 1));
    out.emplace_back("stat_profit_down", Badge(kTeal, Coin, -1));
    out.emplace_back("stat_profit_maxed", Badge(Hex(0xC98A12), Crown, 0));
    out.emplace_back("stat_zone_formed", Badge(Hex(0x8E5CC7), ZoneLinks, 0));
    out.emplace_back("stat_compatible", Badge(kGreen, Check, 0));
    // Reachability: cut off from the gate, and joined again.
    {
        Canvas cut(48, 48);
        cut.Disc({24, 24}, 22, kNavy);
        cut.Disc({24, 24}, 19, kRed);
        TileGlyph(cut, {24, 22}, 0.9f, kWhite);
        cut.Stroke({{12, 12}, {36, 36}}, 3, kWhite);
        out.emplace_back("indicator_unreachable", std::move(cut));
        Canvas joined(48, 48);
        joined.Disc({24, 24}, 22, kNavy);
        joined.Disc({24, 24}, 19, kGreen);
        Check(joined, {24, 24}, 1.0f, kWhite);
        out.emplace_back("indicator_connected", std::move(joined));
    }
    // The reminder: a bright marker over the place, and the arrow that points
    // down at angle 0 when the place is off the screen.
    {
        Canvas marker(48, 56);
        marker.Polygon({{24, 54}, {12, 36}, {36, 36}}, kNavy);
        marker.Disc({24, 22}, 21, kNavy);
        marker.Disc({24, 22}, 18, kOrange);
        marker.RoundRect(21, 9, 27, 27, 3, kWhite, kWhite);
        marker.Disc({24, 32}, 3.2f, kWhite);
        out.emplace_back("reminder_icon", std::move(marker));
        Canvas arrow(40, 40);
        arrow.Polygon({{20, 38}, {4, 18}, {13, 18}, {13, 2}, {27, 2}, {27, 18}, {36, 18}}, kNavy);
        arrow.Polygon({{20, 34}, {8, 20}, {15, 20}, {15, 5}, {25, 5}, {25, 20}, {32, 20}}, kOrange);
        out.emplace_back("reminder_arrow", std::move(arrow));
    }
    return SaveAll(folder, out);
}

}  // namespace parkart
