// tools/fen_setup.h: how the tools read a FEN argument. A FEN is read as standard chess
// and, when that fails or "--960" was given, as Chess960 (castling fields in X-FEN or
// Shredder-FEN). A position read as Chess960 writes castling as the king taking its own
// rook (e1h1, b1a1), as UCI does with UCI_Chess960; standard chess keeps e1g1.
#pragma once

#include <string>

#include "position/types.h"
#include "shell/move_text.h"

// Removes every "--960" from argv (argc shrinks), answering whether there was one.
bool take_960_flag(int& argc, char** argv);
// load_fen as above. On failure the error is the standard reading's, unless "--960" was
// given; the position is unchanged.
bool load_tool_fen(const std::string& fen, bool chess960, std::string* error);
// True after load_tool_fen has read its position as Chess960.
bool tool_reads_960();
// The move's text in the form of the position's chess: e1g1 or, in Chess960, e1h1.
MoveText tool_move_text(Move m);
