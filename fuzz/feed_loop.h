// fuzz/feed_loop.h: the tables every fuzz target builds, and what the xboard targets do
// with an input: its bytes become the GUI's side of one session of the command loop,
// answered into /dev/null.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>

#include "eval/material.h"
#include "eval/pawns.h"
#include "eval/psq.h"
#include "position/attacks.h"
#include "search/tt.h"
#include "shell/xboard.h"

// What start-up builds, with small hash tables, so that clearing them on "new" costs
// little: every target's initialisation.
inline void init_fuzz_tables() {
    init_line_tables();
    init_magics();
    init_piece_square();
    allocate_tt(1 << 12);  // 64 KB per array
    allocate_pawn_hash_bytes(1 << 14);
    allocate_material_hash_bytes(1 << 14);
}

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
