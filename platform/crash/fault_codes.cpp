#include "platform/crash/fault_codes.h"

#include <signal.h>

namespace plat {
namespace {

// A bad access just below the stack pointer is the stack running out: the
// guard page under the stack is hit by the frame being pushed.
bool IsStackOverflow(uintptr_t dataAddress, const FaultRegisters& registers) {
    constexpr uint64_t kReach = 64 * 1024;
    const uint64_t sp = registers.rsp;
    return registers.known && dataAddress != 0 && dataAddress + kReach >= sp && dataAddress < sp + kReach;
}

uint32_t ArithmeticCode(int code) {
    switch (code) {
        case FPE_INTDIV: return 0xC0000094;
        case FPE_INTOVF: return 0xC0000095;
        case FPE_FLTDIV: return 0xC000008E;
        case FPE_FLTOVF: return 0xC0000091;
        case FPE_FLTUND: return 0xC0000093;
        case FPE_FLTRES: return 0xC000008F;
        case FPE_FLTSUB: return 0xC000008C;
        default: return 0xC0000090;
    }
}

}  // namespace

uint32_t ExceptionCodeFor(int signal, int code, uintptr_t dataAddress, const FaultRegisters& registers) {
    switch (signal) {
        case SIGSEGV:
            return IsStackOverflow(dataAddress, registers) ? kExceptionStackOverflow : kExceptionAccessViolation;
        case SIGBUS: return code == BUS_ADRALN ? 0x80000002 : 0xC0000006;
        case SIGILL: return (code == ILL_PRVOPC || code == ILL_PRVREG) ? 0xC0000096 : 0xC000001D;
        case SIGFPE: return ArithmeticCode(code);
        default: return kExceptionFatalAppExit;
    }
}

}  // namespace plat
