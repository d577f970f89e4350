#pragma once
// A row of texels times a row of colours: out[i] = ModulateArgb(a[i], b[i]),
// the same bits. `out` may be `a` or `b`.

#include <cstdint>

namespace plat {

void ModulateRow(const uint32_t* a, const uint32_t* b, uint32_t* out, int n);

}  // namespace plat
