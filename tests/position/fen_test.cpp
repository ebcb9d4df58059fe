#include <gtest/gtest.h>

#include "eval/psq.h"
#include "position/position.h"
#include "support/position_support.h"

TEST(Fen, RoundTripsEveryPerftPosition) {
    init_engine_tables();
    for (const char* file : {"perft-standard.epd", "perft-stress.epd"})
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
    const Key   key   = position.key;
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
        EXPECT_EQ(position.key, key) << fen;
    }
    EXPECT_TRUE(load_fen("rnbqkbnr/pppp1ppp/8/8/3pP3/8/PPP2PPP/RNBQKBNR b KQkq e3 0 3"));
    EXPECT_EQ(position.ep_square, 20);
    EXPECT_EQ(position.castled[WHITE], 0);
    EXPECT_EQ(position.history_length, 0);
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
