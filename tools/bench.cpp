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

#include <chrono>
#include <cstdio>
#include <cstring>
#include <iterator>

#include "commands.h"
#include "fen_setup.h"
#include "search/clock.h"
#include "search/think.h"
#include "search/threads.h"
#include "search_setup.h"

namespace {

// Chess960 starts and middlegames with castling still to come on one wing or both.
const char* const bench_960_fens[] = {
    "bqnb1rkr/pp3ppp/3ppn2/2p5/5P2/P2P4/NPP1P1PP/BQ1BNRKR w HFhf - 2 9",
    "2nnrbkr/p1qppppp/8/1ppb4/6PP/3PP3/PPP2P2/BQNNRBKR w HEhe - 1 9",
    "qbbnnrkr/2pp2pp/p7/1p2pp2/8/P3PP2/1PPP1KPP/QBBNNR1R w hf - 0 9",
    "1rqbkrbn/1ppppp1p/1n6/p1N3p1/8/2P4P/PP1PPPP1/1RQBKRBN w FBfb - 0 9",
    "rbbqn1kr/pp2p1pp/6n1/2pp1p2/2P4P/P7/BP1PPPP1/R1BQNNKR w HAha - 0 9",
    "qnr1bkrb/pppp2pp/3np3/5p2/8/P2P2P1/NPP1PP1P/QN1RBKRB w GDg - 3 9",
    "nrkbbrqn/pppppppp/8/8/8/8/PPPPPPPP/NRKBBRQN w FBfb - 0 1",
    "rkrnnqbb/pppppppp/8/8/8/8/PPPPPPPP/RKRNNQBB w CAca - 0 1",
};

// The bench's own loop over the Chess960 positions, with its table sizes and clearing.
BenchResult run_bench_960(int depth) {
    allocate_search_tables(16);
    set_thinking_printer(nullptr);
    BenchResult                         result{0, 0, true};
    std::chrono::steady_clock::duration elapsed{};
    int                                 index = 0;
    for (const char* fen : bench_960_fens) {
        ++index;
        if (!load_tool_fen(fen, true, nullptr)) {
            std::fprintf(stderr, "bench: bad FEN %s\n", fen);
            result.ok = false;
            return result;
        }
        clear_search_tables();
        int        score = 0;
        const auto start = std::chrono::steady_clock::now();
        const Move m     = think(fixed_limits(depth, DEFAULT_FIXED_TIME_MS), score);
        elapsed += std::chrono::steady_clock::now() - start;
        result.nodes += node_count;
        std::fprintf(stderr, "position %2d/%d  move %-5s score %6d nodes %10lld\n", index,
                     static_cast<int>(std::size(bench_960_fens)), tool_move_text(m).text, score,
                     static_cast<long long>(node_count));
    }
    result.ms = std::chrono::duration_cast<std::chrono::milliseconds>(elapsed).count();
    return result;
}

}  // namespace

int run_bench(int argc, char** argv) {
    const bool chess960 = take_960_flag(argc, argv);
    BenchPlan  plan{DEFAULT_BENCH_DEPTH, 0, 1};
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
    const BenchResult result =
        chess960 ? run_bench_960(plan.depth) : run_bench_positions(plan, stderr);
    if (!result.ok)
        return 2;
    const long long nps = result.ms > 0 ? result.nodes * 1000 / result.ms : 0;
    std::printf("nodes %lld ms %lld nps %lld\n", static_cast<long long>(result.nodes),
                static_cast<long long>(result.ms), nps);
    return 0;
}
