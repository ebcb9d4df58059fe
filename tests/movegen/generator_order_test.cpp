// The generators' documented lists, in their exact order: the search's node counts
// depend on it.
#include <algorithm>
#include <gtest/gtest.h>

#include "movegen/captures.h"
#include "movegen/evasions.h"
#include "movegen/quiet_checks.h"
#include "movegen/quiets.h"
#include "position/move.h"
#include "support/movegen_support.h"
#include "support/position_support.h"

namespace {

constexpr int sq(const char* name) { return (name[0] - 'a') + 8 * (name[1] - '1'); }

Move quiet(const char* from, const char* to) { return make_quiet(sq(from), sq(to)); }
Move capture(const char* from, const char* to) { return make_capture(sq(from), sq(to)); }

std::vector<Move> captures_of(const std::string& fen) {
    set_fen(fen);
    MoveList list;
    generate_captures(list);
    return list_moves(list);
}
std::vector<Move> quiets_of(const std::string& fen) {
    set_fen(fen);
    MoveList list;
    generate_quiets(0, list);
    return list_moves(list);
}
std::vector<Move> evasions_of(const std::string& fen) {
    set_fen(fen);
    MoveList list;
    generate_evasions(list);
    return list_moves(list);
}
std::vector<Move> checks_of(const std::string& fen) {
    set_fen(fen);
    MoveList list;
    generate_quiet_checks(list);
    return list_moves(list);
}

bool contains(const std::vector<Move>& moves, Move m) {
    return std::find(moves.begin(), moves.end(), m) != moves.end();
}

}  // namespace

TEST(Captures, PromotionsComeFirstQueenRookKnightBishop) {
    const int               b7 = sq("b7"), b8 = sq("b8"), a8 = sq("a8");
    const std::vector<Move> expected = {
        make_promotion(b7, b8, QUEEN, false),  make_promotion(b7, b8, ROOK, false),
        make_promotion(b7, b8, KNIGHT, false), make_promotion(b7, b8, BISHOP, false),
        make_promotion(b7, a8, QUEEN, true),   make_promotion(b7, a8, ROOK, true),
        make_promotion(b7, a8, KNIGHT, true),  make_promotion(b7, a8, BISHOP, true),
    };
    EXPECT_EQ(captures_of("r3k3/1P6/8/8/8/8/8/4K3 w - - 0 1"), expected);
}

TEST(Captures, EnPassantOnlyOnTheEnPassantSquare) {
    EXPECT_EQ(captures_of("4k3/8/8/3pP3/8/8/8/4K3 w - d6 0 1"),
              std::vector<Move>{36 | 43 << 6 | 0xa6000});
    EXPECT_TRUE(captures_of("4k3/8/8/3pP3/8/8/8/4K3 w - - 0 1").empty());
}

TEST(Captures, PawnsNeverCaptureAcrossTheBoardEdge) {
    EXPECT_TRUE(captures_of("4k3/p7/8/7P/8/8/8/4K3 w - - 0 1").empty());
    EXPECT_TRUE(captures_of("4k3/8/8/8/p7/8/7P/4K3 b - - 0 1").empty());
    EXPECT_TRUE(captures_of("7k/8/8/8/8/8/8/K7 w - - 0 1").empty());
}

TEST(Captures, NeverTheKing) {
    // Black in check, then "white": the rook on e7 and the pawn on d7 must not take e8.
    set_fen("4k3/3PR3/8/8/8/8/8/4K3 b - - 0 1");
    set_side_to_move(WHITE);
    MoveList list;
    generate_captures(list);
    EXPECT_EQ(list_moves(list).size(), 4u) << "d7d8 promotions only";
}

TEST(Captures, PawnsByDiagonalThenPiecesAndTheKingLast) {
    // White: e4 takes d5 (second diagonal) and f5 (first diagonal); knight c3, queen d1
    // and king e1 take what they reach.
    const std::vector<Move> expected = {
        capture("e4", "f5"), capture("e4", "d5"), capture("c3", "d5"),
        capture("d1", "d2"), capture("e1", "d2"),
    };
    EXPECT_EQ(captures_of("4k3/8/8/3p1p2/4P3/2N5/3p4/3QK3 w - - 0 1"), expected);
    // Black: the first diagonal runs towards the a-file.
    EXPECT_EQ(captures_of("4k3/8/8/3p4/2P1P3/8/8/4K3 b - - 0 1"),
              (std::vector<Move>{capture("d5", "c4"), capture("d5", "e4")}));
}

TEST(Quiets, StartPositionInOrder) {
    std::vector<Move> expected;
    for (int file = 0; file < 8; ++file)
        expected.push_back(make_quiet(8 + file, 16 + file));
    for (int file = 0; file < 8; ++file)
        expected.push_back(make_quiet(8 + file, 24 + file));
    for (const Move m :
         {quiet("b1", "a3"), quiet("b1", "c3"), quiet("g1", "f3"), quiet("g1", "h3")})
        expected.push_back(m);
    EXPECT_EQ(quiets_of("rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1"), expected);
}

TEST(Quiets, PawnPushesStopAtBlockersAndBeforeTheLastRank) {
    const std::vector<Move> last = quiets_of("k7/4P3/8/8/8/8/8/K7 w - - 0 1");
    for (const Move m : last)
        EXPECT_NE(move_from(m), sq("e7"));
    const std::vector<Move> blocked = quiets_of("k7/8/8/8/8/4n3/4P3/K7 w - - 0 1");
    for (const Move m : blocked)
        EXPECT_NE(move_from(m), sq("e2"));
    const std::vector<Move> single = quiets_of("k7/8/8/8/4n3/8/4P3/K7 w - - 0 1");
    EXPECT_TRUE(contains(single, quiet("e2", "e3")));
    EXPECT_FALSE(contains(single, quiet("e2", "e4")));
}

TEST(Quiets, CastlingNeedsRightsEmptyPathAndSafeKingSquares) {
    const Move short_castle = make_castle_short(sq("e1"));
    const Move long_castle  = make_castle_long(sq("e1"));
    EXPECT_EQ(quiets_of("4k3/8/8/8/8/8/8/R3K2R w KQ - 0 1").back(), long_castle);
    // A bishop on c4 attacks f1: no short castling.
    EXPECT_FALSE(contains(quiets_of("4k3/8/8/8/2b5/8/8/4K2R w K - 0 1"), short_castle));
    // A bishop on e4 attacks b1 only: long castling stands.
    EXPECT_TRUE(contains(quiets_of("4k3/8/8/8/4b3/8/8/R3K3 w Q - 0 1"), long_castle));
    // In check from e8: neither.
    const std::vector<Move> in_check = quiets_of("4r1k1/8/8/8/8/8/8/R3K2R w KQ - 0 1");
    EXPECT_FALSE(contains(in_check, short_castle));
    EXPECT_FALSE(contains(in_check, long_castle));
    // Without the right, nothing.
    EXPECT_FALSE(contains(quiets_of("4k3/8/8/8/8/8/8/R3K2R w - - 0 1"), short_castle));
}

TEST(Quiets, AppendBehindTheGivenStart) {
    set_fen("rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1");
    MoveList list;
    for (int i = 0; i < 5; ++i)
        list.moves[i] = static_cast<Move>(1000 + i);
    generate_quiets(5, list);
    EXPECT_EQ(list.count, 25);
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(list.moves[i], static_cast<Move>(1000 + i));
    EXPECT_EQ(list.moves[5], quiet("a2", "a3"));
}

TEST(Evasions, KingLeavesTheCheckingLine) {
    const std::vector<Move> expected = {quiet("e4", "d3"), quiet("e4", "f3"), quiet("e4", "d4"),
                                        quiet("e4", "f4"), quiet("e4", "d5"), quiet("e4", "f5")};
    EXPECT_EQ(evasions_of("4r2k/8/8/8/4K3/8/8/8 w - - 0 1"), expected);
}

TEST(Evasions, DoubleCheckAllowsOnlyKingMoves) {
    // Rook e8 and knight d3 both check the king on e1; the rook on b3 could take d3.
    for (const Move m : evasions_of("4r2k/8/8/8/8/1R1n4/8/4K3 w - - 0 1"))
        EXPECT_EQ(move_from(m), sq("e1"));
}

TEST(Evasions, KingTakesAnUndefendedAdjacentChecker) {
    // d2 and f2 are on the rook's rank; d1 and f1 are free; the capture comes last.
    const std::vector<Move> expected = {quiet("e1", "d1"), quiet("e1", "f1"), capture("e1", "e2")};
    EXPECT_EQ(evasions_of("7k/8/8/8/8/8/4r3/4K3 w - - 0 1"), expected);
}

TEST(Evasions, EnPassantTakesTheCheckingPawn) {
    EXPECT_TRUE(contains(evasions_of("7k/8/8/3pP3/4K3/8/8/8 w - d6 0 1"),
                         make_en_passant(sq("e5"), sq("d6"))));
}

TEST(Evasions, PinnedPiecesDoNotAnswer) {
    // The knight on e2 is pinned against the king on f1 by the bishop on a6; the rook on
    // c1 checks along the first rank, and the knight's jump would reach it.
    const std::vector<Move> ev = evasions_of("7k/8/b7/8/8/8/4N3/2r2K2 w - - 0 1");
    EXPECT_FALSE(contains(ev, capture("e2", "c1")));
    EXPECT_EQ(pinned_pieces(WHITE), Bitboard{1} << sq("e2"));
}

TEST(Evasions, KnightCheckHasNoInterposition) {
    // The knight on d3 checks e1; the rook a2 may not step in anywhere, only take.
    const std::vector<Move> ev = evasions_of("7k/8/8/8/8/3n4/R7/4K3 w - - 0 1");
    for (const Move m : ev)
        EXPECT_TRUE(move_from(m) == sq("e1") || move_to(m) == sq("d3"));
}

TEST(QuietChecks, DiscoveredByEveryKnightMove) {
    const std::vector<Move> expected = {quiet("d4", "c2"), quiet("d4", "e2"), quiet("d4", "b3"),
                                        quiet("d4", "f3"), quiet("d4", "b5"), quiet("d4", "f5"),
                                        quiet("d4", "c6"), quiet("d4", "e6")};
    EXPECT_EQ(checks_of("8/8/8/8/R2N3k/8/8/K7 w - - 0 1"), expected);
}

TEST(QuietChecks, PawnPushes) {
    EXPECT_TRUE(contains(checks_of("8/7k/8/8/8/3P4/8/KB6 w - - 0 1"), quiet("d3", "d4")));
    EXPECT_FALSE(contains(checks_of("3k4/8/3P4/8/8/8/8/K2R4 w - - 0 1"), quiet("d6", "d7")));
    EXPECT_EQ(checks_of("8/3k4/8/4P3/8/8/8/K7 w - - 0 1"), std::vector<Move>{quiet("e5", "e6")});
    EXPECT_EQ(checks_of("8/5k2/8/4P3/8/8/8/K7 w - - 0 1"), std::vector<Move>{quiet("e5", "e6")});
}

TEST(QuietChecks, CastlingWhenTheRookChecks) {
    EXPECT_EQ(checks_of("5k2/8/8/8/8/8/8/4K2R w K - 0 1").back(), make_castle_short(sq("e1")));
    EXPECT_FALSE(
        contains(checks_of("6k1/8/8/8/8/8/8/4K2R w K - 0 1"), make_castle_short(sq("e1"))));
}

TEST(QuietChecks, NoneInTheStartPosition) {
    EXPECT_TRUE(checks_of("rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1").empty());
}

TEST(MoveListCapacity, QuietGeneratorsStopAtTheEndOfTheList) {
    set_fen("rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1");
    MoveList list;
    list.scores[0] = 12345;  // the first word behind the moves
    generate_quiets(MAX_MOVES - 6, list);
    // The sixteen pawn pushes do not fit; the four knight moves do.
    EXPECT_EQ(list.count, MAX_MOVES - 2);
    EXPECT_EQ(list.moves[MAX_MOVES - 6], quiet("b1", "a3"));
    EXPECT_EQ(list.scores[0], 12345);
}

TEST(MoveListCapacity, TheRichestKnownPositionFitsWhole) {
    // 218 legal moves, the most any reachable position is known to have: every
    // pseudo-legal move is generated, and FEN refuses material richer than this.
    set_fen("R6R/3Q4/1Q4Q1/4Q3/2Q4Q/Q4Q2/pp1Q4/kBNN1KB1 w - - 0 1");
    std::vector<Move> moves = generated_moves();
    std::vector<Move> valid = brute_force_valid_moves();
    std::sort(moves.begin(), moves.end());
    std::sort(valid.begin(), valid.end());
    EXPECT_GE(moves.size(), 218u);
    EXPECT_EQ(moves, valid);
    EXPECT_EQ(brute_force_legal_moves().size(), 218u);
    EXPECT_FALSE(load_fen("1Q1K2nk/4QQbn/Q1Q4Q/Q4Q2/3Q4/1Q4Q1/4Q3/Q1Q4Q w - - 0 1"));
}
