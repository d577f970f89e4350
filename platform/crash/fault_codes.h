#pragma once
// platform/crash: the exception codes a fault is reported by. A signal and
// its kind (si_code) become the code the exception table of the report
// names: a bad access is an access violation, a misaligned bus access a data
// type misalignment, and so on; a bad access right at the stack pointer is a
// stack overflow, and an abort, which has no entry there, a fatal
// application exit. Nothing above platform/ sees a signal number.

#include <cstdint>

#include "platform/crash/fault_signals.h"

namespace plat {

inline constexpr uint32_t kExceptionAccessViolation = 0xC0000005;
inline constexpr uint32_t kExceptionStackOverflow = 0xC00000FD;
inline constexpr uint32_t kExceptionFatalAppExit = 0x40000015;

// `signal` and `code` as a signal handler receives them, with the faulting
// data address and the registers at the fault (for the stack overflow).
uint32_t ExceptionCodeFor(int signal, int code, uintptr_t dataAddress, const FaultRegisters& registers);

}  // namespace plat
