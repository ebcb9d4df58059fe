// eval/king_safety.cpp: pawn attackers of the king zone, and the scoring of each king's
// safety from the attacker's counters and the defender's pawn shelter.
#include "eval/king_safety.h"

#include "eval/pawns.h"
#include "position/attacks.h"
#include "position/bitboard.h"
#include "position/position.h"

void count_pawn_attackers(EvalState& st, int colour) {
    const Position& pos  = position();
    const int       c    = colour;
    const Bitboard  zone = king_attacks[pos.king_square[1 - c]];
    st.attack_count[c] += popcount(zone & st.pawn_attacks_of[c]);
    // Pawn storm: an own pawn in the zone or one rank short of it.
    const Bitboard storm = zone | (c == WHITE ? zone >> 8 : zone << 8);
    if (pos.pieces[c][PAWN] & storm)
        st.king_pressure[c] += 3;
}

void score_king_safety(EvalState& st, int colour) {
    const Position& pos = position();
    const int       c   = colour;
    const int       e   = 1 - c;
    if ((st.material_flags & attack_flag(e)) == 0)
        return;

    const int pressure = min_int(max_int(st.king_pressure[e], 0), 20);
    st.mg[e] += pressure_bonus[pressure];
    st.mg[c] += (-20 * scale_for_attackers(st.attack_count[e]) * st.attack_weight[e]) / 256;

    // Shelter where the king stands, or, while it may still castle, the best wing it can
    // reach, though never counted as better than 3.
    const int(&shelter)[4][2] = pawn_info().shelter;
    int s                     = 0;
    switch (pos.castle_rights[c]) {
        case 0: {
            const int f    = file_of(pos.king_square[c]);
            const int wing = f <= 2 ? WING_QUEEN : f == 3 ? WING_D : f == 4 ? WING_E : WING_KING;
            s              = shelter[wing][c];
            break;
        }
        case CASTLE_SHORT:
            s = max_int(3, min_int(shelter[WING_KING][c], shelter[WING_E][c]));
            break;
        case CASTLE_LONG:
            s = max_int(3, min_int(shelter[WING_QUEEN][c], shelter[WING_E][c]));
            break;
        default:
            s = max_int(3, min_int(shelter[WING_KING][c],
                                   min_int(shelter[WING_E][c], shelter[WING_QUEEN][c])));
            break;
    }
    st.mg[c] -= 10 * s;
}
