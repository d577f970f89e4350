#include "game/park/buildings/front_gate.h"

#include <array>

#include "game/data/catalogues/item_stats.h"
#include "game/data/progress/goal_display.h"
#include "game/data/progress/kivra_level.h"
#include "game/data/progress/wrapping_add.h"
#include "game/park/grid/grid.h"

namespace {

// What every gate of the process shares.
struct SharedGates {
    int32_t count = 0;
    int32_t moneyToOpen = 0;
    int32_t heartsToOpen = 0;
};

SharedGates& Shared() {
    static SharedGates shared;
    return shared;
}

const UPGRADE_STATS* OpenUpgrade() {
    const auto* type = dynamic_cast<const KIVRA_BUILDING_TYPE*>(FindRecordByName(ItemStats::Current(), L"front_gate"));
    if (type == nullptr) return nullptr;
    const auto it = type->upgrades.find(L"open");
    return it == type->upgrades.end() ? nullptr : &it->second;
}

bool OpensGate(const IMPROVEMENT_STATS& record) { return record.offsets.contains(L"open"); }

// The entrance, as offsets from the gate's anchor: spawn tiles, then the
// sidewalk beside the entry door and beside the way into the park.
struct Entrance {
    std::array<TilePoint, 2> spawn, nearSide, farSide;
};

// The entrance of a gate turned 0 or 1: spawn tiles beyond the '1' door, the
// way out of the park, and the far sidewalk at the '2' door, the way in.
const Entrance& EntranceFor(int32_t orientation) {
    static const Entrance kRowFacing{{{{2, -2}, {2, -1}}}, {{{1, -2}, {1, -1}}}, {{{-4, -2}, {-4, -1}}}};
    static const Entrance kColFacing{{{{-1, 2}, {-2, 2}}}, {{{-1, 1}, {-2, 1}}}, {{{-1, -4}, {-2, -4}}}};
    return orientation == 1 || orientation == 3 ? kColFacing : kRowFacing;
}

// A gate turned 2 or 3 is one turned 0 or 1 taken half round about its
// centre, doors and all; its entrance goes round with it, so that the spawn
// tiles stay outside the '1' door. (Taking 2 and 3 for mirrors of 1 and 0
// would put the spawn tiles at the '2' door, inside the park.)
TilePoint TurnedHalfRound(TilePoint offset, const TileRect& rect) {
    return {-offset.col - (rect.cols - 1), -offset.row - (rect.rows - 1)};
}

}  // namespace

FrontGate::FrontGate(bool open) : KivraBuilding(L"front_gate"), open_(open) {
    SharedGates& shared = Shared();
    if (shared.count++ == 0) {
        const UPGRADE_STATS* upgrade = OpenUpgrade();
        shared.moneyToOpen = upgrade ? upgrade->coincost : 0;
        shared.heartsToOpen = upgrade ? upgrade->heartcost : 0;
    }
}

FrontGate::~FrontGate() {
    SharedGates& shared = Shared();
    if (--shared.count == 0) shared.moneyToOpen = shared.heartsToOpen = 0;
}

int32_t FrontGate::MoneyToOpen() { return Shared().moneyToOpen; }
int32_t FrontGate::HeartsToOpen() { return Shared().heartsToOpen; }
int32_t FrontGate::GateCount() { return Shared().count; }

void FrontGate::AddedToManager(WidgetManager* manager) {
    KivraBuilding::AddedToManager(manager);
    if (open_) return;
    for (const wchar_t* channel : {L"red", L"green", L"blue"}) SetFloatProperty(channel, 0.35f, false);
}

PropertyValue FrontGate::GetProperty(std::wstring_view name) {
    if (name == L"money_to_open") return PropertyValue::FromInt(MoneyToOpen());
    if (name == L"hearts_to_open") return PropertyValue::FromInt(HeartsToOpen());
    return KivraBuilding::GetProperty(name);
}

void FrontGate::ApplyStatModifier(std::wstring_view name, int32_t delta) {
    if (name == L"open")
        OpenGate();
    else
        KivraBuilding::ApplyStatModifier(name, delta);
}

bool FrontGate::PurchaseImprovement(const IMPROVEMENT_STATS& record, int32_t coins, int32_t hearts) {
    if (!OpensGate(record)) return KivraBuilding::PurchaseImprovement(record, coins, hearts);
    SharedGates& shared = Shared();
    if (!KivraBuilding::PurchaseImprovement(record, shared.moneyToOpen, shared.heartsToOpen)) return false;
    // Raised here, on a purchase, and not when the upgrade is applied: a
    // saved open gate coming back must not make the next one dearer.
    if (const auto* upgrade = dynamic_cast<const UPGRADE_STATS*>(&record); upgrade != nullptr && shared.count >= 2) {
        shared.moneyToOpen += upgrade->coinincrement;
        shared.heartsToOpen += upgrade->heartincrement;
    }
    const FRect box = BoundingBox();
    auto* shown = new AnimationWidget(L"gate_opened_callback", static_cast<int>(box.x + box.w * 0.5f),
                                      static_cast<int>(box.y + box.h * 0.5f), true);
    shown->SetVariable(L"owner", PropertyValue::FromWidget(this));
    AddWidget(shown);
    return true;
}

void FrontGate::OpenGate() {
    TweenProperty(L"open_red", L"red", 1.0f, 200.0f, L"", false);
    TweenProperty(L"open_green", L"green", 1.0f, 200.0f, L"", false);
    TweenProperty(L"open_blue", L"blue", 1.0f, 200.0f, L"", false);
    LayEntrance();
    open_ = true;
}

void FrontGate::LayEntrance() {
    BuildingPark* park = Park();
    const Grid* grid = GetGrid();
    if (park == nullptr || grid == nullptr) return;
    const TilePoint at = GetGridPosition();
    const int32_t orientation = GetOrientation();
    const Entrance& entrance = EntranceFor(orientation);
    const TileRect rect = GetFootprintRect();
    const auto tileAt = [&](TilePoint offset) {
        if (orientation >= 2) offset = TurnedHalfRound(offset, rect);
        return TilePoint{at.col + offset.col, at.row + offset.row};
    };
    // A gate near the edge lays only what falls inside the grid.
    const auto lay = [&](TilePoint offset, TileChar material) {
        const TilePoint tile = tileAt(offset);
        if (grid->GetTileAt(tile.col, tile.row) == nullptr) return false;
        park->SetTileMaterial(tile, material);
        return true;
    };
    for (TilePoint offset : entrance.nearSide) lay(offset, '#');
    for (TilePoint offset : entrance.farSide) lay(offset, '#');
    for (TilePoint offset : entrance.spawn)
        if (lay(offset, '@')) park->AddSpawnSpot(tileAt(offset));
}

bool FrontGate::HitTest(float x, float y) {
    if (KivraBuilding::HitTest(x, y)) return true;
    // The way under the arch, and the slits between towers, arch and floor,
    // show the ground through the picture, yet a player pointing there points
    // at the gate: a point with the picture on both sides along its row is on
    // it. A row reads the same mirrored, so both orientations answer alike.
    const auto pictureToward = [&](float step) {
        for (float at = x + step; at >= 0.0f && at < static_cast<float>(width_); at += step)
            if (KivraBuilding::HitTest(at, y)) return true;
        return false;
    };
    return y >= 0.0f && y < static_cast<float>(height_) && pictureToward(-1.0f) && pictureToward(1.0f);
}

void FrontGate::AddVisitor(BuildingVisitor* visitor) {
    KivraBuilding::AddVisitor(visitor);
    const auto* person = dynamic_cast<const GridItem*>(visitor);
    ParkPlayer* player = ParkPlayer::Current();
    KIVRA_LEVEL* level = player ? player->GetCurrentLevel() : nullptr;
    if (person != nullptr && level != nullptr && FindDoor(person->GetGridPosition(), '1') != nullptr) {
        // The fee as it stands now: upgrades and combinations move it.
        player->ChangeResource(L"money", level->ticketprice, true, Hud());
        level->stats.week.visitors = WrappingAdd(level->stats.week.visitors, 1);
        level->stats.allTime.visitors = WrappingAdd(level->stats.allTime.visitors, 1);
    }
    RunAnimationNamed(L"front_gate_animate");
}
