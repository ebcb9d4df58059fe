// eval/evaluate.cpp: the evaluation driver. Numbered steps below are the order of work;
// the cheap part (material, pawns, piece-square sums, tempo) comes first so that the lazy
// exit can skip the piece walk.
#include "eval/evaluate.h"

#include "eval/king_safety.h"
#include "eval/material.h"
#include "eval/passed.h"
#include "eval/pawns.h"
#include "eval/pieces.h"
#include "position/attacks.h"
#include "position/bitboard.h"
#include "position/position.h"

namespace {

constexpr int TEMPO_MG = 15;
constexpr int TEMPO_EG = 8;

// Divide, don't shift: '/' truncates toward zero, so a position and its colour mirror
// blend to exactly opposite values.
constexpr int blend(int mg, int eg, int phase) { return (mg * (256 - phase) + eg * phase) / 256; }

// Trace helpers: a no-op unless a trace is being taken.
struct Accumulators {
    int mg[2];
    int eg[2];
};

inline Accumulators snapshot(const EvalState& st) {
    return {{st.mg[0], st.mg[1]}, {st.eg[0], st.eg[1]}};
}

inline void
record(EvalTrace* trace, EvalTerm term, const Accumulators& before, const EvalState& st) {
    for (int c = BLACK; c <= WHITE; ++c) {
        trace->mg[term][c] += st.mg[c] - before.mg[c];
        trace->eg[term][c] += st.eg[c] - before.eg[c];
    }
}

inline void record_net(EvalTrace* trace, EvalTerm term, int mg, int eg) {
    trace->mg[term][WHITE] = mg;
    trace->eg[term][WHITE] = eg;
    trace->net_only[term]  = true;
}

// One group of terms for one colour, recorded in the trace when there is one.
template <typename Group>
inline void run_group(EvalState& st, EvalTrace* trace, EvalTerm term, Group group, int colour) {
    if (trace) {
        const Accumulators before = snapshot(st);
        group(st, colour);
        record(trace, term, before, st);
    } else {
        group(st, colour);
    }
}

// One colour's share of steps 8 and 9. Each is called once per colour with the colour
// written out, so that inside the inlined terms the colour is a constant: its table rows,
// shifts and rank tests are fixed when the engine is compiled.
[[gnu::always_inline]] inline void piece_terms(EvalState& st, EvalTrace* trace, int c) {
    run_group(st, trace, TERM_KING_PLACEMENT, evaluate_king_placement, c);
    count_pawn_attackers(st, c);
    run_group(st, trace, TERM_KNIGHTS, evaluate_knights, c);
    run_group(st, trace, TERM_BISHOPS, evaluate_bishops, c);
    run_group(st, trace, TERM_ROOKS, evaluate_rooks, c);
    run_group(st, trace, TERM_QUEENS, evaluate_queens, c);
}

[[gnu::always_inline]] inline void king_and_passed_terms(EvalState& st, EvalTrace* trace, int c) {
    run_group(st, trace, TERM_KING_SAFETY, score_king_safety, c);
    run_group(st, trace, TERM_PASSED, evaluate_passed_pawns, c);
}

[[gnu::always_inline]] inline int run_evaluation(int alpha, int beta, EvalTrace* trace) {
    const Position& pos = position();
    EvalState       st;

    // Step 1. Pawn attacks.
    const Bitboard white_pawns = pos.pieces[WHITE][PAWN];
    const Bitboard black_pawns = pos.pieces[BLACK][PAWN];
    st.pawn_attacks_of[WHITE] =
        ((white_pawns & ~file_mask[0]) << 7) | ((white_pawns & ~file_mask[7]) << 9);
    st.pawn_attacks_of[BLACK] =
        ((black_pawns & ~file_mask[0]) >> 9) | ((black_pawns & ~file_mask[7]) >> 7);

    // Step 2. Material, phase and scale factors.
    const MaterialInfo material = probe_material();
    st.phase                    = material.phase;
    st.scale_white              = material.scale_white;
    st.scale_black              = material.scale_black;
    st.material_flags           = material.material_flags;

    // Step 3. Pawn structure.
    evaluate_pawns();
    const PawnInfo& pawns = pawn_info();

    // Step 4. Endgame recognisers: only the first flag set is acted on.
    EvalRecogniser recogniser = RECOGNISER_NONE;
    if (st.material_flags & MF_KPK_WHITE) {
        if (!kpk_winnable(WHITE)) {
            st.scale_white = 0;
            recogniser     = RECOGNISER_KPK_WHITE;
        }
    } else if (st.material_flags & MF_KPK_BLACK) {
        if (!kpk_winnable(BLACK)) {
            st.scale_black = 0;
            recogniser     = RECOGNISER_KPK_BLACK;
        }
    } else if ((st.material_flags & MF_BISHOP_ENDING) && opposite_bishops()) {
        st.scale_white = min_int(st.scale_white, 8);
        st.scale_black = min_int(st.scale_black, 8);
        recogniser     = RECOGNISER_OPPOSITE_BISHOPS;
    }

    // Step 5. The cheap base.
    st.mg_base = pos.psq_mg + pawns.mg + material.mg;
    st.eg_base = pos.psq_eg + pawns.eg + material.eg;

    // Step 6. Tempo.
    const bool white_to_move = pos.side_to_move == WHITE;
    const int  tempo_sign    = white_to_move ? 1 : -1;
    st.mg_base += tempo_sign * TEMPO_MG;
    st.eg_base += tempo_sign * TEMPO_EG;

    const bool lazy_allowed = pos.nonpawn_material[WHITE] > 6 && pos.nonpawn_material[BLACK] > 6;
    const int  cheap        = blend(st.mg_base, st.eg_base, st.phase) * tempo_sign;
    if (trace) {
        *trace = EvalTrace{};
        record_net(trace, TERM_MATERIAL, material.mg, material.eg);
        record_net(trace, TERM_PIECE_SQUARE, pos.psq_mg, pos.psq_eg);
        record_net(trace, TERM_PAWNS, pawns.mg, pawns.eg);
        record_net(trace, TERM_TEMPO, tempo_sign * TEMPO_MG, tempo_sign * TEMPO_EG);
        trace->phase          = st.phase;
        trace->scale_white    = st.scale_white;
        trace->scale_black    = st.scale_black;
        trace->material_flags = st.material_flags;
        trace->recogniser     = recogniser;
        trace->lazy_allowed   = lazy_allowed;
        trace->lazy_score     = cheap;
        trace->total_mg       = st.mg_base;
        trace->total_eg       = st.eg_base;
        trace->blended        = cheap * tempo_sign;
    }

    if (st.scale_white == 0 && st.scale_black == 0) {
        if (trace) {
            trace->exit  = EXIT_DEAD_DRAW;
            trace->score = 0;
        }
        return 0;
    }

    // Step 7. Lazy exit, never while a side is down to a minor piece or less.
    if (lazy_allowed && (cheap - lazy_margin >= beta || cheap + lazy_margin <= alpha)) {
        if (trace) {
            trace->exit  = EXIT_LAZY;
            trace->score = cheap;
        }
        return cheap;
    }

    st.mg[BLACK] = st.mg[WHITE] = 0;
    st.eg[BLACK] = st.eg[WHITE] = 0;
    st.king_pressure[BLACK] = st.king_pressure[WHITE] = 0;
    st.attack_count[BLACK] = st.attack_count[WHITE] = 0;
    st.attack_weight[BLACK] = st.attack_weight[WHITE] = 0;
    for (int c = BLACK; c <= WHITE; ++c)
        st.attack_map[c] = king_attacks[pos.king_square[c]] | st.pawn_attacks_of[c];

    // Step 8. Piece terms, all of White's before any of Black's.
    piece_terms(st, trace, WHITE);
    piece_terms(st, trace, BLACK);

    // Step 9. King safety, then passed pawns, White first.
    king_and_passed_terms(st, trace, WHITE);
    king_and_passed_terms(st, trace, BLACK);

    // Step 10. Mop-up: with no pawns at all, or a side without pieces, the stronger side
    // drives the lone king to the edge and walks its own king towards it.
    if ((white_pawns | black_pawns) == 0 || pos.nonpawn_material[WHITE] == 0
        || pos.nonpawn_material[BLACK] == 0) {
        const int white_npm = pos.nonpawn_material[WHITE];
        const int black_npm = pos.nonpawn_material[BLACK];
        if (white_npm != black_npm) {
            const int strong = white_npm > black_npm ? WHITE : BLACK;
            const int weak   = 1 - strong;
            const int d      = king_distance(pos.king_square[WHITE], pos.king_square[BLACK]);
            const int bonus  = mopup_edge[pos.king_square[weak]] + 10 * (3 - d);
            st.eg[strong] += bonus;
            if (trace)
                trace->eg[TERM_MOPUP][strong] = bonus;
        }
    }

    // Step 11. Blend.
    const int mg = st.mg[WHITE] - st.mg[BLACK] + st.mg_base;
    const int eg = st.eg[WHITE] - st.eg[BLACK] + st.eg_base;
    int       r  = blend(mg, eg, st.phase);
    if (trace) {
        trace->total_mg = mg;
        trace->total_eg = eg;
        trace->blended  = r;
    }

    // Step 12. Scaling toward the draw.
    if (r > 0)
        r = r * st.scale_white / 16;
    else if (r < 0)
        r = r * st.scale_black / 16;

    // Step 13. The side to move's view.
    r *= tempo_sign;
    if (trace) {
        trace->exit  = EXIT_FULL;
        trace->score = r;
    }
    return r;
}

}  // namespace

// Flattened: the term groups live in their own files but run once or twice per call, so
// with link-time optimisation their bodies join this one and the calls disappear.
[[gnu::flatten]] int evaluate(int alpha, int beta) { return run_evaluation(alpha, beta, nullptr); }

int evaluate_traced(int alpha, int beta, EvalTrace& trace) {
    return run_evaluation(alpha, beta, &trace);
}
