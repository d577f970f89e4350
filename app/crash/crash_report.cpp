#include "app/crash/crash_report.h"

#include <cstdarg>
#include <cstdio>
#include <utility>

namespace {

constexpr std::pair<uint32_t, const char*> kFaultNames[] = {
    {0x40000005, "Segment Notification"},
    {0x80000003, "Breakpoint"},
    {0x80000004, "Single step"},
    {0x00000000, "Wait 0"},
    {0x00000080, "Abandoned Wait 0"},
    {0x000000C0, "User APC"},
    {0x00000102, "Timeout"},
    {0x00000103, "Pending"},
    {0x80000001, "Guard Page Violation"},
    {0x80000002, "Data Type Misalignment"},
    {0xC0000005, "Access Violation"},
    {0xC0000006, "In Page Error"},
    {0xC0000017, "No Memory"},
    {0xC000001D, "Illegal Instruction"},
    {0xC0000025, "Noncontinuable Exception"},
    {0xC0000026, "Invalid Disposition"},
    {0xC000008C, "Array Bounds Exceeded"},
    {0xC000008D, "Float Denormal Operand"},
    {0xC000008E, "Divide by Zero"},
    {0xC000008F, "Float Inexact Result"},
    {0xC0000090, "Float Invalid Operation"},
    {0xC0000091, "Float Overflow"},
    {0xC0000092, "Float Stack Check"},
    {0xC0000093, "Float Underflow"},
    {0xC0000094, "Integer Divide by Zero"},
    {0xC0000095, "Integer Overflow"},
    {0xC0000096, "Privileged Instruction"},
    {0xC00000FD, "Stack Overflow"},
    {0xC000013A, "Ctrl+C Exit"},
};

std::string Format(const char* format, ...) __attribute__((format(printf, 1, 2)));
std::string Format(const char* format, ...) {
    char line[512];
    va_list args;
    va_start(args, format);
    std::vsnprintf(line, sizeof line, format, args);
    va_end(args);
    return line;
}

using ULL = unsigned long long;

}  // namespace

const char* FaultName(uint32_t code) {
    for (const auto& [known, name] : kFaultNames) {
        if (known == code) return name;
    }
    return nullptr;
}

CrashReport BuildCrashReport(const CrashReportParts& parts) {
    const plat::FaultInfo& fault = parts.fault;
    CrashReport report;
    std::string& out = report.text;
    const uint32_t code = fault.exceptionCode;
    if (const char* name = FaultName(code)) {
        out += Format("Exception: %s (code 0x%x) at address %016llX in thread %X\r\n", name, code,
                      static_cast<ULL>(fault.address), fault.threadId);
    } else {
        out += Format("Unknown exception: (code 0x%x) at address %016llX in thread %X\r\n", code,
                      static_cast<ULL>(fault.address), fault.threadId);
    }
    plat::ModuleAddress where;
    plat::LocateAddress(fault.address, &where);
    out += "Module: " + where.module + "\r\n";
    out += Format("Logical Address: %04X:%08llX\r\n\r\n", where.segment, static_cast<ULL>(where.offset));
    report.title = Format("Exception at %04X:%08llX", where.segment, static_cast<ULL>(where.offset));

    for (const plat::StackFrame& frame : parts.stack) {
        if (!frame.symbol.empty()) {
            out += Format("%016llX %s+%llX\r\n", static_cast<ULL>(frame.pc), frame.symbol.c_str(),
                          static_cast<ULL>(frame.displacement));
        } else {
            out += Format("%016llX %04X:%08llX %s\r\n", static_cast<ULL>(frame.pc), frame.where.segment,
                          static_cast<ULL>(frame.where.offset), frame.where.module.c_str());
        }
    }
    if (parts.stack.empty()) {
        for (const plat::ChainFrame& frame : parts.chain) {
            out += Format("%016llX  %016llX  %04X:%08llX %s\r\n", static_cast<ULL>(frame.pc),
                          static_cast<ULL>(frame.frame), frame.where.segment, static_cast<ULL>(frame.where.offset),
                          frame.where.module.c_str());
        }
    }
    out += "\r\n";

    const plat::FaultRegisters& r = fault.registers;
    if (r.known) {
        out += Format("RAX:%016llX RBX:%016llX RCX:%016llX RDX:%016llX RSI:%016llX RDI:%016llX\r\n", (ULL)r.rax,
                      (ULL)r.rbx, (ULL)r.rcx, (ULL)r.rdx, (ULL)r.rsi, (ULL)r.rdi);
        out +=
            Format("R8:%016llX R9:%016llX R10:%016llX R11:%016llX\r\n", (ULL)r.r8, (ULL)r.r9, (ULL)r.r10, (ULL)r.r11);
        out += Format("R12:%016llX R13:%016llX R14:%016llX R15:%016llX\r\n", (ULL)r.r12, (ULL)r.r13, (ULL)r.r14,
                      (ULL)r.r15);
        out += Format("RIP:%016llX RSP:%016llX  RBP:%016llX\r\n", (ULL)r.rip, (ULL)r.rsp, (ULL)r.rbp);
        out += Format("CS:%04X FS:%04X GS:%04X\r\n", r.cs, r.fs, r.gs);
        out += Format("Flags:%08X\r\n\r\n", r.flags);
    } else {
        out += "Registers: not available on this machine\r\n\r\n";
    }

    const plat::SystemDescription& s = parts.system;
    out += "System Ver: " + s.name + " " + s.release + " " + s.version + " " + s.machine + "\r\n";
    if (!parts.applicationHeader.empty()) out += "\r\n" + parts.applicationHeader;
    return report;
}
