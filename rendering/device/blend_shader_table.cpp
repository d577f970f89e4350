#include "rendering/device/blend_shader_table.h"

#include "rendering/device/d3d_interface.h"

namespace {

void DeleteProgram(DeviceShaderProgram* program) {
    if (!program) return;
    // A wrapper that has gone deleted every program still registered with it.
    D3DInterface* d3d = D3DInterface::Instance();
    if (d3d && d3d->HoldsShaderProgram(program)) delete program;
}

}  // namespace

BlendShaderTable::~BlendShaderTable() {
    for (auto& [mode, program] : programs_) DeleteProgram(program);
}

DeviceShaderProgram* BlendShaderTable::Find(int drawMode) { return programs_[drawMode]; }

void BlendShaderTable::Set(int drawMode, DeviceShaderProgram* program) {
    DeviceShaderProgram*& slot = programs_[drawMode];
    if (slot != program) DeleteProgram(slot);
    slot = program;
}
