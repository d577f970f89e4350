// The game's building each step and under the pointer: nightfall, fading,
// translucency, where its pointer input goes, and its script properties.
#include <cmath>

#include "foundation/values/property_table.h"
#include "game/park/buildings/kivra_building.h"
#include "game/park/grid/grid.h"
#include "game/park/grid/grid_footprint.h"
#include "game/park/grid/kivra_tile.h"

void KivraBuilding::Update() {
    Building::Update();
    const BuildingPark* park = Park();
    if (park == nullptr || park->WeekRunning()) CountDownBoosts();
    if (!occupants_.empty() && park != nullptr && park->WeekTimer() <= 0.0f) LetVisitorsOut();
    if (mouseMode_ == 0) mouseDefault_ = IsMouseVisible();
}

float KivraBuilding::DistanceToAttention() const {
    const BuildingPark* park = Park();
    const GridFootprint* own = GetFootprint();
    if (park == nullptr || own == nullptr) return INFINITY;
    if (const GridItem* held = park->HeldItem(); held != nullptr && held->GetFootprint() != nullptr)
        return own->DistanceTo(*held->GetFootprint(), false);
    return own->DistanceToPoint(park->PointerTile(), false);
}

void KivraBuilding::Draw(Graphics* g) {
    const BuildingHover& hover = Hover();
    if (hover.fade != 2) SetFaded(hover.fade == 0);
    if (hover.translucent != 2 && !held_) {
        if (hover.translucent == 0)
            SetTranslucent(DistanceToAttention() <= 4.0f);
        else if (hover.translucent == 1)
            SetTranslucent(false);
    }
    UpdateReachableDisplay();
    Building::Draw(g);
    if (g != nullptr && held_ && FootprintState() == 'r') DrawRefusingTiles(*g);
}

void KivraBuilding::DrawRefusingTiles(Graphics& g) {
    // The picture covers the footprint's own tiles, so their marks go over it.
    Grid* grid = GetGrid();
    if (grid == nullptr || parent_ != grid) return;
    const TileRect r = GetFootprintRect();
    for (int32_t col = r.Left(); col <= r.col; ++col)
        for (int32_t row = r.Top(); row <= r.row; ++row) {
            auto* tile = dynamic_cast<KivraTile*>(grid->GetTileAt(col, row));
            if (tile == nullptr || !tile->refusesHeld) continue;
            const PixelPoint p = grid->TileToScreen(col, row);
            tile->DrawRefusal(g, static_cast<int>(p.x - x_), static_cast<int>(p.y - y_));
        }
}

void KivraBuilding::UpdateFrame() {
    Building::UpdateFrame();
    UpdateReachableDisplay();
}

void KivraBuilding::SetFaded(bool on) {
    if (on == faded_) return;
    StopTweens(L"alpha_tween");
    TweenProperty(L"alpha_tween", L"alpha", on ? 0.5f : 1.0f, on ? 10.0f : 25.0f, L"", false);
    faded_ = on;
}

void KivraBuilding::SetTranslucent(bool on) {
    if (on == translucent_) return;
    StopTweens(L"opacity_tween");
    TweenProperty(L"opacity_tween", L"opacity", on ? 0.4f : 1.0f, 30.0f, L"", false);
    translucent_ = on;
}

// ---- Pointer ----------------------------------------------------------------

void KivraBuilding::MouseEnter() {
    Building::MouseEnter();
    const BuildingHover& hover = Hover();
    // A park opening under the pointer places its buildings before their
    // saved upgrades and boosts come back: no popup until it has started,
    // or the popup would show the building as new.
    BuildingPark* park = Park();
    if (park != nullptr && park->ItemsStarted() && hover.popup == 2 && capacity_ > 0) park->ShowItemPopup(*this);
    if (hover.fade == 2 && !faded_ && !stationary_) SetFaded(true);
    if (hover.translucent == 2 && !translucent_) SetTranslucent(true);
}

void KivraBuilding::MouseLeave() {
    Building::MouseLeave();
    const BuildingHover& hover = Hover();
    if (BuildingPark* park = Park()) park->HideItemPopup(*this, false);
    if (hover.fade == 2 && faded_ && !stationary_) SetFaded(false);
    if (hover.translucent == 2 && translucent_) SetTranslucent(false);
}

namespace {

// The point (x, y) of `from` in the local pixels of `to`.
FRect MapBetween(const Widget& from, const Widget& to, int x, int y) {
    const FRect screen = from.MapRectToScreen({static_cast<float>(x), static_cast<float>(y), 1.0f, 1.0f});
    return to.MapRectFromScreen(screen);
}

}  // namespace

void KivraBuilding::MouseDown(int x, int y, int clickCode) {
    Grid* grid = GetGrid();
    if (pointerToGrid_ && grid != nullptr) {
        const FRect p = MapBetween(*this, *grid, x, y);
        grid->MouseDown(static_cast<int>(p.x), static_cast<int>(p.y), clickCode);
    } else {
        Building::MouseDown(x, y, clickCode);
    }
    if (BuildingPark* park = Park()) park->HideItemPopup(*this, true);
}

void KivraBuilding::MouseDrag(int x, int y) {
    Grid* grid = GetGrid();
    if (pointerToGrid_ && grid != nullptr) {
        const FRect p = MapBetween(*this, *grid, x, y);
        grid->MouseDrag(static_cast<int>(p.x), static_cast<int>(p.y));
    } else {
        Building::MouseDrag(x, y);
    }
}

void KivraBuilding::MouseUpAt(int x, int y) {
    BuildingPark* park = Park();
    if (park != nullptr && Hover().editModeActive) {
        park->OnBuildingClicked(*this);
        return;
    }
    Grid* grid = GetGrid();
    if (pointerToGrid_ && grid != nullptr) {
        const FRect p = MapBetween(*this, *grid, x, y);
        grid->DragWidget::MouseUpAt(static_cast<int>(p.x), static_cast<int>(p.y));
    } else {
        Building::MouseUpAt(x, y);
    }
    if (park != nullptr && Hover().popup == 2 && IsOver() && capacity_ > 0) park->ShowItemPopup(*this);
}

// ---- Properties ---------------------------------------------------------------

const PropertyTable<KivraBuilding>& KivraBuilding::Properties() {
    using B = KivraBuilding;
    using T = PropertyTable<B>;
    static const T table{
        T::Int(L"capacity", [](B& b) { return &b.capacity_; }),
        T::Int(L"vacancies", [](B& b) { return &b.vacancies_; }).WithHandle(),
        T::Int(L"buycost", [](B& b) { return &b.buyCost_; }),
        T::FloatReadOnly(L"appeal", [](B& b) { return &b.appeal_; }),
        T::Value(L"timeperuse", [](B& b) { return PropertyValue::FromInt(b.TimePerUse()); }),
        T::Int(L"costperuse", [](B& b) { return &b.costPerUse_; }),
        T::FloatReadOnly(L"energyperuse", [](B& b) { return &b.energyPerUse_; }),
        T::FloatReadOnly(L"appealbuff", [](B& b) { return &b.appealBuff_; }),
        T::Int(L"ticketprice", [](B& b) { return &b.ticketPrice_; }),
        T::Int(L"zone_width", [](B& b) { return &b.zoneWidth_; }),
        T::Int(L"zone_height", [](B& b) { return &b.zoneHeight_; }),
        T::Value(L"stationary", [](B& b) { return PropertyValue::FromBool(b.stationary_); }),
        T::Value(L"fully_upgraded", [](B& b) { return PropertyValue::FromBool(b.IsFullyUpgraded()); }),
        T::Value(L"cols", [](B& b) { return PropertyValue::FromInt(b.GetFootprintRect().cols); }),
        T::Value(L"rows", [](B& b) { return PropertyValue::FromInt(b.GetFootprintRect().rows); }),
    };
    return table;
}

PropertyValue KivraBuilding::GetProperty(std::wstring_view name) {
    if (auto reader = Properties().FindReader(name)) return reader.Read(*this, handles_);
    if (std::optional<PropertyValue> value = characteristics_.GetProperty(name)) return *value;
    return Building::GetProperty(name);
}
