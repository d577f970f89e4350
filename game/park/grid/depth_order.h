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

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "game/park/grid/depth_sweep.h"
#include "game/park/grid/grid_footprint.h"

struct DepthKey {
    float left = 0.0f, right = 0.0f, bottom = 0.0f;
    int32_t col = 0, row = 0, cols = 0, rows = 0;
    const GridFootprint* footprint = nullptr;
    int id = 0;
};

// The test both ways for two items whose boxes overlap horizontally (every
// pair the sweep asks): whether `b` is drawn after (in front of) `a`, and
// whether `a` is drawn after `b`. What the two answers share, the
// footprints' overlap, is worked out once.
struct PairOrder {
    bool bAfterA = false, aAfterB = false;
};
inline PairOrder OverlappingKeysOrder(const DepthKey& a, const DepthKey& b) {
    const bool apart =
        a.col <= b.col - b.cols || a.row <= b.row - b.rows || b.col <= a.col - a.cols || b.row <= a.row - a.rows;
    // The keys carry their footprints' rectangles: the footprints' own test
    // on those, without reaching the footprints for them.
    if (apart) {
        if (!a.footprint || !b.footprint) return {};
        const TileRect ra{a.col, a.row, a.cols, a.rows}, rb{b.col, b.row, b.cols, b.rows};
        return {RectIsInFrontOf(rb, ra), RectIsInFrontOf(ra, rb)};
    }
    const bool same = a.col == b.col && a.row == b.row && a.cols == b.cols && a.rows == b.rows;
    if (!same) {
        // A footprint within the other is in front of it.
        const auto within = [](const DepthKey& inner, const DepthKey& outer) {
            return outer.col >= inner.col && outer.row >= inner.row &&
                   outer.col - outer.cols <= inner.col - inner.cols && outer.row - outer.rows <= inner.row - inner.rows;
        };
        return {within(b, a), within(a, b)};
    }
    // On one footprint the lower box is in front; then the older item.
    const auto lower = [](const DepthKey& self, const DepthKey& other) {
        if (other.bottom < self.bottom) return true;
        if (other.bottom > self.bottom) return false;
        return self.id < other.id;
    };
    return {lower(b, a), lower(a, b)};
}

// True when `self` is drawn after (in front of) `other`.
inline bool KeyDrawsBefore(const DepthKey& self, const DepthKey& other) {
    if (!(other.left < self.right && other.right > self.left)) return false;
    return OverlappingKeysOrder(other, self).bAfterA;
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
    // The keys are read from a copy in sweep order, so the inner loop walks
    // memory in order instead of jumping about the nodes: a column a field,
    // asked eight pairs at a time where the processor can, else whole keys.
    void CollectEdges(const std::vector<DepthNode>& nodes);
    // The same with another pairwise test, `drawsBefore(j, i)`, which must
    // be false wherever the two boxes do not overlap horizontally.
    template <class DrawsBefore>
    void CollectEdges(const std::vector<DepthNode>& nodes, DrawsBefore drawsBefore) {
        SortByLeft(nodes);
        Sweep([&](std::size_t p, std::size_t q) {
            const uint32_t a = byLeft_[p].index, b = byLeft_[q].index;
            return PairOrder{drawsBefore(b, a), drawsBefore(a, b)};
        });
    }
    // Numbers the nodes in queue order by the links last collected; a node
    // never numbered keeps its entry. Returns how many were numbered.
    std::size_t Number(const std::vector<DepthNode>& nodes, std::vector<int>& priorities);

    // How Sort finds the links: as the last sort suggests, or by waiting.
    enum class Form { kAsLastSort, kWaiting };
    // Numbers the nodes as CollectEdges and then Number do. Waiting, it asks
    // the test only for the links the numbering reaches: a node waits on
    // one predecessor not yet numbered at a time and, once that one is,
    // searches on from it for the next. In a crowded park most nodes wait
    // for good, behind a cycle, and are asked about a pair or two; where
    // most are numbered, each is asked about every box over its own from
    // both sides, and collecting each link once costs less. Which holds
    // changes little from one sort to the next, so the last sort's share
    // numbered chooses. Keeps no links when waiting (EdgeCount says none);
    // where the processor cannot search, collects them all.
    void Sort(const std::vector<DepthNode>& nodes, std::vector<int>& priorities, Form form = Form::kAsLastSort);

    std::size_t EdgeCount() const { return links_.aheadSize + links_.behindSize; }

private:
    static constexpr uint32_t kNoPlace = ~uint32_t{0};
    // What the sweep reads of a node, side by side in left-edge order.
    struct Span {
        float left, right;
        uint32_t index;
        bool takesPart;
    };
    // The nodes whose boxes can overlap (no edge that is not a number), by
    // left edge (then index), each node's place noted; the sweep's counts
    // made ready for the nodes.
    void SortByLeft(const std::vector<DepthNode>& nodes);
    // Every pair of sorted nodes whose boxes overlap horizontally, asked
    // both ways at once: `order(p, q)` by their places in left-edge order.
    template <class Order>
    void Sweep(Order order);
    // The queue both numberings keep: a node joins once, at the start where
    // it has no place or `startsFree(place)`, else when it is freed, as the
    // last node holding it back is numbered: `release(place, queue, tail)`
    // appends, by index, the nodes the numbering of the node at `place`
    // frees. Those freed together join in increasing index, as walking a
    // sorted list would put them. Returns how many were numbered.
    template <class StartsFree, class Release>
    std::size_t NumberInQueue(const std::vector<DepthNode>& nodes, std::vector<int>& priorities, StartsFree startsFree,
                              Release release);

    DepthLinks links_;
    DepthColumns columns_;
    std::vector<uint32_t> order_;    // the nodes' indices in left-edge order
    std::vector<uint32_t> placeOf_;  // each node's place in that order (kNoPlace: none)
    std::vector<Span> byLeft_;       // kept from sort to sort: the next one starts from it
    std::vector<uint8_t> listed_;    // whether each node has a place in byLeft_
    std::vector<DepthKey> keys_;     // the nodes' keys in left-edge order
    std::vector<uint32_t> offsets_, targets_, predecessors_, queue_;
    // Sort's waiting, by place: -1 once numbered (padded as the columns);
    // the block each node's search goes on from (kNoPredecessor: it found
    // none); the first node waiting on each, and the next waiting on the same.
    std::vector<int32_t> numbered_;
    std::vector<uint32_t> searchFrom_, firstWaiter_, nextWaiter_;
    bool waitNext_ = false;  // whether the last sort numbered under half its nodes
};

template <class Order>
void DepthOrder::Sweep(Order order) {
    const std::size_t n = byLeft_.size();
    for (std::size_t p = 0; p < n; ++p) {
        const Span a = byLeft_[p];
        uint32_t linksToA = 0;
        for (std::size_t q = p + 1; q < n && byLeft_[q].left < a.right; ++q) {
            const Span& b = byLeft_[q];
            if (!(b.right > a.left)) continue;
            const PairOrder o = order(p, q);
            if (a.takesPart && o.bAfterA) {
                DepthLinks::Reserve(links_.ahead, links_.aheadSize, 1);
                links_.ahead[links_.aheadSize++] = static_cast<uint32_t>(q);
                ++links_.linksTo[q];
            }
            if (b.takesPart && o.aAfterB) {
                DepthLinks::Reserve(links_.behind, links_.behindSize, 1);
                links_.behind[links_.behindSize++] = static_cast<uint32_t>(q);
                ++links_.behindCount[q];
                ++linksToA;
            }
        }
        links_.aheadEnd[p] = links_.aheadSize;
        links_.behindEnd[p] = links_.behindSize;
        links_.linksTo[p] += linksToA;
    }
}

template <class StartsFree, class Release>
std::size_t DepthOrder::NumberInQueue(const std::vector<DepthNode>& nodes, std::vector<int>& priorities,
                                      StartsFree startsFree, Release release) {
    const std::size_t n = nodes.size();
    queue_.resize(n + 1);  // and a slot past the end, that a release may write and not keep
    uint32_t* const queue = queue_.data();
    std::size_t tail = 0;
    for (uint32_t i = 0; i < n; ++i) {
        if (!nodes[i].takesPart)
            priorities[i] = kUnorderedPriority;
        else if (placeOf_[i] == kNoPlace || startsFree(placeOf_[i]))
            queue[tail++] = i;
    }
    int counter = 0;
    std::size_t numbered = 0;
    for (std::size_t head = 0; head < tail; ++head, ++counter) {
        const uint32_t i = queue[head];
        if (nodes[i].held) continue;
        priorities[i] = counter;
        ++numbered;
        const uint32_t p = placeOf_[i];
        if (p == kNoPlace) continue;
        const std::size_t freed = tail;
        release(p, queue, tail);
        if (tail - freed > 1) std::sort(queue + freed, queue + tail);
    }
    return numbered;
}
