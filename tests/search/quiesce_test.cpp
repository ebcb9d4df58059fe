#include <gtest/gtest.h>

#include "eval/evaluate.h"
#include "position/position.h"
#include "search/clock.h"
#include "search/pv.h"
#include "search/quiesce.h"
#include "support/search_support.h"

namespace {

TEST(Quiesce, QuietPositionAnswersItsStaticEvaluation) {
    fresh_search("rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1");
    Move pv[PV_CAPACITY];
    pv[0] = 12345;
    EXPECT_EQ(quiesce(-MATE, MATE, 1, pv, false), evaluate(-MATE, MATE));
    EXPECT_EQ(pv[0], NO_MOVE);
}

TEST(Quiesce, CheckmateAnswersMatedAtThisPly) {
    fresh_search("R5k1/5ppp/8/8/8/8/8/6K1 b - - 0 1");
    Move pv[PV_CAPACITY];
    EXPECT_EQ(quiesce(-MATE, MATE, 0, pv, true), search_ply() - MATE);
    EXPECT_EQ(pv[0], NO_MOVE);
}

TEST(Quiesce, StandPatAtBetaGeneratesNoMove) {
    // White is a rook up and could take a pawn; standing pat already beats beta.
    fresh_search("4k3/8/8/3p4/4P3/8/8/R3K3 w - - 0 1");
    const int stand_pat = evaluate(-MATE, MATE);
    Move      pv[PV_CAPACITY];
    reset_node_count();
    EXPECT_EQ(quiesce(stand_pat - 10, stand_pat - 9, 1, pv, false), stand_pat);
    EXPECT_EQ(node_count, 1);
}

TEST(Quiesce, DeltaPruningSkipsHopelessCapturesOnlyInNullWindows) {
    // The only capture is exd5 (a pawn, 90). 150 below alpha, 90 + 50 cannot reach it.
    fresh_search("4k3/8/8/3p4/4P3/8/8/4K3 w - - 0 1");
    const int e = evaluate(-MATE, MATE);
    Move      pv[PV_CAPACITY];
    reset_node_count();
    EXPECT_EQ(quiesce(e + 150, e + 151, 0, pv, false), e + 90 + 50);
    EXPECT_EQ(node_count, 1);  // the capture was not made
    EXPECT_EQ(pv[0], NO_MOVE);

    reset_node_count();
    quiesce(e + 150, e + 200, 0, pv, false);  // a full window makes it
    EXPECT_EQ(node_count, 2);
}

TEST(Quiesce, RepetitionScoresZero) {
    fresh_search("rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNB1KBNR w KQkq - 0 1");
    play_moves("g1f3 g8f6 f3g1 f6g8");  // back where the game started: a draw
    Move pv[PV_CAPACITY];
    EXPECT_EQ(quiesce(-MATE, MATE, 1, pv, false), 0);
}

}  // namespace
