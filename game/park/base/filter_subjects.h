#pragma once
// What three filters ask of park classes that sit above the filters: the
// front gate, the park grid and the game's buildings and visitors implement
// these, and the filters reach them through a run-time type test of the
// candidate (or a pointer they are given), never through the classes
// themselves. Main thread only.

#include <cstdint>
#include <string_view>

class GridItem;

// A front gate that opens and closes.
class OpenableGate {
public:
    virtual bool IsOpen() const = 0;

protected:
    ~OpenableGate() = default;
};

// The park grid's spawn spots, the tiles where visitors arrive.
class SpawnSpots {
public:
    virtual bool IsSpawnSpot(int32_t col, int32_t row) const = 0;

protected:
    ~SpawnSpots() = default;
};

// A building a visitor may choose.
class VisitableBuilding {
public:
    virtual int32_t GetVacancies() const = 0;
    virtual float GetAppeal() const = 0;
    // Being placed or moved by the player.
    virtual bool IsBeingPlaced() const = 0;

protected:
    ~VisitableBuilding() = default;
};

// The visitor choosing: how appealing a building must be, where it was
// last, what it uses now and for how long, and how often it may visit a
// category of buildings.
class ChoosingVisitor {
public:
    virtual float GetNeededAppeal() const = 0;
    virtual const GridItem* GetLastBuilding() const = 0;
    virtual const GridItem* GetBuildingInUse() const = 0;
    virtual int32_t GetStay() const = 0;
    // A category without a limit, or with a negative one, is never reached.
    virtual bool HasReachedCategoryLimit(std::wstring_view category) const = 0;

protected:
    ~ChoosingVisitor() = default;
};
