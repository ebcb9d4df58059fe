// shell/xboard.h: the conversation with the GUI in the xboard protocol, version 2.
// wait_for_xboard reads words until "xboard"; command_loop then owns the game: it reads
// one line at a time, acts on its first word (a command, or else a move), and takes the
// engine's turn when the GUI has left the move to the engine. The loop's own state
// (force mode, the engine's turn, the time control) lives inside it; the position, the
// game state and the log belong to their modules and the loop writes them through
// their functions.
#pragma once

#include <cstdio>

#include "search/think.h"
#include "shell/log.h"

// What the GUI has said about time and depth. Milliseconds; the GUI sends centiseconds
// for "time" and "otim", whole seconds for "st" and seconds with decimals for the "level"
// increment.
struct TimeControl {
    int moves_per_control = -1;  // -1 fixed time per move, 0 whole game, n moves per control
    int increment_ms      = 0;   // added per move ("level", third number)
    int own_time_ms       = 0;   // the engine's clock ("time")
    int opponent_time_ms  = 0;   // the opponent's clock ("otim")
    int fixed_time_ms     = DEFAULT_FIXED_TIME_MS;  // per move while moves_per_control is -1
    int depth_limit       = DEFAULT_DEPTH_LIMIT;    // iterations ("sd")
    // What the clock should read at the next "time", from the last one less the engine's
    // own thinking plus the increment (-1: nothing to compare), and the delay the GUI's
    // clock has shown beyond it, smoothed over the last few moves.
    int expected_time_ms = -1;
    int lag_ms           = 0;
};

// The loop's state between two lines.
struct LoopState {
    bool        force_mode     = false;  // the engine never starts thinking on its own
    bool        engine_to_move = false;  // think and move at the top of the next pass
    TimeControl time_control;
};

struct LoopSettings {
    const char* log_path   = LOG_FILE_NAME;
    bool        thinking   = true;  // false: the engine's turn passes without a move (fuzzing)
    int         max_depth  = 0;     // above 0: no think goes deeper, whatever "sd" said (fuzzing)
    const char* start_note = nullptr;  // logged first, when not null: what start-up could not do
};

// Input is read in pieces of at most 255 characters; a longer line is taken as several.
constexpr int LINE_CAPACITY = 256;

// Sends the thinking lines as xboard shows them ("%2d %4d %4d %8d" depth, score,
// centiseconds, nodes, then the line) to out; nullptr prints none. The command loop points
// them at its own output; tools and tests choose.
void set_thinking_output(std::FILE* out);

// Ignores the interrupt signal, starts a new game with a cleared transposition table,
// opens the log, then runs until "quit" or the end of in. Answers go to out. Returns the
// loop's state at its end, which only tests look at.
LoopState command_loop(std::FILE* in, std::FILE* out, const LoopSettings& settings = {});
