#pragma once
// System typefaces for text the engine does not cut from images: a font is made
// from a face name, a point size, dots per inch and a style; it reports the
// cell metrics a layout needs, measures a line of wide text and draws it,
// anti-aliased, into a 32-bit premultiplied ARGB pixel buffer.
//
// Owns: one FreeType library and face per font (fonts never share mutable
// library state) and a per-font glyph raster cache, which ReleaseDeviceState
// drops, as a device font is dropped when the device is lost, and the next
// measure or draw rebuilds; it is also dropped when its rasters outgrow
// GlyphCacheBudgetBytes, so huge sizes cannot exhaust memory.
// Promises: Create never yields an empty font while any font file is
// installed; a missing face falls back to DejaVu Sans.
// Callers must not: hand DrawText a buffer whose pitch and size do not
// describe memory they own for the whole call.
// Threads: Create may run on any thread (the loading thread makes fonts while
// the main thread draws); every member may be called from any thread, each
// font serialises its own FreeType and cache access behind its own mutex.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace plat {

struct FontRequest {
    std::string face;    // family name, UTF-8; empty asks for the fallback face
    int pointSize = 12;  // 0 or less means "no size given": 12 points are used
    int dpi = 96;        // dots per inch; 0 or less reads as 96
    int weight = 400;    // 400 regular, 700 bold; 600 and above count as bold
    bool italic = false;
    // Kept with the request for whoever copies it; like an underlined GDI font
    // it leaves the cell metrics as they are, and the drawn text is never
    // underlined.
    bool underline = false;

    bool operator==(const FontRequest&) const = default;
};

// Cell metrics in whole pixels.
//   em      = round(pointSize x dpi / 72), halves away from zero, at least 1
//             and at most MaxEmPixels (12 points at 96 dpi: 16 pixels).
//   ascent  = face ascender (font units) x em / units per em,
//   descent = -(face descender) x em / units per em,
//             each rounded to the nearest pixel on its own, halves up, as GDI
//             rounds the ascent and descent of a cell one by one;
//   height  = ascent + descent, so a cell is always the sum of its two halves.
// The ascender and descender are FreeType's face values (the horizontal
// header's, else OS/2's); a face without them uses its bounding box. A font
// with fixed bitmap sizes only uses the strike nearest the em and its own
// ascender and descender, rounded the same way.
struct FontMetrics {
    int em = 0;
    int ascent = 0;
    int descent = 0;
    int height = 0;
};

inline constexpr int MaxEmPixels = 1000;
inline constexpr std::size_t GlyphCacheBudgetBytes = 16u << 20;

// The em rule alone, for callers that need the pixel size before making a font.
int EmPixels(int pointSize, int dpi);

struct PixelBuffer {
    uint32_t* pixels = nullptr;  // 0xAARRGGBB words, premultiplied
    int width = 0;
    int height = 0;
    int pitchBytes = 0;  // bytes from one row to the next, at least width x 4
};

// Half-open: covers left <= x < right, top <= y < bottom.
struct PixelRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
};

class SystemFont {
public:
    // Resolves the face through fontconfig (with weight and slant); a face that
    // is not installed falls back to DejaVu Sans in the matching style, and
    // styles the file lacks are synthesised (emboldened, slanted). Null only
    // when no usable font file exists on the machine at all.
    // A font Prepare began for an equal request is taken from it instead,
    // waiting for it when it is not done yet.
    static std::unique_ptr<SystemFont> Create(const FontRequest& request);
    // Begins making the font for `request` on a thread of its own: resolving
    // a face costs fontconfig's whole configuration, milliseconds that a
    // caller who knows its requests early spends beside other work. Each
    // Prepare serves one Create; one never asked for is dropped at exit.
    static void Prepare(const FontRequest& request);
    ~SystemFont();
    SystemFont(const SystemFont&) = delete;
    SystemFont& operator=(const SystemFont&) = delete;

    const FontRequest& Request() const;
    const FontMetrics& Metrics() const;
    // The family and file actually used, and whether the requested face was missing.
    const std::string& FamilyName() const;
    const std::string& FilePath() const;
    bool UsedFallback() const;

    // The width a single line of text occupies: the sum of the glyph advances
    // plus the face's kerning between neighbours, in whole pixels. Control
    // characters (below U+0020, and U+007F) take no room and draw nothing:
    // text is always one line, tabs are not expanded.
    int MeasureWidth(std::wstring_view text);

    // Draws one line with the top of its cell at (box.left, box.top), so the
    // baseline lies ascent pixels lower. Pixels are touched only inside box,
    // clip and the buffer. Colour is premultiplied 0xAARRGGBB; each pixel with
    // glyph coverage c (0..1) becomes src*c + dst*(1 - srcAlpha*c), per channel.
    // False, drawing nothing, when the buffer is unusable (no pixels, no area,
    // a pitch shorter than a row).
    bool DrawText(const PixelBuffer& target, const PixelRect& box, const PixelRect& clip, std::wstring_view text,
                  uint32_t premultipliedArgb);

    // Drops the glyph rasters; the next measure or draw rebuilds what it needs.
    void ReleaseDeviceState();
    std::size_t CachedGlyphCount() const;

private:
    struct Impl;
    explicit SystemFont(std::unique_ptr<Impl> impl);
    static std::unique_ptr<SystemFont> MakeFont(const FontRequest& request);
    std::unique_ptr<Impl> impl_;
};

}  // namespace plat
