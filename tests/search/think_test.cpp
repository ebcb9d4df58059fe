#include <cstdio>
#include <gtest/gtest.h>

#include "position/position.h"
#include "search/clock.h"
#include "search/think.h"
#include "shell/move_text.h"
#include "support/search_support.h"

namespace {

constexpr const char* MIDDLEGAME =
    "r1bqk2r/pp2bppp/2n1pn2/2pp4/3P4/2PBPN2/PP1N1PPP/R1BQK2R w KQkq - 0 7";

struct ThinkingLine {
    int         depth, score, centiseconds;
    long long   nodes;
    std::string moves;  // " e2e4 e7e5 ..."
};

// True for " e2e4 e7e8Q ..." (possibly empty): coordinate moves, one blank before each.
bool is_move_list(const std::string& text) {
    std::size_t i = 0;
    while (i < text.size()) {
        if (text.size() - i < 5 || text[i] != ' ' || text[i + 1] < 'a' || text[i + 1] > 'h'
            || text[i + 2] < '1' || text[i + 2] > '8' || text[i + 3] < 'a' || text[i + 3] > 'h'
            || text[i + 4] < '1' || text[i + 4] > '8')
            return false;
        i += 5;
        if (i < text.size() && std::string("QRBN").find(text[i]) != std::string::npos)
            ++i;
    }
    return true;
}

// Reads a thinking line and checks it is byte for byte what "%2d %4d %4d %8d" and one
// blank before each move make of its own numbers.
ThinkingLine parse_line(const std::string& text) {
    ThinkingLine line{};
    int          used = 0;
    const int    read = std::sscanf(text.c_str(), "%d %d %d %lld%n", &line.depth, &line.score,
                                    &line.centiseconds, &line.nodes, &used);
    EXPECT_EQ(read, 4) << "'" << text << "'";
    if (read != 4)
        return line;
    line.moves = text.substr(static_cast<std::size_t>(used));
    EXPECT_TRUE(is_move_list(line.moves)) << "'" << text << "'";
    char numbers[64];
    std::snprintf(numbers, sizeof numbers, "%2d %4d %4d %8lld", line.depth, line.score,
                  line.centiseconds, line.nodes);
    EXPECT_EQ(std::string(numbers) + line.moves, text);
    return line;
}

TEST(Think, DepthLimitThreeGivesLinesForDepthsOneToThree) {
    fresh_search(MIDDLEGAME);
    const ThinkResult r = think_to_depth(3);
    ASSERT_GE(r.lines.size(), 3u);
    int       expected_depth = 1;
    long long nodes          = 0;
    for (const std::string& text : r.lines) {
        const ThinkingLine line = parse_line(text);
        // A re-search after a fail high or low repeats its depth.
        EXPECT_TRUE(line.depth == expected_depth || line.depth == expected_depth + 1) << text;
        expected_depth = line.depth;
        EXPECT_GE(line.nodes, nodes);
        nodes = line.nodes;
        EXPECT_FALSE(line.moves.empty());
    }
    EXPECT_EQ(r.lines.front().substr(0, 2), " 1");
    const ThinkingLine last = parse_line(r.lines.back());
    EXPECT_EQ(last.depth, 3);
    EXPECT_EQ(last.score, r.score);
    EXPECT_EQ(last.moves.substr(1, 4), std::string(move_to_text(r.move).text).substr(0, 4));
    EXPECT_EQ(iteration, 3);
    EXPECT_EQ(r.move, root_pv[0]);
}

TEST(Think, MateInOneIsPlayedByEitherColour) {
    fresh_search("6k1/5ppp/8/8/8/8/8/R5K1 w - - 0 1");
    ThinkResult r = think_to_depth(2);
    EXPECT_STREQ(move_to_text(r.move).text, "a1a8");
    EXPECT_EQ(r.score, MATE - 1);
    fresh_search("r5k1/8/8/8/8/8/5PPP/6K1 b - - 0 1");
    r = think_to_depth(2);
    EXPECT_STREQ(move_to_text(r.move).text, "a8a1");
    EXPECT_EQ(r.score, MATE - 1);
}

TEST(Think, CheckmatedOrStalematedAnswersNoMoveAfterOneLine) {
    fresh_search("R5k1/5ppp/8/8/8/8/8/6K1 b - - 0 1");
    ThinkResult r = think_to_depth(64);
    EXPECT_EQ(r.move, NO_MOVE);
    EXPECT_EQ(r.score, -MATE);
    ASSERT_EQ(r.lines.size(), 1u);
    EXPECT_EQ(r.lines[0], " 1 -32000    0        1");

    fresh_search("7k/5Q2/6K1/8/8/8/8/8 b - - 0 1");
    r = think_to_depth(64);
    EXPECT_EQ(r.move, NO_MOVE);
    EXPECT_EQ(r.score, 0);
    ASSERT_EQ(r.lines.size(), 1u);
    EXPECT_EQ(r.lines[0], " 1    0    0        1");
}

TEST(Think, AlwaysCompletesTheFirstIteration) {
    // No time at all, or a depth limit below one: still one iteration and a legal move.
    fresh_search(MIDDLEGAME);
    ThinkResult r = think_with_budget(64, 0);
    ASSERT_NE(r.move, NO_MOVE);
    EXPECT_GE(iteration, 1);
    EXPECT_FALSE(r.lines.empty());
    bool legal = false;
    for (const Move m : legal_moves_here())
        legal |= m == r.move;
    EXPECT_TRUE(legal);

    fresh_search(MIDDLEGAME);
    r = think_to_depth(0);
    EXPECT_NE(r.move, NO_MOVE);
    EXPECT_EQ(iteration, 1);
}

TEST(Think, StopsAtTheDeadlineWithTheLastCompletedIteration) {
    fresh_search(MIDDLEGAME);
    const ThinkResult r = think_with_budget(64, 100);
    EXPECT_NE(r.move, NO_MOVE);
    EXPECT_LT(iteration, 64);
    // Stopped by a node that saw the clock, or between two iterations.
    EXPECT_GE(clock_ms(), deadline);
    EXPECT_EQ(search_ply(), 0);
    EXPECT_TRUE(position_is_consistent());
}

// Everything a search learns is reset by think or by clearing the tables: the same
// search from the same start visits exactly the same nodes.
TEST(Think, FixedDepthSearchIsDeterministic) {
    fresh_search(MIDDLEGAME);
    const ThinkResult first       = think_to_depth(6);
    const long long   first_nodes = node_count;
    fresh_search(MIDDLEGAME);
    const ThinkResult second = think_to_depth(6);
    EXPECT_EQ(node_count, first_nodes);
    EXPECT_EQ(second.move, first.move);
    EXPECT_EQ(second.score, first.score);
    ASSERT_EQ(second.lines.size(), first.lines.size());
    for (std::size_t i = 0; i < first.lines.size(); ++i) {
        const ThinkingLine a = parse_line(first.lines[i]), b = parse_line(second.lines[i]);
        EXPECT_EQ(a.nodes, b.nodes);
        EXPECT_EQ(a.moves, b.moves);
    }
}

}  // namespace

// After a completed iteration the budget grows to the longer one when the score swung: by
// 25 or more down or 80 or more up from the previous iteration, and only once two
// iterations were complete before it. No fixed-depth count sees this rule, so it is
// checked here on its own.
TEST(ThinkBudget, ScoreSwingEarnsTheLongerBudget) {
    // A completed iteration that ends past the deadline ends the think: with no time at
    // all exactly one iteration is searched, long before its nodes would read the clock.
    fresh_search(MIDDLEGAME);
    const ThinkResult no_time = think_with_budget(64, 0);
    EXPECT_EQ(iteration, 1);
    EXPECT_EQ(no_time.lines.size(), 1u);
    EXPECT_LT(node_count, 1024);

    constexpr int NORMAL = 1000, LONGER = 4000;
    struct Case {
        int iterations_done, prev, r, budget;
    };
    const Case cases[] = {
        {2, 50, 50 - 24, NORMAL}, {2, 50, 50 - 25, LONGER},
        {2, 50, 50 - 26, LONGER}, {2, 50, 50 + 79, NORMAL},
        {2, 50, 50 + 80, LONGER}, {2, 50, 50 + 81, LONGER},
        {2, 50, 50, NORMAL},      {9, -40, -65, LONGER},
        {9, -40, 40, LONGER},     {1, 50, -500, NORMAL},
        {1, 50, 500, NORMAL},     {0, 0, 300, NORMAL},  // too early to tell
    };
    for (const Case& c : cases)
        EXPECT_EQ(budget_after_iteration(c.iterations_done, c.prev, c.r, NORMAL, LONGER), c.budget)
            << c.iterations_done << " iterations, " << c.prev << " then " << c.r;
}
