// eval/eval_report.h: the evaluation of the global position written out term by term,
// for tuning and debugging: velmora-tools eval and the UCI loop's "eval" print it. The
// figures come from evaluate_traced(), the very code the search calls, at the full
// window. Needs what evaluate() needs (the pawn and material hashes allocated).
#pragma once

#include <cstdio>

// Writes the trace to out, ending with the line "eval N" (side to move's view); returns N.
int print_eval_report(std::FILE* out);
