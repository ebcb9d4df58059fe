// movegen/quiet_checks.h: the non-capturing, non-promoting moves that give check,
// directly or by uncovering one of the own sliders, castling included. Pseudo-legal:
// make_move filters them like every other move.
#pragma once

#include "movegen/move_list.h"

// Sets list.count to 0 and appends: pawn pushes that uncover a check (single, double),
// pawn pushes that check directly (single, double), knights, bishops, rooks, queens,
// the king when it uncovers a check, short and long castling when the rook checks.
void generate_quiet_checks(MoveList& list);
