// shell/move_text.h: moves as text in coordinate notation, the form in which they cross
// the engine's boundary (GUI moves, "move" lines, thinking lines, the log, the book).
// Origin and destination squares, then the upper-case letter of the promotion piece:
// e2e4, e7e8Q. Castling is written as the king's move (e1g1), en passant as the pawn's.
#pragma once

#include "position/types.h"

// file_letters[file], rank_digits[rank], piece_letters[piece code] ("" for NO_PIECE).
extern const char* const file_letters[8];
extern const char* const rank_digits[8];
extern const char* const piece_letters[7];

// Four or five characters and the terminating zero; use as move_to_text(m).text.
struct MoveText {
    char text[6];
};

// Never fails: NO_MOVE and NULL_MOVE both print as a1a1.
MoveText move_to_text(Move m);

// Reads the first five characters of text (a whole input line will do; it must be
// zero-terminated) against the current position: squares in lower case, an optional
// promotion letter in either case. Answers the move word with the flags the position
// calls for, or NO_MOVE when the text is malformed or the move is not legal here.
// The position is left as it was.
Move text_to_move(const char* text);

// The same in the Chess960 form that UCI uses with UCI_Chess960: castling is written as the
// king taking its own rook (e1h1, or b1a1 in a Chess960 position) and read only in that
// form; every other move as above.
MoveText move_to_text_960(Move m);
Move     text_to_move_960(const char* text);
