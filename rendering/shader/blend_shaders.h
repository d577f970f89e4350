#pragma once
// Fills a blend-shader table (rendering/device/blend_shader_table.h; the
// device wrapper's own is D3DInterface::GetBlendShaders) with the game's
// multiply, overlay and softlight shaders once the device has started.
// Threads: the main thread.

#include "rendering/device/blend_shader_table.h"

// Fills the multiply, overlay and softlight modes from
// "properties/multiply.hlsl", "properties/overlay.hlsl" and
// "properties/softlight.hlsl". Called after every device start; a mode that
// already has its program keeps it (programs make themselves again after a
// device loss), so recovering from a lost device loads nothing twice.
void LoadBlendShaders(BlendShaderTable& table);
