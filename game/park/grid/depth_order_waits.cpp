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
    const std::size_t n = nodes.size(), places = order_.size();
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

    // The queue as Number keeps it: a node joins once, at the start if
    // nothing holds it back, else when what held it back is all numbered.
    queue_.resize(n);
    uint32_t* const queue = queue_.data();
    std::size_t tail = 0;
    for (uint32_t i = 0; i < n; ++i) {
        if (!nodes[i].takesPart)
            priorities[i] = kUnorderedPriority;
        else if (placeOf_[i] == kNoPlace || searchFrom_[placeOf_[i]] == kNoPredecessor)
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
        numbered_[p] = -1;
        const std::size_t from = tail;
        uint32_t waiter = firstWaiter_[p];
        firstWaiter_[p] = kNoPlace;
        while (waiter != kNoPlace) {
            const uint32_t next = nextWaiter_[waiter];
            if (freed(waiter)) queue[tail++] = order_[waiter];
            waiter = next;
        }
        // In increasing index, as counting down a sorted list would free them.
        if (tail - from > 1) std::sort(queue + from, queue + tail);
    }
    waitNext_ = 2 * numbered < n;
}
