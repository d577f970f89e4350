#include "platform/system/debug_output.h"

#include <atomic>
#include <cstdio>

namespace plat {

namespace {

std::atomic<DebugOutputSink> gSink{nullptr};

}  // namespace

void OutputDebugText(std::string_view text) {
    if (text.empty()) return;
    if (DebugOutputSink sink = gSink.load()) {
        sink(text);
        return;
    }
    WriteToTerminal(text);
}

void SetDebugOutputSink(DebugOutputSink sink) { gSink.store(sink); }

void WriteToTerminal(std::string_view text) {
    if (text.empty()) return;
    // One locked write per call keeps a line from being split by another thread.
    flockfile(stderr);
    std::fwrite(text.data(), 1, text.size(), stderr);
    std::fflush(stderr);
    funlockfile(stderr);
}

}  // namespace plat
