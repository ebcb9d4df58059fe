// shell/uci_options.h: the options the UCI loop announces and "setoption" changes. Owns
// uci_options, which the loop resets when it starts and set_uci_option writes; the loop
// reads it for every "go". Hash, Threads and Clear Hash act on the tables and threads at
// once, between searches, and keep nothing here but the size asked for.
#pragma once

#include "shell/time_alloc.h"
#include "shell/uci.h"

constexpr int MIN_HASH_MB = 1;  // below 8 the table takes 8, as with "-th"
// "Move Overhead" is kept back from every clock and fixed time; by default the reserve
// xboard mode keeps too.
constexpr int DEFAULT_MOVE_OVERHEAD_MS = CLOCK_RESERVE_MS;
constexpr int MAX_MOVE_OVERHEAD_MS     = 5000;

struct UciOptions {
    int  hash_mb;
    bool ponder;
    bool own_book;
    int  multi_pv;
    int  move_overhead_ms;
    bool chess960;  // UCI_Chess960: FEN castling fields and castling moves in 960 form
    // The level (search/levels.h): UCI_LimitStrength with UCI_Elo, and Skill Level.
    bool limit_strength;
    int  elo;
    int  skill_level;
    bool show_wdl;  // UCI_ShowWDL: "wdl W D L" after every score (shell/wdl.h)
};

extern const UciOptions& uci_options;  // written by reset_uci_options and set_uci_option

// The defaults, with the table at the size start-up gave it. Besides the options announced,
// "Random Seed" (0 to 2^63 - 1) seeds the level's choices, for tests and tools.
void reset_uci_options(const UciSettings& settings);
// The "option" lines of the answer to "uci".
void announce_uci_options(const UciSettings& settings);
// "setoption name NAME [value VALUE]", args being what follows "setoption": names of
// several words, compared without regard to case. A bad value keeps the old one and the
// GUI is told why; a good one is logged.
void set_uci_option(const char* args, const UciSettings& settings);
