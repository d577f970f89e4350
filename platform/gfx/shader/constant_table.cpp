#include "platform/gfx/shader/constant_table.h"

#include <algorithm>
#include <cstring>
#include <functional>

namespace plat {

ConstantTable::ConstantTable(std::vector<ShaderConstant> constants) : constants_(std::move(constants)) {}

ConstantHandle ConstantTable::GetConstantByName(std::string_view name) const {
    for (const ShaderConstant& c : constants_) {
        if (c.name == name) return &c;
    }
    return nullptr;
}

bool ConstantTable::Owns(ConstantHandle handle) const {
    if (handle == nullptr || constants_.empty()) return false;
    // Compare addresses through std::less: a handle from another table
    // points into unrelated storage.
    std::less<const ShaderConstant*> before;
    return !before(handle, constants_.data()) && before(handle, constants_.data() + constants_.size());
}

namespace {

// Writes floats, given row by row, into the registers of one constant.
// Matrices are kept one column per register, so element (row, col) goes to
// register base + col, component row.
void Store(ConstantRegisters& registers, const ShaderConstant& c, const float* values, std::size_t count) {
    const std::size_t capacity = static_cast<std::size_t>(c.rows * c.columns);
    count = std::min(count, capacity);
    for (std::size_t i = 0; i < count; ++i) {
        const int row = static_cast<int>(i) / c.columns;
        const int col = static_cast<int>(i) % c.columns;
        const int reg = c.kind == ConstantKind::Matrix ? c.registerIndex + col : c.registerIndex;
        const int comp = c.kind == ConstantKind::Matrix ? row : col;
        if (reg >= 0 && reg < ConstantRegisters::kCount) registers.value[reg][comp] = values[i];
    }
}

}  // namespace

void ConstantTable::SetDefaults(ConstantRegisters& registers) const {
    for (const ShaderConstant& c : constants_) {
        if (c.hasDefault && c.kind != ConstantKind::Sampler) {
            Store(registers, c, c.defaults.data(), c.defaults.size());
        }
    }
}

bool ConstantTable::SetValue(ConstantRegisters& registers, ConstantHandle handle, const void* bytes,
                             std::size_t byteCount) const {
    if (!Owns(handle) || handle->kind == ConstantKind::Sampler) return false;
    if (bytes == nullptr || byteCount < sizeof(float)) return false;
    float values[16];
    const std::size_t count = std::min<std::size_t>(byteCount / sizeof(float), 16);
    std::memcpy(values, bytes, count * sizeof(float));
    Store(registers, *handle, values, count);
    return true;
}

int ConstantTable::GetSamplerIndex(ConstantHandle handle) const {
    if (!Owns(handle) || handle->kind != ConstantKind::Sampler) return -1;
    return handle->registerIndex;
}

}  // namespace plat
