#pragma once
// KivraBuilding: the game's building. A building with doors that carries the
// statistics visitors and the economy read (appeal, capacity, prices, time
// and energy per use, zone size, characteristics), read from its type record
// when it enters the tree; the visitors inside it; its look under the pointer
// (fading, translucency) and where its pointer input goes; its stamps on the
// tiles (footprint state, doors, occupants, the zone ring).
//
// Promises: vacancies = capacity - occupants after every operation; the
// occupants are emptied at nightfall and when it leaves its tiles, each
// through its own visit's end (in play the player earns the hearts those
// visits cash in, as on leaving); a rotation that is not a half turn swaps the
// zone's width and height; the held flag is set exactly while the park
// carries it. It asks its park (BuildingPark) only through its grid; on no
// park it behaves as on a park with the default hover settings.
// Main thread only.

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "foundation/expression/variables.h"
#include "foundation/values/field_handle.h"
#include "game/data/progress/park_hooks.h"
#include "game/park/base/filter_subjects.h"
#include "game/park/buildings/building.h"
#include "game/park/buildings/building_park.h"
#include "game/park/buildings/improvements.h"
#include "game/park/buildings/zone_building.h"

class KivraBuilding;

// A visitor inside a building.
class BuildingVisitor {
public:
    // Credits the visit; the visitor leaves, taking itself out of the
    // building (KivraBuilding::RemoveVisitor). The hearts it earned.
    virtual int32_t GainHappiness() = 0;
    // The building leaves the grid: the visitor keeps no hold on it.
    virtual void BuildingLeaving(KivraBuilding& building) = 0;

protected:
    ~BuildingVisitor() = default;
};

class KivraBuilding : public Building, public ZoneBuilding, public VisitableBuilding {
public:
    explicit KivraBuilding(std::wstring_view type);
    ~KivraBuilding() override;

    // Occupancy. Adding does not test the capacity: callers ask GetVacancies.
    virtual void AddVisitor(BuildingVisitor* visitor);
    // Every occurrence leaves; vacancies grow by their number.
    virtual void RemoveVisitor(BuildingVisitor* visitor);
    // Ends every visit; the hearts the visitors cashed in.
    virtual int32_t EjectAllVisitors();
    // Ends every visit in play (nightfall, lifted or removed by the player): the
    // player earns the hearts, as when a visitor leaves of itself.
    void LetVisitorsOut();
    int32_t GetVacancies() const override { return vacancies_; }

    // Sets (or clears) the occupant of every footprint tile inside the grid;
    // with refresh, the ring of tiles around it picks its look again.
    virtual void MarkFootprintTiles(bool set, GridTileColumns& tiles, bool refresh);
    // Takes part in zones: once marked, for good; before that, as soon as the
    // park has started its items.
    bool IsActive() override;
    void MarkActive() override { active_ = true; }
    virtual void SetFootprintState(TileChar state);
    // Places the widget for the grid point (x, y) and lets the footprint
    // follow it, centred on that point as nearly as the tiles allow.
    virtual void SetScreenPositionFromTile(float x, float y);
    virtual void UpdateDragPlacement();
    // Whether a walkable way joins a door to an open gate's way into the park
    // (reachability.cpp): "building_unreachable" shows while it does not,
    // "building_connected" once when it does again; nothing while held.
    virtual void UpdateReachability();
    bool IsAppealMaxed() const override;

    // Upgrades and boosts (kivra_building_improvements.cpp). From its
    // construction a building holds one unbought upgrade per upgrade its type
    // defines and one idle boost per boost, each in label order; only
    // ApplyImprovementStats and SetBoostActive change them afterwards.
    // Buys and applies the upgrade of that label; null when the building has
    // none of that label, has bought it already, or the player cannot pay.
    virtual Upgrade* PurchaseUpgrade(std::wstring_view label);
    // Buys the boost of that label and runs it for its full length; bought
    // while it runs, it starts its time again without adding twice.
    virtual Boost* PurchaseBoost(std::wstring_view label);
    // Charges the coins and hearts (negative: the record's own prices). When
    // the level cannot pay, the display's no-resources dialog names what is
    // short (money tested first), nothing is charged and the answer is false.
    virtual bool PurchaseImprovement(const IMPROVEMENT_STATS& record, int32_t coins, int32_t hearts);
    // The upgrade's offsets on the statistics, counted as bought; unpaid, so
    // it is also how a saved park's bought upgrade comes back. An upgrade
    // bought already changes nothing.
    virtual void ApplyImprovementStats(Upgrade& upgrade);
    // A duration >= 0 starts an idle boost (its offsets added), a negative
    // one stops a running boost (its offsets withdrawn, exactly); -2 is a
    // full run. A running boost given a new time only takes the time.
    virtual void SetBoostActive(Boost& boost, int32_t duration);
    // One offset on one statistic: "appeal", "time" (lowers the time per use
    // by the offset's size), "energy", "cost", "ticketcost" (the level's
    // entry fee moves with it), "capacity" (the vacancies with it). Any other
    // name changes nothing here.
    virtual void ApplyStatModifier(std::wstring_view name, int32_t delta);
    // Every upgrade of the type has been bought (so one without any is).
    bool IsFullyUpgraded() const override;
    std::vector<Upgrade>& Upgrades() { return upgrades_; }
    std::vector<Boost>& Boosts() { return boosts_; }
    int32_t UpgradesPurchased() const { return upgradesPurchased_; }
    // The footprint widened by the zone size on every side.
    TileRect GetZoneRect() const override;
    virtual void SetFaded(bool on);
    virtual void SetTranslucent(bool on);
    // The indicators face the way the building does.
    virtual void UpdateReachableDisplay();
    // The zone ring's overlay, mixed with what other rings put there.
    virtual void MarkZoneTiles(GridTileColumns& tiles);
    // While held where it may not stand: marks the footprint's tiles that
    // refuse it, and draws those marks over its picture, so a player sees
    // what is in the way.
    void MarkRefusingTiles(GridTileColumns& tiles);
    void DrawRefusingTiles(Graphics& g);

    void SetGrid(Grid* grid) override;
    void SetDraggable(bool draggable, bool endDrag) override;
    void SetMouseDefault(bool on);
    // 0 the building's own setting, 1 takes the pointer, other values ignore it.
    void SetMouseMode(int32_t mode);
    void SetHeld(bool held) { held_ = held; }
    void SetZoneHighlighted(bool on) { zoneHighlighted_ = on; }
    void SetZoneOverlay(TileChar overlay) { zoneOverlay_ = overlay; }

    void AddedToManager(WidgetManager* manager) override;
    void Update() override;
    void Draw(Graphics* g) override;
    void MouseEnter() override;
    void MouseLeave() override;
    void MouseDown(int x, int y, int clickCode) override;
    void MouseDrag(int x, int y) override;
    void MouseUpAt(int x, int y) override;
    PropertyValue GetProperty(std::wstring_view name) override;
    std::unique_ptr<Task> CreateTask(std::wstring_view name) override;

    void DetachFromTiles(Grid* grid) override;
    std::unique_ptr<GridFootprint> CreateFootprint(const ITEM_TYPE* record) override;
    void MoveTo(TilePoint position) override;
    void SetOrientation(int32_t orientation) override;
    bool RotateFootprintAboutCentre(int32_t degrees) override;
    bool RotateFootprint(int32_t degrees) override;
    void StampStateOnTiles(GridTileColumns& tiles) override;
    void StampDoorsOnTiles(GridTileColumns& tiles) override;
    void UpdateFrame() override;

    // ZoneBuilding
    int32_t ZoneOrderId() const override { return GetId(); }
    TileRect FootprintRect() const override { return GetFootprintRect(); }
    void AddToAppeal(float delta) override { appeal_ += delta; }
    void AddToTicketPrice(int32_t delta) override { ticketPrice_ += delta; }
    void AddToCostPerUse(int32_t delta) override { costPerUse_ += delta; }
    // GoalBuilding
    const std::wstring& TypeName() const override { return GetType(); }
    const std::wstring& Category() const override { return GetCategory(); }
    const KivraCharacteristics& Characteristics() const override { return characteristics_; }
    float Appeal() const override { return appeal_; }
    // VisitableBuilding
    const VisitableBuilding* AsVisitable() const final { return this; }
    float GetAppeal() const override { return appeal_; }
    bool IsBeingPlaced() const override { return held_; }

    bool IsHeldByPark() const { return held_; }
    // As the last reachability check found it; true until one has run.
    bool IsReachable() const { return reachable_; }
    bool IsStationary() const { return stationary_; }
    bool IsFaded() const { return faded_; }
    bool IsTranslucent() const { return translucent_; }
    bool PointerToGrid() const { return pointerToGrid_; }
    bool ZoneHighlighted() const { return zoneHighlighted_; }
    TileChar ZoneOverlay() const { return zoneOverlay_; }
    TileChar FootprintState() const;
    int32_t Capacity() const { return capacity_; }
    int32_t BuyCost() const { return buyCost_; }
    int32_t TicketPrice() const override { return ticketPrice_; }
    int32_t CostPerUse() const override { return costPerUse_; }
    // What a visitor's stay is set from: never below 0, whatever the
    // upgrades took off.
    int32_t TimePerUse() const { return std::max(timePerUse_, 0); }
    float EnergyPerUse() const { return energyPerUse_; }
    float AppealBuff() const override { return appealBuff_; }
    int32_t ZoneWidth() const { return zoneWidth_; }
    int32_t ZoneHeight() const { return zoneHeight_; }
    const std::vector<BuildingVisitor*>& Occupants() const { return occupants_; }

protected:
    // The park this building stands in, or null.
    BuildingPark* Park() const;
    const BuildingHover& Hover() const;
    void ReadTypeStatistics();
    // The display's script widget, or null while none runs.
    static AnimationWidget* Hud();

    // Statistics; the zone rules and upgrades change them.
    float appeal_ = 0.0f;
    int32_t buyCost_ = 0;
    float appealBuff_ = 0.0f;
    int32_t ticketPrice_ = 0;
    int32_t capacity_ = 0;
    int32_t zoneWidth_ = 0;
    int32_t zoneHeight_ = 0;
    bool stationary_ = false;
    int32_t timePerUse_ = 0;
    int32_t costPerUse_ = 0;
    float energyPerUse_ = 0.0f;
    KivraCharacteristics characteristics_;

private:
    static const PropertyTable<KivraBuilding>& Properties();
    void SwapZoneSidesFor(int32_t degrees);
    // Every visitor on the grid lets go of this building.
    void ReleaseVisitors(Grid& grid);
    // How far (in tiles) this footprint is from the held building, or from
    // the tile under the pointer when none is held.
    float DistanceToAttention() const;
    void CreateImprovements();
    // Each offset of the definition, added (+1) or withdrawn (-1).
    void ApplyOffsets(const IMPROVEMENT_STATS& record, int sign);
    // One step of every running boost; the one that ends withdraws its offsets.
    void CountDownBoosts();
    // The indicator registered under its name while it is still this
    // building's child, or null.
    enum IndicatorKind { kUnreachableIndicator, kReachableIndicator, kIndicatorKinds };
    AnimationWidget* Indicator(IndicatorKind kind) const;
    AnimationWidget* ShowIndicator(IndicatorKind kind, std::wstring_view animation);
    bool FindsOpenGate();

    // Where each indicator's name was last looked up among the variables:
    // every building asks at every update and every draw.
    mutable NameSlot indicatorSlots_[kIndicatorKinds];
    bool zoneHighlighted_ = false;
    bool held_ = false;
    TileChar zoneOverlay_ = 0;
    bool reachable_ = false;
    bool active_ = false;
    bool pointerToGrid_ = true;
    bool faded_ = false;
    bool translucent_ = false;
    int32_t vacancies_ = 0;
    // What the building's own step reads, one line from the occupants to
    // the boosts (named for the step's fetch ahead).
    std::vector<BuildingVisitor*> occupants_;
    bool mouseDefault_ = true;
    int32_t mouseMode_ = 0;
    BuildingPark* park_ = nullptr;
    std::vector<Boost> boosts_;
    FieldHandles handles_;
    std::vector<Upgrade> upgrades_;
    int32_t upgradesPurchased_ = 0;
};
