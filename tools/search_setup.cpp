// tools/search_setup.cpp: hash tables and argument helpers for the searching tools.
#include "search_setup.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "shell/xboard.h"

bool parse_int_arg(const char* text, int low, int high, int& value) {
    char* end    = nullptr;
    errno        = 0;
    const long v = std::strtol(text, &end, 10);
    if (end == text || *end != '\0' || errno != 0 || v < low || v > high)
        return false;
    value = static_cast<int>(v);
    return true;
}

bool parse_think_limits(
    int argc, char** argv, int first, const char* tool, int& depth_limit, int& fixed_ms) {
    for (int i = first; i < argc; ++i) {
        const bool has_value = i + 1 < argc;
        if (std::strcmp(argv[i], "--depth") == 0 && has_value
            && parse_int_arg(argv[i + 1], 1, 1000, depth_limit)) {
            fixed_ms = DEFAULT_FIXED_TIME_MS;
            ++i;
        } else if (std::strcmp(argv[i], "--ms") == 0 && has_value
                   && parse_int_arg(argv[i + 1], 0, 1 << 30, fixed_ms)) {
            depth_limit = DEFAULT_DEPTH_LIMIT;
            ++i;
        } else {
            std::fprintf(stderr, "velmora-tools %s: bad argument '%s'\n", tool, argv[i]);
            return false;
        }
    }
    return true;
}
