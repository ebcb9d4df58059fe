// tests/support/position_support.h: helpers the position tests share: building the
// engine's tables once, brute-force move lists, record comparison and data files.
#pragma once

#include <string>
#include <vector>

#include "position/position.h"

// Builds the attack and piece-square tables once per test binary.
void init_engine_tables();
// Sets up a FEN or fails the calling test; a FEN that is not standard chess is read as
// Chess960.
void set_fen(const std::string& fen);

// Every well-formed move word (each from/to pair with each flag and promotion shape)
// that is_valid_move accepts in the current position, in a fixed order.
std::vector<Move> brute_force_valid_moves();
// Those of them that make_move reports legal.
std::vector<Move> brute_force_legal_moves();

// Field-by-field equality of two records; names the first field that differs.
bool same_position(const Position& a, const Position& b, std::string* difference);

// One perft record: a FEN and its counts by depth (counts[0] is depth 1).
struct PerftCase {
    std::string            fen;
    std::vector<long long> counts;
};
// Reads a perft file of the data folder ("FEN ;D1 n ;D2 n" lines); a missing file fails
// the calling test rather than giving it nothing to check.
std::vector<PerftCase> read_perft_file(const std::string& name);
