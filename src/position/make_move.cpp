// position/make_move.cpp: make, unmake, the piece primitives and the repetition test.
// Every update is a constant number of table look-ups and bit operations.
#include "position/make_move.h"

#include <cassert>

#include "eval/psq.h"
#include "position/attacked.h"
#include "position/attacks.h"
#include "position/hash_keys.h"
#include "position/move.h"
#include "position/position_writer.h"

namespace {

// The key terms of a piece lifted from (change -1) or put on (change +1) a square: its
// square term, the pawn key's for a pawn, and the count term swapped for the new count.
inline void toggle_piece_keys(Position& pos, int colour, int piece, int sq, int change) {
    const int n = pos.piece_count[colour][piece];
    pos.key ^= zobrist[piece_key_index(colour, piece, sq)];
    if (piece == PAWN)
        pos.pawn_key ^= zobrist[piece_key_index(colour, PAWN, sq)];
    pos.material_key ^= zobrist[material_key_index(colour, piece, n)]
                        ^ zobrist[material_key_index(colour, piece, n + change)];
}

// Clears the given castling rights of a colour, XORing the key for each one still set.
inline void clear_castle_rights(Position& pos, int colour, int rights) {
    const int held = pos.castle_rights[colour] & rights;
    if (held & CASTLE_SHORT)
        pos.key ^= zobrist[castle_key_index(colour, CASTLE_SHORT)];
    if (held & CASTLE_LONG)
        pos.key ^= zobrist[castle_key_index(colour, CASTLE_LONG)];
    pos.castle_rights[colour] &= ~rights;
}

// Moves a piece of a colour between two squares: remove_piece then add_piece with fewer
// updates, as counts, material and the material key do not change. Keys only when asked.
inline void move_piece(Position& pos, int colour, int piece, int from, int to, bool update_keys) {
    if (update_keys) {
        const Key change = zobrist[piece_key_index(colour, piece, from)]
                           ^ zobrist[piece_key_index(colour, piece, to)];
        pos.key ^= change;
        if (piece == PAWN)
            pos.pawn_key ^= change;
    }
    const int       sign = colour == WHITE ? 1 : -1;
    const PsqValue* psq  = piece_square[colour][piece];
    pos.psq_mg += sign * (psq[to].mg - psq[from].mg);
    pos.psq_eg += sign * (psq[to].eg - psq[from].eg);
    const Bitboard both = square_bit[from] | square_bit[to];
    pos.occupancy[colour] ^= both;
    pos.pieces[colour][piece] ^= both;
    pos.board[colour][from] = NO_PIECE;
    pos.board[colour][to]   = piece;
    if (piece == KING)
        pos.king_square[colour] = to;
}

}  // namespace

void remove_piece(int colour, int piece, int sq, bool update_keys) {
    Position& pos = position_record;
    if (update_keys)
        toggle_piece_keys(pos, colour, piece, sq, -1);
    pos.piece_count[colour][piece] -= 1;
    pos.nonpawn_material[colour] -= material_unit[piece];
    const int sign = colour == WHITE ? 1 : -1;
    pos.psq_mg -= sign * piece_square[colour][piece][sq].mg;
    pos.psq_eg -= sign * piece_square[colour][piece][sq].eg;
    pos.occupancy[colour] &= ~square_bit[sq];
    pos.pieces[colour][piece] &= ~square_bit[sq];
    pos.board[colour][sq] = NO_PIECE;
}

void add_piece(int colour, int piece, int sq, bool update_keys) {
    Position& pos = position_record;
    if (update_keys)
        toggle_piece_keys(pos, colour, piece, sq, +1);
    pos.piece_count[colour][piece] += 1;
    pos.nonpawn_material[colour] += material_unit[piece];
    const int sign = colour == WHITE ? 1 : -1;
    pos.psq_mg += sign * piece_square[colour][piece][sq].mg;
    pos.psq_eg += sign * piece_square[colour][piece][sq].eg;
    pos.occupancy[colour] |= square_bit[sq];
    pos.pieces[colour][piece] |= square_bit[sq];
    pos.board[colour][sq] = piece;
    if (piece == KING)
        pos.king_square[colour] = sq;
}

bool make_move(Move m) {
    Position&  pos   = position_record;
    const int  side  = pos.side_to_move;
    const int  opp   = 1 - side;
    const int  from  = move_from(m);
    const int  to    = move_to(m);
    const int  mover = pos.board[side][from];
    const bool null  = m == NULL_MOVE;
    assert(pos.history_length < HISTORY_CAPACITY);

    // Step 1. Save what unmake cannot recompute.
    HistoryEntry& e        = history_record[pos.history_length];
    e.move                 = m;
    e.captured             = pos.board[opp][to];
    e.castle_rights[BLACK] = pos.castle_rights[BLACK];
    e.castle_rights[WHITE] = pos.castle_rights[WHITE];
    e.ep_square            = pos.ep_square;
    e.irreversible_index   = pos.irreversible_index;
    e.key                  = pos.key;
    e.pawn_key             = pos.pawn_key;
    e.material_key         = pos.material_key;
    pos.history_length += 1;

    // Step 2. Irreversible moves hide the earlier positions from the repetition test.
    if (null || move_flags(m) != 0 || mover == PAWN)
        pos.irreversible_index = pos.history_length;

    if (!null) {
        // Step 4. Move the mover; a promotion lifts it and puts down its new piece below.
        if (m & FLAG_PROMOTION)
            remove_piece(side, mover, from, true);
        else
            move_piece(pos, side, mover, from, to, true);

        // Step 5. Captures. A right still set means its rook still stands at home.
        if (m & FLAG_CAPTURE) {
            if (m & FLAG_EN_PASSANT)
                remove_piece(opp, PAWN, forward_square[opp][to], true);
            else
                remove_piece(opp, e.captured, to, true);
            if (pos.castle_rights[opp]) {
                if ((pos.castle_rights[opp] & CASTLE_SHORT) && to == rook_home_short[opp])
                    clear_castle_rights(pos, opp, CASTLE_SHORT);
                else if ((pos.castle_rights[opp] & CASTLE_LONG) && to == rook_home_long[opp])
                    clear_castle_rights(pos, opp, CASTLE_LONG);
            }
        }

        if (m & FLAG_PROMOTION) {
            // Step 6.
            add_piece(side, move_promotion(m), to, true);
        } else if (m & FLAG_CASTLE_SHORT) {
            // Step 7. Castling moves the rook too.
            clear_castle_rights(pos, side, CASTLE_SHORT | CASTLE_LONG);
            move_piece(pos, side, ROOK, rook_home_short[side], rook_castled_short[side], true);
            pos.castled[side] = 1;
        } else if (m & FLAG_CASTLE_LONG) {
            clear_castle_rights(pos, side, CASTLE_SHORT | CASTLE_LONG);
            move_piece(pos, side, ROOK, rook_home_long[side], rook_castled_long[side], true);
            pos.castled[side] = 2;
        } else if (pos.castle_rights[side]) {
            // Step 8. King and rook moves give up rights.
            if (mover == KING)
                clear_castle_rights(pos, side, CASTLE_SHORT | CASTLE_LONG);
            else if (mover == ROOK && from == rook_home_short[side])
                clear_castle_rights(pos, side, CASTLE_SHORT);
            else if (mover == ROOK && from == rook_home_long[side])
                clear_castle_rights(pos, side, CASTLE_LONG);
        }
    }

    // Step 9. The en-passant square follows every double push, capturable or not.
    if (pos.ep_square != NO_SQUARE)
        pos.key ^= zobrist[ep_key_index(pos.ep_square)];
    if (!null && mover == PAWN && (from - to == 16 || to - from == 16)) {
        pos.ep_square = forward_square[side][from];
        pos.key ^= zobrist[ep_key_index(pos.ep_square)];
    } else {
        pos.ep_square = NO_SQUARE;
    }

    // Step 10.
    pos.key ^= SIDE_KEY;
    pos.side_to_move = static_cast<std::uint8_t>(opp);
    search_ply_record += 1;

    // Step 11. Is the mover's king attacked now?
    return !is_square_attacked(side, pos.king_square[side], pos.occupancy[0] | pos.occupancy[1]);
}

void unmake_move() {
    Position& pos = position_record;
    assert(pos.history_length > 0);
    pos.history_length -= 1;
    pos.side_to_move          = static_cast<std::uint8_t>(1 - pos.side_to_move);
    const HistoryEntry& e     = history_record[pos.history_length];
    const int           side  = pos.side_to_move;
    const int           opp   = 1 - side;
    const Move          m     = e.move;
    const int           from  = move_from(m);
    const int           to    = move_to(m);
    const int           piece = pos.board[side][to];
    search_ply_record -= 1;

    pos.castle_rights[BLACK] = e.castle_rights[BLACK];
    pos.castle_rights[WHITE] = e.castle_rights[WHITE];
    pos.key                  = e.key;
    pos.pawn_key             = e.pawn_key;
    pos.material_key         = e.material_key;
    pos.irreversible_index   = e.irreversible_index;
    pos.ep_square            = e.ep_square;
    if (m == NULL_MOVE)
        return;

    if (m & FLAG_PROMOTION)
        remove_piece(side, piece, to, false);
    else
        move_piece(pos, side, piece, to, from, false);
    if (m & FLAG_CAPTURE) {
        if (m & FLAG_EN_PASSANT)
            add_piece(opp, PAWN, forward_square[opp][to], false);
        else
            add_piece(opp, e.captured, to, false);
    }
    if (m & FLAG_PROMOTION) {
        add_piece(side, PAWN, from, false);
    } else if (m & FLAG_CASTLE_SHORT) {
        move_piece(pos, side, ROOK, rook_castled_short[side], rook_home_short[side], false);
        pos.castled[side] = 0;
    } else if (m & FLAG_CASTLE_LONG) {
        move_piece(pos, side, ROOK, rook_castled_long[side], rook_home_long[side], false);
        pos.castled[side] = 0;
    }
}

Key key_after(Move m) {
    const Position& pos   = position;
    const int       side  = pos.side_to_move;
    const int       opp   = 1 - side;
    const int       from  = move_from(m);
    const int       to    = move_to(m);
    const int       mover = pos.board[side][from];
    const int       lands = (m & FLAG_PROMOTION) ? move_promotion(m) : mover;
    Key             key   = pos.key ^ SIDE_KEY ^ zobrist[piece_key_index(side, mover, from)]
              ^ zobrist[piece_key_index(side, lands, to)];
    if (m & FLAG_EN_PASSANT)
        key ^= zobrist[piece_key_index(opp, PAWN, forward_square[opp][to])];
    else if (m & FLAG_CAPTURE)
        key ^= zobrist[piece_key_index(opp, pos.board[opp][to], to)];
    if (m & FLAG_CASTLE_SHORT)
        key ^= zobrist[piece_key_index(side, ROOK, rook_home_short[side])]
               ^ zobrist[piece_key_index(side, ROOK, rook_castled_short[side])];
    else if (m & FLAG_CASTLE_LONG)
        key ^= zobrist[piece_key_index(side, ROOK, rook_home_long[side])]
               ^ zobrist[piece_key_index(side, ROOK, rook_castled_long[side])];
    if (pos.ep_square != NO_SQUARE)
        key ^= zobrist[ep_key_index(pos.ep_square)];
    if (mover == PAWN && (from - to == 16 || to - from == 16))
        key ^= zobrist[ep_key_index(forward_square[side][from])];
    return key;
}

bool is_repetition() {
    const Position& pos = position;
    for (int i = pos.history_length - 2; i >= pos.irreversible_index; i -= 2)
        if (history_record[i].key == pos.key)
            return true;
    return false;
}
