// shell/options.h: the engine's command line and the table sizes that follow from it.
// Three options, each followed by a whole number of megabytes: "-th" (transposition
// table, both arrays together, default 64), "-ph" (pawn hash, default 1) and "-mh"
// (material hash, default 1). Also the reader of whole numbers that the command line and
// the protocol commands share, and the name both protocols announce.
#pragma once

#include <cstdint>

constexpr const char* ENGINE_NAME = "Velmora 1.9.9 beta";

struct EngineOptions {
    int tt_mb            = 64;
    int pawn_hash_mb     = 1;
    int material_hash_mb = 1;
};

// Examines every argument, argv[0] included. An option word followed by a number sets
// the option and the number is skipped; an option word without a number is ignored and
// the next argument is examined in its turn. Anything else is ignored; the last value of
// an option given twice wins.
EngineOptions scan_options(int argc, const char* const* argv);

// What the tables get from the options: each value lowered to a power of two.
struct TableSizes {
    std::int64_t tt_entries;        // entries in each of the two arrays, a power of two
    int          pawn_hash_mb;      // a power of two, or 0 (which the table reads as 1)
    int          material_hash_mb;  // likewise
};
TableSizes table_sizes(const EngineOptions& options);

// While n > 0 and n is not a power of two, subtract 1: 100 gives 64, 3 gives 2; 0 and
// negative values stay as they are.
int lower_to_power_of_two(int n);
// Entries per array for a lowered "-th" value n: max(n / 2, 4) megabytes per array of
// 16-byte entries, so 8 megabytes in all below 8. Computed in 64 bits for any int.
std::int64_t tt_entries_for(int tt_mb);

// Reads a decimal whole number the way "%d" does (leading blanks, an optional sign, at
// least one digit; what follows the digits is left unread) and advances text past it.
// A value beyond the int range is clamped to it. False, and text unchanged, when no
// number is there.
bool read_int(const char*& text, int& value);
// v clamped to the int range: numbers scaled by the protocol commands never overflow.
int clamp_to_int(std::int64_t v);
