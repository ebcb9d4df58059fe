#include "search/levels.h"

#include <cmath>

namespace {

// The plans at the anchor levels, fitted by matches; a level between two anchors takes the
// geometric interpolation of their node budgets and the linear one of the rest. Below a
// few hundred nodes only the first iteration completes (it is never cut short), so the
// lowest levels differ by their choice alone: the lines they weigh, their tolerance and
// their share of glances.
struct LevelAnchor {
    int          elo;
    std::int64_t nodes;
    int          lines;
    int          spread_cp;
    int          glance_pct;
};

// clang-format off
constexpr LevelAnchor anchors[] = {
    { 800,       1, 16, 280, 15},
    {1100,     300,  6, 150,  0},
    {1400,    2500,  5, 110,  0},
    {1600,    5400,  4,  85,  0},
    {1850,   60000,  4,  30,  0},
    {2120, 2000000,  1,   0,  0},
};
// clang-format on
constexpr int ANCHOR_COUNT = static_cast<int>(sizeof anchors / sizeof anchors[0]);
static_assert(anchors[0].elo == LEVEL_MIN_ELO && anchors[ANCHOR_COUNT - 1].elo == LEVEL_MAX_ELO,
              "the anchors span the levels");
static_assert(anchors[0].lines <= LEVEL_MAX_LINES, "the weakest level looks at the most lines");
// A choice never accepts a move three pawns worse than the best the search saw.
static_assert(anchors[0].spread_cp < LEVEL_BLUNDER_CP, "the widest spread stays under three pawns");
// Glances see no mate, so the levels that never pass one over take none: no anchor of a
// stretch that reaches them has glances.
constexpr bool no_glances_where_mates_are_sure() {
    for (int i = 0; i + 1 < ANCHOR_COUNT; ++i)
        if (anchors[i + 1].elo > LEVEL_SURE_MATE_ELO
            && (anchors[i].glance_pct != 0 || anchors[i + 1].glance_pct != 0))
            return false;
    return true;
}
static_assert(no_glances_where_mates_are_sure(), "no glance where a found mate is always played");

// Scores beyond this are mates: they are compared as this, so that no deficit overflows
// and all mates of one side count alike.
constexpr int LEVEL_SCORE_CAP = 3000;

// splitmix64: small, fast and the same on every platform, unlike the library's engines'
// distributions.
std::uint64_t generator_state = 0;

std::uint64_t next_random() {
    std::uint64_t z = (generator_state += 0x9E3779B97F4A7C15ULL);
    z               = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
    z               = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
    return z ^ (z >> 31);
}

int capped(int score) {
    return score > LEVEL_SCORE_CAP    ? LEVEL_SCORE_CAP
           : score < -LEVEL_SCORE_CAP ? -LEVEL_SCORE_CAP
                                      : score;
}

}  // namespace

int level_elo(bool limit_strength, int uci_elo, int skill_level) {
    int elo = LEVEL_MAX_ELO;
    if (limit_strength)
        elo = uci_elo;
    if (skill_level < LEVEL_MAX_SKILL) {
        const int skill_elo = LEVEL_MAX_ELO - (LEVEL_MAX_SKILL - skill_level) * LEVEL_SKILL_STEP;
        elo                 = skill_elo < elo ? skill_elo : elo;
    }
    return elo >= LEVEL_MAX_ELO ? 0 : elo < LEVEL_MIN_ELO ? LEVEL_MIN_ELO : elo;
}

LevelPlan level_plan(int elo) {
    int i = 0;
    while (i < ANCHOR_COUNT - 2 && elo > anchors[i + 1].elo)
        ++i;
    const LevelAnchor& low  = anchors[i];
    const LevelAnchor& high = anchors[i + 1];
    const double       t    = static_cast<double>(elo - low.elo) / (high.elo - low.elo);
    const double       nodes =
        std::exp(std::log(static_cast<double>(low.nodes))
                 + t * (std::log(static_cast<double>(high.nodes)) - std::log(low.nodes)));
    LevelPlan plan;
    plan.nodes = static_cast<std::int64_t>(nodes + 0.5);
    plan.lines = low.lines + static_cast<int>(std::lround(t * (high.lines - low.lines)));
    plan.spread_cp =
        low.spread_cp + static_cast<int>(std::lround(t * (high.spread_cp - low.spread_cp)));
    plan.glance_pct =
        low.glance_pct + static_cast<int>(std::lround(t * (high.glance_pct - low.glance_pct)));
    return plan;
}

int choose_level_line(const LevelPlan& plan, int elo, const LevelLine* lines, int count) {
    int best = 0;
    for (int i = 1; i < count; ++i)
        if (lines[i].score > lines[best].score)
            best = i;
    if (elo >= LEVEL_SURE_MATE_ELO && lines[best].score > MATE_BOUND)
        return best;
    // Each line within the spread gets its deficit less a random allowance of up to the
    // spread; the smallest result wins, the first line on ties.
    const int top    = capped(lines[best].score);
    int       chosen = -1;
    int       least  = 0;
    for (int i = 0; i < count; ++i) {
        const int deficit = top - capped(lines[i].score);
        if (deficit > plan.spread_cp)
            continue;
        const int allowance =
            static_cast<int>(next_random() % static_cast<std::uint64_t>(plan.spread_cp + 1));
        if (chosen < 0 || deficit - allowance < least) {
            least  = deficit - allowance;
            chosen = i;
        }
    }
    return chosen;
}

bool level_glances(const LevelPlan& plan) {
    return plan.glance_pct > 0 && static_cast<int>(next_random() % 100) < plan.glance_pct;
}

void seed_level_choices(std::uint64_t seed) { generator_state = seed; }
