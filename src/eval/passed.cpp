// eval/passed.cpp: passed pawns against the pieces and the kings.
#include "eval/passed.h"

#include "eval/pawns.h"
#include "position/attacked.h"
#include "position/attacks.h"
#include "position/bitboard.h"
#include "position/position.h"

namespace {

// A pawn whose next square is empty: how far it can advance before meeting a piece or a
// square only the enemy controls.
int free_path_bonus(int colour, int n1, Bitboard stops, Bitboard enemy_only) {
    const int last_rank = colour == WHITE ? 7 : 0;
    if (enemy_only & square_bit[n1])
        return 0;
    if (rank_of(n1) == last_rank)
        return 105;
    const int n2 = forward_square[colour][n1];
    if (stops & square_bit[n2])
        return 35;
    if (rank_of(n2) == last_rank)
        return 105;
    const int n3 = forward_square[colour][n2];
    return (stops & square_bit[n3]) ? 70 : 105;
}

}  // namespace

void evaluate_passed_pawns(EvalState& st, int colour) {
    const Position& pos        = position();
    const int       c          = colour;
    const int       e          = 1 - c;
    const Bitboard  all        = pos.occupancy[WHITE] | pos.occupancy[BLACK];
    const int       own_king   = pos.king_square[c];
    const int       enemy_king = pos.king_square[e];
    const int       last_rank  = c == WHITE ? 7 : 0;
    // Squares the enemy controls and we do not.
    const Bitboard enemy_only = st.attack_map[e] & ~st.attack_map[c];

    for (Bitboard b = pos.pieces[c][PAWN] & pawn_info().passed; b; b &= b - 1) {
        const int sq = lsb_index(b);
        const int w  = passed_rank_weight[c][rank_of(sq)];
        const int n1 = forward_square[c][sq];

        st.mg[c] += (60 * w + 128) / 256 + 10;
        const int base = (120 * w + 128) / 256 + 20;
        st.eg[c] += base;

        // Against bare pawns, a pawn the enemy king cannot catch queens.
        const Bitboard path = front_ray(c)[sq];
        if (pos.nonpawn_material[e] == 0 && (path & all) == 0) {
            const int queening   = make_square(file_of(sq), last_rank);
            const int relative   = c == WHITE ? rank_of(sq) : 7 - rank_of(sq);
            int       king_steps = king_distance(enemy_king, queening);
            if (pos.side_to_move == e)
                king_steps -= 1;
            if (relative == 1)
                king_steps += 1;  // the double step is one move for two squares
            if (7 - relative < king_steps) {
                st.eg[c] += (700 * w + 128) / 256;
                continue;
            }
        }

        int  extra      = 0;
        bool look_ahead = true;
        if (path & pos.pieces[c][ROOK]) {
            // An own rook in front blocks the pawn; worse when the pawn hangs.
            if (st.attack_map[e] & square_bit[sq]) {
                extra      = -150;
                look_ahead = false;
            } else {
                extra = -75;
            }
        }

        if (look_ahead) {
            if ((all & square_bit[n1]) == 0) {
                extra += free_path_bonus(c, n1, all | enemy_only, enemy_only);
            } else {
                if (pos.occupancy[c] & square_bit[n1])
                    extra += 35;
                if (popcount(attackers_of(sq, c)) >= 2)
                    extra += 35;
                if (st.attack_map[c] & square_bit[n1])
                    extra += 35;
            }
        }

        if (pos.pieces[c][PAWN] & support_mask[c][sq])
            extra += base;
        extra -= 5 * king_distance(own_king, n1);
        extra += 20 * king_distance(enemy_king, n1);
        if (extra > 0)
            st.eg[c] += (extra * w + 128) / 256;
    }
}
