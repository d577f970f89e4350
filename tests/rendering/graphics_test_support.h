#pragma once
// Doubles for the drawing context's tests: a target that records every
// operation it receives, a font whose characters have fixed widths and which
// records what it is asked to draw, and small images without a device.

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "rendering/draw/graphics.h"
#include "rendering/font/font.h"
#include "rendering/image/image_render_target.h"
#include "rendering/image/image_surface.h"

namespace testsupport {

// One operation a RecordingTarget received.
struct TargetCall {
    std::string op;
    ImageSurface* image = nullptr;
    ImageSurface* mask = nullptr;
    float x = 0, y = 0;
    FRect source, maskSource, clip;
    Rect rect;
    Color color;
    DrawState state;
    Matrix4 matrix;
    std::vector<float> points;
    std::vector<QuadBatchItem> quads;
    std::vector<MaskedBatchItem> masked;
};

class RecordingTarget : public ImageRenderTarget {
public:
    RecordingTarget(int w = 200, int h = 100) : w_(w), h_(h) {}
    int GetWidth() const override { return w_; }
    int GetHeight() const override { return h_; }

    void FillRect(const Rect& r, const Color& c, const DrawState* s) override {
        Add("fill").rect = r;
        calls.back().color = c;
        calls.back().state = *s;
    }
    void ClearRect(const Rect& r) override { Add("clear").rect = r; }
    void DrawPolyline(const std::vector<float>& p, const FRect* clip, const Color& c, const DrawState* s) override {
        TargetCall& call = Add("polyline");
        call.points = p;
        call.clip = *clip;
        call.color = c;
        call.state = *s;
    }
    void DrawImage(ImageSurface* image, float x, float y, const FRect& source, const Color& c,
                   const DrawState* s) override {
        Image("image", image, x, y, source, c, s);
    }
    void DrawImageClipped(ImageSurface* image, float x, float y, const FRect& source, const FRect& clip, const Color& c,
                          const DrawState* s) override {
        Image("clipped", image, x, y, source, c, s).clip = clip;
    }
    void DrawImageTransformed(ImageSurface* image, float x, float y, const Matrix4& m, const FRect* clip,
                              const Color& c, const DrawState* s, const FRect& source) override {
        TargetCall& call = Image("transformed", image, x, y, source, c, s);
        call.matrix = m;
        call.clip = *clip;
    }
    void DrawImageMaskedClipped(ImageSurface* image, float x, float y, const FRect& source, ImageSurface* mask,
                                const FRect& maskSource, const FRect& clip, const Color& c,
                                const DrawState* s) override {
        TargetCall& call = Image("masked", image, x, y, source, c, s);
        call.mask = mask;
        call.maskSource = maskSource;
        call.clip = clip;
    }
    void DrawTriangles(ImageSurface* image, const std::vector<QuadBatchItem>& items, const DrawState* s) override {
        TargetCall& call = Add("triangles");
        call.image = image;
        call.quads = items;
        call.state = *s;
    }
    void DrawMaskedTriangles(ImageSurface* image, ImageSurface* mask, const std::vector<MaskedBatchItem>& items,
                             const DrawState* s) override {
        TargetCall& call = Add("masked triangles");
        call.image = image;
        call.mask = mask;
        call.masked = items;
        call.state = *s;
    }
    void DrawImageGridMesh(ImageSurface* image, const GridMeshArgs& args, const FRect* clip, const Color& c,
                           const DrawState* s) override {
        TargetCall& call = Image("grid", image, args.x, args.y, args.source, c, s);
        call.matrix = args.matrix;
        call.clip = *clip;
    }

    std::vector<std::string> Ops() const {
        std::vector<std::string> ops;
        for (const TargetCall& c : calls) ops.push_back(c.op);
        return ops;
    }

    std::vector<TargetCall> calls;

private:
    TargetCall& Add(const char* op) {
        calls.emplace_back();
        calls.back().op = op;
        return calls.back();
    }
    TargetCall& Image(const char* op, ImageSurface* image, float x, float y, const FRect& source, const Color& c,
                      const DrawState* s) {
        TargetCall& call = Add(op);
        call.image = image;
        call.x = x;
        call.y = y;
        call.source = source;
        call.color = c;
        call.state = *s;
        return call;
    }
    int w_, h_;
};

// Every character is `charWidth` wide except the space (`spaceWidth`);
// ascent 16, height 20, line spacing 20 + lineSpacingOffset.
class FixedFont : public Font {
public:
    struct Drawn {
        std::wstring text;
        float x, y;
        Color color;
        FRect clip;
        bool batching;         // the context's batching flag while drawing
        float transX, transY;  // the context's translation while drawing
    };

    explicit FixedFont(float charWidth = 10, float spaceWidth = 5) : charWidth_(charWidth), spaceWidth_(spaceWidth) {
        ascent = 16;
        height = 20;
    }
    float StringWidth(const std::wstring& text) override {
        float w = 0;
        for (wchar_t c : text) w += CharWidth(c);
        return w;
    }
    float CharWidth(wchar_t c) override { return c == L' ' ? spaceWidth_ : charWidth_; }
    void DrawString(Graphics& g, float x, float y, const std::wstring& text, const Color& color,
                    const FRect& clip) override {
        drawn.push_back({text, x, y, color, clip, g.IsBatching(), g.GetState().transX, g.GetState().transY});
    }
    Font* Duplicate() const override { return new FixedFont(*this); }

    std::vector<Drawn> drawn;

private:
    float charWidth_, spaceWidth_;
};

// A w x h image of one colour (straight alpha) in system memory, cut into
// rows x cols cels.
inline std::unique_ptr<ImageSurface> StraightSolidImage(int w, int h, uint32_t argb = 0xFFFFFFFF, int rows = 1,
                                                        int cols = 1) {
    auto image = std::make_unique<ImageSurface>(false);
    std::vector<uint32_t> pixels(static_cast<size_t>(w) * h, argb);
    image->SetBits(pixels.data(), w, h, false);
    image->SetRowsCols(rows, cols);
    return image;
}

// A 10 x 10 surface holding the stored part of one 20 x 20 cel, which sits
// at (offsetX, offsetY) inside the cel.
inline std::unique_ptr<ImageSurface> TrimmedImage(float offsetX, float offsetY) {
    auto image = StraightSolidImage(10, 10);
    CelDataRecord data;
    data.name = L"walk";
    data.cels.push_back(CelRectRecord{0, 0, 10, 10, offsetX, offsetY, 20, 20});
    image->SetCelRects({data});
    return image;
}

}  // namespace testsupport
