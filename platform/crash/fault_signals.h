#pragma once
// platform/crash: what stands in for the unhandled-exception filter. Handlers
// for SIGSEGV, SIGBUS, SIGILL, SIGFPE and SIGABRT run on an alternate stack
// (so a stack overflow can still be reported) and hand the fault, with the
// registers at the moment it happened, to one callback.
//
// After the callback returns, the signal's default action is restored and the
// signal raised again, so the process ends as it would have without the
// handler (core dump, exit status). Restoring puts back the handlers found at
// installation. The callback runs on the faulting thread; it should keep to
// work that does not depend on locks the fault may have left held.

#include <cstdint>

namespace plat {

struct FaultRegisters {
    bool known = false;  // false on a machine whose registers are not read
    uint64_t rax = 0, rbx = 0, rcx = 0, rdx = 0, rsi = 0, rdi = 0;
    uint64_t rip = 0, rsp = 0, rbp = 0;
    uint64_t r8 = 0, r9 = 0, r10 = 0, r11 = 0, r12 = 0, r13 = 0, r14 = 0, r15 = 0;
    uint32_t flags = 0;
    uint16_t cs = 0, fs = 0, gs = 0;
};

// The exception record the crash report reads: what kind of fault (a code
// of the report's exception table, see fault_codes.h), where and in which thread.
struct FaultInfo {
    uint32_t exceptionCode = 0;
    uintptr_t address = 0;  // where it happened: the instruction, else the data address
    uintptr_t dataAddress = 0;
    uint32_t threadId = 0;
    FaultRegisters registers;
};

using FaultCallback = void (*)(const FaultInfo& fault);

// False when the alternate stack or a handler could not be set up (the
// handlers that were set are then restored).
bool InstallFaultHandlers(FaultCallback callback);
void RestoreFaultHandlers();
bool FaultHandlersInstalled();

// Faults as a bad memory access would (an access violation), whether or not
// handlers are installed; ends the process should the fault be ignored.
[[noreturn]] void RaiseAccessViolation();

}  // namespace plat
