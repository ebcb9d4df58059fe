// shell/wdl.h: the win/draw/loss model the UCI loop shows beside a score when
// UCI_ShowWDL is on. It turns the engine's own centipawns into the chances of a win, a
// draw and a loss as Velmora's self-play games bore them out: two logistic curves in the
// score, win = 1 / (1 + exp((a - score) / b)) and loss = 1 / (1 + exp((a + score) / b)),
// whose centre a and width b are quadratics in the material left on the board (pawn 1,
// knight and bishop 3, rook 5, queen 9, both sides, at most 78). A draw is the rest.
// Constants fitted by scripts/wdl-fit; see there and README.md for the games.
#pragma once

struct Wdl {
    int win;  // per mille, side to move's view; the three sum to 1000
    int draw;
    int loss;
};

// The material the model reads: both sides' pawns, minors, rooks and queens in units.
int wdl_material();
// The chances for score (side to move's view, centipawns; beyond MATE_BOUND a mate) with
// material units on the board. A mate is certain: 1000 0 0 or 0 0 1000.
Wdl score_to_wdl(int score, int material);
