#include "shell/wdl.h"

#include <algorithm>
#include <cmath>

#include "position/position.h"

namespace {

// Fitted by scripts/wdl-fit to 15200 self-play games of scripts/wdl-games (velmora against
// itself at depth 5 through xboard: 7600 from named openings, 7600 from the same openings a
// ply longer) and tested on 7600 others, two plies longer. Each of a and b is
// c0 + c1 t + c2 t^2 centipawns, t the material over 58, plus a broken line in u, the plies
// over 100: c3 u + c4 (u - 0.4) + ... + c8 (u - 2.0), each (u - k) counted only past k.
// Long games turn drawish at any score, more so than any smooth curve in u followed.
constexpr int    WDL_TERMS                = 9;
constexpr double WDL_KNOTS[WDL_TERMS - 3] = {0.0, 0.4, 0.8, 1.2, 1.6, 2.0};
constexpr double WDL_CENTRE[WDL_TERMS]    = {209.94, -193.97, 86.97, -23.05, 66.44,
                                             107.90, 211.08,  26.94, 24.97};
constexpr double WDL_WIDTH[WDL_TERMS]     = {149.82, -59.83, 54.26,  -67.25, 66.32,
                                             -1.46,  104.87, -43.64, -15.74};

// The fit saw material from a bare board to the full set, and games up to 240 plies in
// numbers enough to tell; beyond them the curves would only extrapolate.
constexpr int WDL_MATERIAL_MIN = 0;
constexpr int WDL_MATERIAL_MAX = 78;
constexpr int WDL_PLY_MAX      = 240;
// Past this the chances no longer move in the third digit.
constexpr int WDL_SCORE_LIMIT = 4000;

// t = material / 58, u = plies / 100.
constexpr double terms(const double (&c)[WDL_TERMS], double t, double u) {
    double sum = c[0] + (c[1] + c[2] * t) * t;
    for (int k = 0; k < WDL_TERMS - 3; ++k)
        sum += c[3 + k] * (u > WDL_KNOTS[k] ? u - WDL_KNOTS[k] : 0.0);
    return sum;
}

// a and b stay positive wherever the model is read: then win + loss is at most 1.
constexpr bool positive_everywhere(const double (&c)[WDL_TERMS]) {
    for (int material = WDL_MATERIAL_MIN; material <= WDL_MATERIAL_MAX; ++material)
        for (int plies = 0; plies <= WDL_PLY_MAX; ++plies)
            if (terms(c, material / 58.0, plies / 100.0) <= 0)
                return false;
    return true;
}
static_assert(positive_everywhere(WDL_CENTRE) && positive_everywhere(WDL_WIDTH),
              "the curves' centre and width stay positive");

int start_ply = 0;

int per_mille(double chance) { return static_cast<int>(std::lround(chance * 1000.0)); }

}  // namespace

int wdl_material() {
    const Position& pos   = position();
    int             units = 0;
    for (int colour = 0; colour < 2; ++colour)
        units += pos.piece_count[colour][PAWN] + pos.nonpawn_material[colour];
    return units;
}

void set_wdl_start_ply(int plies) { start_ply = plies; }

int wdl_plies() { return start_ply + position().history_length; }

Wdl score_to_wdl(int score, int material, int plies) {
    if (score > MATE_BOUND)
        return Wdl{1000, 0, 0};
    if (score < -MATE_BOUND)
        return Wdl{0, 0, 1000};
    const double t   = std::clamp(material, WDL_MATERIAL_MIN, WDL_MATERIAL_MAX) / 58.0;
    const double u   = std::clamp(plies, 0, WDL_PLY_MAX) / 100.0;
    const double a   = terms(WDL_CENTRE, t, u);
    const double b   = terms(WDL_WIDTH, t, u);
    const double s   = std::clamp(score, -WDL_SCORE_LIMIT, WDL_SCORE_LIMIT);
    const int    win = per_mille(1.0 / (1.0 + std::exp((a - s) / b)));
    // A positive centre keeps win + loss at most 1; rounding can still pass 1000.
    const int loss = std::min(per_mille(1.0 / (1.0 + std::exp((a + s) / b))), 1000 - win);
    return Wdl{win, 1000 - win - loss, loss};
}
