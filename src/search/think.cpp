#include "search/think.h"

#include "movegen/ordering.h"
#include "position/make_move.h"
#include "position/position.h"
#include "search/clock.h"
#include "search/root.h"
#include "search/tt.h"
#include "shell/book.h"
#include "shell/time_alloc.h"

static int             iterations_done = 0;
static Move            line[PV_CAPACITY];
static Move            answer_line[PV_CAPACITY];
static bool            book_answer      = false;
static ThinkingPrinter thinking_printer = nullptr;

const int& iteration                 = iterations_done;
const Move (&root_pv)[PV_CAPACITY]   = line;
const Move (&answer_pv)[PV_CAPACITY] = answer_line;
const bool& answered_from_book       = book_answer;

// The clock of the current think: the budget in force, and whether a deadline applies
// at all (not while pondering, nor in an infinite search).
static int  budget_in_force = 0;
static bool pondering       = false;
static bool no_deadline     = false;
static bool infinite_search = false;

// Aspiration: the window after a completed iteration, and how far a first fail widens it.
constexpr int ASPIRATION_WINDOW = 22;
constexpr int ASPIRATION_WIDEN  = 180;
constexpr int WIDEN_LIMIT       = 900;  // beyond this score a fail opens the window at once
// A score below this means the engine is being mated: no deeper search will help.
constexpr int LOST_SCORE = -31099;
// Score swings between iterations that earn the longer budget.
constexpr int SWING_DOWN = 25;
constexpr int SWING_UP   = 80;

void set_thinking_printer(ThinkingPrinter printer) { thinking_printer = printer; }

int budget_after_iteration(int iterations_done_before, int prev, int r, int normal_ms, int max_ms) {
    const bool swing = r <= prev - SWING_DOWN || r >= prev + SWING_UP;
    return iterations_done_before >= 2 && swing ? max_ms : normal_ms;
}

static void apply_budget(int budget_ms) {
    budget_in_force = budget_ms;
    if (!no_deadline)
        set_deadline(budget_ms);
}

void ponder_hit() {
    if (!pondering)
        return;
    pondering   = false;
    no_deadline = infinite_search;
    restart_budget();
    if (!no_deadline)
        set_deadline(budget_in_force);
}

static void report(int depth, int line_number, int score, int bound, const Move* pv) {
    if (!thinking_printer)
        return;
    const ThinkingReport r{
        depth, selective_ply, line_number, score, bound, node_count, clock_ms() - search_start, pv};
    thinking_printer(r);
}

static void copy_line(Move* to, const Move* from) {
    int i = 0;
    for (; from[i] != NO_MOVE && i < PV_CAPACITY - 1; ++i)
        to[i] = from[i];
    to[i] = NO_MOVE;
}

// Lines 2 to lines of a MultiPV iteration: each a full-window root search without the
// first moves of the lines before it. False when the search was stopped.
static bool search_further_lines(int lines) {
    Move further[PV_CAPACITY];
    Move first = answer_line[0];
    for (int k = 2; k <= lines; ++k) {
        exclude_root_move(first);
        reset_search_ply();
        further[0]  = NO_MOVE;
        const int v = search_root(iterations_done * ONE_PLY, -MATE, MATE, further);
        if (stop_search || further[0] == NO_MOVE)
            break;
        report(iterations_done, k, v, BOUND_EXACT, further);
        first = further[0];
    }
    clear_excluded_root_moves();
    if (stop_search)
        return false;
    // The best line leads the next iteration, whatever the others stored.
    store_pv(answer_line);
    return true;
}

Move think(const SearchLimits& limits, int& score) {
    iterations_done = 0;
    reset_node_count();
    score          = 0;
    book_answer    = false;
    answer_line[0] = NO_MOVE;
    int fail_highs = 0;
    int fail_lows  = 0;

    if (limits.use_book)
        if (const Move book_move = book_probe(); book_move != NO_MOVE) {
            book_answer    = true;
            answer_line[0] = book_move;
            answer_line[1] = NO_MOVE;
            return book_move;
        }

    allocate_time(limits.moves_per_control, limits.increment_ms, limits.own_time_ms,
                  limits.opponent_time_ms, limits.fixed_time_ms, limits.moves_to_go);
    start_clock(normal_budget);
    set_node_limit(limits.node_limit);
    infinite_search = limits.infinite;
    pondering       = limits.ponder;
    no_deadline     = infinite_search || pondering;
    if (no_deadline)
        suspend_deadline();
    budget_in_force = normal_budget;
    clear_ordering_tables();
    restrict_root_moves(limits.root_moves, limits.root_move_count);
    const int lines = limits.multi_pv > 1 ? min_int(limits.multi_pv, count_root_moves()) : 1;

    const int last_iteration = limits.depth_limit < 1 ? 1 : limits.depth_limit;
    int       alpha          = -MATE;
    int       beta           = MATE;
    int       prev           = 0;
    Move      best_move      = NO_MOVE;

    for (;;) {
        // Until one iteration is complete no check may stop the search.
        hold_stops(iterations_done == 0);
        reset_search_ply();
        line[0]     = NO_MOVE;
        const int r = search_root((iterations_done + 1) * ONE_PLY, alpha, beta, line);
        hold_stops(false);

        if (stop_search) {
            while (search_ply > 0)
                unmake_move();
            return best_move;
        }
        apply_budget(normal_budget);
        const bool failed_high = r >= beta && r <= MATE_BOUND;
        const bool failed_low  = !failed_high && r <= alpha && r >= -MATE_BOUND;
        report(iterations_done + 1, 1, r,
               failed_high  ? BOUND_LOWER
               : failed_low ? BOUND_UPPER
                            : BOUND_EXACT,
               line);

        // No legal move: checkmated (-MATE) or stalemated (0); deeper searches would
        // find nothing else.
        if (line[0] == NO_MOVE) {
            score = r;
            return NO_MOVE;
        }
        if (r < LOST_SCORE) {
            score = r;
            copy_line(answer_line, line);
            return line[0];
        }
        if (failed_high) {
            apply_budget(max_budget);
            ++fail_highs;
            beta = fail_highs == 1 && abs_int(r) < WIDEN_LIMIT ? r + ASPIRATION_WIDEN : MATE;
            continue;
        }
        if (failed_low) {
            apply_budget(max_budget);
            ++fail_lows;
            alpha = fail_lows == 1 && abs_int(r) < WIDEN_LIMIT ? r - ASPIRATION_WIDEN : -MATE;
            continue;
        }

        // The iteration is complete.
        apply_budget(budget_after_iteration(iterations_done, prev, r, normal_budget, max_budget));
        ++iterations_done;
        score      = r;
        prev       = r;
        best_move  = line[0];
        fail_highs = 0;
        fail_lows  = 0;
        alpha      = r - ASPIRATION_WINDOW;
        beta       = r + ASPIRATION_WINDOW;
        copy_line(answer_line, line);
        if (lines > 1 && !search_further_lines(lines)) {
            while (search_ply > 0)
                unmake_move();
            return best_move;
        }
        // A stop or a node limit that came while the first iteration could not be
        // interrupted.
        if (iterations_done == last_iteration || limit_reached())
            return best_move;
        // Past the deadline already: the next iteration could not complete, and starting
        // it would only cost the time its nodes take to see the clock. Without a deadline
        // (pondering, infinite) it lies at the end of time.
        if (clock_ms() >= deadline)
            return best_move;
    }
}
