// eval/pawns.cpp: the pawn-structure terms, the king shelter and the pawn hash.
#include "eval/pawns.h"

#include <cstring>

#include "eval/table_size.h"
#include "position/bitboard.h"
#include "position/position.h"

namespace {

// One pawn hash per search thread. Until a thread allocates its table, a single static
// entry serves: an evaluation before allocate_pawn_hash is slow but correct, never a null
// dereference. Every search thread allocates its own before it searches, and a thread
// the system grants no memory gets an entry of its own, so no two threads share one.
PawnEntry                            start_fallback[1] = {};
thread_local constinit PawnEntry     pawn_fallback[1]  = {};
thread_local constinit PawnEntry*    pawn_table        = start_fallback;
thread_local constinit std::uint64_t pawn_entries      = 1;
thread_local constinit std::uint64_t pawn_mask         = 0;

// Weights by file a..h.
constexpr int isolated_mg[8]  = {8, 12, 13, 13, 13, 13, 12, 8};
constexpr int isolated_eg[8]  = {14, 16, 16, 16, 16, 16, 16, 14};
constexpr int backward_mg[8]  = {6, 9, 11, 11, 11, 11, 9, 6};
constexpr int backward_eg[8]  = {11, 13, 13, 13, 13, 13, 13, 11};
constexpr int supported_mg[8] = {5, 6, 7, 7, 7, 7, 6, 5};
constexpr int supported_eg[8] = {6, 6, 6, 6, 6, 6, 6, 6};

// Shelter penalties: by file, and by the rank (0 = rank 1) of the pawn for a king of the
// given colour, [colour][rank].
constexpr int shelter_open_file[8]     = {7, 6, 5, 5, 5, 5, 6, 7};
constexpr int shelter_no_enemy_pawn[8] = {3, 3, 2, 1, 1, 2, 3, 3};
constexpr int shelter_no_own_pawn[8]   = {5, 5, 4, 4, 4, 4, 5, 5};
constexpr int shelter_storm[2][8]      = {{0, 0, 0, 1, 2, 4, 0, 0}, {0, 0, 4, 2, 1, 0, 0, 0}};
constexpr int shelter_shield[2][8]     = {{0, 3, 3, 3, 2, 1, 0, 0}, {0, 0, 1, 2, 3, 3, 3, 0}};

// The pawn of a set that stands nearest to the colour's own first rank.
int rearmost_square(Bitboard pawns, int colour) {
    return colour == WHITE ? lsb_index(pawns) : 63 - std::countl_zero(pawns);
}

// An unopposed, non-isolated pawn that is not passed yet, but whose way forward is
// contested by no more enemy pawns than own pawns can support.
bool is_candidate(int colour, int sq, Bitboard own, Bitboard enemy) {
    const int them = 1 - colour;
    if (front_ray(colour)[sq] & own)
        return false;
    for (int t = sq; t != NO_SQUARE; t = forward_square[colour][t]) {
        const Bitboard hitters = pawn_attacks[colour][t] & enemy;
        if (!hitters)
            continue;
        if (popcount(hitters) > popcount(pawn_attacks[them][t] & own))
            return false;
        const int beyond = forward_square[colour][t];
        return beyond == NO_SQUARE || (passed_span[colour][beyond] & enemy) == 0;
    }
    return false;
}

// One file's share of king_shelter for a king of colour.
[[gnu::always_inline]] inline int shelter_on_file(int f, int colour) {
    const Position& pos   = position();
    const int       them  = 1 - colour;
    const Bitboard  own   = pos.pieces[colour][PAWN] & file_mask[f];
    const Bitboard  enemy = pos.pieces[them][PAWN] & file_mask[f];
    if (!own && !enemy)
        return shelter_open_file[f];
    // The enemy pawn nearest the enemy's own first rank storms; our own rearmost pawn
    // shields.
    return (enemy ? shelter_storm[colour][rank_of(rearmost_square(enemy, them))]
                  : shelter_no_enemy_pawn[f])
           + (own ? shelter_shield[colour][rank_of(rearmost_square(own, colour))]
                  : shelter_no_own_pawn[f]);
}

// king_shelter on every wing's reference file for a king of colour. The wings share the
// files c to f, so each file is scored once.
[[gnu::always_inline]] inline void wing_shelters(PawnInfo& info, int colour) {
    int by_file[8];
    for (int f = 0; f < 8; ++f)
        by_file[f] = shelter_on_file(f, colour);
    for (int wing = 0; wing < 4; ++wing) {
        const int file             = wing_file[wing];
        info.shelter[wing][colour] = by_file[file - 1] + by_file[file] + by_file[file + 1];
    }
}

// One colour's pawns, the colour written out so that its table rows are constants.
template <int c> [[gnu::always_inline]] inline void score_pawns_of(PawnInfo& info) {
    const Position& pos   = position();
    const int       sign  = c == WHITE ? 1 : -1;
    const Bitboard  own   = pos.pieces[c][PAWN];
    const Bitboard  enemy = pos.pieces[1 - c][PAWN];
    int             mg = 0, eg = 0;  // in c's favour
    for (Bitboard b = own; b; b &= b - 1) {
        const int sq = lsb_index(b);
        const int f  = file_of(sq);

        const bool unopposed = (file_mask[f] & enemy) == 0;
        const bool doubled   = (front_ray(1 - c)[sq] & own) != 0;
        const bool isolated  = (adjacent_files[f] & own) == 0;
        const bool passed    = (passed_span[c][sq] & enemy) == 0;
        const bool supported = !isolated && (support_mask[c][sq] & own) != 0;
        const bool backward  = !isolated && !passed && !supported && (rear_span[c][sq] & own) == 0
                              && (pawn_attacks[c][forward_square[c][sq]] & enemy) != 0;

        if (doubled) {
            mg -= 10;
            eg -= 20;
        }
        if (isolated) {
            mg -= isolated_mg[f];
            eg -= isolated_eg[f];
            if (unopposed) {
                mg -= isolated_mg[f] / 2;
                eg -= isolated_eg[f] / 2;
            }
        }
        if (supported) {
            mg += supported_mg[f];
            eg += supported_eg[f];
        }
        if (backward) {
            mg -= backward_mg[f];
            eg -= backward_eg[f];
            if (unopposed) {
                mg -= backward_mg[f] / 2;
                eg -= backward_eg[f] / 2;
            }
        }
        if (passed) {
            if ((front_ray(c)[sq] & own) == 0)
                info.passed |= square_bit[sq];
        } else if (unopposed && !isolated && is_candidate(c, sq, own, enemy)) {
            const int w = passed_rank_weight[c][rank_of(sq)];
            mg += (50 * w + 128) / 256 + 5;
            eg += (100 * w + 128) / 256 + 10;
        }
    }
    info.mg += sign * mg;
    info.eg += sign * eg;
}

void score_pawns(PawnInfo& info) {
    info.mg     = 0;
    info.eg     = 0;
    info.passed = 0;
    score_pawns_of<BLACK>(info);
    score_pawns_of<WHITE>(info);
    wing_shelters(info, BLACK);
    wing_shelters(info, WHITE);
}

}  // namespace

static thread_local constinit PawnInfo last_info{};

const PawnInfo& pawn_info() { return last_info; }

void allocate_pawn_hash(unsigned megabytes) {
    allocate_pawn_hash_bytes(megabytes_to_bytes(megabytes));
}

void allocate_pawn_hash_bytes(std::uint64_t bytes) {
    allocate_hash_table(pawn_table, pawn_entries, pawn_fallback, bytes);
    pawn_mask = pawn_entries - 1;
}

void clear_pawn_hash() { std::memset(pawn_table, 0, pawn_entries * sizeof(PawnEntry)); }

std::uint64_t pawn_hash_entries() { return pawn_entries; }

void evaluate_pawns() {
    const Key           key   = position().pawn_key;
    const std::uint32_t check = entry_check(key);
    PawnEntry&          entry = pawn_table[static_cast<std::uint32_t>(key) & pawn_mask];
    PawnInfo&           info  = last_info;
    if (key != 0 && entry.check == check) {
        info.mg     = entry.mg;
        info.eg     = entry.eg;
        info.passed = entry.passed;
        for (int c = BLACK; c <= WHITE; ++c) {
            info.shelter[WING_KING][c]  = entry.shelter_king[c];
            info.shelter[WING_E][c]     = entry.shelter_e[c];
            info.shelter[WING_QUEEN][c] = entry.shelter_queen[c];
            info.shelter[WING_D][c]     = entry.shelter_d[c];
        }
        return;
    }

    score_pawns(info);
    entry.check  = check;
    entry.mg     = static_cast<std::int16_t>(info.mg);
    entry.eg     = static_cast<std::int16_t>(info.eg);
    entry.passed = info.passed;
    for (int c = BLACK; c <= WHITE; ++c) {
        entry.shelter_king[c]  = static_cast<std::int16_t>(info.shelter[WING_KING][c]);
        entry.shelter_e[c]     = static_cast<std::int16_t>(info.shelter[WING_E][c]);
        entry.shelter_queen[c] = static_cast<std::int16_t>(info.shelter[WING_QUEEN][c]);
        entry.shelter_d[c]     = static_cast<std::int16_t>(info.shelter[WING_D][c]);
    }
}

int king_shelter(int file, int colour) {
    int total = 0;
    for (int f = file - 1; f <= file + 1; ++f)
        total += shelter_on_file(f, colour);
    return total;
}
