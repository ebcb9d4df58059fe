#include <climits>
#include <gtest/gtest.h>

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

TEST(SearchClock, ClockIsMonotonicMilliseconds) {
    const int a = clock_ms();
    int       b = clock_ms();
    while (b == a)
        b = clock_ms();
    EXPECT_GT(b, a);
    EXPECT_GE(a, 0);
}

}  // namespace
