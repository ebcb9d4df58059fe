// shell/result.h: whether the game is over. result.cpp owns game_state: the command
// loop resets it to STATE_PLAYING when it starts and on "new", "undo" and "remove";
// only the result detection after the engine's turn sets the other codes.
#pragma once

constexpr int STATE_PLAYING       = 1;
constexpr int STATE_BLACK_MATES   = 2;
constexpr int STATE_WHITE_MATES   = 3;
constexpr int STATE_WHITE_RESIGNS = 4;
constexpr int STATE_BLACK_RESIGNS = 5;
constexpr int STATE_STALEMATE     = 7;

extern const int& game_state;

void reset_game_state();  // game_state := STATE_PLAYING

// The result line xboard expects for state, without its line end; "" while playing.
const char* result_text(int state);
