// search/levels.h: playing strength below full, set as a level in Elo. A level's strength
// comes from the level alone, never from the clock or the machine: each move gets a node
// budget, the root's best lines are scored as in MultiPV, and the answer is chosen among
// those lines by their scores with a random tolerance. The tolerance is a fixed number of
// centipawns for the level, whatever the standing, so a weak level errs as much when it is
// losing as when the game is level, and never by as much as three pawns more than its
// own search sees. From LEVEL_SURE_MATE_ELO up a mate the search found is always played.
// The Elo scale is Stockfish 15.1's UCI_Elo scale, to which the table in levels.cpp is
// fitted by matches (README.md, "Playing strength").
// levels.cpp owns the generator of the choices: seeded from the wall clock at start-up, as
// the book's is, or with a fixed seed by tests and tools. Only the main thread chooses.
#pragma once

#include <cstdint>

#include "position/types.h"

constexpr int LEVEL_MIN_ELO       = 800;   // the weakest level
constexpr int LEVEL_MAX_ELO       = 2180;  // full strength, measured on the same scale
constexpr int LEVEL_SURE_MATE_ELO = 1500;  // from here up no found mate is passed over
// "Skill Level" 0..20: 20 is full strength, each step below it LEVEL_SKILL_STEP Elo less.
constexpr int LEVEL_MAX_SKILL  = 20;
constexpr int LEVEL_SKILL_STEP = (LEVEL_MAX_ELO - LEVEL_MIN_ELO) / LEVEL_MAX_SKILL;
constexpr int LEVEL_MAX_LINES  = 16;  // root lines a level looks at, at most

// How a level plays: what it searches and how far its choice may stray.
struct LevelPlan {
    std::int64_t nodes;      // node budget per move
    int          lines;      // root lines scored, best first
    int          spread_cp;  // the largest score deficit a choice may accept
};

// The Elo of the options, 0 for full strength: UCI_Elo when limit_strength is set, the
// Skill Level's Elo when it is below 20, the lower of the two when both apply.
int level_elo(bool limit_strength, int uci_elo, int skill_level);
// The plan of a level from LEVEL_MIN_ELO up to below LEVEL_MAX_ELO.
LevelPlan level_plan(int elo);

// One scored root line of the last completed iteration.
struct LevelLine {
    Move move;
    Move reply;  // the expected answer, NO_MOVE if none
    int  score;  // side to move's view
};

// The line to play among count lines (count >= 1, best first): a line within the plan's
// spread of the best, each line's deficit blurred by a uniform random amount up to the
// spread. Draws from the generator.
int choose_level_line(const LevelPlan& plan, int elo, const LevelLine* lines, int count);

// The generator: seeded at start-up from the wall clock, or by tests and tools.
void seed_level_choices(std::uint64_t seed);
