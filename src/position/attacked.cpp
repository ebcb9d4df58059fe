// position/attacked.cpp: attackers of a square, discovered-check candidates and the
// gives-check test, answered from the tables without making the move.
#include "position/attacked.h"

#include "position/move.h"

Bitboard attackers_of(int sq, int colour) {
    const Position& pos = position();
    const Bitboard  all = pos.occupancy[0] | pos.occupancy[1];
    const Bitboard* own = pos.pieces[colour];
    return (pawn_attacks[1 - colour][sq] & own[PAWN]) | (knight_attacks[sq] & own[KNIGHT])
           | (bishop_attacks(sq, all) & (own[BISHOP] | own[QUEEN]))
           | (rook_attacks(sq, all) & (own[ROOK] | own[QUEEN])) | (king_attacks[sq] & own[KING]);
}

Bitboard discovered_check_candidates(int colour) {
    const Position& pos = position();
    const int       k   = pos.king_square[1 - colour];
    const Bitboard* own = pos.pieces[colour];
    // An empty occupancy hashes to the first entry of the square's block.
    Bitboard sliders = ((own[ROOK] | own[QUEEN]) & rook_magics[k].block[0])
                       | ((own[BISHOP] | own[QUEEN]) & bishop_magics[k].block[0]);
    Bitboard candidates = 0;
    for (; sliders; sliders &= sliders - 1) {
        const Bitboard line = between[lsb_index(sliders)][k];
        const Bitboard mine = line & pos.occupancy[colour];
        if (mine && (mine & (mine - 1)) == 0 && (line & pos.occupancy[1 - colour]) == 0)
            candidates |= mine;
    }
    return candidates;
}

namespace {

// A piece of colour going from one square to another uncovers a check of the king on k:
// it leaves the line between k and one of colour's sliders.
[[gnu::always_inline]] inline bool discovers_check(int colour, int k, int from, int to) {
    const Bitboard line = ray_through[k][from];
    return line != 0 && (line & square_bit[to]) == 0
           && (discovered_check_candidates(colour) & square_bit[from]) != 0;
}

// Compiled once per side to move, as make_move is: the colour rows are constants.
template <int Us> [[gnu::always_inline]] inline bool gives_check_as(Move m) {
    constexpr int   side  = Us;
    constexpr int   opp   = 1 - Us;
    const Position& pos   = position();
    const int       k     = pos.king_square[opp];
    const int       from  = move_from(m);
    const int       to    = move_to(m);
    const int       mover = pos.board[side][from];
    const Bitboard  all   = pos.occupancy[0] | pos.occupancy[1];
    const Bitboard* own   = pos.pieces[side];

    switch (mover) {
        case PAWN: {
            if (pawn_attacks[side][to] & square_bit[k])
                return true;
            if (discovers_check(side, k, from, to))
                return true;
            if (m & FLAG_PROMOTION) {
                const Bitboard occ = all & ~square_bit[from];
                Bitboard       att = 0;
                switch (move_promotion(m)) {
                    case KNIGHT: att = knight_attacks[to]; break;
                    case BISHOP: att = bishop_attacks(to, occ); break;
                    case ROOK: att = rook_attacks(to, occ); break;
                    case QUEEN: att = queen_attacks(to, occ); break;
                    default: return false;
                }
                return (att & square_bit[k]) != 0;
            }
            if (m & FLAG_EN_PASSANT) {
                const Bitboard occ =
                    (all & ~square_bit[from] & ~square_bit[forward_square[opp][to]])
                    | square_bit[to];
                return (rook_attacks(k, occ) & (own[ROOK] | own[QUEEN]))
                       || (bishop_attacks(k, occ) & (own[BISHOP] | own[QUEEN]));
            }
            return false;
        }
        case KNIGHT:
            return (knight_attacks[to] & square_bit[k]) || discovers_check(side, k, from, to);
        case BISHOP:
            return (bishop_attacks(to, all) & square_bit[k]) || discovers_check(side, k, from, to);
        case ROOK:
            return (rook_attacks(to, all) & square_bit[k]) || discovers_check(side, k, from, to);
        case QUEEN:
            return (queen_attacks(to, all) & square_bit[k]) || discovers_check(side, k, from, to);
        case KING: {
            if (m & (FLAG_CASTLE_SHORT | FLAG_CASTLE_LONG)) {
                const int      side_index = (m & FLAG_CASTLE_SHORT) ? 0 : 1;
                const int      rook_to    = rook_castled[side][side_index];
                const int      rook_from  = position().castle_rook[side][side_index];
                const Bitboard occ        = (all & ~square_bit[rook_from] & ~square_bit[from])
                                     | square_bit[rook_to] | square_bit[to];
                return (rook_attacks(rook_to, occ) & square_bit[k]) != 0;
            }
            return discovers_check(side, k, from, to);
        }
        default: return false;
    }
}

}  // namespace

bool gives_check(Move m) {
    return position().side_to_move == WHITE ? gives_check_as<WHITE>(m) : gives_check_as<BLACK>(m);
}
