#include "movegen/quiets.h"

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

}  // namespace

namespace {

// Compiled once per side to move, so the colour rows, shifts and home squares are constants.
template <int Us> void generate_quiets_as(int start, MoveList& list) {
    const Position& pos   = position();
    constexpr int   us    = Us;
    const Bitboard  all   = pos.occupancy[0] | pos.occupancy[1];
    const Bitboard  empty = ~all;
    Move*           out   = list.moves + start;

    const int      forward = PAWN_FORWARD[us];
    const Bitboard singles = shift_forward(us, pos.pieces[us][PAWN]) & empty & ~LAST_RANK_BB[us];
    const Bitboard doubles = shift_forward(us, singles & THIRD_RANK_BB[us]) & empty;
    if (batch_fits(list, out, popcount(singles) + popcount(doubles))) {
        for (Bitboard b = singles; b; b &= b - 1) {
            const int to = lsb_index(b);
            *out++       = make_quiet(to - forward, to);
        }
        for (Bitboard b = doubles; b; b &= b - 1) {
            const int to = lsb_index(b);
            *out++       = make_quiet(to - 2 * forward, to);
        }
    }

    for (Bitboard b = pos.pieces[us][KNIGHT]; b; b &= b - 1) {
        const int from = lsb_index(b);
        out            = append_quiets(list, out, from, knight_attacks[from] & empty);
    }
    for (Bitboard b = pos.pieces[us][BISHOP]; b; b &= b - 1) {
        const int from = lsb_index(b);
        out            = append_quiets(list, out, from, bishop_attacks(from, all) & empty);
    }
    for (Bitboard b = pos.pieces[us][ROOK]; b; b &= b - 1) {
        const int from = lsb_index(b);
        out            = append_quiets(list, out, from, rook_attacks(from, all) & empty);
    }
    for (Bitboard b = pos.pieces[us][QUEEN]; b; b &= b - 1) {
        const int from = lsb_index(b);
        out            = append_quiets(list, out, from, queen_attacks(from, all) & empty);
    }
    const int king = pos.king_square[us];
    out            = append_quiets(list, out, king, king_attacks[king] & empty);

    if (batch_fits(list, out, 2)) {
        if (can_castle(us, 0, all))
            *out++ = make_castle(king, king_castled[us][0], FLAG_CASTLE_SHORT);
        if (can_castle(us, 1, all))
            *out++ = make_castle(king, king_castled[us][1], FLAG_CASTLE_LONG);
    }

    list.count = static_cast<int>(out - list.moves);
}

}  // namespace

void generate_quiets(int start, MoveList& list) {
    if (position().side_to_move == WHITE)
        generate_quiets_as<WHITE>(start, list);
    else
        generate_quiets_as<BLACK>(start, list);
}
