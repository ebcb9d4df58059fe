// The parallel search: helpers beside the main thread must never change what it answers
// into something illegal, must stop with it, and must leave a one-thread search exactly
// as it was.
#include <cstdio>
#include <gtest/gtest.h>

#include "position/make_move.h"
#include "position/position.h"
#include "position/valid_move.h"
#include "search/clock.h"
#include "search/think.h"
#include "search/threads.h"
#include "support/search_support.h"

namespace {

constexpr const char* MIDDLEGAME =
    "r1bqk2r/pp2bppp/2n1pn2/2pp4/3P4/2PBPN2/PP1N1PPP/R1BQK2R w KQkq - 0 7";
// White mates in two: 1. Kb6 Kb8 2. Rh8.
constexpr const char* MATE_IN_TWO = "k7/8/2K5/8/8/8/8/7R w - - 0 1";

// Plays line from the current position and takes it back: true when every move of it is
// legal where it stands.
bool is_legal_line(const Move* line) {
    int  made  = 0;
    bool legal = true;
    for (; legal && line[made] != NO_MOVE; ++made) {
        if (!is_valid_move(line[made])) {
            legal = false;
            break;
        }
        legal = make_move(line[made]);  // made even when it leaves the king attacked
    }
    while (made-- > 0)
        unmake_move();
    return legal;
}

// The thinking lines count every thread's nodes, and the helpers search some of them.
TEST(SearchThreads, HelpersFindTheSameMatesAndLegalLines) {
    for (int threads = 2; threads <= 4; ++threads) {
        ASSERT_EQ(set_search_threads(threads), threads);
        fresh_search(MATE_IN_TWO);
        const ThinkResult mate = think_to_depth(6);
        EXPECT_EQ(mate.score, MATE - 3) << threads << " threads";
        EXPECT_TRUE(move_forces_mate(mate.move, 2)) << threads << " threads";

        fresh_search(MIDDLEGAME);
        const ThinkResult r = think_to_depth(8);
        EXPECT_EQ(iteration, 8);
        ASSERT_NE(r.move, NO_MOVE);
        EXPECT_EQ(answer_pv[0], r.move);
        EXPECT_TRUE(is_legal_line(answer_pv)) << threads << " threads";
        EXPECT_GT(nodes_all_threads(), node_count) << threads << " threads";
        // The last thinking line: depth, score, centiseconds, nodes, line.
        ASSERT_FALSE(r.lines.empty());
        long long reported = 0;
        ASSERT_EQ(std::sscanf(r.lines.back().c_str(), "%*d %*d %*d %lld", &reported), 1);
        EXPECT_GT(reported, node_count) << threads << " threads";
        EXPECT_TRUE(position_is_consistent());
        EXPECT_EQ(search_ply(), 0);
    }
    EXPECT_EQ(set_search_threads(1), 1);
}

// A node limit stops one thread at exactly that count, between two clock readings; with
// helpers it counts every thread's nodes, so the main thread's own stay below it.
TEST(SearchThreads, NodeLimitCountsAllThreads) {
    fresh_search(MIDDLEGAME);
    set_thinking_printer(nullptr);
    SearchLimits limits = fixed_limits(64, DEFAULT_FIXED_TIME_MS);
    limits.node_limit   = 30000;
    int score           = 0;
    EXPECT_NE(think(limits, score), NO_MOVE);
    EXPECT_EQ(node_count, 30000);
    EXPECT_EQ(nodes_all_threads(), 30000);

    ASSERT_EQ(set_search_threads(3), 3);
    fresh_search(MIDDLEGAME);
    limits.node_limit = 300000;
    const Move m      = think(limits, score);
    EXPECT_NE(m, NO_MOVE);
    EXPECT_GE(nodes_all_threads(), limits.node_limit);
    EXPECT_LT(node_count, limits.node_limit);
    EXPECT_LT(iteration, 64);
    EXPECT_EQ(set_search_threads(1), 1);
}

// After helpers have come and gone, one thread searches exactly as a fresh engine does.
TEST(SearchThreads, OneThreadAgainIsTheSingleThreadedSearch) {
    fresh_search(MIDDLEGAME);
    think_to_depth(7);
    const std::int64_t alone = node_count;
    ASSERT_EQ(set_search_threads(2), 2);
    fresh_search(MIDDLEGAME);
    think_to_depth(7);
    ASSERT_EQ(set_search_threads(1), 1);
    fresh_search(MIDDLEGAME);
    think_to_depth(7);
    EXPECT_EQ(node_count, alone);
    EXPECT_EQ(nodes_all_threads(), alone);
}

}  // namespace
