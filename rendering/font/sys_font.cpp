// SysFont: system typefaces measured and drawn through the platform's font
// service. Under the plain premultiplied mode the glyphs are blended straight
// into the target's pixels, which the software device keeps in memory. Any
// other draw state rasterises the text anti-aliased into a scratch image the
// size of the line and draws that with one textured quad under the context's
// draw state: binding a render target never reads it back, so such a draw
// costs about three passes over the line's pixels.
#include "rendering/font/sys_font.h"

#include <algorithm>
#include <cstdint>
#include <mutex>

#include "foundation/system/app_services.h"
#include "foundation/values/saturate.h"
#include "platform/fonts/system_font.h"
#include "rendering/device/d3d_interface.h"
#include "rendering/draw/graphics.h"
#include "rendering/image/image_surface.h"

namespace {

constexpr uint32_t kShadowArgb = 0xFF000000;
// Scratch sizes are rounded up so that lines of similar length reuse one
// scratch image and its texture.
constexpr int kScratchStepX = 32;
constexpr int kScratchStepY = 8;

// Pixel coordinates: the integer part, saturated and then held well inside
// the int range (nothing that far out lies on any target), so that the sums
// of a line's box with its width and overhang cannot overflow.
constexpr int kPixelLimit = 1 << 28;
int Trunc(float v) { return std::clamp(SaturateCast<int>(v), -kPixelLimit, kPixelLimit); }
int RoundUp(int v, int step) { return (v + step - 1) / step * step; }

D3DInterface* UsableDevice() {
    D3DInterface* d3d = D3DInterface::Instance();
    return d3d && d3d->GetDevice() ? d3d : nullptr;
}

// Where the quad of the scratch image would only be blended over the target
// as premultiplied colour, the glyphs can be blended into it in place.
bool BlendsInPlace(const DrawState& state, plat::Surface& surface) {
    return state.mode == kDrawNormal && state.stencilTest == 0 && state.cull == 0 && !state.shader &&
           surface.GetFormat() == plat::Format::A8R8G8B8 && !surface.IsLocked();
}

plat::PixelRect Moved(const plat::PixelRect& r, int dx, int dy) {
    return {r.left + dx, r.top + dy, r.right + dx, r.bottom + dy};
}

}  // namespace

std::unique_ptr<SysFont> SysFont::SysFontFromDesc(const std::string& face, int pointSize, bool italic, bool underline,
                                                  bool bold) {
    return std::unique_ptr<SysFont>(
        new SysFont(Service<AppServices>::Installed(), face, Style{pointSize, 96, italic, underline, bold}));
}

void SysFont::PrepareFromDesc(const std::string& face, int pointSize, bool italic, bool underline, bool bold) {
    plat::SystemFont::Prepare(Request(face, Style{pointSize, 96, italic, underline, bold}));
}

SysFont::SysFont(AppServices* app, const std::string& face, int pointSize)
    : SysFont(app, face, Style{pointSize, app ? app->GetScreenDpi() : 96, false, false, false}) {}

SysFont::SysFont(AppServices* app, const std::string& face, const Style& style)
    : app_(app), face_(face), bold_(style.bold), italic_(style.italic) {
    CreateGdiFont(style);
}

SysFont::SysFont(const SysFont& other)
    : Font(),
      app_(other.app_),
      font_(other.font_),
      deviceFont_(other.deviceFont_),
      face_(other.face_),
      bold_(other.bold_),
      italic_(other.italic_) {
    height = other.height;
    ascent = other.ascent;
    color = other.color;
    shadow = other.shadow;
    Register();
}

SysFont::~SysFont() {
    D3DInterface* d3d = D3DInterface::Instance();
    if (!d3d) return;
    std::lock_guard lock(d3d->GetDeviceLock());
    d3d->RemoveSysFont(this);
    scratch_.reset();
}

Font* SysFont::Duplicate() const { return new SysFont(*this); }

plat::FontRequest SysFont::Request(const std::string& face, const Style& style) {
    plat::FontRequest request;
    request.face = face;
    request.pointSize = style.pointSize;
    request.dpi = style.dpi;
    request.weight = style.bold ? 700 : 400;
    request.italic = style.italic;
    request.underline = style.underline;
    return request;
}

void SysFont::CreateGdiFont(const Style& style) {
    font_ = plat::SystemFont::Create(Request(face_, style));
    if (font_) {
        height = static_cast<float>(font_->Metrics().height);
        ascent = static_cast<float>(font_->Metrics().ascent);
    }
    Register();
}

void SysFont::Register() {
    if (D3DInterface* d3d = D3DInterface::Instance()) d3d->AddSysFont(this);
}

bool SysFont::CreateDeviceFont() {
    if (deviceFont_) return true;
    D3DInterface* d3d = UsableDevice();
    if (!d3d) return false;
    std::lock_guard lock(d3d->GetDeviceLock());
    if (d3d->CheckResult("D3DXCreateFont", font_ ? plat::kOk : plat::kErrNotAvailable)) return false;
    deviceFont_ = true;
    return true;
}

void SysFont::ReleaseDeviceFont() {
    if (!deviceFont_) return;
    deviceFont_ = false;
    // Copies share the rasters; theirs are rebuilt on their next use as well.
    if (font_) font_->ReleaseDeviceState();
}

float SysFont::StringWidth(const std::wstring& text) {
    if (!CreateDeviceFont()) return 0;
    return static_cast<float>(font_->MeasureWidth(text));
}

ImageSurface* SysFont::Scratch(int width, int height) {
    const int w = RoundUp(width, kScratchStepX), h = RoundUp(height, kScratchStepY);
    const bool fits = scratch_ && scratch_->HasBits() && scratch_->sourceWidth >= w && scratch_->sourceHeight >= h &&
                      scratch_->sourceWidth * scratch_->sourceHeight <= 2 * w * h;
    if (!fits) {
        if (!scratch_) scratch_ = std::make_unique<ImageSurface>();
        scratch_->SetBits(nullptr, w, h, false);
    }
    std::fill_n(scratch_->RawBits(),
                static_cast<size_t>(scratch_->sourceWidth) * static_cast<size_t>(scratch_->sourceHeight), 0u);
    return scratch_.get();
}

void SysFont::DrawString(Graphics& g, float x, float y, const std::wstring& text, const Color& color,
                         const FRect& clip) {
    auto* target = dynamic_cast<ImageSurface*>(g.GetDestination());
    D3DInterface* d3d = UsableDevice();
    if (!target || !d3d || text.empty()) return;
    std::lock_guard lock(d3d->GetDeviceLock());
    if (!target->GetD3DSurface() || !target->BindRenderTarget() || !CreateDeviceFont()) return;

    const GraphicsState& state = g.GetState();
    const uint32_t argb = Color::Multiply(color, this->color).ToPremultipliedARGB();
    const plat::PixelRect box{Trunc(state.transX + x), Trunc(state.transY + y - ascent + 1), Trunc(clip.x + clip.w),
                              Trunc(clip.y + clip.h)};
    // What the text can touch: inside the scissor (the clip) and the target,
    // right of and below the box's corner, and within half an em of the
    // line's cell and advance (room for slanted and deep glyphs' overhang):
    // the scratch image stays the size of the line, not of the clip.
    const plat::FontMetrics& metrics = font_->Metrics();
    const int reach = (shadow ? 1 : 0) + metrics.em / 2;
    const int left = std::max({box.left, Trunc(clip.x), 0});
    const int top = std::max({box.top, Trunc(clip.y), 0});
    const int right = static_cast<int>(
        std::min<int64_t>({box.right, target->sourceWidth, int64_t{box.left} + font_->MeasureWidth(text) + reach}));
    const int bottom = std::min({box.bottom, target->sourceHeight, box.top + metrics.height + reach});
    if (right <= left || bottom <= top) return;

    plat::Surface& surface = *target->GetD3DSurface();
    if (BlendsInPlace(state.drawState, surface)) {
        const plat::PixelBuffer pixels{reinterpret_cast<uint32_t*>(surface.Row(0)), surface.Width(), surface.Height(),
                                       surface.Pitch()};
        const plat::PixelRect cut{left, top, right, bottom};
        if (shadow) font_->DrawText(pixels, Moved(box, 1, 1), cut, text, kShadowArgb);
        font_->DrawText(pixels, box, cut, text, argb);
        surface.Touch(top, bottom);
        target->SetTargetNewer();
        return;
    }

    ImageSurface* scratch = Scratch(right - left, bottom - top);
    const plat::PixelBuffer buffer{scratch->RawBits(), scratch->sourceWidth, scratch->sourceHeight,
                                   scratch->sourceWidth * 4};
    const plat::PixelRect cut{0, 0, right - left, bottom - top};
    const plat::PixelRect local = Moved(box, -left, -top);
    if (shadow) font_->DrawText(buffer, Moved(local, 1, 1), cut, text, kShadowArgb);
    font_->DrawText(buffer, local, cut, text, argb);
    // Null pixels keep the bits just written and mark them changed.
    scratch->SetBits(nullptr, scratch->sourceWidth, scratch->sourceHeight, false);
    scratch->premultiplied = true;

    // A device font draws in target pixels: the view matrix does not move it.
    DrawState drawState = state.drawState;
    drawState.matrixSet = 0;
    target->DrawImage(scratch, static_cast<float>(left), static_cast<float>(top),
                      FRect(0, 0, static_cast<float>(right - left), static_cast<float>(bottom - top)), Color::White,
                      &drawState);
}
