#pragma once
// Leaf filters over grid items: one item, by type, category or action text
// (exact, case-sensitive), buildings, open gates, the buildings a visitor
// would choose, and distance from a point to the item's footprint. The
// pointers they are given (item, visitor) are not owned and must outlive
// the search.

#include <string>
#include <string_view>

#include "game/park/base/grid_filter.h"
#include "game/park/base/tile_geometry.h"
#include "game/park/tasks/filter_distance.h"

class ChoosingVisitor;

class AcceptItem : public GridItemFilter {
public:
    explicit AcceptItem(const GridItem* item) : item(item) {}
    bool Accept(GridItem* candidate) override { return candidate == item; }
    bool OnlyItem(const GridItem*& only) const override {
        only = item;
        return true;
    }

    const GridItem* const item;
};

// Which of the item's texts a text filter compares.
enum class ItemText { kType, kCategory, kAction };

class AcceptItemByText : public GridItemFilter {
public:
    AcceptItemByText(ItemText which, std::wstring_view text) : which(which), text(text) {}
    bool Accept(GridItem* candidate) override;

    const ItemText which;
    const std::wstring text;
};

class AcceptItemByType : public AcceptItemByText {
public:
    explicit AcceptItemByType(std::wstring_view text) : AcceptItemByText(ItemText::kType, text) {}
};

class AcceptItemByCategory : public AcceptItemByText {
public:
    explicit AcceptItemByCategory(std::wstring_view text) : AcceptItemByText(ItemText::kCategory, text) {}
};

class AcceptItemByAction : public AcceptItemByText {
public:
    explicit AcceptItemByAction(std::wstring_view text) : AcceptItemByText(ItemText::kAction, text) {}
};

class AcceptBuilding : public GridItemFilter {
public:
    bool Accept(GridItem* candidate) override;
};

// A front gate that stands open.
class AcceptGateByOpenness : public GridItemFilter {
public:
    bool Accept(GridItem* candidate) override;
};

// The buildings a visitor would go to now; without a visitor only the
// front gate.
class AcceptBuildingByVisitorPreferences : public GridItemFilter {
public:
    explicit AcceptBuildingByVisitorPreferences(const ChoosingVisitor* visitor) : visitor(visitor) {}
    bool Accept(GridItem* candidate) override;

    const ChoosingVisitor* const visitor;
};

// Items whose footprint lies within the bounds of the point; the nearer preferred.
class PreferItemByDistance : public GridItemFilter {
public:
    PreferItemByDistance(TilePoint point, float maxDistance, float minDistance)
        : point(point), bounds{maxDistance, minDistance} {}
    bool Accept(GridItem* candidate) override;
    GridItem* Prefer(GridItem* a, GridItem* b) override;

    const TilePoint point;
    const DistanceBounds bounds;
};
