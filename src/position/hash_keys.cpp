// position/hash_keys.cpp: the from-scratch key computation.
#include "position/hash_keys.h"

#include "position/bitboard.h"
#include "position/position.h"
#include "position/position_writer.h"

PositionKeys keys_from_scratch() {
    const Position& pos  = writable_position();
    PositionKeys    keys = {0, 0, 0};
    for (int c = BLACK; c <= WHITE; ++c) {
        for (int p = PAWN; p <= KING; ++p) {
            int count = 0;
            for (Bitboard b = pos.pieces[c][p]; b; b &= b - 1, ++count) {
                const Key term = zobrist[piece_key_index(c, p, lsb_index(b))];
                keys.key ^= term;
                if (p == PAWN)
                    keys.pawn_key ^= term;
            }
            keys.material_key ^= zobrist[material_key_index(c, p, count)];
        }
        if (pos.castle_rights[c] & CASTLE_SHORT)
            keys.key ^= pos.castle_key[c][0];
        if (pos.castle_rights[c] & CASTLE_LONG)
            keys.key ^= pos.castle_key[c][1];
    }
    if (pos.side_to_move == WHITE)
        keys.key ^= SIDE_KEY;
    if (pos.ep_square != NO_SQUARE)
        keys.key ^= zobrist[ep_key_index(pos.ep_square)];
    return keys;
}

void compute_keys() {
    const PositionKeys keys          = keys_from_scratch();
    writable_position().key          = keys.key;
    writable_position().pawn_key     = keys.pawn_key;
    writable_position().material_key = keys.material_key;
}
