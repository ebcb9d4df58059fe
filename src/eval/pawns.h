// eval/pawns.h: the pawn skeleton. evaluate_pawns() scores doubled, isolated, supported,
// backward and candidate passed pawns, finds the passed pawns and computes each colour's
// king shelter on four reference files. All of it depends on the pawns alone, so it is
// cached in pawn_hash, keyed by the position's pawn_key. pawns.cpp owns pawn_hash and
// pawn_info, one of each per search thread: the main thread's hash is sized at start-up,
// each helper allocates one the same size when the thread pool starts it and gives it back
// when it ends. evaluate_pawns() is the only writer of both but for the clearing. Scores
// are centipawns, White minus Black; shelter values are penalty units, larger is worse.
#pragma once

#include <array>
#include <cstdint>

#include "position/attacks.h"
#include "position/types.h"

// Shelter reference files: b, d, e and g.
constexpr int WING_QUEEN   = 0;
constexpr int WING_D       = 1;
constexpr int WING_E       = 2;
constexpr int WING_KING    = 3;
constexpr int wing_file[4] = {1, 3, 4, 6};  // [wing]

struct PawnInfo {
    int      mg;
    int      eg;
    Bitboard passed;         // passed pawns of both colours, front-most of each file only
    int      shelter[4][2];  // [wing][colour]: king_shelter on the wing's reference file
};

// One slot of pawn_hash, 32 bytes.
struct PawnEntry {
    std::uint32_t check;  // entry_check(pawn_key)
    std::int16_t  mg;
    std::int16_t  eg;
    std::int16_t  shelter_king[2];  // [colour]
    std::int16_t  shelter_e[2];
    std::int16_t  shelter_queen[2];
    std::int16_t  shelter_d[2];
    Bitboard      passed;
};
static_assert(sizeof(PawnEntry) == 32);

// The result of the last evaluate_pawns() call on the calling thread (one per search
// thread, thread_local in pawns.cpp); only evaluate_pawns writes it.
const PawnInfo& pawn_info();

// Start-up: the largest power-of-two byte count not above megabytes * 2^20 (0 counts as
// 1) nor half the machine's memory; if the machine refuses it, the largest smaller power of two it
// grants. Every entry starts fresh. allocate_pawn_hash_bytes takes a byte count (tests use a single
// entry).
void allocate_pawn_hash(unsigned megabytes);
void allocate_pawn_hash_bytes(std::uint64_t bytes);
// Makes every entry of this thread's hash fresh again: a new game, through
// clear_for_new_game (search/threads.h).
void          clear_pawn_hash();
std::uint64_t pawn_hash_entries();

// Fills pawn_info for the current position, from the hash when it can.
void evaluate_pawns();
// Shelter of a king of colour c on file F (1, 3, 4 or 6), over files F - 1 .. F + 1.
int king_shelter(int file, int colour);

// passed_rank_weight[colour][rank]: how far a passed pawn has come, 0..256.
constexpr int passed_rank_weight[2][8] = {{0, 256, 154, 77, 26, 0, 0, 0},
                                          {0, 0, 0, 26, 77, 154, 256, 0}};

// Pawn masks, by file or by [colour][square]; "in front" is toward the colour's
// promotion rank.
constexpr std::array<Bitboard, 8> file_mask = [] {
    std::array<Bitboard, 8> table{};
    for (int f = 0; f < 8; ++f)
        table[f] = 0x0101010101010101ull << f;
    return table;
}();
constexpr std::array<Bitboard, 8> adjacent_files = [] {
    std::array<Bitboard, 8> table{};
    for (int f = 0; f < 8; ++f)
        table[f] = (f > 0 ? file_mask[f - 1] : 0) | (f < 7 ? file_mask[f + 1] : 0);
    return table;
}();
constexpr Bitboard rank_mask(int rank) { return Bitboard{0xff} << (8 * rank); }
// Adjacent files, on the rank of s and the one rank behind it.
constexpr std::array<std::array<Bitboard, 64>, 2> support_mask = [] {
    std::array<std::array<Bitboard, 64>, 2> table{};
    for (int sq = 0; sq < 64; ++sq) {
        const Bitboard side = adjacent_files[file_of(sq)];
        const int      r    = rank_of(sq);
        table[WHITE][sq]    = side & (rank_mask(r) | (r > 0 ? rank_mask(r - 1) : 0));
        table[BLACK][sq]    = side & (rank_mask(r) | (r < 7 ? rank_mask(r + 1) : 0));
    }
    return table;
}();
// Adjacent files, on the rank of s and every rank behind it.
constexpr std::array<std::array<Bitboard, 64>, 2> rear_span = [] {
    std::array<std::array<Bitboard, 64>, 2> table{};
    for (int sq = 0; sq < 64; ++sq) {
        const Bitboard side = adjacent_files[file_of(sq)];
        for (int r = 0; r < 8; ++r) {
            if (r <= rank_of(sq))
                table[WHITE][sq] |= side & rank_mask(r);
            if (r >= rank_of(sq))
                table[BLACK][sq] |= side & rank_mask(r);
        }
    }
    return table;
}();
// The squares strictly in front of s on its file.
constexpr const std::array<Bitboard, 64>& front_ray(int colour) {
    return colour == WHITE ? ray_north : ray_south;
}

static_assert(adjacent_files[0] == 0x0202020202020202ull);
static_assert(support_mask[WHITE][28] == 0x28280000ull, "e4: d3, f3, d4, f4");
static_assert(rear_span[BLACK][60] == 0x2800000000000000ull, "e8: d8, f8");
