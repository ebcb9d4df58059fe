#include <gtest/gtest.h>
#include <random>

#include "position/attacks.h"
#include "support/position_support.h"

namespace {

Bitboard slow_slider(int sq, Bitboard occ, bool rook) {
    const int dirs[2][4][2] = {{{0, 1}, {0, -1}, {1, 0}, {-1, 0}},
                               {{1, 1}, {-1, 1}, {1, -1}, {-1, -1}}};
    Bitboard  set           = 0;
    for (const auto& d : dirs[rook ? 0 : 1])
        for (int f = file_of(sq) + d[0], r = rank_of(sq) + d[1]; f >= 0 && f < 8 && r >= 0 && r < 8;
             f += d[0], r += d[1]) {
            set |= square_bit[make_square(f, r)];
            if (occ & square_bit[make_square(f, r)])
                break;
        }
    return set;
}

constexpr int A1 = 0, B1 = 1, C1 = 2, D1 = 3, E1 = 4, H1 = 7, B3 = 17, A4 = 24, D4 = 27, E4 = 28,
              E2 = 12, H8 = 63;

}  // namespace

TEST(MagicTables, MatchARayWalkForEverySquareAndManyOccupancies) {
    init_engine_tables();
    std::mt19937_64 rng(7);
    for (int sq = 0; sq < 64; ++sq)
        for (int i = 0; i < 3000; ++i) {
            Bitboard occ = rng() & rng();
            if (i % 2)
                occ &= rng();
            if (i == 0)
                occ = 0;
            ASSERT_EQ(rook_attacks(sq, occ), slow_slider(sq, occ, true)) << sq;
            ASSERT_EQ(bishop_attacks(sq, occ), slow_slider(sq, occ, false)) << sq;
            ASSERT_EQ(queen_attacks(sq, occ),
                      slow_slider(sq, occ, true) | slow_slider(sq, occ, false));
        }
}

TEST(MagicTables, HaveTheDocumentedLayout) {
    init_engine_tables();
    // Blocks tile the tables exactly.
    EXPECT_EQ(rook_offset[63] + (1 << (32 - rook_magics[63].shift)), ROOK_TABLE_SIZE);
    EXPECT_EQ(bishop_offset[63] + (1 << (32 - bishop_magics[63].shift)), BISHOP_TABLE_SIZE);
    EXPECT_EQ(ROOK_TABLE_SIZE, 102400);
    EXPECT_EQ(BISHOP_TABLE_SIZE, 5248);
    EXPECT_EQ(rook_magics[A1].shift, 20);
    EXPECT_EQ(rook_magics[B1].shift, 21);
    EXPECT_EQ(rook_magics[D4].shift, 22);
    EXPECT_EQ(bishop_magics[A1].shift, 26);
    EXPECT_EQ(bishop_magics[B1].shift, 27);
    EXPECT_EQ(bishop_magics[make_square(2, 2)].shift, 25);
    EXPECT_EQ(bishop_magics[E4].shift, 23);
    EXPECT_EQ(popcount(rook_magics[A1].mask), 12);
}

TEST(MagicTables, AnswerTheDocumentedExamples) {
    init_engine_tables();
    EXPECT_EQ(popcount(rook_attacks(A1, 0)), 14);
    const Bitboard expected = square_bit[8] | square_bit[16] | square_bit[A4] | square_bit[B1]
                              | square_bit[C1] | square_bit[D1];
    EXPECT_EQ(rook_attacks(A1, square_bit[A4] | square_bit[D1]), expected);
    // A blocker of either colour is included, nothing behind it.
    const Bitboard blockers = square_bit[make_square(5, 5)];
    EXPECT_TRUE(bishop_attacks(D4, blockers) & square_bit[make_square(5, 5)]);
    EXPECT_FALSE(bishop_attacks(D4, blockers) & square_bit[make_square(6, 6)]);
}

TEST(LineTables, BetweenAndRayThrough) {
    init_engine_tables();
    Bitboard diagonal = 0;
    for (int i = 1; i < 7; ++i)
        diagonal |= square_bit[make_square(i, i)];
    EXPECT_EQ(between[A1][H8], diagonal);
    EXPECT_EQ(between[H8][A1], diagonal);
    EXPECT_EQ(between[A1][B3], 0u);
    EXPECT_EQ(between[E1][E2], 0u);
    EXPECT_EQ(between[E1][E1], 0u);
    EXPECT_EQ(ray_through[E1][E4], ray_north[E1]);
    EXPECT_EQ(ray_through[E4][E1], ray_south[E4]);
    EXPECT_EQ(ray_through[A1][B3], 0u);
    // Symmetry and agreement with the slider tables for every pair.
    for (int i = 0; i < 64; ++i)
        for (int j = 0; j < 64; ++j) {
            ASSERT_EQ(between[i][j], between[j][i]);
            if (between[i][j]) {
                const Bitboard ends = square_bit[i] | square_bit[j];
                ASSERT_EQ(between[i][j],
                          queen_attacks(i, ends) & ray_through[i][j] & ~square_bit[j]);
            }
            if (ray_through[i][j]) {
                ASSERT_TRUE(ray_through[i][j] & square_bit[j]);
            }
        }
    EXPECT_EQ(H1, 7);
}
