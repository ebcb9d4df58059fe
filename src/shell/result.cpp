// shell/result.cpp: mates, resignations and stalemate after the engine's turn.
#include "shell/result.h"

#include "position/move.h"
#include "position/position.h"

static int state      = STATE_PLAYING;
const int& game_state = state;

void reset_game_state() { state = STATE_PLAYING; }

void update_game_state(int score, Move move) {
    const bool white_to_move = position().side_to_move == WHITE;
    // Only a mate in one is claimed: the side to move now is the one mated, the engine
    // when it had no move (-MATE), the opponent when the engine's move mated (MATE - 1).
    if (score == SCORE_MATED || score == SCORE_MATES_IN_ONE)
        state = white_to_move ? STATE_BLACK_MATES : STATE_WHITE_MATES;
    else if (score < RESIGN_SCORE)
        // The engine's move was made, so the opponent is to move: the engine resigns.
        state = white_to_move ? STATE_BLACK_RESIGNS : STATE_WHITE_RESIGNS;
    else if (move == NO_MOVE && score == 0)
        state = STATE_STALEMATE;
    else
        state = STATE_PLAYING;
}

const char* result_text(int s) {
    switch (s) {
        case STATE_BLACK_MATES: return "0-1 {Black mates}";
        case STATE_WHITE_MATES: return "1-0 {White mates}";
        case STATE_WHITE_RESIGNS: return "0-1 {White resigns}";
        case STATE_BLACK_RESIGNS: return "1-0 {Black resigns}";
        case STATE_STALEMATE: return "1/2-1/2 {Stalemate}";
        default: return "";
    }
}
