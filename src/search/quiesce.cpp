#include "search/quiesce.h"

#include "eval/evaluate.h"
#include "movegen/move_list.h"
#include "movegen/see.h"
#include "position/attacked.h"
#include "position/make_move.h"
#include "position/move.h"
#include "position/position.h"
#include "search/clock.h"
#include "search/pv.h"

// A capture that cannot lift the stand pat plus this margin above alpha is not made.
constexpr int DELTA_MARGIN           = 50;
constexpr int DELTA_EN_PASSANT_BONUS = 90;   // the pawn taken is not on the destination
constexpr int DELTA_PROMOTION_BONUS  = 885;  // a queen instead of a pawn

int quiesce(int alpha, int beta, int checks_allowance, Move* pv, bool in_check) {
    pv[0] = NO_MOVE;
    if (stop_search.load(std::memory_order_relaxed))
        return 0;
    if (check_clock())
        return 0;
    if (is_repetition())
        return 0;
    if (search_ply() > MAX_PLY)
        return evaluate(alpha, beta);
    if (in_check)
        checks_allowance += 1;

    const Position& pos         = position();
    const int       them        = 1 - pos.side_to_move;
    const bool      null_window = beta == alpha + 1;
    int             best        = NO_SCORE;
    int             delta_base  = 0;

    if (!in_check) {
        const int stand_pat = evaluate(alpha, beta);
        best                = stand_pat;
        if (stand_pat > alpha) {
            alpha = stand_pat;
            if (stand_pat >= beta)
                return stand_pat;
        }
        delta_base = stand_pat + DELTA_MARGIN;
    }

    MovePicker picker;
    start_picker(picker, NO_MOVE, NO_MOVE, NO_MOVE, checks_allowance > 0);
    Move child_pv[PV_CAPACITY];

    for (;;) {
        const Move m = in_check ? next_evasion(picker) : next_quiescence_move(picker);
        if (m == NO_MOVE)
            break;
        const bool gc = gives_check(m);
        if (null_window && !in_check && !gc) {
            int v = see_value[pos.board[them][move_to(m)]] + delta_base;
            if (m & FLAG_EN_PASSANT)
                v += DELTA_EN_PASSANT_BONUS;
            if (m & FLAG_PROMOTION)
                v += DELTA_PROMOTION_BONUS;
            if (v <= alpha) {
                if (v > best) {
                    best  = v;
                    pv[0] = NO_MOVE;
                }
                continue;
            }
        }
        if (!make_move(m)) {
            unmake_move();
            continue;
        }
        const int v = -quiesce(-beta, -alpha, checks_allowance - 1, child_pv, gc);
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
    if (best == NO_SCORE)
        return search_ply() - MATE;
    return best;
}
