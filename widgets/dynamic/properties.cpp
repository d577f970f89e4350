// The named properties: float fields for writers, values for scripts, and the
// refresh after a write.

#include <algorithm>
#include <cstddef>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "foundation/values/property_table.h"
#include "rendering/image/image.h"
#include "widgets/dynamic/dynamic_widget.h"

const PropertyTable<DynamicWidget>& DynamicWidget::Properties() {
    using W = DynamicWidget;
    using T = PropertyTable<W>;
    using namespace change_bit;
    // "..._ptr" names answer field handles rather than addresses: an address
    // does not fit an Int, and a handle reads 0 once the widget is gone.
    static const T table{
        T::Float(
            L"x", [](W& w) { return &w.x_; }, kPosition)
            .WithHandle(),
        T::Float(
            L"y", [](W& w) { return &w.y_; }, kPosition)
            .WithHandle(),
        T::Float(
            L"z", [](W& w) { return &w.z; }, kTransform),
        T::Value(L"right", [](W& w) -> PropertyValue { return w.x_ + static_cast<float>(w.width_); }),
        T::Value(L"bottom", [](W& w) -> PropertyValue { return w.y_ + static_cast<float>(w.height_); }),
        T::FloatReadOnly(L"last_x", [](W& w) { return &w.last_x; }).WithHandle(),
        T::FloatReadOnly(L"last_y", [](W& w) { return &w.last_y; }).WithHandle(),
        T::Value(L"center_x", [](W& w) -> PropertyValue { return w.x_ + w.width_ * 0.5f; }),
        T::Value(L"center_y", [](W& w) -> PropertyValue { return w.y_ + w.height_ * 0.5f; }),
        T::Value(L"abs_x",
                 [](W& w) -> PropertyValue {
                     return w.MapRectToScreen({0.0f, 0.0f, 1.0f, 1.0f}).x;
                 }),
        T::Value(L"abs_y",
                 [](W& w) -> PropertyValue {
                     return w.MapRectToScreen({0.0f, 0.0f, 1.0f, 1.0f}).y;
                 }),
        T::Value(L"width", [](W& w) -> PropertyValue { return w.width_; }),
        T::Value(L"height", [](W& w) -> PropertyValue { return w.height_; }),
        T::Value(L"depth", [](W& w) -> PropertyValue { return w.priority_; }),
        T::Float(
            L"opacity", [](W& w) { return &w.opacity; }, kColour)
            .WithHandle(),
        T::Float(
            L"angle", [](W& w) { return &w.angle; }, kTransform)
            .WithHandle(),
        T::Value(L"frame", [](W& w) -> PropertyValue { return w.animators_[0].frame; }),
        T::Float(
            L"frame_rate", [](W& w) { return &w.animators_[0].period; }, 0),
        T::FloatReadOnly(L"frame_timer", [](W& w) { return &w.animators_[0].timer; }),
        T::Float(
            L"scale_x", [](W& w) { return &w.scale_x; }, kTransform)
            .WithHandle(),
        T::Float(
            L"scale_y", [](W& w) { return &w.scale_y; }, kTransform)
            .WithHandle(),
        T::Value(L"flip_x", [](W& w) -> PropertyValue { return w.flipX_ != 1; }),
        T::Value(L"flip_y", [](W& w) -> PropertyValue { return w.flipY_ != 1; }),
        T::Float(
            L"abs_clip_x1", [](W& w) { return &w.abs_clip[0]; }, kClip),
        T::Float(
            L"abs_clip_y1", [](W& w) { return &w.abs_clip[1]; }, kClip),
        T::Float(
            L"abs_clip_x2", [](W& w) { return &w.abs_clip[2]; }, kClip),
        T::Float(
            L"abs_clip_y2", [](W& w) { return &w.abs_clip[3]; }, kClip),
        T::Float(
            L"rel_clip_x1", [](W& w) { return &w.rel_clip[0]; }, kClip),
        T::Float(
            L"rel_clip_y1", [](W& w) { return &w.rel_clip[1]; }, kClip),
        T::Float(
            L"rel_clip_x2", [](W& w) { return &w.rel_clip[2]; }, kClip),
        T::Float(
            L"rel_clip_y2", [](W& w) { return &w.rel_clip[3]; }, kClip),
        T::Float(
            L"timer", [](W& w) { return &w.timer; }, 0)
            .WithHandle(),
        T::Float(
            L"clock", [](W& w) { return &w.clock; }, 0),
        T::Value(L"changing", [](W& w) -> PropertyValue { return w.IsAnimating(); }),
        T::Value(L"image", [](W& w) { return PropertyValue::FromImage(w.image_); }),
        T::Value(L"id", [](W& w) { return PropertyValue(w.idText_); }),
        T::Value(L"mouse_visible", [](W& w) -> PropertyValue { return w.mouseVisible_; }),
        // Motion animates these; scripts do not read them by name.
        T::FloatWriteOnly(
            L"alpha", [](W& w) { return &w.alpha; }, kColour),
        T::FloatWriteOnly(
            L"red", [](W& w) { return &w.red; }, kColour),
        T::FloatWriteOnly(
            L"green", [](W& w) { return &w.green; }, kColour),
        T::FloatWriteOnly(
            L"blue", [](W& w) { return &w.blue; }, kColour),
        T::FloatWriteOnly(
            L"mask_frame_rate", [](W& w) { return &w.animators_[1].period; }, 0),
        T::FloatWriteOnly(
            L"shear_x", [](W& w) { return &w.shear_x; }, kTransform),
        T::FloatWriteOnly(
            L"shear_y", [](W& w) { return &w.shear_y; }, kTransform),
        T::FloatWriteOnly(
            L"shear_x_offset", [](W& w) { return &w.shear_x_offset; }, kTransform),
        T::FloatWriteOnly(
            L"shear_y_offset", [](W& w) { return &w.shear_y_offset; }, kTransform),
    };
    return table;
}

float* DynamicWidget::GetPropertyPtr(std::wstring_view name, uint32_t& mask) {
    return Properties().Field(*this, name, mask);
}

PropertyValue DynamicWidget::GetProperty(std::wstring_view name) {
    if (auto reader = Properties().FindReader(name)) return reader.Read(*this, fieldHandles_);
    return ExtendedPropertyInterface::GetProperty(name);
}

void DynamicWidget::PropertiesChanged(uint32_t mask) {
    if (mask == change_bit::kPosition && cache_ && !cache_->followPosition && parent_) {
        parent_->MarkDirty();
        return;
    }
    if (mask & change_bit::kTransform) transformDirty_ = true;
    if (mask != 0 && visible_ && (opacity > 0.0f || (mask & change_bit::kColour))) MarkDirty();
}

// --- Transform ----------------------------------------------------------------

const Transform& DynamicWidget::ComposeTransform() {
    if (!transformDirty_) return transform_;
    transform_ = Transform();
    hasTransform_ = false;
    const bool pivot = pivot_[0] != 0.0f || pivot_[1] != 0.0f || pivot_[2] != 0.0f;
    if (shear_x != 0.0f || shear_y != 0.0f) {
        transform_.ForceMatrix();
        Matrix4& m = transform_.matrix;
        m[1] = shear_x;
        m[4] = shear_y;
        m[3] = -shear_x * shear_y_offset;
        m[7] = -shear_y * shear_x_offset;
        hasTransform_ = true;
    }
    if (pivot) {
        transform_.Translate(pivot_[0], pivot_[1], pivot_[2]);
        hasTransform_ = true;
    }
    if (flipX_ != 1 || flipY_ != 1 || scale_x != 1.0f || scale_y != 1.0f) {
        transform_.Scale(scale_x * static_cast<float>(flipX_), scale_y * static_cast<float>(flipY_));
        hasTransform_ = true;
    }
    if (angle != 0.0f) {
        transform_.Rotate(angle, rotationAxis_[0], rotationAxis_[1], rotationAxis_[2]);
        hasTransform_ = true;
    }
    if (pivot) transform_.Translate(-pivot_[0], -pivot_[1], -pivot_[2]);
    if (z != 0.0f) {
        transform_.Translate(0.0f, 0.0f, z);
        hasTransform_ = true;
    }
    transformDirty_ = false;
    inverseDirty_ = true;
    return transform_;
}

const Matrix4& DynamicWidget::GetInverseMatrix() {
    if (transformDirty_ || inverseDirty_) {
        ComposeTransform();
        inverse_.SetIdentity();
        transform_.GetMatrix().Inverse(inverse_);
        inverseDirty_ = false;
    }
    return inverse_;
}

FRect DynamicWidget::ClipRectangle() const {
    // Script values may lie beyond any integer. An edge that far out clips
    // nothing; kept within 2^29, the width and the far edge stay exact in a
    // float and within an int when the drawing context takes them.
    // The limit is exact in a float, so comparing before the cast clamps as
    // saturating and then clamping would, without the wide comparisons a
    // saturating cast makes for eight edges of every widget drawn.
    static constexpr int32_t kFar = int32_t{1} << 29;
#if defined(__SSE2__)
    // Four edges at a time, each as the lines below work it: not a number is
    // 0 (the minimum gives the limit for it, the mask then 0), the rest are
    // clamped to the limits and truncated; the corners are intersected as
    // IntersectCornerRects does, lefts and tops by the larger, rights and
    // bottoms by the smaller.
    const __m128 far = _mm_set1_ps(static_cast<float>(kFar));
    auto edges = [far](__m128 v) {
        const __m128 clamped = _mm_max_ps(_mm_min_ps(v, far), _mm_sub_ps(_mm_setzero_ps(), far));
        return _mm_cvttps_epi32(_mm_and_ps(clamped, _mm_cmpord_ps(v, v)));
    };
    const __m128 at = _mm_setr_ps(x_, y_, x_, y_);
    const __m128i absolute = edges(_mm_sub_ps(_mm_loadu_ps(abs_clip.data()), at));
    const __m128i relative = edges(_mm_loadu_ps(rel_clip.data()));
    const __m128i takeAbsolute = _mm_xor_si128(_mm_cmpgt_epi32(absolute, relative), _mm_setr_epi32(0, 0, -1, -1));
    const __m128i corners =
        _mm_or_si128(_mm_and_si128(takeAbsolute, absolute), _mm_andnot_si128(takeAbsolute, relative));
    const __m128i farCorner = _mm_shuffle_epi32(corners, _MM_SHUFFLE(3, 2, 3, 2));
    if (_mm_movemask_ps(_mm_castsi128_ps(_mm_cmpgt_epi32(corners, farCorner))) & 3) return {};
    FRect r;
    _mm_storeu_ps(&r.x, _mm_cvtepi32_ps(_mm_unpacklo_epi64(corners, _mm_sub_epi32(farCorner, corners))));
    return r;
#else
    auto edge = [](float v) {
        constexpr float far = static_cast<float>(kFar);
        if (v != v) return int32_t{0};
        if (v >= far) return kFar;
        if (v <= -far) return -kFar;
        return static_cast<int32_t>(v);
    };
    CornerRect absolute{edge(abs_clip[0] - x_), edge(abs_clip[1] - y_), edge(abs_clip[2] - x_), edge(abs_clip[3] - y_)};
    CornerRect relative{edge(rel_clip[0]), edge(rel_clip[1]), edge(rel_clip[2]), edge(rel_clip[3])};
    const CornerRect c = IntersectCornerRects(absolute, relative);
    return {static_cast<float>(c.left), static_cast<float>(c.top), static_cast<float>(c.right - c.left),
            static_cast<float>(c.bottom - c.top)};
#endif
}
