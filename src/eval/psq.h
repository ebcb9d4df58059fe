// eval/psq.h: the piece-square table. Built once by init_piece_square() at start-up,
// read-only afterwards; make and unmake keep the position's psq_mg and psq_eg sums.
// Values favour the piece's owner; Black's table mirrors White's vertically.
#pragma once

#include "position/types.h"

struct PsqValue {
    int mg;
    int eg;
};

// piece_square[colour][piece][square], piece PAWN..KING.
extern const PsqValue (&piece_square)[2][6][64];

void init_piece_square();
