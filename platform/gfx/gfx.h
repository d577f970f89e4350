#pragma once
// platform/gfx: the software stand-in for the Direct3D 9 device and the D3DX
// matrix helpers. It owns adapters and display modes (graphics_system.h), the
// device with its resources and state (device.h, resources.h, states.h), a
// rasterizer that draws by that device's rules (pixel centres on integers,
// top-left fill rule, perspective-correct attributes, point and bilinear
// sampling, blending with separate alpha, 8-bit stencil, scissor) and present
// to an SDL2 window; compiled vertex and pixel shaders replace the fixed
// stages (shader_objects.h).
// Promises: pixel results match the formulas of the device being replaced
// within one unit per 8-bit channel; every failure is a negative result, never
// a crash, for any arguments a caller can pass.
// Callers must not: use a resource after their last Release, lock a surface
// while drawing into it, or draw outside BeginScene/EndScene.
// Threads: nothing here is locked; one thread at a time (the engine holds its
// device lock around every call).

#include "platform/gfx/device.h"
#include "platform/gfx/formats.h"
#include "platform/gfx/gfx_types.h"
#include "platform/gfx/graphics_system.h"
#include "platform/gfx/matrix.h"
#include "platform/gfx/program.h"
#include "platform/gfx/recorder.h"
#include "platform/gfx/resources.h"
#include "platform/gfx/shader_objects.h"
#include "platform/gfx/states.h"
