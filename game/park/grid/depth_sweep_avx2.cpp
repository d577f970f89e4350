// The sweep eight pairs at a time: one node against the next eight in
// left-edge order, the depth test's stages all worked out for every lane
// and the answer chosen lane by lane, so no lane's branch waits on a guess.
#include <array>
#include <bit>

#include "game/park/grid/depth_order.h"
#include "game/park/grid/depth_sweep.h"

#if defined(__x86_64__)
#include <immintrin.h>

namespace {

// For each mask of eight lanes, the numbers of its set lanes in order, a
// byte each: the shuffle that packs those lanes to the front, widened to
// its lanes by one load.
constexpr std::array<uint64_t, 256> MakeDepthLanePacks() {
    std::array<uint64_t, 256> packs{};
    for (uint32_t mask = 0; mask < 256; ++mask) {
        uint32_t at = 0;
        for (uint64_t lane = 0; lane < 8; ++lane)
            if (mask & (1u << lane)) packs[mask] |= lane << (8 * at++);
    }
    return packs;
}
constexpr std::array<uint64_t, 256> kDepthLanePacks = MakeDepthLanePacks();

// What the test reads of the keys, one node in every lane or eight nodes.
struct DepthLanes {
    __m256i col, row, colEnd, rowEnd, cols, rows, id;
    __m256 bottom;
};

__attribute__((target("avx2"))) inline __m256i DepthLoad(const int32_t* column, std::size_t q) {
    return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(column + q));
}

__attribute__((target("avx2"))) DepthLanes DepthLanesAt(const DepthColumnData& c, std::size_t q) {
    return {DepthLoad(c.col, q),  DepthLoad(c.row, q),  DepthLoad(c.colEnd, q), DepthLoad(c.rowEnd, q),
            DepthLoad(c.cols, q), DepthLoad(c.rows, q), DepthLoad(c.id, q),     _mm256_loadu_ps(c.bottom + q)};
}

__attribute__((target("avx2"))) DepthLanes DepthLanesOf(const DepthColumns& c, std::size_t p) {
    return {_mm256_set1_epi32(c.col[p]),    _mm256_set1_epi32(c.row[p]),  _mm256_set1_epi32(c.colEnd[p]),
            _mm256_set1_epi32(c.rowEnd[p]), _mm256_set1_epi32(c.cols[p]), _mm256_set1_epi32(c.rows[p]),
            _mm256_set1_epi32(c.id[p]),     _mm256_set1_ps(c.bottom[p])};
}

struct DepthLaneOrder {
    __m256i bAfterA, aAfterB;
};

// The lane operations the test is written in.
__attribute__((target("avx2"))) inline __m256i gt(__m256i x, __m256i y) { return _mm256_cmpgt_epi32(x, y); }
__attribute__((target("avx2"))) inline __m256i eq(__m256i x, __m256i y) { return _mm256_cmpeq_epi32(x, y); }
__attribute__((target("avx2"))) inline __m256i both(__m256i x, __m256i y) { return _mm256_and_si256(x, y); }
__attribute__((target("avx2"))) inline __m256i either(__m256i x, __m256i y) { return _mm256_or_si256(x, y); }
// `y` where `x` is not.
__attribute__((target("avx2"))) inline __m256i unless(__m256i x, __m256i y) { return _mm256_andnot_si256(x, y); }

// Footprints sharing tiles: within the other, or on one rectangle the
// lower box, then the older item.
__attribute__((target("avx2"))) DepthLaneOrder DepthLanesNear(const DepthLanes& a, const DepthLanes& b) {
    const __m256i all = _mm256_set1_epi32(-1);
    const __m256i same =
        both(both(eq(a.col, b.col), eq(a.row, b.row)), both(eq(a.colEnd, b.colEnd), eq(a.rowEnd, b.rowEnd)));
    const __m256i bWithin = unless(
        either(either(gt(b.col, a.col), gt(b.row, a.row)), either(gt(a.colEnd, b.colEnd), gt(a.rowEnd, b.rowEnd))),
        all);
    const __m256i aWithin = unless(
        either(either(gt(a.col, b.col), gt(a.row, b.row)), either(gt(b.colEnd, a.colEnd), gt(b.rowEnd, a.rowEnd))),
        all);
    const __m256i aLower = _mm256_castps_si256(_mm256_cmp_ps(a.bottom, b.bottom, _CMP_LT_OQ));
    const __m256i bLower = _mm256_castps_si256(_mm256_cmp_ps(b.bottom, a.bottom, _CMP_LT_OQ));
    const __m256i bFront = either(aLower, unless(bLower, gt(a.id, b.id)));
    const __m256i aFront = either(bLower, unless(aLower, gt(b.id, a.id)));
    return {_mm256_blendv_epi8(bWithin, bFront, same), _mm256_blendv_epi8(aWithin, aFront, same)};
}

// OverlappingKeysOrder for narrow keys in every lane; `footprints` marks
// the lanes where both items have one, `pairs` those asked.
__attribute__((target("avx2"), always_inline)) inline DepthLaneOrder DepthLaneTest(const DepthLanes& a,
                                                                                   const DepthLanes& b,
                                                                                   __m256i footprints, __m256i pairs) {
    // Footprints apart: the rectangles' test both ways, its steps in order.
    // Narrow bounds compare as their 32-bit gaps would: a's far column
    // short of b's (gap below 0), or the next column (gap 0).
    const __m256i aShortCol = gt(b.col, a.colEnd), bShortCol = gt(a.col, b.colEnd);
    const __m256i gapAZero = eq(a.colEnd, b.col), gapBZero = eq(b.colEnd, a.col);
    const __m256i aBehind = both(aShortCol, gt(b.row, a.rowEnd));  // B in front, before any later step
    const __m256i bBehind = both(bShortCol, gt(a.row, b.rowEnd));  // A in front
    // Side by side: next along the columns and meeting along the rows.
    const __m256i adjacent = both(either(gapAZero, gapBZero), either(eq(b.rowEnd, a.row), eq(a.rowEnd, b.row)));
    const __m256i s1 = _mm256_blendv_epi8(_mm256_sub_epi32(b.rows, a.rows), _mm256_sub_epi32(b.cols, a.cols), gapAZero);
    const __m256i s2 = _mm256_blendv_epi8(_mm256_sub_epi32(a.rows, b.rows), _mm256_sub_epi32(a.cols, b.cols), gapBZero);
    const __m256i sumA = _mm256_add_epi32(a.col, a.row), sumB = _mm256_add_epi32(b.col, b.row);
    const __m256i sumsEqual = eq(sumA, sumB), sizesEqual = eq(s1, s2);
    const __m256i bBySize = either(gt(s2, s1), both(sizesEqual, either(gt(sumB, sumA), both(sumsEqual, gapBZero))));
    const __m256i aBySize = either(gt(s1, s2), both(sizesEqual, either(gt(sumA, sumB), both(sumsEqual, gapAZero))));
    const DepthLaneOrder far = {both(footprints, unless(bBehind, either(aBehind, both(adjacent, bBySize)))),
                                both(footprints, unless(aBehind, either(bBehind, both(adjacent, aBySize))))};
    // Most boxes that overlap stand on footprints apart: the other stage
    // only where some pair's footprints share tiles: each far corner short
    // of the other's near one, both ways, as the two steps above found.
    const __m256i overlap = both(aBehind, bBehind);
    if (_mm256_testz_si256(overlap, pairs)) return far;
    const DepthLaneOrder near = DepthLanesNear(a, b);
    return {_mm256_blendv_epi8(far.bAfterA, near.bAfterA, overlap),
            _mm256_blendv_epi8(far.aAfterB, near.aAfterB, overlap)};
}

// All lanes whose bit is set in `bits`.
__attribute__((target("avx2"))) __m256i DepthLaneMask(int bits) {
    const __m256i laneBits = _mm256_setr_epi32(1, 2, 4, 8, 16, 32, 64, 128);
    return _mm256_cmpeq_epi32(_mm256_and_si256(_mm256_set1_epi32(bits), laneBits), laneBits);
}

// Each lane's `Flag` bit (a flag is one bit) moved up to the lane's sign:
// what a movemask reads and an arithmetic shift spreads over the lane.
template <int32_t Flag>
__attribute__((target("avx2"))) inline __m256i DepthFlagSigns(__m256i flags) {
    return _mm256_slli_epi32(flags, 31 - std::countr_zero(static_cast<uint32_t>(Flag)));
}

// The lanes whose `Flag` is set, a bit each.
template <int32_t Flag>
__attribute__((target("avx2"))) inline int DepthFlagLanes(__m256i flags) {
    return _mm256_movemask_ps(_mm256_castsi256_ps(DepthFlagSigns<Flag>(flags)));
}

// Appends the lanes of `values` set in `bits` to `list`, keeping their order.
__attribute__((target("avx2"), always_inline)) inline void DepthPackLanes(DepthListEnd& list, __m256i values,
                                                                          int bits) {
    const __m256i lanes = _mm256_cvtepu8_epi32(
        _mm_loadl_epi64(reinterpret_cast<const __m128i*>(&kDepthLanePacks[static_cast<uint32_t>(bits)])));
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(list.Room(8)), _mm256_permutevar8x32_epi32(values, lanes));
    list.Keep(static_cast<uint32_t>(std::popcount(static_cast<uint32_t>(bits))));
}

// Counts one link in each lane of `counts` set in `bits`.
__attribute__((target("avx2"), always_inline)) inline void DepthCountLanes(int32_t* counts, std::size_t q, int bits) {
    auto* at = reinterpret_cast<__m256i*>(counts + q);
    _mm256_storeu_si256(at, _mm256_sub_epi32(_mm256_loadu_si256(at), DepthLaneMask(bits)));
}

__attribute__((target("avx2"))) void SweepColumnsAvx2(DepthColumns& c, const std::vector<DepthNode>& nodes,
                                                      DepthLinks& links) {
    const __m256i laneNumbers = _mm256_setr_epi32(0, 1, 2, 3, 4, 5, 6, 7);
    const DepthColumnData d(c);
    DepthSweepLists lists(links);
    for (std::size_t p = 0; p < c.count; ++p) {
        const int32_t flagsA = d.flags[p];
        const DepthLanes a = DepthLanesOf(c, p);
        const __m256 aLeft = _mm256_set1_ps(d.left[p]), aRight = _mm256_set1_ps(d.right[p]);
        const __m256i place = _mm256_set1_epi32(static_cast<int32_t>(p));
        const __m256i footprintA = _mm256_set1_epi32((flagsA & DepthColumns::kFootprint) ? -1 : 0);
        int32_t linksToA = 0;
        // Blocks start on whole eights, so a count is always stored where
        // the next load of it reads; lanes up to the node's own are masked,
        // in the first block only: every lane of the blocks after is later.
        const std::size_t q0 = (p + 1) & ~std::size_t{7};
        __m256 later = _mm256_castsi256_ps(
            _mm256_cmpgt_epi32(_mm256_add_epi32(laneNumbers, _mm256_set1_epi32(static_cast<int32_t>(q0))), place));
        int notLater = ~_mm256_movemask_ps(later) & 0xFF;
        for (std::size_t q = q0;; q += 8) {
            const __m256 bLeft = _mm256_loadu_ps(d.left + q);
            const __m256 started = _mm256_cmp_ps(bLeft, aRight, _CMP_LT_OQ);
            const __m256 overlapsX = _mm256_and_ps(_mm256_and_ps(started, later),
                                                   _mm256_cmp_ps(_mm256_loadu_ps(d.right + q), aLeft, _CMP_GT_OQ));
            // Sorted by left edge: past the first later box that starts at
            // or right of this one's end, none overlaps.
            const bool last = (_mm256_movemask_ps(started) | notLater) != 0xFF;
            later = _mm256_castsi256_ps(_mm256_set1_epi32(-1));
            notLater = 0;
            const int pairs = _mm256_movemask_ps(overlapsX);
            if (pairs != 0) {
                const __m256i flagsB = DepthLoad(d.flags, q);
                const __m256i footprints = _mm256_and_si256(
                    footprintA, _mm256_srai_epi32(DepthFlagSigns<DepthColumns::kFootprint>(flagsB), 31));
                const DepthLaneOrder order =
                    DepthLaneTest(a, DepthLanesAt(d, q), footprints, _mm256_castps_si256(overlapsX));
                int bAfterA = _mm256_movemask_ps(_mm256_castsi256_ps(order.bAfterA));
                int aAfterB = _mm256_movemask_ps(_mm256_castsi256_ps(order.aAfterB));
                // A wide key's pairs go through the test itself.
                int wide =
                    (flagsA & DepthColumns::kNarrow) ? pairs & ~DepthFlagLanes<DepthColumns::kNarrow>(flagsB) : pairs;
                for (; wide != 0; wide &= wide - 1) {
                    const int lane = std::countr_zero(static_cast<uint32_t>(wide));
                    const PairOrder o = OverlappingKeysOrder(nodes[c.index[p]].key,
                                                             nodes[c.index[q + static_cast<std::size_t>(lane)]].key);
                    bAfterA = (bAfterA & ~(1 << lane)) | (o.bAfterA ? 1 << lane : 0);
                    aAfterB = (aAfterB & ~(1 << lane)) | (o.aAfterB ? 1 << lane : 0);
                }
                const int aheadLanes = (flagsA & DepthColumns::kTakesPart) ? pairs & bAfterA : 0;
                const int behindLanes = pairs & aAfterB & DepthFlagLanes<DepthColumns::kTakesPart>(flagsB);
                const __m256i places = _mm256_add_epi32(laneNumbers, _mm256_set1_epi32(static_cast<int32_t>(q)));
                if (aheadLanes != 0) {
                    DepthPackLanes(lists.ahead, places, aheadLanes);
                    DepthCountLanes(d.linksTo, q, aheadLanes);
                }
                if (behindLanes != 0) {
                    DepthPackLanes(lists.behind, places, behindLanes);
                    DepthCountLanes(d.linksBack, q, behindLanes);
                    linksToA += std::popcount(static_cast<uint32_t>(behindLanes));
                }
            }
            if (last) break;
        }
        lists.EndNode(p, d.linksTo, linksToA);
    }
    lists.Close(d.linksBack, c.count);
}

// The lanes of eight nodes from `q` on, read where nothing but reading is done.
__attribute__((target("avx2"))) DepthLanes DepthLanesAt(const DepthColumns& c, std::size_t q) {
    return {DepthLoad(c.col.data(), q),    DepthLoad(c.row.data(), q),          DepthLoad(c.colEnd.data(), q),
            DepthLoad(c.rowEnd.data(), q), DepthLoad(c.cols.data(), q),         DepthLoad(c.rows.data(), q),
            DepthLoad(c.id.data(), q),     _mm256_loadu_ps(c.bottom.data() + q)};
}

__attribute__((target("avx2"))) uint32_t FindPredecessorAvx2(const std::vector<DepthNode>& nodes, const DepthColumns& c,
                                                             const int32_t* numbered, std::size_t p, uint32_t& from) {
    const __m256i laneNumbers = _mm256_setr_epi32(0, 1, 2, 3, 4, 5, 6, 7);
    const int32_t flagsA = c.flags[p];
    const DepthLanes a = DepthLanesOf(c, p);
    const __m256 aLeft = _mm256_set1_ps(c.left[p]), aRight = _mm256_set1_ps(c.right[p]);
    const __m256i place = _mm256_set1_epi32(static_cast<int32_t>(p));
    const __m256i footprintA = _mm256_set1_epi32((flagsA & DepthColumns::kFootprint) ? -1 : 0);
    const float left = c.left[p];
    for (std::size_t q = from;; q += 8) {
        // A block wholly before p's whose boxes all end short of it holds
        // nothing to ask: only the wide boxes reach far back.
        if (q + 8 <= p && !(c.blockReach[q / 8] > left)) continue;
        const __m256i places = _mm256_add_epi32(laneNumbers, _mm256_set1_epi32(static_cast<int32_t>(q)));
        const __m256 started = _mm256_cmp_ps(_mm256_loadu_ps(c.left.data() + q), aRight, _CMP_LT_OQ);
        const __m256 overlapsX =
            _mm256_and_ps(started, _mm256_cmp_ps(_mm256_loadu_ps(c.right.data() + q), aLeft, _CMP_GT_OQ));
        // Only the boxes after this one are sorted past its end; the ones
        // before it all start no later than it does.
        const int later = _mm256_movemask_ps(_mm256_castsi256_ps(_mm256_cmpgt_epi32(places, place)));
        const bool last = (_mm256_movemask_ps(started) | (~later & 0xFF)) != 0xFF;
        const __m256i flagsB = DepthLoad(c.flags.data(), q);
        // Not the node itself, and only the ones that can still hold it back.
        const int asked = _mm256_movemask_ps(overlapsX) & DepthFlagLanes<DepthColumns::kTakesPart>(flagsB) &
                          ~_mm256_movemask_ps(_mm256_castsi256_ps(
                              _mm256_or_si256(DepthLoad(numbered, q), _mm256_cmpeq_epi32(places, place))));
        if (asked != 0) {
            const __m256i footprints =
                _mm256_and_si256(footprintA, _mm256_srai_epi32(DepthFlagSigns<DepthColumns::kFootprint>(flagsB), 31));
            const __m256i pairs = DepthLaneMask(asked);
            int before = _mm256_movemask_ps(
                _mm256_castsi256_ps(DepthLaneTest(a, DepthLanesAt(c, q), footprints, pairs).aAfterB));
            int wide =
                (flagsA & DepthColumns::kNarrow) ? asked & ~DepthFlagLanes<DepthColumns::kNarrow>(flagsB) : asked;
            for (; wide != 0; wide &= wide - 1) {
                const int lane = std::countr_zero(static_cast<uint32_t>(wide));
                const PairOrder o =
                    OverlappingKeysOrder(nodes[c.index[p]].key, nodes[c.index[q + static_cast<std::size_t>(lane)]].key);
                before = (before & ~(1 << lane)) | (o.aAfterB ? 1 << lane : 0);
            }
            before &= asked;
            if (before != 0) {
                from = static_cast<uint32_t>(q);
                return static_cast<uint32_t>(q) +
                       static_cast<uint32_t>(std::countr_zero(static_cast<uint32_t>(before)));
            }
        }
        if (last) return kNoPredecessor;
    }
}

}  // namespace

bool DepthColumnsCanBeSearched() { return __builtin_cpu_supports("avx2"); }

uint32_t FindUnnumberedPredecessor(const std::vector<DepthNode>& nodes, const DepthColumns& columns,
                                   const int32_t* numbered, std::size_t p, uint32_t& from) {
    return FindPredecessorAvx2(nodes, columns, numbered, p, from);
}

bool SweepColumns(const std::vector<DepthNode>& nodes, const std::vector<uint32_t>& order, DepthColumns& columns,
                  DepthLinks& links, DepthSweepWidth width) {
    if (!__builtin_cpu_supports("avx2")) return false;
    columns.Fill(nodes, order);
    if (width == DepthSweepWidth::kEight || !SweepColumnsSixteen(nodes, columns, links))
        SweepColumnsAvx2(columns, nodes, links);
    return true;
}

#else

bool DepthColumnsCanBeSearched() { return false; }

uint32_t FindUnnumberedPredecessor(const std::vector<DepthNode>&, const DepthColumns&, const int32_t*, std::size_t,
                                   uint32_t&) {
    return kNoPredecessor;
}

bool SweepColumns(const std::vector<DepthNode>&, const std::vector<uint32_t>&, DepthColumns&, DepthLinks&,
                  DepthSweepWidth) {
    return false;
}

#endif
