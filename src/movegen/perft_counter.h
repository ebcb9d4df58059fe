// movegen/perft_counter.h: the leaf counter that proves the move generators, shared by
// velmora-tools' perft and divide and by the UCI loop's "go perft". It walks the global
// position with make and unmake and leaves it as it found it.
#pragma once

#include <cstdint>

#include "movegen/move_list.h"

// The node's pseudo-legal moves in generator order: generate_captures then
// generate_quiets, or generate_evasions in check.
void generate_all(MoveList& list);

// Legal positions depth plies on (depth >= 1). Above the last ply every move is made and
// filtered by make_move; the last ply is counted without making its moves, each judged
// legal by a pin-and-check test (en passant and castling are still made).
std::uint64_t perft_bulk(int depth);
// The same count making and filtering every move down to the leaves: a cross-check of
// the bulk count's legality test.
std::uint64_t perft_plain(int depth);
// perft_bulk split by root move (depth >= 1): report gets each legal root move, in
// generator order, with its count; returns the total.
std::uint64_t perft_divide(int depth, void (*report)(Move m, std::uint64_t count));
