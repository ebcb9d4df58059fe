// eval/material.h: everything the evaluation derives from the piece counts alone:
// material balance with its imbalance corrections, the game phase, the two scale
// factors (16 = no scaling, 0 = that colour cannot win) and the flags that tell
// evaluate() which endgame recognisers to run. Cached in material_hash, keyed by the
// position's material_key. material.cpp owns the table, one per search thread: the main
// thread's is sized at start-up, each helper allocates one the same size when the thread
// pool starts it and gives it back when it ends; only probe_material() on a miss and the
// clearing write it.
// Scores are centipawns, White minus Black.
#pragma once

#include <cstdint>

#include "position/types.h"

// Material flags, bits 0-7 of an entry's packed word.
constexpr int MF_KPK_WHITE     = 1;     // the only man besides the kings is a White pawn
constexpr int MF_KPK_BLACK     = 2;     // ... a Black pawn
constexpr int MF_BISHOP_ENDING = 4;     // one bishop each, no other pieces, pawns within 2
constexpr int MF_WHITE_ATTACK  = 8;     // White has a queen and another piece: king attack on
constexpr int MF_BLACK_ATTACK  = 0x10;  // Black has a queen and another piece

// Evaluation piece values (the pawn is 90 in the middle game, 100 in the end game).
constexpr int VALUE_PAWN_MG = 90;
constexpr int VALUE_PAWN_EG = 100;
constexpr int VALUE_KNIGHT  = 325;
constexpr int VALUE_BISHOP  = 325;
constexpr int VALUE_ROOK    = 500;
constexpr int VALUE_QUEEN   = 975;

// One slot of material_hash, 16 bytes. Packed word, lowest bits first:
// material_flags (8) | scale_black (5) | scale_white (5) | phase (9) | zero (5).
struct MaterialEntry {
    std::uint32_t check;  // entry_check(material_key)
    std::int32_t  mg;
    std::int32_t  eg;
    std::uint32_t packed;
};
static_assert(sizeof(MaterialEntry) == 16);

// What probe_material hands the evaluation.
struct MaterialInfo {
    int mg;
    int eg;
    int phase;        // 0 = full middle game .. 256 = bare end game
    int scale_black;  // 0..16
    int scale_white;  // 0..16
    int material_flags;
};

// Start-up: the largest power-of-two byte count not above megabytes * 2^20 (0 counts as
// 1) nor half the machine's memory; if the machine refuses it, the largest smaller power of two it
// grants. Every entry starts fresh. allocate_material_hash_bytes is the same with a byte count, so
// tests can make a table of a single entry.
void allocate_material_hash(unsigned megabytes);
void allocate_material_hash_bytes(std::uint64_t bytes);
// Makes every entry of this thread's table fresh again: a new game, through
// clear_for_new_game (search/threads.h).
void          clear_material_hash();
std::uint64_t material_hash_entries();

// The material facts of the current position: a hash hit, or computed and stored.
MaterialInfo probe_material();
// Lowers the scale factors and sets the KPK and bishop-ending flags by the piece counts.
void apply_draw_rules(MaterialInfo& info);

// Recognisers, run by evaluate() when the flags ask for them; not cached.
// kpk_winnable(a): the lone man besides the kings is a pawn of colour a; false = draw.
bool kpk_winnable(int colour);
// The dark squares: a1 (index 0) is dark, so a square is dark when its file plus its rank
// is even.
constexpr Bitboard DARK_SQUARES = 0xAA55AA55AA55AA55ull;
static_assert((DARK_SQUARES & 1) != 0 && (DARK_SQUARES >> 63) != 0, "a1 and h8 are dark");
static_assert((DARK_SQUARES >> 7 & 1) == 0 && (DARK_SQUARES >> 56 & 1) == 0, "h1, a8 light");
// One bishop each: true when they stand on squares of different colours.
bool opposite_bishops();
