// tools/bench.cpp: "bench", the search's signature and speed (search/bench.h).
//
//   bench [DEPTH] [--960]   default depth 9 (several seconds; the tests pin depth 6)
//   bench [DEPTH] --threads N [--ms T]
//                      the standard positions with N search threads, to DEPTH or for T ms
//                      each; the node total then depends on timing and is no signature
//
// One progress line per position on stderr; stdout ends with exactly one line
// "nodes N ms T nps R". With --960 the positions are Chess960 games instead, searched the
// same way: a signature for the castling code that the standard bench never reaches.
#include "search/bench.h"

#include <cstdio>
#include <cstring>

#include "commands.h"
#include "fen_setup.h"
#include "search/threads.h"
#include "search_setup.h"

int run_bench(int argc, char** argv) {
    const bool chess960 = take_960_flag(argc, argv);
    BenchPlan  plan{DEFAULT_BENCH_DEPTH, 0, 1, chess960};
    bool       ok = true;
    for (int i = 0; i < argc && ok; ++i) {
        if (std::strcmp(argv[i], "--threads") == 0 && i + 1 < argc)
            ok = parse_int_arg(argv[++i], 1, MAX_SEARCH_THREADS, plan.threads);
        else if (std::strcmp(argv[i], "--ms") == 0 && i + 1 < argc)
            ok = parse_int_arg(argv[++i], 1, 3600000, plan.ms);
        else
            ok = i == 0 && parse_int_arg(argv[i], 1, 64, plan.depth);
    }
    if (!ok || (chess960 && (plan.threads > 1 || plan.ms > 0))) {
        std::fprintf(stderr,
                     "usage: velmora-tools bench [DEPTH] [--960 | --threads N [--ms T]]   (DEPTH "
                     "1 to 64, N 1 to %d)\n",
                     MAX_SEARCH_THREADS);
        return 2;
    }
    const BenchResult result = run_bench_positions(plan, stderr);
    if (!result.ok)
        return 2;
    const long long nps = result.ms > 0 ? result.nodes * 1000 / result.ms : 0;
    std::printf("nodes %lld ms %lld nps %lld\n", static_cast<long long>(result.nodes),
                static_cast<long long>(result.ms), nps);
    return 0;
}
