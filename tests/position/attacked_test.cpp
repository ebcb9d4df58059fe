#include <gtest/gtest.h>

#include "position/attacked.h"
#include "position/make_move.h"
#include "position/move.h"
#include "support/position_support.h"

namespace {

// Brute-force attackers: every piece of the colour whose own attack set reaches sq.
Bitboard slow_attackers(int sq, int colour) {
    const Position& pos = position();
    const Bitboard  all = pos.occupancy[0] | pos.occupancy[1];
    Bitboard        set = 0;
    for (int from = 0; from < 64; ++from) {
        Bitboard reach = 0;
        switch (pos.board[colour][from]) {
            case PAWN: reach = pawn_attacks[colour][from]; break;
            case KNIGHT: reach = knight_attacks[from]; break;
            case BISHOP: reach = bishop_attacks(from, all); break;
            case ROOK: reach = rook_attacks(from, all); break;
            case QUEEN: reach = queen_attacks(from, all); break;
            case KING: reach = king_attacks[from]; break;
            default: break;
        }
        if (reach & square_bit[sq])
            set |= square_bit[from];
    }
    return set;
}

// Brute-force candidates: own pieces whose removal lets an own slider see the king.
Bitboard slow_candidates(int colour) {
    const Position& pos = position();
    const int       k   = pos.king_square[1 - colour];
    const Bitboard  all = pos.occupancy[0] | pos.occupancy[1];
    Bitboard        set = 0;
    for (Bitboard b = pos.occupancy[colour]; b; b &= b - 1) {
        const int       sq   = lsb_index(b);
        const Bitboard  less = all & ~square_bit[sq];
        const Bitboard* own  = pos.pieces[colour];
        const Bitboard  now  = (rook_attacks(k, all) & (own[ROOK] | own[QUEEN]))
                             | (bishop_attacks(k, all) & (own[BISHOP] | own[QUEEN]));
        const Bitboard after = (rook_attacks(k, less) & (own[ROOK] | own[QUEEN]))
                               | (bishop_attacks(k, less) & (own[BISHOP] | own[QUEEN]));
        if ((after & ~now & ~square_bit[sq]) != 0)
            set |= square_bit[sq];
    }
    return set;
}

const char* sample_fens[] = {
    "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1",
    "r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq - 0 1",
    "8/2p5/3p4/KP5r/1R3p1k/8/4P1P1/8 w - - 0 1",
    "r3k2r/Pppp1ppp/1b3nbN/nP6/BBP1P3/q4N2/Pp1P2PP/R2Q1RK1 w kq - 0 1",
    "rnbq1k1r/pp1Pbppp/2p5/8/2B5/8/PPP1NnPP/RNBQK2R w KQ - 1 8",
    "4k3/8/4p3/8/4B3/8/8/4R1K1 w - - 0 1",
    "4k3/8/8/8/4B3/8/8/4R1K1 w - - 0 1",
    "8/8/8/R2pP2k/8/8/8/4K3 w - d6 0 1",
    "5k2/8/8/8/8/8/8/4K2R w K - 0 1",
    "8/1P1k4/8/8/8/8/8/4K3 w - - 0 1",
};

}  // namespace

// Every valid move of many positions, and of their children: gives_check agrees with
// making the move and looking at the opponent's king.
TEST(GivesCheck, AgreesWithMakingTheMove) {
    init_engine_tables();
    std::vector<std::string> fens;
    for (const char* fen : sample_fens)
        fens.push_back(fen);
    for (const char* file : {"perft-stress.epd", "perft-960.epd"})
        for (const PerftCase& c : read_perft_file(file))
            fens.push_back(c.fen);
    int checks = 0;
    for (const std::string& fen : fens) {
        set_fen(fen);
        if (in_check())
            continue;
        for (Move m : brute_force_valid_moves()) {
            const bool predicted = gives_check(m);
            const bool legal     = make_move(m);
            const bool actual    = in_check();
            unmake_move();
            if (legal) {
                ASSERT_EQ(predicted, actual) << fen << " move " << std::hex << m;
                checks += actual;
            }
        }
    }
    EXPECT_GT(checks, 50);
}

TEST(AttackDetection, AttackersAndCandidatesMatchBruteForce) {
    init_engine_tables();
    std::vector<std::string> fens;
    for (const char* fen : sample_fens)
        fens.push_back(fen);
    for (const PerftCase& c : read_perft_file("perft-stress.epd"))
        fens.push_back(c.fen);
    for (const std::string& fen : fens) {
        set_fen(fen);
        for (int c = 0; c < 2; ++c) {
            ASSERT_EQ(discovered_check_candidates(c), slow_candidates(c)) << fen << " colour " << c;
            for (int sq = 0; sq < 64; ++sq) {
                ASSERT_EQ(attackers_of(sq, c), slow_attackers(sq, c)) << fen;
                ASSERT_EQ(is_square_attacked(1 - c, sq,
                                             position().occupancy[0] | position().occupancy[1]),
                          slow_attackers(sq, c) != 0);
            }
        }
    }
}

TEST(GivesCheck, DocumentedCases) {
    // Bishop on e4 in front of the rook on e1: every bishop move discovers check.
    set_fen("4k3/8/8/8/4B3/8/8/4R1K1 w - - 0 1");
    EXPECT_TRUE(gives_check(make_quiet(28, 37)));
    EXPECT_TRUE(gives_check(make_quiet(28, 19)));
    // With a Black piece on e6 as well, none does.
    set_fen("4k3/8/4p3/8/4B3/8/8/4R1K1 w - - 0 1");
    EXPECT_FALSE(gives_check(make_quiet(28, 37)));
    EXPECT_EQ(discovered_check_candidates(WHITE), 0u);
    // An en-passant capture that clears both blockers between a5 and h5.
    set_fen("8/8/8/R2pP2k/8/8/8/4K3 w - d6 0 1");
    EXPECT_TRUE(gives_check(make_en_passant(36, 43)));
    // Short castling against a king on f8 checks with the rook on f1.
    set_fen("5k2/8/8/8/8/8/8/4K2R w K - 0 1");
    EXPECT_TRUE(gives_check(make_castle_short(4)));
    // b8=N attacks the king on d7; b8=Q on the same square does not.
    set_fen("8/1P1k4/8/8/8/8/8/4K3 w - - 0 1");
    EXPECT_TRUE(gives_check(make_promotion(49, 57, KNIGHT, false)));
    EXPECT_FALSE(gives_check(make_promotion(49, 57, QUEEN, false)));
}
