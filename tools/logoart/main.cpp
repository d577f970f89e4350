// logoart FOLDER: draws the studio logo's pieces and the two splash pictures
// into FOLDER (data/): the letters, their tilted forms, the ball with its two
// squash cels, the ball's trail and the TM mark under images/logo/, and
// splash.jpg (day) and splash2.jpg (night) at the top, each the screen's
// 1024 x 768, and the menus' pictures under images/menu/. Everything is made
// here from strokes and shapes; the output is the same on every run.
//
// The trail is the path the underside of the logo screen's ball flies (the same velocities,
// gravity, floors and squash times), sampled one fixed update at a time, so
// the dots line up with the ball as the screen reveals them.
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "tools/logoart/canvas.h"
#include "tools/logoart/menu_art.h"
#include "tools/logoart/strokes.h"

using namespace logoart;

namespace {

constexpr int kLetterWidth = 80, kLetterHeight = 120;
// The screen reveals the trail up to the middle of the ball's cel; the ball
// sits right of that middle, so the dots appear just behind it.
constexpr int kBallWidth = 128, kBallHeight = 101;
constexpr float kBallCentreX = 88, kBallRadius = 28;
// Where the screen draws the trail, from the screen's centre.
constexpr float kTrailLeft = -229, kTrailTop = -73;

const Rgba kLetterBody = Hex(0x2A6F97), kLetterEdge = Hex(0x173F5F);
const Rgba kBallBody = Hex(0xE4572E), kBallEdge = Hex(0x9C2F14), kBallShine = Hex(0xFFB39A, 0.8f);

bool Save(const Canvas& canvas, const std::string& path) {
    if (canvas.Save(path)) return true;
    std::fprintf(stderr, "logoart: cannot write %s\n", path.c_str());
    return false;
}

bool Letter(const std::string& folder, char letter, const std::string& name, float degrees) {
    Canvas canvas(kLetterWidth, kLetterHeight);
    // Turned about the middle of its foot, as if the ball pressed the top over.
    const Strokes strokes = Place(LetterStrokes(letter), 1.0f, degrees, {36, 97}, 4, 2);
    DrawLetter(canvas, strokes, 8, kLetterBody, kLetterEdge);
    return Save(canvas, folder + "/" + name + ".png");
}

// Three cels side by side: round in flight, then squashed flat and less flat.
bool Ball(const std::string& folder) {
    Canvas canvas(3 * kBallWidth, kBallHeight);
    const float shapes[3][2] = {{kBallRadius, kBallRadius}, {34, 21}, {31, 24}};
    for (int cel = 0; cel < 3; ++cel) {
        const float rx = shapes[cel][0], ry = shapes[cel][1];
        const Point centre{cel * kBallWidth + kBallCentreX, kBallHeight - ry - 1};
        canvas.Ellipse(centre, rx + 1.5f, ry + 1.5f, kBallEdge);
        canvas.Ellipse(centre, rx, ry, kBallBody);
        canvas.Ellipse({centre.x - rx * 0.35f, centre.y - ry * 0.4f}, rx * 0.3f, ry * 0.22f, kBallShine);
        // The ball stands for the studio word's last letter: it carries it,
        // so the screen spells the name the splash picture does.
        const float scale = ry * 1.2f / 105;
        const Strokes r = Place(LetterStrokes('R'), scale, 0, {0, 0}, centre.x - 36 * scale, centre.y - 52 * scale);
        DrawLetter(canvas, r, 8 * scale, Hex(0xFFF4E8), kBallEdge);
    }
    return Save(canvas, folder + "/Ball.png");
}

// Where the underside of the ball is at every update after launch, relative
// to the screen's centre: the trail follows the ball's underside, which stays
// inside the part of the screen the trail image covers.
std::vector<Point> BallPath() {
    double x = -740, y = 350, vx = 4.41, vy = -9.6;
    const double floors[3] = {-101, -102, 4};
    const int frameLengths[3] = {6, 7, 5};
    int bounce = 0, squash = -1, length = 1;
    std::vector<Point> path;
    for (int update = 0; update < 1000 && !(bounce >= 3 && squash < 0); ++update) {
        if (squash >= 0 && ++squash >= 3 * length) {
            squash = -1;
            if (bounce == 1) vx = 2.76, vy = -2.8;
            if (bounce == 2) vx = 1.98, vy = -3.4;
        }
        if (vx != 0) {
            x += squash >= 0 ? vx / 2 : vx;
            if (squash < 0) {
                y += vy;
                vy += 0.1;
                if (vy > 0 && bounce < 3 && y >= floors[bounce]) {
                    squash = 0;
                    length = frameLengths[bounce];
                    if (bounce == 2) y = floors[2], vx = vy = 0;
                    ++bounce;
                }
            }
        }
        path.push_back({static_cast<float>(x + kBallCentreX), static_cast<float>(y + kBallHeight - 4)});
    }
    return path;
}

bool Trail(const std::string& folder) {
    std::vector<Point> path;
    float right = 0, bottom = 0;
    for (const Point& p : BallPath()) {
        if (p.x < kTrailLeft) continue;
        path.push_back({p.x - kTrailLeft, p.y - kTrailTop});
        right = std::max(right, path.back().x);
        bottom = std::max(bottom, path.back().y);
    }
    Canvas canvas(static_cast<int>(right) + 8, static_cast<int>(bottom) + 8);
    float travelled = 0;
    for (size_t i = 1; i < path.size(); ++i) {
        travelled += std::hypot(path[i].x - path[i - 1].x, path[i].y - path[i - 1].y);
        if (travelled < 11) continue;
        travelled = 0;
        canvas.Disc(path[i], 2.6f, Mix(kBallBody, Hex(0xFFFFFF), 0.35f));
    }
    std::printf("trail %d x %d\n", canvas.Width(), canvas.Height());
    return Save(canvas, folder + "/Trail.png");
}

bool TradeMark(const std::string& folder) {
    Canvas canvas(28, 16);
    const Rgba ink = kLetterEdge;
    canvas.Stroke({{2, 3}, {11, 3}}, 1.3f, ink);
    canvas.Stroke({{6.5f, 3}, {6.5f, 13}}, 1.3f, ink);
    canvas.Stroke({{14, 13}, {14, 3}, {19.5f, 9}, {25, 3}, {25, 13}}, 1.3f, ink);
    return Save(canvas, folder + "/PelmarTM.png");
}

// A ferris wheel: rim, spokes, cabins and its stand.
void Wheel(Canvas& canvas, Point centre, float radius, const Rgba& steel, const Rgba& cabin) {
    constexpr float kPi = 3.14159265f;
    std::vector<Point> rim;
    for (int i = 0; i <= 72; ++i)
        rim.push_back({centre.x + radius * std::cos(i * kPi / 36), centre.y + radius * std::sin(i * kPi / 36)});
    canvas.Stroke({{centre.x, centre.y}, {centre.x - radius * 0.55f, centre.y + radius * 1.45f}}, 4, steel);
    canvas.Stroke({{centre.x, centre.y}, {centre.x + radius * 0.55f, centre.y + radius * 1.45f}}, 4, steel);
    canvas.Stroke(rim, 3, steel);
    for (int i = 0; i < 12; ++i) {
        const float a = i * kPi / 6;
        const Point end{centre.x + radius * std::cos(a), centre.y + radius * std::sin(a)};
        canvas.Stroke({centre, end}, 1.5f, steel);
        canvas.Ellipse({end.x, end.y + 9}, 9, 8, Mix(cabin, Hex(0xFFFFFF), (i % 3) * 0.2f));
    }
    canvas.Disc(centre, 6, steel);
}

// Daylight over rolling hills, the screen's size: the picture fills it, so
// the distributor screen shows no band around it.
bool Splash(const std::string& path) {
    Canvas canvas(1024, 768);
    canvas.VerticalGradient(Hex(0x7EC8F2), Hex(0xFFF1D0), 0, 600);
    canvas.Disc({850, 150}, 70, Hex(0xFFD85A));
    canvas.Disc({850, 150}, 95, Hex(0xFFE9A0, 0.35f));
    Wheel(canvas, {215, 370}, 140, Hex(0x5B4B8A), Hex(0xE4572E));
    canvas.FillBelow([](float x) { return 560 + 40 * std::sin(x / 160.0f) + 20 * std::sin(x / 61.0f + 1); },
                     Hex(0x7BB661));
    canvas.FillBelow([](float x) { return 650 + 30 * std::sin(x / 130.0f + 2.5f); }, Hex(0x4E9A3E));
    DrawWord(canvas, "HALVARO", 400, 330, 0.9f, Hex(0xFFFFFF), Hex(0x2A6F97));
    return Save(canvas, path);
}

// The same park at night, the screen's size as well.
bool SplashNight(const std::string& path) {
    Canvas canvas(1024, 768);
    canvas.VerticalGradient(Hex(0x0B1D3A), Hex(0x3B3F78), 0, 768);
    unsigned seed = 12345;
    auto next = [&seed] {
        seed = seed * 1103515245u + 12345u;
        return (seed >> 16) & 0x7FFF;
    };
    for (int i = 0; i < 180; ++i) {
        const Point star{static_cast<float>(next() % 1024), static_cast<float>(next() % 500)};
        canvas.Disc(star, 0.8f + (next() % 10) / 8.0f, Hex(0xFFFFFF, 0.5f + (next() % 50) / 100.0f));
    }
    canvas.Disc({800, 130}, 52, Hex(0xF4F1DE));
    canvas.Disc({825, 115}, 48, Hex(0x0F2244));
    Wheel(canvas, {720, 450}, 130, Hex(0xC9B8FF), Hex(0xFFC857));
    canvas.FillBelow([](float x) { return 630 + 25 * std::sin(x / 120.0f); }, Hex(0x1D3B2A));
    DrawWord(canvas, "PELMAR", 512 - 6 * 84 * 0.8f / 2, 200, 0.8f, Hex(0xFFC857), Hex(0x0B1D3A));
    return Save(canvas, path);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "Usage: %s FOLDER\nDraws the logo pieces and splash pictures into FOLDER (data/).\n",
                     argv[0]);
        return 2;
    }
    const std::string root = argv[1];
    const std::string logo = root + "/images/logo";
    std::filesystem::create_directories(logo);
    bool ok = true;
    for (char letter : std::string("PELMA")) ok &= Letter(logo, letter, std::string(1, letter), 0);
    ok &= Letter(logo, 'E', "E_Tilt", 7);
    ok &= Letter(logo, 'M', "M_Tilt", 9);
    ok &= Ball(logo);
    ok &= Trail(logo);
    ok &= TradeMark(logo);
    ok &= Splash(root + "/splash.jpg");
    ok &= SplashNight(root + "/splash2.jpg");
    ok &= DrawMenuArt(root);
    return ok ? 0 : 1;
}
