// movegen/see.h: static exchange evaluation, the material a move wins or loses when both
// sides then keep capturing on its destination with their cheapest piece.
#pragma once

#include "position/types.h"

// see_value[piece]: exchange and ordering values, pawn to king, then none.
constexpr int see_value[7] = {90, 325, 325, 500, 975, 32000, 0};

// For a pseudo-legal move of the side to move, not yet made: the result of the exchange
// on its destination, in see_value units from the mover's view (negative: it loses).
// Either side may stop capturing whenever going on would cost it. Changes nothing.
int static_exchange(Move m);
