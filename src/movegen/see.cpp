#include "movegen/see.h"

#include "position/attacks.h"
#include "position/move.h"
#include "position/position.h"

int static_exchange(Move m) {
    const Position& pos  = position();
    const int       us   = pos.side_to_move;
    const int       them = 1 - us;
    const int       from = move_from(m);
    const int       to   = move_to(m);

    // gain[n]: what the side making the n-th capture has won if the exchange stops there.
    // At most 32 pieces can take part, so 32 entries cannot overflow.
    int gain[32];
    int on_square;  // value of the piece standing on to
    if (m & FLAG_PROMOTION) {
        on_square = see_value[move_promotion(m)];
        gain[0]   = see_value[pos.board[them][to]] + on_square - see_value[PAWN];
    } else {
        on_square = see_value[pos.board[us][from]];
        gain[0]   = see_value[pos.board[them][to]];
    }

    const Bitboard straight =
        pos.pieces[0][ROOK] | pos.pieces[0][QUEEN] | pos.pieces[1][ROOK] | pos.pieces[1][QUEEN];
    const Bitboard diagonal =
        pos.pieces[0][BISHOP] | pos.pieces[0][QUEEN] | pos.pieces[1][BISHOP] | pos.pieces[1][QUEEN];
    Bitboard occ = (pos.occupancy[0] | pos.occupancy[1]) & ~square_bit[from];
    // Removing from first lets a slider behind the moving piece join from the start.
    Bitboard attackers =
        ((pawn_attacks[BLACK][to] & pos.pieces[WHITE][PAWN])
         | (pawn_attacks[WHITE][to] & pos.pieces[BLACK][PAWN])
         | (knight_attacks[to] & (pos.pieces[0][KNIGHT] | pos.pieces[1][KNIGHT]))
         | (king_attacks[to] & (pos.pieces[0][KING] | pos.pieces[1][KING]))
         | (bishop_attacks(to, occ) & diagonal) | (rook_attacks(to, occ) & straight))
        & occ;

    int side = them;
    int n    = 0;
    while (attackers) {
        int      piece = PAWN;
        Bitboard mine  = 0;
        for (; piece <= KING; ++piece)
            if ((mine = pos.pieces[side][piece] & attackers) != 0)
                break;
        if (!mine)
            break;
        occ &= ~(mine & (~mine + 1));  // the cheapest attacker on the lowest square
        if (piece == PAWN || piece == BISHOP || piece == QUEEN)
            attackers |= bishop_attacks(to, occ) & diagonal;
        if (piece == ROOK || piece == QUEEN)
            attackers |= rook_attacks(to, occ) & straight;
        ++n;
        gain[n] = on_square - gain[n - 1];
        if (on_square == see_value[KING])
            break;
        on_square = see_value[piece];
        side      = 1 - side;
        attackers &= occ;
    }
    while (--n >= 0)
        gain[n] = min_int(gain[n], -gain[n + 1]);
    return gain[0];
}
