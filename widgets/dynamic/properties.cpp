// The named properties: float fields for writers, values for scripts, and the
// refresh after a write.

#include <algorithm>
#include <cstddef>

#include "foundation/values/saturate.h"
#include "rendering/image/image.h"
#include "widgets/dynamic/dynamic_widget.h"

float* DynamicWidget::GetPropertyPtr(std::wstring_view name, uint32_t& mask) {
    float* field = nullptr;
    uint32_t bits = 0;
    auto is = [&](std::wstring_view n, float* f, uint32_t b) {
        if (field || name != n) return;
        field = f;
        bits = b;
    };
    is(L"x", &x_, change_bit::kPosition);
    is(L"y", &y_, change_bit::kPosition);
    is(L"z", &z, change_bit::kTransform);
    is(L"angle", &angle, change_bit::kTransform);
    is(L"scale_x", &scale_x, change_bit::kTransform);
    is(L"scale_y", &scale_y, change_bit::kTransform);
    is(L"opacity", &opacity, change_bit::kColour);
    is(L"alpha", &alpha, change_bit::kColour);
    is(L"red", &red, change_bit::kColour);
    is(L"green", &green, change_bit::kColour);
    is(L"blue", &blue, change_bit::kColour);
    is(L"frame_rate", &animators_[0].period, 0);
    is(L"mask_frame_rate", &animators_[1].period, 0);
    is(L"abs_clip_x1", &abs_clip[0], change_bit::kClip);
    is(L"abs_clip_y1", &abs_clip[1], change_bit::kClip);
    is(L"abs_clip_x2", &abs_clip[2], change_bit::kClip);
    is(L"abs_clip_y2", &abs_clip[3], change_bit::kClip);
    is(L"rel_clip_x1", &rel_clip[0], change_bit::kClip);
    is(L"rel_clip_y1", &rel_clip[1], change_bit::kClip);
    is(L"rel_clip_x2", &rel_clip[2], change_bit::kClip);
    is(L"rel_clip_y2", &rel_clip[3], change_bit::kClip);
    is(L"clock", &clock, 0);
    is(L"timer", &timer, 0);
    is(L"shear_x", &shear_x, change_bit::kTransform);
    is(L"shear_y", &shear_y, change_bit::kTransform);
    is(L"shear_x_offset", &shear_x_offset, change_bit::kTransform);
    is(L"shear_y_offset", &shear_y_offset, change_bit::kTransform);
    if (field) mask |= bits;
    return field;
}

float* DynamicWidget::FieldFromHandle(int handle) {
    float* const fields[] = {&x_, &y_, &opacity, &angle, &scale_x, &scale_y, &timer, &last_x, &last_y};
    if (handle < 1 || handle > static_cast<int>(std::size(fields))) return nullptr;
    return fields[handle - 1];
}

PropertyValue DynamicWidget::GetProperty(std::wstring_view name) {
    if (name == L"x") return x_;
    if (name == L"y") return y_;
    if (name == L"z") return z;
    if (name == L"right") return x_ + static_cast<float>(width_);
    if (name == L"bottom") return y_ + static_cast<float>(height_);
    if (name == L"last_x") return last_x;
    if (name == L"last_y") return last_y;
    if (name == L"center_x") return x_ + width_ * 0.5f;
    if (name == L"center_y") return y_ + height_ * 0.5f;
    if (name == L"abs_x" || name == L"abs_y") {
        const FRect r = MapRectToScreen({0.0f, 0.0f, 1.0f, 1.0f});
        return name == L"abs_x" ? r.x : r.y;
    }
    if (name == L"width") return width_;
    if (name == L"height") return height_;
    if (name == L"depth") return priority_;
    if (name == L"opacity") return opacity;
    if (name == L"angle") return angle;
    if (name == L"frame") return animators_[0].frame;
    if (name == L"frame_rate") return animators_[0].period;
    if (name == L"frame_timer") return animators_[0].timer;
    if (name == L"scale_x") return scale_x;
    if (name == L"scale_y") return scale_y;
    if (name == L"flip_x") return flip_x_ != 1;
    if (name == L"flip_y") return flip_y_ != 1;
    static constexpr std::wstring_view kClipNames[8] = {L"abs_clip_x1", L"abs_clip_y1", L"abs_clip_x2",
                                                        L"abs_clip_y2", L"rel_clip_x1", L"rel_clip_y1",
                                                        L"rel_clip_x2", L"rel_clip_y2"};
    for (size_t i = 0; i < 8; ++i)
        if (name == kClipNames[i]) return i < 4 ? abs_clip[i] : rel_clip[i - 4];
    if (name == L"timer") return timer;
    if (name == L"clock") return clock;
    if (name == L"changing") return IsAnimating();
    // Field handles rather than addresses: an address does not fit an Int.
    static constexpr std::wstring_view kPtrNames[9] = {L"x_ptr",       L"y_ptr",       L"opacity_ptr",
                                                       L"angle_ptr",   L"scale_x_ptr", L"scale_y_ptr",
                                                       L"timer_ptr",   L"last_x_ptr",  L"last_y_ptr"};
    for (size_t i = 0; i < 9; ++i)
        if (name == kPtrNames[i]) return static_cast<int>(i + 1);
    if (name == L"image") return PropertyValue::FromImage(image_);
    if (name == L"id") return PropertyValue(id_text_);
    if (name == L"mouse_visible") return mouse_visible_;
    return ExtendedPropertyInterface::GetProperty(name);
}

void DynamicWidget::PropertiesChanged(uint32_t mask) {
    if (mask == change_bit::kPosition && cache_ && !cache_->followPosition && parent_) {
        parent_->MarkDirty();
        return;
    }
    if (mask & change_bit::kTransform) transform_dirty_ = true;
    if (mask != 0 && visible_ && (opacity > 0.0f || (mask & change_bit::kColour))) MarkDirty();
}

// --- Transform ----------------------------------------------------------------

const Transform& DynamicWidget::ComposeTransform() {
    if (!transform_dirty_) return transform_;
    transform_ = Transform();
    has_transform_ = false;
    const bool pivot = pivot_[0] != 0.0f || pivot_[1] != 0.0f || pivot_[2] != 0.0f;
    if (shear_x != 0.0f || shear_y != 0.0f) {
        transform_.ForceMatrix();
        Matrix4& m = transform_.matrix;
        m[1] = shear_x;
        m[4] = shear_y;
        m[3] = -shear_x * shear_y_offset;
        m[7] = -shear_y * shear_x_offset;
        has_transform_ = true;
    }
    if (pivot) {
        transform_.Translate(pivot_[0], pivot_[1], pivot_[2]);
        has_transform_ = true;
    }
    if (flip_x_ != 1 || flip_y_ != 1 || scale_x != 1.0f || scale_y != 1.0f) {
        transform_.Scale(scale_x * static_cast<float>(flip_x_), scale_y * static_cast<float>(flip_y_));
        has_transform_ = true;
    }
    if (angle != 0.0f) {
        transform_.Rotate(angle, rotation_axis_[0], rotation_axis_[1], rotation_axis_[2]);
        has_transform_ = true;
    }
    if (pivot) transform_.Translate(-pivot_[0], -pivot_[1], -pivot_[2]);
    if (z != 0.0f) {
        transform_.Translate(0.0f, 0.0f, z);
        has_transform_ = true;
    }
    transform_dirty_ = false;
    inverse_dirty_ = true;
    return transform_;
}

const Matrix4& DynamicWidget::GetInverseMatrix() {
    if (transform_dirty_ || inverse_dirty_) {
        ComposeTransform();
        inverse_.SetIdentity();
        transform_.GetMatrix().Inverse(inverse_);
        inverse_dirty_ = false;
    }
    return inverse_;
}

FRect DynamicWidget::ClipRectangle() const {
    // Script values may lie beyond any integer. An edge that far out clips
    // nothing; kept within 2^29, the width and the far edge stay exact in a
    // float and within an int when the drawing context takes them.
    static constexpr int32_t kFar = int32_t{1} << 29;
    auto edge = [](float v) { return std::clamp(SaturateCast<int32_t>(v), -kFar, kFar); };
    CornerRect absolute{edge(abs_clip[0] - x_), edge(abs_clip[1] - y_), edge(abs_clip[2] - x_),
                        edge(abs_clip[3] - y_)};
    CornerRect relative{edge(rel_clip[0]), edge(rel_clip[1]), edge(rel_clip[2]), edge(rel_clip[3])};
    const CornerRect c = IntersectCornerRects(absolute, relative);
    return {static_cast<float>(c.left), static_cast<float>(c.top), static_cast<float>(c.right - c.left),
            static_cast<float>(c.bottom - c.top)};
}
