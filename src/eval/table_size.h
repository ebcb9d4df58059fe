// eval/table_size.h: sizing rule shared by the pawn and material hashes. Sizes are
// computed in 64 bits, so megabyte counts of 2048 and more cannot wrap.
#pragma once

#include <cstdint>

#include "position/table_memory.h"

constexpr std::uint64_t megabytes_to_bytes(unsigned megabytes) {
    return static_cast<std::uint64_t>(megabytes == 0 ? 1 : megabytes) << 20;
}

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

static_assert(megabytes_to_bytes(0) == megabytes_to_bytes(1));
static_assert(megabytes_to_bytes(4096) == std::uint64_t{1} << 32);
static_assert(power_of_two_floor(1) == 1 && power_of_two_floor(48) == 32);

// The check word an entry keeps of its key: the key's high 32 bits, salted so that a
// slot straight from the system, all zeros, matches only the one key in 2^32 whose high
// half is the salt, as likely as any other check-word collision. Tables therefore need no
// filling pass before their first probe.
constexpr std::uint32_t CHECK_SALT = 0x9E3779B9u;

constexpr std::uint32_t entry_check(std::uint64_t key) {
    return static_cast<std::uint32_t>(key >> 32) ^ CHECK_SALT;
}

// Allocates a table of `bytes` bytes of entries, lowered to a power of two, to
// MAX_HASH_ENTRIES and to table_memory_limit(), straight from the system (zeroed, and so
// empty). A size the machine refuses is halved until it is granted; when not even two
// entries can be had, table points to the caller's static single entry. The previous table, if it
// was mapped, is returned to the system first. table and entries are the owner's, both read and
// written.
template <typename Entry>
void allocate_hash_table(Entry*&        table,
                         std::uint64_t& entries,
                         Entry*         fallback,
                         std::uint64_t  bytes) {
    if (table != fallback)
        unmap_table_memory(table, entries * sizeof(Entry));
    table   = fallback;
    entries = power_of_two_floor(bytes < sizeof(Entry) ? 1 : bytes / sizeof(Entry));
    if (entries > MAX_HASH_ENTRIES)
        entries = MAX_HASH_ENTRIES;
    const std::uint64_t limit = table_memory_limit();
    while (entries > 1 && entries * sizeof(Entry) > limit)
        entries /= 2;
    for (; entries > 1; entries /= 2) {
        if (void* const memory = map_table_memory(entries * sizeof(Entry))) {
            table = static_cast<Entry*>(memory);
            break;
        }
    }
}
