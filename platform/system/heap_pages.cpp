#include "platform/system/heap_pages.h"

#include <malloc.h>
#include <sys/mman.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>

namespace plat {

namespace {

uintptr_t HeapTop() { return reinterpret_cast<uintptr_t>(::sbrk(0)); }

// The start of the mapping that ends at the heap's top: the heap as the
// kernel sees it. The top itself when none does (no heap grown yet).
uintptr_t HeapStart(uintptr_t top) {
    uintptr_t start = top;
    if (FILE* maps = std::fopen("/proc/self/maps", "r")) {
        char line[512];
        while (std::fgets(line, sizeof line, maps)) {
            unsigned long from = 0, to = 0;
            if (std::sscanf(line, "%lx-%lx", &from, &to) == 2 && to == top) start = from;
        }
        std::fclose(maps);
    }
    return start;
}

}  // namespace

void HeapPages::Reserve(size_t reserve) {
    if (start_ != 0) return;
    // The C library keeps this much free above what the heap holds each
    // time it grows it, and gives none of it back. Another allocator takes
    // no settings: then the heap is not its own and nothing more is done.
    if (mallopt(M_TOP_PAD, static_cast<int>(reserve)) != 1) return;
    // A setting of the library's stops it moving its threshold for blocks
    // of their own mapping, from the smallest, where it starts, up to as
    // far as the frame-sized buffers it would move it to: it is set there.
    mallopt(M_MMAP_THRESHOLD, 32 << 20);
    const uintptr_t top = HeapTop();
    start_ = HeapStart(top);
    covered_ = top;
    // The heap grows, by the reserve, with the first block its free top
    // cannot hold; those blocks are given back, to lie at the start of the
    // reserve for the allocations after. A heap whose top holds the reserve
    // already (reserved before in this process) is left as it is.
    constexpr size_t kProbe = 64 << 10;
    constexpr int kMostProbes = 64;
    void* probes[kMostProbes];
    int count = 0;
    if (mallinfo2().keepcost < reserve)
        while (count < kMostProbes && HeapTop() == top)
            if (!(probes[count++] = std::malloc(kProbe))) break;
    for (int i = 0; i < count; ++i) std::free(probes[i]);
    Cover();
}

void HeapPages::Cover() {
    if (start_ == 0) return;
    const uintptr_t top = HeapTop();
    if (top <= covered_) return;
    // All of it again: the advice is the kernel's mark on the mapping, and
    // the heap's growth is a mapping of its own until it bears the mark.
    ::madvise(reinterpret_cast<void*>(start_), top - start_, MADV_HUGEPAGE);
    covered_ = top;
}

}  // namespace plat
