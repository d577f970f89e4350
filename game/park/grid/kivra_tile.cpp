#include "game/park/grid/kivra_tile.h"

#include "foundation/values/transform.h"
#include "game/data/progress/goal_display.h"
#include "game/data/progress/kivra_level.h"
#include "rendering/draw/graphics.h"
#include "rendering/image/image.h"

namespace {

constexpr int kRefusingFrame = 5;

// The frame of a material that has looks, or of "T"; negative for the rest.
int PavedFrame(TileChar material, int32_t lookVariant) {
    switch (material) {
        case 'C': return lookVariant + 0;
        case 'B': return lookVariant + 3;
        case 'S': return lookVariant + 6;
        case 'P': return lookVariant + 9;
        case 'T': return 12;
        default: return -1;
    }
}

TileChar LevelSidewalk() {
    ParkPlayer* player = ParkPlayer::Current();
    const KIVRA_LEVEL* level = player != nullptr ? player->GetCurrentLevel() : nullptr;
    return level != nullptr ? level->sidewalk : TileChar{0};
}

}  // namespace

bool KivraTile::IsSidewalk() const {
    switch (material) {
        case 'C':
        case 'B':
        case 'S':
        case 'P':
        case '@':
        case '#': return true;
        default: return false;
    }
}

bool KivraTile::IsBuildable() const {
    return occupant == nullptr && material != '@' && material != 'X' && material != '#';
}

int KivraTile::GetMaterialFrame() const {
    // Spawn and unbuildable sidewalk look like the level's own sidewalk.
    if (material == '@' || material == '#') return PavedFrame(LevelSidewalk(), lookVariant);
    return PavedFrame(material, lookVariant);
}

int KivraTile::StateFrame(TileChar c) {
    switch (c) {
        case 's': return 0;
        case 'g': return 1;
        case 'r': return 2;
        case 'a': return 3;
        case '*': return 4;
        default: return (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ? 0 : -1;
    }
}

void KivraTile::DrawState(Graphics& g, int x, int y) {
    // A door's mark goes over a zone's ring: the carried building's doors lie
    // in its own ring, and they tell where the sidewalk must touch.
    const bool door = GetStateFrame() == 0;
    if (!door) GridTile::DrawState(g, x, y);
    if (overlay == '#') {
        DrawCentred(g, StatesImage(), x, y, StateFrame('a'));
        DrawCentred(g, StatesImage(), x, y, StateFrame('*'));
    } else {
        DrawCentred(g, StatesImage(), x, y, StateFrame(overlay));
    }
    if (door) GridTile::DrawState(g, x, y);
}

void KivraTile::DrawRefusal(Graphics& g, int x, int y) { DrawCentred(g, StatesImage(), x, y, kRefusingFrame); }

void KivraTile::AppendLook(std::vector<uint64_t>& words) const {
    GridTile::AppendLook(words);
    words.push_back(overlay | static_cast<uint64_t>(mirrorX) << 16 | static_cast<uint64_t>(mirrorY) << 17);
}

void KivraTile::Draw(Graphics& g, Image* image, float x, float y, int frame) {
    // An unmirrored tile needs no transform: the plain draw puts the same pixels down.
    if (!mirrorX && !mirrorY) {
        GridTile::Draw(g, image, x, y, frame);
        return;
    }
    const float w = static_cast<float>(image->GetCelWidth());
    const float h = static_cast<float>(image->GetCelHeight());
    Transform t;
    t.Scale(mirrorX ? -1.0f : 1.0f, mirrorY ? -1.0f : 1.0f);
    g.DrawImageTransformFull(image, &t, x + w * 0.5f, y + h * 0.5f - (mirrorY ? 1.0f : 0.0f), frame);
}
