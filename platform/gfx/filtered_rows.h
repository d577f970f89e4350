#pragma once
// Rows of a texture filtered bilinearly at one sub-texel offset, kept for
// the draws after. Images drawn unscaled at the same fractional offset, as
// every cel of a scene is under a camera at a fractional scroll, then read
// their filtered texels as whole-pixel draws read their texels, instead of
// filtering the same rows again draw after draw and frame after frame.
//
// Owns: the filtered texels, (width + 1) x (height + 1) at most, made row by
// row as draws first need them, for a few offsets and addressings at a time
// (the one used longest ago gives way to a new one).
// Promises: every texel is the one SampleSpan gives at that point, and every
// entry of a row outside its extent is clear (zero); an offset
// is kept only from its second draw on, so an image whose offset changes
// every frame costs nothing but the check; the rows are dropped when the
// texture changes.
// Threads: the device's thread only, as every draw.

#include <cstdint>
#include <vector>

#include "platform/gfx/sampler.h"

namespace plat {

// A kept row: entry c (c from -1 to width - 1) at texels[c]; every entry
// outside [first, end) is clear. A row with nothing drawn has first >= end.
struct KeptRow {
    const uint32_t* texels = nullptr;
    int first = 0, end = 0;
};

class FilteredRows {
public:
    // Marks the start of a draw that will ask for rows at column weight fx
    // under `s`'s addressing, of texels at `version`.
    void BeginDraw(const SamplerSetup& s, uint64_t version, uint32_t fx);
    // Samples at row coordinate v (16.16) with column weight fx as set by
    // BeginDraw: entry c, for c from -1 to width - 1, blends texel columns c
    // and c + 1 under the addressing mode. Null texels when the offset is
    // not kept (the caller filters the row itself).
    KeptRow Row(const SamplerSetup& s, int32_t v) {
        // Rows already made cost a few comparisons.
        if (const RowsFrom made = MadeRowsFrom(v); made.count > 0 && made.made->Ready())
            return {made.texels, made.made->first, made.made->end};
        return MakeRow(s, v);
    }

    // Whether the two texel rows a sample at row coordinate v (16.16)
    // blends, under the addressing set by BeginDraw, are clear all along:
    // every sample between them is then clear, wherever it lies, and a draw
    // whose blend leaves the target as it is under clear texels need not
    // make or blend it. Sprites are clear above and below their figures.
    bool ClearAt(int32_t v) {
        if (!pending_.pixels || pending_.height <= 0) return false;
        if (clearVersion_ != pending_.version || clearPixels_ != pending_.pixels ||
            clearRows_.size() != static_cast<size_t>(pending_.height))
            NoteClearRows();
        const ColumnStep step = BilinearColumn(v);
        int y0 = 0, y1 = 0;
        TexelPair(pending_.wrapV, step.column, pending_.height, y0, y1);
        return clearRows_[static_cast<size_t>(y0)] && clearRows_[static_cast<size_t>(y1)];
    }

    // Whether a row is made, and its extent: eight bytes, so a draw's rows
    // are looked over four at a time.
    static constexpr int32_t kNotMade = INT32_MIN;
    struct Made {
        int32_t first = kNotMade, end = kNotMade;
        bool Ready() const { return first != kNotMade; }
    };
    // The rows from the one at v on, one texel row apart at v's weight: row
    // i at texels + i * stride, made[i] telling whether it is made and its
    // extent, for `count` rows down to the texture's last. No rows when the
    // first is not at hand: Row then makes it, or finds the offset not kept.
    struct RowsFrom {
        const uint32_t* texels = nullptr;
        size_t stride = 0;
        const Made* made = nullptr;
        int count = 0;
    };
    RowsFrom MadeRowsFrom(int32_t v) const {
        const ColumnStep step = BilinearColumn(v);
        if (firstRow_ || !kept_ || step.weight != kept_->key.fy || kept_->made.empty() || step.column < -1 ||
            step.column >= kept_->key.height)
            return {};
        const Slot& slot = *kept_;
        const size_t stride = static_cast<size_t>(slot.key.width) + 1;
        const size_t at = static_cast<size_t>(step.column + 1);
        return {slot.texels.data() + stride * at + 1, stride, slot.made.data() + at, slot.key.height - step.column};
    }

    // Starts fetching entries [lowest, lowest + count) of the row at v
    // into the cache, made or not, when its offset is kept. A wide image's
    // kept rows lie a texture's width apart and are read once a frame, long
    // gone from the cache by then: read a row at a time, right to left when
    // mirrored, they are fetched a row ahead, as no prefetcher of the
    // processor's would.
    void Prefetch(int32_t v, int lowest, int count) const;

    // Rows made[0 .. count) of a draw that reads entries [lowest, past) of
    // each, grouped for the blend: runs of rows next to each other, each run
    // with the extent of its rows' entries, [first, last), not clipped to
    // the entries read. With `skipClear`, a row clear in all the entries
    // read is in no run and ends the one before it. Stops once `most` runs
    // are found (after the last one's end), or at the first row not made:
    // the run open there is left for a later call once the rows are made
    // (the rows passed end where it starts). Returns the rows passed, and
    // the runs found in `found`.
    struct Run {
        int start, end, first, last;
    };
    static int GroupRuns(const Made* made, int count, int lowest, int past, bool skipClear, Run* runs, int most,
                         int& found);
    // The same a row at a time, as processors without AVX2 take it.
    static int GroupRunsPlain(const Made* made, int count, int lowest, int past, bool skipClear, Run* runs, int most,
                              int& found);

private:
    KeptRow MakeRow(const SamplerSetup& s, int32_t v);

    struct Key {
        uint64_t version = ~uint64_t{0};
        const uint32_t* pixels = nullptr;
        int width = 0, height = 0, pitch = 0;
        uint32_t fx = 0, fy = 0;
        bool wrapU = false, wrapV = false;
        bool operator==(const Key&) const = default;
    };
    // The rows made for one offset.
    struct Slot {
        Key key;
        std::vector<uint32_t> texels;
        std::vector<Made> made;
        uint64_t lastUsed = 0;
        // The last two texel rows blended across, each entry as a row's
        // entry before the blend down, by texel row (null: none). A draw's
        // rows are made one after another, down a texel row at a time: each
        // one's lower texel row is the next one's upper, blended across once
        // for both.
        std::vector<uint32_t> across;
        const uint32_t* acrossOf[2] = {nullptr, nullptr};
    };
    // Entries of `slot`'s row at v into out[0 .. width + 1).
    void Filter(const SamplerSetup& s, Slot& slot, int32_t v, uint32_t* out);
    // Offsets kept at once: a camera's offset and the several that images
    // moving on their own take, without one draw's offset throwing out
    // another's. Visitors walking alike share a cel's texture at more
    // offsets a frame than three: with three, each new one threw out an
    // offset whose draws were still to come, and those draws filtered their
    // rows again (in a walking park, most rows were filtered so).
    static constexpr int kSlots = 8;
    // Each offset kept holds a filtered copy of the whole texture: a texture
    // of more texels than this keeps three offsets, as many as a picture
    // scrolled by fractions of a pixel needs, not eight copies of itself.
    // Sprites, which share a texture at many offsets at once, are smaller.
    static constexpr int64_t kManySlotsTexels = 256 * 256;
    static constexpr int kFewSlots = 3;

    // Which texel rows of the texture are clear all along, for the texels
    // of `clearVersion_` at `clearPixels_`.
    void NoteClearRows();
    std::vector<uint8_t> clearRows_;
    uint64_t clearVersion_ = ~uint64_t{0};
    const uint32_t* clearPixels_ = nullptr;

    Slot slots_[kSlots];
    Slot* kept_ = nullptr;  // the current draw's offset, when kept
    Key pending_;           // the current draw's, its fy taken from its first row
    bool firstRow_ = false;
    uint64_t draws_ = 0;
};

}  // namespace plat
