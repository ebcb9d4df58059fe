// search/clock.h: the search's node counter, deadline and stop flag. Every node counts
// itself, and every 1024th node compares the clock with the deadline; once it has
// passed, stop_search makes every node return at once. A reading at least 2 ms after the
// last look also asks the input poller, when a protocol loop has installed one, whether
// the GUI has said "stop": the loop looks at its input while thinking only there. Times are
// milliseconds since start-up on the monotonic wall clock (never the process's processor time,
// which runs slower than the GUI's clock on a busy machine). clock.cpp owns the state: the thinking
// driver starts and moves the clock, the root search counts its own node, every other node calls
// check_clock, and the input poller may call request_stop.
#pragma once

#include <atomic>
#include <cstdint>

// Per search thread (thread_local, constant-initialised): the nodes of the current think
// and the deepest search_ply a node reached. 64 bits: an hour-long fixed-depth search at
// full speed would overflow 32.
extern thread_local constinit std::int64_t node_count;
extern thread_local constinit int          selective_ply;
// Shared by every search thread: set once the main thread finds a reason to stop, and
// read by every node of every thread. Relaxed, for the writer and every reader alike: the
// flag orders no other data, and a node that sees it a little late only searches a little
// longer.
extern const std::atomic<bool>& stop_search;
// The main thread's alone, in clock_ms() readings.
extern const int& search_start;  // when the current think began
extern const int& deadline;      // when the search gives up

// Milliseconds since start-up, monotonic.
int clock_ms();

// Driver
void reset_node_count();           // at the start of every think
void start_clock(int budget_ms);   // search_start := now, deadline after budget_ms, no limits
void set_deadline(int budget_ms);  // deadline := budget start + budget_ms (saturating)
void suspend_deadline();           // no time limit until the next set_deadline
void restart_budget();             // budgets count from now on (a ponder hit)
void set_node_limit(std::int64_t nodes);  // stop once this many nodes are counted; 0: none
// While held, no check stops the search: the first iteration always completes. What
// would have stopped it stops the first check after the hold ends.
void hold_stops(bool hold);
// Lets a main-thread search that its node limit stopped go on to a new limit (nodes of the
// whole think), with no helper searching. False, changing nothing, when the GUI asked for a
// stop or the deadline has passed.
bool extend_node_limit(std::int64_t limit);

// Input. poller runs at a clock reading every 2 ms (nullptr: none) and may ask for a stop.
void set_input_poller(void (*poller)());
void request_stop();    // the GUI said stop (or quit): honoured at the next check
bool stop_requested();  // asked since start_clock
bool limit_reached();   // a stop was asked for or the node limit is spent

// Sets stop_search: the main thread's think is over, and every helper leaves its search.
void stop_all_threads();

// Nodes
void count_root_node();  // the root counts itself and never reads the clock
bool check_clock();      // counts this node; true when it must give up and answer 0
