// eval/table_size.h: sizing rule shared by the pawn and material hashes. Sizes are
// computed in 64 bits, so megabyte counts of 2048 and more cannot wrap.
#pragma once

#include <cstdint>
#include <memory>
#include <new>

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

// Allocates a table of `bytes` bytes of entries, lowered to a power of two and to
// MAX_HASH_ENTRIES. A size the machine refuses is halved until it is granted; when not
// even two entries can be had, owner stays empty and the caller's static single entry
// serves. Answers the number of entries.
template <typename Entry>
std::uint64_t allocate_hash_table(std::unique_ptr<Entry[]>& owner, std::uint64_t bytes) {
    std::uint64_t entries = power_of_two_floor(bytes < sizeof(Entry) ? 1 : bytes / sizeof(Entry));
    if (entries > MAX_HASH_ENTRIES)
        entries = MAX_HASH_ENTRIES;
    owner.reset();
    while (!owner && entries > 1) {
        owner.reset(new (std::nothrow) Entry[entries]);
        if (!owner)
            entries /= 2;
    }
    return entries;
}
