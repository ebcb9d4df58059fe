// search/think.h: the thinking driver, what the protocol loops call when the engine must
// choose a move (and for xboard's "hint" and UCI's analysis). It asks the opening book
// first; otherwise it budgets the time and deepens one ply at a time, each root search
// inside an aspiration window around the previous score, reports every root search to
// the loop's printer, and answers the best move of the last completed iteration.
// think.cpp owns iteration, root_pv and answer_pv (one of each per search thread) and
// answered_from_book. The clock state belongs to search/clock.h, the budgets to
// shell/time_alloc.h.
#pragma once

#include <cstdint>

#include "movegen/move_list.h"
#include "position/types.h"
#include "search/pv.h"

constexpr int DEFAULT_FIXED_TIME_MS = 3600000;  // one hour: a depth limit decides alone
constexpr int DEFAULT_DEPTH_LIMIT   = 64;       // completed iterations
constexpr int MAX_MULTI_PV          = 64;

// Everything a protocol loop can say about one think. Milliseconds throughout.
struct SearchLimits {
    int depth_limit = DEFAULT_DEPTH_LIMIT;  // completed iterations; below 1 counts as 1
    // The clock, as allocate_time reads it.
    int moves_per_control   = -1;  // -1 fixed time per move, 0 whole game, n moves per control
    int moves_to_go         = 0;   // above 0: moves left in this control, as the GUI counts
    int increment_ms        = 0;
    int own_time_ms         = 0;
    int opponent_time_ms    = 0;
    int fixed_time_ms       = DEFAULT_FIXED_TIME_MS;
    int lag_ms              = 0;      // what the GUI's clock loses per move beyond the thinking
    std::int64_t node_limit = 0;      // above 0: stop after about this many nodes
    bool         infinite   = false;  // no deadline: a stop, the limits above or the depth end it
    bool         ponder     = false;  // no deadline until ponder_hit, then the clock runs
    bool         use_book   = true;
    int          multi_pv   = 1;  // lines reported per iteration, best first
    // Above 0: play at this level (search/levels.h), on the main thread alone; 0 is full
    // strength.
    int level_elo = 0;
    // Above 0: only these root moves are searched (the GUI's "searchmoves").
    int  root_move_count = 0;
    Move root_moves[MAX_MOVES];
};

// A depth limit and a fixed time per move, nothing else: what xboard's "sd" and "st" set,
// and what the tools and tests search with.
inline SearchLimits fixed_limits(int depth_limit, int fixed_time_ms) {
    SearchLimits limits;
    limits.depth_limit   = depth_limit;
    limits.fixed_time_ms = fixed_time_ms;
    return limits;
}

// One root search as the driver reports it to the loop that prints it. bound is
// BOUND_EXACT, or BOUND_LOWER after a fail high and BOUND_UPPER after a fail low
// (search/tt.h).
struct ThinkingReport {
    int          depth;     // iteration, 1 for the first
    int          seldepth;  // deepest ply any node reached
    int          line;      // 1 for the best line; up to multi_pv
    int          score;     // side to move's view; beyond MATE_BOUND a mate
    int          bound;
    std::int64_t nodes;
    int          time_ms;  // since the think began
    const Move*  pv;       // 0-terminated
};

// How a loop prints a thinking line; nullptr prints nothing.
using ThinkingPrinter = void (*)(const ThinkingReport& report);
void set_thinking_printer(ThinkingPrinter printer);

// Per search thread (thread_local, constant-initialised); think resets them and they keep
// their last values between thinks.
extern thread_local constinit int  iteration;               // completed iterations
extern thread_local constinit Move root_pv[PV_CAPACITY];    // line of the last root search
extern thread_local constinit Move answer_pv[PV_CAPACITY];  // line of the answer: its second
                                                            // move is the expected reply;
                                                            // empty for a book move
extern const bool& answered_from_book;

// score: out, the evaluation of the answer from the side to move's view, 0 for a book
// move; with no legal move the answer is NO_MOVE and the score -MATE when checkmated, 0
// when stalemated. The first iteration always completes, whatever the clock or a stop
// says, so a position with a legal move always gets one.
Move think(const SearchLimits& limits, int& score);

// Helper number helper's search of the position the thread pool gave it, beside the main
// thread's think with these limits, until the main thread stops it. Each helper skips
// depths in its own pattern. It prints nothing and answers nothing.
void helper_think(const SearchLimits& limits, int helper);

// The GUI played the expected move while the engine pondered: the clock of limits
// applies from now on. Called by the loop's input poller during a think.
void ponder_hit();

// The budget after a completed iteration: max_ms when its score r swung away from the
// previous iteration's prev (at least two iterations done before it), else normal_ms.
int budget_after_iteration(int iterations_done, int prev, int r, int normal_ms, int max_ms);
