#pragma once
// KivraPerson: the park's visitor. A walking person with the state its
// scene-script task reads: energy (0 to 100, spent walking and by visits),
// happiness (each full hundred cashed in as a heart), how appealing a
// building must be, its favourite categories and characteristics, how often
// it may visit each category, the building it was in last and the one it is
// in now with the steps left there. Its searches leap: a visitor that keeps
// finding its way walks to ever further matches, then starts near again.
// Walking drains energy; tired visitors turn bluish. A building set down on
// its tile hides it (its tasks pause) until the building is no longer
// carried, then it comes out on the best free tile beside it.
//
// Promises: a visitor never keeps a building that left the grid (as the
// one it is in, hides under or was in last); one leaving the grid, or
// deleted on it, leaves the building it is in. Its state comes from its
// type record (a type the catalogue lacks keeps the defaults). It cannot be
// dragged and takes no pointer: what it passes over keeps it. Main thread only.

#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <string_view>
#include <utility>

#include "foundation/values/field_handle.h"
#include "game/data/catalogues/characteristics.h"
#include "game/park/base/filter_subjects.h"
#include "game/park/buildings/kivra_building.h"
#include "game/park/people/person.h"

class VisitorPark;

class KivraPerson : public Person, public KivraCharacteristics, public ChoosingVisitor, public BuildingVisitor {
public:
    explicit KivraPerson(std::wstring_view type);
    ~KivraPerson() override;

    // Goes into the building: counts the visit, stays its time per use.
    virtual void EnterBuilding(KivraBuilding& building);
    // Ends the visit of the building in use (energy, happiness) and leaves
    // it; the whole hundreds of happiness cashed in (0 without a building).
    int32_t GainHappiness() override;
    // Energy := energy + delta, kept within 0 to 100.
    void ChangeEnergy(float delta);
    // Never reached for a category without a limit or with a negative one.
    bool HasReachedCategoryLimit(std::wstring_view category) const override;

    // A building leaves the grid: a visitor covered by it comes out beside
    // it, and it is no longer the visitor's last building.
    void BuildingLeaving(KivraBuilding& building) override;

    void Update() override;
    void Draw(Graphics* g) override;
    void AddedToManager(WidgetManager* manager) override;
    PropertyValue GetProperty(std::wstring_view name) override;
    const PropertyReading* ResolveProperty(std::wstring_view name) override;
    std::unique_ptr<Task> CreateTask(std::wstring_view name) override;
    void SetGrid(Grid* grid) override;
    void DetachFromTiles(Grid* grid) override;
    // Walks to the leap's match of the filter (no filter: the path held).
    void FindPathToMatch(GridTileFilter* filter) override;
    bool IsFollowingPath() const override;

    // ChoosingVisitor
    float GetNeededAppeal() const override { return neededAppeal_; }
    const GridItem* GetLastBuilding() const override { return lastBuilding_; }
    const GridItem* GetBuildingInUse() const override { return buildingInUse_; }
    int32_t GetStay() const override { return stay_; }

    float GetEnergy() const { return energy_; }
    float GetHappiness() const { return happiness_; }
    float GetLeap() const { return leap_; }
    void SetLeap(float leap) { leap_ = leap; }
    float GetSearchFoodEnergy() const { return searchFoodEnergy_; }
    KivraBuilding* GetCoveringBuilding() const { return covering_; }
    // (visits, most visits; -1 unlimited) per building category.
    const std::map<std::wstring, std::pair<int32_t, int32_t>, std::less<>>& CategoryVisits() const {
        return categoryVisits_;
    }

private:
    static const PropertyTable<KivraPerson>& Properties();
    bool Paused() const;
    // Hides under a building standing on the visitor's tile. Asked only when
    // the tile or the park's buildings changed since it was found clear: the
    // step tests that in line, as nearly every visitor's answer is no.
    void LookForOccupant(TilePoint at, uint32_t stamp);
    // A building was set down on the visitor's tile: it hides there.
    void HideUnder(KivraBuilding& building);
    // Comes out on the best free tile round the covering building; false
    // when none is free yet.
    bool TryComeOut();
    void ComeOut(TilePoint at);
    void UpdateTint();
    bool CanEat();
    int32_t CountOf(std::wstring_view category) const;
    int32_t MaxOf(std::wstring_view category) const;

    // On a line's boundary, so that the fields of the bases before it may
    // change without carrying this block across two lines.
    alignas(64) VisitorPark* park_ = nullptr;
    // Beside the park, on one line with it and the energy the tint reads:
    // what the visitor's own update reads at every step.
    KivraBuilding* buildingInUse_ = nullptr;
    KivraBuilding* covering_ = nullptr;
    int32_t stay_ = 0;
    float energy_ = 0.0f;
    float happiness_ = 0.0f;
    float neededAppeal_ = 0.0f;
    int32_t ridePreference_ = 0;
    float searchFoodEnergy_ = 0.0f;
    float leap_ = 1.0f;
    // The tile last found without an occupant, and the park's count of
    // buildings set down then (BuildingsSetDown): while both hold, the
    // tile has none still. The last of the line.
    TilePoint clearTile_;
    uint32_t clearStamp_ = 0;
    std::set<std::wstring, std::less<>> preferredCategories_;
    KivraBuilding* lastBuilding_ = nullptr;
    std::map<std::wstring, std::pair<int32_t, int32_t>, std::less<>> categoryVisits_;
    FieldHandles handles_;
};
