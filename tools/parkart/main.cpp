// parkart FOLDER [--part NAME] [--scene OUT.png]: draws the park's pictures
// (or one part of them) into FOLDER (data/): the ground under images/park/ and images/levels/, the buildings
// and visitors, the in-game display's pieces under images/hud/, and the level
// select map, the nightfall cover and each level's splash under
// images/levels/. Everything is made here from shapes and strokes; the
// output is the same on every run. With --scene it also composes a test
// scene from the pictures it drew (to look at, never to ship).
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>

#include "tools/parkart/building_art.h"
#include "tools/parkart/ground_art.h"
#include "tools/parkart/hud_art.h"
#include "tools/parkart/people_art.h"
#include "tools/parkart/screen_art.h"

namespace parkart {

// The atlas's entry goes between two marker comments of assets.xml, the rest
// of the file untouched; without the file (a scratch folder) nothing is written.
bool WriteAssetsBlock(const std::string& path, const std::string& block) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return true;
    std::stringstream text;
    text << in.rdbuf();
    std::string all = text.str();
    const std::string begin = "<!-- parkart: buildings -->\n", end = "        <!-- parkart: end -->";
    const size_t from = all.find(begin), to = all.find(end);
    if (from == std::string::npos || to == std::string::npos || to < from) {
        std::fprintf(stderr, "parkart: %s has no parkart markers\n", path.c_str());
        return false;
    }
    all.replace(from + begin.size(), to - from - begin.size(), block);
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << all;
    return static_cast<bool>(out);
}

}  // namespace parkart

int main(int argc, char** argv) {
    std::string part, scene;
    bool usage = argc < 2 || argc % 2 != 0;
    for (int i = 2; i + 1 < argc && !usage; i += 2) {
        if (std::strcmp(argv[i], "--part") == 0)
            part = argv[i + 1];
        else if (std::strcmp(argv[i], "--scene") == 0)
            scene = argv[i + 1];
        else
            usage = true;
    }
    const char* parts[] = {"ground", "backdrops", "buildings", "visitors", "hud", "screens"};
    if (!part.empty() && std::find(std::begin(parts), std::end(parts), part) == std::end(parts)) usage = true;
    if (usage) {
        std::fprintf(stderr,
                     "Usage: %s FOLDER [--part ground|backdrops|buildings|visitors|hud|screens] [--scene OUT.png]\n"
                     "Draws the park's pictures (all of them, or one part) into FOLDER (data/).\n",
                     argv[0]);
        return 2;
    }
    const std::string root = argv[1];
    auto wanted = [&part](const char* name) { return part.empty() || part == name; };
    bool ok = true;
    if (wanted("ground")) ok &= parkart::DrawGround(root);
    if (wanted("backdrops")) ok &= parkart::DrawBackdrops(root);
    if (wanted("buildings")) {
        std::string atlasXml;
        ok &= parkart::DrawBuildings(root, atlasXml);
        ok &= parkart::WriteAssetsBlock(root + "/properties/assets.xml", atlasXml);
    }
    if (wanted("visitors")) ok &= parkart::DrawVisitors(root);
    if (wanted("hud")) ok &= parkart::DrawHud(root);
    if (wanted("screens")) ok &= parkart::DrawScreens(root);
    if (!scene.empty()) ok &= parkart::DrawScene(scene);
    return ok ? 0 : 1;
}
