#include <climits>
#include <gtest/gtest.h>
#include <vector>

#include "shell/options.h"

namespace {

EngineOptions scan(std::vector<const char*> args) {
    args.insert(args.begin(), "velmora");
    return scan_options(static_cast<int>(args.size()), args.data());
}

TEST(Options, DefaultsWithoutArguments) {
    const EngineOptions options = scan({});
    EXPECT_EQ(options.tt_mb, 64);
    EXPECT_EQ(options.pawn_hash_mb, 1);
    EXPECT_EQ(options.material_hash_mb, 1);
    const TableSizes sizes = table_sizes(options);
    EXPECT_EQ(sizes.tt_entries, 2097152);  // two arrays of 32 megabytes
    EXPECT_EQ(sizes.pawn_hash_mb, 1);
    EXPECT_EQ(sizes.material_hash_mb, 1);
}

TEST(Options, EachOptionTakesTheFollowingNumber) {
    const EngineOptions options = scan({"-ph", "3", "-th", "100", "-mh", "6"});
    EXPECT_EQ(options.tt_mb, 100);
    EXPECT_EQ(options.pawn_hash_mb, 3);
    EXPECT_EQ(options.material_hash_mb, 6);
    const TableSizes sizes = table_sizes(options);
    EXPECT_EQ(sizes.tt_entries, 2097152);  // 100 is lowered to 64
    EXPECT_EQ(sizes.pawn_hash_mb, 2);
    EXPECT_EQ(sizes.material_hash_mb, 4);
}

TEST(Options, AnOptionWithoutANumberIsIgnoredAndItsNeighbourExamined) {
    EXPECT_EQ(scan({"-th"}).tt_mb, 64);
    EXPECT_EQ(scan({"-th", "x", "32"}).tt_mb, 64);
    EXPECT_EQ(scan({"-th", "-ph", "8"}).tt_mb, 64);
    EXPECT_EQ(scan({"-th", "-ph", "8"}).pawn_hash_mb, 8);
    EXPECT_EQ(scan({"-th", "16", "-th", "32"}).tt_mb, 32);  // the last one wins
    EXPECT_EQ(scan({"-TH", "16", "--th", "16", "-th16"}).tt_mb, 64);
    EXPECT_EQ(scan({"-th", "16x"}).tt_mb, 16);  // as "%d" reads it
    // The value is skipped: "-mh" here is -th's value, not an option of its own.
    const EngineOptions skipped = scan({"-th", "-mh", "-mh", "4"});
    EXPECT_EQ(skipped.tt_mb, 64);
    EXPECT_EQ(skipped.material_hash_mb, 4);
    // The program's own path is examined too.
    const char* argv[] = {"-th", "16"};
    EXPECT_EQ(scan_options(2, argv).tt_mb, 16);
}

TEST(Options, PowerOfTwoLowering) {
    EXPECT_EQ(lower_to_power_of_two(100), 64);
    EXPECT_EQ(lower_to_power_of_two(48), 32);
    EXPECT_EQ(lower_to_power_of_two(3), 2);
    EXPECT_EQ(lower_to_power_of_two(1), 1);
    EXPECT_EQ(lower_to_power_of_two(0), 0);
    EXPECT_EQ(lower_to_power_of_two(-5), -5);
    EXPECT_EQ(lower_to_power_of_two(INT_MAX), 1 << 30);
    for (int n = 1; n < 5000; ++n) {  // against subtracting one at a time
        int reference = n;
        while ((reference & (reference - 1)) != 0)
            --reference;
        ASSERT_EQ(lower_to_power_of_two(n), reference) << n;
    }
}

TEST(Options, TranspositionTableEntries) {
    EXPECT_EQ(tt_entries_for(64), 2097152);
    EXPECT_EQ(tt_entries_for(8), 262144);
    EXPECT_EQ(tt_entries_for(16), 524288);
    for (const int small : {4, 2, 1, 0, -1, -1000, INT_MIN})
        EXPECT_EQ(tt_entries_for(small), 262144) << small;
    for (const char* th : {"5", "1", "0", "-1"})
        EXPECT_EQ(table_sizes(scan({"-th", th})).tt_entries, 262144) << th;
    // The largest value gives 2^29 megabytes per array without overflow.
    EXPECT_EQ(table_sizes(scan({"-th", "2147483647"})).tt_entries, std::int64_t{1} << 45);
}

TEST(Options, NegativeHashSizesGetTheSmallestTable) {
    const TableSizes sizes = table_sizes(scan({"-ph", "-3", "-mh", "-2147483648"}));
    EXPECT_EQ(sizes.pawn_hash_mb, 0);
    EXPECT_EQ(sizes.material_hash_mb, 0);
}

TEST(Options, ReadIntReadsLikePercentD) {
    const auto read = [](const char* text, int expected, const char* rest) {
        const char* p     = text;
        int         value = 12345;
        ASSERT_TRUE(read_int(p, value)) << text;
        EXPECT_EQ(value, expected) << text;
        EXPECT_STREQ(p, rest) << text;
    };
    read("42", 42, "");
    read("  \t-7 rest", -7, " rest");
    read("+8x", 8, "x");
    read("007", 7, "");
    read("2147483647", INT_MAX, "");
    read("2147483648", INT_MAX, "");
    read("-2147483648", INT_MIN, "");
    read("-99999999999999999999999999", INT_MIN, "");
    read("99999999999999999999999999 5", INT_MAX, " 5");
    for (const char* bad : {"", " ", "x1", "-", "+", "- 1", "\n"}) {
        const char* p     = bad;
        int         value = 12345;
        EXPECT_FALSE(read_int(p, value)) << '"' << bad << '"';
        EXPECT_EQ(p, bad);
        EXPECT_EQ(value, 12345);
    }
}

TEST(Options, ClampToInt) {
    EXPECT_EQ(clamp_to_int(std::int64_t{INT_MAX} + 1), INT_MAX);
    EXPECT_EQ(clamp_to_int(std::int64_t{INT_MIN} - 1), INT_MIN);
    EXPECT_EQ(clamp_to_int(-5), -5);
}

}  // namespace
