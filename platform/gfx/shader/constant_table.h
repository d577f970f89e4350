#pragma once
// The named uniforms of one compiled shader and how their values reach the
// constant registers the program reads. A handle is a pointer into the table
// that made it and stays valid as long as that table lives; a handle from
// another table is refused.

#include <array>
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace plat {

// One stage's float4 constant registers, as the device keeps them. A pixel
// program reads c0..c31, a vertex program c0..c255.
struct ConstantRegisters {
    static constexpr int kCount = 256;
    float value[kCount][4] = {};
};

enum class ConstantKind { Scalar, Vector, Matrix, Sampler };

struct ShaderConstant {
    std::string name;
    ConstantKind kind = ConstantKind::Scalar;
    int columns = 1;        // components of a scalar or vector; 4 for a matrix
    int rows = 1;           // 4 for a matrix
    int registerIndex = 0;  // first float4 register, or the sampler stage
    int registerCount = 1;  // a matrix takes one register per column
    bool hasDefault = false;
    std::array<float, 16> defaults{};  // row by row, as written in the source
};

using ConstantHandle = const ShaderConstant*;

class ConstantTable {
public:
    ConstantTable() = default;
    explicit ConstantTable(std::vector<ShaderConstant> constants);

    // The constant of that name (case-sensitive), or null.
    ConstantHandle GetConstantByName(std::string_view name) const;
    const std::vector<ShaderConstant>& Constants() const { return constants_; }

    // Writes the initial values written in the source into the registers.
    void SetDefaults(ConstantRegisters& registers) const;

    // Copies floats from bytes into the constant's registers, as many as the
    // constant holds; a matrix is read row by row. False for a null or
    // foreign handle, a sampler, or fewer than four bytes.
    bool SetValue(ConstantRegisters& registers, ConstantHandle handle, const void* bytes, std::size_t byteCount) const;

    // The texture stage a sampler reads, or -1 when the handle is no sampler.
    int GetSamplerIndex(ConstantHandle handle) const;

private:
    bool Owns(ConstantHandle handle) const;

    std::vector<ShaderConstant> constants_;
};

}  // namespace plat
