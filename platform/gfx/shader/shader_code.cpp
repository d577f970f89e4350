#include "platform/gfx/shader/shader_code.h"

#include <algorithm>
#include <cmath>

namespace plat {

using namespace shader;

namespace {

// Registers are kLanes wide; a run uses the first L lanes of each, L being
// kLanes for full batches and 4 for the tail of a short one, so a call with
// a few pixels does not pay for the whole width.
template <int L>
using Lanes = float[4][L];  // [component][lane]

// Reads the components of one operand that an instruction needs, after
// swizzle and negation, for L lanes.
template <int L>
inline void Fetch(const Operand& o, std::uint8_t need, const LaneRegister* frame, const float (*constants)[4],
                  const std::array<float, 4>* literals, Lanes<L>& out) {
    const float sign = o.negate ? -1.0f : 1.0f;
    if (o.file == File::Temp) {
        const float(&reg)[4][kLanes] = frame[o.index].c;
        for (int c = 0; c < 4; ++c) {
            if (!(need & (1 << c))) continue;
            const float* s = reg[o.swizzle[c]];
            for (int l = 0; l < L; ++l) out[c][l] = sign * s[l];
        }
        return;
    }
    const float* v = o.file == File::Constant ? constants[o.index] : literals[o.index].data();
    for (int c = 0; c < 4; ++c) {
        if (!(need & (1 << c))) continue;
        const float x = sign * v[o.swizzle[c]];
        for (int l = 0; l < L; ++l) out[c][l] = x;
    }
}

// Applies f per written component and lane.
template <int L, typename F>
inline void PerComponent(std::uint8_t mask, float (&dest)[4][kLanes], F f) {
    for (int c = 0; c < 4; ++c) {
        if (!(mask & (1 << c))) continue;
        for (int l = 0; l < L; ++l) dest[c][l] = f(c, l);
    }
}

template <int L>
inline void Dot(int n, std::uint8_t mask, const Lanes<L>& a, const Lanes<L>& b, float (&dest)[4][kLanes]) {
    float sum[L] = {};
    for (int c = 0; c < n; ++c) {
        for (int l = 0; l < L; ++l) sum[l] += a[c][l] * b[c][l];
    }
    PerComponent<L>(mask, dest, [&](int, int l) { return sum[l]; });
}

float PowAbs(float x, float y) { return std::pow(std::fabs(x), y); }

template <int L>
void Execute(const std::vector<Instruction>& code, const std::array<float, 4>* literals, LaneRegister* frame,
             const ConstantRegisters& constants, TextureSampler* sampler) {
    static_assert(L % 4 == 0 && L <= kLanes);
    const float(*k)[4] = constants.value;
    for (const Instruction& ins : code) {
        // Sources are read before the destination is written, so an
        // instruction may overwrite one of its own sources.
        Lanes<L> a, b;
        Fetch<L>(ins.src[0], ins.readMask, frame, k, literals, a);
        if (ins.sourceCount > 1) Fetch<L>(ins.src[1], ins.readMask, frame, k, literals, b);
        float(&d)[4][kLanes] = frame[ins.dest].c;
        const std::uint8_t m = ins.writeMask;
        switch (ins.op) {
            case Op::Mov: PerComponent<L>(m, d, [&](int i, int l) { return a[i][l]; }); break;
            case Op::Add: PerComponent<L>(m, d, [&](int i, int l) { return a[i][l] + b[i][l]; }); break;
            case Op::Mul: PerComponent<L>(m, d, [&](int i, int l) { return a[i][l] * b[i][l]; }); break;
            case Op::Div: PerComponent<L>(m, d, [&](int i, int l) { return a[i][l] / b[i][l]; }); break;
            case Op::Mad: {
                Lanes<L> t{};  // zeroed only to spare the compiler a false alarm
                Fetch<L>(ins.src[2], ins.readMask, frame, k, literals, t);
                PerComponent<L>(m, d, [&](int i, int l) { return a[i][l] * b[i][l] + t[i][l]; });
                break;
            }
            case Op::Min: PerComponent<L>(m, d, [&](int i, int l) { return std::min(a[i][l], b[i][l]); }); break;
            case Op::Max: PerComponent<L>(m, d, [&](int i, int l) { return std::max(a[i][l], b[i][l]); }); break;
            case Op::Abs: PerComponent<L>(m, d, [&](int i, int l) { return std::fabs(a[i][l]); }); break;
            case Op::Sat:
                // max before min so that NaN becomes 0, as on the hardware
                PerComponent<L>(m, d, [&](int i, int l) { return std::min(std::max(a[i][l], 0.0f), 1.0f); });
                break;
            case Op::Lrp: {
                Lanes<L> t{};
                Fetch<L>(ins.src[2], ins.readMask, frame, k, literals, t);
                PerComponent<L>(m, d, [&](int i, int l) { return a[i][l] + t[i][l] * (b[i][l] - a[i][l]); });
                break;
            }
            case Op::Step: PerComponent<L>(m, d, [&](int i, int l) { return b[i][l] >= a[i][l] ? 1.0f : 0.0f; }); break;
            case Op::Pow: PerComponent<L>(m, d, [&](int i, int l) { return PowAbs(a[i][l], b[i][l]); }); break;
            case Op::Sqrt: PerComponent<L>(m, d, [&](int i, int l) { return std::sqrt(std::fabs(a[i][l])); }); break;
            case Op::Floor: PerComponent<L>(m, d, [&](int i, int l) { return std::floor(a[i][l]); }); break;
            case Op::Frac: PerComponent<L>(m, d, [&](int i, int l) { return a[i][l] - std::floor(a[i][l]); }); break;
            case Op::Dp2: Dot<L>(2, m, a, b, d); break;
            case Op::Dp3: Dot<L>(3, m, a, b, d); break;
            case Op::Dp4: Dot<L>(4, m, a, b, d); break;
            case Op::Tex: {
                float rgba[L][4];
                if (sampler != nullptr) {
                    for (int l = 0; l < L; l += 4) {
                        sampler->Sample4(ins.sampler, a[0] + l, a[1] + l, reinterpret_cast<float(*)[4]>(rgba[l]));
                    }
                } else {
                    for (auto& px : rgba) std::fill(px, px + 4, 0.0f);
                }
                PerComponent<L>(m, d, [&](int i, int l) { return rgba[l][i]; });
                break;
            }
        }
    }
}

// Fills the input registers the program reads from count items. Lanes past
// count repeat the first item so that every lane computes on real values.
void LoadInputs(LaneRegister* frame, std::uint8_t inputsRead, const ShaderAttributes* in, int count, int lanes) {
    auto load = [&](int slot, auto member) {
        if (!(inputsRead & (1 << slot))) return;
        float(&r)[4][kLanes] = frame[slot].c;
        for (int l = 0; l < lanes; ++l) {
            const float* v = member(in[l < count ? l : 0]);
            for (int c = 0; c < 4; ++c) r[c][l] = v[c];
        }
    };
    load(kInPosition, [](const ShaderAttributes& a) { return a.position; });
    load(kInColor, [](const ShaderAttributes& a) { return a.color; });
    load(kInTexcoord0, [](const ShaderAttributes& a) { return a.texcoord[0]; });
    load(kInTexcoord1, [](const ShaderAttributes& a) { return a.texcoord[1]; });
}

}  // namespace

ShaderCode::ShaderCode(ShaderKind kind, std::vector<Instruction> code, std::vector<std::array<float, 4>> literals,
                       int registerCount, std::uint8_t inputsRead, std::uint8_t outputsWritten)
    : kind_(kind),
      code_(std::move(code)),
      literals_(std::move(literals)),
      registerCount_(std::clamp(registerCount, int(kFirstFreeRegister), kMaxRegisters)),
      inputsRead_(inputsRead),
      outputsWritten_(outputsWritten) {}

int ShaderCode::RunBatch(LaneRegister* frame, const ConstantRegisters& constants, const ShaderAttributes* in, int count,
                         TextureSampler* sampler) const {
    if (count >= kLanes) {
        LoadInputs(frame, inputsRead_, in, kLanes, kLanes);
        Execute<kLanes>(code_, literals_.data(), frame, constants, sampler);
        return kLanes;
    }
    const int n = std::min(4, count);
    LoadInputs(frame, inputsRead_, in, n, 4);
    Execute<4>(code_, literals_.data(), frame, constants, sampler);
    return n;
}

void ShaderCode::RunVertices(const ConstantRegisters& constants, const ShaderAttributes* in, ShaderAttributes* out,
                             int count) const {
    LaneRegister frame[kMaxRegisters];
    for (int first = 0; first < count;) {
        const int n = RunBatch(frame, constants, in + first, count - first, nullptr);
        auto store = [&](int slot, int bit, auto member) {
            const bool written = outputsWritten_ & (1 << bit);
            for (int l = 0; l < n; ++l) {
                float* v = member(out[first + l]);
                for (int c = 0; c < 4; ++c) v[c] = written ? frame[slot].c[c][l] : (c == 3 ? 1.0f : 0.0f);
            }
        };
        store(kOutPosition, 0, [](ShaderAttributes& a) { return a.position; });
        store(kOutColor, 1, [](ShaderAttributes& a) { return a.color; });
        store(kOutTexcoord0, 2, [](ShaderAttributes& a) { return a.texcoord[0]; });
        store(kOutTexcoord1, 3, [](ShaderAttributes& a) { return a.texcoord[1]; });
        first += n;
    }
}

void ShaderCode::RunPixels(const ConstantRegisters& constants, const ShaderAttributes* in, int count,
                           TextureSampler& sampler, float (*rgba)[4]) const {
    LaneRegister frame[kMaxRegisters];
    for (int first = 0; first < count;) {
        const int n = RunBatch(frame, constants, in + first, count - first, &sampler);
        const LaneRegister& color = frame[kOutColor];
        for (int l = 0; l < n; ++l) {
            for (int c = 0; c < 4; ++c) rgba[first + l][c] = color.c[c][l];
        }
        first += n;
    }
}

}  // namespace plat
