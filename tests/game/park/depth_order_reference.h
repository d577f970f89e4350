#pragma once
// The depth numbering in its literal form, frozen here as the oracle of the
// sweep the grid uses: every ordered pair asked, successors kept per item in
// increasing index, a queue of indices, a held item taken from the queue
// still advancing the counter.

#include <deque>
#include <functional>
#include <vector>

#include "game/park/grid/depth_order.h"

namespace testsupport {

// `drawsBefore(j, i)`: item j's test against item i. `priorities` holds the
// old priorities and receives the new ones.
inline void NumberByAllPairs(const std::vector<DepthNode>& nodes,
                             const std::function<bool(size_t, size_t)>& drawsBefore, std::vector<int>& priorities) {
    const size_t n = nodes.size();
    std::vector<std::vector<size_t>> successors(n);
    std::vector<int> predecessors(n, 0);
    for (size_t i = 0; i < n; ++i) {
        if (!nodes[i].takesPart) continue;
        for (size_t j = 0; j < n; ++j) {
            if (i == j || !drawsBefore(j, i)) continue;
            successors[i].push_back(j);
            ++predecessors[j];
        }
    }
    std::deque<size_t> queue;
    for (size_t i = 0; i < n; ++i) {
        if (!nodes[i].takesPart)
            priorities[i] = kUnorderedPriority;
        else if (predecessors[i] == 0)
            queue.push_back(i);
    }
    int counter = 0;
    while (!queue.empty()) {
        const size_t i = queue.front();
        queue.pop_front();
        if (!nodes[i].held) {
            priorities[i] = counter;
            for (size_t j : successors[i])
                if (--predecessors[j] == 0) queue.push_back(j);
        }
        ++counter;
    }
}

}  // namespace testsupport
