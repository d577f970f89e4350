#pragma once
// The crash report's text, narrow, every line ending in "\r\n":
//   Exception: <name> (code 0x<code>) at address <address> in thread <id>
//   Module: <file name>
//   Logical Address: <segment>:<offset>      (then an empty line)
//   the call stack, innermost first           (then an empty line)
//     (named frames; else the frame-pointer chain by module and segment)
//   the registers                             (then an empty line)
//   System Ver: <system, release, version, machine>
//   and, when the application exists, an empty line and its own header.
// The fault's code comes with it from platform/crash (an abort has none in
// the table and reads "Unknown exception").

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/crash/fault_signals.h"
#include "platform/crash/stack_walk.h"

// The table's name for a code, or null when it has none.
const char* FaultName(uint32_t code);

struct CrashReportParts {
    plat::FaultInfo fault;
    std::vector<plat::StackFrame> stack;
    // Used only when `stack` came out empty: the frame-pointer chain.
    std::vector<plat::ChainFrame> chain;
    plat::SystemDescription system;
    std::string applicationHeader;  // empty without an application
};

struct CrashReport {
    std::string text;
    std::string title;  // "Exception at <segment>:<offset>"
};

CrashReport BuildCrashReport(const CrashReportParts& parts);
