// position/valid_move.h: the gate for move words of unsure origin (hash move, killers,
// GUI text). A word that passes is pseudo-legal with flags that agree with the position,
// so make_move can be given it without corrupting the record; whether it leaves the
// own king in check is make's answer.
#pragma once

#include "position/types.h"

constexpr int pawn_start_rank[2] = {6, 1};  // [colour]
constexpr int back_rank[2]       = {7, 0};  // a pawn promotes on the other colour's back rank

bool is_valid_move(Move m);
