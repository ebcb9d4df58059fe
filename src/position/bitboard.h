// position/bitboard.h: the two bit helpers every bitboard loop uses. There is one way
// to walk a set:
//   for (Bitboard b = set; b; b &= b - 1) { const int sq = lsb_index(b); ... }
// Both compile to single instructions where the target has them; the table-driven
// definitions below are the reference the tests hold them to.
#pragma once

#include <array>
#include <bit>

#include "position/types.h"

constexpr int lsb_index(Bitboard b) { return std::countr_zero(b); }  // b must not be empty
constexpr int popcount(Bitboard b) { return std::popcount(b); }

// Reference bit scan: fold b ^ (b - 1) to 32 bits and hash it with a 32-bit multiply.
constexpr unsigned lsb_hash(Bitboard b) {
    const Bitboard      x = b ^ (b - 1);
    const std::uint32_t f = static_cast<std::uint32_t>(x) ^ static_cast<std::uint32_t>(x >> 32);
    return (f * 0x783A9B23u) >> 26;
}
// lsb_table[lsb_hash(1 << s)] == s for every square s.
constexpr std::array<int, 64> lsb_table = [] {
    std::array<int, 64> table{};
    for (int sq = 0; sq < 64; ++sq)
        table[lsb_hash(Bitboard{1} << sq)] = sq;
    return table;
}();
constexpr int lsb_index_by_table(Bitboard b) { return lsb_table[lsb_hash(b)]; }

// Reference population count: parallel bit sums on each 32-bit half.
constexpr int popcount_by_halves(Bitboard b) {
    auto half = [](std::uint32_t v) {
        v = v - ((v >> 1) & 0x55555555u);
        v = (v & 0x33333333u) + ((v >> 2) & 0x33333333u);
        v = (v + (v >> 4)) & 0x0F0F0F0Fu;
        return static_cast<int>((v * 0x01010101u) >> 24);
    };
    return half(static_cast<std::uint32_t>(b)) + half(static_cast<std::uint32_t>(b >> 32));
}

static_assert(lsb_index_by_table(Bitboard{1} << 63) == 63);
static_assert(lsb_index_by_table(0x8000000000000001ull) == 0);
static_assert(popcount_by_halves(0xFFFF00000000FFFFull) == 32);
