// Construction, ownership, the tree and input overrides, and the plain setters.

#include "widgets/dynamic/dynamic_widget.h"

#include <cmath>

#include "foundation/values/saturate.h"
#include "rendering/device/device_host.h"
#include "rendering/image/image.h"
#include "rendering/image/image_surface.h"
#include "rendering/image/texture_tiles.h"
#include "rendering/shader/shader_program.h"
#include "widgets/tree/widget_manager.h"

DynamicWidget::DynamicWidget(int x, int y, Image* image, float opacity)
    : last_x(static_cast<float>(x)), last_y(static_cast<float>(y)), opacity(std::fabs(opacity)), image_(image) {
    // The fixed step reads only the first lines of a widget that never
    // flashed, its listener aside while it is pressed (Flash names the rest).
    NameMotionLines(UpdatePass::kFrame);
    // What every draw reads, named field by field rather than by the lines
    // they share today, so that a field moved elsewhere is still fetched
    // ahead: colour, clip and image; mask and mode; frames and fade; shader,
    // transform and post-render flags; cache. The member's opacity, not the
    // argument's of that name.
    AddDrawLines({&this->opacity, &red,           &alpha,           &blue,     &abs_clip,           &rel_clip,
                  &image_,        &maskImage_,    &drawMode_,       &culling_, &animators_,         &fadeFraction_,
                  &tesselated_,   &hasTransform_, &transformDirty_, &shader_,  &transformChildren_, &clipSubtree_,
                  &postRender_,   &cache_});
    NoteBlank();
    if (image_)
        Resize(static_cast<float>(x), static_cast<float>(y), image_->GetCelWidth(), image_->GetCelHeight());
    else
        Move(static_cast<float>(x), static_cast<float>(y));
}

DynamicWidget::~DynamicWidget() {
    if (privateImage_) delete image_;
    image_ = nullptr;
    if (cache_ && cache_->imageOwned) delete cache_->image;
    cache_.reset();
    shader_.reset();
    StopChanges();
    // The base values come back before the records go, clamps first.
    RemoveOffsets();
    oscillations_.clear();
    clamps_.clear();
}

ImageSurface* DynamicWidget::GetWritableImage() {
    auto* source = dynamic_cast<ImageSurface*>(image_);
    if (!source || privateImage_) return source;
    // A copy of the pixels that this widget alone may change. A piece of
    // another image (a child or atlas piece) has no pixels of its own to copy.
    const uint32_t* bits = source->GetBits();
    if (!bits) return nullptr;
    auto* copy = new ImageSurface(false);
    copy->SetBits(bits, source->sourceWidth, source->sourceHeight, false);
    copy->premultiplied = source->premultiplied;
    copy->SetRowsCols(source->rows, source->cols);
    copy->SetFlags(source->GetFlags() & ~static_cast<uint32_t>(kImageRenderTarget | kImagePacked | kImagePalette));
    copy->name = source->name;
    copy->path = source->path;
    image_ = copy;
    privateImage_ = true;
    MarkDirty();
    return copy;
}

// --- Tree and input ---------------------------------------------------------

Widget* DynamicWidget::FindWidgetAt(float x, float y, uint32_t flags, float* localX, float* localY) {
    if (clipSubtree_ && !ClipRectangle().Contains(x, y)) return nullptr;
    return WidgetContainer::FindWidgetAt(x, y, flags, localX, localY);
}

FRect DynamicWidget::MapRectToParent(const FRect& r) const {
    if (!transformChildren_) return WidgetContainer::MapRectToParent(r);
    auto* self = const_cast<DynamicWidget*>(this);
    const Transform& t = self->ComposeTransform();
    if (!hasTransform_) return WidgetContainer::MapRectToParent(r);
    const float hw = width_ * 0.5f, hh = height_ * 0.5f;
    const float in[3] = {r.x - hw, r.y - hh, 0.0f};
    float out[3];
    const_cast<Transform&>(t).GetMatrix().TransformVector3(out, in);
    return {out[0] + hw + x_, out[1] + hh + y_, r.w, r.h};
}

FRect DynamicWidget::MapRectFromParent(const FRect& r) const {
    if (!transformChildren_) return WidgetContainer::MapRectFromParent(r);
    auto* self = const_cast<DynamicWidget*>(this);
    self->ComposeTransform();
    if (!hasTransform_) return WidgetContainer::MapRectFromParent(r);
    const float hw = width_ * 0.5f, hh = height_ * 0.5f;
    const float in[3] = {r.x - x_ - hw, r.y - y_ - hh, 0.0f};
    float out[3];
    self->GetInverseMatrix().TransformVector3(out, in);
    return {out[0] + hw, out[1] + hh, r.w, r.h};
}

void DynamicWidget::MarkDirty() {
    if (cache_) cacheCountdown_ = 30;
    WidgetContainer::MarkDirty();
}

void DynamicWidget::MouseEnter() {
    if (buttonListener_) buttonListener_->ButtonMouseEnter(id_);
}

void DynamicWidget::MouseLeave() {
    if (buttonListener_) buttonListener_->ButtonMouseLeave(id_);
}

void DynamicWidget::MouseMove(int x, int y) {
    if (buttonListener_) buttonListener_->ButtonMouseMove(id_, x, y);
}

void DynamicWidget::MouseDown(int, int, int clickCode) {
    if (buttonListener_) buttonListener_->ButtonPressCount(id_, clickCode);
}

void DynamicWidget::MouseUpAt(int, int) {
    if (buttonListener_ && isOver_ && manager_ && manager_->IsActive()) buttonListener_->ButtonRelease(id_);
}

void DynamicWidget::AddedToParent(WidgetContainer* parent) {
    Widget::AddedToParent(parent);
    if (!buttonListener_) buttonListener_ = dynamic_cast<ButtonListener*>(parent);
}

void DynamicWidget::RemovedFromParent(WidgetContainer* parent) {
    if (deleteOnRemoval_) ReportRemoval(id_);
    // Also when the widget survives (moved, or kept): the old parent may be
    // deleted long before the widget reports its next press.
    buttonListener_ = nullptr;
    Widget::RemovedFromParent(parent);
}

bool DynamicWidget::ContainsPoint(int px, int py) const {
    // The point is local. Children drawn inside the transform are reached
    // through its inverse, so for them the point is already untransformed.
    if (transformChildren_) return Widget::ContainsPoint(px, py);
    // A negative scale mirrors the box about the middle; it stays as wide.
    const float ax = std::fabs(scale_x), ay = std::fabs(scale_y);
    const float sw = std::trunc(width_ * ax);
    const float sh = std::trunc(height_ * ay);
    float left, top, w, h;
    if (angle == 0.0f) {
        left = std::trunc(width_ * (1.0f - ax) * 0.5f);
        top = std::trunc(height_ * (1.0f - ay) * 0.5f);
        w = sw;
        h = sh;
    } else {
        // Any rotation stays inside a square of the two sides about the middle.
        const float side = sw + sh;
        left = width_ * 0.5f - side * 0.5f;
        top = height_ * 0.5f - side * 0.5f;
        w = h = side;
    }
    const float fx = static_cast<float>(px), fy = static_cast<float>(py);
    return fx >= left && fx < left + w && fy >= top && fy < top + h;
}

void DynamicWidget::AnimationSignal(int widgetId, std::wstring_view signal) {
    if (auto* listener = dynamic_cast<AnimationListener*>(parent_)) listener->AnimationSignal(widgetId, signal);
}

bool DynamicWidget::IsAnimating() const {
    return controllerCount_ > 0 || flashCount_ != 0 || animators_[0].cyclesLeft != 0 || animators_[1].cyclesLeft != 0;
}

// --- Image and frames ---------------------------------------------------------

void DynamicWidget::SetImage(Image* image) {
    // Setting the image the widget already owns keeps it, and owned.
    if (image != image_) {
        if (privateImage_) delete image_;
        privateImage_ = false;
        image_ = image;
        NoteBlank();
    }
    if (image_) {
        width_ = image_->GetCelWidth();
        height_ = image_->GetCelHeight();
        if (animators_[0].frame >= image_->rows * image_->cols) animators_[0].frame = 0;
    }
    MarkDirty();
}

void DynamicWidget::AdoptImage(std::unique_ptr<Image> image) {
    if (!image) return;
    SetImage(image.release());
    privateImage_ = true;
}

void DynamicWidget::MakeImagePrivate(Image* image) {
    Image* source = image ? image : image_;
    // Already ours: a duplicate of it would outlive the pixels it shares.
    if (!source || (source == image_ && privateImage_)) return;
    Image* copy = source->Duplicate();
    SetImage(copy);
    privateImage_ = copy != nullptr;
}

void DynamicWidget::SetFrame(int frame) {
    animators_[0].timer = 0.0f;
    // A fade still running would bring the old frame back at the next update.
    if (!fadeController_.empty()) StopController(fadeController_);
    fadeFraction_ = 0.0f;
    if (frame != animators_[0].frame) {
        animators_[0].frame = frame;
        frameChanged_ = true;
        MarkDirty();
    }
}

void DynamicWidget::SetMaskFrame(int frame) {
    animators_[1].timer = 0.0f;
    if (frame != animators_[1].frame) {
        animators_[1].frame = frame;
        MarkDirty();
    }
}

void DynamicWidget::CycleFrames(int animator, float period, int cycles, float timerStart, int lowest, int highest,
                                float crossFadeTime, int mode) {
    FrameAnimator& a = animators_[animator == 1 ? 1 : 0];
    Image* source = animator == 1 ? maskImage_ : image_;
    if (highest < 0) highest += source ? source->rows * source->cols : 0;
    a.period = period;
    a.cyclesLeft = cycles;
    a.timer = timerStart;
    a.lowest = lowest;
    a.highest = highest;
    a.crossFadeTime = crossFadeTime;
    a.mode = mode;
    a.step = mode == -1 ? -1 : 1;
}

void DynamicWidget::Flash(int period, int count, int phase) {
    // Doubled here and counted up every update.
    period = ClampHalfInt(period);
    phase = ClampHalfInt(phase);
    flashPhase_ = phase;
    flashPeriod_ = 2 * period;
    flashCount_ = count;
    // Nothing else sets a period: the step asks whether the widget flashes
    // only once it has (Update), and counts the phase while it does.
    if (period != 0) {
        AddPassLines(&flashPeriod_, &flashCount_ + 1, UpdatePass::kStep);
        AddPassLines(&flashPhase_, &flashPhase_ + 1, UpdatePass::kStep);
    }
    SetVisible(period == 0 || (phase >= 0 && phase < period));
}

// --- Transform and appearance -------------------------------------------------

void DynamicWidget::SetRotationAxis(float x, float y, float z) {
    const float length = std::sqrt(x * x + y * y + z * z);
    if (length == 0.0f) return;
    rotationAxis_ = {x / length, y / length, z / length};
    transformDirty_ = true;
}

void DynamicWidget::SetCenter(float cx, float cy, float cz) {
    if (cx != kNotGiven) pivot_[0] = width_ * 0.5f - cx;
    if (cy != kNotGiven) pivot_[1] = height_ * 0.5f - cy;
    if (cz != kNotGiven) pivot_[2] = -cz;
    transformDirty_ = true;
}

void DynamicWidget::Flip(bool vertical) {
    if (vertical)
        flipY_ = -flipY_;
    else
        flipX_ = -flipX_;
    transformDirty_ = true;
}

void DynamicWidget::Tesselate(int columns, int rows) {
    tessColumns_ = columns;
    tessRows_ = rows;
    tesselated_ = columns >= 2 || rows >= 2;
    if (!image_ || (image_->GetFlags() & kImageWholePieces)) return;
    ImageSurface* surface = image_->GetSurface();
    if (!surface) return;
    // The mesh draw needs the image in one piece; split pieces are made again whole.
    if (TexturePieces* pieces = surface->GetTextures(); pieces && pieces->pieces.size() > 1) surface->FreeTextures();
    surface->SetFlags(surface->GetFlags() | kImageWholePieces);
}

void DynamicWidget::SetMaskRect(float x, float y, float w, float h, bool enabled) {
    maskRect_ = {x, y, w, h};
    maskRectSet_ = enabled;
}

void DynamicWidget::SetShader(ShaderProgram* shader) {
    shader_.reset(shader);
    shaderConstants_["Clock"] = fieldHandles_.For(&clock).Id();
}

void DynamicWidget::SetCache(bool on, bool immediate, WidgetCache* cache) {
    if ((!on || cache) && cache_) {
        if (cache_->imageOwned) delete cache_->image;
        cache_.reset();
    }
    NoteBlank();
    if (!on) return;
    if (!cache_) {
        if (cache) {
            cache_.reset(cache);
        } else {
            const DeviceHost& screen = Service<DeviceHost>::Get();
            const int w = screen.ScreenWidth(), h = screen.ScreenHeight();
            // Without a screen there is nothing to cache into; an empty
            // image would hide the subtree.
            if (w <= 0 || h <= 0) return;
            auto* image = new ImageSurface(true);
            image->Create(w, h);
            cache_ = std::make_unique<WidgetCache>();
            cache_->image = image;
            cache_->imageOwned = true;
            cache_->followPosition = true;
            cache_->width = w;
            cache_->height = h;
        }
    }
    NoteBlank();
    cacheCountdown_ = immediate ? 1 : 30;
}

// --- When-done actions and motion ---------------------------------------------

void DynamicWidget::RemoveWhenDone(bool on) {
    if (on && !IsAnimating())
        RemoveSelf();
    else
        removeWhenDone_ = on;
}

void DynamicWidget::HideWhenDone(bool on) {
    if (on && !IsAnimating())
        SetVisible(false);
    else
        hideWhenDone_ = on;
}

void DynamicWidget::ClearFlagWhenDone(bool on) {
    if (on && !IsAnimating())
        addFlags_ &= ~pass_flag::kOffscreen;
    else
        clearFlagWhenDone_ = on;
}

void DynamicWidget::ResetModesWhenDone(bool on) {
    if (on && !IsAnimating()) {
        transformChildren_ = false;
        postRender_ = 0;
        clipSubtree_ = false;
        NoteBlank();
    } else {
        resetModesWhenDone_ = on;
    }
}
