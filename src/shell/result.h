// shell/result.h: whether the game has ended, judged after each engine turn from the
// move the thinking driver answered and its score. Owns game_state: update_game_state
// sets the end codes, and the command loop puts it back to STATE_PLAYING through
// reset_game_state at its start and on "new", "undo" and "remove".
// Draws by repetition or by the fifty-move rule are never claimed.
#pragma once

#include "position/types.h"

constexpr int STATE_PLAYING       = 1;
constexpr int STATE_BLACK_MATES   = 2;
constexpr int STATE_WHITE_MATES   = 3;
constexpr int STATE_WHITE_RESIGNS = 4;
constexpr int STATE_BLACK_RESIGNS = 5;
constexpr int STATE_STALEMATE     = 7;

// Scores the driver answers at the root: the side to move is checkmated, the engine's
// move mates at once, and anything below RESIGN_SCORE means the engine is being mated.
constexpr int SCORE_MATED        = -MATE;
constexpr int SCORE_MATES_IN_ONE = MATE - 1;
constexpr int RESIGN_SCORE       = -31099;

extern const int& game_state;

void reset_game_state();  // STATE_PLAYING
// Called after the engine's move (if any) was made, so that the side to move is the
// opponent when move is not NO_MOVE and the engine itself when it is.
void update_game_state(int score, Move move);
// The line the GUI expects for a claimed result; "" for STATE_PLAYING.
const char* result_text(int state);
