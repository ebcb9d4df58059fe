#include <gtest/gtest.h>

#include "eval/psq.h"
#include "position/position.h"
#include "support/position_support.h"

TEST(Fen, RoundTripsEveryPerftPosition) {
    init_engine_tables();
    for (const char* file : {"perft-standard.epd", "perft-stress.epd", "perft-960.epd"})
        for (const PerftCase& c : read_perft_file(file)) {
            set_fen(c.fen);
            EXPECT_TRUE(position_is_consistent()) << c.fen;
            const std::string written = position_to_fen();
            set_fen(written);
            EXPECT_EQ(position_to_fen(), written);
        }
}

TEST(Fen, RejectsBadInputAndKeepsThePosition) {
    init_engine_tables();
    new_game();
    const Key   key   = position().key;
    const char* bad[] = {
        "",
        "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR",
        "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR x KQkq -",
        "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBN w KQkq -",
        "rnbqkbnr/pppppppp/9/8/8/8/PPPPPPPP/RNBQKBNR w KQkq -",
        "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR/8 w KQkq -",
        "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQQBNR w kq -",    // no White king
        "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBKKBNR w kq -",    // two White kings
        "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/PNBQKBNR w kq -",    // pawn on rank 1
        "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBN1 w KQkq -",  // K without the h1 rook
        "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkqK -",
        "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq e3",  // no pawn pushed
        "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq z9",
        "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - x 1",
        "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1 extra",
        "4k3/8/8/8/8/8/8/4K2r b - - 0 1",             // the side not to move is in check
        "QQQQQQQQ/QQQQQQQk/8/8/8/8/8/4K3 w - - 0 1",  // more queens than promotions allow
        "4k3/8/8/8/8/8/PPPPPPPP/1NN1K1NN w - - 0 1",  // four knights and eight pawns
    };
    for (const char* fen : bad) {
        std::string error;
        EXPECT_FALSE(load_fen(fen, &error)) << fen;
        EXPECT_FALSE(error.empty()) << fen;
        EXPECT_EQ(position().key, key) << fen;
    }
    EXPECT_TRUE(load_fen("rnbqkbnr/pppp1ppp/8/8/3pP3/8/PPP2PPP/RNBQKBNR b KQkq e3 0 3"));
    EXPECT_EQ(position().ep_square, 20);
    EXPECT_EQ(position().castled[WHITE], 0);
    EXPECT_EQ(position().history_length, 0);
}

// Chess960 castling fields: X-FEN (KQkq for the outermost rook, a file for an inner one)
// and Shredder-FEN (files) give the same position; impossible rights are refused.
TEST(Fen, ReadsChess960CastlingFieldsAndRefusesImpossibleRights) {
    init_engine_tables();
    struct Good {
        const char* fen;
        int         rooks[2][2];  // castle_rook [Black, White][short, long], -1 without right
        const char* written;      // position_to_fen's castling field
    };
    const Good good[] = {
        {"rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1", {{63, 56}, {7, 0}}, "KQkq"},
        {"rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w HAha - 0 1", {{63, 56}, {7, 0}}, "KQkq"},
        {"nrkbbrqn/pppppppp/8/8/8/8/PPPPPPPP/NRKBBRQN w KQkq - 0 1", {{61, 57}, {5, 1}}, "KQkq"},
        {"nrkbbrqn/pppppppp/8/8/8/8/PPPPPPPP/NRKBBRQN w FBfb - 0 1", {{61, 57}, {5, 1}}, "KQkq"},
        {"4k3/8/8/8/8/8/8/RRK2RR1 w FB - 0 1", {{-1, -1}, {5, 1}}, "FB"},
        {"4k3/8/8/8/8/8/8/RRK2RR1 w KQ - 0 1", {{-1, -1}, {6, 0}}, "KQ"},
        {"1r2k2r/8/8/8/8/8/8/4K3 b k - 0 1", {{63, -1}, {-1, -1}}, "k"},
        {"r3k2r/8/8/8/8/8/8/R3K2R w Qk - 0 1", {{63, -1}, {-1, 0}}, "Qk"},
    };
    for (const Good& g : good) {
        std::string error;
        ASSERT_TRUE(load_fen(g.fen, &error, true)) << g.fen << ": " << error;
        EXPECT_TRUE(position_is_consistent()) << g.fen;
        for (int c = BLACK; c <= WHITE; ++c)
            for (int side = 0; side < 2; ++side)
                if (g.rooks[c][side] >= 0) {
                    EXPECT_EQ(position().castle_rook[c][side], g.rooks[c][side]) << g.fen;
                }
        const std::string fen = position_to_fen();
        EXPECT_EQ(fen.substr(fen.find(' ') + 3, std::string(g.written).size()), g.written) << g.fen;
        // A standard position hashes alike in both readings.
        if (load_fen(g.fen)) {
            const Key standard = position().key;
            ASSERT_TRUE(load_fen(g.fen, nullptr, true));
            EXPECT_EQ(position().key, standard) << g.fen;
        }
    }
    new_game();
    const Key   key   = position().key;
    const char* bad[] = {
        "4k3/8/8/8/8/8/8/RK5R w C - 0 1",    // no rook on the c-file
        "4k3/8/8/8/8/8/8/RK5R w B - 0 1",    // the king's own file
        "4k3/8/8/8/8/8/8/RK5R w HH - 0 1",   // twice
        "4k3/8/8/8/8/8/8/RK5R w KH - 0 1",   // H is the outermost: K again
        "4k3/8/8/8/8/8/8/1K5R w Q - 0 1",    // no rook on the long side
        "4k3/8/8/8/8/8/K7/R6R w HA - 0 1",   // king off the back rank
        "4k3/8/8/8/8/8/4K3/R6R w KQ - 0 1",  // the same, in X-FEN
        "r6r/4k3/8/8/8/8/8/4K3 b kq - 0 1",
        "4k3/8/8/8/8/8/8/RK5R w h - 0 1",   // Black has no rook there
        "4k3/8/8/8/8/8/8/RK5R w Hx - 0 1",  // no such letter
    };
    for (const char* fen : bad) {
        std::string error;
        EXPECT_FALSE(load_fen(fen, &error, true)) << fen;
        EXPECT_FALSE(error.empty()) << fen;
        EXPECT_EQ(position().key, key) << fen;
    }
    // Which rook holds a right is part of the key: the same pieces, castling with the h1
    // or the f1 rook, are two positions.
    ASSERT_TRUE(load_fen("4k3/8/8/8/8/8/8/2K2R1R w H - 0 1", nullptr, true));
    const Key outer = position().key;
    ASSERT_TRUE(load_fen("4k3/8/8/8/8/8/8/2K2R1R w F - 0 1", nullptr, true));
    EXPECT_NE(position().key, outer);
    EXPECT_TRUE(position_is_consistent());
    // Without Chess960 the field is KQkq alone, with king and rooks on their squares.
    EXPECT_FALSE(load_fen("rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w HAha - 0 1"));
    EXPECT_FALSE(load_fen("nrkbbrqn/pppppppp/8/8/8/8/PPPPPPPP/NRKBBRQN w KQkq - 0 1"));
}

TEST(PieceSquare, HoldsTheDocumentedValues) {
    init_engine_tables();
    const int pawn_rank4[8]   = {-15, -5, 0, 25, 25, 0, -5, -15};
    const int knight_rank8[8] = {-135, -25, -15, -10, -10, -15, -25, -135};
    const int bishop_rank1[8] = {-18, -18, -16, -14, -14, -16, -18, -18};
    const int king_rank1[8]   = {40, 50, 30, 10, 10, 30, 50, 40};
    const int king_rank8[8]   = {-40, -30, -50, -70, -70, -50, -30, -40};
    for (int f = 0; f < 8; ++f) {
        EXPECT_EQ(piece_square[WHITE][PAWN][24 + f].mg, pawn_rank4[f]);
        EXPECT_EQ(piece_square[WHITE][KNIGHT][56 + f].mg, knight_rank8[f]);
        EXPECT_EQ(piece_square[WHITE][BISHOP][f].mg, bishop_rank1[f]);
        EXPECT_EQ(piece_square[WHITE][KING][f].mg, king_rank1[f]);
        EXPECT_EQ(piece_square[WHITE][KING][56 + f].mg, king_rank8[f]);
    }
    EXPECT_EQ(piece_square[WHITE][KING][0].eg, -72);
    EXPECT_EQ(piece_square[WHITE][KING][27].eg, 24);
    EXPECT_EQ(piece_square[WHITE][QUEEN][63].eg, -24);
    EXPECT_EQ(piece_square[WHITE][QUEEN][36].eg, 8);
    EXPECT_EQ(piece_square[WHITE][KNIGHT][0].eg, -40);
    EXPECT_EQ(piece_square[WHITE][KNIGHT][35].eg, 10);
    // Black's table mirrors White's: a Black knight on h1 is a White knight on h8.
    EXPECT_EQ(piece_square[BLACK][KNIGHT][7].mg, -135);
    for (int p = PAWN; p <= KING; ++p)
        for (int sq = 0; sq < 64; ++sq) {
            EXPECT_EQ(piece_square[BLACK][p][sq].mg, piece_square[WHITE][p][sq ^ 56].mg);
            EXPECT_EQ(piece_square[BLACK][p][sq].eg, piece_square[WHITE][p][sq ^ 56].eg);
        }
}
