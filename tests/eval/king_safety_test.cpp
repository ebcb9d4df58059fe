// Tests of king safety: the attacker counts, the pressure bonus and the shelter penalty,
// read from the evaluation's trace.
#include <gtest/gtest.h>

#include "eval/king_safety.h"
#include "support/eval_support.h"

namespace {

EvalTrace trace_of(const std::string& fen) {
    set_eval_fen(fen);
    return full_trace();
}

TEST(KingSafety, StartPositionPressureClampsToZeroForBoth) {
    // Both pressures are negative (the guards outweigh the tropism): -25 each. Both kings
    // still may castle behind perfect shelters: the floor of 3 costs 30.
    const EvalTrace trace = trace_of("rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1");
    EXPECT_EQ(trace.mg[TERM_KING_SAFETY][WHITE], -25 - 30);
    EXPECT_EQ(trace.mg[TERM_KING_SAFETY][BLACK], -25 - 30);
    // Without castling rights the king's own wing counts: the e-file shelter is perfect.
    const EvalTrace no_rights = trace_of("rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w - - 0 1");
    EXPECT_EQ(no_rights.mg[TERM_KING_SAFETY][WHITE], -25);
    EXPECT_EQ(no_rights.mg[TERM_KING_SAFETY][BLACK], -25);
}

TEST(KingSafety, NothingWithoutAQueenAndAnotherPiece) {
    // Black has rook and knight (no queen); White's queen is alone: no term at all, not
    // even the shelter penalty of White's open king.
    for (const char* fen :
         {"r3k3/8/8/8/8/2n5/8/3QK3 w - - 0 1", "4k3/8/8/8/8/8/8/R2qK3 w - - 0 1"}) {
        const EvalTrace trace = trace_of(fen);
        EXPECT_EQ(trace.mg[TERM_KING_SAFETY][WHITE], 0) << fen;
        EXPECT_EQ(trace.mg[TERM_KING_SAFETY][BLACK], 0) << fen;
    }
}

TEST(KingSafety, AttackersOfTheKingZone) {
    // White Kg1 behind f2 g2 h2 (Black's f7 g7 h7 storm nothing: shelter 0). Qh4 hits h2,
    // Ne4 hits f2: count 2, weight 4 + 1 = 5, no pawn attacks in the zone.
    const EvalTrace two = trace_of("6k1/5ppp/8/8/4n2q/8/5PPP/R5K1 w - - 0 1");
    EXPECT_EQ(two.mg[TERM_KING_SAFETY][WHITE], -20 * 128 * 5 / 256);
    EXPECT_EQ(two.mg[TERM_KING_SAFETY][WHITE], -50);
    // The knight moved away: a lone attacker costs nothing.
    const EvalTrace one = trace_of("n5k1/5ppp/8/8/7q/8/5PPP/R5K1 w - - 0 1");
    EXPECT_EQ(one.mg[TERM_KING_SAFETY][WHITE], 0);
}

TEST(KingSafety, TablesAtTheirEdges) {
    EXPECT_EQ(pressure_bonus[6], 0) << "pressure 6 is neutral";
    EXPECT_EQ(pressure_bonus[0], -25);
    EXPECT_EQ(pressure_bonus[20], 104);
    EXPECT_EQ(scale_for_attackers(1), 0);
    EXPECT_EQ(scale_for_attackers(16), 256);
    EXPECT_EQ(scale_for_attackers(17), 256) << "beyond the table the scale stays 256";
}

}  // namespace
