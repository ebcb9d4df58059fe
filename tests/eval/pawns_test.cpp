// Tests of the pawn structure terms, the passed-pawn set and the king shelter.
#include <gtest/gtest.h>

#include "eval/pawns.h"
#include "position/position.h"
#include "support/eval_support.h"

namespace {

const PawnInfo& pawns_of(const std::string& fen) {
    set_eval_fen(fen);
    evaluate_pawns();
    return pawn_info();
}

constexpr Bitboard bit(int sq) { return Bitboard{1} << sq; }
constexpr int      C4 = 26, D2 = 11, D3 = 19, D4 = 27;

TEST(Pawns, StartPosition) {
    const PawnInfo& info = pawns_of("rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1");
    EXPECT_EQ(info.mg, 0);
    EXPECT_EQ(info.eg, 0);
    EXPECT_EQ(info.passed, 0u);
    for (int wing = 0; wing < 4; ++wing)
        for (int c = BLACK; c <= WHITE; ++c)
            EXPECT_EQ(info.shelter[wing][c], 0) << "wing " << wing << " colour " << c;
}

TEST(Pawns, IsolatedOpposedAndUnopposed) {
    // e4 against e6: both isolated but opposed, 13 / 16 each, net 0.
    const PawnInfo& opposed = pawns_of("4k3/8/4p3/8/4P3/8/8/4K3 w - - 0 1");
    EXPECT_EQ(opposed.mg, 0);
    EXPECT_EQ(opposed.eg, 0);
    EXPECT_EQ(opposed.passed, 0u);
    // A lone d4: isolated and unopposed costs half again; it is also passed.
    const PawnInfo& lone = pawns_of("4k3/8/8/8/3P4/8/8/4K3 w - - 0 1");
    EXPECT_EQ(lone.mg, -(13 + 6));
    EXPECT_EQ(lone.eg, -(16 + 8));
    EXPECT_EQ(lone.passed, bit(D4));
    // The same for Black, by the colour mirror.
    const PawnInfo& black = pawns_of(mirror_fen("4k3/8/8/8/3P4/8/8/4K3 w - - 0 1"));
    EXPECT_EQ(black.mg, 13 + 6);
    EXPECT_EQ(black.eg, 16 + 8);
}

TEST(Pawns, DoubledPawnsMarkOnlyTheFrontPawnPassed) {
    const PawnInfo& info = pawns_of("4k3/8/8/8/8/3P4/3P4/4K3 w - - 0 1");
    // d2: isolated, unopposed. d3: the same, and doubled.
    EXPECT_EQ(info.mg, -(13 + 6) - (10 + 13 + 6));
    EXPECT_EQ(info.eg, -(16 + 8) - (20 + 16 + 8));
    EXPECT_EQ(info.passed, bit(D3));
    EXPECT_EQ(info.passed & bit(D2), 0u);
}

TEST(Pawns, BackwardPawn) {
    // White d3 with c4 ahead of it and d4 hit by Black's e5: backward and unopposed.
    // c4 is supported by d3 and passed. Black's e5 is isolated and unopposed.
    const PawnInfo& info     = pawns_of("4k3/8/8/4p3/2P5/3P4/8/4K3 w - - 0 1");
    const int       white_mg = -(11 + 5) + 7, white_eg = -(13 + 6) + 6;
    const int       black_mg = -(13 + 6), black_eg = -(16 + 8);
    EXPECT_EQ(info.mg, white_mg - black_mg);
    EXPECT_EQ(info.eg, white_eg - black_eg);
    EXPECT_EQ(info.passed, bit(C4));
}

TEST(Pawns, CandidatePassedPawn) {
    // d4 is unopposed; d5 is hit once by e6 and guarded once by c4; nothing beyond: a
    // candidate on rank 4 (weight 26): +10 mg / +20 eg. c4 and d4 support each other.
    const PawnInfo& info   = pawns_of("4k3/8/4p3/8/2PP4/8/8/4K3 w - - 0 1");
    const int candidate_mg = (50 * 26 + 128) / 256 + 5, candidate_eg = (100 * 26 + 128) / 256 + 10;
    EXPECT_EQ(candidate_mg, 10);
    EXPECT_EQ(candidate_eg, 20);
    const int white_mg = 7 + 7 + candidate_mg, white_eg = 6 + 6 + candidate_eg;
    const int black_mg = -(13 + 6), black_eg = -(16 + 8);  // e6 isolated, unopposed
    EXPECT_EQ(info.mg, white_mg - black_mg);
    EXPECT_EQ(info.eg, white_eg - black_eg);
    EXPECT_EQ(info.passed, bit(C4));
    // Without c4's guard, d5 is hit more often than guarded: no candidate, and d4 is now
    // isolated.
    const PawnInfo& lone = pawns_of("4k3/8/4p3/8/3P4/8/8/4K3 w - - 0 1");
    EXPECT_EQ(lone.mg, -(13 + 6) - black_mg);
}

TEST(Pawns, ShelterOfOpenAndStormedFiles) {
    // No pawns near the g-file: open-file values of f, g and h.
    const PawnInfo& open = pawns_of("4k3/pppp4/8/8/8/8/PPPP4/4K3 w - - 0 1");
    EXPECT_EQ(open.shelter[WING_KING][WHITE], 5 + 6 + 7);
    EXPECT_EQ(open.shelter[WING_KING][BLACK], 5 + 6 + 7);
    EXPECT_EQ(king_shelter(6, WHITE), 18);
    // White shield on f2 g3 h2 against a Black storm pawn on g4 and nothing else on f, h.
    const PawnInfo& storm = pawns_of("4k3/8/8/8/6p1/6P1/5P1P/4K3 w - - 0 1");
    const int       f = 2 + 0, g = 2 + 1, h = 3 + 0;  // no enemy pawn 2 / storm rank 4 = 2; shield
    EXPECT_EQ(storm.shelter[WING_KING][WHITE], f + g + h);
    // A pawnless board: every wing open.
    const PawnInfo& none = pawns_of("4k3/8/8/8/8/8/8/R3K3 w - - 0 1");
    EXPECT_EQ(position().pawn_key, 0u);
    EXPECT_EQ(none.mg, 0);
    EXPECT_EQ(none.shelter[WING_QUEEN][WHITE], 7 + 6 + 5);
    EXPECT_EQ(none.shelter[WING_E][BLACK], 5 + 5 + 5);
}

}  // namespace
