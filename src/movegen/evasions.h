// movegen/evasions.h: the replies to a check. The list is nearly legal (king steps to
// unattacked squares, captures of a single checker and interpositions by unpinned
// pieces), so its length is meaningful: the search extends single replies.
#pragma once

#include "movegen/move_list.h"

// The pieces of colour c that alone stand between c's king and an enemy slider aimed at
// it along that line.
Bitboard pinned_pieces(int colour);

// Only while the side to move is in check. Sets list.count to 0 and appends: king steps,
// king captures; against a single checker then pawn pushes (single, double) onto the
// checking line, pawn captures of the checker (en passant included), and the knights,
// bishops, rooks and queens that capture it or block the line, piece by piece.
void generate_evasions(MoveList& list);
