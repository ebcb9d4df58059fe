// position/attacks.h: every attack question answered by table look-up.
// Constant tables are built by the compiler; the line tables and the magic rook and
// bishop tables are filled once at start-up by init_line_tables() and init_magics()
// (attacks.cpp owns them) and are read-only afterwards.
#pragma once

#include <array>
#include <cstdint>

#include "position/bitboard.h"
#include "position/types.h"

namespace attacks_detail {
constexpr bool on_board(int file, int rank) {
    return file >= 0 && file < 8 && rank >= 0 && rank < 8;
}
// The squares reached from sq by the given (file, rank) steps, one step each.
template <std::size_t N> constexpr Bitboard step_targets(int sq, const int (&steps)[N][2]) {
    Bitboard set = 0;
    for (const auto& step : steps) {
        const int f = file_of(sq) + step[0], r = rank_of(sq) + step[1];
        if (on_board(f, r))
            set |= Bitboard{1} << make_square(f, r);
    }
    return set;
}
constexpr int knight_steps[8][2]  = {{1, 2},   {2, 1},   {2, -1}, {1, -2},
                                     {-1, -2}, {-2, -1}, {-2, 1}, {-1, 2}};
constexpr int king_steps[8][2]    = {{0, 1},  {1, 1},   {1, 0},  {1, -1},
                                     {0, -1}, {-1, -1}, {-1, 0}, {-1, 1}};
constexpr int pawn_steps[2][2][2] = {{{-1, -1}, {1, -1}}, {{-1, 1}, {1, 1}}};  // [colour]
}  // namespace attacks_detail

// square_bit[s] = {s}; square_bit[NO_SQUARE] is empty.
constexpr std::array<Bitboard, 65> square_bit = [] {
    std::array<Bitboard, 65> table{};
    for (int sq = 0; sq < 64; ++sq)
        table[sq] = Bitboard{1} << sq;
    return table;
}();

// pawn_attacks[colour][s]: the squares a pawn of that colour on s attacks.
constexpr std::array<std::array<Bitboard, 64>, 2> pawn_attacks = [] {
    std::array<std::array<Bitboard, 64>, 2> table{};
    for (int c = 0; c < 2; ++c)
        for (int sq = 0; sq < 64; ++sq)
            table[c][sq] = attacks_detail::step_targets(sq, attacks_detail::pawn_steps[c]);
    return table;
}();

constexpr std::array<Bitboard, 65> knight_attacks = [] {
    std::array<Bitboard, 65> table{};
    for (int sq = 0; sq < 64; ++sq)
        table[sq] = attacks_detail::step_targets(sq, attacks_detail::knight_steps);
    return table;
}();

constexpr std::array<Bitboard, 65> king_attacks = [] {
    std::array<Bitboard, 65> table{};
    for (int sq = 0; sq < 64; ++sq)
        table[sq] = attacks_detail::step_targets(sq, attacks_detail::king_steps);
    return table;
}();

// What a bishop or a rook on s would attack on an empty board: a cheap first test of
// whether a slider can reach s at all before its real attacks are looked up.
constexpr std::array<Bitboard, 64> slide_on_empty_board(const int (&directions)[4][2]) {
    std::array<Bitboard, 64> table{};
    for (int sq = 0; sq < 64; ++sq)
        for (const auto& d : directions)
            for (int f = file_of(sq) + d[0], r = rank_of(sq) + d[1]; attacks_detail::on_board(f, r);
                 f += d[0], r += d[1])
                table[sq] |= Bitboard{1} << make_square(f, r);
    return table;
}
// (file step, rank step) of each slider's four directions.
constexpr int                      bishop_directions[4][2] = {{1, 1}, {-1, 1}, {1, -1}, {-1, -1}};
constexpr int                      rook_directions[4][2]   = {{0, 1}, {0, -1}, {1, 0}, {-1, 0}};
constexpr std::array<Bitboard, 64> bishop_lines_of = slide_on_empty_board(bishop_directions);
constexpr std::array<Bitboard, 64> rook_lines_of   = slide_on_empty_board(rook_directions);
static_assert(bishop_lines_of[0] == 0x8040201008040200ull
              && rook_lines_of[0] == 0x01010101010101FEull);

// The squares above (north) or below (south) s on its file, s excluded.
constexpr std::array<Bitboard, 64> ray_north = [] {
    std::array<Bitboard, 64> table{};
    for (int sq = 0; sq < 64; ++sq)
        for (int to = sq + 8; to < 64; to += 8)
            table[sq] |= Bitboard{1} << to;
    return table;
}();
constexpr std::array<Bitboard, 64> ray_south = [] {
    std::array<Bitboard, 64> table{};
    for (int sq = 0; sq < 64; ++sq)
        for (int to = sq - 8; to >= 0; to -= 8)
            table[sq] |= Bitboard{1} << to;
    return table;
}();

// forward_square[colour][s]: one step towards the colour's promotion rank, NO_SQUARE
// off the board; forward_square[c][NO_SQUARE] = NO_SQUARE.
constexpr std::array<std::array<int, 65>, 2> forward_square = [] {
    std::array<std::array<int, 65>, 2> table{};
    for (int sq = 0; sq < 65; ++sq) {
        table[BLACK][sq] = (sq < 64 && sq >= 8) ? sq - 8 : NO_SQUARE;
        table[WHITE][sq] = (sq < 56) ? sq + 8 : NO_SQUARE;
    }
    return table;
}();

// passed_span[colour][s]: own and adjacent files, every rank in front of s.
constexpr std::array<std::array<Bitboard, 64>, 2> passed_span = [] {
    std::array<std::array<Bitboard, 64>, 2> table{};
    for (int sq = 0; sq < 64; ++sq)
        for (int df = -1; df <= 1; ++df) {
            const int f = file_of(sq) + df;
            if (f < 0 || f > 7)
                continue;
            const int file_sq = make_square(f, rank_of(sq));
            table[WHITE][sq] |= ray_north[file_sq];
            table[BLACK][sq] |= ray_south[file_sq];
        }
    return table;
}();

// Castling, indexed by colour (Black first), then by side: 0 short, 1 long. Wherever king
// and rook start (the a- and h-file rooks of standard chess, any squares of Chess960),
// castling puts the king on the g- or c-file and the rook on the f- or d-file.
constexpr int king_castled[2][2] = {{62, 58}, {6, 2}};  // g8 c8, g1 c1
constexpr int rook_castled[2][2] = {{61, 59}, {5, 3}};  // f8 d8, f1 d1
constexpr int rook_home[2][2]    = {{63, 56}, {7, 0}};  // standard chess: h8 a8, h1 a1
constexpr int castle_side(int right) { return right == CASTLE_LONG ? 1 : 0; }

// The squares from a to b on their common rank, both included.
constexpr Bitboard rank_span(int a, int b) {
    Bitboard span = 0;
    for (int sq = min_int(a, b); sq <= max_int(a, b); ++sq)
        span |= Bitboard{1} << sq;
    return span;
}
// What castling needs empty: every square the king or the rook crosses or ends on, but the
// two start squares.
constexpr Bitboard castle_path_of(int king, int rook, int king_to, int rook_to) {
    return (rank_span(king, king_to) | rank_span(rook, rook_to))
           & ~(Bitboard{1} << king | Bitboard{1} << rook);
}
// What must not be attacked: the king's start, the squares it passes and its destination.
constexpr Bitboard castle_safe_of(int king, int king_to) { return rank_span(king, king_to); }
static_assert(castle_path_of(4, 7, 6, 5) == 0x60 && castle_path_of(4, 0, 2, 3) == 0x0E,
              "standard castling: f1 g1 empty; b1 c1 d1 empty");
static_assert(castle_safe_of(60, 62) == 0x7000000000000000ull, "e8 f8 g8 safe");
static_assert(castle_path_of(1, 0, 2, 3) == 0x0C && castle_safe_of(6, 6) == 0x40,
              "Chess960: king b1 rook a1 long needs c1 d1; king g1 short passes only g1");

static_assert(king_attacks[0] == 0x302, "a1 sees b1, a2 and b2");
static_assert(knight_attacks[0] == 0x20400, "a1 jumps to b3 and c2");
static_assert(pawn_attacks[WHITE][8] == 0x20000 && pawn_attacks[BLACK][8] == 0x2);
static_assert(pawn_attacks[WHITE][56] == 0 && pawn_attacks[BLACK][0] == 0);
static_assert(forward_square[WHITE][63] == NO_SQUARE && forward_square[BLACK][0] == NO_SQUARE);

// Line tables, [from][to]. between: the squares strictly between two aligned squares.
// ray_through: from next to the first square, through the second, to the board edge.
extern const Bitboard (&between)[64][64];
extern const Bitboard (&ray_through)[64][64];

// Magic attack tables. A square's block is indexed by the product of the masked
// occupancy's 32-bit halves with the magic's halves, shifted down by its shift.
struct MagicSquare {
    Bitboard        mask;      // relevant occupancy, board edges left out
    std::uint32_t   magic_lo;  // low half of the multiplier
    std::uint32_t   magic_hi;  // high half
    int             shift;     // 32 minus the number of mask squares
    const Bitboard* block;     // first entry of the square's block in the attack table
};
constexpr int ROOK_TABLE_SIZE   = 102400;
constexpr int BISHOP_TABLE_SIZE = 5248;

extern const MagicSquare (&rook_magics)[64];
extern const MagicSquare (&bishop_magics)[64];
extern const int (&rook_offset)[64];    // start of each square's block in rook_table
extern const int (&bishop_offset)[64];  // start of each square's block in bishop_table
extern const Bitboard (&rook_table)[ROOK_TABLE_SIZE];
extern const Bitboard (&bishop_table)[BISHOP_TABLE_SIZE];
// The constant multipliers, a1 first.
extern const std::uint64_t rook_magic[64];
extern const std::uint64_t bishop_magic[64];

// Start-up: line tables first, then the magic tables (rooks, then bishops).
void init_line_tables();
void init_magics();

inline unsigned magic_index(const MagicSquare& m, Bitboard occ) {
    const Bitboard      masked = occ & m.mask;
    const std::uint32_t lo     = static_cast<std::uint32_t>(masked) * m.magic_lo;
    const std::uint32_t hi     = static_cast<std::uint32_t>(masked >> 32) * m.magic_hi;
    return (lo ^ hi) >> m.shift;
}
// Attack sets include the first blocker of either colour; callers mask their own pieces.
inline Bitboard rook_attacks(int sq, Bitboard occ) {
    const MagicSquare& m = rook_magics[sq];
    return m.block[magic_index(m, occ)];
}
inline Bitboard bishop_attacks(int sq, Bitboard occ) {
    const MagicSquare& m = bishop_magics[sq];
    return m.block[magic_index(m, occ)];
}
inline Bitboard queen_attacks(int sq, Bitboard occ) {
    return rook_attacks(sq, occ) | bishop_attacks(sq, occ);
}
