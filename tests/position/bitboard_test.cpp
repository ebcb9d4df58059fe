#include <gtest/gtest.h>
#include <random>

#include "position/bitboard.h"

TEST(BitHelpers, AgreeWithTheTableDefinitionsOnEverySingleBit) {
    for (int sq = 0; sq < 64; ++sq) {
        const Bitboard b = Bitboard{1} << sq;
        EXPECT_EQ(lsb_index(b), sq);
        EXPECT_EQ(lsb_index_by_table(b), sq);
        EXPECT_EQ(popcount(b), 1);
        EXPECT_EQ(popcount_by_halves(b), 1);
    }
}

TEST(BitHelpers, AgreeWithTheTableDefinitionsOnRandomWords) {
    std::mt19937_64 rng(2026);
    for (int i = 0; i < 200000; ++i) {
        // Mix dense, sparse and one-sided words.
        Bitboard b = rng();
        if (i % 3 == 1)
            b &= rng() & rng();
        if (i % 5 == 2)
            b &= 0xFFFFFFFF00000000ull;
        if (b == 0)
            continue;
        ASSERT_EQ(lsb_index(b), lsb_index_by_table(b)) << std::hex << b;
        ASSERT_EQ(popcount(b), popcount_by_halves(b)) << std::hex << b;
    }
    EXPECT_EQ(popcount(0), popcount_by_halves(0));
    EXPECT_EQ(popcount(~Bitboard{0}), 64);
    EXPECT_EQ(popcount_by_halves(~Bitboard{0}), 64);
}
