#pragma once
// One opened face at one pixel size, with its glyph rasters cached by glyph
// index. Not thread-safe: the owning font serialises every call.

#include "platform/fonts/font_resolver_internal.h"
#include "platform/fonts/system_font.h"

#include <array>
#include <climits>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace plat::fonts_internal {

struct Glyph {
    unsigned index = 0;
    int left = 0;  // bitmap's left edge, from the pen position
    int top = 0;   // bitmap's top row, in pixels above the baseline
    int width = 0;
    int rows = 0;
    int advance = 0;                // whole pixels
    std::vector<uint8_t> coverage;  // rows x width, 0 (none) to 255 (full)
};

class FaceRaster {
public:
    // Null when the file does not open as a face or cannot be sized.
    static std::unique_ptr<FaceRaster> Open(const FontFile& file, int em, bool bold, bool italic);
    ~FaceRaster();
    FaceRaster(const FaceRaster&) = delete;
    FaceRaster& operator=(const FaceRaster&) = delete;

    const FontMetrics& Metrics() const { return metrics_; }
    const std::string& Family() const { return family_; }

    // Lays one line out from pen position 0 and hands each printable glyph with
    // its pen position to visit; stops once the pen passes stopAt (the rest
    // could not be seen). Returns the final pen position.
    template <class Visit>
    int64_t Layout(std::wstring_view text, int64_t stopAt, Visit&& visit);

    void Clear();
    std::size_t CachedCount() const { return glyphs_.size(); }

private:
    struct Library;
    FaceRaster() = default;
    const Glyph& GlyphFor(char32_t ch);
    const Glyph& GlyphAt(unsigned index);
    Glyph Render(unsigned index);
    int Kerning(unsigned left, unsigned right);
    int LatinKerning(char32_t left, char32_t right, unsigned leftIndex, unsigned rightIndex);

    std::unique_ptr<Library> lib_;
    FontMetrics metrics_;
    std::string family_;
    bool kerning_ = false;
    bool emboldenGlyphs_ = false;
    bool slantGlyphs_ = false;
    bool scalable_ = true;

    // Latin-1 text is looked up without hashing; glyph nodes never move.
    std::array<const Glyph*, 256> latin_{};
    std::unordered_map<char32_t, const Glyph*> byChar_;
    std::unordered_map<unsigned, Glyph> glyphs_;
    std::size_t rasterBytes_ = 0;
    // Kerning between two Latin-1 characters, filled as pairs are met
    // (kUnknownKerning until then): asking FreeType for every pair of every
    // line cost a sixth of the time of drawing it.
    static constexpr int16_t kUnknownKerning = INT16_MIN;
    std::vector<int16_t> latinKerning_;
};

inline bool IsControl(char32_t ch) { return ch < 0x20 || ch == 0x7F; }

template <class Visit>
int64_t FaceRaster::Layout(std::wstring_view text, int64_t stopAt, Visit&& visit) {
    int64_t pen = 0;
    unsigned previous = 0;
    char32_t previousChar = 0;
    for (wchar_t wide : text) {
        const char32_t ch = static_cast<char32_t>(wide);
        if (IsControl(ch)) {
            previous = 0;
            continue;
        }
        const Glyph& glyph = GlyphFor(ch);
        if (kerning_ && previous != 0) {
            pen += previousChar < 256 && ch < 256 ? LatinKerning(previousChar, ch, previous, glyph.index)
                                                  : Kerning(previous, glyph.index);
        }
        visit(glyph, pen);
        pen += glyph.advance;
        previous = glyph.index;
        previousChar = ch;
        if (pen > stopAt) break;
    }
    return pen;
}

}  // namespace plat::fonts_internal
