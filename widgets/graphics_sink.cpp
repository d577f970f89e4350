#include "widgets/graphics_sink.h"

namespace {

// Binds the tree's drawing calls to the drawing context. Until the context
// exists every pass draws to no target: contexts are null, so the tree skips
// the state calls and widgets receive a null context.
class BuiltInGraphicsSink final : public GraphicsSink {
public:
    void PushState(Graphics*) override {}
    void RestoreState(Graphics*) override {}
    void PopState(Graphics*) override {}
    void Translate(Graphics*, float, float) override {}
    void ClipRect(Graphics*, float, float, int, int) override {}
    void SetBatching(Graphics*, bool) override {}
    void OffsetDrawOrder(Graphics*, int) override {}
    void SetOffscreen(Graphics*, bool) override {}
    Graphics* CopyContext(Graphics*) override { return nullptr; }
    Graphics* BeginScreen(ImageSurface*) override { return nullptr; }
    void EndContext(Graphics*) override {}
};

GraphicsSink* gInstalled = nullptr;

}  // namespace

GraphicsSink& CurrentGraphicsSink() {
    static BuiltInGraphicsSink builtIn;
    return gInstalled ? *gInstalled : builtIn;
}

GraphicsSink* InstallGraphicsSink(GraphicsSink* sink) {
    GraphicsSink* previous = gInstalled;
    gInstalled = sink;
    return previous;
}
