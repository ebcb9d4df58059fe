// position/types.h: the basic codes every module shares: colours, pieces, squares,
// scores and depths. Constants only; nothing here has state.
#pragma once

#include <array>
#include <cstdint>

using Bitboard = std::uint64_t;  // bit n stands for square n
using Key      = std::uint64_t;  // Zobrist hash key
using Move     = std::uint32_t;  // packed move word, see position/move.h

// Colours. Every per-colour array is indexed Black first; the opponent of c is 1 - c.
constexpr int BLACK = 0;
constexpr int WHITE = 1;

// Piece codes; tables indexed by piece code have seven entries.
constexpr int PAWN     = 0;
constexpr int KNIGHT   = 1;
constexpr int BISHOP   = 2;
constexpr int ROOK     = 3;
constexpr int QUEEN    = 4;
constexpr int KING     = 5;
constexpr int NO_PIECE = 6;

// Squares: a1 = 0, b1 = 1, ..., h8 = 63, square = file + 8 * rank.
constexpr int NO_SQUARE = 64;

// Castling-right bits, one set per colour.
constexpr int CASTLE_SHORT = 1;
constexpr int CASTLE_LONG  = 2;

// Scores are centipawns from the side to move's view. A side mated at search ply p
// scores p - MATE; anything beyond +-MATE_BOUND is a mate score.
constexpr int MATE       = 32000;
constexpr int MATE_BOUND = 31744;
constexpr int NO_SCORE   = -32767;

// Depths are quarter plies: iteration n searches to n * ONE_PLY.
constexpr int ONE_PLY = 4;
// The searches never go deeper than this many plies from the root.
constexpr int MAX_PLY = 255;

constexpr int file_of(int sq) { return sq & 7; }
constexpr int rank_of(int sq) { return sq >> 3; }
constexpr int make_square(int file, int rank) { return file + 8 * rank; }
constexpr int abs_int(int x) { return x < 0 ? -x : x; }
constexpr int max_int(int a, int b) { return a > b ? a : b; }
constexpr int min_int(int a, int b) { return a < b ? a : b; }
// The larger of the file and the rank difference, [a][b]. A table: the evaluation asks for
// it several times for every piece.
inline constexpr std::array<std::array<std::uint8_t, 64>, 64> king_distance_table = [] {
    std::array<std::array<std::uint8_t, 64>, 64> table{};
    for (int a = 0; a < 64; ++a)
        for (int b = 0; b < 64; ++b)
            table[a][b] = static_cast<std::uint8_t>(
                max_int(abs_int(file_of(a) - file_of(b)), abs_int(rank_of(a) - rank_of(b))));
    return table;
}();
constexpr int king_distance(int a, int b) { return king_distance_table[a][b]; }
static_assert(king_distance(0, 63) == 7 && king_distance(28, 37) == 1);
