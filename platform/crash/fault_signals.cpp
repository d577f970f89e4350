#include "platform/crash/fault_signals.h"

#include <execinfo.h>
#include <signal.h>
#include <sys/syscall.h>
#include <ucontext.h>
#include <unistd.h>

#include <array>
#include <cstdlib>

#include "platform/crash/fault_codes.h"

namespace plat {
namespace {

constexpr std::array<int, 5> kSignals{SIGSEGV, SIGBUS, SIGILL, SIGFPE, SIGABRT};

// The handler's own state: the designed single installation of the process.
struct Installation {
    FaultCallback callback = nullptr;
    std::array<struct sigaction, kSignals.size()> previous{};
    stack_t previousStack{};
    void* stack = nullptr;
    bool installed = false;
};

Installation& State() {
    static Installation state;
    return state;
}

void ReadRegisters([[maybe_unused]] const void* context, FaultInfo& fault) {
#if defined(__x86_64__)
    if (!context) return;
    const auto& g = static_cast<const ucontext_t*>(context)->uc_mcontext.gregs;
    FaultRegisters& r = fault.registers;
    r.known = true;
    r.rax = g[REG_RAX], r.rbx = g[REG_RBX], r.rcx = g[REG_RCX], r.rdx = g[REG_RDX];
    r.rsi = g[REG_RSI], r.rdi = g[REG_RDI], r.rip = g[REG_RIP], r.rsp = g[REG_RSP], r.rbp = g[REG_RBP];
    r.r8 = g[REG_R8], r.r9 = g[REG_R9], r.r10 = g[REG_R10], r.r11 = g[REG_R11];
    r.r12 = g[REG_R12], r.r13 = g[REG_R13], r.r14 = g[REG_R14], r.r15 = g[REG_R15];
    r.flags = static_cast<uint32_t>(g[REG_EFL]);
    // CSGSFS packs cs, gs and fs into its low three 16-bit words.
    const uint64_t segments = static_cast<uint64_t>(g[REG_CSGSFS]);
    r.cs = static_cast<uint16_t>(segments), r.gs = static_cast<uint16_t>(segments >> 16);
    r.fs = static_cast<uint16_t>(segments >> 32);
    fault.address = r.rip;
#endif
}

void OnFault(int signal, siginfo_t* info, void* context) {
    Installation& state = State();
    FaultInfo fault;
    fault.dataAddress = info ? reinterpret_cast<uintptr_t>(info->si_addr) : 0;
    fault.address = fault.dataAddress;
    fault.threadId = static_cast<uint32_t>(::syscall(SYS_gettid));
    ReadRegisters(context, fault);
    fault.exceptionCode = ExceptionCodeFor(signal, info ? info->si_code : 0, fault.dataAddress, fault.registers);
    // A second fault while reporting must not recurse: the default action ends it.
    FaultCallback callback = state.callback;
    RestoreFaultHandlers();
    struct sigaction fallback {};
    fallback.sa_handler = SIG_DFL;
    ::sigaction(signal, &fallback, nullptr);
    if (callback) callback(fault);
    ::sigaction(signal, &fallback, nullptr);
    // Pending until the handler returns (the signal is blocked in here), then
    // it ends the process with the default action.
    ::raise(signal);
}

}  // namespace

bool InstallFaultHandlers(FaultCallback callback) {
    Installation& state = State();
    if (state.installed) {
        state.callback = callback;
        return true;
    }
    // backtrace loads its unwinder on first use; do that now, not inside a fault.
    void* warmUp[1];
    ::backtrace(warmUp, 1);
    const size_t size = 64 * 1024 + SIGSTKSZ;
    state.stack = std::malloc(size);
    stack_t stack{};
    stack.ss_sp = state.stack;
    stack.ss_size = size;
    if (!state.stack || ::sigaltstack(&stack, &state.previousStack) != 0) {
        std::free(state.stack);
        state.stack = nullptr;
        return false;
    }
    state.callback = callback;
    struct sigaction action {};
    action.sa_sigaction = OnFault;
    action.sa_flags = SA_SIGINFO | SA_ONSTACK;
    sigemptyset(&action.sa_mask);
    for (size_t i = 0; i < kSignals.size(); ++i) {
        if (::sigaction(kSignals[i], &action, &state.previous[i]) != 0) {
            for (size_t j = 0; j < i; ++j) ::sigaction(kSignals[j], &state.previous[j], nullptr);
            ::sigaltstack(&state.previousStack, nullptr);
            std::free(state.stack);
            state.stack = nullptr;
            return false;
        }
    }
    state.installed = true;
    return true;
}

void RestoreFaultHandlers() {
    Installation& state = State();
    if (!state.installed) return;
    state.installed = false;
    state.callback = nullptr;
    for (size_t i = 0; i < kSignals.size(); ++i) ::sigaction(kSignals[i], &state.previous[i], nullptr);
    // The alternate stack stays: a handler may be running on it right now.
}

bool FaultHandlersInstalled() { return State().installed; }

void RaiseAccessViolation() {
    ::raise(SIGSEGV);
    // Only reached when something ignores the signal: end all the same.
    std::abort();
}

}  // namespace plat
