// position/table_memory: a fresh block reads as zeros at once, its pages are backed in the
// background (watched with mincore, a counted poll), and a block can be unmapped while the
// background thread is still at work on it.
#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdint>
#include <gtest/gtest.h>
#include <sys/mman.h>
#include <thread>
#include <unistd.h>
#include <vector>

#include "position/table_memory.h"

namespace {

// Pages of [block, block + bytes) the system backs now.
std::uint64_t resident_pages(void* block, std::uint64_t bytes) {
    const std::uint64_t        page = static_cast<std::uint64_t>(sysconf(_SC_PAGESIZE));
    std::vector<unsigned char> resident((bytes + page - 1) / page);
    if (mincore(block, bytes, resident.data()) != 0)
        return 0;
    std::uint64_t count = 0;
    for (const unsigned char r : resident)
        count += r & 1;
    return count;
}

bool system_populates() {
#ifdef MADV_POPULATE_WRITE
    void* const probe =
        mmap(nullptr, 4096, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    const bool known = probe != MAP_FAILED && madvise(probe, 4096, MADV_POPULATE_WRITE) == 0;
    if (probe != MAP_FAILED)
        munmap(probe, 4096);
    return known;
#else
    return false;
#endif
}

TEST(TableMemory, FreshBlocksAreEmptyAtOnceAndBackedInTheBackground) {
    if (!system_populates())
        GTEST_SKIP() << "the system does not back pages on request";
    constexpr std::uint64_t bytes = std::uint64_t{48} << 20;
    const std::uint64_t     pages = bytes / static_cast<std::uint64_t>(sysconf(_SC_PAGESIZE));

    // Taken back at once, while the background thread may be at work on it.
    unmap_table_memory(map_table_memory(bytes), bytes);

    auto* const block = static_cast<std::uint64_t*>(map_table_memory(bytes));
    ASSERT_NE(block, nullptr);
    // Nothing here touches the block (a read would map the zero page): only the
    // background thread can back all its pages.
    std::uint64_t resident = resident_pages(block, bytes);
    for (int poll = 0; poll < 3000 && resident < pages; ++poll) {
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
        resident = resident_pages(block, bytes);
    }
    EXPECT_EQ(resident, pages);
    // Backed, and still empty: the thread never writes a table's words.
    std::uint64_t sum = 0;
    for (std::uint64_t i = 0; i < bytes / 8; i += 512)
        sum |= std::atomic_ref<std::uint64_t>(block[i]).load(std::memory_order_relaxed);
    EXPECT_EQ(sum, 0u);
    unmap_table_memory(block, bytes);
}

}  // namespace
