#include "widgets/tree/graphics_sink.h"

#include <map>
#include <vector>

#include "rendering/draw/graphics.h"
#include "rendering/image/image_surface.h"

namespace {

// Binds the tree's drawing calls to the drawing context. Saved states are
// kept per context; a context's stack goes away when its last state is
// popped or the context ends.
class BuiltInGraphicsSink final : public GraphicsSink {
public:
    void PushState(Graphics* g) override { saved_[g].push_back(g->GetState()); }
    void RestoreState(Graphics* g) override {
        auto it = saved_.find(g);
        if (it != saved_.end() && !it->second.empty()) g->SetState(it->second.back());
    }
    void PopState(Graphics* g) override {
        auto it = saved_.find(g);
        if (it == saved_.end() || it->second.empty()) return;
        g->SetState(it->second.back());
        it->second.pop_back();
        if (it->second.empty()) saved_.erase(it);
    }
    void Translate(Graphics* g, float dx, float dy) override { g->Translate(dx, dy); }
    void ClipRect(Graphics* g, float x, float y, int w, int h) override { g->ClipRect(x, y, w, h); }
    void SetBatching(Graphics* g, bool on) override { g->SetBatching(on); }
    void OffsetDrawOrder(Graphics* g, int delta) override { g->OffsetDrawOrder(delta); }
    void SetOffscreen(Graphics* g, bool on) override { g->SetOffscreen(on); }

    Graphics* CopyContext(Graphics* g) override {
        // The copy draws into whatever g draws into now (its scratch surface
        // while g is off-screen); compositing stays g's business.
        auto* copy = new Graphics(g->GetDestination());
        GraphicsState state = g->GetState();
        state.offscreen = false;
        copy->SetState(state);
        return copy;
    }
    // Without a screen image the tree draws to no target: widgets get a null
    // context, which draws nothing just as the swallowing target would,
    // and the tree skips the state calls.
    Graphics* BeginScreen(ImageSurface* screen) override {
        if (!screen) return nullptr;
        screen->Clear();
        return new Graphics(screen);
    }
    void EndContext(Graphics* g) override {
        saved_.erase(g);
        delete g;
    }

private:
    std::map<Graphics*, std::vector<GraphicsState>> saved_;
};

}  // namespace

GraphicsSink& GraphicsSink::Fallback() {
    static BuiltInGraphicsSink builtIn;
    return builtIn;
}
