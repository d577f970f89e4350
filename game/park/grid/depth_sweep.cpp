#include "game/park/grid/depth_sweep.h"

#include <algorithm>
#include <cstdlib>
#include <limits>

#include "game/park/grid/depth_order.h"

void DepthLinks::Reset(std::size_t nodes) {
    aheadSize = 0;
    behindSize = 0;
    aheadEnd.assign(nodes, 0);
    behindEnd.assign(nodes, 0);
    behindCount.assign(nodes, 0);
    linksTo.assign(nodes, 0);
}

namespace {

bool DepthBoundIsNarrow(int32_t v) { return std::abs(int64_t{v}) <= (int64_t{1} << 28); }

}  // namespace

void DepthColumns::Fill(const std::vector<DepthNode>& nodes, const std::vector<uint32_t>& order) {
    count = order.size();
    // Whole blocks of sixteen (two of eight), and one more: a block may
    // start at the last node's place.
    const std::size_t padded = (count & ~std::size_t{15}) + 16;
    // Only the padding is set before the nodes are written: setting every
    // entry first cost about as much as writing them.
    const auto pad = [&](auto& column, auto value) {
        column.resize(padded);
        std::fill(column.begin() + static_cast<std::ptrdiff_t>(count), column.end(), value);
    };
    pad(left, std::numeric_limits<float>::infinity());
    pad(right, -std::numeric_limits<float>::infinity());
    pad(bottom, 0.0f);
    for (auto* column : {&col, &row, &colEnd, &rowEnd, &cols, &rows, &id, &flags}) pad(*column, 0);
    pad(index, 0u);
    linksTo.assign(padded, 0);
    linksBack.assign(padded, 0);
    for (std::size_t p = 0; p < count; ++p) {
        const DepthNode& node = nodes[order[p]];
        const DepthKey& k = node.key;
        left[p] = k.left;
        right[p] = k.right;
        bottom[p] = k.bottom;
        col[p] = k.col;
        row[p] = k.row;
        // As the test works them out, in 32 bits (only narrow bounds are read).
        colEnd[p] = static_cast<int32_t>(static_cast<uint32_t>(k.col) - static_cast<uint32_t>(k.cols));
        rowEnd[p] = static_cast<int32_t>(static_cast<uint32_t>(k.row) - static_cast<uint32_t>(k.rows));
        cols[p] = k.cols;
        rows[p] = k.rows;
        id[p] = k.id;
        const bool narrow = DepthBoundIsNarrow(k.col) && DepthBoundIsNarrow(k.row) && DepthBoundIsNarrow(k.cols) &&
                            DepthBoundIsNarrow(k.rows);
        flags[p] = (node.takesPart ? kTakesPart : 0) | (k.footprint ? kFootprint : 0) | (narrow ? kNarrow : 0);
        index[p] = order[p];
    }
    blockReach.assign(padded / 8, -std::numeric_limits<float>::infinity());
    for (std::size_t p = 0; p < count; ++p) blockReach[p / 8] = std::max(blockReach[p / 8], right[p]);
}
