#include "shell/options.h"

#include <climits>
#include <cstring>

bool read_int(const char*& text, int& value) {
    const char* p = text;
    while (*p == ' ' || (*p >= '\t' && *p <= '\r'))
        ++p;
    const bool negative = *p == '-';
    if (*p == '-' || *p == '+')
        ++p;
    if (*p < '0' || *p > '9')
        return false;
    // Past 2^40 the value is out of range for good; stop growing it there.
    std::int64_t magnitude = 0;
    for (; *p >= '0' && *p <= '9'; ++p)
        if (magnitude < (std::int64_t{1} << 40))
            magnitude = magnitude * 10 + (*p - '0');
    value = clamp_to_int(negative ? -magnitude : magnitude);
    text  = p;
    return true;
}

int clamp_to_int(std::int64_t v) {
    if (v > INT_MAX)
        return INT_MAX;
    if (v < INT_MIN)
        return INT_MIN;
    return static_cast<int>(v);
}

EngineOptions scan_options(int argc, const char* const* argv) {
    EngineOptions options;
    for (int i = 0; i < argc; ++i) {
        int* target = nullptr;
        if (std::strcmp(argv[i], "-th") == 0)
            target = &options.tt_mb;
        else if (std::strcmp(argv[i], "-ph") == 0)
            target = &options.pawn_hash_mb;
        else if (std::strcmp(argv[i], "-mh") == 0)
            target = &options.material_hash_mb;
        if (target == nullptr || i + 1 >= argc)
            continue;
        const char* value_text = argv[i + 1];
        if (read_int(value_text, *target))
            ++i;
    }
    return options;
}

int lower_to_power_of_two(int n) {
    // Clearing the lowest set bit until one is left is the same as subtracting 1 until a
    // power of two is reached, without a billion steps for large values.
    while (n > 0 && (n & (n - 1)) != 0)
        n &= n - 1;
    return n;
}

std::int64_t tt_entries_for(int tt_mb) {
    const std::int64_t array_mb    = tt_mb / 2 > 4 ? tt_mb / 2 : 4;
    const std::int64_t array_bytes = array_mb << 20;
    return array_bytes / 16;
}

TableSizes table_sizes(const EngineOptions& options) {
    // Negative hash sizes have no meaning; they get the smallest table, like 0.
    const int pawn_mb     = lower_to_power_of_two(options.pawn_hash_mb);
    const int material_mb = lower_to_power_of_two(options.material_hash_mb);
    return TableSizes{tt_entries_for(lower_to_power_of_two(options.tt_mb)),
                      pawn_mb < 0 ? 0 : pawn_mb, material_mb < 0 ? 0 : material_mb};
}
