#pragma once
// Large pages under the main heap. A busy park's objects (thousands of
// widgets, each with its tasks and controllers) lie spread over a hundred
// megabytes of heap, and every update and every frame visits each of them:
// with 4 KB pages each visit waits on the address translation as well as on
// the memory. Under 2 MB pages the same walks cost a sixth to a third less.
//
// The kernel backs memory with a large page when it is asked to before the
// memory is first touched; a page touched already stays small. So the heap
// is grown ahead of the allocations to come, by a reserve kept free at its
// top from then on, and that is asked for at once; the heap's later growth
// is asked for as it is seen.
//
// Owns: the bounds of the heap asked for so far.
// Promises: advice only. Where the allocator is not the C library's own
// (the sanitizers', say) or the kernel has no large pages to give, nothing
// changes and nothing fails.
// Threads: the main thread; the allocator's settings are the process's.

#include <cstddef>
#include <cstdint>

namespace plat {

class HeapPages {
public:
    // More than a busy park's objects take (a hundred megabytes), so that
    // they fit in the first reserve. Only the pages touched count against
    // the memory.
    static constexpr size_t kReserve = size_t{256} << 20;

    // Once, before the allocations it is for: keeps `reserve` bytes free at
    // the heap's top from now on, grows the heap by them at once and asks
    // for large pages under all of it.
    void Reserve(size_t reserve = kReserve);
    // Asks for large pages under what the heap grew by since; cheap when it
    // did not grow.
    void Cover();

private:
    uintptr_t start_ = 0;    // the heap's first byte, once reserved
    uintptr_t covered_ = 0;  // the end of what was asked for
};

}  // namespace plat
