#pragma once
// KivraGrid: the park, the one grid of the game on which a level is played.
// A grid with the player's editing tool (an edit mode and the building the
// player carries), the visitors' spawn spots, the week's timer, the zones of
// buildings, an animated water background and the bridge to the in-game
// display (ParkDisplay), whose scene scripts it drives by setting variables
// and then running named callbacks.
//
// Promises: the edit mode follows the table of transitions in
// placement.cpp; a building costs money once, when it is placed, and only
// in new-building mode; a carried building occupies no tile and is in no
// zone; a cancel requested while placing is carried out once placing ends.
// A type the item catalogue lacks makes nothing. Without a display the park
// runs silently. Main thread only.

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "foundation/values/live_ref.h"
#include "game/park/base/filter_subjects.h"
#include "game/park/buildings/building_park.h"
#include "game/park/grid/grid.h"
#include "game/park/parkgrid/zone_park.h"
#include "game/park/people/visitor_park.h"
#include "widgets/tree/widget_manager.h"

class AnimationWidget;
class Image;
class KivraBuilding;
struct KIVRA_BUILDING_LEVEL_ITEM;
class KivraSpawner;
class ParkDisplay;
class Reminder;
class ParkZones;

class KivraGrid : public Grid, public BuildingPark, public SpawnSpots, public VisitorPark, public ZonePark {
public:
    enum EditMode : int32_t {
        kNone = 0,
        kNewBuilding = 1,
        kMoveSelect = 2,
        kMoveHeld = 3,
        kRotateSelect = 4,
        kRotateHeld = 5,
        kRemoveSelect = 6,
        kSidewalk = 7,
    };

    KivraGrid();
    ~KivraGrid() override;

    // Placing (placement.cpp).
    // Begins new-building mode with a carried copy, or tells the display the
    // player cannot pay. A name that is no building type changes nothing.
    virtual void PreviewNewBuilding(std::wstring_view type);
    virtual void StartHoverFade(KivraBuilding& building);
    // Places the carried building when its spot allows; else shows the
    // refusal on it. False at once when nothing is carried.
    virtual bool TryPlaceHeldItem(bool notify);
    // The placing step of new-building, moving and rotating.
    virtual void PlaceBuilding(bool notify);
    virtual void CancelNewBuilding();
    virtual void DropHeldItem();
    // A building not yet standing, for the player to carry (or a caller to
    // place): it joins no zone and marks no tile.
    virtual KivraBuilding* CreateAndPlaceBuilding(std::wstring_view type, int32_t col, int32_t row, int32_t orientation,
                                                  std::wstring_view action);
    // Once the park has started its items, a building made so (a script's
    // "add-item") stands at once, joined and marked as a placed one; one
    // that would stand on another building is refused (null, told once).
    GridItem* CreateAndPlaceItem(std::wstring_view type, int32_t col, int32_t row, int32_t orientation,
                                 std::wstring_view action) override;

    // Modes.
    virtual void RequestCancel() { pendingCancel_ = true; }
    virtual void CancelEdit() { CancelCurrentMode(); }
    virtual void CancelCurrentMode();
    // The tools of the later editing modes; nothing until they exist.
    // The sidewalk tool (sidewalk_painting.cpp). Starts only when one tile
    // can be paid for; a tile changes only where the highlight shows 'g' and
    // is paid for only when laid; the tool ends once the money is short.
    virtual void BeginSidewalk();
    virtual void PaintSidewalk(TilePoint position);
    virtual void CancelSidewalk();
    // The tool lays sidewalk (true) or clears it (false).
    void SetSidewalkPaintAdds(bool adds) { sidewalkPaintAdds_ = adds; }
    bool SidewalkPaintAdds() const { return sidewalkPaintAdds_; }
    TilePoint HoverTile() const { return hoverTile_; }
    TileChar HighlightState() const { return highlightState_; }

    // Moving, turning and removing (editing_modes.cpp). Choosing a tool while
    // a building is carried or sidewalk painted first ends that.
    virtual void EnterEditMode();
    virtual void LeaveEditMode();
    virtual void OnMoveSelect();
    virtual void OnRotateSelect();
    virtual void OnRemoveSelect();
    virtual void OnMoveHover(KivraBuilding& building);
    virtual void OnRotateHover(KivraBuilding& building);
    // Lifts a placed building out of its zones and carries it.
    virtual void PickUpItem(KivraBuilding& building);
    // The carried building back where and as it stood when lifted.
    virtual void RestoreHeldItem();
    // A building turns between its two views, 1 and 2.
    virtual void ToggleHeldOrientation();
    // After the player confirmed; a building of another grid is refused.
    virtual void RemoveBuilding(KivraBuilding& building);
    // A held building goes back and keeps the tool; a second cancel leaves it.
    virtual void CancelMove();
    virtual void CancelRotate();
    virtual void CancelRemove();

    // The item popup, one at a time, and the camera (item_popup.cpp).
    virtual void ClosePopupFor(KivraBuilding* building);
    virtual void SetPopupBuilding(KivraBuilding* building);
    // Glides the park so the item's visible box is centred on the screen.
    virtual void MoveCameraTo(GridItem& item);
    // Moves the item to the tile under the screen's centre, then the camera to it.
    virtual void CentreOn(GridItem& item);
    KivraBuilding* GetPopupBuilding() const;
    AnimationWidget* GetPopupWidget() const { return popupWidget_.Get(); }

    // Zones (park_grid_zones.cpp).
    void UpdateZones(KivraBuilding& building, bool popups) override;
    void RemoveFromZones(KivraBuilding& building, bool popups) override;
    virtual void HighlightZoneMembers(KivraBuilding* except);
    virtual void UnhighlightZoneMembers(KivraBuilding* except);
    // While a zone goal is open: the ring of every standing building that
    // could make the named zone (when empty, any zone the park knows), or
    // no such ring.
    void ShowGoalZoneRings(std::wstring_view zone);
    void HideGoalZoneRings();
    ParkZones& GetZones() { return *zones_; }

    // Tiles and items.
    KivraBuilding* GetTileOccupant(TilePoint position) const override;
    // The position must lie inside the grid.
    void SetTileMaterial(TilePoint position, TileChar material) override;
    virtual void ClearPreviewTiles();
    virtual void StampItemMaterial(GridItem& item);
    virtual void MarkItemTiles(bool mark, KivraBuilding& building);
    // 0 each building's own setting, 1 every building takes the pointer, 2 none does.
    void SetBuildingsMouseMode(int32_t mode);

    // Spawn spots.
    // A spot listed already is not listed twice.
    void AddSpawnSpot(TilePoint position) override;
    virtual bool GetRandomSpawnSpot(TilePoint& out) const;
    bool IsSpawnSpot(int32_t col, int32_t row) const override;
    const std::vector<TilePoint>& SpawnSpotList() const { return spawnSpots_; }

    // Reminders by name (park_reminders.cpp), shown by the display; an id
    // in use is replaced. Without a display none is made.
    Reminder* AddReminder(const std::wstring& id, float targetX, float targetY, Image* icon, Image* arrow,
                          std::wstring_view animation);
    void RemoveReminder(const std::wstring& id);
    Reminder* FindReminder(const std::wstring& id) const;

    // The week (week_cycle.cpp): 0 runs, 1 nightfall, 2 the park is open.
    enum ParkState : int32_t { kWeekRunning = 0, kNightfall = 1, kParkOpen = 2 };
    // The first week: the week's goals and statistics start afresh.
    virtual void OnWeekStart();
    // What a save keeps of the running week's clock, in hundredths of a
    // second: 0 between weeks.
    int32_t WeekTimeLeft() const;
    virtual void OnNightfall();
    // After the week's review: the week's goals and statistics start afresh.
    virtual void OnParkOpen();
    virtual void StartWeekShared();
    // A spawner for the level's visitors; one made before is removed.
    virtual void CreateSpawner();
    virtual void RemoveSpawner();
    int32_t GetParkState() const { return parkState_; }
    KivraSpawner* GetSpawner() const { return spawner_; }

    // Reachability pass: one building re-tested per call.
    void ResetCycle() override;
    virtual void CycleNextBuilding();
    int32_t CycleStop() const { return cycleStop_; }
    int32_t CycleNext() const { return cycleNext_; }

    // Every visitor leaves the park, as when the park is left.
    virtual void RemoveAllVisitors();

    // Grid
    void StartItems() override;
    void SaveToLevel() override;
    // Saved parks (park_level_items.cpp): a building's record keeps its
    // upgrades and boosts; restoring skips labels its type no longer defines.
    GridItem* PlaceLevelItem(const LEVEL_ITEM& record) override;
    std::unique_ptr<LEVEL_ITEM> MakeLevelItem(GridItem& item) override;
    std::unique_ptr<LEVEL_ITEM> CreateLevelItem(std::wstring_view type) override;
    std::unique_ptr<GridTile> CreateTile(TileChar material, int32_t col, int32_t row) override;
    GridItem* CreateItem(std::wstring_view type) override;
    std::unique_ptr<Task> CreateTask(std::wstring_view name) override;
    void ResetTileStates() override;

    void Update() override;
    void Draw(Graphics* g) override;
    void MouseMove(int x, int y) override;
    void MouseDown(int x, int y, int clickCode) override;
    void MouseDrag(int x, int y) override;
    void RemoveWidget(Widget* widget) override;
    void AddedToManager(WidgetManager* manager) override;
    void RemovedFromManager(WidgetManager* manager) override;
    float* GetPropertyPtr(std::wstring_view name, uint32_t& mask) override;
    PropertyValue GetProperty(std::wstring_view name) override;

    // BuildingPark
    const BuildingHover& Hover() const override { return hover_; }
    bool ItemsStarted() const override { return itemsStarted_; }
    float WeekTimer() const override { return weekTimer_; }
    bool WeekRunning() const override { return parkState_ == 0; }
    GridItem* HeldItem() const override;
    TilePoint PointerTile() const override { return pointerTile_; }
    void ShowItemPopup(KivraBuilding& building) override;
    void HideItemPopup(KivraBuilding& building, bool immediately) override;
    void OnBuildingClicked(KivraBuilding& building) override;

    // VisitorPark
    float WalkEnergyCost() const override { return walkEnergyCost_; }
    bool VisitorsPaused() const override { return visitorsPaused_; }
    // ZonePark
    std::vector<ZoneBuilding*> ZoneBuildings() override;
    ZoneBuilding* HeldZoneBuilding() override;
    KIVRA_LEVEL* ZoneLevel() override;
    const std::vector<std::unique_ptr<KivraComboStats>>& ComboDefinitions() override;
    float ClashPenalty() override;
    void MarkFootprintTiles(ZoneBuilding& building, bool set) override;
    std::wstring ZoneLabel(const KivraComboStats& definition) override;
    void AnnounceNewCombo(const KivraComboStats& definition, const ResearchRefund& refund) override;
    void ShowPopup(ZoneBuilding& over, std::wstring_view animation, const ZonePark::Variables& variables) override;
    void ShowZoneCreated(ZoneBuilding& over, const std::map<std::wstring, int>& labelCounts) override;

    BuildingHover& HoverSettings() { return hover_; }
    int32_t GetEditMode() const { return editMode_; }
    // How many buildings were set down, new, moved or turned: the tool
    // stays in hand after each, but what it did is done.
    uint32_t SetDownCount() const { return setDowns_; }
    KivraBuilding* GetHeldBuilding() const { return held_; }
    bool IsCancelPending() const { return pendingCancel_; }
    bool DrawsOcean() const { return drawsOcean_; }
    int32_t OceanFrame() const { return oceanFrame_; }
    void SetWeekTimer(float timer) { weekTimer_ = timer; }

protected:
    // The display, or null while none runs.
    static ParkDisplay* Display();
    // Runs the display's callback; the variables were set just before.
    static void RunCallback(std::wstring_view name);
    static void SetDisplayVariable(const std::wstring& name, const PropertyValue& value);
    // A tutorial step is current.
    static bool TutorialRunning();
    // The current tutorial step's name; empty when none.
    static std::wstring TutorialStep();
    void TutorialEvent(int32_t event);
    void SetEditMode(int32_t mode) { editMode_ = mode; }

private:
    bool HeldOnTutorialTiles() const;
    // The tutorial's step wants the held building on the tiles it marked,
    // and it stands elsewhere.
    bool TutorialWantsOtherTiles() const;
    // A click would set the held building down where it stands.
    bool HeldSpotAccepted() const;
    // The blush of a refused click on the held building, or null. It tells
    // of the spot under the building, so it ends once a spot would take it.
    AnimationWidget* RefusalShown() const;
    void EndRefusalShown();
    // 'g' where a click of the sidewalk tool would change the tile, else 'r'.
    TileChar SidewalkHighlight(TilePoint position) const;
    // The pointer kept over the same screen point while the park scrolls by
    // (dx, dy); entering another tile lights it.
    void FollowSidewalkPointer(float dx, float dy);
    // Ends a carried building or the sidewalk tool before another tool starts.
    void EndCarrying();
    void SelectTool(int32_t mode, std::wstring_view callback);
    // In the tool's select mode leaves it; with a building held puts it back.
    void CancelHeldOrTool(int32_t select, int32_t held, std::wstring_view tool);
    // The popup or the popup's building leaves the park.
    void ForgetPopupChild(Widget* widget);
    // The popup kept over its building as the park scrolls.
    void PlaceItemPopup();
    void SaveImprovements(KivraBuilding& building, KIVRA_BUILDING_LEVEL_ITEM& record);
    void RestoreImprovements(KivraBuilding& building, const KIVRA_BUILDING_LEVEL_ITEM& record);
    // The goals forget every building of the park as it leaves the tree.
    void ReportBuildingsLeaving();
    void EndNewBuildingMode();
    // Buildings stamp their doors on the ground while the tool in hand places,
    // moves or turns buildings.
    void ShowDoors(bool show);
    // True while the pointer has not left the point where it lifted the held
    // building; forgets that point once it has.
    bool PointerStillWhereLifted();
    void UpdateOcean();
    void UpdateWeekClock();
    void UpdateResearch();
    void DrawOceanLattice(Graphics* g, int cel, int alpha);

    bool sidewalkPaintAdds_ = true;
    int32_t parkState_ = 0;
    float weekTimer_ = 0.0f;
    float walkEnergyCost_ = 0.0f;
    bool visitorsPaused_ = false;
    std::vector<TilePoint> spawnSpots_;
    KivraSpawner* spawner_ = nullptr;
    int32_t editMode_ = kNone;
    uint32_t setDowns_ = 0;
    KivraBuilding* held_ = nullptr;
    TilePoint remembered_;
    int32_t rememberedOrientation_ = 0;
    TilePoint hoverTile_;
    float sidewalkX_ = 0.0f, sidewalkY_ = 0.0f;
    TileChar highlightState_ = '_';
    bool drawsOcean_ = true;
    Image* ocean_ = nullptr;
    Image* sun_ = nullptr;
    uint32_t oceanCols_ = 0, oceanRows_ = 0;
    int32_t oceanFade_ = 20;
    int32_t oceanFadePeriod_ = 20;
    int32_t oceanFrame_ = 0;
    bool itemsStarted_ = false;
    std::unique_ptr<ParkZones> zones_;
    LiveRef<AnimationWidget> popupWidget_;
    LiveRef<KivraBuilding> popupBuilding_;
    // The card stands apart from its building, and the pointer has left the
    // building: on its way to the card it may cross other buildings, whose
    // cards wait (the last entered) until that card has gone.
    bool popupApart_ = false, popupLeft_ = false;
    LiveRef<KivraBuilding> nextPopupBuilding_;
    std::map<std::wstring, LiveRef<Reminder>, std::less<>> reminders_;
    int32_t cycleStop_ = -1, cycleNext_ = -1;
    bool pendingCancel_ = false;
    BuildingHover hover_;
    TilePoint pointerTile_;
    // Where on the screen the pointer lifted the held building for moving or turning.
    std::optional<ScreenPoint> liftedAt_;
    std::set<std::wstring, std::less<>> unknownPreviews_;
};
