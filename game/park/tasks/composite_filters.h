#pragma once
// Filters made of filters. In all mode every member must accept (the first
// refusal ends the question; no members accept everything), in any mode
// one acceptance is enough (the first ends it; no members accept nothing).
// The Prefer* forms also prefer: each member votes for a or b (or neither),
// and the side with more votes wins; a tie answers null.
//
// A composite owns its members and destroys them with itself. A member of
// the wrong kind (a tile filter handed to an item composite, or the other
// way) is not added: it is destroyed at once and the refusal logged.

#include <cstddef>
#include <memory>
#include <type_traits>
#include <vector>

#include "game/park/base/grid_filter.h"

class CompositeFilter {
public:
    explicit CompositeFilter(bool all) : all(all) {}
    virtual void AddFilter(std::unique_ptr<GridFilter> filter) = 0;
    // The same for a filter known to be an item filter: an item composite
    // takes it without asking its kind, as a script's every search of
    // items adds several.
    virtual void AddItemFilter(std::unique_ptr<GridItemFilter> filter) = 0;

    const bool all;

protected:
    ~CompositeFilter() = default;
};

// The members and both questions, for items and tiles alike.
template <class Base, class Candidate>
class FilterComposite : public Base, public CompositeFilter {
public:
    explicit FilterComposite(bool all) : CompositeFilter(all) {}
    void AddFilter(std::unique_ptr<GridFilter> filter) override;
    void AddItemFilter(std::unique_ptr<GridItemFilter> filter) override {
        if constexpr (std::is_same_v<Base, GridItemFilter>) {
            if (filter != nullptr) members_.push_back(std::move(filter));
        } else {
            AddFilter(std::move(filter));
        }
    }
    bool Accept(Candidate* candidate) override;
    size_t Count() const { return members_.size(); }

protected:
    Candidate* Vote(Candidate* a, Candidate* b) const;
    // Asks `only` of the members that bound the candidates: in all mode any
    // one member's bound holds; in any mode a lone member's alone.
    template <class Only>
    bool BoundBy(Only only) const {
        if (!all) return members_.size() == 1 && only(*members_.front());
        for (const auto& m : members_)
            if (only(*m)) return true;
        return false;
    }

private:
    std::vector<std::unique_ptr<Base>> members_;
};

class AcceptItemByFilters : public FilterComposite<GridItemFilter, GridItem> {
public:
    using FilterComposite::FilterComposite;
    bool OnlyItem(const GridItem*& item) const override {
        return BoundBy([&item](const GridItemFilter& m) { return m.OnlyItem(item); });
    }
};

class PreferItemByFilters : public AcceptItemByFilters {
public:
    using AcceptItemByFilters::AcceptItemByFilters;
    GridItem* Prefer(GridItem* a, GridItem* b) override { return Vote(a, b); }
};

class AcceptTileByFilters : public FilterComposite<GridTileFilter, GridTile> {
public:
    using FilterComposite::FilterComposite;
    bool OnlyTiles(std::vector<TilePoint>& points) const override {
        return BoundBy([&points](const GridTileFilter& m) { return m.OnlyTiles(points); });
    }
    bool OnlyBuildingTiles() const override {
        return BoundBy([](const GridTileFilter& m) { return m.OnlyBuildingTiles(); });
    }
};

class PreferTileByFilters : public AcceptTileByFilters {
public:
    using AcceptTileByFilters::AcceptTileByFilters;
    GridTile* Prefer(GridTile* a, GridTile* b) override { return Vote(a, b); }
};
