// eval/material.cpp: the material hash, the draw rules and the two endgame recognisers.
#include "eval/material.h"

#include <cstring>

#include "eval/table_size.h"
#include "position/attacks.h"
#include "position/bitboard.h"
#include "position/position.h"

namespace {

// One material hash per search thread. Until a thread allocates its table, a single
// static entry serves: an evaluation before allocate_material_hash is slow but correct,
// never a null dereference. Every search thread allocates its own before it searches.
MaterialEntry                         start_fallback[1]    = {};
thread_local constinit MaterialEntry  material_fallback[1] = {};
thread_local constinit MaterialEntry* material_table       = start_fallback;
thread_local constinit std::uint64_t  material_entries     = 1;
thread_local constinit std::uint64_t  material_mask        = 0;

constexpr std::uint32_t pack_material(const MaterialInfo& info) {
    return static_cast<std::uint32_t>(info.material_flags) | info.scale_black << 8
           | info.scale_white << 13 | info.phase << 18;
}

MaterialInfo unpack_material(const MaterialEntry& entry) {
    MaterialInfo info;
    info.mg             = entry.mg;
    info.eg             = entry.eg;
    info.material_flags = static_cast<int>(entry.packed & 0xff);
    info.scale_black    = static_cast<int>((entry.packed >> 8) & 0x1f);
    info.scale_white    = static_cast<int>((entry.packed >> 13) & 0x1f);
    info.phase          = static_cast<int>((entry.packed >> 18) & 0x1ff);
    return info;
}

static_assert((pack_material({0, 0, 256, 16, 16, 0x1f}) >> 27) == 0, "bits 27-31 stay zero");

// Everything in probe_material below the hash look-up.
MaterialInfo compute_material() {
    const Position& pos = position();
    const int(&w)[7]    = pos.piece_count[WHITE];
    const int(&b)[7]    = pos.piece_count[BLACK];

    MaterialInfo info{0, 0, 0, 16, 16, 0};
    apply_draw_rules(info);

    if (w[QUEEN] >= 1 && w[QUEEN] + w[ROOK] + w[BISHOP] + w[KNIGHT] >= 2)
        info.material_flags |= MF_WHITE_ATTACK;
    if (b[QUEEN] >= 1 && b[QUEEN] + b[ROOK] + b[BISHOP] + b[KNIGHT] >= 2)
        info.material_flags |= MF_BLACK_ATTACK;

    // Phase: 24 units of pieces in the start position, 0 when only pawns are left.
    const int units = 24 - 4 * (w[QUEEN] + b[QUEEN]) - 2 * (w[ROOK] + b[ROOK])
                      - (w[BISHOP] + b[BISHOP] + w[KNIGHT] + b[KNIGHT]);
    info.phase = (256 * max_int(units, 0) + 12) / 24;

    const int white_pieces =
        VALUE_ROOK * w[ROOK] + VALUE_KNIGHT * (w[KNIGHT] + w[BISHOP] + 3 * w[QUEEN]);
    const int black_pieces =
        VALUE_ROOK * b[ROOK] + VALUE_KNIGHT * (b[KNIGHT] + b[BISHOP] + 3 * b[QUEEN]);
    static_assert(VALUE_BISHOP == VALUE_KNIGHT && VALUE_QUEEN == 3 * VALUE_KNIGHT);
    int mg = VALUE_PAWN_MG * (w[PAWN] - b[PAWN]) + white_pieces - black_pieces;
    int eg = VALUE_PAWN_EG * (w[PAWN] - b[PAWN]) + white_pieces - black_pieces;

    // Close balance: pieces beat pawns, and a queen beats its worth in other pieces.
    if (abs_int(mg) <= 180) {
        if (white_pieces > black_pieces && b[PAWN] > w[PAWN]) {
            mg += 35;
            eg += 25;
        } else if (black_pieces > white_pieces && w[PAWN] > b[PAWN]) {
            mg -= 35;
            eg -= 25;
        }
        if (w[QUEEN] > 0 && b[QUEEN] == 0) {
            mg += 40;
            eg += 60;
        }
        if (b[QUEEN] > 0 && w[QUEEN] == 0) {
            mg -= 40;
            eg -= 60;
        }
    }

    // The side ahead likes to trade pieces and keep pawns.
    const int white_total = VALUE_PAWN_EG * w[PAWN] + white_pieces;
    const int black_total = VALUE_PAWN_EG * b[PAWN] + black_pieces;
    if (white_total > black_total)
        eg += 8 * (w[PAWN] - b[PAWN]) - 2 * min_int(pos.nonpawn_material[BLACK], 31) + 62;
    if (black_total > white_total)
        eg += 8 * (w[PAWN] - b[PAWN]) + 2 * min_int(pos.nonpawn_material[WHITE], 31) - 62;

    if (w[BISHOP] >= 2) {
        mg += 50;
        eg += 55;
        if (b[KNIGHT] == 0 && b[BISHOP] == 0)
            eg += 10;
        else if (b[BISHOP] == 0)
            eg += 5;
    }
    if (b[BISHOP] >= 2) {
        mg -= 50;
        eg -= 55;
        if (w[KNIGHT] == 0 && w[BISHOP] == 0)
            eg -= 10;
        else if (w[BISHOP] == 0)
            eg -= 5;
    }

    // Knights gain with pawns on the board, rooks as they disappear.
    const int by_pawns = 4 * w[KNIGHT] * (w[PAWN] - 5) - 4 * b[KNIGHT] * (b[PAWN] - 5)
                         + (16 - w[PAWN] - b[PAWN]) * (w[ROOK] - b[ROOK]);
    info.mg = mg + by_pawns;
    info.eg = eg + by_pawns;
    return info;
}

}  // namespace

void allocate_material_hash(unsigned megabytes) {
    allocate_material_hash_bytes(megabytes_to_bytes(megabytes));
}

void allocate_material_hash_bytes(std::uint64_t bytes) {
    allocate_hash_table(material_table, material_entries, material_fallback, bytes);
    material_mask = material_entries - 1;
}

void clear_material_hash() {
    std::memset(material_table, 0, material_entries * sizeof(MaterialEntry));
}

std::uint64_t material_hash_entries() { return material_entries; }

MaterialInfo probe_material() {
    const Key           key   = position().material_key;
    const std::uint32_t check = entry_check(key);
    MaterialEntry&      entry = material_table[static_cast<std::uint32_t>(key) & material_mask];
    if (key != 0 && entry.check == check)
        return unpack_material(entry);

    const MaterialInfo info = compute_material();
    entry                   = {check, info.mg, info.eg, pack_material(info)};
    return info;
}

void apply_draw_rules(MaterialInfo& info) {
    const Position& pos = position();
    const int(&w)[7]    = pos.piece_count[WHITE];
    const int(&b)[7]    = pos.piece_count[BLACK];

    // A side with at most one minor piece, or two knights, and nothing else cannot win.
    if (b[PAWN] + b[ROOK] + b[QUEEN] == 0
        && (b[KNIGHT] + b[BISHOP] <= 1 || (b[BISHOP] == 0 && b[KNIGHT] == 2)))
        info.scale_black = 0;
    if (w[PAWN] + w[ROOK] + w[QUEEN] == 0
        && (w[KNIGHT] + w[BISHOP] <= 1 || (w[BISHOP] == 0 && w[KNIGHT] == 2)))
        info.scale_white = 0;
    if (info.scale_white == 0 && info.scale_black == 0)
        return;

    const int white_men = w[PAWN] + w[KNIGHT] + w[BISHOP] + w[ROOK] + w[QUEEN];
    const int black_men = b[PAWN] + b[KNIGHT] + b[BISHOP] + b[ROOK] + b[QUEEN];
    if (white_men == 1 && black_men == 1) {
        if ((w[ROOK] == 1 && b[ROOK] == 1) || (w[QUEEN] == 1 && b[QUEEN] == 1)) {
            info.scale_white = 0;
            info.scale_black = 0;
        }
    } else if (white_men + black_men == 1) {
        if (w[PAWN] == 1)
            info.material_flags |= MF_KPK_WHITE;
        if (b[PAWN] == 1)
            info.material_flags |= MF_KPK_BLACK;
    }

    if (w[KNIGHT] + w[ROOK] + w[QUEEN] + b[KNIGHT] + b[ROOK] + b[QUEEN] == 0 && w[BISHOP] == 1
        && b[BISHOP] == 1 && abs_int(w[PAWN] - b[PAWN]) <= 2)
        info.material_flags |= MF_BISHOP_ENDING;
}

bool kpk_winnable(int colour) {
    const Position& pos       = position();
    const int       a         = colour;
    const int       pawn      = lsb_index(pos.pieces[a][PAWN]);
    const int       king      = pos.king_square[a];
    const int       defender  = pos.king_square[1 - a];
    const int       queening  = make_square(file_of(pawn), a == WHITE ? 7 : 0);
    const bool      to_move   = pos.side_to_move == a;
    const int       seventh   = a == WHITE ? 6 : 1;
    const Bitboard  beside_q  = pawn_attacks[1 - a][queening];  // next to Q on the 7th rank
    const bool      k_guards7 = (king_attacks[king] & beside_q) != 0;

    // Rook pawns: the defender only has to reach the corner.
    if (file_of(pawn) == 0 || file_of(pawn) == 7)
        return king_distance(defender, queening) > 1;

    if (rank_of(pawn) == seventh) {
        if (defender == queening) {
            if (to_move) {
                if (beside_q & square_bit[king])
                    return false;
                return k_guards7;
            }
            if (king_distance(king, pawn) > 1)
                return false;
            return file_of(king) != file_of(defender);
        }
        if (king_distance(defender, pawn) > 1)
            return true;
        if (to_move && king_distance(defender, queening) <= 1
            && (king_attacks[queening] & king_attacks[king] & ~king_attacks[defender]) == 0)
            return false;
        if (king_distance(king, pawn) > 1)
            return false;
        if (king_distance(defender, queening) > 1)
            return true;
        return !k_guards7;
    }

    const int n1 = forward_square[a][pawn];
    const int n2 = forward_square[a][n1];
    if (to_move)
        return defender != n1 && defender != n2;
    return king_distance(defender, n1) > 1 && king_distance(defender, n2) > 1;
}

bool opposite_bishops() {
    const Position& pos        = position();
    const bool      white_dark = (pos.pieces[WHITE][BISHOP] & DARK_SQUARES) != 0;
    const bool      black_dark = (pos.pieces[BLACK][BISHOP] & DARK_SQUARES) != 0;
    return white_dark != black_dark;
}
