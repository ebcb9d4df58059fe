// eval/psq.cpp: builds the piece-square table from a handful of file and rank profiles.
// Owns piece_square; written only by init_piece_square() at start-up.
#include "eval/psq.h"

namespace {

PsqValue table[2][6][64];

constexpr int centre_4[8]            = {-4, -2, 0, 1, 1, 0, -2, -4};
constexpr int centre_3[8]            = {-3, -1, 0, 1, 1, 0, -1, -3};
constexpr int centre_2[8]            = {-2, -1, 0, 1, 1, 0, -1, -2};
constexpr int knight_rank_profile[8] = {-2, -1, 0, 1, 2, 3, 2, 1};
constexpr int king_file_profile[8]   = {3, 4, 2, 0, 0, 2, 4, 3};
constexpr int king_rank_profile[8]   = {1, 0, -2, -3, -4, -5, -6, -7};

constexpr int D3 = 19, E3 = 20, D4 = 27, E4 = 28, D5 = 35, E5 = 36, A8 = 56, H8 = 63;

}  // namespace

const PsqValue (&piece_square)[2][6][64] = table;

void init_piece_square() {
    PsqValue(&white)[6][64] = table[WHITE];
    for (int sq = 0; sq < 64; ++sq) {
        const int f = sq & 7, r = sq >> 3;
        white[PAWN][sq]   = {5 * centre_3[f], 0};
        white[KNIGHT][sq] = {5 * (centre_4[f] + centre_4[r]) + 5 * knight_rank_profile[r],
                             5 * (centre_4[f] + centre_4[r])};
        white[BISHOP][sq] = {2 * (centre_3[f] + centre_3[r]), 3 * (centre_3[f] + centre_3[r])};
        white[ROOK][sq]   = {3 * centre_2[f], 0};
        white[QUEEN][sq]  = {0, 4 * (centre_3[f] + centre_3[r])};
        white[KING][sq]   = {10 * king_file_profile[f] + 10 * king_rank_profile[r],
                             12 * (centre_3[f] + centre_3[r])};
    }
    // Single-square corrections.
    white[PAWN][D3].mg += 8;
    white[PAWN][E3].mg += 8;
    white[PAWN][D4].mg += 20;
    white[PAWN][E4].mg += 20;
    white[PAWN][D5].mg += 10;
    white[PAWN][E5].mg += 10;
    white[KNIGHT][A8].mg -= 100;
    white[KNIGHT][H8].mg -= 100;
    for (int sq = 0; sq < 64; ++sq) {
        const int f = sq & 7, r = sq >> 3;
        if (f == r || f + r == 7)  // the long diagonals a1-h8 and h1-a8
            white[BISHOP][sq].mg += 4;
        if (r == 0) {
            white[BISHOP][sq].mg -= 10;
            white[QUEEN][sq].mg -= 5;
        }
    }
    // Black's table is White's, mirrored top to bottom.
    for (int p = PAWN; p <= KING; ++p)
        for (int sq = 0; sq < 64; ++sq)
            table[BLACK][p][sq] = white[p][sq ^ 56];
}
