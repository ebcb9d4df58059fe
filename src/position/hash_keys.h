// position/hash_keys.h: the Zobrist table and the from-scratch key computation.
// All three keys of a Position are XOR sums of zobrist entries, so make can update
// them term by term and unmake can restore them from the history stack.
#pragma once

#include <array>

#include "position/types.h"

// zobrist[c * 384 + p * 64 + s]: piece p of colour c on s. 768 + 2c / 769 + 2c: colour c
// holds CASTLE_SHORT / CASTLE_LONG (a Chess960 rook off its corner adds the unused term of a
// pawn of c on the rook's square: Position::castle_key). 772 + f: en-passant square on file f. 780:
// SIDE_KEY. Material terms reuse the table: zobrist[c * 102 + p * 17 + n] = c has n pieces of p.
constexpr Key SIDE_KEY = 0xF8D626AAAF278509ull;  // present when White is to move
// Constant data: splitmix64 from a fixed seed, so every build hashes alike.
inline constexpr std::array<Key, 781> zobrist = [] {
    std::array<Key, 781> table{};
    Key                  state = 0x56454C4D4F5241ull;
    for (Key& entry : table) {
        state += 0x9E3779B97F4A7C15ull;
        Key z = state;
        z     = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z     = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        entry = z ^ (z >> 31);
    }
    table[780] = SIDE_KEY;
    return table;
}();

constexpr int piece_key_index(int colour, int piece, int sq) {
    return colour * 384 + piece * 64 + sq;
}
constexpr int castle_key_index(int colour, int right) {
    return 768 + 2 * colour + (right == CASTLE_LONG ? 1 : 0);
}
constexpr int ep_key_index(int sq) { return 772 + (sq & 7); }
constexpr int material_key_index(int colour, int piece, int count) {
    return colour * 102 + piece * 17 + count;
}

// The three keys of the current position, computed from scratch.
struct PositionKeys {
    Key key;
    Key pawn_key;
    Key material_key;
};
PositionKeys keys_from_scratch();
// Stores keys_from_scratch() in the position (new_game, load_fen).
void compute_keys();
