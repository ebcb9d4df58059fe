// position/make_move.h: the only way the game and the search move through positions.
// make_move pushes one history entry and unmake_move pops one; search_ply moves with
// them. Unmake recomputes no key: it restores all three from the history entry.
#pragma once

#include "position/types.h"

// Makes a pseudo-legal move (or NULL_MOVE) with correct flags. Returns false when the
// mover's king is left attacked; the move is made either way and the caller unmakes it.
bool make_move(Move m);
void unmake_move();

// The key make_move(m) would give, for prefetching the child's hash entries before the
// move is made: exact but for a change of castling rights, which it leaves out.
Key key_after(Move m);

// True when the current position, same side to move, occurred since the last
// irreversible move. One earlier occurrence is enough.
bool is_repetition();

// Piece primitives: keep squares, bitboards, counts, material and piece-square sums in
// step; update_keys also XORs the key, pawn-key and material-key terms.
void remove_piece(int colour, int piece, int sq, bool update_keys);
void add_piece(int colour, int piece, int sq, bool update_keys);
