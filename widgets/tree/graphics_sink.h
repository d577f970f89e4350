#pragma once
// The few drawing-context operations the widget tree itself performs while
// it walks the tree: saving and restoring the context's state, moving the
// origin to a child, clipping to a container, the batching, draw-order and
// off-screen switches, and making the per-child and screen contexts.
//
// The tree never includes the drawing context; it goes through
// Service<GraphicsSink> (foundation/system/service.h). While nothing is
// installed the built-in sink answers (the fallback): graphics_sink.cpp holds
// it, the one place that binds these calls to the drawing context. Tests
// install a recording sink of their own.
//
// A null context is allowed everywhere: the tree then skips every sink call
// and still runs each widget's Draw with the null context (drawing to no
// target). Main thread only.

#include "foundation/system/service.h"

class Graphics;
class ImageSurface;

class GraphicsSink {
public:
    virtual ~GraphicsSink() = default;

    // What answers while nothing is installed: the built-in sink.
    static GraphicsSink& Fallback();

    // Saved states nest: every PushState is matched by one PopState;
    // RestoreState re-applies the most recent saved state without dropping it.
    virtual void PushState(Graphics* g) = 0;
    virtual void RestoreState(Graphics* g) = 0;
    virtual void PopState(Graphics* g) = 0;

    virtual void Translate(Graphics* g, float dx, float dy) = 0;
    // Intersects the current clip with (x, y, w, h) in the translated space.
    virtual void ClipRect(Graphics* g, float x, float y, int w, int h) = 0;
    virtual void SetBatching(Graphics* g, bool on) = 0;
    virtual void OffsetDrawOrder(Graphics* g, int delta) = 0;
    virtual void SetOffscreen(Graphics* g, bool on) = 0;

    // A new context drawing to the same target with a copy of g's state.
    virtual Graphics* CopyContext(Graphics* g) = 0;
    // Clears the screen image to transparent and makes a context on it;
    // a null image gives no context (the widgets still run their Draw).
    virtual Graphics* BeginScreen(ImageSurface* screen) = 0;
    // Finishes a context made by CopyContext or BeginScreen: flushes its
    // batch, ends off-screen drawing and frees it.
    virtual void EndContext(Graphics* g) = 0;
};

// A context made by the sink for the length of a scope.
class ScopedContext {
public:
    explicit ScopedContext(Graphics* g) : g_(g) {}
    ~ScopedContext() {
        if (g_) Service<GraphicsSink>::Get().EndContext(g_);
    }
    ScopedContext(const ScopedContext&) = delete;
    ScopedContext& operator=(const ScopedContext&) = delete;
    Graphics* Get() const { return g_; }

private:
    Graphics* g_;
};
