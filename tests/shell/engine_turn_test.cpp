// The engine's turn on positions no game from the start reaches quickly: what the
// thinking driver answers, made on the board and judged by the result detection, as the
// command loop does it.
#include <gtest/gtest.h>
#include <string>

#include "eval/material.h"
#include "eval/pawns.h"
#include "position/make_move.h"
#include "position/move.h"
#include "position/position.h"
#include "search/think.h"
#include "search/tt.h"
#include "shell/move_text.h"
#include "shell/result.h"
#include "shell/xboard.h"
#include "support/position_support.h"

namespace {

class EngineTurnTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        init_engine_tables();
        allocate_tt(1 << 16);
        allocate_pawn_hash(1);
        allocate_material_hash(1);
        set_thinking_output(nullptr);
    }
    static void TearDownTestSuite() { set_thinking_output(stdout); }
    // One engine turn at a fixed depth: think, make the answer, judge the game.
    static Move take_turn(const std::string& fen, int depth, int& score) {
        set_fen(fen);
        tt_clear();
        reset_game_state();
        const Move m = think(fixed_limits(depth, DEFAULT_FIXED_TIME_MS), score);
        if (m != NO_MOVE)
            make_move(m);
        update_game_state(score, m);
        return m;
    }
};

TEST_F(EngineTurnTest, HopelessWhiteMovesThenResigns) {
    // Every White move is answered by a rook mate on the h-file or the first rank.
    int        score = 0;
    const Move m     = take_turn("1r6/8/8/8/8/8/P4k2/7K w - - 0 1", 3, score);
    EXPECT_NE(m, NO_MOVE);
    EXPECT_EQ(score, 2 - 32000);
    EXPECT_EQ(game_state, STATE_WHITE_RESIGNS);
    EXPECT_STREQ(result_text(game_state), "0-1 {White resigns}");
}

TEST_F(EngineTurnTest, HopelessBlackMovesThenResigns) {
    int        score = 0;
    const Move m     = take_turn("7k/p4K2/8/8/8/8/8/1R6 b - - 0 1", 3, score);
    EXPECT_NE(m, NO_MOVE);
    EXPECT_EQ(score, 2 - 32000);
    EXPECT_EQ(game_state, STATE_BLACK_RESIGNS);
    EXPECT_STREQ(result_text(game_state), "1-0 {Black resigns}");
}

TEST_F(EngineTurnTest, MateInOneIsPlayedAndClaimedForBothColours) {
    int score = 0;
    // Back-rank mate: Ra8.
    Move m = take_turn("6k1/5ppp/8/8/8/8/8/R5K1 w - - 0 1", 2, score);
    EXPECT_STREQ(move_to_text(m).text, "a1a8");
    EXPECT_EQ(score, 31999);
    EXPECT_EQ(game_state, STATE_WHITE_MATES);
    m = take_turn("r5k1/8/8/8/8/8/5PPP/6K1 b - - 0 1", 2, score);
    EXPECT_STREQ(move_to_text(m).text, "a8a1");
    EXPECT_EQ(game_state, STATE_BLACK_MATES);
}

TEST_F(EngineTurnTest, CheckmatedOrStalematedEngineHasNoMove) {
    int score = 1;
    EXPECT_EQ(take_turn("R5k1/5ppp/8/8/8/8/8/6K1 b - - 0 1", 3, score), NO_MOVE);
    EXPECT_EQ(score, -32000);
    EXPECT_EQ(game_state, STATE_WHITE_MATES);
    score = 1;
    EXPECT_EQ(take_turn("7k/5Q2/6K1/8/8/8/8/8 b - - 0 1", 3, score), NO_MOVE);
    EXPECT_EQ(score, 0);
    EXPECT_EQ(game_state, STATE_STALEMATE);
}

TEST_F(EngineTurnTest, AWinningMateFurtherAwayIsPlayedOut) {
    // King and queen against king, mate in two: only a mate in one is claimed.
    int        score = 0;
    const Move m     = take_turn("7k/8/8/5K2/8/8/8/6Q1 w - - 0 1", 5, score);
    EXPECT_NE(m, NO_MOVE);
    EXPECT_EQ(score, 31997);
    EXPECT_EQ(game_state, STATE_PLAYING);
}

TEST_F(EngineTurnTest, AProvenMateEndsTheSearchUnderALargeDepthLimit) {
    // Once a mate is found, "sd 10" still answers: mate-distance bounds stop the chains of
    // extended checks that would otherwise run to the ply limit.
    struct Case {
        const char* fen;
        const char* move;
        int         score;
    };
    const Case cases[] = {
        {"2rr3k/pp3pp1/1nnqbN1p/3pN3/2pP4/2P3Q1/PPB4P/R4RK1 w - - 0 1", "g3g6", 31997},
        {"r3q1kr/ppp5/3p2pQ/8/3PP1b1/5R2/PPP3P1/5RK1 w - - 0 1", "f3f8", 31995},
        {"8/8/q7/1r4k1/3K4/8/8/5R1q b - - 1 105", "h1f1", 31995},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.fen);
        int        score = 0;
        const Move m     = take_turn(c.fen, 10, score);
        EXPECT_STREQ(move_to_text(m).text, c.move);
        EXPECT_EQ(score, c.score);
        EXPECT_EQ(game_state, STATE_PLAYING);
    }
}

}  // namespace
