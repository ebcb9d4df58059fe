// Result detection after the engine's turn: who is mated, who resigns, stalemate.
#include <gtest/gtest.h>

#include "position/attacks.h"
#include "position/move.h"
#include "position/position.h"
#include "shell/result.h"

namespace {

constexpr Move SOME_MOVE = make_quiet(12, 28);  // stands for "the engine moved"

class ResultTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        init_line_tables();
        init_magics();
    }
    void SetUp() override { reset_game_state(); }
    // After the engine's turn: side is the colour to move then.
    static int judge(int side, int score, Move move) {
        new_game();
        set_side_to_move(side);
        update_game_state(score, move);
        return game_state;
    }
};

TEST_F(ResultTest, MateDeliveredByTheEngine) {
    // The engine's mating move was made: the opponent, now to move, is mated.
    EXPECT_EQ(judge(BLACK, 31999, SOME_MOVE), STATE_WHITE_MATES);
    EXPECT_EQ(judge(WHITE, 31999, SOME_MOVE), STATE_BLACK_MATES);
}

TEST_F(ResultTest, EngineCheckmatedHasNoMove) {
    EXPECT_EQ(judge(BLACK, -32000, NO_MOVE), STATE_WHITE_MATES);
    EXPECT_EQ(judge(WHITE, -32000, NO_MOVE), STATE_BLACK_MATES);
}

TEST_F(ResultTest, HopelessEngineResignsAfterItsMove) {
    // Black to move after the engine's move: the engine was White.
    EXPECT_EQ(judge(BLACK, -31100, SOME_MOVE), STATE_WHITE_RESIGNS);
    EXPECT_EQ(judge(WHITE, -31998, SOME_MOVE), STATE_BLACK_RESIGNS);
    // The threshold itself is not hopeless yet.
    EXPECT_EQ(judge(WHITE, -31099, SOME_MOVE), STATE_PLAYING);
}

TEST_F(ResultTest, StalemateNeedsNoMoveAndScoreZero) {
    EXPECT_EQ(judge(WHITE, 0, NO_MOVE), STATE_STALEMATE);
    EXPECT_EQ(judge(BLACK, 0, NO_MOVE), STATE_STALEMATE);
    EXPECT_EQ(judge(WHITE, 5, NO_MOVE), STATE_PLAYING);
}

TEST_F(ResultTest, OrdinaryMovesAndLongerMatesPlayOn) {
    EXPECT_EQ(judge(WHITE, 0, SOME_MOVE), STATE_PLAYING);      // a book move
    EXPECT_EQ(judge(BLACK, 31997, SOME_MOVE), STATE_PLAYING);  // mate in two: played out
    EXPECT_EQ(judge(BLACK, -31000, SOME_MOVE), STATE_PLAYING);
    EXPECT_EQ(judge(WHITE, 900, SOME_MOVE), STATE_PLAYING);
}

TEST_F(ResultTest, EveryStateChangeIsOverwritten) {
    judge(WHITE, 0, NO_MOVE);
    EXPECT_EQ(judge(WHITE, 10, SOME_MOVE), STATE_PLAYING);
    judge(WHITE, -32000, NO_MOVE);
    reset_game_state();
    EXPECT_EQ(game_state, STATE_PLAYING);
}

TEST_F(ResultTest, ResultTexts) {
    EXPECT_STREQ(result_text(STATE_PLAYING), "");
    EXPECT_STREQ(result_text(STATE_BLACK_MATES), "0-1 {Black mates}");
    EXPECT_STREQ(result_text(STATE_WHITE_MATES), "1-0 {White mates}");
    EXPECT_STREQ(result_text(STATE_WHITE_RESIGNS), "0-1 {White resigns}");
    EXPECT_STREQ(result_text(STATE_BLACK_RESIGNS), "1-0 {Black resigns}");
    EXPECT_STREQ(result_text(STATE_STALEMATE), "1/2-1/2 {Stalemate}");
    EXPECT_STREQ(result_text(6), "");
}

}  // namespace
