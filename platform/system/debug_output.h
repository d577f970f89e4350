#pragma once
// The debugger output channel. On Linux there is no debugger message
// stream, so the text goes to standard error, written whole and flushed at
// once so that lines from different threads stay apart and tests can
// capture them. Any thread may call it.

#include <string_view>

namespace plat {

void OutputDebugText(std::string_view text);

}  // namespace plat
