#include "movegen/quiet_checks.h"

#include "movegen/pawn_steps.h"
#include "position/attacked.h"
#include "position/attacks.h"
#include "position/move.h"
#include "position/position.h"

namespace {

Move* append_quiets(const MoveList& list, Move* out, int from, Bitboard dests) {
    if (!batch_fits(list, out, popcount(dests)))
        return out;
    for (; dests; dests &= dests - 1)
        *out++ = make_quiet(from, lsb_index(dests));
    return out;
}

Move* append_pushes(Move* out, Bitboard dests, int delta) {
    for (; dests; dests &= dests - 1) {
        const int to = lsb_index(dests);
        *out++       = make_quiet(to - delta, to);
    }
    return out;
}

// The checking moves of a piece on from with the empty squares reach: when it shields
// the enemy king e from an own slider, every move off that line; plus the squares from
// which it attacks e itself (direct).
Bitboard checking_squares(int from, Bitboard reach, Bitboard shields, int e, Bitboard direct) {
    Bitboard dests = reach & direct;
    if (shields & square_bit[from])
        dests |= reach & ~ray_through[e][from];
    return dests;
}

}  // namespace

namespace {

// Compiled once per side to move, so the colour rows, shifts and home squares are constants.
template <int Us> void generate_quiet_checks_as(MoveList& list) {
    const Position& pos   = position();
    constexpr int   us    = Us;
    constexpr int   them  = 1 - us;
    const int       e     = pos.king_square[them];
    const Bitboard  all   = pos.occupancy[0] | pos.occupancy[1];
    const Bitboard  empty = ~all;
    const Bitboard  D     = discovered_check_candidates(us);
    Move*           out   = list.moves;

    // Pawn pushes that uncover a check; a pawn on the king's file keeps shielding it.
    const int      forward   = PAWN_FORWARD[us];
    const Bitboard e_file    = FILE_A_BB << file_of(e);
    const Bitboard uncovered = shift_forward(us, pos.pieces[us][PAWN] & D & ~e_file) & empty;
    const Bitboard singles   = uncovered & ~LAST_RANK_BB[us];
    out                      = append_pushes(out, singles, forward);
    out = append_pushes(out, shift_forward(us, singles & THIRD_RANK_BB[us]) & empty, 2 * forward);

    // Pawn pushes that check directly.
    const Bitboard check_squares = pawn_attacks[them][e];
    const Bitboard all_singles =
        shift_forward(us, pos.pieces[us][PAWN]) & empty & ~LAST_RANK_BB[us];
    out = append_pushes(out, all_singles & check_squares, forward);
    out = append_pushes(out,
                        shift_forward(us, all_singles & THIRD_RANK_BB[us]) & empty & check_squares,
                        2 * forward);

    for (Bitboard b = pos.pieces[us][KNIGHT]; b; b &= b - 1) {
        const int from = lsb_index(b);
        out            = append_quiets(
                       list, out, from,
                       checking_squares(from, knight_attacks[from] & empty, D, e, knight_attacks[e]));
    }
    const Bitboard bishop_checks = bishop_attacks(e, all);
    for (Bitboard b = pos.pieces[us][BISHOP]; b; b &= b - 1) {
        const int from = lsb_index(b);
        out            = append_quiets(
                       list, out, from,
                       checking_squares(from, bishop_attacks(from, all) & empty, D, e, bishop_checks));
    }
    const Bitboard rook_checks = rook_attacks(e, all);
    for (Bitboard b = pos.pieces[us][ROOK]; b; b &= b - 1) {
        const int from = lsb_index(b);
        out            = append_quiets(
                       list, out, from,
                       checking_squares(from, rook_attacks(from, all) & empty, D, e, rook_checks));
    }
    for (Bitboard b = pos.pieces[us][QUEEN]; b; b &= b - 1) {
        const int from = lsb_index(b);
        out            = append_quiets(list, out, from,
                                       checking_squares(from, queen_attacks(from, all) & empty, D, e,
                                                        rook_checks | bishop_checks));
    }
    const int king = pos.king_square[us];
    if (D & square_bit[king])
        out = append_quiets(list, out, king, king_attacks[king] & empty & ~ray_through[e][king]);

    // Castling checks when the rook's landing square sees e under the present occupancy.
    // The king still stands on its square, so a check along the back rank through that
    // square (enemy king on the c- or b-file, say, for short castling) is not seen here;
    // gives_check sees it, and the quiescence search merely goes without that move.
    if (batch_fits(list, out, 2)) {
        if (can_castle(us, 0, all) && (rook_checks & square_bit[rook_castled[us][0]]))
            *out++ = make_castle(king, king_castled[us][0], FLAG_CASTLE_SHORT);
        if (can_castle(us, 1, all) && (rook_checks & square_bit[rook_castled[us][1]]))
            *out++ = make_castle(king, king_castled[us][1], FLAG_CASTLE_LONG);
    }

    list.count = static_cast<int>(out - list.moves);
}

}  // namespace

void generate_quiet_checks(MoveList& list) {
    if (position().side_to_move == WHITE)
        generate_quiet_checks_as<WHITE>(list);
    else
        generate_quiet_checks_as<BLACK>(list);
}
