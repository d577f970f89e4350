// Image fonts: the input is the descriptor of a font whose layers may cut
// their glyphs from the glyph sheet beside it. The font is measured and drawn
// at its own size into the software device's draw buffer; then a copy of it
// at another point size, scale and tag, which makes it build rescaled glyph
// strips. The input's length decides whether the font batches its glyphs, so
// the fuzzer reaches both ways without the descriptor changing meaning.
#include <memory>
#include <string>

#include "fuzz/harness.h"
#include "rendering/device/d3d_interface.h"
#include "rendering/draw/graphics.h"
#include "rendering/font/image_font.h"
#include "rendering/image/image_surface.h"
#include "rendering/image/image_surface_factory.h"

namespace {

// A small headless screen that accepts every request and records nothing.
class HeadlessHost : public NullDeviceHost {
public:
    static constexpr int kWidth = 320;
    static constexpr int kHeight = 120;

    int ScreenWidth() const override { return kWidth; }
    int ScreenHeight() const override { return kHeight; }
    bool GetClientSize(plat::NativeWindow*, int* w, int* h) override {
        *w = kWidth;
        *h = kHeight;
        return true;
    }
    void GetDesktopSize(int* w, int* h) override {
        *w = kWidth;
        *h = kHeight;
    }
};

// Started once per process; every input draws into its draw buffer.
class Screen {
public:
    Screen() {
        d3d_->SetImageFactory(std::make_unique<ImageSurfaceFactory>());
        d3d_->Init(nullptr, true, false);
        target_ = dynamic_cast<ImageSurface*>(d3d_->GetDrawBuffer());
        if (target_ == nullptr) {
            std::fprintf(stderr, "halvaro fuzz: the software device did not start\n");
            std::abort();
        }
    }
    ImageSurface* Target() const { return target_; }

private:
    HeadlessHost host_;
    std::unique_ptr<D3DInterface> d3d_ = std::make_unique<D3DInterface>(&host_);
    ImageSurface* target_ = nullptr;
};

// Kerned pairs, characters through the character map and beyond it, a tab.
const std::wstring kText = L"AVg,Wy To 09 \u00e9\u00ff\u0100\u20ac\t!";

void MeasureAndDraw(ImageFont& font, ImageSurface* target) {
    fuzz::Keep(font.StringWidth(kText) + font.CharWidthKern(L'V', L'A'));
    Graphics g(target);
    g.SetFont(&font);
    g.SetColor(Color::White);
    g.DrawString(kText, 12, 40);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static Screen screen;
    fuzz::WriteGlyphSheet();
    ImageFont font(fuzz::WriteScratchFile("input.txt", data, size), (size & 1) != 0, 1.0);
    MeasureAndDraw(font, screen.Target());

    ImageFont resized(font);
    resized.SetScale(0.75);
    resized.SetPointSize(resized.GetDefaultPointSize() * 1.5f + 3);
    resized.AddTag(L"bold");
    MeasureAndDraw(resized, screen.Target());
    return 0;
}
