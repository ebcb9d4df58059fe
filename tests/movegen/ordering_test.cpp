// Move scores and the tables the search teaches.
#include <gtest/gtest.h>

#include "movegen/ordering.h"
#include "movegen/see.h"
#include "position/move.h"
#include "position/position.h"
#include "support/position_support.h"

namespace {

constexpr int sq(const char* name) { return (name[0] - 'a') + 8 * (name[1] - '1'); }

void set_up(const std::string& fen) {
    set_fen(fen);
    reset_search_ply();
    clear_ordering_tables();
}

int history_of(Move m) { return history_credit(m & 0xfff); }

}  // namespace

TEST(Ordering, MvvLva) {
    set_up("4k3/8/8/3pP3/2q5/1P6/8/4K3 w - d6 0 1");
    EXPECT_EQ(mvv_lva(make_capture(sq("b3"), sq("c4"))), 6 * mvv_rank[QUEEN] - mvv_rank[PAWN]);
    EXPECT_EQ(mvv_lva(make_capture(sq("b3"), sq("c4"))), 29);
    EXPECT_EQ(mvv_lva(make_en_passant(sq("e5"), sq("d6"))), 5);
    set_up("4k3/1P6/8/8/8/8/8/K7 w - - 0 1");
    EXPECT_EQ(mvv_lva(make_promotion(sq("b7"), sq("b8"), KNIGHT, false)), -4);
    EXPECT_EQ(mvv_lva(make_promotion(sq("b7"), sq("b8"), QUEEN, false)), -1);
    set_up("4k3/8/8/8/8/8/p7/K7 w - - 0 1");
    EXPECT_EQ(mvv_lva(make_capture(sq("a1"), sq("a2"))), 0);
}

TEST(Ordering, GoodCapture) {
    // Rook promotion taking a queen: every under-promotion counts as losing.
    set_up("1q2k3/P7/8/8/8/8/8/4K3 w - - 0 1");
    EXPECT_FALSE(good_capture(make_promotion(sq("a7"), sq("b8"), ROOK, true)));
    EXPECT_TRUE(good_capture(make_promotion(sq("a7"), sq("b8"), QUEEN, true)));
    // Bishop takes a knight that a pawn defends: equal value, no exchange needed.
    set_up("4k3/8/2p5/3n4/8/5B2/8/4K3 w - - 0 1");
    EXPECT_TRUE(good_capture(make_capture(sq("f3"), sq("d5"))));
    // Queen takes a pawn: decided by the exchange.
    set_up("4k3/8/2p5/3p4/8/8/8/3QK3 w - - 0 1");
    EXPECT_FALSE(good_capture(make_capture(sq("d1"), sq("d5"))));
    set_up("4k3/8/8/3p4/8/8/8/3QK3 w - - 0 1");
    EXPECT_TRUE(good_capture(make_capture(sq("d1"), sq("d5"))));
}

TEST(Ordering, OrderScoreBands) {
    set_up("4k3/8/2p5/3p4/8/8/8/3QK3 w - - 0 1");
    const Move losing = make_capture(sq("d1"), sq("d5"));
    EXPECT_EQ(order_score(losing, losing), 50000);
    EXPECT_EQ(order_score(losing, NO_MOVE), mvv_lva(losing) - 30000);
    const Move k1 = make_quiet(sq("e1"), sq("f1"));
    const Move k2 = make_quiet(sq("e1"), sq("f2"));
    update_history_and_killers(0, k2);
    update_history_and_killers(0, k1);
    EXPECT_EQ(killer1(WHITE, 0), k1);
    EXPECT_EQ(killer2(WHITE, 0), k2);
    EXPECT_EQ(order_score(k1, NO_MOVE), 20000);
    EXPECT_EQ(order_score(k2, NO_MOVE), 19999);
    // Uncredited quiet move: piece-square gain minus 1000.
    const Move q = make_quiet(sq("d1"), sq("d4"));
    EXPECT_EQ(order_score(q, NO_MOVE),
              ordering_pst[QUEEN][WHITE][sq("d4")] - ordering_pst[QUEEN][WHITE][sq("d1")] - 1000);
    update_history_and_killers(8, q);
    EXPECT_EQ(quiet_score(q), 4);
}

TEST(Ordering, PieceSquareValuesMirrorForBlack) {
    EXPECT_EQ(ordering_pst[PAWN][WHITE][sq("d2")], -12);
    EXPECT_EQ(ordering_pst[PAWN][WHITE][sq("e7")], 70);
    EXPECT_EQ(ordering_pst[KNIGHT][WHITE][sq("g1")], -9);
    EXPECT_EQ(ordering_pst[BISHOP][WHITE][sq("c1")], -6);
    EXPECT_EQ(ordering_pst[ROOK][WHITE][sq("b7")], 21);
    EXPECT_EQ(ordering_pst[QUEEN][WHITE][sq("d6")], 12);
    for (int piece = PAWN; piece <= KING; ++piece)
        for (int s = 0; s < 64; ++s)
            EXPECT_EQ(ordering_pst[piece][BLACK][s], ordering_pst[piece][WHITE][s ^ 56]);
}

TEST(Ordering, HistoryAndKillerUpdates) {
    set_up("4k3/8/8/3p4/8/8/8/3QK3 w - - 0 1");
    const Move m = make_quiet(sq("e1"), sq("e2"));
    update_history_and_killers(8, m);
    EXPECT_EQ(history_of(m), 4);
    update_history_and_killers(3, m);  // 9 / 16 adds nothing
    EXPECT_EQ(history_of(m), 4);
    EXPECT_EQ(killer1(WHITE, 0), m);
    EXPECT_EQ(killer2(WHITE, 0), NO_MOVE);  // the same move twice leaves killer 2 alone

    const Move other = make_quiet(sq("e1"), sq("f1"));
    update_history_and_killers(3, other);
    EXPECT_EQ(history_of(other), 0);
    EXPECT_EQ(killer1(WHITE, 0), other);
    EXPECT_EQ(killer2(WHITE, 0), m);

    const Move capture = make_capture(sq("d1"), sq("d5"));
    update_history_and_killers(40, capture);
    EXPECT_EQ(history_of(capture), 0);
    EXPECT_EQ(killer1(WHITE, 0), other);
    EXPECT_EQ(killer2(WHITE, 0), m);
    EXPECT_EQ(killer1(BLACK, 0), NO_MOVE);
}

TEST(Ordering, HistoryHalvesPastTheLimit) {
    set_up("4k3/8/8/8/8/8/8/3QK3 w - - 0 1");
    const Move one  = make_quiet(sq("e1"), sq("e2"));
    const Move five = make_quiet(sq("e1"), sq("f1"));
    const Move zero = make_quiet(sq("e1"), sq("f2"));
    const Move big  = make_quiet(sq("d1"), sq("d8"));
    update_history_and_killers(4, one);    // 16 / 16 = 1
    update_history_and_killers(9, five);   // 81 / 16 = 5
    update_history_and_killers(508, big);  // 16129
    EXPECT_EQ(history_of(big), 16129);
    update_history_and_killers(24, big);  // + 36 = 16165, still below 0x4000
    EXPECT_EQ(history_of(big), 16165);
    update_history_and_killers(60, big);  // + 225 = 16390: the whole table halves
    EXPECT_EQ(history_of(big), (16390 + 1) / 2);
    EXPECT_EQ(history_of(one), 1);
    EXPECT_EQ(history_of(five), 3);
    EXPECT_EQ(history_of(zero), 0);
}

TEST(Ordering, TriesAndCutsHalveTogether) {
    set_up("4k3/8/8/8/8/8/8/3QK3 w - - 0 1");
    const Move m     = make_quiet(sq("e1"), sq("e2"));
    const Move other = make_quiet(sq("e1"), sq("f1"));
    record_cut(other);  // hits 2, tries 2
    for (int i = 0; i < 0x4000 - 2; ++i)
        record_try(m);  // tries 0x3fff
    EXPECT_EQ(history_tries(m & 0xfff), 0x3fff);
    record_cut(m);  // tries reach 0x4000, hits 2: both tables halve
    EXPECT_EQ(history_tries(m & 0xfff), 0x2000);
    EXPECT_EQ(history_hits(m & 0xfff), 1);
    EXPECT_EQ(history_tries(other & 0xfff), 1);
    EXPECT_EQ(history_hits(other & 0xfff), 1);
    EXPECT_EQ(history_tries(0), 1);

    clear_ordering_tables();
    EXPECT_EQ(history_tries(m & 0xfff), 1);
    EXPECT_EQ(history_hits(m & 0xfff), 1);
}
