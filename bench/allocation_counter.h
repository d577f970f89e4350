#pragma once
// Counts every allocation of the program that includes it, so a benchmark can
// report allocations per iteration. It replaces the global operator new, so
// include it in exactly one file of a benchmark program.
#include <atomic>
#include <cstdlib>
#include <new>

namespace testsupport {
inline std::atomic<long> g_allocations{0};
}  // namespace testsupport

void* operator new(std::size_t size) {
    testsupport::g_allocations.fetch_add(1, std::memory_order_relaxed);
    if (void* p = std::malloc(size ? size : 1)) return p;
    throw std::bad_alloc();
}
// The replacement new above takes its memory from malloc, so free is the match.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
#pragma GCC diagnostic pop
