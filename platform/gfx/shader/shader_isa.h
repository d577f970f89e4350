#pragma once
// The instruction set a compiled shader is stored in: a flat list of
// register-to-register operations, each applied to a batch of lanes (vertices or
// pixels) at once. Shared by the compiler, which writes it, and the
// interpreter, which runs it; nothing outside platform/gfx/shader needs it.

#include <cstdint>

namespace plat::shader {

enum class Op : std::uint8_t {
    Mov,    // d = a
    Add,    // d = a + b          (subtraction negates b)
    Mul,    // d = a * b
    Div,    // d = a / b
    Mad,    // d = a * b + c
    Min,    // d = min(a, b)
    Max,    // d = max(a, b)
    Abs,    // d = |a|
    Sat,    // d = clamp(a, 0, 1)
    Lrp,    // d = a + c * (b - a)
    Step,   // d = b >= a ? 1 : 0
    Pow,    // d = |a| ^ b
    Sqrt,   // d = sqrt(|a|)
    Floor,  // d = floor(a)
    Frac,   // d = a - floor(a)
    Dp2,    // every written component = a.x*b.x + a.y*b.y
    Dp3,
    Dp4,
    Tex,  // d = sample of stage `sampler` at (a.x, a.y); writes r, g, b, a to x, y, z, w
};

enum class File : std::uint8_t {
    Temp,      // per-run registers (inputs, outputs, temporaries)
    Constant,  // the caller's constant registers (uniforms)
    Literal,   // the program's own immediate values
};

struct Operand {
    std::uint16_t index = 0;
    File file = File::Temp;
    bool negate = false;
    std::uint8_t swizzle[4] = {0, 1, 2, 3};
};

struct Instruction {
    Op op = Op::Mov;
    std::uint8_t writeMask = 0;  // components of dest written
    std::uint8_t readMask = 0;   // components of each source the op reads
    std::uint8_t sourceCount = 0;
    std::uint8_t sampler = 0;
    std::uint16_t dest = 0;
    Operand src[3];
};

// Fixed temp registers through which a run receives its inputs and hands
// back its outputs; the compiler allocates everything else above them.
enum Slot : std::uint16_t {
    kInPosition = 0,
    kInColor = 1,
    kInTexcoord0 = 2,
    kInTexcoord1 = 3,
    kOutPosition = 4,
    kOutColor = 5,
    kOutTexcoord0 = 6,
    kOutTexcoord1 = 7,
    kFirstFreeRegister = 8,
};

// Upper bound of temp registers of one program: the interpreter keeps them
// on its stack, so a run never allocates.
constexpr int kMaxRegisters = 128;
constexpr int kLanes = 16;

// One register as the interpreter holds it: each component for all lanes.
struct alignas(16) LaneRegister {
    float c[4][kLanes];
};

}  // namespace plat::shader
