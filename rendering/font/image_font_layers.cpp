// ImageFont: choosing the descriptor layers for the point size, scale and
// tags, the font metrics they give, and the strips of rescaled glyphs.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>

#include "foundation/values/saturate.h"
#include "rendering/device/d3d_interface.h"
#include "rendering/draw/graphics.h"
#include "rendering/font/font_data.h"
#include "rendering/font/image_font.h"
#include "rendering/image/image_surface.h"

namespace {

bool Contains(const std::vector<std::wstring>& tags, const std::wstring& tag) {
    return std::find(tags.begin(), tags.end(), tag) != tags.end();
}

// The integer part; saturated, as a font scale or point size given from
// outside can carry a glyph size beyond the int range.
int Trunc(double v) { return SaturateCast<int>(v); }

// A rescaled strip larger than this is not made (its glyphs draw nothing;
// widths and metrics stay): sixteen times a strip of 256 glyphs of 64 x 64
// pixels. Only an absurd scale or point size asks for more.
constexpr int64_t kMaxStripPixels = int64_t{1} << 24;

struct StripGlyph {
    const CharData* glyph;
    Rect rect;
};

// The largest texture the device takes; without a device, no limit applies.
void MaxTextureSize(int* width, int* height) {
    *width = *height = std::numeric_limits<int>::max();
    const D3DInterface* d3d = D3DInterface::Instance();
    if (!d3d || !d3d->GetDevice()) return;
    *width = std::max(d3d->GetTextureLimits().maxWidth, 1);
    *height = std::max(d3d->GetTextureLimits().maxHeight, 1);
}

// Copies a window's pixels into the strip's at the tile origin, cut to the strip.
void CopyWindow(ImageSurface& window, ImageSurface& strip, int tileX, int tileY) {
    const uint32_t* from = window.GetBits();
    uint32_t* to = strip.GetBits();
    if (!from || !to) return;
    const int w = std::min(window.sourceWidth, strip.sourceWidth - tileX);
    const int h = std::min(window.sourceHeight, strip.sourceHeight - tileY);
    for (int y = 0; y < h; ++y)
        std::memcpy(to + static_cast<size_t>(tileY + y) * static_cast<size_t>(strip.sourceWidth) + tileX,
                    from + static_cast<size_t>(y) * static_cast<size_t>(window.sourceWidth),
                    static_cast<size_t>(std::max(w, 0)) * 4);
}

FRect SourceOf(const CharData& glyph) { return FRect(glyph.imageX, glyph.imageY, glyph.imageWidth, glyph.imageHeight); }

// A strip too large for one texture is drawn through a window of the largest
// texture size that moves along it, each filled window copied into the
// strip's system pixels.
void DrawThroughWindow(Image* page, const std::vector<StripGlyph>& glyphs, ImageSurface& strip, int maxW, int maxH) {
    ImageSurface window;
    window.Create(std::min(strip.sourceWidth, maxW), std::min(strip.sourceHeight, maxH));
    int tileX = 0, tileY = 0;
    {
        Graphics g(&window);
        for (const StripGlyph& s : glyphs) {
            const Rect& r = s.rect;
            const bool inside = r.x >= tileX && r.y >= tileY && r.x + r.w <= tileX + window.sourceWidth &&
                                r.y + r.h <= tileY + window.sourceHeight;
            if (!inside) {
                g.FlushBatch();
                CopyWindow(window, strip, tileX, tileY);
                window.Clear();
                g.Translate(static_cast<float>(tileX - r.x), static_cast<float>(tileY - r.y));
                tileX = r.x;
                tileY = r.y;
            }
            g.DrawImageStretched(page, FRect::FromRect(r), SourceOf(*s.glyph));
        }
    }
    CopyWindow(window, strip, tileX, tileY);
    strip.CommitBits();
}

}  // namespace

bool ImageFont::LayerApplies(const FontLayer& layer) const {
    if (layer.minPointSize > pointSize_) return false;
    if (layer.maxPointSize != -1 && pointSize_ > layer.maxPointSize) return false;
    for (const std::wstring& tag : layer.requiredTags)
        if (!Contains(tags_, tag)) return false;
    for (const std::wstring& tag : tags_)
        if (Contains(layer.excludedTags, tag)) return false;
    return true;
}

ActiveFontLayer::Glyph ActiveFontLayer::Look(wchar_t c) const {
    Glyph g;
    g.data = layer ? layer->FindCharData(c) : nullptr;
    if (!g.data) return g;
    auto rect = glyphRects.find(c);
    if (rect == glyphRects.end()) rect = glyphRects.find(L' ');
    if (rect != glyphRects.end()) g.source = FRect::FromRect(rect->second);
    return g;
}

ActiveFontLayer::Glyph ActiveFontLayer::Find(wchar_t c) const {
    if (c >= 0 && c < static_cast<wchar_t>(firstGlyphs_.size())) return firstGlyphs_[static_cast<size_t>(c)];
    return Look(c);
}

void ActiveFontLayer::TabulateFirstGlyphs() {
    for (size_t c = 0; c < firstGlyphs_.size(); ++c) firstGlyphs_[c] = Look(static_cast<wchar_t>(c));
}

void ImageFont::GenerateActiveLayers() {
    if (!data_->IsLoaded()) return;
    activeLayers_.clear();
    ascent = ascentPadding = height = lineSpacingOffset = 0;
    bool first = true;
    for (const auto& owned : data_->GetLayers()) {
        const FontLayer& layer = *owned;
        if (!LayerApplies(layer)) continue;
        double numerator = 1, denominator = 1;
        const bool unscaled = scale_ == 1 && (layer.pointSize == 0 || layer.pointSize == pointSize_);
        if (!unscaled) {
            numerator = layer.pointSize != 0 ? pointSize_ * scale_ : scale_;
            denominator = layer.pointSize != 0 ? layer.pointSize : 1;
        }
        const double f = numerator / denominator;

        ActiveFontLayer active;
        active.layer = &layer;
        if (unscaled) {
            active.image = pages_->Find(layer.GetImage());
            for (const auto& [c, glyph] : layer.GetChars())
                active.glyphRects[c] =
                    Rect(Trunc(glyph.imageX), Trunc(glyph.imageY), Trunc(glyph.imageWidth), Trunc(glyph.imageHeight));
        } else {
            BuildStrip(layer, numerator, denominator, active);
        }

        const float layerAscent = static_cast<float>(layer.ascent * f);
        const float layerHeight = static_cast<float>((layer.height != 0 ? layer.height : layer.glyphHeight) * f);
        const float padding = static_cast<float>(layer.ascentPadding * f);
        const float spacing = static_cast<float>(layer.lineSpacingOffset * f);
        ascent = std::max(ascent, layerAscent);
        height = std::max(height, layerHeight);
        ascentPadding = first ? padding : std::min(ascentPadding, padding);
        lineSpacingOffset = first ? spacing : std::max(lineSpacingOffset, spacing);
        first = false;
        active.TabulateFirstGlyphs();
        activeLayers_.push_back(std::move(active));
    }
}

void ImageFont::BuildStrip(const FontLayer& layer, double numerator, double denominator, ActiveFontLayer& active) {
    std::vector<StripGlyph> glyphs;
    int64_t x = 0;
    int tallest = 0;
    for (const auto& [c, glyph] : layer.GetChars()) {
        // A negative factor (a negative scale) gives empty glyphs.
        const int w = std::max(Trunc(glyph.imageWidth * numerator / denominator), 0);
        const int h = std::max(Trunc(glyph.imageHeight * numerator / denominator), 0);
        if (x + w > kMaxStripPixels) {
            active.glyphRects.clear();
            return;
        }
        const Rect rect(static_cast<int>(x), 0, w, h);
        active.glyphRects[c] = rect;
        glyphs.push_back({&glyph, rect});
        x += w;
        tallest = std::max(tallest, h);
    }
    if (tallest > kMaxStripPixels || x * tallest > kMaxStripPixels) {
        active.glyphRects.clear();
        return;
    }
    auto strip = std::make_shared<ImageSurface>();
    strip->Create(static_cast<int>(x), tallest);
    active.strip = strip;
    active.image = strip.get();

    Image* page = pages_->Find(layer.GetImage());
    if (!page || strip->sourceWidth <= 0 || strip->sourceHeight <= 0) return;
    int maxW = 0, maxH = 0;
    MaxTextureSize(&maxW, &maxH);
    if (strip->sourceWidth > maxW || strip->sourceHeight > maxH) {
        DrawThroughWindow(page, glyphs, *strip, maxW, maxH);
        return;
    }
    Graphics g(strip.get());
    for (const StripGlyph& s : glyphs) g.DrawImageStretched(page, FRect::FromRect(s.rect), SourceOf(*s.glyph));
}
