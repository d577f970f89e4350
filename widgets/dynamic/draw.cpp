// Drawing: one widget's image (frame, cross-fade, colour loop, mask,
// transform, clip) and the subtree pass (clip, transform of the children,
// post-render colouring, cache).

#include <algorithm>
#include <functional>

#include "rendering/device/draw_state.h"
#include "rendering/draw/graphics.h"
#include "rendering/image/image.h"
#include "rendering/image/image_surface.h"
#include "rendering/shader/shader_program.h"
#include "widgets/dynamic/dynamic_widget.h"
#include "widgets/tree/graphics_sink.h"

namespace {

bool IsScratchMode(int mode) { return mode == 2 || mode == 3 || mode == 4; }

FRect CelRect(const Image* image) {
    return {0.0f, 0.0f, static_cast<float>(image->GetCelWidth()), static_cast<float>(image->GetCelHeight())};
}

// The drawing context restores its state when the scope ends.
class SavedState {
public:
    explicit SavedState(Graphics* g) : g_(g), state_(g->GetState()) {}
    ~SavedState() { g_->SetState(state_); }
    SavedState(const SavedState&) = delete;
    SavedState& operator=(const SavedState&) = delete;

private:
    Graphics* g_;
    GraphicsState state_;
};

bool IsDefaultDrawState(const DrawState& s) {
    return s.mode == 0 && !s.stencilTest && !s.cull && !s.shader && !s.matrixSet;
}

// Each draw of the colour loop adds the image once more. A channel holds 8
// bits, so after this many whole draws even the faintest non-zero channel is
// at its maximum and further draws change nothing.
constexpr float kMostColourDraws = 255.0f;

// A colour factor as the loop uses it: NaN and negative factors draw none of
// their channel, and a factor never asks for more draws than can show.
float DrawableFactor(float v) { return v > 0.0f ? std::min(v, kMostColourDraws) : 0.0f; }

}  // namespace

void DynamicWidget::ApplyClip(Graphics* g) const { g->ClipRectR(ClipRectangle()); }

bool DynamicWidget::DrawsImagePlainly() {
    return image_ != nullptr && opacity == 1.0f && red == 1.0f && green == 1.0f && blue == 1.0f && alpha == 1.0f &&
           postRender_ == 0 && fadeFraction_ <= 0.0f && maskImage_ == nullptr && drawMode_ == 0 && culling_ == 0 &&
           !shader_ && !tesselated_ && !HasTransform();
}

void DynamicWidget::DrawOneImage(Graphics* g, Image* image, int frame, const FRect& cel) {
    const float midX = width_ * 0.5f, midY = height_ * 0.5f;
    const bool transformed = (hasTransform_ || transformDirty_) && !transformChildren_;
    if (maskImage_) {
        const FRect maskSource = maskRectSet_ ? maskRect_ : CelRect(maskImage_);
        g->DrawImageMasked(0.0f, 0.0f, image, frame, cel, maskImage_, animators_[1].frame, maskSource);
    } else if (IsScratchMode(drawMode_)) {
        if (!transformed)
            g->DrawToScratch(image, frame, cel, 0.0f, 0.0f);
        else
            g->DrawViaScratch(image, const_cast<Transform*>(&ComposeTransform()), cel, midX, midY, frame);
    } else if (tesselated_) {
        g->DrawImageTransformCel(image, frame, tessColumns_, tessRows_, const_cast<Transform*>(&ComposeTransform()),
                                 midX, midY, cel);
    } else if (!transformed) {
        g->DrawImage(image, 0.0f, 0.0f, frame, cel);
    } else {
        Transform* t = const_cast<Transform*>(&ComposeTransform());
        if (hasTransform_)
            g->DrawImageTransformRect(image, t, cel, midX, midY, frame);
        else
            g->DrawImage(image, 0.0f, 0.0f, frame, cel);
    }
}

void DynamicWidget::ColourFactorPasses(Graphics* g, float r, float gr, float b, float a,
                                       FunctionRef<void(float r, float gr, float b, float a)> pass) {
    r = DrawableFactor(r);
    gr = DrawableFactor(gr);
    b = DrawableFactor(b);
    a = DrawableFactor(a);
    const bool wasBatching = g->IsBatching();
    if (r > 1.0f || gr > 1.0f || b > 1.0f) g->SetBatching(true);
    for (;;) {
        pass(r, gr, b, a);
        if (r <= 1.0f && gr <= 1.0f && b <= 1.0f) break;
        // What lies above 1 is added on top: the next pass draws only it.
        r -= 1.0f;
        gr -= 1.0f;
        b -= 1.0f;
        a = 0.0f;
    }
    g->SetBatching(wasBatching);
}

void DynamicWidget::ColourLoop(Graphics* g, float r, float gr, float b, float a, FunctionRef<void()> draw) {
    const auto pass = [&](float pr, float pg, float pb, float pa) {
        if (pr < 1.0f || pg < 1.0f || pb < 1.0f || pa < 1.0f) {
            g->SetColor(Color::FromFloats(pr, pg, pb, pa));
            g->SetColorizeImages(true);
        }
        draw();
    };
    // One pass, as nearly every image draw takes, goes here as the passes
    // would take it, without their callback between it and the draw.
    const float pr = DrawableFactor(r), pg = DrawableFactor(gr), pb = DrawableFactor(b);
    if (pr <= 1.0f && pg <= 1.0f && pb <= 1.0f) {
        const bool wasBatching = g->IsBatching();
        pass(pr, pg, pb, DrawableFactor(a));
        g->SetBatching(wasBatching);
        return;
    }
    ColourFactorPasses(g, r, gr, b, a, pass);
}

void DynamicWidget::ColourPasses(Graphics* g, float r, float gr, float b, float a,
                                 FunctionRef<void(const Color&)> draw) {
    ColourFactorPasses(g, r, gr, b, a,
                       [&](float pr, float pg, float pb, float pa) { draw(Color::FromFloats(pr, pg, pb, pa)); });
}

void DynamicWidget::Draw(Graphics* g) {
    if (!g || !image_ || opacity <= 0.0f) return;
    SavedState saved(g);
    if (!clipSubtree_) ApplyClip(g);
    g->SetDrawMode(drawMode_);
    g->SetCulling(culling_);
    if (shader_) {
        for (const auto& [name, handle] : shaderConstants_) shader_->SetConstant(name, FieldHandle::ReadReal(handle));
        g->SetShader(shader_.get());
    }
    Image* image = image_;
    int frame = animators_[0].frame;
    ImageSurface* fade = nullptr;
    if (fadeFraction_ > 0.0f) {
        if (fadeFraction_ >= 1.0f) {
            frame = previousFrame_;
        } else if ((fade = AcquireScratchSurface(image_->GetCelWidth(), image_->GetCelHeight()))) {
            Graphics scratch(fade);
            scratch.SetDrawMode(kDrawAdditive);
            scratch.SetColorizeImages(true);
            scratch.SetBatching((image_->GetFlags() & kImageWholePieces) != 0);
            const FRect cel = CelRect(image_);
            const int previousAlpha = static_cast<int>(fadeFraction_ * 255.0f);
            scratch.SetColor(Color::FromRGBAFlag(previousAlpha, previousAlpha, previousAlpha, previousAlpha, true));
            scratch.DrawImageStretched(image_, cel, image_->GetSourceCelRectByIndex(previousFrame_));
            const int currentAlpha = static_cast<int>((1.0f - fadeFraction_) * 255.0f);
            scratch.SetColor(Color::FromRGBAFlag(currentAlpha, currentAlpha, currentAlpha, currentAlpha, true));
            scratch.DrawImageStretched(image_, cel, image_->GetSourceCelRectByIndex(frame));
            scratch.FlushBatch();
            image = fade;
            frame = 0;
        }
    }
    float r = red * opacity, gr = green * opacity, b = blue * opacity, a = alpha * opacity;
    if (postRender_ != 0) r = gr = b = a = 1.0f;
    // A pooled scratch surface may be bigger than the cel: draw only the cel's part.
    const FRect cel = CelRect(image_);
    ColourLoop(g, r, gr, b, a, [&] { DrawOneImage(g, image, frame, cel); });
    if (fade) {
        g->FlushBatch();
        ReleaseScratchSurface(fade);
    }
}

void DynamicWidget::DrawAll(PassFlags& flags, Graphics* g) {
    if (!g) {
        WidgetContainer::DrawAll(flags, g);
        return;
    }
    SavedState saved(g);
    if (clipSubtree_) ApplyClip(g);
    if (postRender_ == 2) {
        if (opacity <= 0.0f) return;
        g->ModulateColor(
            Color::FromFloats(std::clamp(red * opacity, 0.0f, 1.0f), std::clamp(green * opacity, 0.0f, 1.0f),
                              std::clamp(blue * opacity, 0.0f, 1.0f), std::clamp(alpha * opacity, 0.0f, 1.0f)));
    }
    if (transformChildren_) {
        const Transform& t = ComposeTransform();
        if (hasTransform_) {
            const float midX = g->GetState().transX + width_ * 0.5f, midY = g->GetState().transY + height_ * 0.5f;
            Matrix4 about;
            about.Translate(-midX, -midY, 0.0f);
            Matrix4::Multiply(about, const_cast<Transform&>(t).GetMatrix(), about);
            Matrix4 back;
            back.Translate(midX, midY, 0.0f);
            Matrix4::Multiply(about, back, about);
            g->ApplyTransform(about);
        }
    }
    const uint32_t effective = ApplyFlagMasks(flags.Effective(), addFlags_, removeFlags_);
    if (!(effective & pass_flag::kDraw)) {
        WidgetContainer::DrawAll(flags, g);
        return;
    }
    if (cache_ && cache_->image && IsDefaultDrawState(g->GetState().drawState)) {
        DrawCached(flags, g);
        return;
    }
    if (postRender_ == 1) {
        DrawPostRender(flags, g, nullptr);
        return;
    }
    WidgetContainer::DrawAll(flags, g);
}

void DynamicWidget::DrawSubtreeInto(PassFlags& flags, Graphics* source, ImageSurface* target, float dx, float dy) {
    Graphics into(target);
    GraphicsState s = source->GetState();
    s.transX = dx;
    s.transY = dy;
    s.clipRect = FRect(0.0f, 0.0f, static_cast<float>(target->width), static_cast<float>(target->height));
    s.offscreen = false;
    s.batching = false;
    s.drawState.matrixSet = 0;
    // The picture is coloured once, when it is drawn into the caller's context.
    s.hasModulation = false;
    into.SetState(s);
    into.ClearRect(-static_cast<int>(dx), -static_cast<int>(dy), target->width, target->height);
    WidgetContainer::DrawAll(flags, &into);
}

void DynamicWidget::DrawPostRender(PassFlags& flags, Graphics* g, ImageSurface* rendered) {
    const float r = red * opacity, gr = green * opacity, b = blue * opacity, a = alpha * opacity;
    if (opacity <= 0.0f) return;
    const float tx = g->GetState().transX, ty = g->GetState().transY;
    ImageSurface* scratch = nullptr;
    if (!rendered) {
        if (r == 1.0f && gr == 1.0f && b == 1.0f && a == 1.0f) {
            WidgetContainer::DrawAll(flags, g);
            return;
        }
        ImageRenderTarget* destination = g->GetDestination();
        const int w = destination ? destination->GetWidth() : 0, h = destination ? destination->GetHeight() : 0;
        scratch = w > 0 && h > 0 ? AcquireScratchSurface(w, h) : nullptr;
        if (!scratch) return;
        DrawSubtreeInto(flags, g, scratch, tx, ty);
        rendered = scratch;
    }
    const FRect whole(0.0f, 0.0f, static_cast<float>(g->GetDestination()->GetWidth()),
                      static_cast<float>(g->GetDestination()->GetHeight()));
    SavedState saved(g);
    ColourLoop(g, r, gr, b, a, [&] { g->DrawImage(rendered, -tx, -ty, 0, whole); });
    if (scratch) {
        g->FlushBatch();
        ReleaseScratchSurface(scratch);
    }
}

void DynamicWidget::DrawCached(PassFlags& flags, Graphics* g) {
    const float px = g->GetState().transX, py = g->GetState().transY;
    if (cache_->followPosition && (px != cacheLastX_ || py != cacheLastY_)) {
        // Only a picture made for another position is stale; before the
        // first rendering an immediate cache stays immediate.
        if (cache_->drawn) cacheCountdown_ = 30;
        cacheLastX_ = px;
        cacheLastY_ = py;
    }
    bool render = false;
    if (cacheCountdown_ > 0) {
        if (--cacheCountdown_ != 0) {
            if (postRender_ == 1)
                DrawPostRender(flags, g, nullptr);
            else
                WidgetContainer::DrawAll(flags, g);
            return;
        }
        render = true;
    } else {
        render = !cache_->drawn;
    }
    auto* surface = dynamic_cast<ImageSurface*>(cache_->image);
    if (!surface) return;
    // A subtree point p lands at p + offset in the cache and is drawn back at p.
    const float offsetX = -static_cast<float>(cache_->x) + (cache_->followPosition ? px : 0.0f);
    const float offsetY = -static_cast<float>(cache_->y) + (cache_->followPosition ? py : 0.0f);
    if (render) {
        DrawSubtreeInto(flags, g, surface, offsetX, offsetY);
        cache_->drawn = true;
    }
    const FRect area(0.0f, 0.0f, static_cast<float>(cache_->width), static_cast<float>(cache_->height));
    if (postRender_ == 1) {
        const float r = red * opacity, gr = green * opacity, b = blue * opacity, a = alpha * opacity;
        if (opacity <= 0.0f) return;
        SavedState saved(g);
        ColourLoop(g, r, gr, b, a, [&] { g->DrawImage(surface, -offsetX, -offsetY, 0, area); });
        return;
    }
    g->DrawImage(surface, -offsetX, -offsetY, 0, area);
}

void DrawImageAtCelSize(Graphics* g, Image* image, float x, float y, int cel) {
    if (!g || !image) return;
    g->DrawImageScaled(image, x, y, static_cast<float>(image->GetCelWidth()), static_cast<float>(image->GetCelHeight()),
                       cel);
}
