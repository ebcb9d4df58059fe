// tools/bench.cpp: "bench", the search's signature and speed (search/bench.h).
//
//   bench [DEPTH]      default depth 9 (several seconds; the tests pin depth 6)
//
// One progress line per position on stderr; stdout ends with exactly one line
// "nodes N ms T nps R".
#include "search/bench.h"

#include <cstdio>

#include "commands.h"
#include "search_setup.h"

int run_bench(int argc, char** argv) {
    int depth = DEFAULT_BENCH_DEPTH;
    if (argc > 1 || (argc == 1 && !parse_int_arg(argv[0], 1, 64, depth))) {
        std::fprintf(stderr, "usage: velmora-tools bench [DEPTH]   (DEPTH 1 to 64)\n");
        return 2;
    }
    const BenchResult result = run_bench_positions(depth, stderr);
    if (!result.ok)
        return 2;
    const long long nps = result.ms > 0 ? result.nodes * 1000 / result.ms : 0;
    std::printf("nodes %lld ms %lld nps %lld\n", static_cast<long long>(result.nodes),
                static_cast<long long>(result.ms), nps);
    return 0;
}
