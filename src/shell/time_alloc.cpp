// shell/time_alloc.cpp: the two time budgets of a search.
#include "shell/time_alloc.h"

#include <algorithm>
#include <cstdint>

#include "position/position.h"
#include "shell/options.h"

// Kept back from a fixed time per move: the nodes read the clock every millisecond or
// so, and the answer must reach the GUI before its clock runs out.
constexpr int FIXED_TIME_MARGIN_MS = 10;

static int normal_ms;
static int max_ms;
const int& normal_budget = normal_ms;
const int& max_budget    = max_ms;

void allocate_time(int moves_per_control,
                   int increment_ms,
                   int own_time_ms,
                   int opponent_time_ms,
                   int fixed_time_ms,
                   int moves_to_go,
                   int lag_ms) {
    // A fixed time per move: the GUI flags the engine the moment that time is up, so the
    // search answers a little early.
    if (moves_per_control == -1) {
        const int margin = min_int(FIXED_TIME_MARGIN_MS, fixed_time_ms / 10);
        normal_ms        = fixed_time_ms - margin;
        max_ms           = normal_ms;
        return;
    }

    // All divisions truncate toward zero. Computed in 64 bits: a move count or an
    // increment near the int range must not overflow. One second of the clock always
    // stays in reserve, a third of it when less than 1.1 s is left.
    const std::int64_t t   = own_time_ms;
    std::int64_t       cap = t >= 1100 ? t - 1000 : t / 3;
    // Below the reserve, a game with an increment spends at most half of what the
    // increment brings back after the delays the GUI charges each move (lag_ms), so the
    // clock climbs back to the reserve. Spending it all held the clock at a tenth of a
    // second at 10 s + 0.1 s, and on a busy machine, where the delays alone can take the
    // whole increment, half of it still lost games at 1 s + 0.01 s.
    if (t < 1100 && moves_per_control == 0 && increment_ms > 0)
        cap = std::min(cap, std::max(std::int64_t{0}, std::int64_t{increment_ms} - lag_ms) / 2);

    std::int64_t normal = 0;
    std::int64_t most   = 0;
    if (moves_per_control > 0) {
        // Moves to go counts from n + 1 at the start of a control down to 2, so the last
        // move before the control never spends the whole clock.
        const std::int64_t n     = moves_per_control;
        const std::int64_t to_go = moves_to_go > 0 ? std::int64_t{moves_to_go} + 1
                                                   : n - ((position().history_length / 2) % n) + 1;
        normal                   = t / to_go;
        most                     = to_go <= 2 ? t / 2 : std::min(4 * t / to_go, t / 3);
    } else if (increment_ms != 0) {
        normal = t / 30 + increment_ms;
        most   = t / 4;
    } else {
        // Behind on the clock, spend a little less per move.
        normal = opponent_time_ms > t ? t / 40 : t / 35;
        most   = t / 8;
    }

    most      = std::max(most, normal);
    max_ms    = clamp_to_int(std::min(most, cap));
    normal_ms = clamp_to_int(std::min(normal, cap));
}
