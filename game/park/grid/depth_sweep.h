#pragma once
// Inside the depth order: the links a sweep finds, and the keys laid out
// column by column for the sweep that asks eight pairs at once.

#include <cstddef>
#include <cstdint>
#include <vector>

struct DepthNode;

// The links found, kept so that no count or list is added to one entry
// many times running (each such add waits for the one before). Nodes are
// named by their places in left-edge order, not by index: the nodes a
// node is linked with lie a few places from it, so what is read or
// written for them lies close together too. A node's links to the nodes
// after it are one run of `ahead`, the later nodes linked back to it one
// run of `behind`; the runs follow one another place by place, each ending
// where its place's end says (the one before's end is its begin). Only
// which links a node has matters: the numbering frees successors in
// increasing index whatever their order. The lists only grow; their first
// `aheadSize` and `behindSize` entries hold the links, so that a sweep may
// write a few entries past the end.
struct DepthLinks {
    std::vector<uint32_t> ahead, behind;
    uint32_t aheadSize = 0, behindSize = 0;
    std::vector<uint32_t> aheadEnd, behindEnd;  // by place
    std::vector<uint32_t> behindCount;          // links in `behind` naming each place
    std::vector<uint32_t> linksTo;              // links to each place

    void Reset(std::size_t nodes);
    // Room for `more` entries past the size (kept ahead of every write).
    static void Reserve(std::vector<uint32_t>& list, uint32_t size, uint32_t more) {
        if (size + more > list.size()) list.resize(list.size() * 2 + more);
    }
};

// The sorted keys side by side, one array a field, padded past the last
// node to whole blocks of sixteen by nodes that overlap nothing (their left
// edges at infinity), so a sweep never asks whether a block is whole.
// Footprint corners are kept as their far ends (col - cols), as the test
// compares them.
struct DepthColumns {
    enum Flag : int32_t {
        kTakesPart = 1,
        kFootprint = 2,
        // Every bound small enough that 32-bit sums and gaps cannot wrap; a
        // pair with a key outside goes through the test one pair at a time.
        kNarrow = 4,
    };
    std::vector<float> left, right, bottom;
    std::vector<int32_t> col, row, colEnd, rowEnd, cols, rows, id, flags;
    std::vector<uint32_t> index;
    // The furthest right edge in each block of eight: a block before a
    // node's own whose edges all stop short of its left one holds nothing
    // that overlaps it.
    std::vector<float> blockReach;
    // Links counted by place in left-edge order: to each node from earlier
    // ones, and back from each node to earlier ones.
    std::vector<int32_t> linksTo, linksBack;
    std::size_t count = 0;

    // The nodes `order` names, in that order.
    void Fill(const std::vector<DepthNode>& nodes, const std::vector<uint32_t>& order);
};

// The columns' storage, taken once for a sweep: the links it writes could,
// as far as the compiler knows, move the vectors' own pointers, which it
// would then read again for every block.
struct DepthColumnData {
    explicit DepthColumnData(DepthColumns& c)
        : left(c.left.data()),
          right(c.right.data()),
          bottom(c.bottom.data()),
          col(c.col.data()),
          row(c.row.data()),
          colEnd(c.colEnd.data()),
          rowEnd(c.rowEnd.data()),
          cols(c.cols.data()),
          rows(c.rows.data()),
          id(c.id.data()),
          flags(c.flags.data()),
          linksTo(c.linksTo.data()),
          linksBack(c.linksBack.data()) {}
    const float *left, *right, *bottom;
    const int32_t *col, *row, *colEnd, *rowEnd, *cols, *rows, *id, *flags;
    int32_t *linksTo, *linksBack;
};

// One of the links' lists as a sweep appends to it: its storage and room
// held here, taken again from the list only when it grows, where every
// append would read the list's size and room from its vector again.
class DepthListEnd {
public:
    DepthListEnd(std::vector<uint32_t>& list, uint32_t size)
        : list_(list), data_(list.data()), room_(list.size()), size_(size) {}
    uint32_t Size() const { return size_; }
    // Where the next `more` entries may be written, whether or not they
    // are then kept.
    uint32_t* Room(uint32_t more) {
        if (size_ + more > room_) {
            DepthLinks::Reserve(list_, size_, more);
            data_ = list_.data();
            room_ = list_.size();
        }
        return data_ + size_;
    }
    // The first `count` entries written at Room kept.
    void Keep(uint32_t count) { size_ += count; }

private:
    std::vector<uint32_t>& list_;
    uint32_t* data_;
    std::size_t room_;
    uint32_t size_;
};

// The links' two lists as a sweep of any width appends to them, and how a
// node's lists end, and then the sweep's.
struct DepthSweepLists {
    explicit DepthSweepLists(DepthLinks& l) : links(l), ahead(l.ahead, l.aheadSize), behind(l.behind, l.behindSize) {}
    // Node p's lists end here; `linksToA` links behind it were found besides
    // those counted for its place.
    void EndNode(std::size_t p, const int32_t* linksTo, int32_t linksToA) {
        links.aheadEnd[p] = ahead.Size();
        links.behindEnd[p] = behind.Size();
        links.linksTo[p] = static_cast<uint32_t>(linksTo[p] + linksToA);
    }
    // The sweep's lists end here, with the links counted back to each place.
    void Close(const int32_t* linksBack, std::size_t count) {
        links.aheadSize = ahead.Size();
        links.behindSize = behind.Size();
        for (std::size_t p = 0; p < count; ++p) links.behindCount[p] = static_cast<uint32_t>(linksBack[p]);
    }

    DepthLinks& links;
    DepthListEnd ahead, behind;
};

// How many pairs a sweep asks at once: as many as the processor can (sixteen
// where it has AVX-512), or eight at most.
enum class DepthSweepWidth { kWidest, kEight };

// The links between the nodes `order` names (in left-edge order), eight or
// sixteen pairs at a time, the columns filled for it; false (and nothing
// done, the columns not filled) where the processor cannot.
bool SweepColumns(const std::vector<DepthNode>& nodes, const std::vector<uint32_t>& order, DepthColumns& columns,
                  DepthLinks& links, DepthSweepWidth width = DepthSweepWidth::kWidest);

// The same sixteen pairs at a time over columns filled already; false (and
// nothing done) where the processor lacks AVX-512.
bool SweepColumnsSixteen(const std::vector<DepthNode>& nodes, DepthColumns& columns, DepthLinks& links);

// Whether the processor can search the columns for a node's predecessors.
bool DepthColumnsCanBeSearched();

inline constexpr uint32_t kNoPredecessor = ~uint32_t{0};

// The first node from block `from` on (a place that is a multiple of
// eight) that takes part, is not numbered (`numbered`, by place and padded
// as the columns, is -1 where it is) and is drawn before the node at place
// `p`: its place, `from` moved to its block; kNoPredecessor where the
// boxes overlapping p's run out first. A block starting at or before the
// first node whose box can overlap p's asks every such node; where the
// processor cannot search, none is found.
uint32_t FindUnnumberedPredecessor(const std::vector<DepthNode>& nodes, const DepthColumns& columns,
                                   const int32_t* numbered, std::size_t p, uint32_t& from);
