#include "game/park/grid/depth_order.h"

#include <algorithm>
#include <cmath>

#include "game/park/grid/grid_footprint.h"

void DepthOrder::SortByLeft(const std::vector<DepthNode>& nodes) {
    byLeft_.clear();
    // A box with an edge that is not a number overlaps nothing: the test's
    // comparisons all fail. An infinite edge still compares, and overlaps.
    for (uint32_t i = 0; i < nodes.size(); ++i) {
        const DepthKey& key = nodes[i].key;
        if (!std::isnan(key.left) && !std::isnan(key.right))
            byLeft_.push_back({key.left, key.right, i, nodes[i].takesPart});
    }
    std::sort(byLeft_.begin(), byLeft_.end(),
              [](const Span& a, const Span& b) { return a.left != b.left ? a.left < b.left : a.index < b.index; });
    links_.Reset(nodes.size());
}

void DepthOrder::CollectEdges(const std::vector<DepthNode>& nodes) {
    SortByLeft(nodes);
    order_.clear();
    for (const Span& span : byLeft_) order_.push_back(span.index);
    columns_.Fill(nodes, order_);
    if (SweepColumns(columns_, nodes, links_)) return;
    keys_.clear();
    for (const Span& span : byLeft_) keys_.push_back(nodes[span.index].key);
    Sweep([&](std::size_t p, std::size_t q) { return OverlappingKeysOrder(keys_[p], keys_[q]); });
}

void DepthOrder::Number(const std::vector<DepthNode>& nodes, std::vector<int>& priorities) {
    const size_t n = nodes.size();
    // The links back, by counting: each node's targets in one run.
    offsets_.resize(n + 1);
    offsets_[0] = 0;
    for (size_t i = 0; i < n; ++i) offsets_[i + 1] = offsets_[i] + links_.behindCount[i];
    targets_.resize(links_.behindSize);
    queue_.assign(offsets_.begin(), offsets_.end() - 1);  // scratch: next free slot of each run
    for (uint32_t to = 0; to < n; ++to)
        for (uint32_t e = links_.behindBegin[to]; e < links_.behindEnd[to]; ++e)
            targets_[queue_[links_.behind[e]]++] = to;
    predecessors_.assign(links_.linksTo.begin(), links_.linksTo.end());  // counted down as nodes are numbered

    queue_.clear();
    for (uint32_t i = 0; i < n; ++i) {
        if (!nodes[i].takesPart)
            priorities[i] = kUnorderedPriority;
        else if (predecessors_[i] == 0)
            queue_.push_back(i);
    }
    int counter = 0;
    for (size_t head = 0; head < queue_.size(); ++head, ++counter) {
        const uint32_t i = queue_[head];
        if (nodes[i].held) continue;
        priorities[i] = counter;
        // The successors it frees join the queue in increasing index, as
        // walking a sorted list would put them; the rest only count down.
        ready_.clear();
        const auto release = [this](uint32_t j) {
            if (--predecessors_[j] == 0) ready_.push_back(j);
        };
        for (uint32_t e = links_.aheadBegin[i]; e < links_.aheadEnd[i]; ++e) release(links_.ahead[e]);
        for (uint32_t e = offsets_[i]; e < offsets_[i + 1]; ++e) release(targets_[e]);
        std::sort(ready_.begin(), ready_.end());
        queue_.insert(queue_.end(), ready_.begin(), ready_.end());
    }
}
