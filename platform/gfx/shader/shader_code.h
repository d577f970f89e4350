#pragma once
// A compiled vertex or pixel program and the interpreter that runs it. The
// program is immutable once compiled, so one program may be run from several
// threads at a time; a run allocates nothing and keeps its registers on the
// stack.

#include <array>
#include <cstdint>
#include <vector>

#include "platform/gfx/shader/constant_table.h"
#include "platform/gfx/shader/shader_isa.h"

namespace plat {

// What flows into and out of a program. Colours are r, g, b, a in 0..1.
// A vertex program reads all four inputs and writes all four outputs; a
// pixel program reads the interpolated colour and texture coordinates and
// ignores position. Inputs a vertex stream lacks should be given as
// position (x, y, z, 1) and texture coordinates (u, v, 0, 1).
struct ShaderAttributes {
    float position[4] = {0, 0, 0, 1};
    float color[4] = {1, 1, 1, 1};
    float texcoord[2][4] = {{0, 0, 0, 1}, {0, 0, 0, 1}};
};

// The device's texture units, as a pixel program sees them.
class TextureSampler {
public:
    virtual ~TextureSampler() = default;
    // Fills rgba[i] with the colour of texture stage `stage` at (u[i], v[i])
    // for each of the four lanes i (lanes past a short batch repeat lane 0).
    virtual void Sample4(int stage, const float u[4], const float v[4], float rgba[4][4]) = 0;
};

enum class ShaderKind { Vertex, Pixel };

class ShaderCode {
public:
    ShaderCode(ShaderKind kind, std::vector<shader::Instruction> code, std::vector<std::array<float, 4>> literals,
               int registerCount, std::uint8_t inputsRead, std::uint8_t outputsWritten);

    ShaderKind Kind() const { return kind_; }
    std::size_t InstructionCount() const { return code_.size(); }

    // Runs a vertex program over count vertices. Outputs the program does not
    // write come back as (0, 0, 0, 1).
    void RunVertices(const ConstantRegisters& constants, const ShaderAttributes* in, ShaderAttributes* out,
                     int count) const;

    // Runs a pixel program over count interpolated inputs, sixteen at a time,
    // writing one r, g, b, a colour per pixel. Colours are not clamped.
    void RunPixels(const ConstantRegisters& constants, const ShaderAttributes* in, int count, TextureSampler& sampler,
                   float (*rgba)[4]) const;

private:
    // Runs one batch: all register lanes when count fills them, else up to
    // four. Returns how many items it took.
    int RunBatch(shader::LaneRegister* frame, const ConstantRegisters& constants, const ShaderAttributes* in, int count,
                 TextureSampler* sampler) const;

    ShaderKind kind_;
    std::vector<shader::Instruction> code_;
    std::vector<std::array<float, 4>> literals_;
    int registerCount_;
    std::uint8_t inputsRead_;      // bit per input slot
    std::uint8_t outputsWritten_;  // bit per output slot (position, colour, tex0, tex1)
};

}  // namespace plat
