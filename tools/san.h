// tools/san.h: standard algebraic notation (Nf3, exd5, O-O, e8=Q+, Rad1) for the tools
// that read test suites and opening lines. The engine itself speaks only coordinate
// notation; SAN needs the legal moves of the position, which these helpers generate.
#pragma once

#include <string>

#include "position/types.h"

// The legal moves of the current position in generator order; answers their number.
// out needs room for 256 moves.
int legal_moves(Move* out);

// The SAN of a legal move of the current position, with "+" or "#" when it checks or
// mates. The position is left as it was.
std::string move_to_san(Move m);

// The legal move of the current position that san names, or NO_MOVE when the text is
// unreadable, names no legal move or fits more than one. Accepts a trailing "+", "#",
// "!" or "?", castling with O or 0, promotions with or without "=" in either case,
// and over-specified origins (Ngf3 where Nf3 would do). Leaves the position as it was.
Move san_to_move(const std::string& san);
