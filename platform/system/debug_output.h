#pragma once
// The debugger output channel, and the terminal. On Linux there is no
// debugger message stream: diagnostics go to the sink the application
// installs (its log), or to standard error while none is installed. Text
// meant for the person who started the program (a usage line, a fatal
// error) goes to standard error always. Either is written whole and flushed
// at once so that lines from different threads stay apart and tests can
// capture them. Any thread may call them.

#include <string_view>

namespace plat {

void OutputDebugText(std::string_view text);

// Where OutputDebugText goes; null gives standard error back. The sink is
// called from any thread and must stay callable until it is replaced.
using DebugOutputSink = void (*)(std::string_view text);
void SetDebugOutputSink(DebugOutputSink sink);

void WriteToTerminal(std::string_view text);

}  // namespace plat
