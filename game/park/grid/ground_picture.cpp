#include "game/park/grid/ground_picture.h"

#include <algorithm>
#include <bit>
#include <cmath>

#include "foundation/values/saturate.h"
#include "game/park/grid/grid.h"
#include "rendering/draw/graphics.h"
#include "rendering/image/image_surface.h"

namespace {

uint64_t Pair(float a, float b) {
    return std::bit_cast<uint32_t>(a) | static_cast<uint64_t>(std::bit_cast<uint32_t>(b)) << 32;
}

uint64_t Address(const void* p) { return reinterpret_cast<uintptr_t>(p); }

// An image and the count of changes made to its pixels, where it keeps one.
void AppendImage(std::vector<uint64_t>& words, Image* image) {
    words.push_back(Address(image));
    ImageSurface* surface = image != nullptr ? image->GetSurface() : nullptr;
    words.push_back(surface != nullptr ? static_cast<uint32_t>(surface->GetGeneration()) : 0);
}

// Whether every pixel of `area` (target pixels, clipped to the target) is opaque.
bool Opaque(const uint32_t* bits, int width, int height, const FRect& area) {
    const int x0 = std::max(0, SaturateFloor(area.x));
    const int y0 = std::max(0, SaturateFloor(area.y));
    const int x1 = std::min(width, SaturateCast(std::ceil(area.x + area.w)));
    const int y1 = std::min(height, SaturateCast(std::ceil(area.y + area.h)));
    for (int y = y0; y < y1; ++y) {
        const uint32_t* row = bits + static_cast<size_t>(y) * static_cast<size_t>(width);
        uint32_t all = 0xFF000000u;
        for (int x = x0; x < x1; ++x) all &= row[x];
        if ((all & 0xFF000000u) != 0xFF000000u) return false;
    }
    return true;
}

}  // namespace

GroundPicture::GroundPicture() = default;
GroundPicture::~GroundPicture() = default;

bool GroundPicture::Describe(const Graphics& g, Grid& grid) {
    words_.clear();
    const GraphicsState& s = g.GetState();
    ImageRenderTarget* target = g.GetDestination();
    // A picture is put down as it is only by a context that neither colours
    // nor transforms what it draws, and at once (the grid does not batch its
    // ground).
    if (target == nullptr || s.offscreen || s.batching || s.hasModulation || s.colorizeImages ||
        !(s.drawState == DrawState{}) || !grid.DrawsImagePlainly())
        return false;
    words_.push_back(Address(target));
    words_.push_back(static_cast<uint32_t>(target->GetWidth()) |
                     static_cast<uint64_t>(static_cast<uint32_t>(target->GetHeight())) << 32);
    words_.push_back(Pair(s.transX, s.transY));
    words_.push_back(Pair(s.clipRect.x, s.clipRect.y));
    words_.push_back(Pair(s.clipRect.w, s.clipRect.h));
    const FRect own = grid.ClipRectangle();
    words_.push_back(Pair(own.x, own.y));
    words_.push_back(Pair(own.w, own.h));
    AppendImage(words_, grid.GetImage());
    words_.push_back(static_cast<uint32_t>(grid.GetFrame()));
    coverWords_ = words_.size();
    AppendImage(words_, GridTile::MaterialsImage());
    AppendImage(words_, GridTile::StatesImage());
    for (const auto& column : grid.Tiles()) {
        words_.push_back(column.size());
        for (const auto& tile : column) {
            if (tile)
                tile->AppendLook(words_);
            else
                words_.push_back(~uint64_t{0});
        }
    }
    return true;
}

bool GroundPicture::Redraw(const Graphics& g, Grid& grid) {
    ImageRenderTarget* target = g.GetDestination();
    const int w = target->GetWidth(), h = target->GetHeight();
    if (!picture_ || picture_->GetWidth() != w || picture_->GetHeight() != h) {
        picture_ = std::make_unique<ImageSurface>(true);
        if (!picture_->Create(w, h)) {
            picture_.reset();
            return false;
        }
    }
    Graphics into(picture_.get());
    into.ClearRect(0, 0, w, h);
    into.SetState(g.GetState());
    grid.DrawBackground(into);
    const uint32_t* bits = picture_->GetBits();
    if (bits == nullptr || !Opaque(bits, w, h, g.GetState().clipRect)) return false;
    grid.DrawTiles(into);
    return true;
}

bool GroundPicture::Draw(Graphics& g, Grid& grid) {
    if (!Describe(g, grid)) {
        last_.clear();
        current_ = false;
        return false;
    }
    // A frame whose words changed draws the ground as always, so a park that
    // scrolls does not draw a picture a frame; the next with the same words
    // draws the picture.
    if (words_ != last_) {
        last_.swap(words_);
        current_ = false;
        return false;
    }
    // Whether the grid's picture covers the clip does not hang on the tiles.
    if (!uncoveredBy_.empty() && last_.size() >= uncoveredBy_.size() &&
        std::equal(uncoveredBy_.begin(), uncoveredBy_.end(), last_.begin()))
        return false;
    if (current_ && picture_->ContentLost()) {
        picture_->ClearContentLost();
        current_ = false;
    }
    if (!current_) {
        if (!Redraw(g, grid)) {
            uncoveredBy_.assign(last_.begin(), last_.begin() + static_cast<std::ptrdiff_t>(coverWords_));
            return false;
        }
        current_ = true;
    }
    const GraphicsState& s = g.GetState();
    // The grid's picture covers the clip (the cover check) and the tiles'
    // blends keep an opaque ground opaque: blended over the screen, the
    // picture would come out as itself, so it is copied.
    const int mode = g.GetDrawMode();
    g.SetDrawMode(kDrawOpaque);
    // The picture's pixel (0, 0) is the target's: placed back by the very
    // translation the context adds, it lands on whole pixels.
    g.DrawImage(picture_.get(), -s.transX, -s.transY, 0,
                FRect(0.0f, 0.0f, static_cast<float>(picture_->GetWidth()), static_cast<float>(picture_->GetHeight())));
    g.SetDrawMode(mode);
    return true;
}
