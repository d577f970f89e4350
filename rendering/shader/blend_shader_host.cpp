#include "rendering/shader/blend_shader_host.h"

namespace {

BlendShaderHost* g_installed = nullptr;

}  // namespace

BlendShaderHost::BlendShaderHost() { g_installed = this; }

BlendShaderHost::~BlendShaderHost() {
    if (g_installed == this) g_installed = nullptr;
}

BlendShaderHost* BlendShaderHost::Installed() { return g_installed; }

DeviceShaderProgram* FindBlendShader(int drawMode) {
    return g_installed ? g_installed->FindBlendShader(drawMode) : nullptr;
}
