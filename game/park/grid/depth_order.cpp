#include "game/park/grid/depth_order.h"

#include <algorithm>
#include <cmath>

#include "game/park/grid/grid_footprint.h"

namespace {

bool SpanBoxCanOverlap(const DepthKey& key) { return !std::isnan(key.left) && !std::isnan(key.right); }

// Insertion sort, for spans nearly in order already; false (the spans
// still all there) when it would move more than `budget` of them.
template <class Span, class Before>
bool SortSpansNearlySorted(std::vector<Span>& spans, std::size_t budget, Before before) {
    for (std::size_t i = 1; i < spans.size(); ++i) {
        const Span s = spans[i];
        std::size_t j = i;
        for (; j > 0 && before(s, spans[j - 1]); --j) {
            spans[j] = spans[j - 1];
            if (--budget == 0) {
                spans[j - 1] = s;
                return false;
            }
        }
        spans[j] = s;
    }
    return true;
}

}  // namespace

void DepthOrder::SortByLeft(const std::vector<DepthNode>& nodes) {
    // A box with an edge that is not a number overlaps nothing: the test's
    // comparisons all fail. An infinite edge still compares, and overlaps.
    // The boxes move little between sorts, so the last sort's order with
    // the edges brought up to date is nearly sorted, and an insertion sort
    // finishes it in about one pass; nodes it lacked go at the end, and a
    // start far from sorted (items added or taken away) is sorted afresh.
    listed_.assign(nodes.size(), 0);
    std::size_t kept = 0;
    for (const Span& last : byLeft_) {
        if (last.index >= nodes.size()) continue;
        listed_[last.index] = 1;
        const DepthNode& node = nodes[last.index];
        if (SpanBoxCanOverlap(node.key)) byLeft_[kept++] = {node.key.left, node.key.right, last.index, node.takesPart};
    }
    byLeft_.resize(kept);
    for (uint32_t i = 0; i < nodes.size(); ++i) {
        const DepthKey& key = nodes[i].key;
        if (!listed_[i] && SpanBoxCanOverlap(key)) byLeft_.push_back({key.left, key.right, i, nodes[i].takesPart});
    }
    const auto before = [](const Span& a, const Span& b) {
        return a.left != b.left ? a.left < b.left : a.index < b.index;
    };
    if (!SortSpansNearlySorted(byLeft_, 4 * byLeft_.size() + 64, before))
        std::sort(byLeft_.begin(), byLeft_.end(), before);
    order_.resize(byLeft_.size());
    placeOf_.assign(nodes.size(), kNoPlace);
    for (uint32_t p = 0; p < byLeft_.size(); ++p) {
        order_[p] = byLeft_[p].index;
        placeOf_[byLeft_[p].index] = p;
    }
    links_.Reset(nodes.size());
}

void DepthOrder::CollectEdges(const std::vector<DepthNode>& nodes) {
    SortByLeft(nodes);
    if (SweepColumns(nodes, order_, columns_, links_)) return;
    keys_.clear();
    for (const Span& span : byLeft_) keys_.push_back(nodes[span.index].key);
    Sweep([&](std::size_t p, std::size_t q) { return OverlappingKeysOrder(keys_[p], keys_[q]); });
}

std::size_t DepthOrder::Number(const std::vector<DepthNode>& nodes, std::vector<int>& priorities) {
    const size_t places = order_.size();
    // The links back, by counting: each place's targets in one run. The
    // runs of `behind` are read in place order, so the runs written to lie
    // a few places on, close together, not all over the list.
    offsets_.resize(places + 1);
    offsets_[0] = 0;
    for (size_t p = 0; p < places; ++p) offsets_[p + 1] = offsets_[p] + links_.behindCount[p];
    targets_.resize(links_.behindSize);
    queue_.assign(offsets_.begin(), offsets_.end() - 1);  // scratch: next free slot of each run
    {
        uint32_t* const slots = queue_.data();
        uint32_t* const targets = targets_.data();
        const uint32_t* const behind = links_.behind.data();
        uint32_t e = 0;
        for (uint32_t to = 0; to < places; ++to) {
            const uint32_t end = links_.behindEnd[to];
            for (; e < end; ++e) targets[slots[behind[e]]++] = to;
        }
    }
    predecessors_.assign(links_.linksTo.begin(), links_.linksTo.begin() + static_cast<std::ptrdiff_t>(places));

    // A node joins when its last predecessor is numbered, or at the start
    // if it has none. A node without a place (a box that overlaps nothing)
    // has no links.
    uint32_t* const predecessors = predecessors_.data();
    return NumberInQueue(
        nodes, priorities, [&](uint32_t p) { return predecessors[p] == 0; },
        [&](uint32_t p, uint32_t* queue, std::size_t& tail) {
            const std::size_t freed = tail;
            // Written whether freed or not, kept only if freed: which it is
            // follows no pattern a branch could guess. Places until all are
            // counted down; then the freed are named by index.
            const auto release = [&](uint32_t j) {
                queue[tail] = j;
                tail += --predecessors[j] == 0;
            };
            for (uint32_t e = p ? links_.aheadEnd[p - 1] : 0; e < links_.aheadEnd[p]; ++e) release(links_.ahead[e]);
            for (uint32_t e = offsets_[p]; e < offsets_[p + 1]; ++e) release(targets_[e]);
            for (std::size_t k = freed; k < tail; ++k) queue[k] = order_[queue[k]];
        });
}
