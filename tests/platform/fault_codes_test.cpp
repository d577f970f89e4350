// The exception codes platform/crash hands the crash report for each signal
// and kind of fault, and the stack overflow told from other bad accesses.
#include <gtest/gtest.h>
#include <signal.h>

#include "platform/crash/fault_codes.h"

namespace {

TEST(FaultCodes, SignalsAndTheirKindsBecomeTheTablesCodes) {
    struct Case {
        int signal, code;
        uint32_t exception;
    };
    const plat::FaultRegisters none;
    for (const Case& c : {Case{SIGSEGV, SEGV_MAPERR, 0xC0000005}, Case{SIGBUS, BUS_ADRALN, 0x80000002},
                          Case{SIGBUS, BUS_ADRERR, 0xC0000006}, Case{SIGILL, ILL_PRVOPC, 0xC0000096},
                          Case{SIGILL, ILL_ILLOPC, 0xC000001D}, Case{SIGFPE, FPE_INTDIV, 0xC0000094},
                          Case{SIGFPE, FPE_FLTDIV, 0xC000008E}, Case{SIGFPE, FPE_FLTINV, 0xC0000090},
                          Case{SIGABRT, 0, plat::kExceptionFatalAppExit}}) {
        EXPECT_EQ(plat::ExceptionCodeFor(c.signal, c.code, 0x1000, none), c.exception) << c.signal << " " << c.code;
    }
}

TEST(FaultCodes, ABadAccessAtTheStackPointerIsAStackOverflow) {
    plat::FaultRegisters registers;
    registers.known = true;
    registers.rsp = 0x7FFF0000;
    EXPECT_EQ(plat::ExceptionCodeFor(SIGSEGV, SEGV_MAPERR, 0x7FFEFFF8, registers), plat::kExceptionStackOverflow);
    EXPECT_EQ(plat::ExceptionCodeFor(SIGSEGV, SEGV_MAPERR, 0, registers), plat::kExceptionAccessViolation);
    EXPECT_EQ(plat::ExceptionCodeFor(SIGSEGV, SEGV_MAPERR, 0x1000, registers), plat::kExceptionAccessViolation);
    registers.known = false;
    EXPECT_EQ(plat::ExceptionCodeFor(SIGSEGV, SEGV_MAPERR, 0x7FFEFFF8, registers), plat::kExceptionAccessViolation);
}

}  // namespace
