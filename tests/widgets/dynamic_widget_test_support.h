#pragma once
// Doubles for the dynamic widget's tests: images with known pixels in system
// memory, and controllers, oscillations and clamps that write one field in
// a way the test can follow.

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "rendering/image_surface.h"
#include "widgets/dynamic_widget.h"

namespace dyntest {

// A w x h image of rows x cols cels; `pixel` gives each pixel (premultiplied).
inline std::unique_ptr<ImageSurface> MakeImage(int w, int h, const std::function<uint32_t(int, int)>& pixel,
                                               int rows = 1, int cols = 1) {
    auto image = std::make_unique<ImageSurface>(false);
    std::vector<uint32_t> px(static_cast<size_t>(w) * h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) px[static_cast<size_t>(y) * w + x] = pixel(x, y);
    image->SetBits(px.data(), w, h, false);
    image->premultiplied = true;
    image->SetRowsCols(rows, cols);
    return image;
}

inline std::unique_ptr<ImageSurface> SolidImage(int w, int h, uint32_t argb, int rows = 1, int cols = 1) {
    return MakeImage(w, h, [argb](int, int) { return argb; }, rows, cols);
}

// Adds `step` per update unit to a field; finished after `life` units.
// Counts itself in the widget's controller count while it lives.
class StepController : public Controller {
public:
    StepController(DynamicWidget* widget, float* field, float step, float life, int* destroyed = nullptr)
        : widget_(widget), field_(field), step_(step), life_(life), destroyed_(destroyed) {
        widget_->AddControllerCount(1);
    }
    ~StepController() override {
        widget_->AddControllerCount(-1);
        if (destroyed_) ++*destroyed_;
    }
    bool Update(float x) override {
        *field_ += step_ * x;
        life_ -= x;
        return life_ <= 0.0f;
    }

private:
    DynamicWidget* widget_;
    float* field_;
    float step_;
    float life_;
    int* destroyed_;
};

// Adds a constant offset while applied.
class ConstantOscillation : public Oscillation {
public:
    ConstantOscillation(float* field, float offset) : field_(field), offset_(offset) {}
    void Apply(float) override {
        *field_ += offset_;
        applied_ = true;
    }
    void Remove() override {
        if (applied_) *field_ -= offset_;
        applied_ = false;
    }

private:
    float* field_;
    float offset_;
    bool applied_ = false;
};

class RangeClamp : public Clamp {
public:
    RangeClamp(float* field, float lo, float hi) : field_(field), lo_(lo), hi_(hi) {}
    void Apply() override {
        applied_ = true;
        saved_ = *field_;
        if (*field_ < lo_) *field_ = lo_;
        if (*field_ > hi_) *field_ = hi_;
    }
    void Remove() override {
        if (applied_) *field_ = saved_;
        applied_ = false;
    }

private:
    float* field_;
    float lo_, hi_;
    float saved_ = 0.0f;
    bool applied_ = false;
};

}  // namespace dyntest
