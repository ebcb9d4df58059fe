// search/bench.h: the bench, the search's signature and speed. Searches each of the
// bench positions (real games: openings, middlegames, endgames) to a fixed depth, with a
// fresh 16-megabyte transposition table and cleared pawn and material hashes, exactly as
// think does under a depth limit and without a book. The node total is deterministic: a
// change that claims to be a pure speed-up must leave it unchanged. Both the engine
// ("velmora bench") and velmora-tools run it. Also the table set-up that the searching
// tools share.
#pragma once

#include <cstdint>
#include <cstdio>

constexpr int DEFAULT_BENCH_DEPTH = 9;

struct BenchResult {
    std::int64_t nodes;  // the signature
    std::int64_t ms;     // the searches alone, not the clearing of tables between them
    bool         ok;     // false when a position could not be set up (never, for the built-ins)
};

// One progress line per position on progress (nullptr: none).
BenchResult run_bench_positions(int depth, std::FILE* progress);

// The bench positions searched some other way: to depth, or for ms milliseconds each
// when ms > 0, with threads search threads, for speed and scaling figures (the progress
// lines then add the depth reached and the time); or, with chess960, eight Chess960
// positions instead, a signature of the castling code that the standard bench never
// reaches. The plain bench above is the engine's signature.
struct BenchPlan {
    int  depth;
    int  ms;
    int  threads;
    bool chess960;
};
BenchResult run_bench_positions(const BenchPlan& plan, std::FILE* progress);

// Allocates the transposition table (tt_mb megabytes in all) and the 1-megabyte pawn
// and material hashes, as the engine does with default options but for the size.
void allocate_search_tables(int tt_mb);
