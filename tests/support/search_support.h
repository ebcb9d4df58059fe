// tests/support/search_support.h: what the search tests share: the engine's tables and
// hash tables, a clean slate before each search, legal move lists and a brute-force
// forced-mate prover that knows nothing of the engine's search.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

#include "position/types.h"

// Builds the attack and piece-square tables, a 1-megabyte transposition table and the
// pawn and material hashes (once), then empties every table, the ordering tables and
// the search clock, and sets up fen: the next search starts as in a fresh engine.
void fresh_search(const std::string& fen);
// Re-allocates the test transposition table after a test changed its size.
void                         restore_test_tt();
constexpr unsigned long long TEST_TT_ENTRIES = 1 << 15;  // per array: 1 megabyte in all

// The legal moves of the current position, in generator order.
std::vector<Move> legal_moves_here();
// A position's moves given in coordinate text (e2e4 e7e5 ...), made on the board.
void play_moves(const std::string& moves);

// True when the side to move can force mate within n of its own moves, whatever the
// defence. Exhaustive: keep n small.
bool forces_mate(int n);
// True when m, a legal move of the side to move, forces mate within n moves (m included).
bool move_forces_mate(Move m, int n);

// Runs think with a fixed depth and no time limit, capturing the thinking lines.
struct ThinkResult {
    Move                     move;
    int                      score;
    std::vector<std::string> lines;
};
ThinkResult think_to_depth(int depth_limit);
ThinkResult think_with_budget(int depth_limit, int fixed_time_ms);
