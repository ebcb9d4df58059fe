#include "movegen/captures.h"

#include "movegen/pawn_steps.h"
#include "position/attacks.h"
#include "position/move.h"
#include "position/position.h"

namespace {

// The promotion pieces in the order every generator appends them.
constexpr int PROMOTION_ORDER[4] = {QUEEN, ROOK, KNIGHT, BISHOP};

// Pawn captures onto the squares of dests, each from to - delta: four capturing
// promotions on the first or last rank, en passant onto ep_square, else a plain capture.
Move* append_pawn_captures(Move* out, Bitboard dests, int delta, int ep_square) {
    for (; dests; dests &= dests - 1) {
        const int to   = lsb_index(dests);
        const int from = to - delta;
        if (to < 8 || to > 55) {
            for (const int piece : PROMOTION_ORDER)
                *out++ = make_promotion(from, to, piece, true);
        } else if (to == ep_square) {
            *out++ = make_en_passant(from, to);
        } else {
            *out++ = make_capture(from, to);
        }
    }
    return out;
}

Move* append_captures(Move* out, int from, Bitboard dests) {
    for (; dests; dests &= dests - 1)
        *out++ = make_capture(from, lsb_index(dests));
    return out;
}

}  // namespace

namespace {

// Compiled once per side to move, so the colour rows, shifts and home squares are constants.
template <int Us> void generate_captures_as(MoveList& list) {
    const Position& pos  = position();
    constexpr int   us   = Us;
    constexpr int   them = 1 - us;
    // Never the king: a game position has it out of reach, but "white" and "black" can
    // hand the move to the side giving check, and taking the king would wreck the record.
    const Bitboard targets = pos.occupancy[them] & ~pos.pieces[them][KING];
    const Bitboard all     = pos.occupancy[0] | pos.occupancy[1];
    const Bitboard pawns   = pos.pieces[us][PAWN];
    Move*          out     = list.moves;

    const int forward = PAWN_FORWARD[us];
    for (Bitboard b = shift_forward(us, pawns) & ~all & LAST_RANK_BB[us]; b; b &= b - 1) {
        const int to = lsb_index(b);
        for (const int piece : PROMOTION_ORDER)
            *out++ = make_promotion(to - forward, to, piece, false);
    }
    const Bitboard victims = targets | square_bit[pos.ep_square];
    out = append_pawn_captures(out, shift_diag_1(us, pawns) & victims, PAWN_DIAG_1[us],
                               pos.ep_square);
    out = append_pawn_captures(out, shift_diag_2(us, pawns) & victims, PAWN_DIAG_2[us],
                               pos.ep_square);

    for (Bitboard b = pos.pieces[us][KNIGHT]; b; b &= b - 1) {
        const int from = lsb_index(b);
        out            = append_captures(out, from, knight_attacks[from] & targets);
    }
    for (Bitboard b = pos.pieces[us][BISHOP]; b; b &= b - 1) {
        const int from = lsb_index(b);
        out            = append_captures(out, from, bishop_attacks(from, all) & targets);
    }
    for (Bitboard b = pos.pieces[us][ROOK]; b; b &= b - 1) {
        const int from = lsb_index(b);
        out            = append_captures(out, from, rook_attacks(from, all) & targets);
    }
    for (Bitboard b = pos.pieces[us][QUEEN]; b; b &= b - 1) {
        const int from = lsb_index(b);
        out            = append_captures(out, from, queen_attacks(from, all) & targets);
    }
    const int king = pos.king_square[us];
    out            = append_captures(out, king, king_attacks[king] & targets);

    list.count = static_cast<int>(out - list.moves);
}

}  // namespace

void generate_captures(MoveList& list) {
    if (position().side_to_move == WHITE)
        generate_captures_as<WHITE>(list);
    else
        generate_captures_as<BLACK>(list);
}
