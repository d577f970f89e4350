#pragma once
// Shader compilation for the software device: a compiler for the small HLSL
// subset the game's shader files are written in, for the "ps_2_0" and
// "vs_2_0" profiles. It owns nothing global and may be called from any thread.
//
// Compile once with CompileShader(source, entry, profile). On success the
// result holds the program (ShaderCode) and its named uniforms
// (ConstantTable); on failure only error text of the form "line N: ...".
// Warnings count as errors, so a shader that compiles is exactly one whose
// meaning is certain.
//
// At draw time the device keeps one ConstantRegisters per stage, fills it
// through ConstantTable::SetDefaults / SetValue, and then calls
// ShaderCode::RunVertices per batch of vertices, or ShaderCode::RunPixels
// per batch of pixels with a TextureSampler of its own that answers "the
// colour of stage s at (u, v)". A pixel program reads COLOR0, TEXCOORD0 and
// TEXCOORD1 of ShaderAttributes and returns r, g, b, a; a vertex program maps
// POSITION, COLOR0, TEXCOORD0 and TEXCOORD1 to the same four outputs.

#include <memory>
#include <string>
#include <string_view>

#include "platform/gfx/shader/constant_table.h"
#include "platform/gfx/shader/shader_code.h"

namespace plat {

struct CompiledShader {
    std::unique_ptr<ShaderCode> code;
    std::unique_ptr<ConstantTable> constants;
    std::string errors; // empty on success

    bool Ok() const { return code != nullptr; }
};

CompiledShader CompileShader(std::string_view source, std::string_view entry,
                             std::string_view profile);

} // namespace plat
