// The sweep sixteen pairs at a time: one node against the next sixteen in
// left-edge order. The keys are compared sixteen lanes at once into masks,
// and the test's stages are worked out on those masks, a bit a lane, so
// the logic costs a few scalar steps for all sixteen pairs.
#include <bit>

#include "game/park/grid/depth_order.h"
#include "game/park/grid/depth_sweep.h"

#if defined(__x86_64__)
#include <immintrin.h>

namespace {

using Lanes16 = __mmask16;

// What the test reads of the keys, one node in every lane or sixteen nodes.
struct DepthWideLanes {
    __m512i col, row, colEnd, rowEnd, cols, rows, id;
    __m512 bottom;
};

__attribute__((target("avx512f"))) inline __m512i DepthWideLoad(const int32_t* column, std::size_t q) {
    return _mm512_loadu_si512(column + q);
}

__attribute__((target("avx512f"))) DepthWideLanes DepthWideLanesAt(const DepthColumnData& c, std::size_t q) {
    return {DepthWideLoad(c.col, q),    DepthWideLoad(c.row, q),      DepthWideLoad(c.colEnd, q),
            DepthWideLoad(c.rowEnd, q), DepthWideLoad(c.cols, q),     DepthWideLoad(c.rows, q),
            DepthWideLoad(c.id, q),     _mm512_loadu_ps(c.bottom + q)};
}

__attribute__((target("avx512f"))) DepthWideLanes DepthWideLanesOf(const DepthColumnData& c, std::size_t p) {
    return {_mm512_set1_epi32(c.col[p]),    _mm512_set1_epi32(c.row[p]),  _mm512_set1_epi32(c.colEnd[p]),
            _mm512_set1_epi32(c.rowEnd[p]), _mm512_set1_epi32(c.cols[p]), _mm512_set1_epi32(c.rows[p]),
            _mm512_set1_epi32(c.id[p]),     _mm512_set1_ps(c.bottom[p])};
}

__attribute__((target("avx512f"))) inline Lanes16 Gt(__m512i x, __m512i y) { return _mm512_cmpgt_epi32_mask(x, y); }
__attribute__((target("avx512f"))) inline Lanes16 Eq(__m512i x, __m512i y) { return _mm512_cmpeq_epi32_mask(x, y); }

struct DepthWideOrder {
    Lanes16 bAfterA, aAfterB;
};

// OverlappingKeysOrder for narrow keys in every lane, as the eight-pair
// sweep works it out; `footprints` marks the lanes where both items have
// one, `pairs` those asked.
__attribute__((target("avx512f"))) inline DepthWideOrder DepthWideTest(const DepthWideLanes& a, const DepthWideLanes& b,
                                                                       Lanes16 footprints, Lanes16 pairs) {
    // Footprints apart: the rectangles' test both ways, its steps in order.
    const Lanes16 gapAZero = Eq(a.colEnd, b.col), gapBZero = Eq(b.colEnd, a.col);
    const Lanes16 aBehind = Gt(b.col, a.colEnd) & Gt(b.row, a.rowEnd);  // B in front, before any later step
    const Lanes16 bBehind = Gt(a.col, b.colEnd) & Gt(a.row, b.rowEnd);  // A in front
    const Lanes16 adjacent = (gapAZero | gapBZero) & (Eq(b.rowEnd, a.row) | Eq(a.rowEnd, b.row));
    const __m512i s1 =
        _mm512_mask_blend_epi32(gapAZero, _mm512_sub_epi32(b.rows, a.rows), _mm512_sub_epi32(b.cols, a.cols));
    const __m512i s2 =
        _mm512_mask_blend_epi32(gapBZero, _mm512_sub_epi32(a.rows, b.rows), _mm512_sub_epi32(a.cols, b.cols));
    const __m512i sumA = _mm512_add_epi32(a.col, a.row), sumB = _mm512_add_epi32(b.col, b.row);
    const Lanes16 sumsEqual = Eq(sumA, sumB), sizesEqual = Eq(s1, s2);
    const Lanes16 bBySize = Gt(s2, s1) | (sizesEqual & (Gt(sumB, sumA) | (sumsEqual & gapBZero)));
    const Lanes16 aBySize = Gt(s1, s2) | (sizesEqual & (Gt(sumA, sumB) | (sumsEqual & gapAZero)));
    const DepthWideOrder far = {static_cast<Lanes16>(footprints & ~bBehind & (aBehind | (adjacent & bBySize))),
                                static_cast<Lanes16>(footprints & ~aBehind & (bBehind | (adjacent & aBySize)))};
    // Footprints sharing tiles, only where some pair's do: within the
    // other, or on one rectangle the lower box, then the older item.
    const Lanes16 overlap = aBehind & bBehind;
    if ((overlap & pairs) == 0) return far;
    const Lanes16 same = Eq(a.col, b.col) & Eq(a.row, b.row) & Eq(a.colEnd, b.colEnd) & Eq(a.rowEnd, b.rowEnd);
    const Lanes16 bWithin =
        static_cast<Lanes16>(~(Gt(b.col, a.col) | Gt(b.row, a.row) | Gt(a.colEnd, b.colEnd) | Gt(a.rowEnd, b.rowEnd)));
    const Lanes16 aWithin =
        static_cast<Lanes16>(~(Gt(a.col, b.col) | Gt(a.row, b.row) | Gt(b.colEnd, a.colEnd) | Gt(b.rowEnd, a.rowEnd)));
    const Lanes16 aLower = _mm512_cmp_ps_mask(a.bottom, b.bottom, _CMP_LT_OQ);
    const Lanes16 bLower = _mm512_cmp_ps_mask(b.bottom, a.bottom, _CMP_LT_OQ);
    const Lanes16 bFront = aLower | (~bLower & Gt(a.id, b.id));
    const Lanes16 aFront = bLower | (~aLower & Gt(b.id, a.id));
    const Lanes16 nearB = (same & bFront) | (~same & bWithin), nearA = (same & aFront) | (~same & aWithin);
    return {static_cast<Lanes16>((overlap & nearB) | (~overlap & far.bAfterA)),
            static_cast<Lanes16>((overlap & nearA) | (~overlap & far.aAfterB))};
}

// Appends the lanes of `values` set in `lanes` to `list`, keeping their order.
__attribute__((target("avx512f"))) inline void DepthWidePack(DepthListEnd& list, __m512i values, Lanes16 lanes) {
    _mm512_storeu_si512(list.Room(16), _mm512_maskz_compress_epi32(lanes, values));
    list.Keep(static_cast<uint32_t>(std::popcount(static_cast<uint32_t>(lanes))));
}

// Counts one link in each lane of `counts` set in `lanes`.
__attribute__((target("avx512f"))) inline void DepthWideCount(int32_t* counts, std::size_t q, Lanes16 lanes) {
    const __m512i at = _mm512_loadu_si512(counts + q);
    _mm512_storeu_si512(counts + q, _mm512_mask_add_epi32(at, lanes, at, _mm512_set1_epi32(1)));
}

__attribute__((target("avx512f"))) void SweepColumnsAvx512(DepthColumns& c, const std::vector<DepthNode>& nodes,
                                                           DepthLinks& links) {
    const __m512i laneNumbers = _mm512_setr_epi32(0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15);
    const __m512i takesPart = _mm512_set1_epi32(DepthColumns::kTakesPart),
                  footprint = _mm512_set1_epi32(DepthColumns::kFootprint),
                  narrow = _mm512_set1_epi32(DepthColumns::kNarrow);
    const DepthColumnData d(c);
    DepthSweepLists lists(links);
    for (std::size_t p = 0; p < c.count; ++p) {
        const int32_t flagsA = d.flags[p];
        const DepthWideLanes a = DepthWideLanesOf(d, p);
        const __m512 aLeft = _mm512_set1_ps(d.left[p]), aRight = _mm512_set1_ps(d.right[p]);
        int32_t linksToA = 0;
        // Blocks start on whole sixteens, so a count is always stored where
        // the next load of it reads; lanes up to the node's own are masked,
        // in the first block only: every lane of the blocks after is later.
        const std::size_t q0 = (p + 1) & ~std::size_t{15};
        Lanes16 later = static_cast<Lanes16>(0xFFFFu << (p + 1 - q0));
        for (std::size_t q = q0;; q += 16) {
            const Lanes16 started = _mm512_cmp_ps_mask(_mm512_loadu_ps(d.left + q), aRight, _CMP_LT_OQ);
            const Lanes16 pairs = started & later & _mm512_cmp_ps_mask(_mm512_loadu_ps(d.right + q), aLeft, _CMP_GT_OQ);
            // Sorted by left edge: past the first later box that starts at
            // or right of this one's end, none overlaps.
            const bool last = static_cast<Lanes16>(started | ~later) != 0xFFFF;
            later = 0xFFFF;
            if (pairs != 0) {
                const __m512i flagsB = DepthWideLoad(d.flags, q);
                const Lanes16 footprints =
                    (flagsA & DepthColumns::kFootprint) ? _mm512_test_epi32_mask(flagsB, footprint) : 0;
                const DepthWideOrder order = DepthWideTest(a, DepthWideLanesAt(d, q), footprints, pairs);
                unsigned bAfterA = order.bAfterA, aAfterB = order.aAfterB;
                // A wide key's pairs go through the test itself.
                unsigned wide = (flagsA & DepthColumns::kNarrow)
                                    ? pairs & ~static_cast<unsigned>(_mm512_test_epi32_mask(flagsB, narrow))
                                    : pairs;
                for (; wide != 0; wide &= wide - 1) {
                    const int lane = std::countr_zero(wide);
                    const PairOrder o = OverlappingKeysOrder(nodes[c.index[p]].key,
                                                             nodes[c.index[q + static_cast<std::size_t>(lane)]].key);
                    bAfterA = (bAfterA & ~(1u << lane)) | (o.bAfterA ? 1u << lane : 0u);
                    aAfterB = (aAfterB & ~(1u << lane)) | (o.aAfterB ? 1u << lane : 0u);
                }
                const auto ahead = static_cast<Lanes16>((flagsA & DepthColumns::kTakesPart) ? pairs & bAfterA : 0u);
                const auto behind = static_cast<Lanes16>(pairs & aAfterB & _mm512_test_epi32_mask(flagsB, takesPart));
                const __m512i places = _mm512_add_epi32(laneNumbers, _mm512_set1_epi32(static_cast<int32_t>(q)));
                if (ahead != 0) {
                    DepthWidePack(lists.ahead, places, ahead);
                    DepthWideCount(d.linksTo, q, ahead);
                }
                if (behind != 0) {
                    DepthWidePack(lists.behind, places, behind);
                    DepthWideCount(d.linksBack, q, behind);
                    linksToA += std::popcount(static_cast<uint32_t>(behind));
                }
            }
            if (last) break;
        }
        lists.EndNode(p, d.linksTo, linksToA);
    }
    lists.Close(d.linksBack, c.count);
}

}  // namespace

bool SweepColumnsSixteen(const std::vector<DepthNode>& nodes, DepthColumns& columns, DepthLinks& links) {
    if (!__builtin_cpu_supports("avx512f")) return false;
    SweepColumnsAvx512(columns, nodes, links);
    return true;
}

#else

bool SweepColumnsSixteen(const std::vector<DepthNode>&, DepthColumns&, DepthLinks&) { return false; }

#endif
