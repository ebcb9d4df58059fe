// Move generation speed over the bench positions: the generators alone, the exchange
// evaluator over every capture, a full pass of the main picker, and perft (which adds make
// and unmake). The loops switch position by copying a prepared record, as eval_bench does.
#include <benchmark/benchmark.h>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "eval/psq.h"
#include "movegen/captures.h"
#include "movegen/evasions.h"
#include "movegen/move_list.h"
#include "movegen/ordering.h"
#include "movegen/quiet_checks.h"
#include "movegen/quiets.h"
#include "movegen/see.h"
#include "position/attacked.h"
#include "position/attacks.h"
#include "position/make_move.h"
#include "position/move.h"
#include "position/position_writer.h"

namespace {

const std::vector<Position>& bench_positions() {
    static const std::vector<Position> records = [] {
        init_line_tables();
        init_magics();
        init_piece_square();
        clear_ordering_tables();
        std::vector<Position> list;
        std::ifstream         file(VELMORA_DATA_DIR "/bench.fen");
        if (!file) {
            std::fprintf(stderr, "cannot read %s\n", VELMORA_DATA_DIR "/bench.fen");
            std::exit(2);
        }
        for (std::string line; std::getline(file, line);)
            if (!line.empty() && load_fen(line) && !in_check())
                list.push_back(position());
        return list;
    }();
    return records;
}

// Runs work() on each bench position in turn; items are what work() returns.
template <typename Work> void over_positions(benchmark::State& state, Work work) {
    const std::vector<Position>& records = bench_positions();
    std::size_t                  i       = 0;
    std::int64_t                 items   = 0;
    for (auto _ : state) {
        writable_position() = records[i];
        items += work();
        if (++i == records.size())
            i = 0;
    }
    state.SetItemsProcessed(items);
}

void BM_GenerateCapturesAndQuiets(benchmark::State& state) {
    over_positions(state, [] {
        MoveList list;
        generate_captures(list);
        generate_quiets(list.count, list);
        benchmark::DoNotOptimize(list.moves[0]);
        return list.count;
    });
}
BENCHMARK(BM_GenerateCapturesAndQuiets);

void BM_GenerateQuietChecks(benchmark::State& state) {
    over_positions(state, [] {
        MoveList list;
        generate_quiet_checks(list);
        benchmark::DoNotOptimize(list.moves[0]);
        return 1;
    });
}
BENCHMARK(BM_GenerateQuietChecks);

void BM_StaticExchangeOfEveryCapture(benchmark::State& state) {
    over_positions(state, [] {
        MoveList list;
        generate_captures(list);
        for (int i = 0; i < list.count; ++i)
            benchmark::DoNotOptimize(static_exchange(list.moves[i]));
        return list.count;
    });
}
BENCHMARK(BM_StaticExchangeOfEveryCapture);

void BM_MainPickerFullPass(benchmark::State& state) {
    over_positions(state, [] {
        MovePicker picker;
        picker.stage     = STAGE_HASH;
        picker.hash_move = picker.killer1 = picker.killer2 = NO_MOVE;
        int count                                          = 0;
        while (next_move(picker) != NO_MOVE)
            ++count;
        return count;
    });
}
BENCHMARK(BM_MainPickerFullPass);

std::int64_t perft(int depth) {
    MoveList list;
    if (in_check()) {
        generate_evasions(list);
    } else {
        generate_captures(list);
        generate_quiets(list.count, list);
    }
    std::int64_t nodes = 0;
    for (int i = 0; i < list.count; ++i) {
        if (make_move(list.moves[i]))
            nodes += depth > 1 ? perft(depth - 1) : 1;
        unmake_move();
    }
    return nodes;
}

// Leaves per second of perft 3 from each bench position.
void BM_PerftDepthThree(benchmark::State& state) {
    over_positions(state, [] { return perft(3); });
}
BENCHMARK(BM_PerftDepthThree)->Unit(benchmark::kMillisecond);

}  // namespace
