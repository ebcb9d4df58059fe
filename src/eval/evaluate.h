// eval/evaluate.h: the static evaluation. evaluate() looks at the global position and
// returns centipawns from the side to move's view (a pawn is 90 in the middle game, 100
// in the end game). Every term is a (middle game, end game) pair, accumulated from
// White's view and blended by the material phase at the end. Nothing outlives a call but
// the entries it writes into the pawn and material hashes, which start-up must have
// allocated (with the piece-square table built) before the first call.
#pragma once

#include "position/types.h"

// When the cheap score misses the window by this much, the piece terms are skipped.
constexpr int lazy_margin = 200;

// mopup_edge[square of the lone king]: how much the stronger side likes it near the edge.
// clang-format off
constexpr int mopup_edge[64] = {
    200, 180, 160, 140, 140, 160, 180, 200,   // rank 1 (a1 = index 0)
    180, 160, 140, 120, 120, 140, 160, 180,
    160, 140, 120, 100, 100, 120, 140, 160,
    140, 120, 100, 100, 100, 100, 120, 140,
    140, 120, 100, 100, 100, 100, 120, 140,
    160, 140, 120, 100, 100, 120, 140, 160,
    180, 160, 140, 120, 120, 140, 160, 180,
    200, 180, 160, 140, 140, 160, 180, 200,   // rank 8
};
// clang-format on

struct EvalTrace;

// The working record of one evaluate() call; lives on its stack frame.
struct EvalState {
    int      mg_base;  // psq + pawn structure + material + tempo, White minus Black
    int      eg_base;
    int      phase;        // 0..256
    int      scale_white;  // 0..16
    int      scale_black;
    int      material_flags;
    Bitboard pawn_attacks_of[2];  // [colour]
    int      mg[2];               // [colour]: piece, king-safety and passed-pawn terms,
    int      eg[2];               // each in that colour's favour
    Bitboard attack_map[2];       // [colour]: squares the colour attacks
    int      king_pressure[2];    // [colour]: pressure against the enemy king
    int      attack_count[2];     // [colour]: attackers of the enemy king zone
    int      attack_weight[2];    // [colour]: their weighted number
};

// The score for the side to move. The window (alpha, beta) only allows the lazy exit;
// (-32000, 32000) always gives the full score.
int evaluate(int alpha, int beta);

// Term groups of a trace, in the order the tool prints them.
enum EvalTerm {
    TERM_MATERIAL,
    TERM_PIECE_SQUARE,
    TERM_PAWNS,
    TERM_TEMPO,
    TERM_KING_PLACEMENT,
    TERM_KNIGHTS,
    TERM_BISHOPS,
    TERM_ROOKS,
    TERM_QUEENS,
    TERM_KING_SAFETY,
    TERM_PASSED,
    TERM_MOPUP,
    TERM_COUNT
};

// How evaluate() ended.
enum EvalExit {
    EXIT_FULL,       // every step ran
    EXIT_DEAD_DRAW,  // both scale factors 0
    EXIT_LAZY,       // cheap score outside the window
};

// The recogniser that changed a scale factor, if any.
enum EvalRecogniser {
    RECOGNISER_NONE,
    RECOGNISER_KPK_WHITE,  // kpk_winnable(WHITE) said draw
    RECOGNISER_KPK_BLACK,
    RECOGNISER_OPPOSITE_BISHOPS,
};

// What one evaluation did, term by term. Terms kept per colour are in that colour's
// favour; terms kept as a White-minus-Black sum (material, piece-square, pawns, tempo)
// have net_only set, their value in [WHITE] and 0 in [BLACK].
struct EvalTrace {
    int            mg[TERM_COUNT][2];  // [term][colour]
    int            eg[TERM_COUNT][2];
    bool           net_only[TERM_COUNT];
    int            phase;
    int            scale_white;  // after the recognisers
    int            scale_black;
    int            material_flags;
    EvalRecogniser recogniser;
    bool           lazy_allowed;  // both colours have more than 6 non-pawn material
    int            lazy_score;    // the cheap score, side to move's view
    EvalExit       exit;
    int            total_mg;  // White minus Black, before the blend
    int            total_eg;
    int            blended;  // White's view, before scaling
    int            score;    // what evaluate() returned
};

// The same evaluation as evaluate(), also filling trace (for the eval tool and tests).
int evaluate_traced(int alpha, int beta, EvalTrace& trace);
