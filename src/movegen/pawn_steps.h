// movegen/pawn_steps.h: rank and file masks and the whole-set pawn shifts that the
// generators share. "Forward" is +8 for White and -8 for Black; the first capture
// diagonal runs towards the h-file for White (+9) and the a-file for Black (-9), the
// second towards the a-file for White (+7) and the h-file for Black (-7).
#pragma once

#include "position/types.h"

constexpr Bitboard FILE_A_BB = 0x0101010101010101ull;
constexpr Bitboard FILE_H_BB = FILE_A_BB << 7;
constexpr Bitboard RANK_1_BB = 0xFFull;

constexpr Bitboard rank_bb(int rank) { return RANK_1_BB << (8 * rank); }

constexpr int PAWN_FORWARD[2] = {-8, 8};  // [colour]
constexpr int PAWN_DIAG_1[2]  = {-9, 9};
constexpr int PAWN_DIAG_2[2]  = {-7, 7};

// [colour]: the rank a pawn promotes on, the rank a single push from the start lands on,
// the rank pawns start on.
constexpr Bitboard LAST_RANK_BB[2]   = {rank_bb(0), rank_bb(7)};
constexpr Bitboard THIRD_RANK_BB[2]  = {rank_bb(5), rank_bb(2)};
constexpr Bitboard SECOND_RANK_BB[2] = {rank_bb(6), rank_bb(1)};

constexpr Bitboard shift_forward(int us, Bitboard b) { return us == WHITE ? b << 8 : b >> 8; }
// Destinations of the pawns b along each capture diagonal; edge-file pawns that would
// leave the board take no part.
constexpr Bitboard shift_diag_1(int us, Bitboard b) {
    return us == WHITE ? (b & ~FILE_H_BB) << 9 : (b & ~FILE_A_BB) >> 9;
}
constexpr Bitboard shift_diag_2(int us, Bitboard b) {
    return us == WHITE ? (b & ~FILE_A_BB) << 7 : (b & ~FILE_H_BB) >> 7;
}

static_assert(shift_diag_1(WHITE, Bitboard{1} << 7) == 0, "h1 pawn cannot capture to a3");
static_assert(shift_diag_2(BLACK, Bitboard{1} << 15) == 0, "h2 pawn cannot capture to a2");
static_assert(shift_diag_1(BLACK, Bitboard{1} << 9) == 1, "b2 takes a1 along diagonal 1");
