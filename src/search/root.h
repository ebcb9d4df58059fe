// search/root.h: the search of the position on the board to one depth inside the
// driver's window. Simpler than the main search: it takes only the move from the
// table, never prunes or reduces, extends more generously, and at the end teaches the
// ordering tables its best move and stores the principal variation in the table.
#pragma once

#include "position/types.h"

// depth: quarter plies. pv: out, the principal variation (PV_CAPACITY moves); after a
// fail low it starts with the move whose upper bound was highest. Answers -MATE when
// the side to move is checkmated and 0 when it is stalemated, with pv empty.
int search_root(int depth, int alpha, int beta, Move* pv);

// Which root moves the searches take: every legal move, or (count above 0) only those
// listed, less the moves excluded since the last clear (the lines a MultiPV iteration
// has already reported). root.cpp owns the lists; the thinking driver sets them.
void restrict_root_moves(const Move* moves, int count);
void exclude_root_move(Move m);
void clear_excluded_root_moves();
// The legal moves the root would search now.
int count_root_moves();
// The root's moves scored at a glance: the static evaluation after each, for the side to
// move, with no reply considered. Fills moves and scores (MAX_MOVES each) best first and
// answers their number.
int glance_at_root_moves(Move* moves, int* scores);
