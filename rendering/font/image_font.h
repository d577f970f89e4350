#pragma once
// ImageFont: the bitmap Font cut from glyph images by a font descriptor.
//
// Owns: a reference on its FontData and the drawable pages made from the
// descriptor's layer images (premultiplied, with the descriptor's image
// flags), both shared with every copy, and one active layer per descriptor
// layer that applies to the point size, scale and tags: drawn from its
// page, or at another size from a strip of rescaled glyphs made for it.
// Promises: widths and draws rebuild stale layers first; a descriptor that
// failed to load measures 0 and draws nothing; at a layer's own size
// measuring and drawing advance alike; no string is cut short; a strip
// that would exceed 2^24 pixels is not made, and its glyphs draw nothing.
// Threads: one thread owns a font (layers are rebuilt unlocked); the glyph
// queue of DrawStringEx is process-wide and locked, so fonts may draw from
// several threads. Callers must not keep pages or strips beyond the font.

#include <array>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "foundation/values/rect.h"
#include "rendering/font/font.h"

class CharData;
class FontData;
class FontLayer;
struct FontLayerImage;
class Image;
class ImageSurface;

// The drawable images of a descriptor's layer images, one per image file:
// the registry's image where the descriptor borrowed one, else a surface
// made here from the decoded pixels.
class FontPages {
public:
    explicit FontPages(const FontData& data);
    ~FontPages();
    FontPages(const FontPages&) = delete;
    FontPages& operator=(const FontPages&) = delete;

    // Null for a layer without an image (or whose file could not be read).
    Image* Find(const FontLayerImage* image) const;

private:
    std::map<const FontLayerImage*, Image*> pages_;
    std::vector<std::unique_ptr<ImageSurface>> owned_;
};

// A descriptor layer as the font currently draws it.
class ActiveFontLayer {
public:
    ActiveFontLayer() = default;
    ActiveFontLayer(const ActiveFontLayer&) = default;
    ActiveFontLayer& operator=(const ActiveFontLayer&) = default;
    virtual ~ActiveFontLayer() = default;

    bool OwnsImage() const { return strip != nullptr; }

    const FontLayer* layer = nullptr;
    Image* image = nullptr;  // the page, or the strip; null draws nothing
    // The rescaled glyphs made for this font. Never changed once made, so
    // copies of the font share it instead of duplicating its pixels.
    std::shared_ptr<ImageSurface> strip;
    std::map<wchar_t, Rect> glyphRects;  // where each character lies in `image`

    // A character's glyph data (null: the layer lacks it) and where it lies in
    // `image` (the space's place for a character without one).
    struct Glyph {
        const CharData* data = nullptr;
        FRect source;
    };
    Glyph Find(wchar_t c) const;
    // Fills the table of the first 256 characters from the layer and
    // glyphRects, once both are final.
    void TabulateFirstGlyphs();

private:
    Glyph Look(wchar_t c) const;
    // Most text uses only these: one index instead of two map searches.
    std::array<Glyph, 256> firstGlyphs_{};
};

class ImageFont : public Font {
public:
    // Loads the descriptor at `path`; its errors are shown in the
    // application's error box. `batch` marks the layer images for batched
    // drawing and makes the font draw through the context's batching.
    ImageFont(const std::string& path, bool batch, double scale = 1.0);
    ImageFont(const ImageFont& other);
    ImageFont& operator=(const ImageFont&) = delete;
    ~ImageFont() override;

    float StringWidth(const std::wstring& text) override;
    float CharWidth(wchar_t c) override;
    float CharWidthKern(wchar_t c, wchar_t previous) override;
    void DrawString(Graphics& g, float x, float y, const std::wstring& text, const Color& color,
                    const FRect& clip) override;
    Font* Duplicate() const override;

    virtual void GenerateActiveLayers();
    // Draws with the baseline at y. `rects` (cleared first) receives each
    // queued glyph's destination; `width` the pen advance in whole pixels.
    virtual void DrawStringEx(Graphics& g, float x, float y, const std::wstring& text, const Color& color,
                              const FRect& clip, std::vector<FRect>* rects, int* width);
    virtual void SetPointSize(float pointSize);
    virtual float GetPointSize() { return pointSize_; }
    virtual void SetScale(double scale);
    virtual float GetDefaultPointSize();
    virtual void AddTag(const std::wstring& tag);
    virtual void RemoveTag(const std::wstring& tag);
    virtual bool HasTag(const std::wstring& tag);
    // The descriptor's define of that name as text; empty when none.
    virtual std::wstring GetDefine(const std::wstring& name);
    // Rebuilds the active layers when the point size, scale or tags changed.
    virtual void Prepare();

    const FontData* GetFontData() const { return data_; }
    double GetScale() const { return scale_; }
    const std::vector<std::wstring>& GetTags() const { return tags_; }
    const std::vector<ActiveFontLayer>& GetActiveLayers() const { return activeLayers_; }

private:
    bool LayerApplies(const FontLayer& layer) const;
    void BuildStrip(const FontLayer& layer, double numerator, double denominator, ActiveFontLayer& active);
    float LayerSizeFactor(const FontLayer& layer) const;

    FontData* data_;
    std::shared_ptr<const FontPages> pages_;
    float pointSize_ = 0;
    std::vector<std::wstring> tags_;  // upper case
    bool layersReady_ = false;
    std::vector<ActiveFontLayer> activeLayers_;
    double scale_ = 1.0;
};
