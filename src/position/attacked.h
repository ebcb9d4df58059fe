// position/attacked.h: the attack questions asked all over the engine, answered from
// the position's bitboards and the attack tables.
#pragma once

#include "position/attacks.h"
#include "position/position.h"

// True when a piece of colour 1 - defender attacks sq under the occupancy all.
// Tests run pawn, knight, king, diagonal sliders, straight sliders.
inline bool is_square_attacked(int defender, int sq, Bitboard all) {
    const Position& pos = position();
    const int       a   = 1 - defender;
    if (pawn_attacks[defender][sq] & pos.pieces[a][PAWN])
        return true;
    if (knight_attacks[sq] & pos.pieces[a][KNIGHT])
        return true;
    if (king_attacks[sq] & pos.pieces[a][KING])
        return true;
    // A slider's attacks are looked up only when one stands on a line through sq.
    const Bitboard diagonal = pos.pieces[a][BISHOP] | pos.pieces[a][QUEEN];
    if ((bishop_lines_of[sq] & diagonal) && (bishop_attacks(sq, all) & diagonal))
        return true;
    const Bitboard straight = pos.pieces[a][ROOK] | pos.pieces[a][QUEEN];
    return (rook_lines_of[sq] & straight) && (rook_attacks(sq, all) & straight);
}

// True when side may castle on wing (0 short, 1 long) now, under the occupancy all: it
// holds the right, every square the king or the rook crosses or ends on is empty, and no
// square from the king's start to its destination is attacked. The one castling test of
// the generators and the validity test.
inline bool can_castle(int side, int wing, Bitboard all) {
    const Position& pos   = position();
    const int       right = wing == 0 ? CASTLE_SHORT : CASTLE_LONG;
    if (!(pos.castle_rights[side] & right) || (pos.castle_path[side][wing] & all))
        return false;
    for (Bitboard b = pos.castle_safe[side][wing]; b; b &= b - 1)
        if (is_square_attacked(side, lsb_index(b), all))
            return false;
    return true;
}

// True when the side to move's king is attacked.
inline bool in_check() {
    const Position& pos = position();
    const int       us  = pos.side_to_move;
    return is_square_attacked(us, pos.king_square[us], pos.occupancy[0] | pos.occupancy[1]);
}

// Every piece of colour c attacking sq under the present occupancy.
Bitboard attackers_of(int sq, int colour);
// c's pieces that alone stand between one of c's sliders and the enemy king.
Bitboard discovered_check_candidates(int colour);
// True when the pseudo-legal move, not yet made, attacks the opponent's king.
bool gives_check(Move m);
