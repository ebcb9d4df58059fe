#include "search/root.h"

#include "eval/evaluate.h"
#include "movegen/move_list.h"
#include "movegen/ordering.h"
#include "movegen/see.h"
#include "position/attacked.h"
#include "position/make_move.h"
#include "position/move.h"
#include "position/position.h"
#include "search/alpha_beta.h"
#include "search/clock.h"
#include "search/pv.h"
#include "search/tt.h"

namespace {

struct RootMoves {
    Move allowed[MAX_MOVES];
    int  allowed_count = 0;  // 0: every move
    Move excluded[MAX_MOVES];
    int  excluded_count = 0;
};

// One per search thread: each restricts and excludes its own root moves.
thread_local constinit RootMoves root_moves{};

bool is_listed(Move m, const Move* list, int count) {
    for (int i = 0; i < count; ++i)
        if (list[i] == m)
            return true;
    return false;
}

// One branch per root move when no restriction applies, so a plain search pays nothing.
bool is_searched_root_move(Move m) {
    if (root_moves.allowed_count == 0 && root_moves.excluded_count == 0)
        return true;
    return (root_moves.allowed_count == 0
            || is_listed(m, root_moves.allowed, root_moves.allowed_count))
           && !is_listed(m, root_moves.excluded, root_moves.excluded_count);
}

// The legal moves the root would search now, in the order they are generated.
int list_root_moves(Move* moves) {
    MovePicker picker;
    start_picker(picker, NO_MOVE, NO_MOVE, NO_MOVE, false);
    const bool check = in_check();
    int        count = 0;
    for (Move m = check ? next_evasion(picker) : next_move(picker); m != NO_MOVE;
         m      = check ? next_evasion(picker) : next_move(picker)) {
        if (!is_searched_root_move(m))
            continue;
        if (make_move(m))
            moves[count++] = m;
        unmake_move();
    }
    return count;
}

}  // namespace

void restrict_root_moves(const Move* moves, int count) {
    root_moves.allowed_count  = 0;
    root_moves.excluded_count = 0;
    for (int i = 0; i < count && i < MAX_MOVES; ++i)
        root_moves.allowed[root_moves.allowed_count++] = moves[i];
}

void exclude_root_move(Move m) {
    if (root_moves.excluded_count < MAX_MOVES)
        root_moves.excluded[root_moves.excluded_count++] = m;
}

void clear_excluded_root_moves() { root_moves.excluded_count = 0; }

int count_root_moves() {
    Move moves[MAX_MOVES];
    return list_root_moves(moves);
}

int glance_at_root_moves(Move* moves, int* scores) {
    Move      legal[MAX_MOVES];
    const int count = list_root_moves(legal);
    for (int k = 0; k < count; ++k) {
        make_move(legal[k]);
        const int score = -evaluate(-MATE, MATE);
        unmake_move();
        // Insertion keeps the list best first, the earlier move first on ties.
        int i = k;
        for (; i > 0 && scores[i - 1] < score; --i) {
            moves[i]  = moves[i - 1];
            scores[i] = scores[i - 1];
        }
        moves[i]  = legal[k];
        scores[i] = score;
    }
    return count;
}

int search_root(int depth, int alpha, int beta, Move* pv) {
    // Step 1. Stopped
    if (stop_search.load(std::memory_order_relaxed))
        return 0;

    // Step 2. Count the node; the root never reads the clock
    count_root_node();

    // Step 3. In check?
    const Position& pos = position();
    const int       us  = pos.side_to_move;
    const bool      in_check =
        is_square_attacked(us, pos.king_square[us], pos.occupancy[0] | pos.occupancy[1]);

    // Step 4. Hash move only: the root never answers a table score
    TTEntry    entry;
    const Move hash_move = tt_probe(pos.key, entry) ? entry.move : NO_MOVE;

    // Step 5. Move loop set-up
    MovePicker picker;
    start_picker(picker, hash_move, NO_MOVE, NO_MOVE, false);
    const int alpha_on_entry = alpha;
    int       best           = NO_SCORE;
    Move      history_move   = NO_MOVE;
    Move      child_pv[PV_CAPACITY];
    pv[0] = NO_MOVE;

    // Step 6. Moves
    for (;;) {
        const Move m = in_check ? next_evasion(picker) : next_move(picker);
        if (m == NO_MOVE)
            break;
        if (!is_searched_root_move(m))
            continue;

        // Step 6.1. Does it check?
        const bool gc = gives_check(m);

        // Step 6.2. Extensions: single reply, check, passed pawn, winning piece capture
        const int victim = pos.board[1 - us][move_to(m)];
        int       e      = 0;
        if ((in_check && picker.list.count == 1) || gc || passed_pawn_push(m)
            || (victim != NO_PIECE && victim != PAWN && static_exchange(m) >= 0))
            e = ONE_PLY;

        // Step 6.3. Make
        if (!make_move(m)) {
            unmake_move();
            continue;
        }

        // Step 6.4. Search: full window first, then null windows with a re-search
        const int child_depth = depth - ONE_PLY + e;
        int       v;
        if (best == NO_SCORE) {
            v = -search(child_depth, -beta, -alpha, true, child_pv, gc);
        } else {
            v = -search(child_depth, -alpha - 1, -alpha, false, child_pv, gc);
            if (v > alpha)
                v = -search(child_depth, -beta, -alpha, true, child_pv, gc);
        }

        // Step 6.5. Unmake
        unmake_move();

        // Step 6.6. Best so far, also below alpha
        if (v > best) {
            if (best == NO_SCORE || v > alpha)
                history_move = m;
            set_pv(pv, m, child_pv);
            best = v;
            if (v > alpha) {
                alpha = v;
                if (v >= beta)
                    break;
            }
        }
    }

    // Step 7. Mate or stalemate
    if (best == NO_SCORE)
        return in_check ? search_ply() - MATE : 0;

    // Step 8. Ordering tables
    if (!stop_search.load(std::memory_order_relaxed) && (best >= beta || alpha > alpha_on_entry))
        update_history_and_killers(depth, history_move);

    // Step 9. The principal variation leads the next iteration (an interrupted search
    // stores nothing)
    if (!stop_search.load(std::memory_order_relaxed) && alpha_on_entry < best && best < beta)
        store_pv(pv);

    // Step 10. Answer
    return best;
}
