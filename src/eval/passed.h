// eval/passed.h: the passed pawns of one colour, scored against the pieces and kings.
// The pawn hash only finds them (pawn_info.passed); their worth depends on who controls
// the squares in front, where the kings stand and whether the defender has pieces left.
// Runs after the piece walk of both colours, reading both complete attack maps, and adds
// to the colour's own mg and eg accumulators.
#pragma once

#include "eval/evaluate.h"

void evaluate_passed_pawns(EvalState& st, int colour);
