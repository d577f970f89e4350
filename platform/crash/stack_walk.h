#pragma once
// platform/crash: what stands in for the symbol library of the stack walk:
// where an address lies (module and loaded segment), the return addresses of
// the current thread's stack with the names dladdr finds for them, and the
// system's own description.
//
// Names come only from symbols the dynamic loader can see (exported ones;
// link with -rdynamic to see the program's own); an address without one is
// given by its module and segment. Nothing here takes a lock of its own.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace plat {

struct ModuleAddress {
    std::string module;  // file name only, no folder
    int segment = 0;     // 1-based among the module's loaded segments; 0 when unknown
    uintptr_t offset = 0;
};

struct StackFrame {
    uintptr_t pc = 0;
    std::string symbol;  // demangled; empty when none is known
    uintptr_t displacement = 0;
    ModuleAddress where;
};

// False when no loaded module holds the address.
bool LocateAddress(uintptr_t address, ModuleAddress* where);
// The calling thread's stack, innermost first, starting at the frame of
// `from` when it is on the stack (a fault's address: drops the handler's own
// frames), else at the caller.
std::vector<StackFrame> CaptureStack(uintptr_t from);
// The frame-pointer chain from a frame address (rbp) and the instruction
// there, innermost first: each frame's return address and frame. Stops where
// the next frame is not above the current one, not aligned, or not readable;
// reading never faults.
struct ChainFrame {
    uintptr_t pc = 0;
    uintptr_t frame = 0;
    ModuleAddress where;
};
std::vector<ChainFrame> WalkFramePointers(uintptr_t pc, uintptr_t frame, size_t limit = 64);
// The readable form of a mangled name; the name itself when it is not one.
std::string Demangle(const char* name);

struct SystemDescription {
    std::string name, release, version, machine;
};
bool DescribeSystem(SystemDescription* system);

}  // namespace plat
