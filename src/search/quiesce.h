// search/quiesce.h: the quiescence search below the main search's horizon. It tries
// only captures and promotions (and, at its first level, quiet checks), stands pat on
// the static evaluation when not in check, and searches every evasion when in check,
// so that no score comes from the middle of an exchange. No depth, no table: it ends
// when captures run out, or past ply MAX_PLY.
#pragma once

#include "position/types.h"

// alpha, beta: the window. checks_allowance: quiet checks are generated while it is
// above 0, each level passing one less. pv: out, the line found, 0-terminated, with
// room for MAX_PLY + 2 moves. in_check: the side to move is in check.
int quiesce(int alpha, int beta, int checks_allowance, Move* pv, bool in_check);
