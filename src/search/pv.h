// search/pv.h: principal-variation buffers. Every search node keeps one on its stack
// for its children: up to MAX_PLY + 1 moves and the terminating 0, enough for a line
// from the root to the deepest ply the searches reach.
#pragma once

#include "position/move.h"
#include "position/types.h"

constexpr int PV_CAPACITY = MAX_PLY + 2;  // 257

// pv := m followed by child (up to and including its 0). The copy stops short of the
// buffer's end whatever child holds.
inline void set_pv(Move* pv, Move m, const Move* child) {
    pv[0] = m;
    int i = 0;
    while (i < PV_CAPACITY - 2 && child[i] != NO_MOVE) {
        pv[i + 1] = child[i];
        ++i;
    }
    pv[i + 1] = NO_MOVE;
}
