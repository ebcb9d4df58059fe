#include "movegen/evasions.h"

#include "movegen/pawn_steps.h"
#include "position/attacked.h"
#include "position/attacks.h"
#include "position/move.h"
#include "position/position.h"

namespace {

constexpr int PROMOTION_ORDER[4] = {QUEEN, ROOK, KNIGHT, BISHOP};

// Pawn moves onto dests, each from to - delta: four promotions on the first or last rank
// (capturing when capture is set), en passant onto ep_square, else a push or a capture.
Move* append_pawn_moves(Move* out, Bitboard dests, int delta, bool capture, int ep_square) {
    for (; dests; dests &= dests - 1) {
        const int to   = lsb_index(dests);
        const int from = to - delta;
        if (to < 8 || to > 55) {
            for (const int piece : PROMOTION_ORDER)
                *out++ = make_promotion(from, to, piece, capture);
        } else if (!capture) {
            *out++ = make_quiet(from, to);
        } else if (to == ep_square) {
            *out++ = make_en_passant(from, to);
        } else {
            *out++ = make_capture(from, to);
        }
    }
    return out;
}

// A piece on from that may answer the check with the squares of reach: first the capture
// of the checker, then the interpositions on block, lowest first.
Move* append_piece_answers(Move* out, int from, Bitboard reach, Bitboard checker, Bitboard block) {
    if (reach & checker)
        *out++ = make_capture(from, lsb_index(checker));
    for (Bitboard b = reach & block; b; b &= b - 1)
        *out++ = make_quiet(from, lsb_index(b));
    return out;
}

}  // namespace

Bitboard pinned_pieces(int colour) {
    const Position& pos      = position();
    const int       enemy    = 1 - colour;
    const int       k        = pos.king_square[colour];
    const Bitboard  own      = pos.occupancy[colour];
    const Bitboard  other    = pos.occupancy[enemy];
    const Bitboard  straight = pos.pieces[enemy][ROOK] | pos.pieces[enemy][QUEEN];
    const Bitboard  diagonal = pos.pieces[enemy][BISHOP] | pos.pieces[enemy][QUEEN];

    Bitboard pinned = 0;
    for (Bitboard b = (straight & rook_attacks(k, 0)) | (diagonal & bishop_attacks(k, 0)); b;
         b &= b - 1) {
        const Bitboard line    = between[lsb_index(b)][k];
        const Bitboard shields = line & own;
        if (shields && !(shields & (shields - 1)) && !(line & other))
            pinned |= shields;
    }
    return pinned;
}

namespace {

// Compiled once per side to move, so the colour rows, shifts and home squares are constants.
template <int Us> void generate_evasions_as(MoveList& list) {
    const Position& pos   = position();
    constexpr int   us    = Us;
    constexpr int   them  = 1 - us;
    const int       k     = pos.king_square[us];
    const Bitboard  all   = pos.occupancy[0] | pos.occupancy[1];
    const Bitboard  empty = ~all;
    Move*           out   = list.moves;

    const Bitboard checkers     = attackers_of(k, them);
    const bool     double_check = (checkers & (checkers - 1)) != 0;

    // Squares further along a checking line, which the king may never step to: the attack
    // test below still sees the king on k, so it would call them safe.
    Bitboard behind = 0;
    if (double_check) {
        for (Bitboard b = checkers & ~pos.pieces[them][PAWN]; b; b &= b - 1)
            behind |= ray_through[lsb_index(b)][k];
    } else {
        const int kind = pos.board[them][lsb_index(checkers)];
        if (kind != PAWN && kind != KNIGHT)
            behind = ray_through[lsb_index(checkers)][k];
    }

    // King targets off those lines that the opponent does not attack with the king still
    // on k, steps first, then captures.
    Bitboard targets = 0;
    for (Bitboard b = king_attacks[k] & ~pos.occupancy[us] & ~behind; b; b &= b - 1) {
        const int sq = lsb_index(b);
        if (!is_square_attacked(us, sq, all))
            targets |= square_bit[sq];
    }
    for (Bitboard b = targets & empty; b; b &= b - 1)
        *out++ = make_quiet(k, lsb_index(b));
    for (Bitboard b = targets & pos.occupancy[them]; b; b &= b - 1)
        *out++ = make_capture(k, lsb_index(b));

    // Double check: only the king can move.
    if (double_check) {
        list.count = static_cast<int>(out - list.moves);
        return;
    }

    const Bitboard pinned  = pinned_pieces(us);
    const int      checker = lsb_index(checkers);
    const int      kind    = pos.board[them][checker];
    Bitboard       block = 0, extra = 0;
    if (kind == PAWN)
        extra = square_bit[pos.ep_square];
    else if (kind != KNIGHT)
        block = between[checker][k];

    // Pawns that are not pinned: pushes onto the line, then captures of the checker.
    const Bitboard pawns   = pos.pieces[us][PAWN] & ~pinned;
    const int      forward = PAWN_FORWARD[us];
    const Bitboard singles = shift_forward(us, pawns) & empty;
    out                    = append_pawn_moves(out, singles & block, forward, false, NO_SQUARE);
    for (Bitboard b = shift_forward(us, singles & THIRD_RANK_BB[us]) & empty & block; b;
         b &= b - 1) {
        const int to = lsb_index(b);
        *out++       = make_quiet(to - 2 * forward, to);
    }
    const Bitboard prey = checkers | extra;
    out = append_pawn_moves(out, shift_diag_1(us, pawns) & prey, PAWN_DIAG_1[us], true,
                            pos.ep_square);
    out = append_pawn_moves(out, shift_diag_2(us, pawns) & prey, PAWN_DIAG_2[us], true,
                            pos.ep_square);

    // Pieces: a pinned one may only move along its pin line (which never meets the
    // checking line away from the king, so in practice it has nothing).
    for (Bitboard b = pos.pieces[us][KNIGHT]; b; b &= b - 1) {
        const int from  = lsb_index(b);
        Bitboard  reach = knight_attacks[from];
        if (pinned & square_bit[from])
            reach &= ray_through[k][from];
        out = append_piece_answers(out, from, reach, checkers, block);
    }
    for (Bitboard b = pos.pieces[us][BISHOP]; b; b &= b - 1) {
        const int from  = lsb_index(b);
        Bitboard  reach = bishop_attacks(from, all);
        if (pinned & square_bit[from])
            reach &= ray_through[k][from];
        out = append_piece_answers(out, from, reach, checkers, block);
    }
    for (Bitboard b = pos.pieces[us][ROOK]; b; b &= b - 1) {
        const int from  = lsb_index(b);
        Bitboard  reach = rook_attacks(from, all);
        if (pinned & square_bit[from])
            reach &= ray_through[k][from];
        out = append_piece_answers(out, from, reach, checkers, block);
    }
    for (Bitboard b = pos.pieces[us][QUEEN]; b; b &= b - 1) {
        const int from  = lsb_index(b);
        Bitboard  reach = queen_attacks(from, all);
        if (pinned & square_bit[from])
            reach &= ray_through[k][from];
        out = append_piece_answers(out, from, reach, checkers, block);
    }

    list.count = static_cast<int>(out - list.moves);
}

}  // namespace

void generate_evasions(MoveList& list) {
    if (position().side_to_move == WHITE)
        generate_evasions_as<WHITE>(list);
    else
        generate_evasions_as<BLACK>(list);
}
