// search/threads.h: the thread pool of a parallel search, and the directory of the
// engine's state by thread. With N search threads, N - 1 helpers search the same position
// as the main thread, each on its own copy of the game; they meet only in the shared
// table and the stop. threads.cpp owns the pool: helpers are started once by
// set_search_threads, wait idle (blocked, not spinning) between searches, and are ended by
// set_search_threads(1).
//
// Shared by every search thread (written race-free, in one place each):
//   search/tt.h        the transposition table: entries of two relaxed atomic words each;
//                      tt_clear and allocate_tt run only while every helper is idle
//   search/clock.h     stop_search: set by the main thread, read by every node (relaxed)
//   threads.cpp        each helper's published node count (relaxed atomics) and the game
//                      record and limits a search job copies: the main thread writes them
//                      before it posts the job, helpers read them only while it runs
//   read-only tables   attack tables, hash key numbers, piece-square and evaluation
//                      tables: built once at start-up, before any helper exists
// Owned by each search thread (thread_local, one copy per thread):
//   position/position.h  position, history_stack, search_ply
//   movegen/ordering.h   history, killers, history counters
//   eval/pawns.h         the pawn hash and pawn_info
//   eval/material.h      the material hash
//   search/clock.h       node_count, selective_ply
//   search/think.h       iteration, root_pv, answer_pv
// The main thread's alone (helpers never read or write them, and never print):
//   search/clock.h       the clock: search_start, deadline, node limit, input poller
//   search/think.h       answered_from_book, the thinking printer
//   shell/               the protocol loops, options, book, log and time budget
//   this pool            every function below but the last two, which a helper calls
//                        on its own thread
#pragma once

#include <cstdint>

#include "search/think.h"

// Search threads in all, the main thread included: helpers number MAX_SEARCH_THREADS - 1.
constexpr int MAX_SEARCH_THREADS = 256;

// Starts or ends helpers so that threads search threads in all (1 to MAX_SEARCH_THREADS);
// each new helper allocates pawn and material hashes the size of the main thread's. The
// answer is the number of search threads now running: fewer than asked when the system
// grants no more threads. Called between searches.
int set_search_threads(int threads);
int search_threads();  // 1 when no helper runs

// Helpers take the main thread's game as it is now and search it with these limits'
// root moves, until stop_helpers stops them. Nothing happens without helpers.
void start_helpers(const SearchLimits& limits);
// Tells every helper to stop, and returns at once: the main thread answers while the
// helpers leave their searches.
void stop_helpers();
// Waits until every helper is idle: before a search starts, and before the main thread
// changes the shared table (the table's own clearing and resizing wait here).
void wait_for_helpers();
// A search on the main thread alone (a limited-strength think): no helper's count of an
// earlier search adds to its nodes or its node limit. The next start_helpers undoes it.
void search_without_helpers();

// Everything a new game forgets, for every thread: the transposition table, every
// thread's pawn and material hash and the main thread's ordering tables (a helper clears
// its own whenever it starts a search). The loops' new game and Clear Hash, the bench and
// the tests call it; it waits for the helpers first.
void clear_for_new_game();

// Nodes, as the main thread's clock and reports read them.
std::int64_t nodes_all_threads();  // the main thread's count and every helper's last one
bool         helpers_searching();  // a helper is running, so the node limit adds all counts

// On a helper's own thread: its count so far, published at every clock reading (relaxed:
// a count a reading old is good enough for a report or a node limit, and orders nothing).
bool is_helper_thread();
void publish_helper_nodes(std::int64_t nodes);
