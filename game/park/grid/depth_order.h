#pragma once
// The drawing order of the items on the grid: the pairwise depth test of two
// items, and the numbering that turns the test into widget priorities (a
// topological order; items caught in a cycle keep their old priority).
//
// DepthKey is what the test reads of an item: its box in the grid's pixels,
// its footprint and that footprint's rectangle (as GetRect gives it, which
// the test reads in its place), its widget id (the tie-break, creation order, so the order
// is the same on every run). DepthOrder collects the pairs the test links and
// numbers the items. Only items whose boxes overlap horizontally can be
// linked, so the collection sweeps the boxes by left edge instead of asking
// every pair; the result is the one the all-pairs form gives.
// Main thread only (drawing).

#include <cstddef>
#include <cstdint>
#include <utility>
#include <vector>

#include "game/park/grid/grid_footprint.h"

struct DepthKey {
    float left = 0.0f, right = 0.0f, bottom = 0.0f;
    int32_t col = 0, row = 0, cols = 0, rows = 0;
    const GridFootprint* footprint = nullptr;
    int id = 0;
};

// True when `self` is drawn after (in front of) `other`. Inline: the sweep
// asks it twice for every pair of items whose boxes overlap.
inline bool KeyDrawsBefore(const DepthKey& self, const DepthKey& other) {
    if (!(other.left < self.right && other.right > self.left)) return false;
    const bool apart = self.col <= other.col - other.cols || self.row <= other.row - other.rows ||
                       other.col <= self.col - self.cols || other.row <= self.row - self.rows;
    // The keys carry their footprints' rectangles: the footprints' own test
    // on those, without reaching the footprints for them.
    if (apart)
        return self.footprint && other.footprint &&
               RectIsInFrontOf({self.col, self.row, self.cols, self.rows},
                               {other.col, other.row, other.cols, other.rows});
    const bool same =
        self.col == other.col && self.row == other.row && self.cols == other.cols && self.rows == other.rows;
    if (!same) {
        return other.col >= self.col && other.row >= self.row && other.col - other.cols <= self.col - self.cols &&
               other.row - other.rows <= self.row - self.rows;
    }
    if (other.bottom < self.bottom) return true;
    if (other.bottom > self.bottom) return false;
    return self.id < other.id;
}

// Priority of items outside the ordering: in front of every ordered item.
inline constexpr int kUnorderedPriority = 1048576;

struct DepthNode {
    DepthKey key;
    bool takesPart = false;  // visible and not held
    bool held = false;       // dragged by the player
};

class DepthOrder {
public:
    // Links i before j wherever KeyDrawsBefore(j, i) holds for a taking-part i.
    // The keys are read from a copy in sweep order: the inner loop then
    // walks memory in order instead of jumping about the nodes.
    void CollectEdges(const std::vector<DepthNode>& nodes) {
        SortByLeft(nodes);
        keys_.clear();
        for (const Span& span : byLeft_) keys_.push_back(nodes[span.index].key);
        Sweep([&](std::size_t q, std::size_t p) { return KeyDrawsBefore(keys_[q], keys_[p]); });
    }
    // The same with another pairwise test, `drawsBefore(j, i)`, which must
    // be false wherever the two boxes do not overlap horizontally.
    template <class DrawsBefore>
    void CollectEdges(const std::vector<DepthNode>& nodes, DrawsBefore drawsBefore) {
        SortByLeft(nodes);
        Sweep([&](std::size_t q, std::size_t p) { return drawsBefore(byLeft_[q].index, byLeft_[p].index); });
    }
    // Numbers the nodes in queue order; a node never numbered keeps its entry.
    void Number(const std::vector<DepthNode>& nodes, std::vector<int>& priorities);

    const std::vector<std::pair<uint32_t, uint32_t>>& Edges() const { return edges_; }

private:
    // What the sweep reads of a node, side by side in left-edge order.
    struct Span {
        float left, right;
        uint32_t index;
        bool takesPart;
    };
    // The nodes with finite boxes, by left edge (then index).
    void SortByLeft(const std::vector<DepthNode>& nodes);
    // Every pair of sorted nodes whose boxes overlap horizontally, asked
    // both ways: `drawsBefore(q, p)` by their places in left-edge order.
    template <class DrawsBefore>
    void Sweep(DrawsBefore drawsBefore);

    std::vector<std::pair<uint32_t, uint32_t>> edges_;  // (from, to), in the order found
    std::vector<Span> byLeft_;
    std::vector<DepthKey> keys_;  // the nodes' keys in left-edge order
    std::vector<uint32_t> offsets_, targets_, predecessors_, queue_, ready_;
};

template <class DrawsBefore>
void DepthOrder::Sweep(DrawsBefore drawsBefore) {
    edges_.clear();
    const std::size_t n = byLeft_.size();
    for (std::size_t p = 0; p < n; ++p) {
        const Span a = byLeft_[p];
        for (std::size_t q = p + 1; q < n && byLeft_[q].left < a.right; ++q) {
            const Span& b = byLeft_[q];
            if (!(b.right > a.left)) continue;
            if (a.takesPart && drawsBefore(q, p)) edges_.emplace_back(a.index, b.index);
            if (b.takesPart && drawsBefore(p, q)) edges_.emplace_back(b.index, a.index);
        }
    }
}
