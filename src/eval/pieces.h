// eval/pieces.h: the piece terms of one colour, in the order evaluate() runs them: king
// placement and trapped rooks, then knights, bishops, rooks and queens (mobility,
// outposts, blocked pawns, rook files, the seventh rank). Each adds to the colour's mg and
// eg accumulators of the EvalState (in its favour), unites its attack sets into the
// colour's attack_map and feeds the king-safety counters. Tables are [colour][square].
#pragma once

#include <array>

#include "eval/evaluate.h"

namespace pieces_detail {
// White's table from a diagram drawn rank 8 first; Black's is its vertical mirror.
constexpr std::array<std::array<int, 64>, 2> by_colour(const int (&diagram)[64]) {
    std::array<std::array<int, 64>, 2> table{};
    for (int sq = 0; sq < 64; ++sq) {
        table[WHITE][sq] = diagram[sq ^ 56];
        table[BLACK][sq] = diagram[sq];
    }
    return table;
}
// clang-format off
constexpr int outpost_diagram[64] = {
    0, 0,  0,  0,  0,  0, 0, 0,  // rank 8
    0, 0,  0,  0,  0,  0, 0, 0,
    0, 8, 12, 16, 16, 12, 8, 0,  // rank 6
    0, 8,  9, 12, 12,  9, 8, 0,
    0, 4,  6,  8,  8,  6, 4, 0,  // rank 4
    0, 0,  0,  0,  0,  0, 0, 0,
    0, 0,  0,  0,  0,  0, 0, 0,
    0, 0,  0,  0,  0,  0, 0, 0,  // rank 1
};
constexpr int bishop_block_diagram[64] = {
    1, 1, 1, 1, 1, 1, 1, 1,  // rank 8
    1, 1, 1, 1, 1, 1, 1, 1,
    1, 1, 1, 1, 1, 1, 1, 1,
    1, 1, 1, 1, 1, 1, 1, 1,
    1, 1, 1, 2, 2, 1, 1, 1,  // rank 4
    1, 1, 2, 3, 3, 2, 1, 1,
    1, 2, 3, 4, 4, 3, 2, 1,
    2, 3, 4, 4, 4, 4, 3, 2,  // rank 1
};
constexpr int rook_pair_diagram[64] = {
    12, 12, 12, 12, 12, 12, 12, 12,  // rank 8
    20, 20, 20, 20, 20, 20, 20, 20,  // rank 7
     8,  8, 10, 12, 12, 10,  8,  8,
     0,  0,  4,  6,  6,  4,  0,  0,
     0,  0,  4,  6,  6,  4,  0,  0,
     0,  0,  4,  6,  6,  4,  0,  0,
     0,  0,  4,  6,  6,  4,  0,  0,
     0,  0,  4,  6,  6,  4,  0,  0,  // rank 1
};
// clang-format on
}  // namespace pieces_detail

// outpost_bonus[colour][square]: a knight there, guarded by an own pawn and beyond the
// reach of enemy pawns.
constexpr std::array<std::array<int, 64>, 2> outpost_bonus =
    pieces_detail::by_colour(pieces_detail::outpost_diagram);

// bishop_block_weight[colour][square]: how much a bishop there suffers from own blocked
// pawns in front of it. One entry is deliberately not a mirror: Black's g7 weighs 3,
// where the mirror of White's g2 would give 2.
constexpr int                                BISHOP_BLOCK_ASYMMETRIC_SQUARE = 54;  // g7
constexpr std::array<std::array<int, 64>, 2> bishop_block_weight            = [] {
    auto table = pieces_detail::by_colour(pieces_detail::bishop_block_diagram);
    table[BLACK][BISHOP_BLOCK_ASYMMETRIC_SQUARE] = 3;
    return table;
}();

// rook_pair_bonus[colour][square]: a rook there that sees another own rook.
constexpr std::array<std::array<int, 64>, 2> rook_pair_bonus =
    pieces_detail::by_colour(pieces_detail::rook_pair_diagram);

static_assert(outpost_bonus[WHITE][35] == 12 && outpost_bonus[BLACK][35 ^ 56] == 12, "d5");
static_assert(bishop_block_weight[WHITE][14] == 2 && bishop_block_weight[BLACK][54] == 3);
static_assert(rook_pair_bonus[WHITE][3] == 6 && rook_pair_bonus[WHITE][5] == 4, "d1, f1");

void evaluate_king_placement(EvalState& st, int colour);
void evaluate_knights(EvalState& st, int colour);
void evaluate_bishops(EvalState& st, int colour);
void evaluate_rooks(EvalState& st, int colour);
void evaluate_queens(EvalState& st, int colour);
