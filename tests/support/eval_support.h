// tests/support/eval_support.h: helpers the evaluation tests share: the hashes, the
// colour mirror of a FEN, positions from the data folder and a traced evaluation.
#pragma once

#include <string>
#include <vector>

#include "eval/evaluate.h"

// Builds the engine's tables and allocates both hashes (1 MB each) once per binary.
void init_eval_tables();
// Sets up a FEN with fresh hashes (so each test starts cold), or fails the calling test.
void set_eval_fen(const std::string& fen);

// The same position with colours swapped: board flipped top to bottom, piece colours,
// side to move, castling rights and the en-passant square swapped with it.
std::string mirror_fen(const std::string& fen);

// The FENs of bench.fen, and of the first `count` lines of perft-marcel.epd; a missing
// file fails the calling test.
std::vector<std::string> bench_fens();
std::vector<std::string> marcel_fens(std::size_t count);

// evaluate_traced at the full window for the current position.
EvalTrace full_trace();
// A term's value for one colour, or (for net-only terms) White minus Black.
int term_mg(const EvalTrace& trace, EvalTerm term, int colour);
int term_eg(const EvalTrace& trace, EvalTerm term, int colour);
