#include "platform/fonts/system_font.h"

#include "platform/fonts/coverage_blend_internal.h"
#include "platform/fonts/face_raster_internal.h"
#include "platform/fonts/font_resolver_internal.h"

#include <algorithm>
#include <climits>
#include <future>
#include <list>
#include <mutex>
#include <system_error>
#include <utility>

namespace plat {

using fonts_internal::FaceRaster;
using fonts_internal::Glyph;

struct SystemFont::Impl {
    FontRequest request;
    std::string path;
    bool fallback = false;
    mutable std::mutex mutex;  // guards raster: FreeType faces are not thread-safe
    std::unique_ptr<FaceRaster> raster;
};

namespace {

constexpr int kDefaultPointSize = 12;
constexpr int kDefaultDpi = 96;

// MulDiv's rounding: the exact quotient, halves away from zero.
int RoundedQuotient(int64_t numerator, int64_t denominator) {
    const int64_t half = denominator / 2;
    return static_cast<int>(numerator >= 0 ? (numerator + half) / denominator : -((-numerator + half) / denominator));
}

bool Usable(const PixelBuffer& b) {
    return b.pixels && b.width > 0 && b.height > 0 &&
           static_cast<int64_t>(b.pitchBytes) >= static_cast<int64_t>(b.width) * 4;
}

PixelRect Intersect(const PixelRect& a, const PixelRect& b) {
    return {std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right), std::min(a.bottom, b.bottom)};
}

}  // namespace

int EmPixels(int pointSize, int dpi) {
    if (pointSize <= 0) pointSize = kDefaultPointSize;
    if (dpi <= 0) dpi = kDefaultDpi;
    const int em = RoundedQuotient(static_cast<int64_t>(pointSize) * dpi, 72);
    return std::clamp(em, 1, MaxEmPixels);
}

namespace {

// The fonts Prepare is making, each until a Create for its request takes it.
struct PreparedFonts {
    std::mutex lock;
    std::list<std::pair<FontRequest, std::future<std::unique_ptr<SystemFont>>>> fonts;

    std::future<std::unique_ptr<SystemFont>> Take(const FontRequest& request) {
        std::lock_guard guard(lock);
        for (auto it = fonts.begin(); it != fonts.end(); ++it) {
            if (!(it->first == request)) continue;
            std::future<std::unique_ptr<SystemFont>> made = std::move(it->second);
            fonts.erase(it);
            return made;
        }
        return {};
    }
};

PreparedFonts& Prepared() {
    static PreparedFonts prepared;
    return prepared;
}

}  // namespace

void SystemFont::Prepare(const FontRequest& request) {
    PreparedFonts& prepared = Prepared();
    try {
        auto made = std::async(std::launch::async, [request] { return MakeFont(request); });
        std::lock_guard guard(prepared.lock);
        prepared.fonts.emplace_back(request, std::move(made));
    } catch (const std::system_error&) {
        // No thread to be had: Create makes the font itself.
    }
}

std::unique_ptr<SystemFont> SystemFont::Create(const FontRequest& request) {
    if (std::future<std::unique_ptr<SystemFont>> made = Prepared().Take(request); made.valid()) return made.get();
    return MakeFont(request);
}

std::unique_ptr<SystemFont> SystemFont::MakeFont(const FontRequest& request) {
    const bool bold = request.weight >= 600;
    const int em = EmPixels(request.pointSize, request.dpi);
    for (const fonts_internal::FontFile& file : fonts_internal::CandidateFiles(request.face, bold, request.italic)) {
        std::unique_ptr<FaceRaster> raster = FaceRaster::Open(file, em, bold, request.italic);
        if (!raster) continue;
        auto impl = std::make_unique<Impl>();
        impl->request = request;
        impl->path = file.path;
        impl->fallback = file.fallback;
        impl->raster = std::move(raster);
        return std::unique_ptr<SystemFont>(new SystemFont(std::move(impl)));
    }
    return nullptr;
}

SystemFont::SystemFont(std::unique_ptr<Impl> impl) : impl_(std::move(impl)) {}
SystemFont::~SystemFont() = default;

const FontRequest& SystemFont::Request() const { return impl_->request; }
// Fixed once the face is open: readable without the lock.
const FontMetrics& SystemFont::Metrics() const { return impl_->raster->Metrics(); }
const std::string& SystemFont::FamilyName() const { return impl_->raster->Family(); }
const std::string& SystemFont::FilePath() const { return impl_->path; }
bool SystemFont::UsedFallback() const { return impl_->fallback; }

int SystemFont::MeasureWidth(std::wstring_view text) {
    std::lock_guard lock(impl_->mutex);
    const int64_t width = impl_->raster->Layout(text, INT64_MAX / 2, [](const Glyph&, int64_t) {});
    return static_cast<int>(std::clamp<int64_t>(width, 0, INT_MAX));
}

bool SystemFont::DrawText(const PixelBuffer& target, const PixelRect& box, const PixelRect& clip,
                          std::wstring_view text, uint32_t premultipliedArgb) {
    if (!Usable(target)) return false;
    const PixelRect bounds = Intersect(Intersect(box, clip), {0, 0, target.width, target.height});
    if (bounds.left >= bounds.right || bounds.top >= bounds.bottom || text.empty()) return true;

    std::lock_guard lock(impl_->mutex);
    FaceRaster& raster = *impl_->raster;
    const int64_t baseline = static_cast<int64_t>(box.top) + raster.Metrics().ascent;
    // Glyphs may reach left of their pen by some pixels; an em of slack keeps
    // the last visible one.
    const int64_t stopAt = static_cast<int64_t>(bounds.right) - box.left + raster.Metrics().em;
    const auto draw = [&](const auto& blend) {
        raster.Layout(text, stopAt, [&](const Glyph& glyph, int64_t pen) {
            if (glyph.coverage.empty()) return;
            fonts_internal::BlitGlyph(target, bounds, glyph, box.left + pen + glyph.left, baseline - glyph.top, blend);
        });
    };
    if (fonts_internal::IsPremultiplied(premultipliedArgb))
        draw(fonts_internal::PackedBlend(premultipliedArgb));
    else
        draw(fonts_internal::ExactBlend(premultipliedArgb));
    return true;
}

void SystemFont::ReleaseDeviceState() {
    std::lock_guard lock(impl_->mutex);
    impl_->raster->Clear();
}

std::size_t SystemFont::CachedGlyphCount() const {
    std::lock_guard lock(impl_->mutex);
    return impl_->raster->CachedCount();
}

}  // namespace plat
