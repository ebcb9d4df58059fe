#include "eval/eval_report.h"

#include "eval/evaluate.h"
#include "eval/material.h"
#include "position/position.h"

namespace {

constexpr const char* term_names[TERM_COUNT] = {
    "material", "piece-square", "pawn structure", "tempo",       "king placement", "knights",
    "bishops",  "rooks",        "queens",         "king safety", "passed pawns",   "mop-up",
};

const char* recogniser_name(EvalRecogniser recogniser) {
    switch (recogniser) {
        case RECOGNISER_KPK_WHITE: return "kpk_winnable(white) is false: White cannot win";
        case RECOGNISER_KPK_BLACK: return "kpk_winnable(black) is false: Black cannot win";
        case RECOGNISER_OPPOSITE_BISHOPS: return "opposite_bishops: both scales capped at 8";
        case RECOGNISER_NONE: break;
    }
    return "none";
}

void print_flags(std::FILE* out, int flags) {
    constexpr struct {
        int         bit;
        const char* name;
    } names[] = {{MF_KPK_WHITE, "MF_KPK_WHITE"},
                 {MF_KPK_BLACK, "MF_KPK_BLACK"},
                 {MF_BISHOP_ENDING, "MF_BISHOP_ENDING"},
                 {MF_WHITE_ATTACK, "MF_WHITE_ATTACK"},
                 {MF_BLACK_ATTACK, "MF_BLACK_ATTACK"}};
    std::fprintf(out, "material flags  0x%02x", flags);
    for (const auto& flag : names)
        if (flags & flag.bit)
            std::fprintf(out, " %s", flag.name);
    std::fprintf(out, "\n");
}

}  // namespace

int print_eval_report(std::FILE* out) {
    EvalTrace trace;
    const int score = evaluate_traced(-MATE, MATE, trace);

    std::fprintf(out, "fen %s\n\n", position_to_fen().c_str());
    std::fprintf(out, "%-16s %13s %13s %13s\n", "", "White", "Black", "net");
    std::fprintf(out, "%-16s %6s %6s %6s %6s %6s %6s\n", "term", "mg", "eg", "mg", "eg", "mg",
                 "eg");
    for (int t = 0; t < TERM_COUNT; ++t) {
        const int net_mg = trace.mg[t][WHITE] - trace.mg[t][BLACK];
        const int net_eg = trace.eg[t][WHITE] - trace.eg[t][BLACK];
        if (trace.net_only[t])
            std::fprintf(out, "%-16s %6s %6s %6s %6s %6d %6d\n", term_names[t], "-", "-", "-", "-",
                         net_mg, net_eg);
        else
            std::fprintf(out, "%-16s %6d %6d %6d %6d %6d %6d\n", term_names[t], trace.mg[t][WHITE],
                         trace.eg[t][WHITE], trace.mg[t][BLACK], trace.eg[t][BLACK], net_mg,
                         net_eg);
    }
    std::fprintf(out, "%-16s %6s %6s %6s %6s %6d %6d\n\n", "total", "", "", "", "", trace.total_mg,
                 trace.total_eg);

    std::fprintf(out, "phase           %d (0 middle game .. 256 end game)\n", trace.phase);
    std::fprintf(out, "blended         %d (White's view, before scaling)\n", trace.blended);
    std::fprintf(out, "scale white     %d/16\nscale black     %d/16\n", trace.scale_white,
                 trace.scale_black);
    print_flags(out, trace.material_flags);
    std::fprintf(out, "recogniser      %s\n", recogniser_name(trace.recogniser));
    if (trace.exit == EXIT_DEAD_DRAW)
        std::fprintf(out, "dead draw       both scale factors are 0: later terms not computed\n");
    const bool lazy_fires =
        trace.lazy_allowed
        && (trace.lazy_score - lazy_margin >= MATE || trace.lazy_score + lazy_margin <= -MATE);
    std::fprintf(out, "lazy exit       %s at the full window (cheap score %d, %s)\n",
                 lazy_fires ? "fires" : "does not fire", trace.lazy_score,
                 trace.lazy_allowed ? "allowed" : "not allowed: a side has 6 or less pieces");
    std::fprintf(out, "eval %d\n", score);
    return score;
}
