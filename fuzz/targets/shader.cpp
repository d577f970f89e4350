// The shader compiler: the input is a shader file, compiled as the engine
// compiles its shader files, "PS" as ps_2_0 and "VS" as vs_2_0. Whatever
// compiles is run over a few pixels or vertices with its constants' initial
// values and a sampler that answers a fixed gradient.
#include <string_view>

#include "fuzz/harness.h"
#include "platform/gfx/shader/shader.h"

namespace {

class GradientSampler : public plat::TextureSampler {
public:
    void Sample4(int stage, const float u[4], const float v[4], float rgba[4][4]) override {
        for (int l = 0; l < 4; ++l) {
            rgba[l][0] = u[l];
            rgba[l][1] = v[l];
            rgba[l][2] = static_cast<float>(stage) * 0.5f;
            rgba[l][3] = 1.0f - u[l] * 0.5f;
        }
    }
};

constexpr int kCount = 21;  // a batch of sixteen and a short one

void Fill(plat::ShaderAttributes (&in)[kCount]) {
    for (int i = 0; i < kCount; ++i) {
        const float f = static_cast<float>(i) / kCount;
        in[i].position[0] = f * 100 - 20;
        in[i].position[1] = 50 - f * 30;
        in[i].color[0] = f;
        in[i].color[3] = 1 - f;
        in[i].texcoord[0][0] = in[i].texcoord[1][1] = f;
        in[i].texcoord[0][1] = in[i].texcoord[1][0] = 1 - f;
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view source(reinterpret_cast<const char*>(data), size);
    plat::ShaderAttributes in[kCount];
    Fill(in);

    plat::CompiledShader pixel = plat::CompileShader(source, "PS", "ps_2_0");
    if (pixel.Ok()) {
        plat::ConstantRegisters constants;
        pixel.constants->SetDefaults(constants);
        GradientSampler sampler;
        float rgba[kCount][4];
        pixel.code->RunPixels(constants, in, kCount, sampler, rgba);
        fuzz::Keep(rgba[kCount - 1][3]);
    }

    plat::CompiledShader vertex = plat::CompileShader(source, "VS", "vs_2_0");
    if (vertex.Ok()) {
        plat::ConstantRegisters constants;
        vertex.constants->SetDefaults(constants);
        plat::ShaderAttributes out[kCount];
        vertex.code->RunVertices(constants, in, out, kCount);
        fuzz::Keep(out[kCount - 1].position[3]);
    }
    return 0;
}
