// tools/search_setup.h: what the searching tools (bench, go, epd) share: the hash
// tables the engine allocates at start-up, a clean slate before each search, and the
// readers of their command-line numbers.
#pragma once

#include <cstdint>

// Allocates the transposition table (tt_mb megabytes in all) and the 1-megabyte pawn
// and material hashes, as the engine does with default options but for the size.
void allocate_search_tables(int tt_mb);
// Empties the transposition table and the pawn and material hashes: the next search
// starts as in a freshly started engine. The ordering tables are cleared by think.
void clear_search_tables();
// A whole decimal number in [low, high], or false.
bool parse_int_arg(const char* text, int low, int high, int& value);
// Reads the options "--depth D" and "--ms T" from argv[first..argc): a depth limit with
// no time limit, or a fixed time per search at full depth; the last one given wins.
// On a bad argument says so on stderr, naming the tool, and answers false.
bool parse_think_limits(
    int argc, char** argv, int first, const char* tool, int& depth_limit, int& fixed_ms);
