#include "rendering/shader/blend_shaders.h"

#include "rendering/device/draw_state.h"
#include "rendering/shader/shader_program.h"

void LoadBlendShaders(BlendShaderTable& table) {
    static constexpr struct {
        int mode;
        const char* name;
    } kShaders[] = {{kDrawMultiply, "multiply"}, {kDrawOverlay, "overlay"}, {kDrawSoftlight, "softlight"}};
    for (const auto& shader : kShaders) {
        if (!table.Find(shader.mode)) table.Set(shader.mode, LoadHlslShader(shader.name));
    }
}
