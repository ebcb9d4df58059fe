#include "shell/wdl.h"

#include <algorithm>
#include <cmath>

#include "position/position.h"

namespace {

// Fitted by scripts/wdl-fit to 2042 self-play games of scripts/wdl-games (velmora against
// itself at depth 5 through xboard, 2550 played, 508 held out to test the fit); t is the
// material over 58.
constexpr double WDL_CENTRE[3] = {430.86, -666.09, 321.35};  // a = c0 + c1 t + c2 t^2, centipawns
constexpr double WDL_WIDTH[3]  = {189.99, -197.44, 130.00};  // b = w0 + w1 t + w2 t^2, centipawns

// The fit saw material from a bare board to the full set; beyond it the curves would
// only extrapolate.
constexpr int WDL_MATERIAL_MIN = 0;
constexpr int WDL_MATERIAL_MAX = 78;
// Past this the chances no longer move in the third digit.
constexpr int WDL_SCORE_LIMIT = 4000;

int per_mille(double chance) { return static_cast<int>(std::lround(chance * 1000.0)); }

}  // namespace

int wdl_material() {
    const Position& pos   = position();
    int             units = 0;
    for (int colour = 0; colour < 2; ++colour)
        units += pos.piece_count[colour][PAWN] + pos.nonpawn_material[colour];
    return units;
}

Wdl score_to_wdl(int score, int material) {
    if (score > MATE_BOUND)
        return Wdl{1000, 0, 0};
    if (score < -MATE_BOUND)
        return Wdl{0, 0, 1000};
    const double t   = std::clamp(material, WDL_MATERIAL_MIN, WDL_MATERIAL_MAX) / 58.0;
    const double a   = WDL_CENTRE[0] + (WDL_CENTRE[1] + WDL_CENTRE[2] * t) * t;
    const double b   = WDL_WIDTH[0] + (WDL_WIDTH[1] + WDL_WIDTH[2] * t) * t;
    const double s   = std::clamp(score, -WDL_SCORE_LIMIT, WDL_SCORE_LIMIT);
    const int    win = per_mille(1.0 / (1.0 + std::exp((a - s) / b)));
    // A centre of at least 0 keeps win + loss at most 1; rounding can still pass 1000.
    const int loss = std::min(per_mille(1.0 / (1.0 + std::exp((a + s) / b))), 1000 - win);
    return Wdl{win, 1000 - win - loss, loss};
}
