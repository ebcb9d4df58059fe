// Evaluations per second over the bench positions, full window, warm hashes. The loop
// switches position by copying a prepared record (the engine's search would reach them by
// make and unmake); BM_SwitchPositionOnly measures that copy alone, to subtract.
#include <benchmark/benchmark.h>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "eval/evaluate.h"
#include "eval/material.h"
#include "eval/pawns.h"
#include "eval/psq.h"
#include "position/attacks.h"
#include "position/position_writer.h"

namespace {

const std::vector<Position>& bench_positions() {
    static const std::vector<Position> records = [] {
        init_line_tables();
        init_magics();
        init_piece_square();
        allocate_pawn_hash(1);
        allocate_material_hash(1);
        std::vector<Position> list;
        std::ifstream         file(VELMORA_DATA_DIR "/bench.fen");
        if (!file) {
            std::fprintf(stderr, "cannot read %s\n", VELMORA_DATA_DIR "/bench.fen");
            std::exit(2);
        }
        for (std::string line; std::getline(file, line);)
            if (!line.empty() && load_fen(line)) {
                list.push_back(position());
                evaluate(-MATE, MATE);  // warms both hashes
            }
        return list;
    }();
    return records;
}

void BM_EvaluateBenchPositions(benchmark::State& state) {
    const std::vector<Position>& records = bench_positions();
    std::size_t                  i       = 0;
    for (auto _ : state) {
        writable_position() = records[i];
        benchmark::DoNotOptimize(evaluate(-MATE, MATE));
        if (++i == records.size())
            i = 0;
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_EvaluateBenchPositions);

void BM_SwitchPositionOnly(benchmark::State& state) {
    const std::vector<Position>& records = bench_positions();
    std::size_t                  i       = 0;
    for (auto _ : state) {
        writable_position() = records[i];
        benchmark::DoNotOptimize(position().key);
        benchmark::ClobberMemory();
        if (++i == records.size())
            i = 0;
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_SwitchPositionOnly);

// The same position over and over: the cheapest case, every branch predicted.
void BM_EvaluateOnePosition(benchmark::State& state) {
    const std::vector<Position>& records = bench_positions();
    writable_position()                  = records[20];
    for (auto _ : state)
        benchmark::DoNotOptimize(evaluate(-MATE, MATE));
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_EvaluateOnePosition);

}  // namespace
