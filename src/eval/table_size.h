// eval/table_size.h: sizing rule shared by the pawn and material hashes. Sizes are
// computed in 64 bits, so megabyte counts of 2048 and more cannot wrap.
#pragma once

#include <cstdint>

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
