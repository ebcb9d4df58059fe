// eval/pieces.cpp: king placement, mobility and placement of the pieces, with their
// contributions to the king-safety counters.
#include "eval/pieces.h"

#include "eval/king_safety.h"
#include "eval/pawns.h"
#include "position/attacks.h"
#include "position/bitboard.h"
#include "position/position.h"

namespace {

constexpr Bitboard bit(int sq) { return Bitboard{1} << sq; }

// Trapped-rook patterns, [colour]: a king on one of the first squares with an own rook on
// one of the second.
constexpr Bitboard short_trap_king[2] = {bit(61) | bit(62), bit(5) | bit(6)};  // f8 g8, f1 g1
constexpr Bitboard short_trap_rook[2] = {bit(62) | bit(63) | bit(55),          // g8 h8 h7
                                         bit(6) | bit(7) | bit(15)};           // g1 h1 h2
constexpr Bitboard long_trap_king[2]  = {bit(57) | bit(58), bit(1) | bit(2)};  // b8 c8, b1 c1
constexpr Bitboard long_trap_rook[2]  = {bit(56) | bit(57) | bit(48),          // a8 b8 a7
                                         bit(0) | bit(1) | bit(8)};            // a1 b1 a2

constexpr int seventh_rank[2]    = {1, 6};  // [colour]: the enemy's pawn starting rank
constexpr int enemy_home_rank[2] = {0, 7};  // [colour]: the enemy king's first rank

}  // namespace

void evaluate_king_placement(EvalState& st, int colour) {
    const Position& pos = position();
    const int       c   = colour;
    if (pos.castled[c] != 0) {
        st.mg[c] += 20;
    } else {
        // Uncastled without rights costs more while the enemy still has a queen.
        const int k = pos.piece_count[1 - c][QUEEN] > 0 ? 2 : 1;
        if (pos.castle_rights[c] == 0)
            st.mg[c] -= 20 * k;
        else if (pos.castle_rights[c] != (CASTLE_SHORT | CASTLE_LONG))
            st.mg[c] -= 10 * k;
    }
    const Bitboard king  = square_bit[pos.king_square[c]];
    const Bitboard rooks = pos.pieces[c][ROOK];
    if ((king & short_trap_king[c]) && (rooks & short_trap_rook[c]))
        st.mg[c] -= 50;
    if ((king & long_trap_king[c]) && (rooks & long_trap_rook[c]))
        st.mg[c] -= 50;
}

void evaluate_knights(EvalState& st, int colour) {
    const Position& pos         = position();
    const int       c           = colour;
    const int       e           = 1 - c;
    const Bitboard  zone        = king_attacks[pos.king_square[e]];
    const bool      attacking   = (st.material_flags & attack_flag(c)) != 0;
    const Bitboard  free        = ~pos.occupancy[c] & ~st.pawn_attacks_of[e];
    const Bitboard  enemy_pawns = pos.pieces[e][PAWN];
    const bool      outposts    = pos.piece_count[e][PAWN] > 4;
    for (Bitboard b = pos.pieces[c][KNIGHT]; b; b &= b - 1) {
        const int      sq      = lsb_index(b);
        const Bitboard targets = knight_attacks[sq];
        st.attack_map[c] |= targets;
        const int mobility = 4 * (popcount(targets & free) - 2);
        st.mg[c] += mobility;
        st.eg[c] += mobility;

        if (attacking)
            st.king_pressure[c] += tropism_knight[king_distance(sq, pos.king_square[e])];
        st.king_pressure[e] -= guard_knight[king_distance(sq, pos.king_square[c])];
        if (targets & zone) {
            st.attack_count[c] += 1;
            st.attack_weight[c] += 1;
        }

        if (outposts && (st.pawn_attacks_of[c] & square_bit[sq])
            && (passed_span[c][sq] & adjacent_files[file_of(sq)] & enemy_pawns) == 0) {
            st.mg[c] += outpost_bonus[c][sq];
            st.eg[c] += outpost_bonus[c][sq];
        }
    }
}

void evaluate_bishops(EvalState& st, int colour) {
    const Position& pos       = position();
    const int       c         = colour;
    const int       e         = 1 - c;
    const Bitboard  zone      = king_attacks[pos.king_square[e]];
    const bool      attacking = (st.material_flags & attack_flag(c)) != 0;
    const Bitboard  all       = pos.occupancy[WHITE] | pos.occupancy[BLACK];
    // A bishop sees through its own bishops and queens.
    const Bitboard occupied  = all & ~(pos.pieces[c][BISHOP] | pos.pieces[c][QUEEN]);
    const Bitboard own_pawns = pos.pieces[c][PAWN];
    for (Bitboard b = pos.pieces[c][BISHOP]; b; b &= b - 1) {
        const int      sq      = lsb_index(b);
        const Bitboard targets = bishop_attacks(sq, occupied);
        st.attack_map[c] |= targets;
        const int mobility = 5 * (popcount(targets & ~pos.occupancy[c]) - 6);
        st.mg[c] += mobility;
        st.eg[c] += mobility;

        const bool hits_zone = (targets & zone) != 0;
        if (attacking)
            st.king_pressure[c] +=
                tropism_bishop[hits_zone ? 1 : king_distance(sq, pos.king_square[e])];
        if (hits_zone) {
            st.attack_count[c] += 1;
            st.attack_weight[c] += 1;
        }

        // Own pawns on the bishop's forward diagonals that cannot move on.
        const Bitboard diagonal = own_pawns & pawn_attacks[c][sq];
        if (diagonal) {
            const Bitboard ahead = c == WHITE ? diagonal << 8 : diagonal >> 8;
            if (const int blocked = popcount(ahead & all)) {
                const int weight = blocked * bishop_block_weight[c][sq];
                st.mg[c] -= 8 * weight;
                st.eg[c] -= 10 * weight;
            }
        }
    }
}

void evaluate_rooks(EvalState& st, int colour) {
    const Position& pos        = position();
    const int       c          = colour;
    const int       e          = 1 - c;
    const int       enemy_king = pos.king_square[e];
    const Bitboard  zone       = king_attacks[enemy_king];
    const bool      attacking  = (st.material_flags & attack_flag(c)) != 0;
    const Bitboard  all        = pos.occupancy[WHITE] | pos.occupancy[BLACK];
    // A rook sees through its own rooks and queens.
    const Bitboard occupied            = all & ~(pos.pieces[c][ROOK] | pos.pieces[c][QUEEN]);
    const bool     on_seventh_possible = rank_of(enemy_king) == enemy_home_rank[c];
    for (Bitboard b = pos.pieces[c][ROOK]; b; b &= b - 1) {
        const int      sq      = lsb_index(b);
        const Bitboard targets = rook_attacks(sq, occupied);
        st.attack_map[c] |= targets;
        const int mobility = popcount(targets & ~pos.occupancy[c]) - 7;
        st.mg[c] += 2 * mobility;
        st.eg[c] += 4 * mobility;

        const bool hits_zone = (targets & zone) != 0;
        if (attacking)
            st.king_pressure[c] += tropism_rook[hits_zone ? 1 : king_distance(sq, enemy_king)];
        if (hits_zone) {
            st.attack_count[c] += 1;
            st.attack_weight[c] += 2;
        }

        if (rook_attacks(sq, all) & pos.pieces[c][ROOK]) {
            st.mg[c] += rook_pair_bonus[c][sq];
            st.eg[c] += 2 * rook_pair_bonus[c][sq];
        }

        // Files: -10 with an own pawn on it, 0 half-open, +10 open; near the enemy king a
        // (half-)open file is worth more in the middle game.
        const int f = file_of(sq);
        st.mg[c] -= 10;
        st.eg[c] -= 10;
        if ((pos.pieces[c][PAWN] & file_mask[f]) == 0) {
            st.mg[c] += 10;
            st.eg[c] += 10;
            if ((pos.pieces[e][PAWN] & file_mask[f]) == 0) {
                st.mg[c] += 10;
                st.eg[c] += 10;
            }
            const int apart = abs_int(f - file_of(enemy_king));
            if (apart <= 1)
                st.mg[c] += 10;
            if (apart == 0)
                st.mg[c] += 10;
        }

        if (on_seventh_possible && rank_of(sq) == seventh_rank[c]) {
            st.mg[c] += 20;
            st.eg[c] += 40;
        }
    }
}

void evaluate_queens(EvalState& st, int colour) {
    const Position& pos                 = position();
    const int       c                   = colour;
    const int       e                   = 1 - c;
    const int       enemy_king          = pos.king_square[e];
    const Bitboard  zone                = king_attacks[enemy_king];
    const bool      attacking           = (st.material_flags & attack_flag(c)) != 0;
    const Bitboard  all                 = pos.occupancy[WHITE] | pos.occupancy[BLACK];
    const bool      on_seventh_possible = rank_of(enemy_king) == enemy_home_rank[c];
    for (Bitboard b = pos.pieces[c][QUEEN]; b; b &= b - 1) {
        const int      sq      = lsb_index(b);
        const Bitboard targets = queen_attacks(sq, all);
        st.attack_map[c] |= targets;
        const int mobility = popcount(targets & ~pos.occupancy[c]) - 13;
        st.mg[c] += mobility;
        st.eg[c] += 2 * mobility;

        if (attacking)
            st.king_pressure[c] += tropism_queen[king_distance(sq, enemy_king)];
        st.king_pressure[e] -= guard_queen[king_distance(sq, pos.king_square[c])];
        if (targets & zone) {
            st.attack_count[c] += 1;
            st.attack_weight[c] += 4;
        }

        if (on_seventh_possible && rank_of(sq) == seventh_rank[c]) {
            st.mg[c] += 10;
            st.eg[c] += 20;
        }
    }
}
