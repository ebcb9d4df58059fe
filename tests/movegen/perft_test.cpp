// Perft against published counts, through the generators and through the pickers.
#include <gtest/gtest.h>

#include "support/movegen_support.h"
#include "support/position_support.h"

namespace {

// Checks every count of the file up to max_depth and max_leaves leaves, on every
// stride-th position.
void expect_perft_file(
    const char* file, int max_depth, long long max_leaves, int stride, bool pickers) {
    const std::vector<PerftCase> cases = read_perft_file(file);
    ASSERT_FALSE(cases.empty()) << file;
    int checked = 0;
    for (std::size_t i = 0; i < cases.size(); i += static_cast<std::size_t>(stride)) {
        set_fen(cases[i].fen);
        for (std::size_t d = 0; d < cases[i].counts.size(); ++d) {
            const long long expected = cases[i].counts[d];
            const int       depth    = static_cast<int>(d) + 1;
            if (expected < 0 || expected > max_leaves || depth > max_depth)
                continue;
            const auto got = pickers ? perft_pickers(depth) : perft_generators(depth);
            ASSERT_EQ(static_cast<long long>(got), expected)
                << file << " line " << i + 1 << " depth " << depth << ": " << cases[i].fen;
            ++checked;
        }
    }
    EXPECT_GT(checked, 0);
}

}  // namespace

TEST(Perft, StartPositionAndClassics) {
    set_fen("rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1");
    EXPECT_EQ(perft_generators(4), 197281u);
    set_fen("8/2p5/3p4/KP5r/1R3p1k/8/4P1P1/8 w - - 0 1");
    EXPECT_EQ(perft_generators(5), 674624u);
    set_fen("r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq - 0 1");
    EXPECT_EQ(perft_generators(3), 97862u);
    EXPECT_EQ(perft_pickers(3), 97862u);
}

TEST(Perft, StandardPositions) {
    expect_perft_file("perft-standard.epd", 6, THOROUGH_BUILD ? 5000000 : 200000, 1, false);
}
TEST(Perft, StandardPositionsThroughPickers) {
    expect_perft_file("perft-standard.epd", 6, THOROUGH_BUILD ? 5000000 : 200000, 1, true);
}
TEST(Perft, StressPositions) {
    expect_perft_file("perft-stress.epd", 6, THOROUGH_BUILD ? 400000 : 50000, 1, false);
}
TEST(Perft, StressPositionsThroughPickers) {
    expect_perft_file("perft-stress.epd", 6, THOROUGH_BUILD ? 400000 : 50000, 1, true);
}

// Chess960: published positions and castling in every shape (king or rook already on its
// destination, the king landing on its rook's square, the rook shielding the king's
// destination, attacked squares on and beside the way), against Stockfish's counts.
TEST(Perft, Chess960Positions) {
    expect_perft_file("perft-960.epd", 5, THOROUGH_BUILD ? 2000000 : 100000, 1, false);
}
TEST(Perft, Chess960PositionsThroughPickers) {
    expect_perft_file("perft-960.epd", 5, THOROUGH_BUILD ? 2000000 : 100000, 1, true);
}
TEST(Perft, SlowChess960PositionsToDepthFive) {
    expect_perft_file("perft-960.epd", 5, 40000000, 1, false);
}

// Depths 1 to 3 of every Marcel position take about seven seconds in release.
TEST(Perft, SlowMarcelPositionsToDepthThree) {
    expect_perft_file("perft-marcel.epd", 3, 1000000, sample_stride(16), false);
}
TEST(Perft, SlowMarcelPositionsThroughPickers) {
    // Depths 1 and 2 of every position, depth 3 where it is small.
    expect_perft_file("perft-marcel.epd", 3, THOROUGH_BUILD ? 12000 : 2000, sample_stride(8), true);
}
