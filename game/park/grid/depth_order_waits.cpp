// The depth numbering that asks the test as it goes: each node waits on one
// predecessor at a time, and is freed when the one it waits on is numbered
// and no other is left. That is the moment the last of its predecessors is
// numbered, as counting them down would find, so the numbering is the same.
#include <algorithm>

#include "game/park/grid/depth_order.h"

void DepthOrder::Sort(const std::vector<DepthNode>& nodes, std::vector<int>& priorities, Form form) {
    if (!DepthColumnsCanBeSearched() || (form == Form::kAsLastSort && !waitNext_)) {
        CollectEdges(nodes);
        waitNext_ = 2 * Number(nodes, priorities) < nodes.size();
        return;
    }
    SortByLeft(nodes);
    columns_.Fill(nodes, order_);
    const std::size_t places = order_.size();
    numbered_.assign(columns_.left.size(), 0);
    searchFrom_.resize(places);
    firstWaiter_.assign(places, kNoPlace);
    nextWaiter_.resize(places);
    // True when p has no predecessor left to wait on; else it waits on one.
    const auto freed = [&](uint32_t p) {
        const uint32_t on = FindUnnumberedPredecessor(nodes, columns_, numbered_.data(), p, searchFrom_[p]);
        if (on == kNoPredecessor) return true;
        nextWaiter_[p] = firstWaiter_[on];
        firstWaiter_[on] = p;
        return false;
    };
    // A box before p's in left-edge order overlaps it only where its right
    // edge passes p's left one: the search starts at the first box whose
    // right edge, or one before it, does. The left edges only grow, so that
    // box only moves forward.
    const float* const left = columns_.left.data();
    const float* const right = columns_.right.data();
    std::size_t first = 0;
    float reached = places ? right[0] : 0.0f;  // the furthest right edge up to `first`
    for (uint32_t p = 0; p < places; ++p) {
        while (first < p && !(reached > left[p])) reached = std::max(reached, right[++first]);
        searchFrom_[p] = static_cast<uint32_t>(first & ~std::size_t{7});
        if (freed(p)) searchFrom_[p] = kNoPredecessor;
    }

    // A node joins when the one it waits on is numbered and its search
    // finds no other left to wait on.
    const std::size_t numbered = NumberInQueue(
        nodes, priorities, [&](uint32_t p) { return searchFrom_[p] == kNoPredecessor; },
        [&](uint32_t p, uint32_t* queue, std::size_t& tail) {
            numbered_[p] = -1;
            uint32_t waiter = firstWaiter_[p];
            firstWaiter_[p] = kNoPlace;
            while (waiter != kNoPlace) {
                const uint32_t next = nextWaiter_[waiter];
                if (freed(waiter)) queue[tail++] = order_[waiter];
                waiter = next;
            }
        });
    waitNext_ = 2 * numbered < nodes.size();
}
