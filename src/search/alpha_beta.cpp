#include "search/alpha_beta.h"

#include "eval/evaluate.h"
#include "movegen/move_list.h"
#include "movegen/ordering.h"
#include "movegen/see.h"
#include "position/attacked.h"
#include "position/attacks.h"
#include "position/make_move.h"
#include "position/move.h"
#include "position/position.h"
#include "search/clock.h"
#include "search/pv.h"
#include "search/quiesce.h"
#include "search/tt.h"

// Null move: tried from two plies of depth, searched four plies shallower; above four
// plies the static evaluation must reach beta first; from six plies up a cut-off is
// verified by a plain search five plies shallower.
constexpr int NULL_MIN_DEPTH        = 8;
constexpr int NULL_REDUCTION        = 16;
constexpr int NULL_EVAL_TEST_DEPTH  = 16;
constexpr int NULL_VERIFY_REDUCTION = 20;
constexpr int RAZOR_MAX_DEPTH       = 12;
constexpr int RAZOR_MARGIN          = 300;
constexpr int IID_MIN_DEPTH         = 12;
constexpr int MOVE_COUNT_MAX_DEPTH  = 16;
constexpr int QUIET_RATIO_LIMIT     = 9830;  // just under 0.6 of 16384
constexpr int FUTILITY_MAX_DEPTH    = 12;
constexpr int LMR_MIN_DEPTH         = 12;
constexpr int LMR_MIN_MOVES         = 4;  // non-PV nodes
constexpr int LMR_MIN_MOVES_PV      = 8;
constexpr int CHECK_SEE_THRESHOLD   = -100;  // checks at non-PV nodes extend from here up
constexpr int MAX_TRIED_MOVES       = 256;

// 100 within one ply of the horizon; from two plies up 300 plus 50 a ply.
constexpr int futility_margin(int depth) { return depth < 8 ? 100 : 300 + (depth - 8) * 50 / 4; }
static_assert(futility_margin(4) == 100 && futility_margin(7) == 100);
static_assert(futility_margin(8) == 300 && futility_margin(9) == 312 && futility_margin(12) == 350);

bool passed_pawn_push(Move m) {
    const Position& pos = position();
    const int       us  = pos.side_to_move;
    return pos.board[us][move_from(m)] == PAWN
           && (passed_span[us][move_to(m)] & pos.pieces[1 - us][PAWN]) == 0;
}

int search(int depth, int alpha, int beta, bool pv_node, Move* pv, bool in_check) {
    // Step 1. Horizon
    if (depth < ONE_PLY)
        return quiesce(alpha, beta, in_check ? 0 : 1, pv, in_check);

    // Step 2. Empty line
    pv[0] = NO_MOVE;

    // Step 3. Stopped
    if (stop_search.load(std::memory_order_relaxed))
        return 0;

    // Step 4. Ply limit
    if (search_ply() >= MAX_PLY)
        return beta;

    // Step 5. Clock
    if (check_clock())
        return 0;

    // Step 6. Repetition: one earlier occurrence is a draw
    if (is_repetition())
        return 0;

    // Step 6a. Mate distance: nothing here can score better than mating at the next ply
    // or worse than being mated now. Without this bound a window in the mate range keeps
    // chains of extended checks searching to the ply limit.
    alpha = max_int(alpha, search_ply() - MATE);
    beta  = min_int(beta, MATE - search_ply() - 1);
    if (alpha >= beta)
        return alpha;

    const Position& pos = position();
    const int       us  = pos.side_to_move;
    Move            child_pv[PV_CAPACITY];

    // Step 7. Transposition table
    Move    hash_move = NO_MOVE;
    TTEntry entry;
    if (tt_probe(pos.key, entry)) {
        const bool mate_bound = (entry.score > MATE_BOUND && entry.bound == BOUND_LOWER)
                                || (entry.score < -MATE_BOUND && entry.bound == BOUND_UPPER);
        if (!pv_node && (entry.depth >= depth || mate_bound)) {
            const int v = score_from_tt(entry.score);
            if (entry.bound == BOUND_EXACT || (entry.bound == BOUND_LOWER && v >= beta)
                || (entry.bound == BOUND_UPPER && v <= alpha))
                return v;
        }
        hash_move = entry.move;
    }

    // Step 8. Null move
    bool null_tried = false;
    if (depth >= NULL_MIN_DEPTH && !pv_node && !in_check && abs_int(beta) <= MATE_BOUND
        && pos.nonpawn_material[us] > 0
        && (depth <= NULL_EVAL_TEST_DEPTH || evaluate(alpha, beta) >= beta)) {
        null_tried = true;
        make_move(NULL_MOVE);
        if (depth - NULL_REDUCTION >= ONE_PLY)
            tt_prefetch(pos.key);
        const int v = -search(depth - NULL_REDUCTION, -beta, 1 - beta, false, child_pv, false);
        unmake_move();
        if (v >= beta) {
            if (depth - NULL_VERIFY_REDUCTION >= ONE_PLY) {
                const int w = verify_null_move(depth - NULL_VERIFY_REDUCTION, alpha, beta, child_pv,
                                               hash_move, false);
                if (w >= beta)
                    return w;
            } else {
                return min_int(v, MATE_BOUND);
            }
        }
    }

    // Step 9. Razoring
    if (!null_tried && !pv_node && depth <= RAZOR_MAX_DEPTH
        && evaluate(alpha, beta) < beta - RAZOR_MARGIN) {
        const int q = quiesce(alpha, beta, in_check ? 0 : 1, child_pv, in_check);
        if (q < beta)
            return q;
    }

    // Step 10. Internal iterative deepening
    if (hash_move == NO_MOVE && depth >= IID_MIN_DEPTH && pv_node) {
        const int r = search(depth / 2, alpha, beta, true, child_pv, in_check);
        if (r <= alpha)
            search(depth / 2, -MATE, beta, true, child_pv, in_check);
        hash_move = child_pv[0];
    }

    // Step 11. Move loop set-up
    MovePicker picker;
    start_picker(picker, hash_move, killer1(us, search_ply()), killer2(us, search_ply()), false);
    int       best           = NO_SCORE;
    Move      best_move      = NO_MOVE;
    int       move_count     = 0;
    int       futility_value = 0;
    bool      futility_known = false;
    bool      no_quiet_yet   = true;
    Move      tried[MAX_TRIED_MOVES];
    const int alpha_on_entry    = alpha;
    const int move_count_limit  = depth / 4 + 1;
    const int quiet_ratio_limit = QUIET_RATIO_LIMIT / (depth / 12 + 1);

    // Step 12. Moves
    for (;;) {
        const Move m = in_check ? next_evasion(picker) : next_move(picker);
        if (m == NO_MOVE)
            break;
        // The child's hash entries are fetched while the move is judged and made.
        if (depth >= 2 * ONE_PLY)
            tt_prefetch(key_after(m));

        // Step 12.1. Does it check?
        const bool gc = gives_check(m);

        // Step 12.2. Single-reply and check extensions
        int e = 0;
        if (in_check && picker.list.count == 1)
            e = ONE_PLY;
        else if (gc && (pv_node || static_exchange(m) >= CHECK_SEE_THRESHOLD))
            e = ONE_PLY;

        // Step 12.3. Passed-pawn and capture extensions, PV nodes only
        const bool passed = passed_pawn_push(m);
        if (pv_node && e == 0) {
            const int victim = pos.board[1 - us][move_to(m)];
            if (passed)
                e = ONE_PLY;
            else if (victim != NO_PIECE && victim != PAWN && static_exchange(m) >= 0)
                e = ONE_PLY;
        }
        const bool plain = !gc && !in_check && e == 0 && !passed;

        // Step 12.4. Move-count pruning
        if (!pv_node && plain && depth <= MOVE_COUNT_MAX_DEPTH
            && picker.list.quiet_ratio < quiet_ratio_limit && move_count >= move_count_limit) {
            if (move_count < MAX_TRIED_MOVES)
                tried[move_count] = m;
            ++move_count;
            continue;
        }

        // Step 12.5. Futility pruning
        if (!pv_node && plain && depth <= FUTILITY_MAX_DEPTH && !is_tactical(m)) {
            if (!futility_known) {
                futility_value = evaluate(-MATE, MATE) + futility_margin(depth);
                futility_known = true;
            }
            if (futility_value <= alpha) {
                if (futility_value > best) {
                    best  = futility_value;
                    pv[0] = NO_MOVE;
                }
                if (move_count < MAX_TRIED_MOVES)
                    tried[move_count] = m;
                ++move_count;
                continue;
            }
        }

        // Step 12.6. Late-move reduction
        if (plain && depth >= LMR_MIN_DEPTH && move_count >= LMR_MIN_MOVES) {
            bool reduce = true;
            if (no_quiet_yet) {
                if (is_tactical(m))
                    reduce = false;
                else
                    no_quiet_yet = false;
            }
            if (reduce && (!pv_node || move_count >= LMR_MIN_MOVES_PV))
                e = -ONE_PLY;
        }

        // Step 12.7. Make
        if (!make_move(m)) {
            unmake_move();
            continue;
        }

        // Step 12.8. Search
        const int child_depth = depth - ONE_PLY + e;
        int       v;
        if (!pv_node || best == NO_SCORE) {
            v = -search(child_depth, -beta, -alpha, pv_node, child_pv, gc);
        } else {
            v = -search(child_depth, -alpha - 1, -alpha, false, child_pv, gc);
            if (v > alpha)
                v = -search(child_depth, -beta, -alpha, true, child_pv, gc);
        }
        if (e < 0 && v >= beta)
            v = -search(depth - ONE_PLY, -beta, -alpha, pv_node, child_pv, gc);

        // Step 12.9. Unmake
        unmake_move();
        if (move_count < MAX_TRIED_MOVES)
            tried[move_count] = m;
        ++move_count;

        // Step 12.10. Best so far
        if (v > best) {
            set_pv(pv, m, child_pv);
            best = v;
            if (v > alpha) {
                alpha     = v;
                best_move = m;
                if (v >= beta)
                    break;
            }
        }
    }

    // Step 13. Mate or stalemate
    if (best == NO_SCORE)
        return in_check ? search_ply() - MATE : 0;

    // Step 14. Stopped: nothing learnt from a cut-short loop
    if (stop_search.load(std::memory_order_relaxed))
        return best;

    // Step 15. Store
    const int bound = best >= beta              ? BOUND_LOWER
                      : alpha != alpha_on_entry ? BOUND_EXACT
                                                : BOUND_UPPER;
    tt_store(pos.key, score_to_tt(best), bound, depth, best_move);

    // Step 16. Ordering tables
    if (best_move != NO_MOVE) {
        update_history_and_killers(depth, best_move);
        if (best >= beta && !is_tactical(best_move)) {
            const int last = min_int(move_count, MAX_TRIED_MOVES) - 1;
            for (int i = 0; i < last; ++i)
                record_try(tried[i]);
            record_cut(best_move);
        }
    }

    // Step 17. Answer
    return best;
}

int verify_null_move(int depth, int alpha, int beta, Move* pv, Move hash_move, bool in_check) {
    // Step 1. Entry checks
    pv[0] = NO_MOVE;
    if (stop_search.load(std::memory_order_relaxed))
        return 0;
    if (search_ply() >= MAX_PLY)
        return beta;
    if (check_clock())
        return 0;

    // Step 2. Move loop set-up
    const int  us = position().side_to_move;
    MovePicker picker;
    start_picker(picker, hash_move, killer1(us, search_ply()), killer2(us, search_ply()), false);
    int  best = NO_SCORE;
    Move child_pv[PV_CAPACITY];

    // Step 3. Every move, checks extended
    for (;;) {
        const Move m = in_check ? next_evasion(picker) : next_move(picker);
        if (m == NO_MOVE)
            break;
        const bool gc = gives_check(m);
        const int  e  = gc && static_exchange(m) >= CHECK_SEE_THRESHOLD ? ONE_PLY : 0;
        if (!make_move(m)) {
            unmake_move();
            continue;
        }
        const int v = -search(depth - ONE_PLY + e, -beta, -alpha, false, child_pv, gc);
        unmake_move();
        if (v > best) {
            set_pv(pv, m, child_pv);
            best = v;
            if (v > alpha) {
                alpha = v;
                if (v >= beta)
                    return v;
            }
        }
    }

    // Step 4. Mate, stalemate or the best score
    if (best == NO_SCORE)
        return in_check ? search_ply() - MATE : 0;
    return best;
}
