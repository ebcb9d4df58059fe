#include <gtest/gtest.h>
#include <random>

#include "movegen/captures.h"
#include "movegen/move_list.h"
#include "position/attacked.h"
#include "position/hash_keys.h"
#include "position/make_move.h"
#include "position/move.h"
#include "support/position_support.h"

namespace {

long long brute_perft(int depth) {
    if (depth == 0)
        return 1;
    long long nodes = 0;
    for (Move m : brute_force_valid_moves()) {
        if (make_move(m))
            nodes += brute_perft(depth - 1);
        unmake_move();
    }
    return nodes;
}

constexpr int E2 = 12, E4 = 28, E3 = 20, D5 = 35, E5 = 36, D6 = 43, D7 = 51, H8 = 63, A8 = 56,
              G7 = 54, E1 = 4, F1 = 5;

}  // namespace

TEST(NewGame, SetsUpTheStartPosition) {
    init_engine_tables();
    new_game();
    const Position& pos = position();
    EXPECT_EQ(pos.history_length, 0);
    EXPECT_EQ(pos.irreversible_index, 0);
    EXPECT_EQ(pos.nonpawn_material[BLACK], 31);
    EXPECT_EQ(pos.nonpawn_material[WHITE], 31);
    EXPECT_EQ(pos.king_square[BLACK], 60);
    EXPECT_EQ(pos.king_square[WHITE], 4);
    EXPECT_EQ(pos.ep_square, NO_SQUARE);
    EXPECT_EQ(pos.castle_rights[BLACK], 3);
    EXPECT_EQ(pos.castle_rights[WHITE], 3);
    EXPECT_EQ(pos.psq_mg, 0);
    EXPECT_EQ(pos.psq_eg, 0);
    EXPECT_TRUE(position_is_consistent());
    // The key is the XOR of 32 piece terms, four castling terms and the side term.
    Key key = SIDE_KEY, pawns = 0;
    for (int c = 0; c < 2; ++c) {
        for (int sq = 0; sq < 64; ++sq)
            if (pos.board[c][sq] != NO_PIECE) {
                key ^= zobrist[piece_key_index(c, pos.board[c][sq], sq)];
                if (pos.board[c][sq] == PAWN)
                    pawns ^= zobrist[piece_key_index(c, PAWN, sq)];
            }
        key ^=
            zobrist[castle_key_index(c, CASTLE_SHORT)] ^ zobrist[castle_key_index(c, CASTLE_LONG)];
    }
    EXPECT_EQ(pos.key, key);
    EXPECT_EQ(pos.pawn_key, pawns);
    EXPECT_EQ(position_to_fen(), "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1");

    // A new game in the middle of a game gives the same record.
    const Position fresh = position();
    ASSERT_TRUE(make_move(make_quiet(E2, E4)));
    EXPECT_EQ(pos.board[WHITE][E4], PAWN);
    EXPECT_EQ(pos.board[BLACK][E4], NO_PIECE);
    EXPECT_EQ(pos.ep_square, E3);
    new_game();
    std::string difference;
    EXPECT_TRUE(same_position(position(), fresh, &difference)) << difference;
}

TEST(MakeMove, BruteForceMoveCountsMatchPublishedPerft) {
    init_engine_tables();
    for (const PerftCase& c : read_perft_file("perft-standard.epd")) {
        set_fen(c.fen);
        ASSERT_GE(c.counts.size(), 2u);
        EXPECT_EQ(brute_perft(1), c.counts[0]) << c.fen;
        EXPECT_EQ(brute_perft(2), c.counts[1]) << c.fen;
    }
}

// Along random games, every make/unmake restores the record exactly, every incrementally
// kept sum and key equals a from-scratch computation, and key_after foretells the key of
// every move that leaves the castling rights alone.
TEST(MakeMove, RandomGamesKeepEveryFieldInStep) {
    init_engine_tables();
    std::mt19937 rng(99);
    const char*  starts[] = {
         "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1",
         "r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq - 0 1",
         "8/2p5/3p4/KP5r/1R3p1k/8/4P1P1/8 w - - 0 1",
         "r3k2r/Pppp1ppp/1b3nbN/nP6/BBP1P3/q4N2/Pp1P2PP/R2Q1RK1 w kq - 0 1",
         // Chess960: castling from other squares, rooks beside the king.
         "rkrnnqbb/pppppppp/8/8/8/8/PPPPPPPP/RKRNNQBB w CAca - 0 1",
         "1rqbkrbn/1ppppp1p/1n6/p1N3p1/8/2P4P/PP1PPPP1/1RQBKRBN w FBfb - 0 9",
    };
    for (int game = 0; game < 16; ++game) {
        set_fen(starts[game % 6]);
        for (int ply = 0; ply < 120; ++ply) {
            const std::vector<Move> valid = brute_force_valid_moves();
            std::vector<Move>       legal;
            for (Move m : valid) {
                const Position before   = position();
                const Key      foretold = key_after(m);
                const bool     ok       = make_move(m);
                ASSERT_TRUE(position_is_consistent()) << position_to_fen();
                if (position().castle_rights[WHITE] == before.castle_rights[WHITE]
                    && position().castle_rights[BLACK] == before.castle_rights[BLACK]) {
                    ASSERT_EQ(foretold, position().key)
                        << "move " << m << " to " << position_to_fen();
                }
                unmake_move();
                std::string difference;
                ASSERT_TRUE(same_position(position(), before, &difference))
                    << difference << " after move " << m << " in " << position_to_fen();
                if (ok)
                    legal.push_back(m);
            }
            if (legal.empty())
                break;
            ASSERT_TRUE(make_move(legal[rng() % legal.size()]));
        }
    }
}

TEST(MakeMove, CapturesOnRookHomesClearCastlingRights) {
    set_fen("r3k2r/6P1/8/8/8/8/8/R3K2R w KQkq - 0 1");
    const Key before = position().key;
    // g7xh8=Q: rook removed, Black's short right cleared, the queen stands on h8.
    ASSERT_TRUE(make_move(make_promotion(G7, H8, QUEEN, true)));
    EXPECT_EQ(position().castle_rights[BLACK], CASTLE_LONG);
    EXPECT_EQ(position().board[WHITE][H8], QUEEN);
    EXPECT_EQ(position().board[BLACK][H8], NO_PIECE);
    EXPECT_EQ(position().piece_count[WHITE][PAWN], 0);
    EXPECT_TRUE(position_is_consistent());
    unmake_move();
    EXPECT_EQ(position().key, before);
    EXPECT_EQ(position().board[BLACK][H8], ROOK);
    EXPECT_EQ(position().board[WHITE][G7], PAWN);

    set_fen("r3k2r/8/8/8/8/8/8/R3K2R w KQkq - 0 1");
    const Key key = position().key;
    ASSERT_TRUE(make_move(make_capture(0, A8)));
    // Both White's long right (rook left a1) and Black's long right (rook taken) go.
    EXPECT_EQ(position().castle_rights[BLACK], CASTLE_SHORT);
    EXPECT_EQ(position().castle_rights[WHITE], CASTLE_SHORT);
    const Key expected = key ^ zobrist[castle_key_index(BLACK, CASTLE_LONG)]
                         ^ zobrist[castle_key_index(WHITE, CASTLE_LONG)] ^ SIDE_KEY
                         ^ zobrist[piece_key_index(WHITE, ROOK, 0)]
                         ^ zobrist[piece_key_index(WHITE, ROOK, A8)]
                         ^ zobrist[piece_key_index(BLACK, ROOK, A8)];
    EXPECT_EQ(position().key, expected);
}

TEST(MakeMove, KingMoveClearsOnlyRightsStillHeld) {
    set_fen("4k3/8/8/8/8/8/8/4K2R w K - 0 1");
    const Key key = position().key;
    ASSERT_TRUE(make_move(make_quiet(E1, F1)));
    EXPECT_EQ(position().castle_rights[WHITE], 0);
    EXPECT_EQ(position().key, key ^ SIDE_KEY ^ zobrist[castle_key_index(WHITE, CASTLE_SHORT)]
                                  ^ zobrist[piece_key_index(WHITE, KING, E1)]
                                  ^ zobrist[piece_key_index(WHITE, KING, F1)]);
}

TEST(MakeMove, EnPassantIsMadeAndUnmade) {
    set_fen("4k3/3p4/8/4P3/8/8/8/4K3 b - - 0 1");
    ASSERT_TRUE(make_move(make_quiet(D7, D5)));
    EXPECT_EQ(position().ep_square, D6);
    const Position before = position();
    ASSERT_TRUE(make_move(make_en_passant(E5, D6)));
    EXPECT_EQ(position().board[BLACK][D5], NO_PIECE);
    EXPECT_EQ(position().board[WHITE][D6], PAWN);
    EXPECT_EQ(position().ep_square, NO_SQUARE);
    EXPECT_TRUE(position_is_consistent());
    unmake_move();
    EXPECT_EQ(position().board[BLACK][D5], PAWN);
    std::string difference;
    EXPECT_TRUE(same_position(position(), before, &difference)) << difference;
}

TEST(MakeMove, EnPassantSquareIsSetAfterEveryDoublePush) {
    init_engine_tables();
    new_game();
    ASSERT_TRUE(make_move(make_quiet(E2, E4)));
    EXPECT_EQ(position().ep_square, E3);
    ASSERT_TRUE(make_move(make_quiet(57, 42)));  // Nb8-c6
    EXPECT_EQ(position().ep_square, NO_SQUARE);
    EXPECT_TRUE(position_is_consistent());
}

TEST(MakeMove, IllegalMoveIsReportedAndStaysMade) {
    set_fen("4k3/8/8/8/8/8/8/r2RK3 w - - 0 1");
    const int before = position().history_length;
    EXPECT_FALSE(make_move(make_quiet(3, 11)));  // the pinned rook leaves the a1-e1 line
    EXPECT_EQ(position().history_length, before + 1);
    unmake_move();
    EXPECT_EQ(position().history_length, before);
}

TEST(MakeMove, NullMoveChangesOnlySideEnPassantAndCounters) {
    init_engine_tables();
    new_game();
    ASSERT_TRUE(make_move(make_quiet(E2, E4)));
    const Position before = position();
    const int      ply    = search_ply();
    ASSERT_TRUE(make_move(NULL_MOVE));
    EXPECT_EQ(position().side_to_move, WHITE);
    EXPECT_EQ(position().ep_square, NO_SQUARE);
    EXPECT_EQ(position().key, before.key ^ SIDE_KEY ^ zobrist[ep_key_index(E3)]);
    EXPECT_EQ(position().irreversible_index, position().history_length);
    EXPECT_EQ(search_ply(), ply + 1);
    EXPECT_TRUE(position_is_consistent());
    EXPECT_FALSE(is_repetition());
    unmake_move();
    std::string difference;
    EXPECT_TRUE(same_position(position(), before, &difference)) << difference;
    // A side in check cannot pass.
    set_fen("4k3/8/8/8/8/8/8/4K2r w - - 0 1");
    EXPECT_FALSE(make_move(NULL_MOVE));
    unmake_move();
}

TEST(Repetition, SeesOnlyPositionsSinceTheLastIrreversibleMove) {
    init_engine_tables();
    new_game();
    const Move out[2]  = {make_quiet(6, 21), make_quiet(62, 45)};  // Ng1-f3, Ng8-f6
    const Move back[2] = {make_quiet(21, 6), make_quiet(45, 62)};
    ASSERT_TRUE(make_move(out[0]));
    ASSERT_TRUE(make_move(out[1]));
    ASSERT_TRUE(make_move(back[0]));
    EXPECT_FALSE(is_repetition());
    ASSERT_TRUE(make_move(back[1]));
    EXPECT_TRUE(is_repetition());  // the start position again, White to move
    // A pawn move hides everything before it.
    ASSERT_TRUE(make_move(make_quiet(E2, E3)));
    ASSERT_TRUE(make_move(out[1]));
    ASSERT_TRUE(make_move(out[0]));
    ASSERT_TRUE(make_move(back[1]));
    EXPECT_FALSE(is_repetition());
    ASSERT_TRUE(make_move(back[0]));
    EXPECT_TRUE(is_repetition());
    // So does a null move: the knights go out and back with each side passing once, and
    // the start position with White to move is no repetition of the first one. Positions
    // after the last pass still count.
    new_game();
    for (Move m : {out[0], NULL_MOVE, back[0], out[1], NULL_MOVE, back[1]})
        ASSERT_TRUE(make_move(m));
    EXPECT_FALSE(is_repetition());
    for (Move m : {out[0], out[1], back[0], back[1]})
        ASSERT_TRUE(make_move(m));
    EXPECT_TRUE(is_repetition());
}

TEST(SideToMove, ChangingItKeepsTheKeyInStep) {
    init_engine_tables();
    new_game();
    set_side_to_move(BLACK);
    EXPECT_EQ(position().side_to_move, BLACK);
    EXPECT_TRUE(position_is_consistent());
    set_side_to_move(BLACK);
    EXPECT_TRUE(position_is_consistent());
    set_side_to_move(WHITE);
    EXPECT_TRUE(position_is_consistent());
    // After 1. e4 and "white", d2xe3 en passant would take a pawn that is not there.
    ASSERT_TRUE(make_move(make_quiet(E2, E4)));
    set_side_to_move(WHITE);
    EXPECT_EQ(position().ep_square, NO_SQUARE);
    EXPECT_TRUE(position_is_consistent());
    MoveList captures;
    generate_captures(captures);
    EXPECT_EQ(captures.count, 0);
}
