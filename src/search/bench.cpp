#include "search/bench.h"

#include <chrono>
#include <iterator>

#include "eval/material.h"
#include "eval/pawns.h"
#include "position/position.h"
#include "search/clock.h"
#include "search/think.h"
#include "search/threads.h"
#include "search/tt.h"
#include "shell/move_text.h"

namespace {

constexpr int BENCH_TT_MB = 16;

// The positions of data/bench.fen, in its order.
const char* const bench_fens[] = {
    "rnb1kb1r/ppp1pppp/7n/3q4/7P/8/PPPP1PP1/RNBQKBNR b kq - 1 5",
    "rnb1kb1r/ppp3pp/8/3ppn2/1PB1N2q/5P1P/P1PP2P1/R1BQ1KNR w kq d6 0 9",
    "rn1q2k1/ppp2p2/3b1n1p/3p2p1/3P2bB/3B1N2/PPPN1PPP/R3Q1K1 w - g6 0 12",
    "rnbqkb1r/p1pppp1p/1p4p1/3nP3/P7/3P4/1PP2PPP/RNBQKBNR w KQkq - 1 5",
    "r2qkbnr/pR1n1ppp/2p1b3/4p3/P7/6P1/1PP1PP1P/1NBQKBNR w Kkq - 0 8",
    "r3kb2/pbqpnpp1/2n1p3/1pB3P1/4P3/3P4/PPP1NP2/RN1QK2B b Qq - 0 11",
    "r1bqkb1r/1pp1pppp/2n4n/p2p4/3P3P/2R5/PPP1PPP1/RNBQKBN1 w Qkq d6 0 5",
    "rnbqkb1r/ppp2ppp/7n/4p3/8/2N1PPP1/PP1P3P/R1BQKBNR b KQkq - 0 6",
    "rn2kbr1/pp2qp2/2ppbn2/6p1/1PPP4/N1N5/PB2BPP1/R2QK2R b KQq - 2 12",
    "rnbqkbnr/p1p1ppp1/8/3p3p/1pP3P1/7B/PP1PPP1P/RNBQK1NR w KQkq h6 0 5",
    "rnb1kbnr/ppp2p1p/8/3pp1N1/8/4P3/PPPP1PPP/RNB1KB1R b KQkq - 0 5",
    "rnb1k1nr/ppp2pp1/3b4/8/P5p1/6P1/1PP1PP1P/RNB1KB1R b KQkq - 0 8",
    "2kr2nr/pppq2pp/4bp2/n7/2pP4/B1P4P/P2NBPP1/R2QR1K1 b - - 6 14",
    "r1bqkb1r/p3pp2/2p3p1/3nP2p/Pp1P4/4BP1P/1PPQN1P1/2KR1B1R b kq - 0 16",
    "2r3k1/pp3pp1/b1n3qp/P1Q5/5p1P/2BPpP2/PKP3P1/3R3R w - - 2 24",
    "r4rk1/3nnp1p/6p1/2q1p3/1p2P3/1N1P3P/1Q2BPP1/R4RK1 b - - 1 28",
    "1r1b4/p2q2k1/P1p2pp1/2Pp1p2/3P4/3BP1P1/2Q2PK1/R7 b - - 0 33",
    "1r6/5pk1/5b1p/2p1p3/2P1P2p/2P2BP1/RqQ2P1K/8 b - - 4 36",
    "1k6/1p2p2p/p2p1b2/P1pP1q2/2PN1P2/R3Q1r1/KP1B4/8 b - - 1 42",
    "3k3r/6p1/p1bP1pn1/1p4r1/2p3Bp/P1N4P/2PR2P1/2K2R2 w - - 1 47",
    "8/5Qbk/6rp/8/4p1q1/6N1/5PP1/5RK1 w - - 12 52",
    "8/1p6/1kq2p2/p1pRpP2/P1P1P3/K2B4/2P4r/6Q1 b - - 3 59",
    "7R/5kp1/1P3r2/1q6/4Q3/6K1/8/8 w - - 4 61",
    "1k6/2p3q1/1p6/p7/P1RQ4/8/6r1/1K6 b - - 24 66",
    "4r3/Q7/2p5/R3p3/1k1p4/7P/5q2/3K4 b - - 27 71",
    "3rk3/qrp2p2/3p3p/pP1Pp1pP/P1BbP1P1/1P3P2/8/R1Q2K1R b - - 0 77",
    "5Q2/2knQ3/8/4q3/8/5P2/6K1/8 b - - 0 87",
    "8/4K3/q7/8/8/8/2k5/q3Q3 w - - 0 95",
    "5Q2/6K1/8/8/8/6Q1/k1q5/8 b - - 0 97",
    "8/8/q7/1r4k1/3K4/8/8/5R1q b - - 1 105",
    "8/K4Q2/8/7p/6qk/8/6p1/5q2 w - - 0 106",
    "rnbbk1nr/ppp2ppp/8/4p3/4P3/5N2/PPP2PPP/RNB1KB1R b kq - 1 7",
    "r2r2k1/1ppb1p1p/p1n1pnp1/8/4PP1P/P1PB1N2/2P2Q1P/R1B1K1R1 b Q - 0 14",
    "r5k1/pp1q1pp1/7p/3Brb1P/2P4R/PP6/5PP1/R2Q1K2 b - - 1 20",
    "5rk1/1p2b1pp/2n1b3/q7/2NpPp2/3Q1N1P/4P1B1/2B3KR b - - 0 24",
    "8/p7/1p1k1pp1/1Pp1p2p/P3P2P/2P2PP1/3K4/8 w - - 0 31",
    "8/2p4p/1p3k2/pP6/2P5/P5P1/5K1P/8 b - - 0 40",
    "8/8/Pk2p1pp/2p5/P1p4P/8/3K1PP1/8 w - - 2 41",
    "8/3k4/8/Pp6/3P3P/4K3/P4P2/8 b - - 4 46",
    "2k2b1r/pbp2ppp/p7/8/4NB1P/5P2/PPP3P1/2K4R b - - 0 16",
    "r7/pp1npk2/1np1p3/8/2P5/3B4/P2BPP2/2K3R1 b - - 2 22",
    "2k5/pp3p2/8/3p3p/5PrP/2P1P3/PP3K2/7R b - - 0 27",
    "6k1/5pb1/6p1/8/3r4/1R6/4BPP1/5K2 b - - 0 31",
    "1r6/2p1k3/4p1p1/8/3P1Pp1/2nN2Pp/5K1P/2R5 b - - 5 37",
    "3r3k/R7/8/8/2R4P/8/5rPK/8 w - - 1 45",
    "3k4/5p2/p6p/3P4/1p6/5K1P/8/1N4r1 w - - 0 47",
    "8/1kp5/1p5R/p7/P6P/1P6/5r2/1K6 w - - 1 52",
    "b7/8/4k3/2P3p1/p5Pp/P1N4P/5K2/8 b - - 8 57",
    "8/5k2/8/2R2p2/4pPp1/4P3/7r/5K2 b - - 5 63",
    "6k1/2p3q1/p3K3/1p3P2/7P/P1B5/8/8 b - - 11 66",
};

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

}  // namespace

void allocate_search_tables(int tt_mb) {
    // Two arrays of 16-byte entries, each half the size.
    const std::uint64_t bytes_per_array = std::uint64_t{static_cast<unsigned>(tt_mb)} << 19;
    allocate_tt(bytes_per_array / sizeof(TTEntry));
    allocate_pawn_hash(1);
    allocate_material_hash(1);
}

BenchResult run_bench_positions(int depth, std::FILE* progress) {
    return run_bench_positions(BenchPlan{depth, 0, 1, false}, progress);
}

BenchResult run_bench_positions(const BenchPlan& plan, std::FILE* progress) {
    allocate_search_tables(BENCH_TT_MB);
    set_thinking_printer(nullptr);
    const int threads = set_search_threads(plan.threads);
    if (threads < plan.threads && progress)
        std::fprintf(progress, "bench: the system granted %d of %d threads\n", threads,
                     plan.threads);
    const int                           limit_ms = plan.ms > 0 ? plan.ms : DEFAULT_FIXED_TIME_MS;
    const int                           depth    = plan.ms > 0 ? DEFAULT_DEPTH_LIMIT : plan.depth;
    BenchResult                         result{0, 0, true};
    std::chrono::steady_clock::duration elapsed{};
    const char* const* const            fens = plan.chess960 ? bench_960_fens : bench_fens;
    const int count = plan.chess960 ? static_cast<int>(std::size(bench_960_fens))
                                    : static_cast<int>(std::size(bench_fens));
    for (int index = 1; index <= count; ++index) {
        const char* const fen = fens[index - 1];
        if (!load_fen(fen, nullptr, plan.chess960)) {
            if (progress)
                std::fprintf(progress, "bench: bad FEN %s\n", fen);
            result.ok = false;
            break;
        }
        clear_for_new_game();
        int        score = 0;
        const auto start = std::chrono::steady_clock::now();
        const Move m     = think(fixed_limits(depth, limit_ms), score);
        const auto spent = std::chrono::steady_clock::now() - start;
        elapsed += spent;
        const std::int64_t nodes = nodes_all_threads();
        result.nodes += nodes;
        const MoveText text = plan.chess960 ? move_to_text_960(m) : move_to_text(m);
        if (progress && threads == 1 && plan.ms == 0)
            std::fprintf(progress, "position %2d/%d  move %-5s score %6d nodes %10lld\n", index,
                         count, text.text, score, static_cast<long long>(nodes));
        else if (progress)
            std::fprintf(progress,
                         "position %2d/%d  move %-5s score %6d nodes %10lld depth %2d ms %lld\n",
                         index, count, text.text, score, static_cast<long long>(nodes), iteration,
                         static_cast<long long>(
                             std::chrono::duration_cast<std::chrono::milliseconds>(spent).count()));
    }
    set_search_threads(1);
    result.ms = std::chrono::duration_cast<std::chrono::milliseconds>(elapsed).count();
    return result;
}
