// Static exchange: the documented cases, and agreement with a slow exchange played out
// capture by capture on a plain board.
#include <gtest/gtest.h>

#include "movegen/see.h"
#include "position/make_move.h"
#include "position/move.h"
#include "position/position.h"
#include "support/movegen_support.h"
#include "support/position_support.h"

namespace {

constexpr int sq(const char* name) { return (name[0] - 'a') + 8 * (name[1] - '1'); }

int see_of(const std::string& fen, Move m) {
    set_fen(fen);
    return static_exchange(m);
}

// A plain board for the slow exchange: who stands where, and which squares block lines.
struct SlowBoard {
    int  colour[64];  // BLACK, WHITE or -1
    int  piece[64];
    bool blocks[64];  // occupied, or left by a king (a king's departure opens no line)
};

bool on_board(int file, int rank) { return file >= 0 && file < 8 && rank >= 0 && rank < 8; }

// Whether the piece on s attacks t, walking the board square by square.
bool slow_attacks(const SlowBoard& b, int s, int t) {
    const int df = file_of(t) - file_of(s), dr = rank_of(t) - rank_of(s);
    const int adf = df < 0 ? -df : df, adr = dr < 0 ? -dr : dr;
    switch (b.piece[s]) {
        case PAWN: return adf == 1 && dr == (b.colour[s] == WHITE ? 1 : -1);
        case KNIGHT: return (adf == 1 && adr == 2) || (adf == 2 && adr == 1);
        case KING: return adf <= 1 && adr <= 1 && (adf | adr) != 0;
        default: break;
    }
    const bool straight = df == 0 || dr == 0;
    const bool diagonal = adf == adr;
    if ((adf | adr) == 0 || !(straight || diagonal))
        return false;
    if ((b.piece[s] == ROOK && !straight) || (b.piece[s] == BISHOP && !diagonal))
        return false;
    const int step_f = (df > 0) - (df < 0), step_r = (dr > 0) - (dr < 0);
    for (int f = file_of(s) + step_f, r = rank_of(s) + step_r; on_board(f, r) && f + 8 * r != t;
         f += step_f, r += step_r)
        if (b.blocks[f + 8 * r])
            return false;
    return true;
}

// The best that side, to capture next on t, can still win: it may stop (0) or take with
// its cheapest attacker (lowest square among equals). Capturing a king ends it.
int slow_exchange(SlowBoard& b, int t, int side, int on_square) {
    int from = -1;
    for (int p = PAWN; p <= KING && from < 0; ++p)
        for (int s = 0; s < 64 && from < 0; ++s)
            if (b.colour[s] == side && b.piece[s] == p && s != t && slow_attacks(b, s, t))
                from = s;
    if (from < 0)
        return 0;
    const int piece = b.piece[from];
    b.colour[from]  = -1;
    b.blocks[from]  = piece == KING;
    int result      = on_square;
    if (on_square != see_value[KING])
        result -= slow_exchange(b, t, 1 - side, see_value[piece]);
    b.colour[from] = side;
    b.blocks[from] = true;
    return result > 0 ? result : 0;
}

int slow_static_exchange(Move m) {
    const Position& pos = position();
    SlowBoard       b;
    for (int s = 0; s < 64; ++s) {
        b.colour[s] = pos.board[WHITE][s] != NO_PIECE   ? WHITE
                      : pos.board[BLACK][s] != NO_PIECE ? BLACK
                                                        : -1;
        b.piece[s]  = b.colour[s] < 0 ? NO_PIECE : pos.board[b.colour[s]][s];
        b.blocks[s] = b.colour[s] >= 0;
    }
    const int us = pos.side_to_move, from = move_from(m), to = move_to(m);
    const int victim = see_value[pos.board[1 - us][to]];
    const int on_square =
        (m & FLAG_PROMOTION) ? see_value[move_promotion(m)] : see_value[pos.board[us][from]];
    const int gain = (m & FLAG_PROMOTION) ? victim + on_square - see_value[PAWN] : victim;
    // The mover stands on to (the en-passant victim stays where it was).
    b.colour[to]   = us;
    b.piece[to]    = NO_PIECE;
    b.colour[from] = -1;
    b.blocks[from] = false;
    return gain - slow_exchange(b, to, 1 - us, on_square);
}

}  // namespace

TEST(StaticExchange, DocumentedCases) {
    EXPECT_EQ(see_of("4k3/8/8/3n4/4P3/8/8/4K3 w - - 0 1", make_capture(sq("e4"), sq("d5"))),
              see_value[KNIGHT]);
    EXPECT_EQ(see_of("4k3/8/2p5/3p4/8/4N3/8/4K3 w - - 0 1", make_capture(sq("e3"), sq("d5"))),
              see_value[PAWN] - see_value[KNIGHT]);
    EXPECT_EQ(see_of("4k3/8/2p5/3r4/8/8/8/3QK3 w - - 0 1", make_capture(sq("d1"), sq("d5"))),
              see_value[ROOK] - see_value[QUEEN]);
    // Rooks doubled on both sides: the rook behind the mover joins at once.
    EXPECT_EQ(see_of("3r3k/3r4/8/8/8/8/3R4/3R3K w - - 0 1", make_capture(sq("d2"), sq("d7"))),
              see_value[ROOK]);
    // A quiet knight move onto a square an enemy pawn attacks.
    EXPECT_EQ(see_of("4k3/8/8/8/4p3/8/8/4K1N1 w - - 0 1", make_quiet(sq("g1"), sq("f3"))),
              -see_value[KNIGHT]);
    const Move a8q = make_promotion(sq("a7"), sq("a8"), QUEEN, false);
    EXPECT_EQ(see_of("8/P6k/8/8/8/8/8/K7 w - - 0 1", a8q), see_value[QUEEN] - see_value[PAWN]);
    EXPECT_EQ(see_of("1r5k/P7/8/8/8/8/8/K7 w - - 0 1", a8q), -see_value[PAWN]);
    EXPECT_EQ(see_of("4k3/8/8/8/8/2b5/3p4/4K3 w - - 0 1", make_capture(sq("e1"), sq("d2"))),
              see_value[PAWN] - see_value[KING]);
}

TEST(StaticExchange, OnlyTheMoverAndCapturersOtherThanKingsOpenLines) {
    // The mover leaves first: the Black rook behind the White king joins at once.
    EXPECT_EQ(see_of("7k/8/8/8/8/8/8/rKn5 w - - 0 1", make_capture(sq("b1"), sq("c1"))),
              see_value[KNIGHT] - see_value[KING]);
    // Nxe6 Nxe6 Kxe6: the king's departure from e7 does not bring in the rook on e8.
    EXPECT_EQ(see_of("4rn2/4K3/4p3/8/3N4/8/8/7k w - - 0 1", make_capture(sq("d4"), sq("e6"))),
              see_value[PAWN]);
}

TEST(StaticExchange, AgreesWithASlowExchangeOnManyPositions) {
    init_engine_tables();
    int compared = 0;
    for (const char* file : {"perft-standard.epd", "perft-stress.epd", "perft-marcel.epd"}) {
        const std::vector<PerftCase> cases = read_perft_file(file);
        const int stride = std::string(file) == "perft-marcel.epd" ? sample_stride(8) * 4 : 1;
        for (std::size_t i = 0; i < cases.size(); i += static_cast<std::size_t>(stride)) {
            set_fen(cases[i].fen);
            walk_tree(1, [&] {
                for (const Move m : generated_moves()) {
                    ASSERT_EQ(static_exchange(m), slow_static_exchange(m))
                        << m << " in " << position_to_fen();
                    ++compared;
                }
            });
        }
    }
    EXPECT_GT(compared, 10000);
}
