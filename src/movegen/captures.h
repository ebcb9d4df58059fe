// movegen/captures.h: every pseudo-legal capture, en-passant capture and promotion of
// the side to move. Pins and checks are left to make_move. The opponent's king is never
// a target.
#pragma once

#include "movegen/move_list.h"

// Sets list.count to 0 and appends, in this order: promotions without capture (queen,
// rook, knight, bishop per square); pawn captures towards the h-file for White (a-file
// for Black), then the other diagonal; knights, bishops, rooks, queens, king. Every set
// is walked lowest square first. Scores are left to the picker.
void generate_captures(MoveList& list);
