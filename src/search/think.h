// search/think.h: the thinking driver, what the command loop calls when the engine must
// choose a move (and for "hint"). It asks the opening book first; otherwise it budgets
// the time and deepens one ply at a time, each root search inside an aspiration window
// around the previous score, prints a thinking line after every root search, and
// answers the best move of the last completed iteration.
// think.cpp owns iteration and root_pv: think resets them and they keep their last
// values between thinks. The clock state belongs to search/clock.h, the budgets to
// shell/time_alloc.h.
#pragma once

#include <cstdio>

#include "position/types.h"
#include "search/pv.h"

extern const int& iteration;                // completed iterations of the current think
extern const Move (&root_pv)[PV_CAPACITY];  // line of the last root search, 0-terminated

// depth_limit: completed iterations after which to answer (below 1 counts as 1). The
// time-control arguments go to allocate_time. score: out, the evaluation of the answer
// from the side to move's view, 0 for a book move; with no legal move the answer is
// NO_MOVE and the score -MATE when checkmated, 0 when stalemated.
// The first iteration always completes, whatever the clock says, so a position with a
// legal move always gets one.
Move think(int  depth_limit,
           int& score,
           int  moves_per_control,
           int  increment_ms,
           int  own_time_ms,
           int  opponent_time_ms,
           int  fixed_time_ms);

// Where the thinking lines go: standard output unless a tool or test redirects them;
// nullptr prints nothing.
void set_thinking_output(std::FILE* out);
