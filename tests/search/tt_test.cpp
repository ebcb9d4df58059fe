#include <gtest/gtest.h>

#include "position/make_move.h"
#include "position/move.h"
#include "position/position.h"
#include "search/tt.h"
#include "support/search_support.h"

namespace {

constexpr const char* START_FEN = "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1";

// A key with the given index bits (low half) and lock (high half).
constexpr Key key_of(std::uint32_t index, std::uint32_t lock) { return Key{lock} << 32 | index; }

TTEntry probe(Key key) {
    TTEntry entry{};
    EXPECT_TRUE(tt_probe(key, entry)) << std::hex << key;
    return entry;
}

const Move move_a = make_quiet(12, 28);  // e2e4
const Move move_b = make_quiet(6, 21);   // g1f3

TEST(TranspositionTable, ClearedTableAnswersOnlyKeysWithAnEmptyLock) {
    fresh_search(START_FEN);
    TTEntry entry{};
    EXPECT_FALSE(tt_probe(key_of(5, 1), entry));
    EXPECT_FALSE(tt_probe(key_of(0, 0xffffffffu), entry));
    // A zero lock matches an empty slot, which reads as no bound and no move.
    entry = probe(key_of(5, 0));
    EXPECT_EQ(entry.bound, BOUND_NONE);
    EXPECT_EQ(entry.move, NO_MOVE);
}

TEST(TranspositionTable, ClearForgetsEveryStoreAndCanBeRepeated) {
    fresh_search(START_FEN);
    tt_store(key_of(5, 1), 10, BOUND_EXACT, 8, move_a);
    tt_store(key_of(5, 2), 11, BOUND_EXACT, 4, move_b);
    tt_clear();
    tt_clear();
    TTEntry entry{};
    EXPECT_FALSE(tt_probe(key_of(5, 1), entry));
    EXPECT_FALSE(tt_probe(key_of(5, 2), entry));
    // A store after a clear that found nothing to do is cleared by the next one.
    tt_store(key_of(6, 3), 12, BOUND_LOWER, 8, move_a);
    EXPECT_TRUE(tt_probe(key_of(6, 3), entry));
    tt_clear();
    EXPECT_FALSE(tt_probe(key_of(6, 3), entry));
}

TEST(TranspositionTable, SamePositionKeepsTheDeeperResultAndItsMove) {
    fresh_search(START_FEN);
    const Key key = key_of(77, 9);
    tt_store(key, 10, BOUND_LOWER, 8, move_a);
    tt_store(key, 20, BOUND_EXACT, 8, move_b);  // equal depth: nothing is written
    TTEntry entry = probe(key);
    EXPECT_EQ(entry.score, 10);
    EXPECT_EQ(entry.bound, BOUND_LOWER);
    EXPECT_EQ(entry.move, move_a);

    tt_store(key, 30, BOUND_UPPER, 12, NO_MOVE);  // deeper, no move: the old move stays
    entry = probe(key);
    EXPECT_EQ(entry.score, 30);
    EXPECT_EQ(entry.bound, BOUND_UPPER);
    EXPECT_EQ(entry.depth, 12);
    EXPECT_EQ(entry.move, move_a);

    // Depths beyond the 16-bit field (thousands of iterations) keep the largest depth.
    tt_store(key, 50, BOUND_EXACT, 70000, move_b);
    EXPECT_EQ(probe(key).depth, UINT16_MAX);
    EXPECT_EQ(probe(key).score, 50);
    tt_store(key, 30, BOUND_UPPER, 12, NO_MOVE);
    EXPECT_EQ(probe(key).score, 50);
    fresh_search(START_FEN);
    tt_store(key, 30, BOUND_UPPER, 12, move_a);

    // A shallower result of a position held in the primary array touches neither array.
    const Key other = key_of(77, 10);
    tt_store(other, 1, BOUND_EXACT, 4, move_b);  // shallower than 12: secondary slot
    tt_store(key, 40, BOUND_EXACT, 4, move_b);
    EXPECT_EQ(probe(key).score, 30);
    EXPECT_EQ(probe(other).score, 1);
}

TEST(TranspositionTable, NewPositionsDisplaceOrBypassThePrimaryEntryByDepth) {
    fresh_search(START_FEN);
    const Key first = key_of(300, 1), second = key_of(300, 2), third = key_of(300, 3);
    tt_store(first, 11, BOUND_EXACT, 8, move_a);
    tt_store(second, 22, BOUND_LOWER, 8, move_b);  // as deep: first moves to the secondary
    EXPECT_EQ(tt_primary(300).lock, 2u);
    EXPECT_EQ(tt_secondary(300).lock, 1u);
    EXPECT_EQ(probe(first).score, 11);
    EXPECT_EQ(probe(second).score, 22);

    tt_store(third, 33, BOUND_UPPER, 4, NO_MOVE);  // shallower: overwrites the secondary
    EXPECT_EQ(tt_primary(300).lock, 2u);
    EXPECT_EQ(tt_secondary(300).lock, 3u);
    TTEntry entry{};
    EXPECT_FALSE(tt_probe(first, entry));
    EXPECT_EQ(probe(third).score, 33);

    // The same position may stand in both arrays; the probe answers the primary one.
    tt_store(third, 44, BOUND_EXACT, 9, move_a);
    EXPECT_EQ(tt_primary(300).lock, 3u);
    EXPECT_EQ(tt_secondary(300).lock, 2u);
    EXPECT_EQ(probe(third).score, 44);
}

// Threads store at once, so a probe may read the two halves of an entry from two stores:
// such a torn entry answers neither key.
TEST(TranspositionTable, TornEntryIsAMiss) {
    fresh_search(START_FEN);
    const Key     first = key_of(300, 1), second = key_of(300, 2);
    const TTEntry a{11, 1, move_a, 8, BOUND_EXACT};
    const TTEntry b{22, 2, move_b, 4, BOUND_LOWER};
    tt_write_halves(300, a, b);
    TTEntry entry{};
    EXPECT_FALSE(tt_probe(first, entry));
    EXPECT_FALSE(tt_probe(second, entry));
    tt_write_halves(300, b, a);
    EXPECT_FALSE(tt_probe(first, entry));
    EXPECT_FALSE(tt_probe(second, entry));
    // Two stores of one position with the same move: a tear between another depth or
    // another bound and the lock misses too.
    for (const TTEntry& other :
         {TTEntry{33, 1, move_a, 12, BOUND_EXACT}, TTEntry{11, 1, move_a, 8, BOUND_LOWER}}) {
        tt_write_halves(300, a, other);
        EXPECT_FALSE(tt_probe(first, entry)) << other.depth << " " << other.bound;
        tt_write_halves(300, other, a);
        EXPECT_FALSE(tt_probe(first, entry)) << other.depth << " " << other.bound;
    }
    tt_write_halves(300, a, a);  // whole: a hit, as stored
    EXPECT_EQ(probe(first).score, 11);
    EXPECT_EQ(probe(first).move, move_a);
    EXPECT_EQ(probe(first).depth, 8);
}

TEST(TranspositionTable, AllocationRoundsDownToAPowerOfTwoAndIsNeverEmpty) {
    fresh_search(START_FEN);
    EXPECT_EQ(allocate_tt(1000), 512u);
    EXPECT_EQ(tt_entries, 512u);
    EXPECT_EQ(tt_mask, 511u);
    EXPECT_EQ(allocate_tt(0), 1u);
    tt_store(key_of(12345, 6), 7, BOUND_EXACT, 4, move_a);
    EXPECT_EQ(probe(key_of(12345, 6)).move, move_a);
    EXPECT_EQ(probe(key_of(99, 6)).score, 7);  // one slot: every index is the same
    // A table filled in the background is backed in the end, its last pair too (a counted
    // wait: 30 s at most), and is empty.
    constexpr std::uint64_t large = std::uint64_t{1} << 21;  // 64 MB in all
    EXPECT_EQ(allocate_tt(large, true), large);
    tt_wait_until_backed(30000);
    EXPECT_TRUE(tt_is_backed());
    TTEntry entry{};
    EXPECT_FALSE(tt_probe(key_of(large - 1, 6), entry));
    tt_store(key_of(large - 1, 6), 8, BOUND_EXACT, 4, move_b);
    EXPECT_EQ(probe(key_of(large - 1, 6)).move, move_b);
    restore_test_tt();
}

TEST(ScoreToTT, RoundTripsEveryScoreAtEveryPly) {
    fresh_search(START_FEN);
    for (int ply = 0; ply <= 40; ++ply) {
        ASSERT_EQ(search_ply(), ply);
        for (int v = -MATE; v <= MATE; ++v)
            ASSERT_EQ(score_from_tt(score_to_tt(v)), v) << "score " << v << " ply " << ply;
        EXPECT_EQ(score_to_tt(MATE_BOUND), MATE_BOUND);
        EXPECT_EQ(score_to_tt(-MATE_BOUND), -MATE_BOUND);
        make_move(NULL_MOVE);
    }
}

TEST(ScoreToTT, MateDistanceReadsTheSameFromEveryNode) {
    fresh_search(START_FEN);
    for (int i = 0; i < 3; ++i)
        make_move(NULL_MOVE);
    // At ply 3, the side to move mates at ply 8 (five plies below the node) and is mated
    // at ply 6 (three plies below).
    const int mating = score_to_tt(MATE - 8);
    const int mated  = score_to_tt(6 - MATE);
    for (int i = 0; i < 7; ++i)
        make_move(NULL_MOVE);
    EXPECT_EQ(score_from_tt(mating), MATE - (10 + 5));
    EXPECT_EQ(score_from_tt(mated), (10 + 3) - MATE);
}

TEST(StorePv, EachPositionOfTheLineLeadsToItsMove) {
    fresh_search(START_FEN);
    const Move line[] = {make_quiet(12, 28), make_quiet(52, 36), make_quiet(6, 21), NO_MOVE};
    // The position after the first move already has a deeper primary entry: it keeps its
    // depth, score and bound and takes the line's move.
    make_move(line[0]);
    const Key held = position().key;
    tt_store(held, 55, BOUND_EXACT, 8, make_quiet(51, 35));
    unmake_move();

    const Key start_key = position().key;
    store_pv(line);
    EXPECT_EQ(position().key, start_key);
    EXPECT_EQ(search_ply(), 0);
    EXPECT_EQ(probe(start_key).move, line[0]);
    EXPECT_EQ(probe(start_key).bound, BOUND_MOVE_ONLY);
    EXPECT_EQ(probe(held).move, line[1]);
    EXPECT_EQ(probe(held).score, 55);
    EXPECT_EQ(probe(held).depth, 8);
    EXPECT_EQ(probe(held).bound, BOUND_EXACT);
    make_move(line[0]);
    make_move(line[1]);
    EXPECT_EQ(probe(position().key).move, line[2]);
    EXPECT_EQ(probe(position().key).depth, 0);
}

}  // namespace
