// movegen/quiets.h: every pseudo-legal move that neither captures nor promotes.
#pragma once

#include "movegen/move_list.h"

// Sets list.count to start (the captures already in the list stay) and appends: single
// pawn pushes, double pushes, knights, bishops, rooks, queens, king steps, then short and
// long castling when the right is held, the path is empty and the king's squares are
// not attacked. Pushes onto the last rank are promotions and come from the captures.
void generate_quiets(int start, MoveList& list);
