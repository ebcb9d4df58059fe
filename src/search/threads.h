// search/threads.h: the helper threads of a parallel search. With N search threads, N - 1
// helpers search the same position as the main thread, each on its own copy of the game
// with its own ordering tables and pawn and material hashes; they share only the
// transposition table, where each finds what the others have searched, and the stop.
// The main thread alone reads the input and the clock, prints and answers.
// threads.cpp owns the pool: helpers are started once by set_search_threads, wait idle
// (blocked, not spinning) between searches, and are ended by set_search_threads(1).
// Every function here is called by the main thread, between searches except for
// start_helpers and stop_helpers, which think calls around its own search.
#pragma once

#include "search/think.h"

constexpr int MAX_SEARCH_THREADS = 256;

// Starts or ends helpers so that threads search threads in all (1 to MAX_SEARCH_THREADS);
// each new helper allocates pawn and material hashes the size of the main thread's. The
// answer is the number of search threads now running: fewer than asked when the system
// grants no more threads.
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

// Every helper empties its own pawn and material hash (a new game).
void clear_helper_tables();
