#include "search/think.h"

#include "movegen/ordering.h"
#include "position/make_move.h"
#include "position/position.h"
#include "search/clock.h"
#include "search/root.h"
#include "shell/book.h"
#include "shell/move_text.h"
#include "shell/time_alloc.h"

static int        iterations_done = 0;
static Move       line[PV_CAPACITY];
static std::FILE* thinking_output = stdout;

const int& iteration               = iterations_done;
const Move (&root_pv)[PV_CAPACITY] = line;

// Aspiration: the window after a completed iteration, and how far a first fail widens it.
constexpr int ASPIRATION_WINDOW = 22;
constexpr int ASPIRATION_WIDEN  = 180;
constexpr int WIDEN_LIMIT       = 900;  // beyond this score a fail opens the window at once
// A score below this means the engine is being mated: no deeper search will help.
constexpr int LOST_SCORE = -31099;
// Score swings between iterations that earn the longer budget.
constexpr int SWING_DOWN = 25;
constexpr int SWING_UP   = 80;

void set_thinking_output(std::FILE* out) { thinking_output = out; }

// "%2d %4d %4d %8d" depth, score, centiseconds, nodes, then the line.
static void print_thinking_line(int depth, int score) {
    if (!thinking_output)
        return;
    std::fprintf(thinking_output, "%2d %4d %4d %8lld", depth, score,
                 (clock_ms() - search_start) / 10, static_cast<long long>(node_count));
    for (int i = 0; line[i] != NO_MOVE; ++i)
        std::fprintf(thinking_output, " %s", move_to_text(line[i]).text);
    std::fprintf(thinking_output, "\n");
    std::fflush(thinking_output);
}

Move think(int  depth_limit,
           int& score,
           int  moves_per_control,
           int  increment_ms,
           int  own_time_ms,
           int  opponent_time_ms,
           int  fixed_time_ms) {
    iterations_done = 0;
    reset_node_count();
    score          = 0;
    int fail_highs = 0;
    int fail_lows  = 0;

    if (const Move book_move = book_probe(); book_move != NO_MOVE)
        return book_move;

    allocate_time(moves_per_control, increment_ms, own_time_ms, opponent_time_ms, fixed_time_ms);
    start_clock(normal_budget);
    clear_ordering_tables();

    const int last_iteration = depth_limit < 1 ? 1 : depth_limit;
    int       alpha          = -MATE;
    int       beta           = MATE;
    int       prev           = 0;
    Move      best_move      = NO_MOVE;

    for (;;) {
        // Until one iteration is complete no clock check may stop the search.
        if (iterations_done == 0)
            suspend_deadline();
        reset_search_ply();
        line[0]     = NO_MOVE;
        const int r = search_root((iterations_done + 1) * ONE_PLY, alpha, beta, line);

        if (stop_search) {
            while (search_ply > 0)
                unmake_move();
            return best_move;
        }
        set_deadline(normal_budget);
        print_thinking_line(iterations_done + 1, r);

        // No legal move: checkmated (-MATE) or stalemated (0); deeper searches would
        // find nothing else.
        if (line[0] == NO_MOVE) {
            score = r;
            return NO_MOVE;
        }
        if (r < LOST_SCORE) {
            score = r;
            return line[0];
        }
        if (r >= beta && r <= MATE_BOUND) {
            set_deadline(max_budget);
            ++fail_highs;
            beta = fail_highs == 1 && abs_int(r) < WIDEN_LIMIT ? r + ASPIRATION_WIDEN : MATE;
            continue;
        }
        if (r <= alpha && r >= -MATE_BOUND) {
            set_deadline(max_budget);
            ++fail_lows;
            alpha = fail_lows == 1 && abs_int(r) < WIDEN_LIMIT ? r - ASPIRATION_WIDEN : -MATE;
            continue;
        }

        // The iteration is complete.
        if (iterations_done >= 2 && (r <= prev - SWING_DOWN || r >= prev + SWING_UP))
            set_deadline(max_budget);
        ++iterations_done;
        score      = r;
        prev       = r;
        best_move  = line[0];
        fail_highs = 0;
        fail_lows  = 0;
        alpha      = r - ASPIRATION_WINDOW;
        beta       = r + ASPIRATION_WINDOW;
        if (iterations_done == last_iteration)
            return best_move;
    }
}
