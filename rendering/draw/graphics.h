#pragma once
// Graphics: the drawing context, built on the stack for a destination
// ImageRenderTarget (an image, the screen's draw buffer, or the swallowing
// default target). Its GraphicsState is saved by copying and restored with
// SetState. It translates and clips every draw, tints images, queues image
// draws into a batch sorted by draw order, draw mode and texture, composes
// off-screen through pooled scratch targets and through blend shaders, and
// lays text out through the current Font.
//
// Promises: a null destination, image or font, or a missing cel, draws
// nothing; destruction flushes the queue and ends off-screen drawing. Queued
// draws take the stencil, cull, shader and view matrix current at the flush;
// their setters flush first. The destination must outlive the context.
// Threads: a context belongs to the drawing thread; the scratch pool is
// shared and locked.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "foundation/values/color.h"
#include "foundation/values/matrix4.h"
#include "foundation/values/rect.h"
#include "foundation/values/saturate.h"
#include "rendering/device/draw_state.h"

class Font;
class Image;
class ImageRenderTarget;
class ImageSurface;
class GraphicsBatch;
struct Transform;

struct GraphicsState {
    float transX = 0, transY = 0;
    FRect clipRect;  // destination pixels, translation already applied
    DrawState drawState;
    Color color = Color::Black;
    Font* font = nullptr;  // not owned; null draws no text
    bool colorizeImages = false;
    bool hasModulation = false;
    Color modulation;  // multiplied into every final colour while hasModulation
    bool batching = false;
    int32_t drawOrder = 0;
    bool offscreen = false;
    Rect offscreenRect;  // where the scratch surface is composited
};

// Justification values of the text operations; any other value draws at x.
enum TextJustify : int {
    kJustifyCentre = 0,
    kJustifyRight = 1,
    kJustifyLeft = -1,
};

class Graphics {
public:
    explicit Graphics(ImageRenderTarget* destination);
    virtual ~Graphics();
    Graphics(const Graphics&) = delete;
    Graphics& operator=(const Graphics&) = delete;

    // State.
    const GraphicsState& GetState() const { return state_; }
    void SetState(const GraphicsState& state);
    ImageRenderTarget* GetDestination() const { return destination_; }
    Font* GetFont() const { return state_.font; }
    void SetFont(Font* font) { state_.font = font; }
    const Color& GetColor() const { return state_.color; }
    void SetColor(const Color& color) { state_.color = color; }
    void ModulateColor(const Color& c);
    Color GetFinalColor(const Color& c) const;
    void SetDrawMode(int mode);
    int GetDrawMode() const { return state_.drawState.mode; }
    void SetCulling(uint8_t cull);
    void SetColorizeImages(bool on) { state_.colorizeImages = on; }
    bool GetColorizeImages() const { return state_.colorizeImages; }
    void SetShader(DeviceShaderProgram* shader);
    void SetBatching(bool on);
    bool IsBatching() const { return state_.batching; }
    void OffsetDrawOrder(int delta) { state_.drawOrder += delta; }
    void ApplyTransform(const Matrix4& m);
    void Translate(float dx, float dy);
    void SetClipRect(float x, float y, int w, int h);
    void SetClipRectR(const Rect& r) { SetClipRect(static_cast<float>(r.x), static_cast<float>(r.y), r.w, r.h); }
    void ClipRect(float x, float y, int w, int h);
    void ClipRectR(const FRect& r) { ClipRect(r.x, r.y, SaturateCast(r.w), SaturateCast(r.h)); }
    const FRect& GetClipRect() const { return state_.clipRect; }

    // Primitives, in the current colour.
    void ClearRect(int x, int y, int w, int h);
    void ClearRectR(const Rect& r) { ClearRect(r.x, r.y, r.w, r.h); }
    void FillRect(int x, int y, int w, int h);
    void FillRectR(const Rect& r) { FillRect(r.x, r.y, r.w, r.h); }
    // The outline of (0, 0, w, h) at the current translation.
    void DrawRect(int w, int h);
    // `points` holds x, y pairs.
    void DrawPolyline(const std::vector<float>& points);
    void DrawString(const std::wstring& text, int x, int y);

    // Image draws, in the image colour (the current colour when images are
    // colorized, else white, modulated either way).
    void DrawImage(Image* image, float x, float y, int cel, const FRect& source);
    void DrawImageCore(ImageSurface* surface, float x, float y, const FRect& source);
    // DrawImage's pixels for an unscaled, axis-aligned image, blended row by
    // row into a software target's pixels; false (nothing drawn) where only
    // the device's draw gives them. Queued draws are flushed first.
    bool DrawImageRows(Image* image, float x, float y, const FRect& source);
    void DrawImageWhole(Image* image, float x, float y);
    // Transformed draws are centred at x, y.
    void DrawImageTransform(Image* image, Transform* transform, const FRect& source, float x, float y, int cel);
    void DrawImageTransformFull(Image* image, Transform* transform, float x, float y, int cel);
    void DrawImageTransformRect(Image* image, Transform* transform, const FRect& source, float x, float y, int cel) {
        DrawImageTransform(image, transform, source, x, y, cel);
    }
    void DrawImageMatrix(const Matrix4& matrix, Image* image, float x, float y, const FRect& source, int cel = 0);
    void DrawImageStretched(Image* image, const FRect& destination, const FRect& source);
    void DrawImageScaled(Image* image, float x, float y, float w, float h, int cel);
    void DrawImageTransformCel(Image* image, int cel, int meshCols, int meshRows, Transform* transform, float x,
                               float y, const FRect& source);
    void DrawImageMasked(float x, float y, Image* image, int cel, const FRect& source, Image* mask, int maskCel,
                         const FRect& maskSource);

    // Blend-shader draws: the current draw mode's shader from the
    // application's blend-shader table reads the destination's pixels as a
    // second texture. A mode without a shader draws nothing.
    void DrawToScratch(Image* image, int cel, const FRect& source, float x, float y);
    void DrawViaScratch(Image* image, Transform* transform, const FRect& source, float x, float y, int cel);

    // Off-screen drawing: while on, everything accumulates additively into a
    // cleared scratch surface that is composited onto the real destination
    // when it is turned off.
    void SetOffscreen(bool on);
    // A scratch surface of the destination's size, taken from the pool.
    ImageSurface* GetScratchSurface();

    void FlushBatch();

    // Text layout. Returns the width of the drawn substring; a negative
    // length, or one reaching past the end, means up to the end.
    int WriteString(const std::wstring& text, int x, int y, int width, int justification, bool draw = true,
                    int offset = 0, int length = -1);
    // Draws [start, end); -1 when the line is empty.
    int WriteWordWrappedLine(const std::wstring& text, int start, int end, int x, int y, int width, int justification);
    // Lays the text out in rect.w with word wrap; lineSpacing -1 takes the
    // font's. Returns the height; maxWidth receives the widest line.
    int WriteWordWrapped(const Rect& rect, const std::wstring& text, int lineSpacing, int justification,
                         int* maxWidth = nullptr);
    // y is the first baseline.
    int DrawStringWordWrapped(const std::wstring& text, int x, int y, int width, int justification,
                              int* maxWidth = nullptr);
    // The height the text takes in `width` with `source`'s font; draws nothing.
    static int GetWordWrappedHeight(Graphics* source, int width, const std::wstring& text, int* maxWidth = nullptr);

private:
    Color ImageColor() const;
    int DestinationWidth() const;
    int DestinationHeight() const;
    Rect ClippedIntRect(int x, int y, int w, int h) const;
    GraphicsBatch& Batch();
    bool QueueMatrixDraw(ImageSurface* surface, float x, float y, const FRect& source, const Matrix4& matrix);
    void QueueMaskedDraw(ImageSurface* surface, float x, float y, const FRect& source, ImageSurface* mask,
                         const FRect& maskSource);
    int LayoutWordWrapped(const Rect& rect, const std::wstring& text, int lineSpacing, int justification, int* maxWidth,
                          bool draw);

    GraphicsState state_;
    ImageRenderTarget* destination_;
    std::unique_ptr<GraphicsBatch> batch_;
    ImageRenderTarget* savedDestination_ = nullptr;
    ImageSurface* scratch_ = nullptr;  // the off-screen surface while offscreen
};

// The program-wide pool of scratch render targets (last in, first out).
// A taken surface is at least w x h and cleared to transparent.
ImageSurface* AcquireScratchSurface(int w, int h);
void ReleaseScratchSurface(ImageSurface* surface);
// Deletes every pooled surface; the device's release pass calls it.
void FreeScratchSurfaces();
