#include "position/table_memory.h"

#include <cstddef>
#include <cstdint>
#include <sys/mman.h>
#include <unistd.h>

constexpr std::uint64_t HUGE_PAGE_BYTES = std::uint64_t{2} << 20;

std::uint64_t table_memory_limit() {
    const long pages     = sysconf(_SC_PHYS_PAGES);
    const long page_size = sysconf(_SC_PAGESIZE);
    if (pages <= 0 || page_size <= 0)
        return UINT64_MAX;  // the system does not say: only its refusals limit us
    return static_cast<std::uint64_t>(pages) * static_cast<std::uint64_t>(page_size) / 2;
}

static void* map_anonymous(std::uint64_t bytes) {
    if (bytes > SIZE_MAX)
        return nullptr;
    void* p = mmap(nullptr, static_cast<std::size_t>(bytes), PROT_READ | PROT_WRITE,
                   MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    return p == MAP_FAILED ? nullptr : p;
}

// Large blocks are whole huge pages, so that both ends of the block fall on a boundary.
static std::uint64_t rounded_size(std::uint64_t bytes) {
    if (bytes < HUGE_PAGE_BYTES || bytes > UINT64_MAX - 2 * HUGE_PAGE_BYTES)
        return bytes;
    return (bytes + HUGE_PAGE_BYTES - 1) / HUGE_PAGE_BYTES * HUGE_PAGE_BYTES;
}

// Writes to every page of a fresh block, so that the system backs and zeroes it now. A
// fresh page costs its zeroing at the first write, 2 MB at a time with huge pages: done at
// start-up, or when the GUI resizes a table (before it hears "readyok"), that is off the
// clock; left to the first search it stalled that search's first iteration by tens of
// milliseconds on a quiet core, and by hundreds on a busy one.
static void* touched(void* block, std::uint64_t bytes) {
    if (block) {
        volatile char* const page = static_cast<char*>(block);
        for (std::uint64_t i = 0; i < bytes; i += 4096)
            page[i] = 0;
    }
    return block;
}

void* map_table_memory(std::uint64_t bytes) {
    if (bytes < HUGE_PAGE_BYTES)
        return touched(map_anonymous(bytes), bytes);
    if (bytes > UINT64_MAX - 2 * HUGE_PAGE_BYTES)
        return nullptr;
    bytes = rounded_size(bytes);
    // Map one huge page more than asked, then give back the ragged ends so that the
    // block starts on a 2 MB boundary.
    char* const raw = static_cast<char*>(map_anonymous(bytes + HUGE_PAGE_BYTES));
    if (!raw)
        return nullptr;
    const std::uintptr_t address = reinterpret_cast<std::uintptr_t>(raw);
    const std::uint64_t  head    = (HUGE_PAGE_BYTES - address % HUGE_PAGE_BYTES) % HUGE_PAGE_BYTES;
    char* const          block   = raw + head;
    if (head > 0)
        munmap(raw, static_cast<std::size_t>(head));
    const std::uint64_t tail = HUGE_PAGE_BYTES - head;
    if (tail > 0)
        munmap(block + bytes, static_cast<std::size_t>(tail));
#ifdef MADV_HUGEPAGE
    madvise(block, static_cast<std::size_t>(bytes), MADV_HUGEPAGE);  // a refusal changes nothing
#endif
    return touched(block, bytes);
}

void unmap_table_memory(void* block, std::uint64_t bytes) {
    if (block)
        munmap(block, static_cast<std::size_t>(rounded_size(bytes)));
}
