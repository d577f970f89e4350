#include "rendering/shader/blend_shaders.h"

#include "rendering/device/d3d_interface.h"
#include "rendering/shader/shader_program.h"

namespace {

void DeleteProgram(ShaderProgram* program) {
    if (!program) return;
    // A wrapper that has gone deleted every program still registered with it.
    D3DInterface* d3d = D3DInterface::Instance();
    if (d3d && d3d->HoldsShaderProgram(program)) delete program;
}

}  // namespace

BlendShaderTable::~BlendShaderTable() {
    for (auto& [mode, program] : programs_) DeleteProgram(program);
}

ShaderProgram* BlendShaderTable::Find(int drawMode) { return programs_[drawMode]; }

void BlendShaderTable::Set(int drawMode, ShaderProgram* program) {
    ShaderProgram*& slot = programs_[drawMode];
    if (slot != program) DeleteProgram(slot);
    slot = program;
}

void LoadBlendShaders(BlendShaderTable& table) {
    static constexpr struct {
        int mode;
        const char* name;
    } kShaders[] = {{kDrawMultiply, "multiply"}, {kDrawOverlay, "overlay"}, {kDrawSoftlight, "softlight"}};
    for (const auto& shader : kShaders) {
        if (!table.Find(shader.mode)) table.Set(shader.mode, LoadHlslShader(shader.name));
    }
}
