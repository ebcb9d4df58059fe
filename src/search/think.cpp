#include "search/think.h"

#include <algorithm>

#include "movegen/ordering.h"
#include "position/make_move.h"
#include "position/position.h"
#include "search/clock.h"
#include "search/levels.h"
#include "search/root.h"
#include "search/threads.h"
#include "search/tt.h"
#include "shell/book.h"
#include "shell/time_alloc.h"

thread_local constinit int  iteration = 0;
thread_local constinit Move root_pv[PV_CAPACITY]{};
thread_local constinit Move answer_pv[PV_CAPACITY]{};

static bool            book_answer        = false;
static ThinkingPrinter thinking_printer   = nullptr;
const bool&            answered_from_book = book_answer;

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

int budget_after_iteration(int iterations_done, int prev, int r, int normal_ms, int max_ms) {
    const bool swing = r <= prev - SWING_DOWN || r >= prev + SWING_UP;
    return iterations_done >= 2 && swing ? max_ms : normal_ms;
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
    const ThinkingReport r{depth,
                           selective_ply,
                           line_number,
                           score,
                           bound,
                           nodes_all_threads(),
                           clock_ms() - search_start,
                           pv};
    thinking_printer(r);
}

// The scored lines of a limited-strength think: those of the iteration in progress, and
// those of the last iteration whose every line completed, which the level chooses from.
static LevelLine pending_lines[LEVEL_MAX_LINES];
static LevelLine level_lines[LEVEL_MAX_LINES];
static int       level_line_count = 0;

// The main thread's last deepening depth by depth: the score of each completed iteration
// and, for the deepest iteration that failed low, the upper bound that proved.
static int depth_scores[MAX_PLY + 1];
static int fail_low_depth = 0;
static int fail_low_bound = 0;

static void note_level_line(int line_number, int score, const Move* pv) {
    if (line_number <= LEVEL_MAX_LINES)
        pending_lines[line_number - 1] =
            LevelLine{pv[0], pv[0] != NO_MOVE ? pv[1] : NO_MOVE, score};
}

static void complete_level_lines(int count) {
    level_line_count = min_int(count, LEVEL_MAX_LINES);
    for (int i = 0; i < level_line_count; ++i)
        level_lines[i] = pending_lines[i];
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
    Move first = answer_pv[0];
    int  k     = 2;
    for (; k <= lines; ++k) {
        exclude_root_move(first);
        reset_search_ply();
        further[0]  = NO_MOVE;
        const int v = search_root(iteration * ONE_PLY, -MATE, MATE, further);
        if (stop_search.load(std::memory_order_relaxed) || further[0] == NO_MOVE)
            break;
        report(iteration, k, v, BOUND_EXACT, further);
        note_level_line(k, v, further);
        first = further[0];
    }
    clear_excluded_root_moves();
    if (stop_search.load(std::memory_order_relaxed))
        return false;
    complete_level_lines(k - 1);
    // The best line leads the next iteration, whatever the others stored.
    store_pv(answer_pv);
    return true;
}

// How a thread deepens. The main thread holds the stops until its first iteration is
// complete, reports every root search, keeps the budget and ends the think; a helper
// only searches, from its own first depth on, until the main thread stops it, and what
// it finds reaches the main thread through the transposition table.
struct Deepening {
    bool main;
    int  last_iteration;
    int  lines;  // MultiPV lines (main thread only)
    bool level;  // limited strength: every line of the first iteration completes
    // A helper skips the depths d with ((d + skip_phase) / skip_size) odd, so that at any
    // time some threads search one ply deeper than others.
    int skip_size;
    int skip_phase;
};

// Helper k's skipping, by k: half the helpers skip every other depth, the rest two of
// every four or three of every six, each from its own phase.
constexpr int MAX_SKIP_ROW      = 20;
constexpr int skip_size_of[20]  = {1, 1, 2, 2, 2, 2, 3, 3, 3, 3, 3, 3, 4, 4, 4, 4, 4, 4, 4, 4};
constexpr int skip_phase_of[20] = {0, 1, 0, 1, 2, 3, 0, 1, 2, 3, 4, 5, 0, 1, 2, 3, 4, 5, 6, 7};

// Iterative deepening with aspiration windows from the current position: the best move of
// the last completed iteration, its score in score.
static Move deepen(const Deepening& d, int& score) {
    iteration       = 0;
    int  fail_highs = 0;
    int  fail_lows  = 0;
    int  alpha      = -MATE;
    int  beta       = MATE;
    int  prev       = 0;
    Move best_move  = NO_MOVE;
    if (d.main)
        fail_low_depth = 0;

    for (;;) {
        if (!d.main)
            while (((iteration + 1 + d.skip_phase) / d.skip_size) % 2 != 0)
                ++iteration;
        // Until one iteration is complete no check may stop the search.
        if (d.main)
            hold_stops(iteration == 0);
        reset_search_ply();
        root_pv[0]  = NO_MOVE;
        const int r = search_root((iteration + 1) * ONE_PLY, alpha, beta, root_pv);
        if (d.main)
            hold_stops(false);

        if (stop_search.load(std::memory_order_relaxed)) {
            while (search_ply() > 0)
                unmake_move();
            return best_move;
        }
        const bool failed_high = r >= beta && r <= MATE_BOUND;
        const bool failed_low  = !failed_high && r <= alpha && r >= -MATE_BOUND;
        if (d.main) {
            apply_budget(normal_budget);
            report(iteration + 1, 1, r,
                   failed_high  ? BOUND_LOWER
                   : failed_low ? BOUND_UPPER
                                : BOUND_EXACT,
                   root_pv);
        }

        // No legal move: checkmated (-MATE) or stalemated (0); deeper searches would
        // find nothing else.
        if (root_pv[0] == NO_MOVE) {
            score = r;
            return NO_MOVE;
        }
        if (r < LOST_SCORE) {
            score = r;
            copy_line(answer_pv, root_pv);
            return root_pv[0];
        }
        if (failed_high) {
            if (d.main)
                apply_budget(max_budget);
            ++fail_highs;
            beta = fail_highs == 1 && abs_int(r) < WIDEN_LIMIT ? r + ASPIRATION_WIDEN : MATE;
            continue;
        }
        if (failed_low) {
            if (d.main) {
                apply_budget(max_budget);
                fail_low_depth = iteration + 1;
                fail_low_bound = r;
            }
            ++fail_lows;
            alpha = fail_lows == 1 && abs_int(r) < WIDEN_LIMIT ? r - ASPIRATION_WIDEN : -MATE;
            continue;
        }

        // The iteration is complete.
        if (d.main)
            apply_budget(budget_after_iteration(iteration, prev, r, normal_budget, max_budget));
        ++iteration;
        if (d.main && iteration <= MAX_PLY)
            depth_scores[iteration] = r;
        score      = r;
        prev       = r;
        best_move  = root_pv[0];
        fail_highs = 0;
        fail_lows  = 0;
        alpha      = r - ASPIRATION_WINDOW;
        beta       = r + ASPIRATION_WINDOW;
        copy_line(answer_pv, root_pv);
        if (!d.main) {
            if (iteration >= d.last_iteration)
                return best_move;
            continue;
        }
        note_level_line(1, r, root_pv);
        if (d.lines == 1)
            complete_level_lines(1);
        hold_stops(d.level && iteration == 1);
        const bool further_done = d.lines == 1 || search_further_lines(d.lines);
        hold_stops(false);
        if (!further_done) {
            while (search_ply() > 0)
                unmake_move();
            return best_move;
        }
        // A stop or a node limit that came while the first iteration could not be
        // interrupted.
        if (iteration == d.last_iteration || limit_reached())
            return best_move;
        // Past the deadline already: the next iteration could not complete, and starting
        // it would only cost the time its nodes take to see the clock. Without a deadline
        // (pondering, infinite) it lies at the end of time.
        if (clock_ms() >= deadline)
            return best_move;
    }
}

// The root's moves at a glance, as lines best first: at most count of them.
static int glance_lines(LevelLine* lines, int count) {
    Move      moves[MAX_MOVES];
    int       scores[MAX_MOVES];
    const int found = min_int(glance_at_root_moves(moves, scores), count);
    for (int i = 0; i < found; ++i)
        lines[i] = LevelLine{moves[i], NO_MOVE, scores[i]};
    return found;
}

// A level that does not stand better checks its choice: a search of the check budget
// finds the best move, then the chosen one is searched alone as deep, and where the budget
// ends it sooner, its deepest result (a score, the bound of a fail low, or a mate against
// it) is held against the best at that depth. A blunder below it gives way to the best.
// The clock or the GUI may end the check early, and then the choice stands.
static LevelLine checked_choice(const LevelLine&    chosen,
                                const LevelPlan&    plan,
                                const SearchLimits& limits,
                                int                 last) {
    const std::int64_t check =
        std::clamp(plan.nodes * LEVEL_CHECK_FACTOR, LEVEL_CHECK_MIN_NODES, LEVEL_CHECK_MAX_NODES);
    int best_score = 0;
    if (!extend_node_limit(node_count + check))
        return chosen;
    const Move best  = deepen(Deepening{true, last, 1, false, 1, 0}, best_score);
    const int  depth = iteration;
    const Move reply = answer_pv[1];
    if (best == NO_MOVE || best == chosen.move || depth == 0 || depth > MAX_PLY
        || !extend_node_limit(node_count + check))
        return chosen;
    int best_at[MAX_PLY + 1];
    std::copy(depth_scores, depth_scores + depth, best_at);
    best_at[depth]   = best_score;
    int chosen_score = 0;
    restrict_root_moves(&chosen.move, 1);
    deepen(Deepening{true, depth, 1, false, 1, 0}, chosen_score);
    restrict_root_moves(limits.root_moves, limits.root_move_count);
    int seen = iteration;
    if (chosen_score < LOST_SCORE) {
        seen = depth;
    } else if (fail_low_depth > seen) {
        seen         = fail_low_depth;
        chosen_score = fail_low_bound;
    }
    if (seen == 0 || chosen_score > best_at[seen] - LEVEL_BLUNDER_CP)
        return chosen;
    return LevelLine{best, reply, best_score};
}

// A limited-strength think: the level's node budget (or the GUI's, when smaller) on the
// main thread alone, so that neither Threads nor the machine changes its strength, and a
// choice among the lines of the last iteration whose lines all completed, or among the
// moves at a glance.
static Move think_at_level(const SearchLimits& limits, int last, int lines, int& score) {
    const LevelPlan plan = level_plan(limits.level_elo);
    set_node_limit(limits.node_limit > 0 && limits.node_limit < plan.nodes ? limits.node_limit
                                                                           : plan.nodes);
    lines = lines > plan.lines ? lines : min_int(plan.lines, count_root_moves());
    if (lines < 1)
        lines = 1;
    // Helpers left over from a think with threads must not count towards the budget.
    search_without_helpers();
    level_line_count = 0;
    Move answer      = deepen(Deepening{true, last, lines, true, 1, 0}, score);
    if (answer == NO_MOVE || level_line_count == 0)
        return answer;
    const bool       worse = level_lines[0].score < LEVEL_WORSE_CP;
    LevelLine        glanced[LEVEL_MAX_LINES];
    const LevelLine* pool  = level_lines;
    int              count = min_int(level_line_count, plan.lines);
    if (!worse && level_glances(plan)) {
        pool  = glanced;
        count = glance_lines(glanced, plan.lines);
    }
    LevelLine line = pool[choose_level_line(plan, limits.level_elo, pool, count)];
    // A GUI's own node limit is the whole budget.
    if (level_lines[0].score < LEVEL_CHECK_CP && limits.node_limit == 0)
        line = checked_choice(line, plan, limits, last);
    answer       = line.move;
    score        = line.score;
    answer_pv[0] = line.move;
    answer_pv[1] = line.reply;
    answer_pv[2] = NO_MOVE;
    return answer;
}

Move think(const SearchLimits& limits, int& score) {
    // The last search's helpers must be out before the stop is cleared for this one.
    wait_for_helpers();
    iteration = 0;
    reset_node_count();
    score        = 0;
    book_answer  = false;
    answer_pv[0] = NO_MOVE;

    if (limits.use_book)
        if (const Move book_move = book_probe(); book_move != NO_MOVE) {
            book_answer  = true;
            answer_pv[0] = book_move;
            answer_pv[1] = NO_MOVE;
            return book_move;
        }

    allocate_time(limits.moves_per_control, limits.increment_ms, limits.own_time_ms,
                  limits.opponent_time_ms, limits.fixed_time_ms, limits.moves_to_go, limits.lag_ms);
    start_clock(normal_budget);
    set_node_limit(limits.node_limit);
    infinite_search = limits.infinite;
    pondering       = limits.ponder;
    no_deadline     = infinite_search || pondering;
    if (no_deadline)
        suspend_deadline();
    budget_in_force = normal_budget;
    // Just after start-up or a resize the table may still be filling, and a search uses
    // only its ready part (tt.h). One whose result its limits alone decide (a depth or a
    // node limit without a deadline) waits for all of it, so that it finds what it would
    // later; a timed one waits at most a quarter of its budget, on its clock; an endless
    // one or a ponder does not wait.
    const bool endless =
        limits.infinite && limits.depth_limit >= DEFAULT_DEPTH_LIMIT && limits.node_limit == 0;
    tt_wait_until_backed(pondering || endless ? 0 : no_deadline ? -1 : normal_budget / 4);
    clear_ordering_tables();
    restrict_root_moves(limits.root_moves, limits.root_move_count);
    const int lines = limits.multi_pv > 1 ? min_int(limits.multi_pv, count_root_moves()) : 1;
    const int last  = limits.depth_limit < 1 ? 1 : limits.depth_limit;
    if (limits.level_elo == 0) {
        start_helpers(limits);
        const Move answer = deepen(Deepening{true, last, lines, false, 1, 0}, score);
        stop_helpers();
        return answer;
    }
    return think_at_level(limits, last, lines, score);
}

void helper_think(const SearchLimits& limits, int helper) {
    reset_node_count();
    clear_ordering_tables();
    restrict_root_moves(limits.root_moves, limits.root_move_count);
    const int row   = helper % MAX_SKIP_ROW;
    int       score = 0;
    deepen(Deepening{false, DEFAULT_DEPTH_LIMIT, 1, false, skip_size_of[row], skip_phase_of[row]},
           score);
}
