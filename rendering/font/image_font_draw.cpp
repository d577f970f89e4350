// ImageFont: drawing. Every glyph quad of a string is queued in the
// process-wide glyph pool, sorted into five order buckets, and the buckets
// are drawn lowest first, so an outline layer (low order) lies beneath every
// body glyph of the string, whatever their places in it. Glyphs at whole
// pixels under the plain mode are blended row by row into a software target
// instead of going through the device's quad setup one by one; the pixels
// are the same.
#include <algorithm>
#include <mutex>
#include <vector>

#include "foundation/system/critical_section.h"
#include "foundation/values/saturate.h"
#include "rendering/draw/graphics.h"
#include "rendering/font/font_data.h"
#include "rendering/font/image_font.h"

namespace {

constexpr int kBuckets = 5;
// The records kept between calls; a longer string grows the pool for its
// own call, and the pool shrinks back when it grew far beyond this.
constexpr size_t kPoolRecords = 4096;
constexpr size_t kPoolKeepLimit = 16 * kPoolRecords;

struct GlyphRecord {
    Image* image = nullptr;
    float x = 0, y = 0;
    FRect source;
    int drawMode = -1;  // -1 keeps the context's mode
    Color color;
    int next = -1;  // the next record of the same bucket
};

class GlyphPool {
public:
    GlyphPool() { records_.reserve(kPoolRecords); }

    void Reset() {
        used_ = 0;
        std::fill(std::begin(head_), std::end(head_), -1);
        std::fill(std::begin(tail_), std::end(tail_), -1);
    }

    // Appends to the bucket of `order` (order + 2, clamped to the five).
    GlyphRecord& Queue(int order) {
        const int bucket = std::clamp(order, -2, kBuckets - 3) + 2;  // clamped first: order may be INT_MAX
        if (used_ == records_.size()) records_.emplace_back();
        const int index = static_cast<int>(used_++);
        GlyphRecord& record = records_[static_cast<size_t>(index)];
        record.next = -1;
        if (tail_[bucket] < 0)
            head_[bucket] = index;
        else
            records_[static_cast<size_t>(tail_[bucket])].next = index;
        tail_[bucket] = index;
        return record;
    }

    template <class F>
    void ForEach(int bucket, F&& f) const {
        for (int i = head_[bucket]; i >= 0; i = records_[static_cast<size_t>(i)].next)
            f(records_[static_cast<size_t>(i)]);
    }

    void Trim() {
        if (records_.size() <= kPoolKeepLimit) return;
        records_.resize(kPoolRecords);
        records_.shrink_to_fit();
    }

    CriticalSection lock;

private:
    std::vector<GlyphRecord> records_;
    size_t used_ = 0;
    int head_[kBuckets] = {-1, -1, -1, -1, -1};
    int tail_[kBuckets] = {-1, -1, -1, -1, -1};
};

GlyphPool& Pool() {
    static GlyphPool pool;
    return pool;
}

// The integer part; saturated, as a font scale or point size given from
// outside can carry a glyph place beyond the int range.
int Trunc(float v) { return SaturateCast<int>(v); }

}  // namespace

void ImageFont::DrawStringEx(Graphics& g, float x, float y, const std::wstring& text, const Color& color, const FRect&,
                             std::vector<FRect>* rects, int* width) {
    GlyphPool& pool = Pool();
    std::lock_guard lock(pool.lock);
    pool.Reset();
    if (rects) rects->clear();
    if (!data_->IsLoaded()) {
        if (width) *width = 0;
        return;
    }
    Prepare();
    const Color drawColor = Color::Multiply(color, this->color);

    float pen = x;
    for (size_t i = 0; i < text.size(); ++i) {
        const wchar_t c = data_->MapChar(text[i]);
        const wchar_t next = i + 1 < text.size() ? data_->MapChar(text[i + 1]) : 0;
        float nextPen = pen;
        for (const ActiveFontLayer& active : activeLayers_) {
            const FontLayer& layer = *active.layer;
            const ActiveFontLayer::Glyph found = active.Find(c);
            const CharData* glyph = found.data;
            if (!glyph) continue;
            const float s = layer.pointSize != 0 ? static_cast<float>(pointSize_ / layer.pointSize * scale_)
                                                 : static_cast<float>(scale_);
            const float kerning = next != 0 ? glyph->GetKerning(next) : 0;
            float glyphX, glyphY, advance, extra = 0;
            if (s == 1) {
                glyphX = static_cast<float>(layer.offsetX) + pen + glyph->offsetX;
                glyphY = y - ((layer.ascent - static_cast<float>(layer.offsetY)) - glyph->offsetY);
                advance = glyph->advanceWidth;
                if (next != 0) extra = kerning + layer.spacing;
            } else {
                glyphX = static_cast<float>(Trunc((static_cast<float>(layer.offsetX) + glyph->offsetX) * s)) + pen;
                glyphY = y - static_cast<float>(
                                 Trunc((layer.ascent - static_cast<float>(layer.offsetY) - glyph->offsetY) * s));
                advance = glyph->advanceWidth * s;
                if (next != 0) extra = static_cast<float>(Trunc((kerning + layer.spacing) * s));
            }

            const FRect& source = found.source;

            GlyphRecord& record = pool.Queue(Trunc(static_cast<float>(layer.baseOrder) + glyph->order));
            record.image = active.image;
            record.x = glyphX;
            record.y = glyphY;
            record.source = source;
            record.drawMode = layer.drawMode;
            record.color = drawColor;
            if (rects) rects->push_back(FRect(glyphX, glyphY, source.w, source.h));
            nextPen = std::max(nextPen, pen + advance + extra);
        }
        pen = nextPen;
    }
    if (width) *width = Trunc(pen - x);

    const GraphicsState saved = g.GetState();
    // Into a context that queues nothing of its own, unscaled glyphs are
    // blended row by row into the target, and a batching font queues only
    // the glyphs the rows cannot take; with the context's own queue they keep
    // their places among its draws.
    const bool rows = !saved.batching;
    g.SetColorizeImages(true);
    const int contextMode = g.GetDrawMode();
    for (int bucket = 0; bucket < kBuckets; ++bucket) {
        pool.ForEach(bucket, [&](const GlyphRecord& record) {
            g.SetDrawMode(record.drawMode == -1 ? contextMode : record.drawMode);
            g.SetColor(record.color);
            if (rows && g.DrawImageRows(record.image, record.x, record.y, record.source)) return;
            if (batch) g.SetBatching(true);
            g.DrawImage(record.image, record.x, record.y, 0, record.source);
        });
        // The next bucket's quads take the next draw order of the batch.
        if (g.IsBatching()) {
            g.SetBatching(true);
            g.OffsetDrawOrder(1);
        }
    }
    g.SetState(saved);
    pool.Trim();
}
