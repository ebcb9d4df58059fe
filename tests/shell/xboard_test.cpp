// The command loop in-process: what the GUI's commands do to the loop's state and the
// position. Whole sessions through the real binary are in tests/transcripts.
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <gtest/gtest.h>
#include <string>
#include <utility>

#include "eval/psq.h"
#include "position/attacks.h"
#include "position/hash_keys.h"
#include "position/position.h"
#include "search/think.h"
#include "search/tt.h"
#include "shell/time_alloc.h"
#include "shell/xboard.h"
#include "support/engine_process.h"

namespace {

struct Session {
    LoopState   state;
    std::string output;
    std::string log;
};

class CommandLoop : public testing::Test {
  protected:
    static void SetUpTestSuite() {
        init_line_tables();
        init_magics();
        init_piece_square();
    }
    // Runs the loop on input, its log in a scratch directory; without thinking unless the
    // think is capped at max_depth iterations.
    Session run(const std::string& input, int max_depth = 0) {
        std::string       in_copy  = input;  // fmemopen wants a writable buffer
        std::FILE*        in       = fmemopen(in_copy.data(), in_copy.size(), "r");
        char*             buffer   = nullptr;
        std::size_t       size     = 0;
        std::FILE*        out      = open_memstream(&buffer, &size);
        const std::string log_path = dir.root + "/log";
        Session           session;
        session.state =
            command_loop(in, out, LoopSettings{log_path.c_str(), max_depth > 0, max_depth});
        set_thinking_output(stdout);  // the loop pointed it at out, closed below
        std::fclose(in);
        std::fclose(out);
        session.output.assign(buffer, size);
        std::free(buffer);
        read_file(log_path, session.log);
        return session;
    }
    ScratchDir dir;
};

TEST_F(CommandLoop, TimeControlStartsWithAnHourPerMoveAndDepth64) {
    const TimeControl tc = run("quit\n").state.time_control;
    EXPECT_EQ(tc.moves_per_control, -1);
    EXPECT_EQ(tc.increment_ms, 0);
    EXPECT_EQ(tc.own_time_ms, 0);
    EXPECT_EQ(tc.opponent_time_ms, 0);
    EXPECT_EQ(tc.fixed_time_ms, 3600000);
    EXPECT_EQ(tc.depth_limit, 64);
}

TEST_F(CommandLoop, TimeCommandsSetTheirFields) {
    TimeControl tc = run("level 40 5 2\ntime 30000\notim 29000\n").state.time_control;
    EXPECT_EQ(tc.moves_per_control, 40);
    EXPECT_EQ(tc.increment_ms, 2000);
    EXPECT_EQ(tc.own_time_ms, 300000);
    EXPECT_EQ(tc.opponent_time_ms, 290000);
    EXPECT_EQ(tc.fixed_time_ms, 3600000);

    tc = run("level 0 2:30 12\nsd 7\n").state.time_control;  // "sd" brings back the fixed time
    EXPECT_EQ(tc.moves_per_control, -1);
    EXPECT_EQ(tc.increment_ms, 12000);
    EXPECT_EQ(tc.depth_limit, 7);
    EXPECT_EQ(tc.fixed_time_ms, 3600000);

    tc = run("sd 7\nlevel 0 5 0\nst 10\n").state.time_control;  // "st" brings back depth 64
    EXPECT_EQ(tc.moves_per_control, -1);
    EXPECT_EQ(tc.fixed_time_ms, 10000);
    EXPECT_EQ(tc.depth_limit, 64);

    // xboard sends a fractional increment as a decimal: 10 s + 0.1 s, and the budget
    // counts it (10000 / 30 + 100).
    tc = run("level 0 0:10 0.1\ntime 1000\notim 1000\n").state.time_control;
    EXPECT_EQ(tc.moves_per_control, 0);
    EXPECT_EQ(tc.increment_ms, 100);
    allocate_time(tc.moves_per_control, tc.increment_ms, tc.own_time_ms, tc.opponent_time_ms,
                  tc.fixed_time_ms);
    EXPECT_EQ(normal_budget, 10000 / 30 + 100);
    for (const auto& [increment, ms] :
         {std::pair{"1.5", 1500}, {"+.25", 250}, {"2.0009x", 2000}, {"-0", 0}, {"3.", 3000}})
        EXPECT_EQ(run(std::string("level 0 1 ") + increment + "\n").state.time_control.increment_ms,
                  ms)
            << increment;
}

TEST_F(CommandLoop, TheFuzzersDepthCapHoldsWhateverSdSays) {
    allocate_tt(1 << 10);
    const Session s = run("sd 9\ngo\n", 1);
    ASSERT_EQ(s.output.rfind(" 1 ", 0), 0u) << s.output;  // one thinking line, then the move
    EXPECT_EQ(s.output.find("\n 2 "), std::string::npos) << s.output;
    EXPECT_NE(s.output.find("\nmove "), std::string::npos) << s.output;
    EXPECT_EQ(s.state.time_control.depth_limit, 9);
}

// "st" keeps the clock reserve back from the time per move, as from the clock. In a game
// with an increment the clock the engine expects at the next "time" includes the
// increment, and the delay the GUI's clock shows beyond it is smoothed as
// (3 * old + new) / 4. The delays below are 1.8 s and 2 s less a depth-1 think, so a
// whole second each (the most counted), whatever the machine's load.
TEST_F(CommandLoop, ClockReserveAndLagAsTheEngineSeesThem) {
    run("st 1\ngo\n", 1);
    EXPECT_EQ(normal_budget, 1000 - CLOCK_RESERVE_MS - 10);
    const std::string game = "level 0 1 1\ntime 6000\notim 6000\ngo\ntime 5920\n";
    EXPECT_EQ(run(game, 1).state.time_control.lag_ms, 1000 / 4);
    EXPECT_EQ(run(game + "a7a6\ntime 5820\n", 1).state.time_control.lag_ms,
              (3 * (1000 / 4) + 1000) / 4);
}

TEST_F(CommandLoop, ScaledNumbersAreClampedToTheIntRange) {
    TimeControl tc =
        run("time 300000000\notim -300000000\nst 3000000\nlevel 0 5 3000000\n").state.time_control;
    EXPECT_EQ(tc.own_time_ms, INT_MAX);
    EXPECT_EQ(tc.opponent_time_ms, INT_MIN);
    EXPECT_EQ(tc.increment_ms, INT_MAX);
    tc = run("st 3000000\n").state.time_control;
    EXPECT_EQ(tc.fixed_time_ms, INT_MAX);
    const Session s = run("time 99999999999999999999\n");
    EXPECT_EQ(s.state.time_control.own_time_ms, INT_MAX);
    EXPECT_EQ(s.log, "time 2147483647\n");
}

TEST_F(CommandLoop, MalformedNumbersChangeNothingAndAreNotLogged) {
    const std::string set  = "level 30 5 3\nst 4\ntime 500\notim 600\n";
    const TimeControl want = run(set).state.time_control;
    const Session     s    = run(set
                                 + "st\nst x\nsd\nsd -\ntime\ntime ten\notim\nlevel\nlevel 40\n"
                                          "level 40 5\nlevel x 5 0\nlevel -2 5 0\nlevel 40 5 y\n"
                                          "level 0 1 -2\nlevel 0 1 -0.1\nlevel 0 1 .\nprotover\n");
    const TimeControl tc   = s.state.time_control;
    EXPECT_EQ(tc.moves_per_control, want.moves_per_control);
    EXPECT_EQ(tc.increment_ms, want.increment_ms);
    EXPECT_EQ(tc.own_time_ms, want.own_time_ms);
    EXPECT_EQ(tc.opponent_time_ms, want.opponent_time_ms);
    EXPECT_EQ(tc.fixed_time_ms, want.fixed_time_ms);
    EXPECT_EQ(tc.depth_limit, want.depth_limit);
    std::string expected_output, expected_log = "st 4\ntime 500\notim 600\n";
    for (const char* word :
         {"st", "st", "sd", "sd", "time", "time", "otim", "level", "level", "level", "level",
          "level", "level", "level", "level", "level", "protover"}) {
        expected_output += std::string("Error (unknown command): ") + word + "\n";
        expected_log += std::string("Error (unknown command): ") + word + "\n\n";
    }
    EXPECT_EQ(s.output, expected_output);
    EXPECT_EQ(s.log, expected_log);
}

TEST_F(CommandLoop, ForceModeAndTheEnginesTurn) {
    LoopState state = run("force\ne2e4\n").state;
    EXPECT_TRUE(state.force_mode);
    EXPECT_TRUE(state.engine_to_move);  // set by the move, held back by force mode
    state = run("force\ne2e4\nnew\n").state;
    EXPECT_FALSE(state.force_mode);
    EXPECT_FALSE(state.engine_to_move);
    state = run("force\ne2e4\nwhite\n").state;
    EXPECT_FALSE(state.engine_to_move);
    state = run("force\nplayother\n").state;
    EXPECT_FALSE(state.force_mode);
    EXPECT_FALSE(state.engine_to_move);
    state = run("e2e4\n").state;  // the turn passed: nothing thinks here
    EXPECT_FALSE(state.engine_to_move);
    EXPECT_EQ(position().history_length, 1);
}

TEST_F(CommandLoop, UndoAndRemoveTakeBackMovesAndSetForceMode) {
    LoopState state = run("undo\nremove\n").state;
    EXPECT_FALSE(state.force_mode);  // nothing to take back
    state = run("e2e4\nremove\n").state;
    EXPECT_FALSE(state.force_mode);
    EXPECT_EQ(position().history_length, 1);
    state = run("e2e4\nundo\n").state;
    EXPECT_TRUE(state.force_mode);
    EXPECT_EQ(position().history_length, 0);
    state = run("e2e4\ne7e5\ng1f3\nremove\n").state;
    EXPECT_TRUE(state.force_mode);
    EXPECT_EQ(position().history_length, 1);
    EXPECT_TRUE(position_is_consistent());
}

TEST_F(CommandLoop, NewStartsTheGameAgain) {
    run("quit\n");
    const Key start = position().key;
    run("force\ne2e4\ne7e5\nnew\n");
    EXPECT_EQ(position().history_length, 0);
    EXPECT_EQ(position().key, start);
    EXPECT_TRUE(position_is_consistent());
}

// The key must describe the position, side to move included, or the transposition table
// would hand out another position's results.
TEST_F(CommandLoop, WhiteAndBlackKeepTheKeyInStep) {
    run("quit\n");
    const Key white_key = position().key;
    run("black\n");
    EXPECT_EQ(position().side_to_move, BLACK);
    EXPECT_EQ(position().key, white_key ^ SIDE_KEY);
    EXPECT_TRUE(position_is_consistent());
    run("black\nblack\n");
    EXPECT_EQ(position().key, white_key ^ SIDE_KEY);
    run("black\nwhite\n");
    EXPECT_EQ(position().key, white_key);
    run("force\ne2e4\nwhite\nd2d4\n");
    EXPECT_EQ(position().side_to_move, BLACK);
    EXPECT_EQ(position().key, keys_from_scratch().key);
    EXPECT_TRUE(position_is_consistent());
}

// "white" and "black" change the side to move between moves; taking a move back must
// still move the pieces of the side that made it.
TEST_F(CommandLoop, UndoAndRemoveTakeBackMovesAcrossASideChange) {
    run("quit\n");
    const std::string start = position_to_fen();
    const Key         key   = position().key;
    for (const char* session :
         {"force\ne2e4\nwhite\nundo\n", "force\ne2e4\nblack\nundo\n",
          "force\ne2e4\ne7e5\nblack\nremove\n", "force\ne2e4\nwhite\nd2d4\nwhite\nremove\n",
          "force\nblack\ne7e5\nblack\nd7d5\nundo\nundo\n"}) {
        run(session);
        EXPECT_EQ(position().history_length, 0) << session;
        EXPECT_TRUE(position_is_consistent()) << session;
        EXPECT_EQ(position().board[WHITE][12], PAWN) << session;
        EXPECT_EQ(position().board[BLACK][52], PAWN) << session;
        EXPECT_EQ(position().board[BLACK][51], PAWN) << session;
    }
    run("force\ne2e4\nwhite\nundo\n");
    EXPECT_EQ(position_to_fen(), start);
    EXPECT_EQ(position().key, key);
    run("force\nblack\ne7e5\nundo\n");  // back to the start with Black to move
    EXPECT_EQ(position().side_to_move, BLACK);
    EXPECT_EQ(position().key, key ^ SIDE_KEY);
}

// Knights out and back: legal for ever, and no capture or pawn move ever ends it.
std::string knight_shuffle(int moves) {
    const char* cycle[] = {"g1f3\n", "g8f6\n", "f3g1\n", "f6g8\n"};
    std::string text    = "force\n";
    for (int i = 0; i < moves; ++i)
        text += cycle[i % 4];
    return text;
}

TEST_F(CommandLoop, AGameMoveMustLeaveRoomForTheDeepestSearch) {
    const int most = HISTORY_CAPACITY - SEARCH_HISTORY_RESERVE;
    Session   s    = run(knight_shuffle(most + 1) + "undo\n" + "f6g8\n" + "f6g8\n");
    EXPECT_EQ(s.output, "Error (unknown command): g1f3\nError (unknown command): f6g8\n");
    EXPECT_EQ(position().history_length, most);
    EXPECT_TRUE(position_is_consistent());
}

}  // namespace
