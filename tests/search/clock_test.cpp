#include <climits>
#include <gtest/gtest.h>

#include "search/clock.h"

namespace {

// The clock is read only at every 32768th node, so a deadline that has passed already
// stops the search exactly there.
TEST(SearchClock, PassedDeadlineStopsAtTheFirstReading) {
    reset_node_count();
    start_clock(-1000);
    for (int i = 1; i < 32768; ++i)
        ASSERT_FALSE(check_clock()) << i;
    EXPECT_FALSE(stop_search);
    EXPECT_TRUE(check_clock());
    EXPECT_TRUE(stop_search);
    EXPECT_EQ(node_count, 32768);
}

TEST(SearchClock, RootCountReachingAMultipleReadsNoClock) {
    reset_node_count();
    start_clock(-1000);
    for (int i = 1; i < 32768; ++i)
        ASSERT_FALSE(check_clock());
    count_root_node();  // node 32768: the root never looks at the clock
    for (int i = 32769; i < 65536; ++i)
        ASSERT_FALSE(check_clock()) << i;
    EXPECT_TRUE(check_clock());
}

TEST(SearchClock, DeadlinesSaturateAndCanBeSuspended) {
    reset_node_count();
    start_clock(INT_MAX);  // a budget as large as the GUI's clock allows does not wrap
    EXPECT_GE(deadline, search_start);
    set_deadline(-1000);
    suspend_deadline();
    for (int i = 1; i <= 65536; ++i)
        ASSERT_FALSE(check_clock());
    set_deadline(-1000);
    for (int i = 65537; i < 98304; ++i)
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
