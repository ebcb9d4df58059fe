// eval/table_size.h: sizes and check words shared by the pawn and material hashes.
// Sizes are computed in 64 bits, so megabyte counts of 2048 and more cannot wrap.
#pragma once

#include <cstdint>

#include "position/table_memory.h"

constexpr std::uint64_t megabytes_to_bytes(unsigned megabytes) {
    return static_cast<std::uint64_t>(megabytes == 0 ? 1 : megabytes) << 20;
}

static_assert(megabytes_to_bytes(0) == megabytes_to_bytes(1));
static_assert(megabytes_to_bytes(4096) == std::uint64_t{1} << 32);

// The check word an entry keeps of its key: the key's high 32 bits, salted so that a
// slot straight from the system, all zeros, matches only the one key in 2^32 whose high
// half is the salt, as likely as any other check-word collision. Tables therefore need no
// filling pass before their first probe.
constexpr std::uint32_t CHECK_SALT = 0x9E3779B9u;

constexpr std::uint32_t entry_check(std::uint64_t key) {
    return static_cast<std::uint32_t>(key >> 32) ^ CHECK_SALT;
}
