#pragma once
// The game's blend shaders (multiply, overlay, softlight) as their tests see
// them: where their sources are, and the compositing they must match, worked
// out here on straight colours and never through the code under test:
//   result = Sa*Da*B(s, d) + S*(1 - Da) + D*(1 - Sa),  alpha = Sa + Da - Sa*Da
// where S and D are premultiplied and s = S/Sa, d = D/Da the straight colours.

#include <fstream>
#include <ostream>
#include <sstream>
#include <string>

#include "tests/support/pixels.h"

namespace testsupport {

// Straight-colour blend functions B(s, d), one channel.
inline float MultiplyBlend(float s, float d) { return s * d; }
inline float OverlayBlend(float s, float d) { return d < 0.5f ? 2 * s * d : 1 - 2 * (1 - s) * (1 - d); }
inline float SoftLightBlend(float s, float d) { return (1 - 2 * s) * d * d + 2 * s * d; }

struct BlendMode {
    const char* name;  // also the shader's file name in data/properties
    float (*blend)(float s, float d);
};

inline void PrintTo(const BlendMode& mode, std::ostream* os) { *os << mode.name; }

inline constexpr BlendMode kGameBlendModes[] = {
    {"multiply", MultiplyBlend}, {"overlay", OverlayBlend}, {"softlight", SoftLightBlend}};

// The blend of premultiplied source S over premultiplied destination D.
inline Color4 BlendOver(float (*blend)(float s, float d), const Color4& S, const Color4& D) {
    Color4 out{};
    const float sa = S[3];
    const float da = D[3];
    for (int c = 0; c < 3; ++c) {
        const float s = sa > 0 ? S[c] / sa : 0.0f;
        const float d = da > 0 ? D[c] / da : 0.0f;
        out[c] = sa * da * blend(s, d) + S[c] * (1 - da) + D[c] * (1 - sa);
    }
    out[3] = sa + da - sa * da;
    return out;
}

// The source of the game's shader "data/properties/<name>.hlsl"; empty when it is missing.
inline std::string ReadGameShader(const std::string& name) {
    std::ifstream file(std::string(HALVARO_SOURCE_DIR) + "/data/properties/" + name + ".hlsl");
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
}

}  // namespace testsupport
