#include <gtest/gtest.h>
#include <random>

#include "position/make_move.h"
#include "position/move.h"
#include "position/position.h"
#include "search/alpha_beta.h"
#include "search/clock.h"
#include "search/pv.h"
#include "search/tt.h"
#include "shell/move_text.h"
#include "support/search_support.h"

namespace {

struct MateCase {
    const char* fen;
    int         moves;  // mate in this many moves of the side to move
};

// Mates for either colour; all but the first two are from the Win At Chess suite.
const MateCase mate_cases[] = {
    {"6k1/5ppp/8/8/8/8/8/R5K1 w - - 0 1", 1},
    {"r5k1/8/8/8/8/8/5PPP/6K1 b - - 0 1", 1},
    {"2rr3k/pp3pp1/1nnqbN1p/3pN3/2pP4/2P3Q1/PPB4P/R4RK1 w - - 0 1", 2},
    {"5k2/6pp/p1qN4/1p1p4/3P4/2PKP2Q/PP3r2/3R4 b - - 0 1", 2},
    {"r3kr2/1pp4p/1p1p4/7q/4P1n1/2PP2Q1/PP4P1/R1BB2K1 b q - 0 1", 2},
    {"k4r2/1R4pb/1pQp1n1p/3P4/5p1P/3P2P1/r1q1R2K/8 w - - 0 1", 3},
    {"r3q1kr/ppp5/3p2pQ/8/3PP1b1/5R2/PPP3P1/5RK1 w - - 0 1", 3},
    {"8/6pp/3q1p2/3n1k2/1P6/3NQ2P/5PP1/6K1 w - - 0 1", 3},
    {"r3k2r/pbp2pp1/3b1n2/1p6/3P3p/1B2N1Pq/PP1PQP1P/R1B2RK1 b kq - 0 1", 3},
};

// A mate in n is found by the n-th iteration, with the exact distance, and the move
// played forces it; a brute-force search that knows nothing of the engine's pruning
// confirms both the mate and that there is none shorter.
TEST(Search, FindsMatesInOneToThreeAtTheirDepth) {
    for (const MateCase& c : mate_cases) {
        SCOPED_TRACE(c.fen);
        fresh_search(c.fen);
        const ThinkResult r = think_to_depth(c.moves);
        EXPECT_EQ(r.score, MATE - (2 * c.moves - 1));
        ASSERT_NE(r.move, NO_MOVE);
        EXPECT_TRUE(move_forces_mate(r.move, c.moves)) << move_to_text(r.move).text;
        if (c.moves > 1) {
            EXPECT_FALSE(forces_mate(c.moves - 1));
        }
    }
}

// Node counts and moves of fixed-depth searches, pinned. Between them these trees use
// every pruning, reduction and extension rule: the null move and its verification,
// razoring, internal iterative deepening, move-count and futility pruning, late-move
// reductions and their re-searches, single-reply, check, passed-pawn and capture
// extensions, mate-distance bounds, the quiescence search's checks and delta pruning,
// and the aspiration window's re-searches. A change to a constant of any of them
// changes a count here.
struct PinnedSearch {
    const char* fen;
    int         depth;
    const char* move;
    long long   nodes;
};
const PinnedSearch pinned_searches[] = {
    // A middlegame with pieces for both sides: null moves, verification, razoring.
    {"r4rk1/3nnp1p/6p1/2q1p3/1p2P3/1N1P3P/1Q2BPP1/R4RK1 b - - 1 28", 8, "c5c3", 34465},
    // King and pawns: no null move; passed pawns.
    {"8/2p4p/1p3k2/pP6/2P5/P5P1/5K1P/8 b - - 0 40", 8, "f6g5", 20984},
    // Mate in two: single replies, checks, mate-distance bounds.
    {"2rr3k/pp3pp1/1nnqbN1p/3pN3/2pP4/2P3Q1/PPB4P/R4RK1 w - - 0 1", 8, "g3g6", 3563},
    // An opening: wide trees for move-count pruning and reductions.
    {"r1bqkb1r/1pp1pppp/2n4n/p2p4/3P3P/2R5/PPP1PPP1/RNBQKBN1 w Qkq d6 0 5", 8, "c1h6", 140863},
    // A pawn race: promotions in the quiescence search, and scores between the aspiration
    // window's two widening rules.
    {"8/3k4/8/Pp6/3P3P/4K3/P4P2/8 b - - 4 46", 7, "d7c6", 37637},
};

TEST(Search, PruningReductionAndExtensionRulesKeepTheirNodeCounts) {
    for (const PinnedSearch& c : pinned_searches) {
        SCOPED_TRACE(c.fen);
        fresh_search(c.fen);
        const ThinkResult r = think_to_depth(c.depth);
        EXPECT_STREQ(move_to_text(r.move).text, c.move);
        EXPECT_EQ(node_count, c.nodes);
    }
}

TEST(Search, RepetitionScoresZero) {
    // Black is a queen up; going back to a position of the game is White's only draw.
    fresh_search("rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNB1KBNR w KQkq - 0 1");
    play_moves("g1f3 g8f6 f3g1 f6g8");
    const ThinkResult r = think_to_depth(4);
    EXPECT_EQ(r.score, 0);
    EXPECT_STREQ(move_to_text(r.move).text, "g1f3");
}

TEST(Search, MatedAndStalematedNodesAnswerMateAtThisPlyOrZero) {
    Move pv[PV_CAPACITY];
    fresh_search("R5k1/5ppp/8/8/8/8/8/6K1 b - - 0 1");
    EXPECT_EQ(search(8, -MATE, MATE, true, pv, true), -MATE);
    fresh_search("7k/5Q2/6K1/8/8/8/8/8 b - - 0 1");
    EXPECT_EQ(search(8, -MATE, MATE, true, pv, false), 0);
    EXPECT_EQ(pv[0], NO_MOVE);
}

TEST(Search, TableEntriesEndOnlyNonPvNodes) {
    fresh_search("r1bqkbnr/pppp1ppp/2n5/4p3/4P3/5N2/PPPP1PPP/RNBQKB1R w KQkq - 2 3");
    const Move hash_move = text_to_move("f1b5");
    tt_store(position().key, score_to_tt(123), BOUND_EXACT, 8, hash_move);
    Move pv[PV_CAPACITY];
    reset_node_count();
    EXPECT_EQ(search(8, -MATE, MATE, false, pv, false), 123);
    EXPECT_EQ(node_count, 1);
    reset_node_count();
    search(12, -MATE, MATE, false, pv, false);
    EXPECT_GT(node_count, 1) << "a shallower exact entry does not end a deeper search";
    tt_store(position().key, score_to_tt(123), BOUND_EXACT, 40, hash_move);
    reset_node_count();
    search(8, -MATE, MATE, true, pv, false);
    EXPECT_GT(node_count, 1) << "no entry ends a PV node, however deep";
}

// Builds a game of the given length from the start position by random legal moves that
// never repeat a position, so that every position of it can be searched.
std::vector<Move> random_game(int plies, unsigned seed) {
    std::mt19937 random(seed);
    for (;;) {
        fresh_search("rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1");
        std::vector<Move> game;
        while (static_cast<int>(game.size()) < plies) {
            std::vector<Move> moves = legal_moves_here();
            bool              moved = false;
            while (!moves.empty() && !moved) {
                const std::size_t i = random() % moves.size();
                make_move(moves[i]);
                if (is_repetition()) {
                    unmake_move();
                    moves.erase(moves.begin() + static_cast<long>(i));
                } else {
                    game.push_back(moves[i]);
                    moved = true;
                }
            }
            if (!moved)
                break;  // mate, stalemate or nowhere new to go: start again
        }
        if (static_cast<int>(game.size()) == plies)
            return game;
        ++seed;
        random.seed(seed);
    }
}

// The recursion must fit the stack at the deepest ply the searches reach. A stored
// principal variation of MAX_PLY + 1 moves leads the first descent of a PV search
// straight down to the ply limit; the clock (already expired) stops the search at its
// first reading. The node at ply MAX_PLY - 1 then holds a searched entry of its own.
TEST(Search, DescendsToThePlyLimitWithinTheStack) {
    std::vector<Move> game = random_game(MAX_PLY + 1, 2024);
    fresh_search("rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1");
    game.push_back(NO_MOVE);
    store_pv(game.data());
    start_clock(-1000);
    Move pv[PV_CAPACITY];
    search((MAX_PLY + 20) * ONE_PLY, -MATE, MATE, true, pv, false);
    EXPECT_EQ(search_ply(), 0);
    EXPECT_TRUE(stop_search);
    for (int i = 0; i < MAX_PLY - 1; ++i)
        make_move(game[static_cast<std::size_t>(i)]);
    TTEntry entry{};
    ASSERT_TRUE(tt_probe(position().key, entry));
    EXPECT_NE(entry.bound, BOUND_MOVE_ONLY);
    EXPECT_GE(entry.depth, ONE_PLY);
    EXPECT_TRUE(position_is_consistent());
}

}  // namespace
