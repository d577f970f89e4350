#pragma once
// Shader compilation for the software device: a compiler for the HLSL subset
// the game's shader files use, "ps_2_0" and "vs_2_0" profiles. No global
// state; any thread may compile. CompileShader(source, entry, profile) gives
// the program (ShaderCode) and its named uniforms (ConstantTable), or only
// error text "line N: ..."; warnings count as errors.
//
// Device side: keep one ConstantRegisters per stage, fill it through
// ConstantTable::SetDefaults / SetValue (handles from GetConstantByName),
// then call ShaderCode::RunVertices per batch of vertices (POSITION, COLOR0,
// TEXCOORD0, TEXCOORD1 in and out), or ShaderCode::RunPixels per span of
// interpolated pixels with a TextureSampler of your own that answers "colour
// of stage s at (u, v)"; it returns r, g, b, a per pixel, unclamped. Runs
// allocate nothing. Fill a program's registers only through its own table.

#include <memory>
#include <string>
#include <string_view>

#include "platform/gfx/shader/constant_table.h"
#include "platform/gfx/shader/shader_code.h"

namespace plat {

struct CompiledShader {
    std::unique_ptr<ShaderCode> code;
    std::unique_ptr<ConstantTable> constants;
    std::string errors;  // empty on success

    bool Ok() const { return code != nullptr; }
};

CompiledShader CompileShader(std::string_view source, std::string_view entry, std::string_view profile);

}  // namespace plat
