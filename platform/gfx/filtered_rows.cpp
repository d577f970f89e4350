#include "platform/gfx/filtered_rows.h"

#include <algorithm>
#include <bit>
#include <span>

#include "platform/gfx/across_and_down.h"
#include "platform/gfx/span_over.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif
#if defined(__x86_64__)
#include <immintrin.h>
#endif

namespace plat {

namespace {

// The first entry of p[0..count) that is not clear; count when none is.
int FirstUnclear(const uint32_t* p, int count) {
    int i = 0;
#if defined(__SSE2__)
    // Four entries a compare: a sprite row's clear edge is most of its width.
    for (; i + 4 <= count; i += 4) {
        const __m128i four = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i));
        const int clear = _mm_movemask_ps(_mm_castsi128_ps(_mm_cmpeq_epi32(four, _mm_setzero_si128())));
        if (clear != 0xF) return i + std::countr_zero(static_cast<unsigned>(~clear & 0xF));
    }
#endif
    while (i < count && p[i] == 0) ++i;
    return i;
}

// The last entry of p(first..last] that is not clear; first when none is.
int LastUnclear(const uint32_t* p, int first, int last) {
#if defined(__SSE2__)
    for (; last - 3 > first; last -= 4) {
        const __m128i four = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + last - 3));
        const int clear = _mm_movemask_ps(_mm_castsi128_ps(_mm_cmpeq_epi32(four, _mm_setzero_si128())));
        if (clear != 0xF) return last - 3 + (31 - std::countl_zero(static_cast<unsigned>(~clear & 0xF)));
    }
#endif
    while (last > first && p[last] == 0) --last;
    return last;
}

// The first entry of p[0..count) that is not clear (count when none is)
// and the last (the first when none is).
struct Unclear {
    int first, last;
};

Unclear UnclearScalar(const uint32_t* p, int count) {
    const int first = FirstUnclear(p, count);
    return {first, LastUnclear(p, first, count - 1)};
}

#if defined(__x86_64__)
// Eight entries a compare from either end; a block at the row's end that
// would reach past it ends with the row instead. At least eight entries.
__attribute__((target("avx2"))) inline unsigned UnclearLanes(const uint32_t* p) {
    const __m256i eight = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p));
    return static_cast<unsigned>(
        ~_mm256_movemask_ps(_mm256_castsi256_ps(_mm256_cmpeq_epi32(eight, _mm256_setzero_si256()))) & 0xFF);
}

__attribute__((target("avx2"))) Unclear UnclearAvx2(const uint32_t* p, int count) {
    int first = count;
    for (int i = 0; i < count; i += 8) {
        const int at = std::min(i, count - 8);
        if (const unsigned lanes = UnclearLanes(p + at)) {
            first = at + std::countr_zero(lanes);
            break;
        }
    }
    if (first == count) return {count, count};
    // The blocks down from the end cover the row: the one holding `first`
    // ends the search at the latest.
    for (int i = count - 8;; i = std::max(i - 8, 0))
        if (const unsigned lanes = UnclearLanes(p + i)) return {first, i + 31 - std::countl_zero(lanes)};
}
#endif

Unclear UnclearEntries(const uint32_t* p, int count) {
#if defined(__x86_64__)
    static const bool avx2 = CpuHasAvx2();
    if (avx2 && count >= 8) return UnclearAvx2(p, count);
#endif
    return UnclearScalar(p, count);
}

#if defined(__x86_64__)
// Four rows a compare where they are all made and all of one kind, as all
// but a sprite's first and last rows of figure are; the rest a row at a
// time. A run's extent is kept as (first, -end) pairs in every 64-bit lane,
// so one minimum takes both ends of four rows.
__attribute__((target("avx2"))) int GroupRunsAvx2(const FilteredRows::Made* made, int count, int lowest, int past,
                                                  bool skipClear, FilteredRows::Run* runs, int most, int& found) {
    static_assert(sizeof(FilteredRows::Made) == 8, "four rows to a vector");
    found = 0;
    if (most <= 0) return 0;
    const __m256i signs = _mm256_setr_epi32(1, -1, 1, -1, 1, -1, 1, -1);
    const __m256i notMade = _mm256_set1_epi32(FilteredRows::kNotMade);
    // A row is clear in the entries read where first > past - 1 or
    // -end > -lowest - 1; none is without skipClear.
    const __m256i clearPast = skipClear
                                  ? _mm256_set1_epi64x(static_cast<int64_t>(static_cast<uint32_t>(past - 1)) |
                                                       static_cast<int64_t>(static_cast<uint64_t>(-lowest - 1) << 32))
                                  : _mm256_set1_epi32(INT32_MAX);
    const __m256i none = _mm256_set1_epi32(INT32_MAX);
    __m256i extent = none;
    int start = -1;  // the open run's first row; none open below 0
    auto close = [&](int end) __attribute__((target("avx2"))) {
        __m128i both = _mm_min_epi32(_mm256_castsi256_si128(extent), _mm256_extracti128_si256(extent, 1));
        both = _mm_min_epi32(both, _mm_shuffle_epi32(both, _MM_SHUFFLE(1, 0, 3, 2)));
        runs[found++] = {start, end, _mm_cvtsi128_si32(both), -_mm_extract_epi32(both, 1)};
        start = -1;
        extent = none;
        return found == most;
    };
    int i = 0;
    while (i < count) {
        if (i + 4 <= count) {
            const __m256i four = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(made + i));
            const __m256i pairs = _mm256_sign_epi32(four, signs);
            // A row not made has neither lane past its bound.
            const __m256i clear = _mm256_cmpgt_epi32(pairs, clearPast);
            const __m256i other = _mm256_or_si256(clear, _mm256_cmpeq_epi32(four, notMade));
            if (_mm256_testz_si256(other, other)) {
                if (start < 0) start = i;
                extent = _mm256_min_epi32(extent, pairs);
                i += 4;
                continue;
            }
            const int lanes = _mm256_movemask_ps(_mm256_castsi256_ps(clear));
            if (start < 0 && ((lanes | lanes >> 1) & 0x55) == 0x55) {
                i += 4;
                continue;
            }
        }
        // A row alone: of four of both kinds, not made, or of the last few.
        const FilteredRows::Made m = made[i];
        // The run open here is left for a later call, once the rows are made.
        if (!m.Ready()) return start >= 0 ? start : i;
        if (skipClear && (m.first >= past || m.end <= lowest)) {
            if (start >= 0 && close(i)) return i;
            ++i;
            continue;
        }
        if (start < 0) start = i;
        const uint64_t pair = static_cast<uint32_t>(m.first) | static_cast<uint64_t>(static_cast<uint32_t>(-m.end))
                                                                   << 32;
        extent = _mm256_min_epi32(extent, _mm256_set1_epi64x(static_cast<int64_t>(pair)));
        ++i;
    }
    if (start >= 0) close(i);
    return i;
}
#endif

}  // namespace

void FilteredRows::BeginDraw(const SamplerSetup& s, uint64_t version, uint32_t fx) {
    pending_ = Key{version, s.view.pixels, s.view.width, s.view.height, s.view.pitch, fx, 0, s.wrapU, s.wrapV};
    firstRow_ = true;
}

void FilteredRows::NoteClearRows() {
    clearVersion_ = pending_.version;
    clearPixels_ = pending_.pixels;
    clearRows_.resize(static_cast<size_t>(pending_.height));
    for (int y = 0; y < pending_.height; ++y)
        clearRows_[static_cast<size_t>(y)] =
            FirstUnclear(pending_.pixels + static_cast<size_t>(y) * pending_.pitch, pending_.width) == pending_.width;
}

void FilteredRows::Filter(const SamplerSetup& s, Slot& slot, int32_t v, uint32_t* out) {
    const int width = s.view.width, count = width + 1;
    const uint32_t fx = slot.key.fx;
    const int firstLeft = s.wrapU ? width - 1 : 0, lastRight = s.wrapU ? 0 : width - 1;
    // Between clear texel rows, as above and below a sprite's figure.
    if (ClearAt(v)) {
        std::fill_n(out, count, 0u);
        return;
    }
    const RowPair rows = BilinearRows(s, v);
    // A row on a texel row alone has nothing to share with the next.
    if (rows.weight == 0) {
        BilinearRunSpan(rows, -1, firstLeft, lastRight, fx, count, out);
        return;
    }
    uint32_t* const made[2] = {slot.across.data(), slot.across.data() + count};
    const auto held = [&](const uint32_t* texels) -> uint32_t* {
        for (int k = 0; k < 2; ++k)
            if (slot.acrossOf[k] == texels) return made[k];
        return nullptr;
    };
    uint32_t* upper = held(rows.upper);
    if (!upper) {
        const int k = slot.acrossOf[0] == rows.lower ? 1 : 0;
        upper = made[k];
        BilinearRunSpan({rows.upper, rows.upper, 0}, -1, firstLeft, lastRight, fx, count, upper);
        slot.acrossOf[k] = rows.upper;
    }
    if (const uint32_t* lower = held(rows.lower)) {
        LerpRowSpan(upper, lower, rows.weight, count, out);
        return;
    }
    // Entries 0 .. width - 2 blend texel columns inside the row, a run;
    // the two outside it blend the columns the addressing sends them to.
    const int k = upper == made[0] ? 1 : 0;
    uint32_t* lower = made[k];
    AcrossAndDown({rows.lower, fx, rows.weight, upper + 1, lower + 1, out + 1, width - 1}, false);
    lower[0] = LerpTexels(rows.lower, firstLeft, 0, fx);
    lower[width] = LerpTexels(rows.lower, width - 1, lastRight, fx);
    for (int i : {0, width}) out[i] = LerpArgb(upper[i], lower[i], rows.weight);
    slot.acrossOf[k] = rows.lower;
}

void FilteredRows::Prefetch(int32_t v, int lowest, int count) const {
    const RowsFrom row = MadeRowsFrom(v);
    if (!row.made || lowest < -1 || count <= 0 || lowest + count > kept_->key.width) return;
    // Each line from the first entry's to the last entry's, once.
    constexpr uintptr_t kLine = 64;
    const auto first = reinterpret_cast<uintptr_t>(row.texels + lowest) & ~(kLine - 1);
    const auto last = reinterpret_cast<uintptr_t>(row.texels + lowest + count - 1);
    for (uintptr_t at = first; at <= last; at += kLine) __builtin_prefetch(reinterpret_cast<const void*>(at));
}

int FilteredRows::GroupRunsPlain(const Made* made, int count, int lowest, int past, bool skipClear, Run* runs, int most,
                                 int& found) {
    found = 0;
    if (most <= 0) return 0;
    Run run{-1, 0, 0, 0};
    int i = 0;
    for (; i < count; ++i) {
        const Made m = made[i];
        if (!m.Ready()) return run.start >= 0 ? run.start : i;
        if (skipClear && (m.first >= past || m.end <= lowest)) {
            if (run.start < 0) continue;
            run.end = i;
            runs[found++] = run;
            run.start = -1;
            if (found == most) return i;
            continue;
        }
        if (run.start < 0) {
            run = {i, i, m.first, m.end};
        } else {
            run.first = std::min(run.first, static_cast<int>(m.first));
            run.last = std::max(run.last, static_cast<int>(m.end));
        }
    }
    if (run.start >= 0) {
        run.end = i;
        runs[found++] = run;
    }
    return i;
}

int FilteredRows::GroupRuns(const Made* made, int count, int lowest, int past, bool skipClear, Run* runs, int most,
                            int& found) {
#if defined(__x86_64__)
    static const bool avx2 = CpuHasAvx2();
    if (avx2) return GroupRunsAvx2(made, count, lowest, past, skipClear, runs, most, found);
#endif
    return GroupRunsPlain(made, count, lowest, past, skipClear, runs, most, found);
}

KeptRow FilteredRows::MakeRow(const SamplerSetup& s, int32_t v) {
    const ColumnStep step = BilinearColumn(v);
    if (firstRow_) {
        // The draw's offset is known with its first row: kept when an
        // earlier draw had it too; else it takes the place of the offset
        // used longest ago, to be kept from its next draw on.
        firstRow_ = false;
        pending_.fy = step.weight;
        ++draws_;
        kept_ = nullptr;
        const bool small = int64_t{s.view.width} * s.view.height <= kManySlotsTexels;
        Slot* oldest = &slots_[0];
        for (Slot& slot : std::span(slots_, small ? kSlots : kFewSlots)) {
            // A texture's offsets differ in their weights alone, mostly:
            // those are compared first.
            if (slot.key.fx == pending_.fx && slot.key.fy == pending_.fy && slot.key == pending_) {
                kept_ = &slot;
                break;
            }
            if (slot.lastUsed < oldest->lastUsed) oldest = &slot;
        }
        if (!kept_) {
            oldest->key = pending_;
            oldest->made.clear();
            oldest->lastUsed = draws_;
            return {};
        }
        kept_->lastUsed = draws_;
    }
    if (!kept_ || step.weight != kept_->key.fy) return {};
    Slot& slot = *kept_;
    const int width = s.view.width, height = s.view.height;
    const size_t stride = static_cast<size_t>(width) + 1;
    if (slot.made.empty()) {
        slot.texels.resize(stride * (static_cast<size_t>(height) + 1));
        slot.made.assign(static_cast<size_t>(height) + 1, Made{});
        slot.across.resize(2 * stride);
        slot.acrossOf[0] = slot.acrossOf[1] = nullptr;
    }
    // Rows -1 .. height - 1 by the upper texel row of the sample.
    const int upper = step.column;
    if (upper < -1 || upper >= height) return {};
    uint32_t* out = slot.texels.data() + stride * static_cast<size_t>(upper + 1);
    Made& m = slot.made[static_cast<size_t>(upper + 1)];
    if (!m.Ready()) {
        Filter(s, slot, v, out);
        // Sprites' rows are clear at their edges, some of them all along:
        // draws whose blend leaves the target as it is under clear texels
        // skip them.
        const int count = width + 1;
        const auto [first, last] = UnclearEntries(out, count);
        m = {first - 1, first < count ? last : first - 1};
    }
    return {out + 1, m.first, m.end};
}

}  // namespace plat
