#pragma once
// A scaled image's rows of samples, kept for later draws that sample the
// same columns of the same texels. An image scaled by an animation, as the
// warning pulsing over each building cut off from the gate is, takes a few
// sizes over and over, several copies at one size in a frame and the same
// sizes frame after frame: a draw at a size drawn before reads its rows
// instead of sampling them again.
//
// Owns: for a few column plans at a time (the one used longest ago gives way
// to a new one), a row of samples for each texel row of the texture, made as
// draws first need them, under the weight down they were made at.
// Promises: a kept row holds the bits ScaledRows gives for the same columns
// and row coordinate; a plan's rows are dropped when the texels change. A
// row handed out to a draw is not made over again within that draw.
// Threads: the device's thread only, as every draw.

#include <cstdint>
#include <span>
#include <vector>

#include "platform/gfx/sampler.h"

namespace plat {

class ScaledImages {
public:
    // Marks the start of a draw sampling `s`'s texels, at `version`, at the
    // 16.16 column coordinates `u`. False, and nothing kept for the draw,
    // when its rows would take more room than a plan is given.
    bool BeginDraw(const SamplerSetup& s, uint64_t version, std::span<const int32_t> u);

    struct Row {
        uint32_t* samples = nullptr;  // null: not kept (the caller samples the row itself)
        bool made = false;            // false: the caller makes the samples there now
    };
    // The draw's samples at row coordinate v (16.16): made by an earlier
    // draw or row, or the place for the caller to make them in, taken as
    // made from then on.
    Row At(int32_t v);

    // Plans kept at once: the warnings' sizes in a busy park, one plan each,
    // come back every frame (with 32, a quarter of their draws made their
    // rows again).
    static constexpr int kPlans = 64;
    // Samples a plan keeps at most (16 KB): an icon's, not a picture's.
    static constexpr int kMostSamples = 4096;

private:
    struct Key {
        uint64_t version = ~uint64_t{0};
        const uint32_t* pixels = nullptr;
        int width = 0, height = 0, pitch = 0;
        bool wrapU = false, wrapV = false;
        bool operator==(const Key&) const = default;
    };
    // What a kept row was made at.
    struct Made {
        uint64_t draw = 0;    // the draw that made it (0: none)
        uint32_t weight = 0;  // its weight down
    };
    struct Plan {
        Key key;
        std::vector<int32_t> u;
        // Row c + 1 holds the samples blending texel rows c and c + 1 (c
        // from -1 to the last), u.size() of them.
        std::vector<uint32_t> samples;
        std::vector<Made> made;
        uint64_t lastUsed = 0;
    };
    std::vector<Plan> plans_;
    Plan* current_ = nullptr;
    uint64_t draws_ = 0;
};

}  // namespace plat
