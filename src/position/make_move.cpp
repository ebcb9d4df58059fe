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

// Every helper below takes the colour as a template argument: make and unmake are written
// once and compiled once per side to move, so colour rows, signs and home squares are
// constants in each copy.

// The key terms of a piece lifted from (change -1) or put on (change +1) a square: its
// square term, the pawn key's for a pawn, and the count term swapped for the new count.
template <int C> inline void toggle_piece_keys(Position& pos, int piece, int sq, int change) {
    const int n = pos.piece_count[C][piece];
    pos.key ^= zobrist[piece_key_index(C, piece, sq)];
    if (piece == PAWN)
        pos.pawn_key ^= zobrist[piece_key_index(C, PAWN, sq)];
    pos.material_key ^= zobrist[material_key_index(C, piece, n)]
                        ^ zobrist[material_key_index(C, piece, n + change)];
}

// Clears the given castling rights of a colour, XORing the key for each one still set.
template <int C> inline void clear_castle_rights(Position& pos, int rights) {
    const int held = pos.castle_rights[C] & rights;
    if (held & CASTLE_SHORT)
        pos.key ^= pos.castle_key[C][0];
    if (held & CASTLE_LONG)
        pos.key ^= pos.castle_key[C][1];
    pos.castle_rights[C] &= ~rights;
}

constexpr int psq_sign(int colour) { return colour == WHITE ? 1 : -1; }

template <int C> inline void lift_piece(Position& pos, int piece, int sq, bool update_keys) {
    if (update_keys)
        toggle_piece_keys<C>(pos, piece, sq, -1);
    pos.piece_count[C][piece] -= 1;
    pos.nonpawn_material[C] -= material_unit[piece];
    pos.psq_mg -= psq_sign(C) * piece_square[C][piece][sq].mg;
    pos.psq_eg -= psq_sign(C) * piece_square[C][piece][sq].eg;
    pos.occupancy[C] &= ~square_bit[sq];
    pos.pieces[C][piece] &= ~square_bit[sq];
    pos.board[C][sq] = NO_PIECE;
}

template <int C> inline void put_piece(Position& pos, int piece, int sq, bool update_keys) {
    if (update_keys)
        toggle_piece_keys<C>(pos, piece, sq, +1);
    pos.piece_count[C][piece] += 1;
    pos.nonpawn_material[C] += material_unit[piece];
    pos.psq_mg += psq_sign(C) * piece_square[C][piece][sq].mg;
    pos.psq_eg += psq_sign(C) * piece_square[C][piece][sq].eg;
    pos.occupancy[C] |= square_bit[sq];
    pos.pieces[C][piece] |= square_bit[sq];
    pos.board[C][sq] = piece;
    if (piece == KING)
        pos.king_square[C] = sq;
}

// Moves a piece of a colour between two squares: lift_piece then put_piece with fewer
// updates, as counts, material and the material key do not change. Keys only when asked.
template <int C>
inline void move_piece(Position& pos, int piece, int from, int to, bool update_keys) {
    if (update_keys) {
        const Key change =
            zobrist[piece_key_index(C, piece, from)] ^ zobrist[piece_key_index(C, piece, to)];
        pos.key ^= change;
        if (piece == PAWN)
            pos.pawn_key ^= change;
    }
    const PsqValue* psq = piece_square[C][piece];
    pos.psq_mg += psq_sign(C) * (psq[to].mg - psq[from].mg);
    pos.psq_eg += psq_sign(C) * (psq[to].eg - psq[from].eg);
    const Bitboard both = square_bit[from] | square_bit[to];
    pos.occupancy[C] ^= both;
    pos.pieces[C][piece] ^= both;
    pos.board[C][from] = NO_PIECE;
    pos.board[C][to]   = piece;
    if (piece == KING)
        pos.king_square[C] = to;
}

// Castling's king and rook moves at once: in Chess960 the king may land on the rook's start
// square or the rook on the king's, and either may already stand on its destination, so
// both are lifted before either is put down. Keys only when asked.
template <int C>
inline void castle_pieces(
    Position& pos, int king_from, int king_to, int rook_from, int rook_to, bool update_keys) {
    if (update_keys)
        pos.key ^= zobrist[piece_key_index(C, KING, king_from)]
                   ^ zobrist[piece_key_index(C, KING, king_to)]
                   ^ zobrist[piece_key_index(C, ROOK, rook_from)]
                   ^ zobrist[piece_key_index(C, ROOK, rook_to)];
    const PsqValue* king = piece_square[C][KING];
    const PsqValue* rook = piece_square[C][ROOK];
    pos.psq_mg += psq_sign(C)
                  * (king[king_to].mg - king[king_from].mg + rook[rook_to].mg - rook[rook_from].mg);
    pos.psq_eg += psq_sign(C)
                  * (king[king_to].eg - king[king_from].eg + rook[rook_to].eg - rook[rook_from].eg);
    const Bitboard lifted = square_bit[king_from] | square_bit[rook_from];
    pos.occupancy[C]    = (pos.occupancy[C] & ~lifted) | square_bit[king_to] | square_bit[rook_to];
    pos.pieces[C][KING] = square_bit[king_to];
    pos.pieces[C][ROOK] = (pos.pieces[C][ROOK] & ~square_bit[rook_from]) | square_bit[rook_to];
    pos.board[C][king_from] = pos.board[C][rook_from] = NO_PIECE;
    pos.board[C][king_to]                             = KING;
    pos.board[C][rook_to]                             = ROOK;
    pos.king_square[C]                                = king_to;
}

// Step 1 of make: what unmake cannot recompute.
inline void push_history(Position& pos, Move m, int captured) {
    assert(pos.history_length < HISTORY_CAPACITY);
    HistoryEntry& e        = writable_history()[pos.history_length];
    e.move                 = m;
    e.captured             = captured;
    e.castle_rights[BLACK] = pos.castle_rights[BLACK];
    e.castle_rights[WHITE] = pos.castle_rights[WHITE];
    e.ep_square            = pos.ep_square;
    e.irreversible_index   = pos.irreversible_index;
    e.key                  = pos.key;
    e.pawn_key             = pos.pawn_key;
    e.material_key         = pos.material_key;
    pos.history_length += 1;
}

// Steps 10 and 11 of make, for a move of Us: hand the move over, then ask whether Us's king
// is attacked now.
template <int Us> inline bool finish_move(Position& pos) {
    pos.key ^= SIDE_KEY;
    pos.side_to_move = static_cast<std::uint8_t>(1 - Us);
    writable_search_ply() += 1;
    return !is_square_attacked(Us, pos.king_square[Us], pos.occupancy[0] | pos.occupancy[1]);
}

template <int Us> bool make_null_move(Position& pos) {
    push_history(pos, NULL_MOVE, pos.board[1 - Us][0]);
    pos.irreversible_index = pos.history_length;
    if (pos.ep_square != NO_SQUARE)
        pos.key ^= zobrist[ep_key_index(pos.ep_square)];
    pos.ep_square = NO_SQUARE;
    return finish_move<Us>(pos);
}

template <int Us> bool make_move_as(Move m) {
    constexpr int Them  = 1 - Us;
    Position&     pos   = writable_position();
    const int     from  = move_from(m);
    const int     to    = move_to(m);
    const int     mover = pos.board[Us][from];
    if (m == NULL_MOVE)
        return make_null_move<Us>(pos);

    // Step 1.
    const int captured = pos.board[Them][to];
    push_history(pos, m, captured);

    // Step 2. Irreversible moves hide the earlier positions from the repetition test.
    if (move_flags(m) != 0 || mover == PAWN)
        pos.irreversible_index = pos.history_length;

    // Step 4. Move the mover; a promotion lifts it and puts down its new piece below,
    // castling moves king and rook together there.
    if (m & (FLAG_PROMOTION | CASTLE_FLAGS)) {
        if (m & FLAG_PROMOTION)
            lift_piece<Us>(pos, mover, from, true);
    } else {
        move_piece<Us>(pos, mover, from, to, true);
    }

    // Step 5. Captures. A right still set means its rook still stands at home.
    if (m & FLAG_CAPTURE) {
        if (m & FLAG_EN_PASSANT)
            lift_piece<Them>(pos, PAWN, forward_square[Them][to], true);
        else
            lift_piece<Them>(pos, captured, to, true);
        if (pos.castle_rights[Them]) {
            if ((pos.castle_rights[Them] & CASTLE_SHORT) && to == pos.castle_rook[Them][0])
                clear_castle_rights<Them>(pos, CASTLE_SHORT);
            else if ((pos.castle_rights[Them] & CASTLE_LONG) && to == pos.castle_rook[Them][1])
                clear_castle_rights<Them>(pos, CASTLE_LONG);
        }
    }

    if (m & FLAG_PROMOTION) {
        // Step 6.
        put_piece<Us>(pos, move_promotion(m), to, true);
    } else if (m & CASTLE_FLAGS) {
        // Step 7. Castling moves the rook too; castled is 1 after short, 2 after long.
        const int wing = (m & FLAG_CASTLE_SHORT) ? 0 : 1;
        clear_castle_rights<Us>(pos, CASTLE_SHORT | CASTLE_LONG);
        castle_pieces<Us>(pos, from, to, pos.castle_rook[Us][wing], rook_castled[Us][wing], true);
        pos.castled[Us] = wing + 1;
    } else if (pos.castle_rights[Us]) {
        // Step 8. King and rook moves give up rights.
        if (mover == KING)
            clear_castle_rights<Us>(pos, CASTLE_SHORT | CASTLE_LONG);
        else if (mover == ROOK && from == pos.castle_rook[Us][0])
            clear_castle_rights<Us>(pos, CASTLE_SHORT);
        else if (mover == ROOK && from == pos.castle_rook[Us][1])
            clear_castle_rights<Us>(pos, CASTLE_LONG);
    }

    // Step 9. The en-passant square follows every double push, capturable or not.
    if (pos.ep_square != NO_SQUARE)
        pos.key ^= zobrist[ep_key_index(pos.ep_square)];
    if (mover == PAWN && (from - to == 16 || to - from == 16)) {
        pos.ep_square = forward_square[Us][from];
        pos.key ^= zobrist[ep_key_index(pos.ep_square)];
    } else {
        pos.ep_square = NO_SQUARE;
    }

    // Steps 10 and 11.
    return finish_move<Us>(pos);
}

// Unmake of a move of Us, with the side to move already handed back to Us.
template <int Us> void unmake_move_as(Position& pos, const HistoryEntry& e) {
    constexpr int Them  = 1 - Us;
    const Move    m     = e.move;
    const int     from  = move_from(m);
    const int     to    = move_to(m);
    const int     piece = pos.board[Us][to];
    if (m & (FLAG_PROMOTION | CASTLE_FLAGS)) {
        if (m & FLAG_PROMOTION)
            lift_piece<Us>(pos, piece, to, false);
    } else {
        move_piece<Us>(pos, piece, to, from, false);
    }
    if (m & FLAG_CAPTURE) {
        if (m & FLAG_EN_PASSANT)
            put_piece<Them>(pos, PAWN, forward_square[Them][to], false);
        else
            put_piece<Them>(pos, e.captured, to, false);
    }
    if (m & FLAG_PROMOTION) {
        put_piece<Us>(pos, PAWN, from, false);
    } else if (m & CASTLE_FLAGS) {
        const int wing = (m & FLAG_CASTLE_SHORT) ? 0 : 1;
        castle_pieces<Us>(pos, to, from, rook_castled[Us][wing], pos.castle_rook[Us][wing], false);
        pos.castled[Us] = 0;
    }
}

}  // namespace

void remove_piece(int colour, int piece, int sq, bool update_keys) {
    if (colour == WHITE)
        lift_piece<WHITE>(writable_position(), piece, sq, update_keys);
    else
        lift_piece<BLACK>(writable_position(), piece, sq, update_keys);
}

void add_piece(int colour, int piece, int sq, bool update_keys) {
    if (colour == WHITE)
        put_piece<WHITE>(writable_position(), piece, sq, update_keys);
    else
        put_piece<BLACK>(writable_position(), piece, sq, update_keys);
}

bool make_move(Move m) {
    return writable_position().side_to_move == WHITE ? make_move_as<WHITE>(m)
                                                     : make_move_as<BLACK>(m);
}

void unmake_move() {
    Position& pos = writable_position();
    assert(pos.history_length > 0);
    pos.history_length -= 1;
    pos.side_to_move      = static_cast<std::uint8_t>(1 - pos.side_to_move);
    const HistoryEntry& e = writable_history()[pos.history_length];
    writable_search_ply() -= 1;

    pos.castle_rights[BLACK] = e.castle_rights[BLACK];
    pos.castle_rights[WHITE] = e.castle_rights[WHITE];
    pos.key                  = e.key;
    pos.pawn_key             = e.pawn_key;
    pos.material_key         = e.material_key;
    pos.irreversible_index   = e.irreversible_index;
    pos.ep_square            = e.ep_square;
    if (e.move == NULL_MOVE)
        return;
    if (pos.side_to_move == WHITE)
        unmake_move_as<WHITE>(pos, e);
    else
        unmake_move_as<BLACK>(pos, e);
}

Key key_after(Move m) {
    const Position& pos   = writable_position();
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
        key ^= zobrist[piece_key_index(side, ROOK, pos.castle_rook[side][0])]
               ^ zobrist[piece_key_index(side, ROOK, rook_castled[side][0])];
    else if (m & FLAG_CASTLE_LONG)
        key ^= zobrist[piece_key_index(side, ROOK, pos.castle_rook[side][1])]
               ^ zobrist[piece_key_index(side, ROOK, rook_castled[side][1])];
    if (pos.ep_square != NO_SQUARE)
        key ^= zobrist[ep_key_index(pos.ep_square)];
    if (mover == PAWN && (from - to == 16 || to - from == 16))
        key ^= zobrist[ep_key_index(forward_square[side][from])];
    return key;
}

bool is_repetition() {
    const Position& pos = writable_position();
    for (int i = pos.history_length - 2; i >= pos.irreversible_index; i -= 2)
        if (writable_history()[i].key == pos.key)
            return true;
    return false;
}
