// shell/wdl.h: the win/draw/loss model the UCI loop shows beside a score when
// UCI_ShowWDL is on. It turns the engine's own centipawns into the chances of a win, a
// draw and a loss as Velmora's self-play games bore them out: two logistic curves in the
// score, win = 1 / (1 + exp((a - score) / b)) and loss = 1 / (1 + exp((a + score) / b)),
// whose centre a and width b each add a quadratic in the material left on the board
// (pawn 1, knight and bishop 3, rook 5, queen 9, both sides, at most 78) to a broken line
// in the plies played in the game (at most 240). A draw is the rest. Constants fitted by
// scripts/wdl-fit; see there and README.md for the games.
// wdl.cpp owns the game's first ply, which only the UCI loop sets; main thread only.
#pragma once

struct Wdl {
    int win;  // per mille, side to move's view; the three sum to 1000
    int draw;
    int loss;
};

// The material the model reads: both sides' pawns, minors, rooks and queens in units.
int wdl_material();
// The plies played in the game: those before the position the game was set up from (its
// FEN's move number and side to move, 0 from the initial position) and the moves since.
void set_wdl_start_ply(int plies);
int  wdl_plies();
// The chances for score (side to move's view, centipawns; beyond MATE_BOUND a mate) with
// material units on the board after plies of the game. A mate is certain: 1000 0 0 or
// 0 0 1000.
Wdl score_to_wdl(int score, int material, int plies);
