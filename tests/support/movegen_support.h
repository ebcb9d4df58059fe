// tests/support/movegen_support.h: helpers the move generation tests share: perft
// through the generators and through the pickers, a walk over every node of a small
// tree, and how much of the big perft files a build can afford.
#pragma once

#include <cstdint>
#include <vector>

#include "movegen/move_list.h"
#include "position/make_move.h"

// Release builds without sanitizers run the large samples; debug and sanitizer builds,
// several times slower, run a fraction of them.
#if defined(__SANITIZE_ADDRESS__)
constexpr bool THOROUGH_BUILD = false;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr bool THOROUGH_BUILD = false;
#elif defined(NDEBUG)
constexpr bool THOROUGH_BUILD = true;
#else
constexpr bool THOROUGH_BUILD = false;
#endif
#elif defined(NDEBUG)
constexpr bool THOROUGH_BUILD = true;
#else
constexpr bool THOROUGH_BUILD = false;
#endif

// Every THOROUGH_BUILD ? 1 : n-th item of a large sample.
constexpr int sample_stride(int n) { return THOROUGH_BUILD ? 1 : n; }

// The node's moves as perft takes them: captures then quiets, or the evasions in check.
std::vector<Move> generated_moves();
// Those that make_move accepts.
std::vector<Move> legal_generated_moves();
// The moves of a list, in order.
std::vector<Move> list_moves(const MoveList& list);

std::uint64_t perft_generators(int depth);
// Through next_move / next_evasion, with a hash move and killers drawn from the node's
// own moves (by the position key) so that their de-duplication is exercised.
std::uint64_t perft_pickers(int depth);

// Calls visit() at every node of the legal tree below the current position, down to
// depth plies (the root included, the leaves at depth included).
template <typename Visit> void walk_tree(int depth, Visit&& visit) {
    visit();
    if (depth == 0)
        return;
    for (const Move m : generated_moves()) {
        if (make_move(m))
            walk_tree(depth - 1, visit);
        unmake_move();
    }
}
