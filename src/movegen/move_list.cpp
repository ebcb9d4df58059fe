#include "movegen/move_list.h"

#include "movegen/captures.h"
#include "movegen/evasions.h"
#include "movegen/ordering.h"
#include "movegen/quiet_checks.h"
#include "movegen/quiets.h"
#include "movegen/see.h"
#include "position/move.h"
#include "position/valid_move.h"

namespace {

// A capture or promotion scores MVV/LVA + 30000 when good_capture accepts it and MVV/LVA -
// 30000 when not. Asking good_capture may cost an exchange evaluation, so the pickers ask
// only when a capture comes up for selection: until then it holds the good score, which is
// what it ends with if accepted. Every capture still unasked scores above 0.
constexpr int CAPTURE_BAND = 30000;

void score_captures(MoveList& list, int first) {
    for (int i = first; i < list.count; ++i)
        list.scores[i] = mvv_lva(list.moves[i]) + CAPTURE_BAND;
}

// The first of the highest scores in [first, end), which must not be empty.
inline int best_index(int first, int end, const MoveList& list) {
    int best = first;
    for (int i = first + 1; i < end; ++i)
        if (list.scores[i] > list.scores[best])
            best = i;
    return best;
}

// Moves the entry at best to first; the entries it passes shift one place back, so the
// rest stay in generation order.
inline void move_to_front(int first, int best, MoveList& list) {
    const Move move  = list.moves[best];
    const int  score = list.scores[best];
    for (int i = best; i > first; --i) {
        list.moves[i]  = list.moves[i - 1];
        list.scores[i] = list.scores[i - 1];
    }
    list.moves[first]  = move;
    list.scores[first] = score;
}

// Puts the next capture that good_capture accepts at first, as select_move would with
// every capture scored in advance, and answers true; false when none is left. A capture
// rejected on the way drops to its losing score where it stands, so the losing ones stay
// in generation order. Every capture handed out was accepted, so all in [first, end)
// are either unasked or losing: an unasked capture on top is the next one to ask.
inline bool select_good_capture(int first, int end, MoveList& list) {
    while (first < end) {
        const int best = best_index(first, end, list);
        if (list.scores[best] < 0)
            return false;
        if (good_capture(list.moves[best])) {
            move_to_front(first, best, list);
            return true;
        }
        list.scores[best] -= 2 * CAPTURE_BAND;
    }
    return false;
}

}  // namespace

void sort_moves(int first, int end, MoveList& list) {
    // Insertion from the back with a sentinel, so the inner scan needs no bound test. Every
    // range ends at the list's end, so the slot past it holds no live score.
    list.scores[end] = -32000;
    for (int i = end - 2; i >= first; --i) {
        const Move move  = list.moves[i];
        const int  score = list.scores[i];
        int        j     = i;
        for (; list.scores[j + 1] > score; ++j) {
            list.moves[j]  = list.moves[j + 1];
            list.scores[j] = list.scores[j + 1];
        }
        list.moves[j]  = move;
        list.scores[j] = score;
    }
}

void select_move(int first, int end, MoveList& list) {
    move_to_front(first, best_index(first, end, list), list);
}

// The three pickers are flattened: each takes its generators and scorers inline, which
// link-time optimisation allows across files.
[[gnu::flatten]] Move next_move(MovePicker& picker) {
    MoveList& list = picker.list;
    for (;;) {
        list.quiet_ratio = RATIO_ONE;
        switch (picker.stage) {
            case STAGE_HASH:
                picker.stage = STAGE_GEN_CAPTURES;
                if (is_valid_move(picker.hash_move))
                    return picker.hash_move;
                [[fallthrough]];
            case STAGE_GEN_CAPTURES:
                picker.stage = STAGE_GOOD_CAPTURES;
                generate_captures(list);
                score_captures(list, 0);
                picker.capture_index = 0;
                picker.capture_end = picker.quiet_index = list.count;
                [[fallthrough]];
            case STAGE_GOOD_CAPTURES:
                if (select_good_capture(picker.capture_index, picker.capture_end, list)) {
                    const Move m = list.moves[picker.capture_index++];
                    if (m == picker.hash_move)
                        continue;
                    return m;
                }
                picker.stage = STAGE_KILLER1;
                [[fallthrough]];
            case STAGE_KILLER1:
                picker.stage = STAGE_KILLER2;
                if (picker.killer1 != picker.hash_move && is_valid_move(picker.killer1))
                    return picker.killer1;
                [[fallthrough]];
            case STAGE_KILLER2:
                picker.stage = STAGE_GEN_QUIETS;
                if (picker.killer2 != picker.hash_move && is_valid_move(picker.killer2))
                    return picker.killer2;
                [[fallthrough]];
            case STAGE_GEN_QUIETS:
                picker.stage = STAGE_QUIETS;
                generate_quiets(picker.quiet_index, list);
                for (int i = picker.quiet_index; i < list.count; ++i)
                    list.scores[i] = quiet_score(list.moves[i]);
                sort_moves(picker.quiet_index, list.count, list);
                [[fallthrough]];
            case STAGE_QUIETS:
                if (picker.quiet_index < list.count) {
                    const Move m = list.moves[picker.quiet_index++];
                    if (m == picker.hash_move || m == picker.killer1 || m == picker.killer2)
                        continue;
                    list.quiet_ratio =
                        history_hits(m & 0xfff) * RATIO_ONE / history_tries(m & 0xfff);
                    return m;
                }
                picker.stage = STAGE_BAD_CAPTURES;
                [[fallthrough]];
            case STAGE_BAD_CAPTURES:
                if (picker.capture_index < picker.capture_end) {
                    select_move(picker.capture_index, picker.capture_end, list);
                    const Move m = list.moves[picker.capture_index++];
                    if (m == picker.hash_move)
                        continue;
                    return m;
                }
                return NO_MOVE;
            default: return NO_MOVE;
        }
    }
}

[[gnu::flatten]] Move next_evasion(MovePicker& picker) {
    MoveList& list = picker.list;
    if (picker.stage == STAGE_HASH || picker.stage == STAGE_GEN_EVASIONS) {
        generate_evasions(list);
        for (int i = 0; i < list.count; ++i)
            list.scores[i] = order_score(list.moves[i], picker.hash_move);
        picker.stage       = STAGE_EVASIONS;
        picker.quiet_index = 0;
        sort_moves(0, list.count, list);
    } else if (picker.stage != STAGE_EVASIONS) {
        return NO_MOVE;
    }
    if (picker.quiet_index < list.count)
        return list.moves[picker.quiet_index++];
    return NO_MOVE;
}

[[gnu::flatten]] Move next_quiescence_move(MovePicker& picker) {
    MoveList& list = picker.list;
    switch (picker.stage) {
        case STAGE_HASH:
        case QS_STAGE_GEN_CAPTURES:
            picker.stage = QS_STAGE_CAPTURES;
            generate_captures(list);
            score_captures(list, 0);
            picker.capture_index = 0;
            [[fallthrough]];
        case QS_STAGE_CAPTURES:
            if (select_good_capture(picker.capture_index, list.count, list))
                return list.moves[picker.capture_index++];
            picker.capture_index = list.count;  // the rest all lose
            if (!picker.with_checks)
                return NO_MOVE;
            picker.stage = QS_STAGE_GEN_CHECKS;
            [[fallthrough]];
        case QS_STAGE_GEN_CHECKS:
            picker.stage = QS_STAGE_CHECKS;
            generate_quiet_checks(list);
            for (int i = 0; i < list.count; ++i)
                list.scores[i] = order_score(list.moves[i], picker.hash_move);
            picker.capture_index = 0;
            sort_moves(0, list.count, list);
            [[fallthrough]];
        case QS_STAGE_CHECKS:
            while (picker.capture_index < list.count) {
                const Move m = list.moves[picker.capture_index++];
                if (static_exchange(m) >= 0)
                    return m;
            }
            return NO_MOVE;
        default: return NO_MOVE;
    }
}
