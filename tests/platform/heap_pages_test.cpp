// The heap's reserve and growth asked for in large pages, as the kernel
// records it: the mapping's "hg" flag in /proc/self/smaps.
#include "platform/system/heap_pages.h"

#include <gtest/gtest.h>
#include <malloc.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

uintptr_t HeapPagesTop() { return reinterpret_cast<uintptr_t>(::sbrk(0)); }

// Whether the mapping holding `address` bears the large-page advice.
bool AdvisedLargeAt(uintptr_t address) {
    std::ifstream smaps("/proc/self/smaps");
    std::string line;
    bool inside = false;
    while (std::getline(smaps, line)) {
        unsigned long from = 0, to = 0;
        char dash = 0;
        if (std::istringstream(line) >> std::hex >> from >> dash >> to && dash == '-')
            inside = from <= address && address < to;
        else if (inside && line.rfind("VmFlags:", 0) == 0)
            return line.find(" hg") != std::string::npos;
    }
    return false;
}

TEST(HeapPages, TheReserveAndTheHeapsLaterGrowthAreAskedForInLargePages) {
    std::ifstream thp("/sys/kernel/mm/transparent_hugepage/enabled");
    std::string modes;
    if (!std::getline(thp, modes) || modes.find("[never]") != std::string::npos)
        GTEST_SKIP() << "the kernel gives no large pages";
    // The heap's top as a process starts with it: the tests before may have
    // left more free there than the reserve, or some of it.
    malloc_trim(0);
    plat::HeapPages pages;
    const uintptr_t before = HeapPagesTop();
    constexpr size_t kReserve = size_t{64} << 20;
    pages.Reserve(kReserve);
    const uintptr_t reserved = HeapPagesTop();
    if (reserved == before) GTEST_SKIP() << "the heap is not the C library's (a sanitizer's allocator)";
    // Grown by the reserve, less what lay free at the top before.
    EXPECT_GE(reserved - before, kReserve - (size_t{1} << 20));
    EXPECT_TRUE(AdvisedLargeAt(reserved - 1)) << "the reserve's top";

    // Blocks beyond the reserve grow the heap again, by a mapping of its
    // own until it is covered.
    std::vector<void*> blocks;
    while (HeapPagesTop() == reserved && blocks.size() < 2 * (kReserve >> 20)) blocks.push_back(std::malloc(1 << 20));
    const uintptr_t grown = HeapPagesTop();
    ASSERT_GT(grown, reserved);
    EXPECT_FALSE(AdvisedLargeAt(grown - 1)) << "before Cover";
    pages.Cover();
    EXPECT_TRUE(AdvisedLargeAt(grown - 1)) << "after Cover";
    EXPECT_TRUE(AdvisedLargeAt(reserved - 1));
    for (void* block : blocks) std::free(block);
}

}  // namespace
