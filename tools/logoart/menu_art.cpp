#include "tools/logoart/menu_art.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "tools/logoart/strokes.h"

namespace logoart {

namespace {

// One palette for every front-door picture: a deep navy for frames and
// panels, warm orange for the call to play, teal for the other buttons and a
// cream that reads well on all of them.
const Rgba kNavy = Hex(0x16324F), kNavyLight = Hex(0x24507A), kCream = Hex(0xFFF4DC), kCreamDark = Hex(0xEAD9B5);
const Rgba kOrange = Hex(0xF7931E), kOrangeDark = Hex(0xD9541E), kTeal = Hex(0x2BA6A0), kTealDark = Hex(0x17706C);
const Rgba kShadow = Hex(0x000000, 0.35f), kWhite = Hex(0xFFFFFF);

bool Save(const Canvas& canvas, const std::string& path) {
    if (canvas.Save(path)) return true;
    std::fprintf(stderr, "logoart: cannot write %s\n", path.c_str());
    return false;
}

Rgba Lighter(const Rgba& c, float t) { return Mix(c, kWhite, t); }
Rgba Darker(const Rgba& c, float t) { return Mix(c, Hex(0x000000), t); }

// A word of stroke letters with a soft drop shadow, a dark outline and a body.
void Lettering(Canvas& canvas, const char* word, float x, float y, float scale, float radius, const Rgba& body,
               const Rgba& outline) {
    for (int pass = 0; pass < 3; ++pass) {
        float at = x;
        for (const char* c = word; *c; ++c) {
            const float dx = pass == 0 ? 3 * scale * 4 : 0, dy = pass == 0 ? 4 * scale * 4 : 0;
            const Rgba colour = pass == 0 ? kShadow : pass == 1 ? outline : body;
            const float r = pass == 2 ? radius : radius + std::max(2.0f, radius * 0.45f);
            for (const auto& line : Place(LetterStrokes(*c), scale, 0, {0, 0}, at + dx, y + dy))
                canvas.Stroke(line, r, colour);
            at += 84 * scale;
        }
    }
}

float WordWidth(const char* word, float scale) { return (static_cast<float>(std::strlen(word)) * 84 - 12) * scale; }

// Three looks side by side: normal, pointer over (brighter, lifted glow) and
// pressed (darker, one step lower), each a rounded pill with a rim and a sheen.
Canvas ButtonCels(int width, int height, const Rgba& face, const Rgba& rim, const char* word, float wordScale) {
    Canvas canvas(3 * width, height);
    for (int cel = 0; cel < 3; ++cel) {
        const float x0 = static_cast<float>(cel * width), press = cel == 2 ? 2.0f : 0.0f;
        const float r = std::min(16.0f, height / 2.0f - 4);
        const Rgba top = cel == 1 ? Lighter(face, 0.3f) : cel == 2 ? Darker(face, 0.15f) : face;
        const Rgba bottom = cel == 2 ? Darker(face, 0.35f) : Darker(face, 0.18f);
        canvas.RoundRect(x0 + 3, 5, x0 + width - 3, height - 1.0f, r, kShadow, kShadow);
        if (cel == 1)
            canvas.RoundRect(x0 + 1, 1 + press, x0 + width - 1, height - 3 + press, r + 2, Hex(0xFFF3A0, 0.8f),
                             Hex(0xFFF3A0, 0.8f));
        canvas.RoundRect(x0 + 3, 3 + press, x0 + width - 3, height - 5 + press, r, rim, rim);
        canvas.RoundRect(x0 + 6, 6 + press, x0 + width - 6, height - 8 + press, r - 3, top, bottom);
        canvas.RoundRect(x0 + 12, 8 + press, x0 + width - 12, height / 2.0f + press, r - 6, Hex(0xFFFFFF, 0.28f),
                         Hex(0xFFFFFF, 0.05f));
        if (word) {
            const float w = WordWidth(word, wordScale), h = 105 * wordScale;
            Lettering(canvas, word, x0 + (width - w) / 2, (height - 4 - h) / 2 + press, wordScale, 9 * wordScale,
                      kCream, Darker(rim, 0.2f));
        }
    }
    return canvas;
}

// A panel: shadow, cream rim, navy face (white text reads on it) with a
// faint light band along the top.
void Panel(Canvas& canvas, float x0, float y0, float x1, float y1, float radius) {
    canvas.RoundRect(x0 + 4, y0 + 6, x1, y1, radius, kShadow, kShadow);
    canvas.RoundRect(x0, y0, x1 - 4, y1 - 6, radius, kCream, kCreamDark);
    canvas.RoundRect(x0 + 7, y0 + 7, x1 - 11, y1 - 13, radius - 5, kNavyLight, kNavy);
    canvas.RoundRect(x0 + 12, y0 + 10, x1 - 16, y0 + 60, radius - 8, Hex(0xFFFFFF, 0.10f), Hex(0xFFFFFF, 0.0f));
}

void Cloud(Canvas& canvas, float x, float y, float s) {
    const Rgba c = Hex(0xFFFFFF, 0.9f);
    canvas.Ellipse({x, y}, 60 * s, 26 * s, c);
    canvas.Disc({x - 28 * s, y - 14 * s}, 26 * s, c);
    canvas.Disc({x + 18 * s, y - 22 * s}, 32 * s, c);
}

// A striped tent with a pennant.
void Tent(Canvas& canvas, float x, float base, float w, const Rgba& stripe) {
    const float h = w * 0.9f;
    for (int i = 0; i < 6; ++i) {
        const float a = x - w / 2 + i * w / 6, b = a + w / 6;
        for (float t = 0; t <= 1.0f; t += 0.02f) {
            const float top = base - h * 0.55f - (h * 0.45f) * (1 - std::fabs((a + (b - a) * t - x) / (w / 2)));
            canvas.Stroke({{a + (b - a) * t, top}, {a + (b - a) * t, base}}, 1.2f, i % 2 ? kCream : stripe);
        }
    }
    canvas.Stroke({{x, base - h}, {x, base - h - 26}}, 2, kNavy);
    canvas.Stroke({{x + 1, base - h - 26}, {x + 20, base - h - 20}, {x + 1, base - h - 14}}, 2.5f, kOrangeDark);
}

bool TitleBackground(const std::string& images) {
    Canvas canvas(1024, 768);
    canvas.VerticalGradient(Hex(0x4FB3E8), Hex(0xFFE3B0), 0, 620);
    canvas.Disc({840, 150}, 120, Hex(0xFFE9A0, 0.3f));
    canvas.Disc({840, 150}, 70, Hex(0xFFD24A));
    Cloud(canvas, 150, 120, 1.0f);
    Cloud(canvas, 620, 80, 0.7f);
    Cloud(canvas, 930, 300, 0.8f);
    canvas.FillBelow([](float x) { return 560 + 30 * std::sin(x / 150.0f) + 14 * std::sin(x / 47.0f + 1); },
                     Hex(0x8CC665));
    // A ferris wheel on the left hill, tents on the right.
    constexpr float kPi = 3.14159265f;
    const Point hub{170, 420};
    const float radius = 150;
    canvas.Stroke({hub, {hub.x - 90, 600}}, 5, Hex(0x6B4FA0));
    canvas.Stroke({hub, {hub.x + 90, 600}}, 5, Hex(0x6B4FA0));
    std::vector<Point> rim;
    for (int i = 0; i <= 72; ++i)
        rim.push_back({hub.x + radius * std::cos(i * kPi / 36), hub.y + radius * std::sin(i * kPi / 36)});
    canvas.Stroke(rim, 4, Hex(0x6B4FA0));
    const unsigned cabins[4] = {0xE4572E, 0xF7931E, 0x2BA6A0, 0xFFD24A};
    for (int i = 0; i < 12; ++i) {
        const float a = i * kPi / 6;
        const Point end{hub.x + radius * std::cos(a), hub.y + radius * std::sin(a)};
        canvas.Stroke({hub, end}, 1.8f, Hex(0x6B4FA0));
        canvas.Ellipse({end.x, end.y + 12}, 13, 11, Hex(cabins[i % 4]));
    }
    canvas.Disc(hub, 8, Hex(0x4A3578));
    Tent(canvas, 790, 585, 130, Hex(0xE4572E));
    Tent(canvas, 920, 600, 100, Hex(0x2BA6A0));
    canvas.FillBelow([](float x) { return 640 + 22 * std::sin(x / 110.0f + 2.0f); }, Hex(0x5FA84A));
    // A path winding to the front.
    for (int i = 0; i < 40; ++i) {
        const float t = i / 39.0f;
        canvas.Disc({512 + 120 * std::sin(t * 3), 620 + 150 * t}, 10 + 40 * t, Hex(0xE8D3A2));
    }
    return Save(canvas, images + "/TitleBackground.jpg");
}

// The name in big letters on a ribbon. The screen draws the picture from
// 158 pixels above its top, so everything sits in the lower part.
bool GameLogo(const std::string& images) {
    constexpr int kWidth = 640, kHeight = 440;
    Canvas canvas(kWidth, kHeight);
    canvas.RoundRect(60, 330, 580, 400, 30, Darker(kOrangeDark, 0.1f), Darker(kOrangeDark, 0.3f));
    canvas.RoundRect(66, 334, 574, 392, 26, kOrange, kOrangeDark);
    const float scale = 1.02f, w = WordWidth("HALVARO", scale);
    Lettering(canvas, "HALVARO", (kWidth - w) / 2, 200, scale, 13, kCream, kNavy);
    const float small = 0.32f;
    const char* line = "THEME PARK";
    const float lw = WordWidth(line, small);
    Lettering(canvas, line, (kWidth - lw) / 2, 346, small, 4.5f, kCream, kNavy);
    return Save(canvas, images + "/GameLogo.png");
}

bool LoadingBar(const std::string& images) {
    Canvas base(540, 48);
    base.RoundRect(2, 4, 538, 48, 20, kShadow, kShadow);
    base.RoundRect(0, 0, 536, 44, 20, kNavyLight, kNavy);
    base.RoundRect(9, 9, 527, 35, 13, Hex(0x0C1E33), Hex(0x1A3552));
    bool ok = Save(base, images + "/Loadingbar_base.png");
    // As wide as the base; the screen draws it 9 pixels further left than the
    // base and cuts it to the progress, so the fill starts 18 pixels in and
    // ends where the base's slot ends.
    Canvas top(540, 48);
    top.RoundRect(19, 10, 535, 34, 12, Hex(0xFFC24A), kOrangeDark);
    top.RoundRect(25, 12, 529, 21, 5, Hex(0xFFFFFF, 0.45f), Hex(0xFFFFFF, 0.1f));
    for (int x = 40; x < 528; x += 36)
        top.Stroke({{static_cast<float>(x), 30}, {x + 12.0f, 14}}, 3, Hex(0xFFFFFF, 0.18f));
    return Save(top, images + "/Loadingbar_Top.png") && ok;
}

bool Buttons(const std::string& images) {
    bool ok = Save(ButtonCels(266, 86, kOrange, Darker(kOrangeDark, 0.25f), "PLAY", 0.42f), images + "/PlayGame.png");
    ok &= Save(ButtonCels(280, 58, kTeal, kTealDark, nullptr, 0), images + "/main_button.png");
    ok &= Save(ButtonCels(170, 50, kOrange, Darker(kOrangeDark, 0.25f), nullptr, 0), images + "/dialog_button.png");
    ok &= Save(ButtonCels(64, 56, kOrange, Darker(kOrangeDark, 0.25f), "OK", 0.24f), images + "/EnterNameOk.png");
    ok &= Save(ButtonCels(340, 54, Hex(0x3C6E9C), kNavy, nullptr, 0), images + "/profile_button.png");
    ok &= Save(ButtonCels(54, 54, kTeal, kTealDark, "OK", 0.2f), images + "/profile_ok.png");
    return ok;
}

bool Dialogs(const std::string& images) {
    // Tall enough for the options: three sliders, three boxes and the buttons.
    Canvas dialog(560, 500);
    Panel(dialog, 0, 0, 560, 500, 26);
    bool ok = Save(dialog, images + "/Dialog.png");
    // The name entry: a slot for the typed name at (35, 58), 224 by 50.
    Canvas name(360, 132);
    Panel(name, 0, 0, 360, 132, 22);
    name.RoundRect(33, 56, 261, 110, 10, kCreamDark, kCreamDark);
    name.RoundRect(35, 58, 259, 108, 9, Hex(0x081628), Hex(0x142B45));
    ok &= Save(name, images + "/EnterName.png");
    // Nine pieces of one framed panel: corners 24 square, edges and middle stretch.
    Canvas frame(72, 72);
    frame.RoundRect(0, 0, 72, 72, 20, kCream, kCream);
    frame.RoundRect(5, 5, 67, 67, 15, kNavy, kNavy);
    const char* names[3][3] = {{"lt", "ct", "rt"}, {"lc", "cc", "rc"}, {"lb", "cb", "rb"}};
    for (int row = 0; row < 3; ++row)
        for (int col = 0; col < 3; ++col)
            ok &= Save(frame.Crop(col * 24, row * 24, 24, 24), images + "/frame_" + names[row][col] + ".png");
    // The end caps of a text tag: a rounded navy pill cut in three.
    Canvas tag(60, 40);
    tag.RoundRect(0, 0, 60, 40, 18, kNavyLight, kNavy);
    ok &= Save(tag.Crop(0, 0, 20, 40), images + "/tag_left.png");
    ok &= Save(tag.Crop(20, 0, 20, 40), images + "/tag_center.png");
    ok &= Save(tag.Crop(40, 0, 20, 40), images + "/tag_right.png");
    return ok;
}

bool Controls(const std::string& images) {
    Canvas track(300, 20);
    track.RoundRect(0, 2, 300, 20, 9, kShadow, kShadow);
    track.RoundRect(0, 0, 298, 18, 9, kNavy, kNavyLight);
    track.RoundRect(4, 5, 294, 13, 4, Hex(0x0C1E33), Hex(0x0C1E33));
    bool ok = Save(track, images + "/Slider.png");
    Canvas thumb(30, 38);
    thumb.RoundRect(2, 3, 30, 38, 8, kShadow, kShadow);
    thumb.RoundRect(0, 0, 27, 35, 8, Darker(kOrangeDark, 0.25f), Darker(kOrangeDark, 0.25f));
    thumb.RoundRect(3, 3, 24, 32, 6, Hex(0xFFC24A), kOrange);
    for (float x : {9.5f, 13.5f, 17.5f}) thumb.Stroke({{x, 12}, {x, 23}}, 0.9f, Darker(kOrangeDark, 0.2f));
    ok &= Save(thumb, images + "/Slider_Thumb.png");
    for (int checked = 0; checked < 2; ++checked) {
        Canvas box(40, 40);
        box.RoundRect(2, 4, 40, 40, 8, kShadow, kShadow);
        box.RoundRect(0, 0, 36, 36, 8, kNavyLight, kNavy);
        box.RoundRect(5, 5, 31, 31, 5, kCream, kCreamDark);
        if (checked) {
            box.Stroke({{9, 18}, {16, 26}, {30, 7}}, 4.5f, Darker(kTealDark, 0.3f));
            box.Stroke({{9, 18}, {16, 26}, {30, 7}}, 3, kTeal);
        }
        ok &= Save(box, images + (checked ? "/check_box_checked.png" : "/check_box.png"));
    }
    return ok;
}

// The game's own pointers: an arrow (tip at the top left), a hand, a closed
// hand for dragging and a text beam. Their hot spots are in
// properties/config.xml: move them with the drawing.
bool Cursors(const std::string& images) {
    Canvas arrow(32, 32);
    const std::vector<Point> outline = {{2, 2}, {2, 24}, {8, 19}, {12, 28}, {16, 26}, {12, 17}, {20, 17}, {2, 2}};
    arrow.Stroke(outline, 2.2f, kNavy);
    for (int y = 4; y < 22; ++y)
        arrow.Stroke({{3.5f, static_cast<float>(y)}, {3.5f + (y - 3) * 0.8f, static_cast<float>(y)}}, 0.9f, kOrange);
    arrow.Stroke({{9, 19}, {13, 26}}, 1.4f, kOrange);
    arrow.Stroke(outline, 1.0f, kNavy);
    bool ok = Save(arrow, images + "/custom_pointer.png");
    Canvas hand(32, 32);
    hand.RoundRect(8, 14, 26, 30, 6, kNavy, kNavy);
    hand.RoundRect(10, 16, 24, 28, 4, kCream, kCreamDark);
    hand.Stroke({{12, 16}, {12, 4}}, 3.2f, kNavy);
    hand.Stroke({{12, 16}, {12, 4}}, 1.8f, kCream);
    for (float x : {16.0f, 19.5f, 23.0f}) {
        hand.Stroke({{x, 17}, {x, 12}}, 2.6f, kNavy);
        hand.Stroke({{x, 17}, {x, 12}}, 1.3f, kCream);
    }
    ok &= Save(hand, images + "/custom_hand.png");
    // The hand closed on what it drags: the knuckles show, no finger points.
    Canvas fist(32, 32);
    fist.RoundRect(7, 10, 27, 28, 6, kNavy, kNavy);
    fist.RoundRect(9, 12, 25, 26, 4, kCream, kCreamDark);
    for (float x : {12.0f, 16.0f, 20.0f}) {
        fist.Disc({x, 11}, 2.6f, kNavy);
        fist.Disc({x, 11}, 1.4f, kCream);
    }
    fist.Stroke({{7.5f, 17}, {10, 21}}, 1.0f, kNavy);
    ok &= Save(fist, images + "/custom_dragging.png");
    // A beam with short bars at both ends, cream on a navy outline.
    Canvas beam(32, 32);
    for (const auto& [radius, colour] : {std::pair{2.2f, kNavy}, std::pair{1.0f, kCream}}) {
        beam.Stroke({{16, 6}, {16, 26}}, radius, colour);
        beam.Stroke({{12, 5}, {20, 5}}, radius, colour);
        beam.Stroke({{12, 27}, {20, 27}}, radius, colour);
    }
    ok &= Save(beam, images + "/custom_text.png");
    return ok;
}

}  // namespace

bool DrawMenuArt(const std::string& root) {
    const std::string images = root + "/images/menu";
    std::filesystem::create_directories(images);
    bool ok = TitleBackground(images);
    ok &= GameLogo(images);
    ok &= LoadingBar(images);
    ok &= Buttons(images);
    ok &= Dialogs(images);
    ok &= Controls(images);
    ok &= Cursors(images);
    return ok;
}

}  // namespace logoart
