// eval/king_safety.h: the attack on each king. While the piece walk visits a colour's
// pieces it counts that colour's attackers of the enemy king zone (the up to eight
// squares around the king) and its distance-based pressure; score_king_safety() then
// turns the attacker's counters into a bonus for it and a penalty for the defender, with
// a pawn-shelter penalty from the pawn hash. Middle-game terms only. All of it is on only
// when the attacker has a queen and another piece (MF_WHITE_ATTACK, MF_BLACK_ATTACK),
// except the guard values and the attacker counts, which are always kept.
#pragma once

#include "eval/evaluate.h"
#include "eval/material.h"

// Tables by king distance 0..7.
constexpr int tropism_knight[8] = {0, 3, 3, 2, 1, 0, 0, 0};
constexpr int tropism_bishop[8] = {0, 2, 2, 1, 0, 0, 0, 0};
constexpr int tropism_rook[8]   = {0, 4, 3, 2, 1, 1, 1, 1};
constexpr int tropism_queen[8]  = {0, 6, 5, 4, 3, 2, 2, 2};
constexpr int guard_knight[8]   = {0, 3, 4, 1, 1, 0, 0, 0};
constexpr int guard_queen[8]    = {2, 2, 2, 1, 0, 0, -1, -1};

// pressure_bonus[king_pressure clamped to 0..20]: 6 is neutral.
constexpr int pressure_bonus[21] = {-25, -22, -19, -16, -12, -6, 0,  6,  12, 18, 24,
                                    30,  38,  46,  54,  62,  70, 78, 86, 94, 104};
// attack_scale[attack_count]: a lone attacker is harmless; from 17 on it stays 256.
constexpr int attack_scale[17] = {0,   0,   128, 192, 224, 240, 248, 252, 254,
                                  255, 256, 256, 256, 256, 256, 256, 256};
constexpr int scale_for_attackers(int count) { return attack_scale[min_int(count, 16)]; }

// The material flag that switches colour's attack on.
constexpr int attack_flag(int colour) {
    return colour == WHITE ? MF_WHITE_ATTACK : MF_BLACK_ATTACK;
}

// Before the colour's pieces: its pawns' hits on the enemy king zone and pawn storm.
void count_pawn_attackers(EvalState& st, int colour);
// After every piece: the attack on colour's king and its shelter.
void score_king_safety(EvalState& st, int colour);
