// position/valid_move.cpp: the pseudo-legality test for move words of unsure origin.
// Changes nothing; every failed check answers false at once.
#include "position/valid_move.h"

#include "position/attacked.h"
#include "position/attacks.h"
#include "position/move.h"

namespace {

// A castling word: the king's move from its square to its destination on the g- or c-file
// with one flag, nothing else set. King and destination may be one square, and the
// destination may hold the castling rook, so this is tested before the checks of other
// words. The rights stand for the king and rook on their start squares.
bool castling_is_valid(Move m) {
    const Position& pos  = position();
    const int       side = pos.side_to_move;
    const int       from = move_from(m);
    const int       to   = move_to(m);
    if ((m & ~(Move{0xfff} | CASTLE_FLAGS)) != NO_PROMOTION || (m & CASTLE_FLAGS) == CASTLE_FLAGS)
        return false;
    const int wing = (m & FLAG_CASTLE_SHORT) ? 0 : 1;
    if (from != pos.king_square[side] || to != king_castled[side][wing])
        return false;
    return can_castle(side, wing, pos.occupancy[0] | pos.occupancy[1]);
}

}  // namespace

bool is_valid_move(Move m) {
    const Position& pos  = position();
    const int       side = pos.side_to_move;
    const int       opp  = 1 - side;
    const int       from = move_from(m);
    const int       to   = move_to(m);
    const Bitboard  all  = pos.occupancy[0] | pos.occupancy[1];

    if (m & CASTLE_FLAGS)
        return m != NULL_MOVE && castling_is_valid(m);
    if (m == NO_MOVE || from == to || pos.board[side][to] != NO_PIECE)
        return false;
    // Bits above the flags are never set in a real move.
    if (m >> 20)
        return false;
    const int mover  = pos.board[side][from];
    const int victim = pos.board[opp][to];
    if (mover == NO_PIECE || !(pos.pieces[side][mover] & square_bit[from]))
        return false;
    if (m & FLAG_CAPTURE) {
        const bool en_passant = victim == NO_PIECE && (m & FLAG_EN_PASSANT);
        const bool capture =
            victim != NO_PIECE && (pos.pieces[opp][victim] & square_bit[to]) && victim != KING;
        if (!en_passant && !capture)
            return false;
    } else if (victim != NO_PIECE) {
        return false;
    }

    const int df       = file_of(to) - file_of(from);
    const int dr       = rank_of(to) - rank_of(from);
    const int distance = max_int(abs_int(df), abs_int(dr));
    // Only the capture flag may ride on a piece move.
    const bool plain_flags   = (m & (CASTLE_FLAGS | FLAG_PROMOTION | FLAG_EN_PASSANT)) == 0;
    const bool no_promotion  = (m & PROMOTION_FIELD) == NO_PROMOTION;
    const bool line_is_clear = distance == 1 || (between[from][to] && !(between[from][to] & all));

    switch (mover) {
        case PAWN: {
            if (side == WHITE ? to <= from : to >= from)
                return false;
            const bool promotion_marked = !no_promotion;
            if (abs_int(from - to) == 16) {
                // A double push carries no promotion marks and captures nothing.
                if (promotion_marked || (m & (FLAG_PROMOTION | FLAG_CAPTURE | FLAG_EN_PASSANT)))
                    return false;
                if (all & (square_bit[forward_square[side][from]] | square_bit[to]))
                    return false;
                return rank_of(from) == pawn_start_rank[side];
            }
            const bool flagged  = (m & FLAG_PROMOTION) != 0;
            const bool last_row = rank_of(to) == back_rank[opp];
            if (promotion_marked != flagged || flagged != last_row)
                return false;
            if (flagged && (move_promotion(m) < KNIGHT || move_promotion(m) > QUEEN))
                return false;
            if (abs_int(from - to) == 8)
                return !(m & (FLAG_CAPTURE | FLAG_EN_PASSANT)) && !(all & square_bit[to]);
            if (abs_int(df) != 1 || abs_int(dr) != 1 || !(m & FLAG_CAPTURE))
                return false;
            if (!(m & FLAG_EN_PASSANT))
                return true;
            return !flagged && !(all & square_bit[to]) && to == pos.ep_square
                   && (pos.pieces[opp][PAWN] & square_bit[forward_square[opp][to]]);
        }
        case KNIGHT: return plain_flags && no_promotion && distance == 2 && between[from][to] == 0;
        case BISHOP:
            return plain_flags && no_promotion && df != 0 && dr != 0 && abs_int(df) == abs_int(dr)
                   && line_is_clear;
        case ROOK: return plain_flags && no_promotion && (df == 0 || dr == 0) && line_is_clear;
        case QUEEN:
            return plain_flags && no_promotion && (df == 0 || dr == 0 || abs_int(df) == abs_int(dr))
                   && line_is_clear;
        case KING:
            if (!no_promotion || (m & (FLAG_PROMOTION | FLAG_EN_PASSANT)))
                return false;
            return distance == 1;
        default: return false;
    }
}
