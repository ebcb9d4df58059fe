// The staged pickers: every move of the generators exactly once, in stage order, checked
// against an order built here from the generators, the scores and a stable sort.
#include <algorithm>
#include <gtest/gtest.h>

#include "movegen/captures.h"
#include "movegen/evasions.h"
#include "movegen/ordering.h"
#include "movegen/quiet_checks.h"
#include "movegen/quiets.h"
#include "movegen/see.h"
#include "position/attacked.h"
#include "position/move.h"
#include "position/position.h"
#include "position/valid_move.h"
#include "support/movegen_support.h"
#include "support/position_support.h"

namespace {

constexpr int sq(const char* name) { return (name[0] - 'a') + 8 * (name[1] - '1'); }

struct Scored {
    Move move;
    int  score;
};

// Stable, highest score first: ties keep the generators' order.
std::vector<Scored> by_score(std::vector<Scored> moves) {
    std::stable_sort(moves.begin(), moves.end(),
                     [](const Scored& a, const Scored& b) { return a.score > b.score; });
    return moves;
}

int capture_score(Move m) { return good_capture(m) ? mvv_lva(m) + 30000 : mvv_lva(m) - 30000; }

std::vector<Move> expected_main_order(Move hash, Move k1, Move k2) {
    std::vector<Move> order;
    if (is_valid_move(hash))
        order.push_back(hash);
    MoveList list;
    generate_captures(list);
    std::vector<Scored> caps;
    for (const Move m : list_moves(list))
        caps.push_back({m, capture_score(m)});
    caps = by_score(caps);
    for (const Scored& c : caps)
        if (c.score >= 0 && c.move != hash)
            order.push_back(c.move);
    if (k1 != hash && is_valid_move(k1))
        order.push_back(k1);
    if (k2 != hash && is_valid_move(k2))
        order.push_back(k2);
    generate_quiets(0, list);
    std::vector<Scored> qs;
    for (const Move m : list_moves(list))
        qs.push_back({m, quiet_score(m)});
    for (const Scored& q : by_score(qs))
        if (q.move != hash && q.move != k1 && q.move != k2)
            order.push_back(q.move);
    for (const Scored& c : caps)
        if (c.score < 0 && c.move != hash)
            order.push_back(c.move);
    return order;
}

std::vector<Move> main_picker_order(Move hash, Move k1, Move k2) {
    MovePicker picker;
    picker.stage       = STAGE_HASH;
    picker.hash_move   = hash;
    picker.killer1     = k1;
    picker.killer2     = k2;
    picker.with_checks = false;
    std::vector<Move> order;
    for (Move m; (m = next_move(picker)) != NO_MOVE;)
        order.push_back(m);
    EXPECT_EQ(next_move(picker), NO_MOVE);  // stays exhausted
    return order;
}

std::vector<Move> evasion_picker_order(Move hash, int* count = nullptr) {
    MovePicker picker;
    picker.stage     = STAGE_HASH;
    picker.hash_move = hash;
    std::vector<Move> order;
    for (Move m; (m = next_evasion(picker)) != NO_MOVE;)
        order.push_back(m);
    EXPECT_EQ(next_evasion(picker), NO_MOVE);
    if (count)
        *count = picker.list.count;
    return order;
}

std::vector<Move> quiescence_picker_order(bool with_checks) {
    MovePicker picker;
    picker.stage       = STAGE_HASH;
    picker.hash_move   = NO_MOVE;
    picker.with_checks = with_checks;
    std::vector<Move> order;
    for (Move m; (m = next_quiescence_move(picker)) != NO_MOVE;)
        order.push_back(m);
    EXPECT_EQ(next_quiescence_move(picker), NO_MOVE);
    return order;
}

std::vector<Move> expected_quiescence_order(bool with_checks) {
    std::vector<Move> order;
    MoveList          list;
    generate_captures(list);
    std::vector<Scored> caps;
    for (const Move m : list_moves(list))
        caps.push_back({m, capture_score(m)});
    for (const Scored& c : by_score(caps))
        if (c.score >= 0)
            order.push_back(c.move);
    if (!with_checks)
        return order;
    generate_quiet_checks(list);
    std::vector<Scored> checks;
    for (const Move m : list_moves(list))
        checks.push_back({m, order_score(m, NO_MOVE)});
    for (const Scored& c : by_score(checks))
        if (static_exchange(c.move) >= 0)
            order.push_back(c.move);
    return order;
}

// Hash moves and killers to try at a node: none; a capture and two quiet moves; a quiet
// hash move that is also killer 1; words that do not fit the position at all.
std::vector<std::array<Move, 3>> picker_inputs() {
    std::vector<Move> caps, qs;
    for (const Move m : generated_moves())
        (is_tactical(m) ? caps : qs).push_back(m);
    std::vector<std::array<Move, 3>> inputs = {{NO_MOVE, NO_MOVE, NO_MOVE}};
    const Move                       stale  = make_quiet(sq("a1"), sq("h8"));
    if (!caps.empty() && qs.size() >= 2)
        inputs.push_back({caps.back(), qs.front(), qs.back()});
    if (!qs.empty())
        inputs.push_back({qs[qs.size() / 2], qs[qs.size() / 2], stale});
    if (!caps.empty())
        inputs.push_back({caps.front(), stale, caps.front()});
    return inputs;
}

}  // namespace

TEST(Pickers, HandOutEveryMoveOnceInStageOrder) {
    init_engine_tables();
    clear_ordering_tables();
    std::vector<std::string> fens;
    for (const char* file : {"perft-standard.epd", "perft-stress.epd", "perft-960.epd"})
        for (const PerftCase& c : read_perft_file(file))
            fens.push_back(c.fen);
    const std::vector<PerftCase> marcel = read_perft_file("perft-marcel.epd");
    for (std::size_t i = 0; i < marcel.size(); i += static_cast<std::size_t>(sample_stride(8) * 8))
        fens.push_back(marcel[i].fen);
    int nodes = 0;
    for (const std::string& fen : fens) {
        set_fen(fen);
        walk_tree(1, [&] {
            ++nodes;
            if (in_check()) {
                for (const auto& input : picker_inputs()) {
                    MoveList list;
                    generate_evasions(list);
                    std::vector<Scored> ev;
                    for (const Move m : list_moves(list))
                        ev.push_back({m, order_score(m, input[0])});
                    std::vector<Move> expected;
                    for (const Scored& e : by_score(ev))
                        expected.push_back(e.move);
                    ASSERT_EQ(evasion_picker_order(input[0]), expected) << position_to_fen();
                }
                return;
            }
            for (const auto& input : picker_inputs())
                ASSERT_EQ(main_picker_order(input[0], input[1], input[2]),
                          expected_main_order(input[0], input[1], input[2]))
                    << position_to_fen();
            ASSERT_EQ(quiescence_picker_order(false), expected_quiescence_order(false))
                << position_to_fen();
            ASSERT_EQ(quiescence_picker_order(true), expected_quiescence_order(true))
                << position_to_fen();
        });
    }
    EXPECT_GT(nodes, 1000);
}

TEST(Pickers, HashMoveAndKillersAreHandedOutOnce) {
    init_engine_tables();
    clear_ordering_tables();
    // The knight on d4 takes the rook on c6: a winning capture.
    set_fen("4k3/8/2r5/8/3N4/8/8/4K3 w - - 0 1");
    const Move        win   = make_capture(sq("d4"), sq("c6"));
    std::vector<Move> order = main_picker_order(win, NO_MOVE, NO_MOVE);
    EXPECT_EQ(order.front(), win);
    EXPECT_EQ(std::count(order.begin(), order.end(), win), 1);
    // With no hash move the capture still comes first.
    EXPECT_EQ(main_picker_order(NO_MOVE, NO_MOVE, NO_MOVE).front(), win);

    const Move quiet = make_quiet(sq("e1"), sq("d2"));
    order            = main_picker_order(quiet, quiet, NO_MOVE);
    EXPECT_EQ(order.front(), quiet);
    EXPECT_EQ(std::count(order.begin(), order.end(), quiet), 1);

    const Move k1 = make_quiet(sq("e1"), sq("f1"));
    const Move k2 = make_quiet(sq("d4"), sq("b3"));
    order         = main_picker_order(NO_MOVE, k1, k2);
    ASSERT_GE(order.size(), 3u);
    EXPECT_EQ(order[0], win);
    EXPECT_EQ(order[1], k1);
    EXPECT_EQ(order[2], k2);
    EXPECT_EQ(std::count(order.begin(), order.end(), k1), 1);
    EXPECT_EQ(std::count(order.begin(), order.end(), k2), 1);
}

TEST(Pickers, UnderPromotionsComeAfterEveryQuietMove) {
    init_engine_tables();
    clear_ordering_tables();
    set_fen("7k/1P6/8/8/8/8/8/K7 w - - 0 1");
    const int               b7 = sq("b7"), b8 = sq("b8"), a1 = sq("a1");
    const std::vector<Move> expected = {
        make_promotion(b7, b8, QUEEN, false),
        make_quiet(a1, sq("b1")),
        make_quiet(a1, sq("a2")),
        make_quiet(a1, sq("b2")),
        make_promotion(b7, b8, ROOK, false),
        make_promotion(b7, b8, BISHOP, false),
        make_promotion(b7, b8, KNIGHT, false),
    };
    EXPECT_EQ(main_picker_order(NO_MOVE, NO_MOVE, NO_MOVE), expected);
    // A queen promotion that an undefended rook takes back loses material: it comes
    // after the quiet moves too.
    set_fen("1r5k/P7/8/8/8/8/8/K7 w - - 0 1");
    const std::vector<Move> order = main_picker_order(NO_MOVE, NO_MOVE, NO_MOVE);
    const auto              queen =
        std::find(order.begin(), order.end(), make_promotion(sq("a7"), sq("a8"), QUEEN, false));
    const auto step = std::find(order.begin(), order.end(), make_quiet(a1, sq("b1")));
    ASSERT_NE(queen, order.end());
    EXPECT_LT(step, queen);
}

TEST(Pickers, QuiescenceWithoutChecksHandsOutCapturesAndQueenPromotionsOnly) {
    init_engine_tables();
    clear_ordering_tables();
    for (const char* fen :
         {"7k/1P6/8/8/8/8/8/K7 w - - 0 1",
          "r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq - 0 1"}) {
        set_fen(fen);
        for (const Move m : quiescence_picker_order(false))
            EXPECT_TRUE((m & FLAG_CAPTURE) || move_promotion(m) == QUEEN) << m;
    }
    // With checks: the quiet checks whose exchange is not negative follow.
    set_fen("4k3/8/8/8/8/8/8/R3K3 w - - 0 1");
    const std::vector<Move> checks = quiescence_picker_order(true);
    EXPECT_FALSE(checks.empty());
    for (const Move m : checks)
        EXPECT_TRUE(gives_check(m) && static_exchange(m) >= 0);
    EXPECT_TRUE(quiescence_picker_order(false).empty());
}

TEST(Pickers, SingleEvasionLeavesCountOne) {
    init_engine_tables();
    clear_ordering_tables();
    set_fen("7k/8/8/8/8/8/4BPPP/4r2K w - - 0 1");
    int        count = 0;
    const auto order = evasion_picker_order(NO_MOVE, &count);
    EXPECT_EQ(count, 1);
    EXPECT_EQ(order, std::vector<Move>{make_quiet(sq("e2"), sq("f1"))});
}

TEST(Pickers, QuietRatioFollowsTriesAndCuts) {
    init_engine_tables();
    clear_ordering_tables();
    set_fen("4k3/8/8/8/8/8/8/4K3 w - - 0 1");
    auto ratio_of_first_quiet = [] {
        MovePicker picker{};
        picker.stage = STAGE_HASH;
        const Move m = next_move(picker);
        EXPECT_FALSE(is_tactical(m));
        return std::make_pair(m, picker.list.quiet_ratio);
    };
    const auto [m, ratio] = ratio_of_first_quiet();
    EXPECT_EQ(ratio, 16384);
    record_try(m);
    EXPECT_EQ(ratio_of_first_quiet().second, 8192);
    record_cut(m);
    EXPECT_EQ(ratio_of_first_quiet().second, 2 * 16384 / 3);
}

TEST(SortMoves, StableDescendingOverAFullList) {
    MoveList list;
    list.count       = 12345;
    list.quiet_ratio = 777;
    for (int i = 0; i < MAX_MOVES; ++i) {
        list.moves[i]  = static_cast<Move>(i);
        list.scores[i] = (i * 37) % 11 - 5;  // many ties
    }
    sort_moves(0, MAX_MOVES, list);
    for (int i = 1; i < MAX_MOVES; ++i) {
        ASSERT_GE(list.scores[i - 1], list.scores[i]);
        if (list.scores[i - 1] == list.scores[i]) {
            ASSERT_LT(list.moves[i - 1], list.moves[i]);  // generation order kept
        }
    }
    EXPECT_EQ(list.count, 12345);  // the sentinel stays inside scores
    EXPECT_EQ(list.quiet_ratio, 777);
}

TEST(SortMoves, SortsOnlyTheGivenRange) {
    MoveList list;
    for (int i = 0; i < 10; ++i) {
        list.moves[i]  = static_cast<Move>(i);
        list.scores[i] = i;
    }
    sort_moves(3, 7, list);
    const Move expected[10] = {0, 1, 2, 6, 5, 4, 3, 7, 8, 9};
    for (int i = 0; i < 10; ++i)
        EXPECT_EQ(list.moves[i], expected[i]);
}

// The pickers select their captures one at a time instead of sorting them. Over the nodes
// of the perft positions, selecting [first, count) move by move must give exactly the
// sorted order, ties in generation order, for captures, for quiet moves appended behind
// them (with their many equal piece-square scores) and for evasions.
TEST(SelectMove, GivesTheSortedOrderAtEveryPerftNode) {
    init_engine_tables();
    clear_ordering_tables();
    auto same_order = [](const MoveList& scored, int first) {
        MoveList sorted   = scored;
        MoveList selected = scored;
        sort_moves(first, sorted.count, sorted);
        for (int i = first; i < selected.count; ++i)
            select_move(i, selected.count, selected);
        for (int i = 0; i < scored.count; ++i)
            if (sorted.moves[i] != selected.moves[i] || sorted.scores[i] != selected.scores[i])
                return false;
        return true;
    };
    int lists = 0;
    for (const char* file : {"perft-standard.epd", "perft-stress.epd", "perft-marcel.epd"})
        for (const PerftCase& c : read_perft_file(file)) {
            set_fen(c.fen);
            walk_tree(1, [&] {
                MoveList list;
                if (in_check()) {
                    generate_evasions(list);
                    for (int i = 0; i < list.count; ++i)
                        list.scores[i] = order_score(list.moves[i], NO_MOVE);
                    ASSERT_TRUE(same_order(list, 0)) << position_to_fen();
                    ++lists;
                    return;
                }
                generate_captures(list);
                for (int i = 0; i < list.count; ++i)
                    list.scores[i] = capture_score(list.moves[i]);
                ASSERT_TRUE(same_order(list, 0)) << position_to_fen();
                const int captures = list.count;
                generate_quiets(captures, list);
                for (int i = captures; i < list.count; ++i)
                    list.scores[i] = quiet_score(list.moves[i]);
                ASSERT_TRUE(same_order(list, captures)) << position_to_fen();
                lists += 2;
            });
        }
    EXPECT_GT(lists, 10000);
}
