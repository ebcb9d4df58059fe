// fuzz/feed_loop.h: what both fuzz targets do with an input: its bytes become the GUI's
// side of one session of the command loop, answered into /dev/null.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>

#include "shell/xboard.h"

inline void feed_loop(const std::uint8_t* data, std::size_t size, const LoopSettings& settings) {
    static std::FILE* const sink = std::fopen("/dev/null", "w");
    if (size == 0)
        return;  // fmemopen refuses an empty buffer
    std::FILE* in = fmemopen(const_cast<std::uint8_t*>(data), size, "r");
    if (in == nullptr)
        return;
    command_loop(in, sink, settings);
    std::fclose(in);
}
