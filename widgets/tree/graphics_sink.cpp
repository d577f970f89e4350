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
    void PushState(Graphics* g) override { Stack(g).push_back(g->GetState()); }
    void RestoreState(Graphics* g) override {
        if (const States* saved = Find(g); saved && !saved->empty()) g->SetState(saved->back());
    }
    void PopState(Graphics* g) override {
        States* saved = Find(g);
        if (!saved || saved->empty()) return;
        g->SetState(saved->back());
        saved->pop_back();
        if (saved->empty()) Forget(g);
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
        Forget(g);
        delete g;
    }

private:
    using States = std::vector<GraphicsState>;

    // The walk asks for the same context's stack several times for every
    // widget it draws: the stack last found is kept at hand (a map's entries
    // stay where they are until erased).
    States& Stack(Graphics* g) {
        if (g != last_ || !lastStates_) {
            lastStates_ = &saved_[g];
            last_ = g;
        }
        return *lastStates_;
    }
    States* Find(Graphics* g) {
        if (g == last_ && lastStates_) return lastStates_;
        auto it = saved_.find(g);
        if (it == saved_.end()) return nullptr;
        last_ = g;
        lastStates_ = &it->second;
        return lastStates_;
    }
    void Forget(Graphics* g) {
        saved_.erase(g);
        if (g == last_) {
            last_ = nullptr;
            lastStates_ = nullptr;
        }
    }

    std::map<Graphics*, States> saved_;
    Graphics* last_ = nullptr;
    States* lastStates_ = nullptr;
};

}  // namespace

GraphicsSink& GraphicsSink::Fallback() {
    static BuiltInGraphicsSink builtIn;
    return builtIn;
}
