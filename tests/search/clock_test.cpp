#include <chrono>
#include <climits>
#include <gtest/gtest.h>
#include <thread>

#include "search/clock.h"

namespace {

// The clock is read only at every 1024th node (often enough that the answer comes
// within a millisecond or so of the deadline, rarely enough to cost nothing), so a
// deadline that has passed already stops the search exactly there.
int  polls = 0;
void count_poll() { ++polls; }

TEST(SearchClock, PassedDeadlineStopsAtTheFirstReading) {
    reset_node_count();
    start_clock(-1000);
    // The input is looked at with the first reading too, then every 2 ms of clock.
    polls = 0;
    set_input_poller(count_poll);
    for (int i = 1; i < 1024; ++i)
        ASSERT_FALSE(check_clock()) << i;
    EXPECT_FALSE(stop_search);
    EXPECT_EQ(polls, 0);
    EXPECT_TRUE(check_clock());
    EXPECT_TRUE(stop_search);
    EXPECT_EQ(node_count, 1024);
    EXPECT_EQ(polls, 1);
    set_input_poller(nullptr);
}

// While thinking, the input is looked at again at the first reading 2 ms or more after
// the last look, and never twice within 2 ms. Counted, not timed: the readings are
// counted polls, and only what the clock itself says decides which count is right.
TEST(SearchClock, InputIsLookedAtEveryTwoMilliseconds) {
    reset_node_count();
    start_clock(1 << 30);
    polls = 0;
    set_input_poller(count_poll);
    const auto reading = [] {
        for (int i = 1; i < 1024; ++i)
            ASSERT_FALSE(check_clock());
        ASSERT_FALSE(check_clock());
    };
    reading();
    EXPECT_EQ(polls, 1);  // the first reading looks
    const int looked = clock_ms();
    reading();
    if (clock_ms() - looked < 1) {
        EXPECT_EQ(polls, 1);  // the same millisecond: no second look
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(3));
    reading();
    EXPECT_EQ(polls, 2);
    set_input_poller(nullptr);
}

TEST(SearchClock, RootCountReachingAMultipleReadsNoClock) {
    reset_node_count();
    start_clock(-1000);
    for (int i = 1; i < 1024; ++i)
        ASSERT_FALSE(check_clock());
    count_root_node();  // node 1024: the root never looks at the clock
    for (int i = 1025; i < 2048; ++i)
        ASSERT_FALSE(check_clock()) << i;
    EXPECT_TRUE(check_clock());
}

TEST(SearchClock, DeadlinesSaturateAndCanBeSuspended) {
    reset_node_count();
    start_clock(INT_MAX);  // a budget as large as the GUI's clock allows does not wrap
    EXPECT_GE(deadline, search_start);
    set_deadline(-1000);
    suspend_deadline();
    for (int i = 1; i <= 2048; ++i)
        ASSERT_FALSE(check_clock());
    set_deadline(-1000);
    for (int i = 2049; i < 3072; ++i)
        ASSERT_FALSE(check_clock());
    EXPECT_TRUE(check_clock());
}

// A clock that stops fails here rather than hanging: the sleep lasts at least 2 ms of
// the monotonic clock, whatever the machine's load.
TEST(SearchClock, ClockIsMonotonicMilliseconds) {
    const int a = clock_ms();
    std::this_thread::sleep_for(std::chrono::milliseconds(3));
    const int b = clock_ms();
    EXPECT_GE(b - a, 2);
    EXPECT_GE(a, 0);
}

}  // namespace
