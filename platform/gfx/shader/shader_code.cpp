#include "platform/gfx/shader/shader_code.h"

#include <algorithm>
#include <cmath>

namespace plat {

using namespace shader;

namespace {

using Lanes4 = float[4][kLanes]; // [component][lane]

// Reads the components of one operand that an instruction needs, after
// swizzle and negation, for all four lanes.
inline void Fetch(const Operand& o, std::uint8_t need, const LaneRegister* frame,
                  const float (*constants)[4], const std::array<float, 4>* literals,
                  Lanes4& out) {
    const float sign = o.negate ? -1.0f : 1.0f;
    if (o.file == File::Temp) {
        const float(&reg)[4][kLanes] = frame[o.index].c;
        for (int c = 0; c < 4; ++c) {
            if (!(need & (1 << c))) continue;
            const float* s = reg[o.swizzle[c]];
            for (int l = 0; l < kLanes; ++l) out[c][l] = sign * s[l];
        }
        return;
    }
    const float* v = o.file == File::Constant ? constants[o.index] : literals[o.index].data();
    for (int c = 0; c < 4; ++c) {
        if (!(need & (1 << c))) continue;
        const float x = sign * v[o.swizzle[c]];
        for (int l = 0; l < kLanes; ++l) out[c][l] = x;
    }
}

// Applies f per written component and lane.
template <typename F>
inline void PerComponent(std::uint8_t mask, float (&dest)[4][kLanes], F f) {
    for (int c = 0; c < 4; ++c) {
        if (!(mask & (1 << c))) continue;
        for (int l = 0; l < kLanes; ++l) dest[c][l] = f(c, l);
    }
}

inline void Dot(int n, std::uint8_t mask, const Lanes4& a, const Lanes4& b,
                float (&dest)[4][kLanes]) {
    float sum[kLanes] = {};
    for (int c = 0; c < n; ++c) {
        for (int l = 0; l < kLanes; ++l) sum[l] += a[c][l] * b[c][l];
    }
    PerComponent(mask, dest, [&](int, int l) { return sum[l]; });
}

float PowAbs(float x, float y) { return std::pow(std::fabs(x), y); }

} // namespace

ShaderCode::ShaderCode(ShaderKind kind, std::vector<Instruction> code,
                       std::vector<std::array<float, 4>> literals, int registerCount,
                       std::uint8_t inputsRead, std::uint8_t outputsWritten)
    : kind_(kind), code_(std::move(code)), literals_(std::move(literals)),
      registerCount_(std::clamp(registerCount, int(kFirstFreeRegister), kMaxRegisters)),
      inputsRead_(inputsRead), outputsWritten_(outputsWritten) {}

void ShaderCode::Execute(Register* frame, const ConstantRegisters& constants,
                         TextureSampler* sampler) const {
    const LaneRegister* regs = frame;
    const std::array<float, 4>* literals = literals_.data();
    for (const Instruction& ins : code_) {
        Lanes4 a, b, c;
        if (ins.sourceCount > 0) Fetch(ins.src[0], ins.readMask, regs, constants.value, literals, a);
        if (ins.sourceCount > 1) Fetch(ins.src[1], ins.readMask, regs, constants.value, literals, b);
        if (ins.sourceCount > 2) Fetch(ins.src[2], ins.readMask, regs, constants.value, literals, c);
        float(&d)[4][kLanes] = frame[ins.dest].c;
        const std::uint8_t m = ins.writeMask;
        switch (ins.op) {
        case Op::Mov: PerComponent(m, d, [&](int i, int l) { return a[i][l]; }); break;
        case Op::Add: PerComponent(m, d, [&](int i, int l) { return a[i][l] + b[i][l]; }); break;
        case Op::Mul: PerComponent(m, d, [&](int i, int l) { return a[i][l] * b[i][l]; }); break;
        case Op::Div: PerComponent(m, d, [&](int i, int l) { return a[i][l] / b[i][l]; }); break;
        case Op::Mad:
            PerComponent(m, d, [&](int i, int l) { return a[i][l] * b[i][l] + c[i][l]; });
            break;
        case Op::Min:
            PerComponent(m, d, [&](int i, int l) { return std::min(a[i][l], b[i][l]); });
            break;
        case Op::Max:
            PerComponent(m, d, [&](int i, int l) { return std::max(a[i][l], b[i][l]); });
            break;
        case Op::Abs: PerComponent(m, d, [&](int i, int l) { return std::fabs(a[i][l]); }); break;
        case Op::Sat:
            // max before min so that NaN becomes 0, as on the hardware
            PerComponent(m, d, [&](int i, int l) {
                return std::min(std::max(a[i][l], 0.0f), 1.0f);
            });
            break;
        case Op::Lrp:
            PerComponent(m, d, [&](int i, int l) {
                return a[i][l] + c[i][l] * (b[i][l] - a[i][l]);
            });
            break;
        case Op::Step:
            PerComponent(m, d, [&](int i, int l) { return b[i][l] >= a[i][l] ? 1.0f : 0.0f; });
            break;
        case Op::Pow: PerComponent(m, d, [&](int i, int l) { return PowAbs(a[i][l], b[i][l]); }); break;
        case Op::Sqrt:
            PerComponent(m, d, [&](int i, int l) { return std::sqrt(std::fabs(a[i][l])); });
            break;
        case Op::Floor: PerComponent(m, d, [&](int i, int l) { return std::floor(a[i][l]); }); break;
        case Op::Frac:
            PerComponent(m, d, [&](int i, int l) { return a[i][l] - std::floor(a[i][l]); });
            break;
        case Op::Dp2: Dot(2, m, a, b, d); break;
        case Op::Dp3: Dot(3, m, a, b, d); break;
        case Op::Dp4: Dot(4, m, a, b, d); break;
        case Op::Tex: {
            float rgba[kLanes][4];
            if (sampler != nullptr) {
                sampler->Sample4(ins.sampler, a[0], a[1], rgba);
            } else {
                for (auto& px : rgba) std::fill(px, px + 4, 0.0f);
            }
            PerComponent(m, d, [&](int i, int l) { return rgba[l][i]; });
            break;
        }
        }
    }
}

void ShaderCode::LoadInputs(Register* frame, const ShaderAttributes* in, int count) const {
    auto load = [&](int slot, auto member) {
        if (!(inputsRead_ & (1 << slot))) return;
        float(&r)[4][kLanes] = frame[slot].c;
        for (int l = 0; l < kLanes; ++l) {
            // A short batch repeats its first item so every lane computes
            // on real values.
            const float* v = member(in[l < count ? l : 0]);
            for (int c = 0; c < 4; ++c) r[c][l] = v[c];
        }
    };
    load(kInPosition, [](const ShaderAttributes& a) { return a.position; });
    load(kInColor, [](const ShaderAttributes& a) { return a.color; });
    load(kInTexcoord0, [](const ShaderAttributes& a) { return a.texcoord[0]; });
    load(kInTexcoord1, [](const ShaderAttributes& a) { return a.texcoord[1]; });
}

void ShaderCode::RunVertices(const ConstantRegisters& constants, const ShaderAttributes* in,
                             ShaderAttributes* out, int count) const {
    Register frame[kMaxRegisters];
    for (int first = 0; first < count; first += kLanes) {
        const int n = std::min(kLanes, count - first);
        LoadInputs(frame, in + first, n);
        Execute(frame, constants, nullptr);
        auto store = [&](int slot, int bit, auto member) {
            for (int l = 0; l < n; ++l) {
                float* v = member(out[first + l]);
                for (int c = 0; c < 4; ++c) {
                    v[c] = (outputsWritten_ & (1 << bit)) ? frame[slot].c[c][l] : (c == 3 ? 1.0f : 0.0f);
                }
            }
        };
        store(kOutPosition, 0, [](ShaderAttributes& a) { return a.position; });
        store(kOutColor, 1, [](ShaderAttributes& a) { return a.color; });
        store(kOutTexcoord0, 2, [](ShaderAttributes& a) { return a.texcoord[0]; });
        store(kOutTexcoord1, 3, [](ShaderAttributes& a) { return a.texcoord[1]; });
    }
}

void ShaderCode::RunPixels(const ConstantRegisters& constants, const ShaderAttributes* in,
                           int count, TextureSampler& sampler, float (*rgba)[4]) const {
    Register frame[kMaxRegisters];
    for (int first = 0; first < count; first += kLanes) {
        const int n = std::min(kLanes, count - first);
        LoadInputs(frame, in + first, n);
        Execute(frame, constants, &sampler);
        const Register& color = frame[kOutColor];
        for (int l = 0; l < n; ++l) {
            for (int c = 0; c < 4; ++c) rgba[first + l][c] = color.c[c][l];
        }
    }
}

} // namespace plat
