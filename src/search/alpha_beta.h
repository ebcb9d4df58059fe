// search/alpha_beta.h: the principal-variation alpha-beta search below the root, with
// the transposition table, null move with verification, razoring, internal iterative
// deepening, check, single-reply, passed-pawn and capture extensions, move-count and
// futility pruning and late-move reductions. Depths are quarter plies (ONE_PLY = 4),
// scores centipawns from the side to move's view. Every node keeps its move picker and
// buffers on its own stack frame; the recursion ends at ply MAX_PLY.
#pragma once

#include "position/types.h"

// depth: remaining depth. pv_node: the node is on the principal variation (all pruning
// is for the other nodes). pv: out, the line from this node, room for PV_CAPACITY moves.
// in_check: the side to move is in check (the parent knows it from gives_check).
int search(int depth, int alpha, int beta, bool pv_node, Move* pv, bool in_check);

// A plain alpha-beta over every move, without table, repetition test, null move or
// pruning, that confirms a null-move cut-off at great depth.
int verify_null_move(int depth, int alpha, int beta, Move* pv, Move hash_move, bool in_check);

// The mover's pawn goes to a square with no enemy pawn ahead of it on its own or an
// adjacent file. m is not yet made.
bool passed_pawn_push(Move m);
