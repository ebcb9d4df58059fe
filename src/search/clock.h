// search/clock.h: the search's node counter, deadline and stop flag. Nothing interrupts
// a search from outside: every node counts itself, and every 32768th node compares the
// clock with the deadline; once it has passed, stop_search makes every node return at
// once. Times are milliseconds since start-up on the monotonic wall clock (never the
// process's processor time, which runs slower than the GUI's clock on a busy machine).
// clock.cpp owns the state: the thinking driver starts and moves the clock, the root
// search counts its own node, and every other node calls check_clock.
#pragma once

#include <cstdint>

// Nodes of the current think. 64 bits: an hour-long fixed-depth search at full speed
// would overflow 32.
extern const std::int64_t& node_count;
extern const int&          search_start;  // clock_ms() when the current think began
extern const int&          deadline;      // clock_ms() at which the search gives up
extern const bool&         stop_search;   // set once a clock check finds the deadline passed

// Milliseconds since start-up, monotonic.
int clock_ms();

// Driver
void reset_node_count();           // at the start of every think
void start_clock(int budget_ms);   // search_start := now, deadline after budget_ms, flag clear
void set_deadline(int budget_ms);  // deadline := search_start + budget_ms (saturating)
void suspend_deadline();           // no clock check stops the search until set_deadline

// Nodes
void count_root_node();  // the root counts itself and never reads the clock
bool check_clock();      // counts this node; true when it must give up and answer 0
