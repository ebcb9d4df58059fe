// shell/time_alloc.cpp: the two time budgets of a search.
#include "shell/time_alloc.h"

#include "position/position.h"

// Kept back from a fixed time per move: far more than the 32767 nodes between two clock
// readings take, which is 15 to 25 ms here in a release build.
constexpr int FIXED_TIME_MARGIN_MS = 100;

static int normal_ms;
static int max_ms;
const int& normal_budget = normal_ms;
const int& max_budget    = max_ms;

void allocate_time(int moves_per_control,
                   int increment_ms,
                   int own_time_ms,
                   int opponent_time_ms,
                   int fixed_time_ms) {
    // A fixed time per move: the GUI flags the engine the moment that time is up, and the
    // search only looks at the clock every 32768 nodes, so it answers a little early.
    if (moves_per_control == -1) {
        const int margin = min_int(FIXED_TIME_MARGIN_MS, fixed_time_ms / 10);
        normal_ms        = fixed_time_ms - margin;
        max_ms           = normal_ms;
        return;
    }

    // All divisions truncate toward zero. One second of the clock always stays in reserve,
    // a third of it when less than 1.1 s is left.
    const int t   = own_time_ms;
    const int cap = t >= 1100 ? t - 1000 : t / 3;

    int normal = 0;
    int most   = 0;
    if (moves_per_control > 0) {
        // Moves to go counts from n + 1 at the start of a control down to 2, so the last
        // move before the control never spends the whole clock.
        const int n         = moves_per_control;
        const int to_go     = n - ((position.history_length / 2) % n) + 1;
        normal              = t / to_go;
        const int four_fold = static_cast<int>(4LL * t / to_go);
        most                = to_go <= 2 ? t / 2 : min_int(four_fold, t / 3);
    } else if (increment_ms != 0) {
        normal = t / 30 + increment_ms;
        most   = t / 4;
    } else {
        // Behind on the clock, spend a little less per move.
        normal = opponent_time_ms > t ? t / 40 : t / 35;
        most   = t / 8;
    }

    most      = max_int(most, normal);
    max_ms    = min_int(most, cap);
    normal_ms = min_int(normal, cap);
}
