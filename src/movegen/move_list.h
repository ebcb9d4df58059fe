// movegen/move_list.h: the per-node move list and the three staged pickers that hand
// the searches one move at a time. Everything lives in the caller's stack frame; the
// pickers read the global position and the ordering tables and own no state.
//
// Order handed out by next_move: hash move; captures and promotions that good_capture
// accepts, best first; killer 1; killer 2; quiet moves, best first; the rejected
// captures and promotions. Ties keep the generators' order, so node counts are fixed.
#pragma once

#include <cstdint>

#include "position/types.h"

// A legal position has at most 218 moves, and a few more pseudo-legal ones (pinned
// pieces, king steps into attack); 256 leaves a wide margin for the captures and the
// quiet moves that share one list. scores has one slot more: the sort's sentinel.
//
// No position can overrun the list: captures and promotions number at most 12 per piece
// (192), evasions far fewer, and the quiet generators (which append behind the captures)
// add a batch (one piece's moves, the pawn pushes, the castlings) only when it fits.
// Only a set-up position with material no game can reach (fifteen queens, say) could
// come near the limit and lose moves there.
constexpr int MAX_MOVES = 256;

struct MoveList {
    Move moves[MAX_MOVES];       // filled by the generators from index count on
    int  scores[MAX_MOVES + 1];  // ordering score of moves[i]; scores[count] is the sort's
    int  count;                  // moves in the list
    int  quiet_ratio;  // next_move: cut-off ratio of the move last handed out, 16384 = 1.0
};

// True when size more moves fit behind out.
inline bool batch_fits(const MoveList& list, const Move* out, int size) {
    return out - list.moves + size <= MAX_MOVES;
}

// Stage codes. next_move walks 0, 2, 3, 4, 6, 8, 9, 10; next_evasion 0, 11, 12;
// next_quiescence_move 0, 1, 2, then 3, 4 when with_checks is set. A record is driven
// by one picker only, so the overlapping quiescence codes are harmless.
constexpr std::uint32_t STAGE_HASH          = 0;
constexpr std::uint32_t STAGE_GEN_CAPTURES  = 2;
constexpr std::uint32_t STAGE_GOOD_CAPTURES = 3;
constexpr std::uint32_t STAGE_KILLER1       = 4;
constexpr std::uint32_t STAGE_KILLER2       = 6;
constexpr std::uint32_t STAGE_GEN_QUIETS    = 8;
constexpr std::uint32_t STAGE_QUIETS        = 9;
constexpr std::uint32_t STAGE_BAD_CAPTURES  = 10;
constexpr std::uint32_t STAGE_GEN_EVASIONS  = 11;
constexpr std::uint32_t STAGE_EVASIONS      = 12;

constexpr std::uint32_t QS_STAGE_GEN_CAPTURES = 1;
constexpr std::uint32_t QS_STAGE_CAPTURES     = 2;
constexpr std::uint32_t QS_STAGE_GEN_CHECKS   = 3;
constexpr std::uint32_t QS_STAGE_CHECKS       = 4;

constexpr int RATIO_ONE = 16384;  // quiet_ratio of a move never tried since the reset

// One per node. The caller sets stage = 0 and the inputs its picker reads:
// next_move: hash_move, killer1, killer2 (killer1(us, search_ply()) and killer2(...) of
// the ordering tables, or 0 at the root); next_evasion: hash_move;
// next_quiescence_move: hash_move = 0 and with_checks.
struct MovePicker {
    std::uint32_t stage;
    int           quiet_index;    // next_move: next quiet move; next_evasion: next evasion
    int           capture_index;  // next capture (next_move), next move (quiescence)
    int           capture_end;    // next_move: number of captures generated
    Move          hash_move;
    Move          killer1;
    Move          killer2;
    bool          with_checks;  // next_quiescence_move: go on to quiet checks
    MoveList      list;
};

// Each returns the next pseudo-legal move, or NO_MOVE once exhausted (and again after).
// next_move: side to move not in check. After each call list.quiet_ratio belongs to the
// returned move (16384 unless it is a quiet move of the quiet stage).
Move next_move(MovePicker& picker);
// Side to move in check. After the first call list.count is the number of evasions.
Move next_evasion(MovePicker& picker);
// Quiescence, not in check: non-losing captures and queen promotions, then (with_checks)
// quiet checks whose exchange value is not negative.
Move next_quiescence_move(MovePicker& picker);

// Readies a node's picker: stage 0, the inputs above, and every other counter a picker
// might read. The move list's arrays are left as they are (they are 2 KB, and the
// generators and the sort write each slot before it is read), so a node pays nothing to clear them.
inline void start_picker(
    MovePicker& picker, Move hash_move, Move first_killer, Move second_killer, bool with_checks) {
    picker.stage            = 0;
    picker.quiet_index      = 0;
    picker.capture_index    = 0;
    picker.capture_end      = 0;
    picker.hash_move        = hash_move;
    picker.killer1          = first_killer;
    picker.killer2          = second_killer;
    picker.with_checks      = with_checks;
    picker.list.count       = 0;
    picker.list.quiet_ratio = RATIO_ONE;
}

// Stable insertion sort of [first, end) by score, highest first; equal scores keep their
// order. Every score must be above -32000, the sentinel the sort writes into scores[end];
// end is always list.count, so that slot holds no live score.
void sort_moves(int first, int end, MoveList& list);
// Moves the first of the highest scores in [first, end) to first, shifting the entries
// before it one place back. Calling it for first, first + 1, ... yields exactly the order
// sort_moves gives. The pickers select their captures (a short list, often cut off after
// the first) and sort their quiet moves and evasions (selection measured dearer there).
void select_move(int first, int end, MoveList& list);
