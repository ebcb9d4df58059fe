// search/levels.h: playing strength below full, set as a level in Elo. A level's strength
// comes from the level alone, never from the clock or the machine: each move gets a node
// budget, the root's best lines are scored as in MultiPV, and the answer is chosen among
// those lines by their scores with a random tolerance. The tolerance is a fixed number of
// centipawns for the level, so a level never chooses a move its own search sees three
// pawns worse than the best. The lowest levels also play some of their moves at a glance,
// by the evaluation just after each move with no reply considered, as a beginner does:
// never when they stand worse. Unless a level stands better it checks its choice with a
// deeper search and plays the deeper search's move instead of one that loses three pawns,
// so that it throws nothing away when it is losing, nor when its own shallow search only
// fails to see that it is. From LEVEL_SURE_MATE_ELO up a mate the search found is always
// played. The Elo scale is Stockfish 15.1's UCI_Elo scale, to which the table in
// levels.cpp is fitted by matches (README.md, "Playing strength"). levels.cpp owns the
// generator of the choices: seeded from the wall clock at start-up, as the book's is, or
// with a fixed seed by tests and tools. Only the main thread chooses.
#pragma once

#include <cstdint>

#include "position/types.h"

constexpr int LEVEL_MIN_ELO       = 800;   // the weakest level
constexpr int LEVEL_MAX_ELO       = 2120;  // full strength, measured on the same scale
constexpr int LEVEL_SURE_MATE_ELO = 1500;  // from here up no found mate is passed over
// "Skill Level" 0..20: 20 is full strength, each step below it LEVEL_SKILL_STEP Elo less.
constexpr int LEVEL_MAX_SKILL  = 20;
constexpr int LEVEL_SKILL_STEP = (LEVEL_MAX_ELO - LEVEL_MIN_ELO) / LEVEL_MAX_SKILL;
constexpr int LEVEL_MAX_LINES  = 16;  // root lines a level looks at, at most
// A level stands worse below LEVEL_WORSE_CP. Below LEVEL_CHECK_CP it checks its choice
// against a search of LEVEL_CHECK_FACTOR times its budget (from LEVEL_CHECK_MIN_NODES up
// to LEVEL_CHECK_MAX_NODES): a choice that search sees LEVEL_BLUNDER_CP or more below its
// best gives way to the best. The check starts above LEVEL_WORSE_CP because a level's own
// search often scores a position level that a deeper one sees lost. Its ceiling keeps it
// within what a fast clock allows, so that the clock does not decide how well it looks.
constexpr int          LEVEL_WORSE_CP        = -100;
constexpr int          LEVEL_CHECK_CP        = 0;
constexpr int          LEVEL_BLUNDER_CP      = 300;
constexpr int          LEVEL_CHECK_FACTOR    = 16;
constexpr std::int64_t LEVEL_CHECK_MIN_NODES = 20000;
constexpr std::int64_t LEVEL_CHECK_MAX_NODES = 100000;

// How a level plays: what it searches and how far its choice may stray.
struct LevelPlan {
    std::int64_t nodes;       // node budget per move
    int          lines;       // root lines scored, best first
    int          spread_cp;   // the largest score deficit a choice may accept
    int          glance_pct;  // the share of moves, in per cent, chosen at a glance
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

// Whether this move is played at a glance (when the level does not stand worse). Draws
// from the generator when the plan has glances.
bool level_glances(const LevelPlan& plan);

// The generator: seeded at start-up from the wall clock, or by tests and tools.
void seed_level_choices(std::uint64_t seed);
