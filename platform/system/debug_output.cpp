#include "platform/system/debug_output.h"

#include <cstdio>

namespace plat {

void OutputDebugText(std::string_view text) {
    if (text.empty()) return;
    // One locked write per call keeps a line from being split by another thread.
    flockfile(stderr);
    std::fwrite(text.data(), 1, text.size(), stderr);
    std::fflush(stderr);
    funlockfile(stderr);
}

}  // namespace plat
