// Tests of the passed-pawn term against pieces and kings, read from the evaluation's
// trace (White's passed pawns only, so every other term stays out of the figures).
#include <gtest/gtest.h>

#include "eval/passed.h"
#include "support/eval_support.h"

namespace {

EvalTrace trace_of(const std::string& fen) {
    set_eval_fen(fen);
    return full_trace();
}

// The base of a passed pawn with rank weight w.
constexpr int base_mg(int w) { return (60 * w + 128) / 256 + 10; }
constexpr int base_eg(int w) { return (120 * w + 128) / 256 + 20; }
constexpr int scaled(int x, int w) { return (x * w + 128) / 256; }

TEST(Passed, BaseByRank) {
    // a7 (w = 256): +70 / +140 before any extra; the middle game has no extras.
    const EvalTrace a7 = trace_of("n3k3/P7/8/8/8/8/8/4K3 w - - 0 1");
    EXPECT_EQ(base_mg(256), 70);
    EXPECT_EQ(base_eg(256), 140);
    EXPECT_EQ(a7.mg[TERM_PASSED][WHITE], 70);
    EXPECT_GE(a7.eg[TERM_PASSED][WHITE], 140);
    // c3 and c2 (w = 0): +10 / +20, whatever the extras.
    for (const char* fen :
         {"n3k3/8/8/8/8/2P5/8/4K3 w - - 0 1", "n3k3/8/8/8/8/8/2P5/4K3 b - - 0 1"}) {
        const EvalTrace trace = trace_of(fen);
        EXPECT_EQ(trace.mg[TERM_PASSED][WHITE], 10) << fen;
        EXPECT_EQ(trace.eg[TERM_PASSED][WHITE], 20) << fen;
    }
}

TEST(Passed, UnstoppablePawnAgainstABareKing) {
    // e5 against Ka1, Black to move: k = 7 - 1 = 6, the pawn needs 3 steps.
    const EvalTrace e5 = trace_of("8/8/8/4P3/8/8/8/k3K3 b - - 0 1");
    EXPECT_EQ(e5.eg[TERM_PASSED][WHITE], base_eg(77) + (700 * 77 + 128) / 256);
    EXPECT_EQ((700 * 77 + 128) / 256, 211);
    // e2 needs 6 single steps; its double step gives the king one more: 7 - 1 + 1 = 7.
    const EvalTrace e2 = trace_of("8/8/8/8/8/8/4P3/k3K3 b - - 0 1");
    EXPECT_EQ(e2.eg[TERM_PASSED][WHITE], base_eg(0) + 0) << "w = 0 on rank 2 adds nothing";
    // With the king on a2 it is 6 steps against 6: not unstoppable, and e3..e5 are free:
    // the extra x = 105 - 5 * 1 + 20 * 4 is scaled by w = 0.
    const EvalTrace caught = trace_of("8/8/8/8/8/8/k3P3/4K3 b - - 0 1");
    EXPECT_EQ(caught.eg[TERM_PASSED][WHITE], base_eg(0));
    // On e5 against a king close enough: base plus the free-path extra only.
    const EvalTrace near = trace_of("5k2/8/8/4P3/8/8/8/4K3 b - - 0 1");
    EXPECT_LT(near.eg[TERM_PASSED][WHITE], base_eg(77) + 211);
}

TEST(Passed, OwnRookInFrontOfThePawn) {
    // Black keeps a knight on a8 so the pawn is never "unstoppable"; kings a1 and h6 put
    // the kings' extra at -5 * 5 + 20 * 3 = +35 for a pawn on e5 (N1 = e6).
    const int kings = -5 * 5 + 20 * 3;
    // Re1 behind: a free path to e8, +105.
    const EvalTrace behind = trace_of("n7/8/7k/4P3/8/8/8/K3R3 w - - 0 1");
    EXPECT_EQ(behind.eg[TERM_PASSED][WHITE], base_eg(77) + scaled(105 + kings, 77));
    // Re8 in front, e5 not attacked: -75, and the path stops at e8 (+70).
    const EvalTrace front = trace_of("n3R3/8/7k/4P3/8/8/8/K7 w - - 0 1");
    EXPECT_EQ(front.eg[TERM_PASSED][WHITE], base_eg(77) + scaled(-75 + 70 + kings, 77));
    // Re8 in front with e5 attacked by the knight on d7: -150, no path, no extra left.
    const EvalTrace hanging = trace_of("4R3/3n4/7k/4P3/8/8/8/K7 w - - 0 1");
    EXPECT_EQ(hanging.eg[TERM_PASSED][WHITE], base_eg(77));
}

TEST(Passed, BlockedByOwnPieceDefendedTwiceWithTheSquareControlled) {
    // Ne6 blocks e5; Re1 and Nc4 defend e5; Bg8 controls e6: 35 + 35 + 35 = 105.
    const EvalTrace trace = trace_of("n5B1/8/4N2k/4P3/2N5/8/8/K3R3 w - - 0 1");
    EXPECT_EQ(trace.eg[TERM_PASSED][WHITE], base_eg(77) + scaled(105 - 5 * 5 + 20 * 3, 77));
}

TEST(Passed, SupportedPawnAddsItsBaseToTheExtra) {
    // d6 supported by e5 (which is not passed: Black's f7 guards its path).
    const EvalTrace trace = trace_of("n7/5p1k/3P4/4P3/8/8/8/K7 w - - 0 1");
    // d6: w = 154, N1 = d7 free, N2 = d8 the last rank: +105; support +base; kings
    // a1 -> d7 is 6, h7 -> d7 is 4.
    const int extra = 105 + base_eg(154) - 5 * 6 + 20 * 4;
    EXPECT_EQ(trace.mg[TERM_PASSED][WHITE], base_mg(154));
    EXPECT_EQ(trace.eg[TERM_PASSED][WHITE], base_eg(154) + scaled(extra, 154));
}

}  // namespace
