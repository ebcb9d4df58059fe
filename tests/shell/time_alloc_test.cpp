// Time budgets for every kind of time control the GUI can announce.
#include <climits>
#include <gtest/gtest.h>

#include "position/attacks.h"
#include "position/make_move.h"
#include "position/move.h"
#include "position/position.h"
#include "position/valid_move.h"
#include "shell/time_alloc.h"

namespace {

constexpr int SQ_B1 = 1, SQ_G1 = 6, SQ_C3 = 18, SQ_F3 = 21;
constexpr int SQ_B8 = 57, SQ_G8 = 62, SQ_C6 = 42, SQ_F6 = 45;

class TimeAllocTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        init_line_tables();
        init_magics();
    }
    void SetUp() override { new_game(); }
    // Shuffles knights out and back: four plies per round, never a capture.
    static void play_plies(int plies) {
        const Move shuffle[8] = {make_quiet(SQ_G1, SQ_F3), make_quiet(SQ_G8, SQ_F6),
                                 make_quiet(SQ_F3, SQ_G1), make_quiet(SQ_F6, SQ_G8),
                                 make_quiet(SQ_B1, SQ_C3), make_quiet(SQ_B8, SQ_C6),
                                 make_quiet(SQ_C3, SQ_B1), make_quiet(SQ_C6, SQ_B8)};
        // The round goes on from wherever the game stands, so every move is legal.
        for (int i = 0; i < plies; ++i) {
            const Move m = shuffle[position().history_length % 8];
            ASSERT_TRUE(is_valid_move(m));
            ASSERT_TRUE(make_move(m));
        }
    }
};

TEST_F(TimeAllocTest, FixedTimePerMoveIgnoresTheClocks) {
    // "st 10": the answer must be there before the GUI's ten seconds are up, so the
    // search stops 10 ms early (a tenth at most), whatever the clocks say.
    allocate_time(-1, 5000, 900, 100000, 10000);
    EXPECT_EQ(normal_budget, 9990);
    EXPECT_EQ(max_budget, 9990);
    allocate_time(-1, 0, 0, 0, 1000);  // "st 1"
    EXPECT_EQ(normal_budget, 990);
    EXPECT_EQ(max_budget, 990);
    allocate_time(-1, 0, 0, 0, 30);  // a tenth of 30 ms
    EXPECT_EQ(normal_budget, 27);
    allocate_time(-1, 0, 0, 0, 0);  // "st 0": nothing to keep back
    EXPECT_EQ(normal_budget, 0);
    // "sd" alone: an hour, and the depth limit ends the search.
    allocate_time(-1, 0, 0, 0, 3600000);
    EXPECT_EQ(normal_budget, 3600000 - 10);
    EXPECT_EQ(max_budget, 3600000 - 10);
}

TEST_F(TimeAllocTest, MovesPerControlAtTheStartOfAControl) {
    const int t = 300000;
    allocate_time(40, 0, t, t, 0);  // 41 moves to go: four shares stay under a third
    EXPECT_EQ(normal_budget, t / 41);
    EXPECT_EQ(max_budget, 4 * t / 41);
}

TEST_F(TimeAllocTest, MovesPerControlCountsFullMovesOnly) {
    const int t = 300000;
    play_plies(1);  // White has moved, Black thinks: still the first move of the control
    allocate_time(40, 0, t, t, 0);
    EXPECT_EQ(normal_budget, t / 41);
    play_plies(1);
    allocate_time(40, 0, t, t, 0);
    EXPECT_EQ(normal_budget, t / 40);
    EXPECT_EQ(max_budget, 4 * t / 40);
}

TEST_F(TimeAllocTest, LastMoveBeforeTheControlKeepsOneSecond) {
    play_plies(78);  // 39 full moves: two to go
    allocate_time(40, 0, 300000, 300000, 0);
    EXPECT_EQ(normal_budget, 150000);
    EXPECT_EQ(max_budget, 150000);
    allocate_time(40, 0, 1500, 300000, 0);  // half the clock would break into the reserve
    EXPECT_EQ(normal_budget, 500);
    EXPECT_EQ(max_budget, 500);
    play_plies(1);  // history_length 79: the same move for the other side
    allocate_time(40, 0, 300000, 300000, 0);
    EXPECT_EQ(normal_budget, 150000);
    play_plies(1);  // 40 full moves: a new control starts
    allocate_time(40, 0, 300000, 300000, 0);
    EXPECT_EQ(normal_budget, 300000 / 41);
}

TEST_F(TimeAllocTest, FewMovesPerControlTakeAThirdAtMost) {
    const int t = 60000;
    allocate_time(5, 0, t, t, 0);  // six to go: 4 * t / 6 is more than a third
    EXPECT_EQ(normal_budget, t / 6);
    EXPECT_EQ(max_budget, t / 3);
}

TEST_F(TimeAllocTest, WholeGameWithoutIncrement) {
    const int t = 300000;
    allocate_time(0, 0, t, t, 0);
    EXPECT_EQ(normal_budget, t / 35);
    EXPECT_EQ(max_budget, t / 8);
    allocate_time(0, 0, t, t + 1, 0);  // behind on the clock
    EXPECT_EQ(normal_budget, t / 40);
    EXPECT_EQ(max_budget, t / 8);
}

TEST_F(TimeAllocTest, WholeGameWithIncrement) {
    allocate_time(0, 12000, 60000, 60000, 0);
    EXPECT_EQ(normal_budget, 14000);
    EXPECT_EQ(max_budget, 15000);
    // A large increment: the normal budget raises the maximum, both stop at the reserve.
    allocate_time(0, 30000, 90000, 90000, 0);
    EXPECT_EQ(normal_budget, 33000);
    EXPECT_EQ(max_budget, 33000);
    allocate_time(0, 40000, 40000, 40000, 0);
    EXPECT_EQ(normal_budget, 39000);
    EXPECT_EQ(max_budget, 39000);
}

TEST_F(TimeAllocTest, ShortClockKeepsTwoThirds) {
    for (const int moves : {0, 40}) {
        allocate_time(moves, 100, 900, 900, 0);
        EXPECT_LE(normal_budget, 300) << moves;
        EXPECT_LE(max_budget, 300) << moves;
    }
    allocate_time(0, 5000, 900, 900, 0);  // the increment alone would exceed the clock
    EXPECT_EQ(normal_budget, 300);
    EXPECT_EQ(max_budget, 300);
    allocate_time(0, 100, 900, 900, 0);  // below the reserve, half of a small increment
    EXPECT_EQ(normal_budget, 50);
    EXPECT_EQ(max_budget, 50);
    // ... of what it brings back after the GUI's delays, nothing when they take it all.
    allocate_time(0, 100, 900, 900, 0, 0, 40);
    EXPECT_EQ(max_budget, 30);
    allocate_time(0, 10, 900, 900, 0, 0, 12);
    EXPECT_EQ(normal_budget, 0);
    EXPECT_EQ(max_budget, 0);
    allocate_time(0, 0, 1100, 1100, 0);  // from 1.1 s on, one whole second is kept
    EXPECT_EQ(max_budget, 100);
    // The half-of-the-increment rule holds below 1.1 s exactly: 1099 / 30 + 100 would be
    // 136, the increment's half is 50; at 1.1 s the second kept back caps it at 100.
    allocate_time(0, 100, 1099, 1099, 0);
    EXPECT_EQ(normal_budget, 50);
    allocate_time(0, 100, 1100, 1100, 0);
    EXPECT_EQ(normal_budget, 100);
}

TEST_F(TimeAllocTest, NoTimeReceivedGivesNothing) {
    for (const int moves : {0, 1, 40}) {
        allocate_time(moves, 0, 0, 0, 0);
        EXPECT_EQ(normal_budget, 0) << moves;
        EXPECT_EQ(max_budget, 0) << moves;
    }
    allocate_time(0, 2000, 0, 0, 0);  // an increment alone is no time to spend
    EXPECT_EQ(normal_budget, 0);
    EXPECT_EQ(max_budget, 0);
}

TEST_F(TimeAllocTest, HugeClocksDoNotOverflow) {
    const int t = 2000000000;  // about 23 days: "time 200000000"
    allocate_time(40, 0, t, t, 0);
    EXPECT_EQ(normal_budget, t / 41);
    EXPECT_EQ(max_budget, static_cast<int>(4LL * t / 41));
    // "level 2147483647 ...": INT_MAX + 1 moves to go, a budget of nothing, not half the
    // clock; four shares of the largest clock are 3 ms.
    allocate_time(INT_MAX, 0, 300000, 300000, 0);
    EXPECT_EQ(normal_budget, 0);
    EXPECT_EQ(max_budget, 0);
    allocate_time(INT_MAX, 0, INT_MAX, INT_MAX, 0);
    EXPECT_EQ(max_budget, 3);
    allocate_time(0, INT_MAX, 60000, 60000, 0);  // the largest increment stops at the reserve
    EXPECT_EQ(normal_budget, 59000);
}

}  // namespace
