// tools/search_setup.h: what the searching tools (bench, go, epd) share: the hash
// tables the engine allocates at start-up, a clean slate before each search, and the
// readers of their command-line numbers.
#pragma once

#include <cstdint>

#include "search/bench.h"    // allocate_search_tables
#include "search/threads.h"  // clear_for_new_game

// A whole decimal number in [low, high], or false.
bool parse_int_arg(const char* text, int low, int high, int& value);
// Reads the options "--depth D" and "--ms T" from argv[first..argc): a depth limit with
// no time limit, or a fixed time per search at full depth; the last one given wins.
// On a bad argument says so on stderr, naming the tool, and answers false.
bool parse_think_limits(
    int argc, char** argv, int first, const char* tool, int& depth_limit, int& fixed_ms);
