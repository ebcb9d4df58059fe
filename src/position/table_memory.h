// position/table_memory.h: memory for the hash tables, straight from the system. A fresh
// anonymous mapping reads as zeros, so a table just allocated needs no clearing pass and
// is usable at once. Its pages are backed in the background: table_memory.cpp owns one
// thread, started with the first block, that asks the system to back each fresh block a
// step at a time, small blocks first, and waits idle in between. It never reads or writes
// a table's words, so it races with none of their readers and writers. An owner may ask
// how far its block is backed (the transposition table leaves the rest alone until then). Blocks of
// 2 MB and more start on a 2 MB boundary and are offered to the kernel as huge pages (fewer faults,
// fewer TLB misses on every probe); where the system has no huge pages they are plain
// pages. Each table's owner keeps its block and size.
#pragma once

#include <atomic>
#include <cstdint>

// The most any one table may ask for: half of the machine's physical memory, so that a
// huge size on the command line cannot push the machine into swapping or killing.
std::uint64_t table_memory_limit();

// At least bytes (> 0) bytes of zeroed memory, or nullptr when the system refuses them;
// any thread may call it. The block is handed to the populating thread, which keeps
// *backed (when given) at the bytes from the block's start that are backed so far, and sets
// it to bytes when it is done or gives up (the rest then waits for its first writes).
void* map_table_memory(std::uint64_t bytes, std::atomic<std::uint64_t>* backed = nullptr);
// Returns a block of map_table_memory with the size it was asked for; nullptr is ignored.
// Waits for the populating thread's request on the block in progress, if any (one step,
// a few milliseconds at most).
void unmap_table_memory(void* block, std::uint64_t bytes);

// The largest power of two not above n (n >= 1).
constexpr std::uint64_t power_of_two_floor(std::uint64_t n) {
    std::uint64_t p = 1;
    while (p <= n / 2)
        p *= 2;
    return p;
}

// A slot index is the key's low 32 bits under the mask, so more than 2^32 entries could
// never be reached.
constexpr std::uint64_t MAX_HASH_ENTRIES = std::uint64_t{1} << 32;

static_assert(power_of_two_floor(1) == 1 && power_of_two_floor(48) == 32);

// Allocates a table of `bytes` bytes of entries, lowered to a power of two, to
// MAX_HASH_ENTRIES and to table_memory_limit(), straight from the system (zeroed, and so
// empty). A size the machine refuses is halved until it is granted; when not even two
// entries can be had, table points to the caller's static single entry. The previous
// table, if it was mapped (more than one entry), is returned to the system first. table and entries
// are the owner's, both read and written.
template <typename Entry>
void allocate_hash_table(Entry*&                     table,
                         std::uint64_t&              entries,
                         Entry*                      fallback,
                         std::uint64_t               bytes,
                         std::atomic<std::uint64_t>* backed = nullptr) {
    if (entries > 1)  // only a mapping has more than one entry
        unmap_table_memory(table, entries * sizeof(Entry));
    table   = fallback;
    entries = power_of_two_floor(bytes < sizeof(Entry) ? 1 : bytes / sizeof(Entry));
    if (entries > MAX_HASH_ENTRIES)
        entries = MAX_HASH_ENTRIES;
    const std::uint64_t limit = table_memory_limit();
    while (entries > 1 && entries * sizeof(Entry) > limit)
        entries /= 2;
    for (; entries > 1; entries /= 2) {
        if (void* const memory = map_table_memory(entries * sizeof(Entry), backed)) {
            table = static_cast<Entry*>(memory);
            break;
        }
    }
}
