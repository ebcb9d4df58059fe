#include "shell/result.h"

static int state      = STATE_PLAYING;
const int& game_state = state;

void reset_game_state() { state = STATE_PLAYING; }

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
