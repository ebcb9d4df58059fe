// shell/time_alloc.h: how long one search may think. Owns normal_budget and max_budget
// (milliseconds); only allocate_time writes them, once per think after the book has
// answered nothing, and the thinking driver turns them into its deadline.
#pragma once

// Kept back from the engine's clock and from a fixed time per move by both protocol loops
// (UCI's "Move Overhead" starts at it): what passes between the GUI's clock and the
// engine (the pipes, an adapter such as polyglot, the engine's start-up when the GUI
// restarts it for a game, the scheduling of a busy machine) is charged to the engine too.
// Measured on a busy core, xboard's "st 1" answered a few milliseconds after the second
// without it.
constexpr int CLOCK_RESERVE_MS = 30;

// The time after which a search whose iterations agree with each other stops.
extern const int& normal_budget;
// The time a search may run on while its iterations disagree (a fail high, a fail low
// or a large swing of the score).
extern const int& max_budget;

// Budgets from what the GUI has said about the clocks: moves_per_control -1 is a fixed
// time per move ("st", "sd"; 10 ms of it, at most a tenth, is kept back so that the
// answer arrives before the GUI's clock runs out), 0 the whole game in one control,
// n > 0 n moves per control. Times are milliseconds. The moves left in the control
// come from the number of moves played, or from moves_to_go when the GUI counts them
// itself (UCI's "movestogo"). lag_ms is what the GUI's clock loses each move beyond
// the engine's own thinking, as the loop has seen it: with little time left in a game
// with an increment, only what the increment brings back beyond it is spent.
void allocate_time(int moves_per_control,
                   int increment_ms,
                   int own_time_ms,
                   int opponent_time_ms,
                   int fixed_time_ms,
                   int moves_to_go = 0,
                   int lag_ms      = 0);
