// The items' depth test and its numbering: the test's stages, the numbering's
// rules (held and hidden items, cycles) and the sweep against the literal
// all-pairs form on random scenes, as is the numbering that asks the test as
// it goes; the sweep sixteen pairs at a time against the one eight at a
// time, link for link.
#include <gtest/gtest.h>

#include <algorithm>
#include <limits>
#include <memory>
#include <random>
#include <tuple>
#include <vector>

#include "game/park/grid/depth_order.h"
#include "game/park/grid/depth_sweep.h"
#include "game/park/grid/grid_footprint.h"
#include "game/park/grid/grid_transform.h"
#include "tests/game/park/depth_order_reference.h"

namespace {

// An item as the test sees it: a footprint and a box above it.
struct Piece {
    std::unique_ptr<GridFootprint> footprint = std::make_unique<GridFootprint>();
    DepthKey Key(float left, float right, float bottom, int id) const {
        const TileRect r = footprint->GetRect();
        return {left, right, bottom, r.col, r.row, r.cols, r.rows, footprint.get(), id};
    }
};

Piece PieceAt(int col, int row, int cols, int rows) {
    Piece p;
    p.footprint->SetBounds(col, row, cols, rows);
    return p;
}

TEST(DepthTestTest, StagesInOrder) {
    const Piece front = PieceAt(5, 5, 1, 1), back = PieceAt(3, 3, 1, 1);
    // Boxes apart: never, even for footprints that would order.
    EXPECT_FALSE(KeyDrawsBefore(front.Key(100, 120, 0, 1), back.Key(0, 100, 0, 2)));
    // Footprints apart: the footprints' own test, both ways.
    EXPECT_TRUE(KeyDrawsBefore(front.Key(0, 50, 0, 1), back.Key(40, 90, 0, 2)));
    EXPECT_FALSE(KeyDrawsBefore(back.Key(40, 90, 0, 2), front.Key(0, 50, 0, 1)));
    // Sharing tiles: in front only of a rectangle that contains it.
    const Piece small = PieceAt(2, 2, 1, 1), big = PieceAt(2, 2, 2, 2);
    EXPECT_TRUE(KeyDrawsBefore(small.Key(0, 50, 0, 1), big.Key(0, 50, 0, 2)));
    EXPECT_FALSE(KeyDrawsBefore(big.Key(0, 50, 0, 2), small.Key(0, 50, 0, 1)));
    // Equal rectangles: the lower bottom edge first, then creation order.
    const Piece a = PieceAt(4, 4, 1, 1), b = PieceAt(4, 4, 1, 1);
    EXPECT_TRUE(KeyDrawsBefore(a.Key(0, 50, 30, 9), b.Key(0, 50, 20, 3)));
    EXPECT_FALSE(KeyDrawsBefore(a.Key(0, 50, 20, 9), b.Key(0, 50, 30, 3)));
}

// Equal footprints and bottoms were ordered by where the objects lay in
// memory, so two runs could draw them differently; the widget id decides.
TEST(DepthTestTest, TieGoesByIdNotMemory) {
    const Piece a = PieceAt(4, 4, 1, 1), b = PieceAt(4, 4, 1, 1);
    EXPECT_TRUE(KeyDrawsBefore(a.Key(0, 50, 20, 3), b.Key(0, 50, 20, 9)));
    EXPECT_FALSE(KeyDrawsBefore(b.Key(0, 50, 20, 9), a.Key(0, 50, 20, 3)));
    EXPECT_TRUE(KeyDrawsBefore(b.Key(0, 50, 20, 3), a.Key(0, 50, 20, 9)));
}

// The pairwise test as it stood when it asked the footprints themselves,
// kept as the reference for the form that reads their rectangles from the keys.
bool ReferenceDrawsBefore(const DepthKey& self, const DepthKey& other) {
    if (!(other.left < self.right && other.right > self.left)) return false;
    const bool apart = self.col <= other.col - other.cols || self.row <= other.row - other.rows ||
                       other.col <= self.col - self.cols || other.row <= self.row - self.rows;
    if (apart) return self.footprint && other.footprint && self.footprint->IsInFrontOf(*other.footprint);
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

// Footprints of every size up to 4 x 4 on a small board, so touching,
// overlapping, nested and distant pairs all occur, some without a footprint.
TEST(DepthTestTest, KeysRectanglesDecideAsTheFootprintsDid) {
    std::mt19937 rng(4357);
    std::vector<Piece> pieces;
    std::vector<DepthKey> keys;
    for (int i = 0; i < 120; ++i) {
        pieces.push_back(PieceAt(static_cast<int>(rng() % 9), static_cast<int>(rng() % 9),
                                 1 + static_cast<int>(rng() % 4), 1 + static_cast<int>(rng() % 4)));
        keys.push_back(pieces.back().Key(0, 10, static_cast<float>(rng() % 3), i));
        if (rng() % 20 == 0) keys.back().footprint = nullptr;
    }
    size_t inFront = 0;
    for (const DepthKey& a : keys)
        for (const DepthKey& b : keys) {
            ASSERT_EQ(KeyDrawsBefore(a, b), ReferenceDrawsBefore(a, b)) << "ids " << a.id << " and " << b.id;
            // The sweep's form, both ways at once (the boxes all overlap).
            const PairOrder both = OverlappingKeysOrder(b, a);
            ASSERT_EQ(both.bAfterA, ReferenceDrawsBefore(a, b)) << "ids " << a.id << " and " << b.id;
            ASSERT_EQ(both.aAfterB, ReferenceDrawsBefore(b, a)) << "ids " << a.id << " and " << b.id;
            inFront += KeyDrawsBefore(a, b);
        }
    EXPECT_GT(inFront, 2000u);  // the pairs do order
}

// Nodes over one shared box, linked by a table instead of footprints.
std::vector<int> NumberLinked(std::vector<DepthNode> nodes, const std::vector<std::pair<int, int>>& before,
                              std::vector<int> priorities) {
    for (DepthNode& n : nodes) n.key.right = 10.0f;
    const auto test = [&](uint32_t j, uint32_t i) {
        for (auto [from, to] : before)
            if (from == static_cast<int>(i) && to == static_cast<int>(j)) return true;
        return false;
    };
    DepthOrder order;
    order.CollectEdges(nodes, test);
    order.Number(nodes, priorities);
    return priorities;
}

DepthNode Node(bool takesPart, bool held) {
    DepthNode node;
    node.takesPart = takesPart;
    node.held = held;
    return node;
}
DepthNode Shown() { return Node(true, false); }
DepthNode Hidden() { return Node(false, false); }
DepthNode Held() { return Node(false, true); }

TEST(DepthNumberingTest, RulesOfTheQueue) {
    // Unlinked items go in index order.
    EXPECT_EQ(NumberLinked({Shown(), Shown()}, {}, {7, 8}), (std::vector<int>{0, 1}));
    // 2 before 0 before 1.
    EXPECT_EQ(NumberLinked({Shown(), Shown(), Shown()}, {{2, 0}, {0, 1}}, {0, 0, 0}), (std::vector<int>{1, 2, 0}));
    // A cycle keeps its old priorities; the others are numbered from 0.
    EXPECT_EQ(NumberLinked({Shown(), Shown(), Shown(), Shown()}, {{0, 1}, {1, 2}, {2, 0}}, {40, 41, 42, 43}),
              (std::vector<int>{40, 41, 42, 0}));
    // A held item is in front of all; a hidden successor is numbered after its predecessor.
    EXPECT_EQ(NumberLinked({Held(), Shown(), Hidden(), Hidden()}, {{1, 2}}, {5, 5, 5, 5}),
              (std::vector<int>{kUnorderedPriority, 0, 1, kUnorderedPriority}));
}

// A held item reached through the queue still takes a number's place.
TEST(DepthNumberingTest, HeldSuccessorAdvancesTheCounter) {
    std::vector<DepthNode> nodes{Shown(), Shown(), Shown()};
    nodes[1].held = true;  // held but still asked: the test makes it 0's successor
    nodes[1].takesPart = false;
    EXPECT_EQ(NumberLinked(nodes, {{0, 1}, {0, 2}}, {9, 9, 9}), (std::vector<int>{0, kUnorderedPriority, 2}));
}

// Random scenes of mostly 1 x 1 and 2 x 2 footprints on an isometric board: the
// sweep numbers exactly as the all-pairs form does. The footprints lie
// `offset` tiles out along both axes (their boxes where the board draws the
// tiles they would have at 0), far enough for sums and gaps to need more
// than 32 bits; some keys have no footprint, some boxes an infinite edge
// or one that is not a number, some a bottom that is not a number.
size_t CheckDepthScenes(int32_t offset, uint32_t seed, int scenes) {
    GridTransform board;
    board.Build({.tileStepW = 64, .tileStepH = 32, .cols = 10, .rows = 10, .width = 800, .height = 400});
    std::mt19937 rng(seed);
    size_t edges = 0;
    DepthOrder order;    // one for all scenes: each sort starts from the order the last one left
    DepthOrder waiting;  // the same, numbering as it asks
    for (int scene = 0; scene < scenes; ++scene) {
        const int n = 2 + static_cast<int>(rng() % 40);
        std::vector<Piece> pieces;
        std::vector<DepthNode> nodes(static_cast<size_t>(n));
        std::vector<int> old(static_cast<size_t>(n));
        for (int i = 0; i < n; ++i) {
            const int size = rng() % 4 == 0 ? 2 : 1, col = static_cast<int>(rng() % 10),
                      row = static_cast<int>(rng() % 10);
            // A few oblong ones, for which the rectangles' sums decide.
            const int cols = rng() % 8 == 0 ? 3 : size;
            pieces.push_back(PieceAt(offset + col, offset + row, cols, size));
            const PixelPoint p = board.TileToScreen(col, row);
            const float width = static_cast<float>(32 * (1 + rng() % 4)), shift = static_cast<float>(rng() % 3);
            DepthNode& node = nodes[static_cast<size_t>(i)];
            node.key = pieces.back().Key(p.x - width * 0.5f + shift, p.x + width * 0.5f, p.y + 16.0f, 100 + i);
            if (rng() % 25 == 0) node.key.footprint = nullptr;
            if (rng() % 40 == 0) node.key.right = std::numeric_limits<float>::infinity();
            if (rng() % 40 == 0) node.key.left = -std::numeric_limits<float>::infinity();
            if (rng() % 40 == 0) node.key.left = std::numeric_limits<float>::quiet_NaN();
            if (rng() % 30 == 0) node.key.bottom = std::numeric_limits<float>::quiet_NaN();
            node.held = rng() % 15 == 0;
            node.takesPart = !node.held && rng() % 10 != 0;
            old[static_cast<size_t>(i)] = static_cast<int>(rng() % 50);
        }
        // Then once more with every box moved a few pixels, as walking moves them.
        for (int moved = 0; moved < 2; ++moved) {
            for (DepthNode& node : nodes) {
                const float step = moved ? static_cast<float>(static_cast<int>(rng() % 9) - 4) : 0.0f;
                node.key.left += step;
                node.key.right += step;
            }
            std::vector<int> expected = old, actual = old;
            testsupport::NumberByAllPairs(
                nodes, [&](size_t j, size_t i) { return ReferenceDrawsBefore(nodes[j].key, nodes[i].key); }, expected);
            order.CollectEdges(nodes);
            order.Number(nodes, actual);
            EXPECT_EQ(actual, expected) << "offset " << offset << " scene " << scene << " moved " << moved;
            std::vector<int> again = old;  // numbering again by the same links changes nothing
            order.Number(nodes, again);
            EXPECT_EQ(again, actual) << "offset " << offset << " scene " << scene << " moved " << moved;
            std::vector<int> asked = old, chosen = old;
            waiting.Sort(nodes, asked, DepthOrder::Form::kWaiting);
            EXPECT_EQ(asked, expected) << "offset " << offset << " scene " << scene << " moved " << moved;
            order.Sort(nodes, chosen);
            EXPECT_EQ(chosen, expected) << "offset " << offset << " scene " << scene << " moved " << moved;
            // The sweep a pair at a time, as where eight pairs at once are not to be had.
            std::vector<int> single = old;
            DepthOrder pairwise;
            pairwise.CollectEdges(nodes,
                                  [&](size_t j, size_t i) { return KeyDrawsBefore(nodes[j].key, nodes[i].key); });
            pairwise.Number(nodes, single);
            EXPECT_EQ(single, expected) << "offset " << offset << " scene " << scene << " moved " << moved;
            edges += order.EdgeCount();
        }
    }
    return edges;
}

TEST(DepthNumberingTest, SweepMatchesAllPairsOnRandomScenes) {
    EXPECT_GT(CheckDepthScenes(0, 4357, 150), 1000u);  // the scenes do link their items
    // Some footprints inside the bounds 32 bits hold safely, some past them.
    for (const int32_t offset : {(1 << 28) - 6, (1 << 30) - 5, -(1 << 30) - 4})
        EXPECT_GT(CheckDepthScenes(offset, 77 + static_cast<uint32_t>(offset), 40), 200u) << "offset " << offset;
}

// Every box over every other, footprints of all sizes up to 4 x 4 close
// together `offset` tiles out: the links found are exactly the test's (as
// many, and numbered alike), near 0 and where 32-bit sums and gaps wrap.
TEST(DepthNumberingTest, CrowdedFootprintsLinkAsTheTestDoes) {
    std::mt19937 rng(1187);
    for (const int32_t offset : {0, (1 << 28) - 4, (1 << 30) - 6, -(1 << 30) - 3, (1 << 30) + (1 << 29)}) {
        for (int scene = 0; scene < 60; ++scene) {
            std::vector<Piece> pieces;
            std::vector<DepthNode> nodes(12);
            for (size_t i = 0; i < nodes.size(); ++i) {
                pieces.push_back(PieceAt(offset + static_cast<int>(rng() % 7), offset + static_cast<int>(rng() % 7),
                                         1 + static_cast<int>(rng() % 4), 1 + static_cast<int>(rng() % 4)));
                nodes[i].key = pieces.back().Key(0, 10, static_cast<float>(rng() % 2), static_cast<int>(i));
                nodes[i].takesPart = true;
            }
            size_t links = 0;
            const auto test = [&](size_t j, size_t i) { return ReferenceDrawsBefore(nodes[j].key, nodes[i].key); };
            for (size_t i = 0; i < nodes.size(); ++i)
                for (size_t j = 0; j < nodes.size(); ++j) links += i != j && test(j, i);
            std::vector<int> expected(nodes.size(), 7), actual = expected;
            testsupport::NumberByAllPairs(nodes, test, expected);
            DepthOrder order;
            order.CollectEdges(nodes);
            order.Number(nodes, actual);
            ASSERT_EQ(order.EdgeCount(), links) << "offset " << offset << " scene " << scene;
            ASSERT_EQ(actual, expected) << "offset " << offset << " scene " << scene;
            std::vector<int> asked(nodes.size(), 7);
            order.Sort(nodes, asked, DepthOrder::Form::kWaiting);
            ASSERT_EQ(asked, expected) << "offset " << offset << " scene " << scene;
        }
    }
}

// The sweep sixteen pairs at a time against the sweep eight at a time, link
// for link: crowded random scenes spanning several blocks, near 0 and where
// 32-bit sums and gaps wrap, with items that take no part, have no
// footprint, an infinite edge or a bottom that is not a number.
// The links a sweep of `width` finds between `nodes` in left-edge order.
DepthLinks SweepLinks(const std::vector<DepthNode>& nodes, const std::vector<uint32_t>& order, DepthSweepWidth width) {
    DepthColumns columns;
    DepthLinks links;
    links.Reset(nodes.size());
    EXPECT_TRUE(SweepColumns(nodes, order, columns, links, width));
    links.ahead.resize(links.aheadSize);
    links.behind.resize(links.behindSize);
    return links;
}

TEST(DepthSweepTest, SixteenPairsAtATimeLinkAsEight) {
    if (!__builtin_cpu_supports("avx2") || !__builtin_cpu_supports("avx512f"))
        GTEST_SKIP() << "the processor sweeps eight pairs at a time at most";
    std::mt19937 rng(6007);
    size_t links = 0;
    for (const int32_t offset : {0, (1 << 28) - 5, (1 << 30) - 6}) {
        for (int scene = 0; scene < 80; ++scene) {
            const int n = 2 + static_cast<int>(rng() % 70);
            std::vector<std::unique_ptr<GridFootprint>> footprints;
            std::vector<DepthNode> nodes(static_cast<size_t>(n));
            for (int i = 0; i < n; ++i) {
                footprints.push_back(std::make_unique<GridFootprint>());
                footprints.back()->SetBounds(offset + static_cast<int>(rng() % 8), offset + static_cast<int>(rng() % 8),
                                             1 + static_cast<int>(rng() % 3), 1 + static_cast<int>(rng() % 3));
                const TileRect r = footprints.back()->GetRect();
                const auto left = static_cast<float>(rng() % 200);
                DepthNode& node = nodes[static_cast<size_t>(i)];
                node.key = {left,
                            left + static_cast<float>(10 + rng() % 90),
                            static_cast<float>(rng() % 4),
                            r.col,
                            r.row,
                            r.cols,
                            r.rows,
                            footprints.back().get(),
                            static_cast<int>(rng() % 9)};
                if (rng() % 20 == 0) node.key.footprint = nullptr;
                if (rng() % 30 == 0) node.key.right = std::numeric_limits<float>::infinity();
                if (rng() % 30 == 0) node.key.bottom = std::numeric_limits<float>::quiet_NaN();
                node.takesPart = rng() % 8 != 0;
            }
            std::vector<uint32_t> order(static_cast<size_t>(n));
            for (uint32_t i = 0; i < order.size(); ++i) order[i] = i;
            std::sort(order.begin(), order.end(), [&](uint32_t a, uint32_t b) {
                return nodes[a].key.left != nodes[b].key.left ? nodes[a].key.left < nodes[b].key.left : a < b;
            });
            const DepthLinks eight = SweepLinks(nodes, order, DepthSweepWidth::kEight);
            const DepthLinks sixteen = SweepLinks(nodes, order, DepthSweepWidth::kWidest);
            const auto lists = [](const DepthLinks& l) {
                return std::tie(l.ahead, l.behind, l.aheadEnd, l.behindEnd, l.behindCount, l.linksTo);
            };
            ASSERT_EQ(lists(sixteen), lists(eight)) << "offset " << offset << " scene " << scene;
            links += eight.aheadSize + eight.behindSize;
        }
    }
    EXPECT_GT(links, 20000u);  // the scenes are crowded: most pairs link
}

}  // namespace
