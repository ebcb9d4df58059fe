#include <gtest/gtest.h>

#include "position/make_move.h"
#include "position/move.h"
#include "position/valid_move.h"
#include "support/position_support.h"

namespace {
constexpr int A1 = 0, C1 = 2, E1 = 4, G1 = 6, H1 = 7, E2 = 12, E3 = 20, E4 = 28, E5 = 36, D5 = 35,
              D6 = 43, H8 = 63, B7 = 49, B8 = 57, G2 = 14;
}

TEST(ValidMove, RejectsWordsThatDoNotFitThePosition) {
    init_engine_tables();
    new_game();
    EXPECT_FALSE(is_valid_move(NO_MOVE));
    EXPECT_FALSE(is_valid_move(make_quiet(E2, E2)));
    EXPECT_TRUE(is_valid_move(make_quiet(E2, E4)));
    EXPECT_TRUE(is_valid_move(make_quiet(E2, E3)));
    EXPECT_FALSE(is_valid_move(make_quiet(E3, E5)));    // nothing on e3
    EXPECT_FALSE(is_valid_move(make_capture(E2, E3)));  // nothing to capture
    EXPECT_FALSE(is_valid_move(make_quiet(1, 11)));     // own piece on d2
    EXPECT_FALSE(is_valid_move(make_quiet(52, 36)));    // Black's pawn, White to move
    EXPECT_FALSE(is_valid_move(make_quiet(A1, H8)));    // rook off its lines
    EXPECT_FALSE(
        is_valid_move(make_quiet(1, 18) | FLAG_CASTLE_SHORT));  // knight with a castle flag
    EXPECT_TRUE(is_valid_move(make_quiet(1, 18)));
    // A double push is blocked by a piece on the square it passes.
    set_fen("rnbqkbnr/pppppppp/8/8/8/4N3/PPPPPPPP/R1BQKBNR w KQkq - 0 1");
    EXPECT_FALSE(is_valid_move(make_quiet(E2, E4)));
    // A quiet word onto an enemy piece, and a capture of the king.
    set_fen("4k3/8/8/8/8/8/4p3/4K3 w - - 0 1");
    EXPECT_FALSE(is_valid_move(make_quiet(E1, E2)));
    EXPECT_TRUE(is_valid_move(make_capture(E1, E2)));
    // Black in check, then White to move: the king on e8 still cannot be taken.
    set_fen("4k3/4R3/8/8/8/8/8/4K3 b - - 0 1");
    set_side_to_move(WHITE);
    EXPECT_FALSE(is_valid_move(make_capture(52, 60)));
}

TEST(ValidMove, PromotionMarksMustAgree) {
    set_fen("8/1P6/8/8/8/8/6P1/k6K w - - 0 1");
    EXPECT_FALSE(is_valid_move(make_quiet(B7, B8)));  // last rank without the flag
    EXPECT_TRUE(is_valid_move(make_promotion(B7, B8, QUEEN, false)));
    EXPECT_TRUE(is_valid_move(make_promotion(B7, B8, KNIGHT, false)));
    EXPECT_FALSE(is_valid_move(make_promotion(G2, G2 + 8, QUEEN, false)));  // not the last rank
    // A promotion to a king or a pawn is no move.
    EXPECT_FALSE(is_valid_move(make_promotion(B7, B8, KING, false)));
    EXPECT_FALSE(is_valid_move(make_promotion(B7, B8, PAWN, false)));
    // A double push carrying promotion marks (the text g2g4q) is rejected.
    EXPECT_TRUE(is_valid_move(make_quiet(G2, G2 + 16)));
    EXPECT_FALSE(is_valid_move(make_promotion(G2, G2 + 16, QUEEN, false)));
    EXPECT_FALSE(is_valid_move((make_quiet(G2, G2 + 16) & ~PROMOTION_FIELD) | (QUEEN << 12)));
}

TEST(ValidMove, CastlingFlagsOnlyOnTwoSquareKingMoves) {
    set_fen("4k3/8/8/8/8/8/4P3/R3K2R w KQ - 0 1");
    // A pawn move or a one-square king move with a castle flag would move a rook.
    EXPECT_FALSE(is_valid_move(make_quiet(E2, E3) | FLAG_CASTLE_SHORT));
    EXPECT_FALSE(is_valid_move(make_quiet(E2, E4) | FLAG_CASTLE_LONG));
    EXPECT_FALSE(is_valid_move(make_quiet(E1, 5) | FLAG_CASTLE_SHORT));
    EXPECT_FALSE(is_valid_move(make_quiet(E1, 3) | FLAG_CASTLE_LONG));
    EXPECT_TRUE(is_valid_move(make_castle_short(E1)));
    EXPECT_TRUE(is_valid_move(make_castle_long(E1)));
    // The flag must match the direction.
    EXPECT_FALSE(is_valid_move(make_quiet(E1, C1) | FLAG_CASTLE_SHORT));
    EXPECT_FALSE(is_valid_move(make_quiet(E1, G1)));
    EXPECT_EQ(H1, 7);
}

TEST(ValidMove, CastlingNeedsRightsFreePathAndSafeSquares) {
    set_fen("4k3/8/8/8/8/8/8/R3K2R w KQ - 0 1");
    EXPECT_TRUE(is_valid_move(make_castle_short(E1)));
    set_fen("4k3/8/8/8/8/8/8/R3K2R w Q - 0 1");
    EXPECT_FALSE(is_valid_move(make_castle_short(E1)));
    set_fen("4k3/8/8/8/8/8/8/R3KB1R w KQ - 0 1");
    EXPECT_FALSE(is_valid_move(make_castle_short(E1)));
    set_fen("4k3/8/8/8/8/8/8/RN2K2R w KQ - 0 1");
    EXPECT_FALSE(is_valid_move(make_castle_long(E1)));
    set_fen("4k3/8/8/8/8/8/6r1/R3K2R w KQ - 0 1");  // g1 attacked
    EXPECT_FALSE(is_valid_move(make_castle_short(E1)));
    set_fen("4k3/8/8/8/8/8/3r4/R3K2R w KQ - 0 1");  // d1 attacked
    EXPECT_FALSE(is_valid_move(make_castle_long(E1)));
    set_fen("4k3/8/8/8/8/8/1r6/R3K2R w KQ - 0 1");  // only b1 attacked
    EXPECT_TRUE(is_valid_move(make_castle_long(E1)));
    set_fen("4k3/8/8/8/8/8/4r3/R3K2R w KQ - 0 1");  // in check
    EXPECT_FALSE(is_valid_move(make_castle_short(E1)));
}

TEST(ValidMove, EnPassantOnlyOnTheEnPassantSquare) {
    set_fen("4k3/8/8/3pP3/8/8/8/4K3 w - d6 0 1");
    EXPECT_TRUE(is_valid_move(make_en_passant(E5, D6)));
    EXPECT_FALSE(is_valid_move(make_capture(E5, D6)));
    set_fen("4k3/8/8/3pP3/8/8/8/4K3 w - - 0 1");
    EXPECT_FALSE(is_valid_move(make_en_passant(E5, D6)));
    EXPECT_EQ(D5, 35);
}

TEST(ValidMove, SlidersNeedAClearLine) {
    set_fen("4k3/8/8/8/8/8/1P6/B3K3 w - - 0 1");
    EXPECT_FALSE(is_valid_move(make_quiet(A1, H8)));
    set_fen("4k3/8/8/8/8/8/8/B3K3 w - - 0 1");
    EXPECT_TRUE(is_valid_move(make_quiet(A1, H8)));
}
