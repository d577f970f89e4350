#pragma once
// Doubles for the dynamic widget's tests: images with known pixels in system
// memory, and controllers, oscillations and clamps that write one field in
// a way the test can follow.

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "rendering/image/image_surface.h"
#include "widgets/dynamic/dynamic_widget.h"

namespace testsupport {

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
    return MakeImage(
        w, h, [argb](int, int) { return argb; }, rows, cols);
}

// Adds `step` per update unit to a field; finished after `life` units.
// Counts as animating while it lives.
class StepController : public Controller {
public:
    StepController(std::wstring name, DynamicWidget* widget, float* field, float step, float life,
                   int* destroyed = nullptr)
        : Controller(std::move(name), widget, nullptr, true, 0),
          field_(field),
          step_(step),
          life_(life),
          destroyed_(destroyed) {}
    ~StepController() override {
        if (destroyed_) ++*destroyed_;
    }
    bool Update(float x) override {
        *field_ += step_ * x;
        life_ -= x;
        return life_ <= 0.0f;
    }

private:
    float* field_;
    float step_;
    float life_;
    int* destroyed_;
};

// A wave that stands still at one value.
class ConstantWave : public OscillatingCurve {
public:
    explicit ConstantWave(double value) : value_(value) {}
    double Evaluate(double) override { return value_; }

private:
    double value_;
};

// Adds a constant offset while applied.
class ConstantOscillation : public Oscillation {
public:
    ConstantOscillation(std::wstring name, float* field, float offset)
        : Oscillation(std::move(name), nullptr, 1.0f, 0.0, std::make_unique<ConstantWave>(1.0), 0, {{field, offset}}) {}
};

class RangeClamp : public Clamp {
public:
    RangeClamp(std::wstring name, float* field, float lo, float hi)
        : Clamp(std::move(name), nullptr, {{field, lo, hi}}) {}
};

}  // namespace testsupport
