// Tests of the piece terms: king placement, mobility, outposts, rook files, rook pairs
// and the seventh rank, read from the evaluation's trace.
#include <gtest/gtest.h>

#include "eval/pieces.h"
#include "support/eval_support.h"

namespace {

EvalTrace trace_of(const std::string& fen) {
    set_eval_fen(fen);
    return full_trace();
}

TEST(Pieces, KingPlacementAndTrappedRooks) {
    // No castling rights and not castled: 20, doubled while the enemy has a queen.
    EXPECT_EQ(trace_of("3qk3/8/8/8/8/8/8/R3K3 w - - 0 1").mg[TERM_KING_PLACEMENT][WHITE], -40);
    EXPECT_EQ(trace_of("r3k3/p7/8/8/8/8/P7/R3K3 w - - 0 1").mg[TERM_KING_PLACEMENT][WHITE], -20);
    EXPECT_EQ(trace_of("r3k3/p7/8/8/8/8/P7/R3K3 w Q - 0 1").mg[TERM_KING_PLACEMENT][WHITE], -10);
    EXPECT_EQ(trace_of("r3k3/8/8/8/8/8/8/R3K2R w KQ - 0 1").mg[TERM_KING_PLACEMENT][WHITE], 0);
    // A king on g1 shutting in the h1 rook, and a king on c1 shutting in a2's.
    EXPECT_EQ(trace_of("r3k3/8/8/8/8/8/6PP/6KR w - - 0 1").mg[TERM_KING_PLACEMENT][WHITE],
              -20 - 50);
    EXPECT_EQ(trace_of("r3k3/p7/8/8/8/8/R7/2K5 w - - 0 1").mg[TERM_KING_PLACEMENT][WHITE],
              -20 - 50);
    EXPECT_EQ(trace_of("6kr/6pp/8/8/8/8/8/R3K3 w - - 0 1").mg[TERM_KING_PLACEMENT][BLACK],
              -20 - 50);
}

TEST(Pieces, MobilityIsCountedFromTheBaseline) {
    // A knight on a1 reaching b3 and c2: 4 * (2 - 2) = 0.
    EXPECT_EQ(trace_of("r3k3/8/8/8/8/8/8/N3K3 w - - 0 1").mg[TERM_KNIGHTS][WHITE], 0);
    // A bishop on a1 behind its own pawn on c3 sees b2 only: 5 * (1 - 6).
    EXPECT_EQ(trace_of("r3k3/8/8/8/8/2P5/8/B3K3 w - - 0 1").mg[TERM_BISHOPS][WHITE], -25);
    // A bishop on h1 with b7 blocked by a Black pawn sees g2..b7: 6 squares, 0.
    EXPECT_EQ(trace_of("4k3/1p6/8/8/8/8/8/4K2B w - - 0 1").eg[TERM_BISHOPS][WHITE], 0);
}

TEST(Pieces, KnightOutpost) {
    // Nd5 guarded by e4; Black has five pawns, none able to chase it: +12 / +12.
    const EvalTrace five   = trace_of("4k3/pp3ppp/8/3N4/4P3/8/8/4K3 w - - 0 1");
    const EvalTrace four   = trace_of("4k3/pp3pp1/8/3N4/4P3/8/8/4K3 w - - 0 1");
    const EvalTrace c_pawn = trace_of("4k3/1pp2ppp/8/3N4/4P3/8/8/4K3 w - - 0 1");
    EXPECT_EQ(five.mg[TERM_KNIGHTS][WHITE] - four.mg[TERM_KNIGHTS][WHITE], 12);
    EXPECT_EQ(five.eg[TERM_KNIGHTS][WHITE] - four.eg[TERM_KNIGHTS][WHITE], 12);
    // A Black c7 pawn can chase it (and hits b6 as a7 did): no bonus either.
    EXPECT_EQ(c_pawn.mg[TERM_KNIGHTS][WHITE], four.mg[TERM_KNIGHTS][WHITE]);
}

TEST(Pieces, RookOnAnOpenFileFacingTheKing) {
    // Re1 against Ke8 on an open e-file (Black to move, in check): mobility e2..e8 and b1..d1,
    // f1..h1 (13 squares), then +10 net for the open file, +10 adjacent and +10 same file in the
    // middle game.
    const EvalTrace trace = trace_of("4k3/pppp1ppp/8/8/8/8/PPPP1PPP/K3R3 b - - 0 1");
    EXPECT_EQ(trace.mg[TERM_ROOKS][WHITE], 2 * (13 - 7) + 30);
    EXPECT_EQ(trace.eg[TERM_ROOKS][WHITE], 4 * (13 - 7) + 10);
}

TEST(Pieces, RookOnTheSeventhNeedsTheKingOnItsFirstRank) {
    // Ra7 (mobility a1..a6, a8, b7 = 8) with Black's pawn on b7.
    const EvalTrace g8 = trace_of("6k1/Rp6/8/8/8/8/8/4K3 w - - 0 1");
    const EvalTrace g7 = trace_of("8/Rp4k1/8/8/8/8/8/4K3 w - - 0 1");
    EXPECT_EQ(g8.mg[TERM_ROOKS][WHITE] - g7.mg[TERM_ROOKS][WHITE], 20);
    EXPECT_EQ(g8.eg[TERM_ROOKS][WHITE] - g7.eg[TERM_ROOKS][WHITE], 40);
}

TEST(Pieces, ConnectedRooksGetThePairBonus) {
    // Rd1 and Rf1 see each other across e1. Each sees through the other: 12 squares.
    const EvalTrace trace       = trace_of("4k3/8/8/8/8/8/8/K2R1R2 w - - 0 1");
    const int       mobility_mg = 2 * (12 - 7), mobility_eg = 4 * (12 - 7);
    const int       open_file = 10, near_king = 10;  // d and f are next to the e-file
    EXPECT_EQ(trace.mg[TERM_ROOKS][WHITE], 2 * (mobility_mg + open_file + near_king) + 6 + 4);
    EXPECT_EQ(trace.eg[TERM_ROOKS][WHITE], 2 * (mobility_eg + open_file) + 12 + 8);
}

TEST(Pieces, BlockedPawnsInFrontOfABishop) {
    // Bc1 with own pawns on b2 and d2, both blocked: weight 4 on c1, j = 2.
    const EvalTrace blocked = trace_of("4k3/8/8/8/8/1n1n4/1P1P4/2B1K3 w - - 0 1");
    const EvalTrace free    = trace_of("4k3/8/8/8/8/8/1P1P4/2B1K3 w - - 0 1");
    EXPECT_EQ(blocked.mg[TERM_BISHOPS][WHITE] - free.mg[TERM_BISHOPS][WHITE], -8 * 2 * 4);
    EXPECT_EQ(blocked.eg[TERM_BISHOPS][WHITE] - free.eg[TERM_BISHOPS][WHITE], -10 * 2 * 4);
}

}  // namespace
