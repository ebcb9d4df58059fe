// position/move.h: the 32-bit move word. Every move in the engine (generated, parsed,
// stored in the transposition table, the history stack or a killer slot) is one word.
// Layout, lowest bits first: from (6) | to (6) | promotion piece (3) | five flags.
// The flags are set by whoever builds the word and trusted by make and unmake.
#pragma once

#include "position/types.h"

constexpr Move NO_MOVE   = 0;       // ends lists; never a legal move
constexpr Move NULL_MOVE = 0xe000;  // a1-a1, no promotion, short-castle bit: compared whole

constexpr Move FLAG_CASTLE_SHORT = 0x8000;
constexpr Move FLAG_CASTLE_LONG  = 0x10000;
constexpr Move FLAG_CAPTURE      = 0x20000;
constexpr Move FLAG_PROMOTION    = 0x40000;
constexpr Move FLAG_EN_PASSANT   = 0x80000;

constexpr Move CASTLE_FLAGS = FLAG_CASTLE_SHORT | FLAG_CASTLE_LONG;

constexpr Move PROMOTION_FIELD = 0x7000;   // promotion piece in place; 0x6000 = none
constexpr Move NO_PROMOTION    = 0x6000;   // NO_PIECE << 12, carried by every non-promotion
constexpr Move TACTICAL_MASK   = 0xe0000;  // capture, promotion or en passant

constexpr int move_from(Move m) { return static_cast<int>(m & 63); }
constexpr int move_to(Move m) { return static_cast<int>((m >> 6) & 63); }
constexpr int move_promotion(Move m) { return static_cast<int>((m >> 12) & 7); }
// The five flags shifted down: 1 short castle, 2 long castle, 4 capture, 8 promotion,
// 0x10 en passant. Non-zero for every move irreversible by its kind.
constexpr int  move_flags(Move m) { return static_cast<int>((m >> 15) & 0x1f); }
constexpr bool is_tactical(Move m) { return (m & TACTICAL_MASK) != 0; }

// Builders for the word shapes the generators and the move-text parser produce.
constexpr Move make_quiet(int from, int to) {
    return static_cast<Move>(from | to << 6) | NO_PROMOTION;
}
constexpr Move make_capture(int from, int to) { return make_quiet(from, to) | FLAG_CAPTURE; }
constexpr Move make_promotion(int from, int to, int piece, bool capture) {
    return static_cast<Move>(from | to << 6 | piece << 12) | FLAG_PROMOTION
           | (capture ? FLAG_CAPTURE : 0);
}
constexpr Move make_en_passant(int from, int to) {
    return make_capture(from, to) | FLAG_EN_PASSANT;
}
// Castling is the king's move to its destination (the g- or c-file) with the side's flag;
// in Chess960 the king may already stand there, and the word then has from == to.
constexpr Move make_castle(int king_from, int king_to, Move flag) {
    return make_quiet(king_from, king_to) | flag;
}
constexpr Move make_castle_short(int king_from) {
    return make_quiet(king_from, king_from + 2) | FLAG_CASTLE_SHORT;
}
constexpr Move make_castle_long(int king_from) {
    return make_quiet(king_from, king_from - 2) | FLAG_CASTLE_LONG;
}

static_assert(make_promotion(49, 56, 4, true) == (49 | 56 << 6 | 0x64000));
static_assert(make_castle_short(4) == (4 | 6 << 6 | 0xe000));
static_assert(make_castle_long(60) == (60 | 58 << 6 | 0x16000));
static_assert(move_from(NULL_MOVE) == 0 && move_to(NULL_MOVE) == 0);
