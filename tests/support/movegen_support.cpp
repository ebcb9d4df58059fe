#include "support/movegen_support.h"

#include "movegen/captures.h"
#include "movegen/evasions.h"
#include "movegen/quiets.h"
#include "position/attacked.h"
#include "position/move.h"
#include "position/position.h"

namespace {

void fill_generated(MoveList& list) {
    if (in_check()) {
        generate_evasions(list);
    } else {
        generate_captures(list);
        generate_quiets(list.count, list);
    }
}

void choose_picker_inputs(MovePicker& picker) {
    MoveList list;
    fill_generated(list);
    picker.hash_move = picker.killer1 = picker.killer2 = NO_MOVE;
    const Key key                                      = position().key;
    if (list.count > 0 && (key & 3) != 0)
        picker.hash_move = list.moves[(key >> 8) % static_cast<unsigned>(list.count)];
    std::vector<Move> quiets;
    for (int i = 0; i < list.count; ++i)
        if (!is_tactical(list.moves[i]))
            quiets.push_back(list.moves[i]);
    if (quiets.empty())
        return;
    const bool reuse_hash = (key & 0x30) == 0 && picker.hash_move && !is_tactical(picker.hash_move);
    picker.killer1        = reuse_hash ? picker.hash_move : quiets[(key >> 24) % quiets.size()];
    const Move second     = quiets[(key >> 40) % quiets.size()];
    if (second != picker.killer1)
        picker.killer2 = second;
}

}  // namespace

std::vector<Move> list_moves(const MoveList& list) {
    return std::vector<Move>(list.moves, list.moves + list.count);
}

std::vector<Move> generated_moves() {
    MoveList list;
    fill_generated(list);
    return list_moves(list);
}

std::vector<Move> legal_generated_moves() {
    std::vector<Move> legal;
    for (const Move m : generated_moves()) {
        if (make_move(m))
            legal.push_back(m);
        unmake_move();
    }
    return legal;
}

std::uint64_t perft_generators(int depth) {
    MoveList list;
    fill_generated(list);
    std::uint64_t nodes = 0;
    for (int i = 0; i < list.count; ++i) {
        if (make_move(list.moves[i]))
            nodes += depth > 1 ? perft_generators(depth - 1) : 1;
        unmake_move();
    }
    return nodes;
}

std::uint64_t perft_pickers(int depth) {
    MovePicker picker;
    picker.stage       = STAGE_HASH;
    picker.with_checks = false;
    choose_picker_inputs(picker);
    const bool    evading = in_check();
    std::uint64_t nodes   = 0;
    for (Move m; (m = evading ? next_evasion(picker) : next_move(picker)) != NO_MOVE;) {
        if (make_move(m))
            nodes += depth > 1 ? perft_pickers(depth - 1) : 1;
        unmake_move();
    }
    return nodes;
}
