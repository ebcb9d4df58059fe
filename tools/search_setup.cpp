// tools/search_setup.cpp: hash tables and argument helpers for the searching tools.
#include "search_setup.h"

#include <cerrno>
#include <cstdlib>

#include "eval/material.h"
#include "eval/pawns.h"
#include "search/tt.h"

void allocate_search_tables(int tt_mb) {
    // Two arrays of 16-byte entries, each half the size.
    const std::uint64_t bytes_per_array = std::uint64_t{static_cast<unsigned>(tt_mb)} << 19;
    allocate_tt(bytes_per_array / sizeof(TTEntry));
    allocate_pawn_hash(1);
    allocate_material_hash(1);
}

void clear_search_tables() {
    tt_clear();
    clear_pawn_hash();
    clear_material_hash();
}

bool parse_int_arg(const char* text, int low, int high, int& value) {
    char* end    = nullptr;
    errno        = 0;
    const long v = std::strtol(text, &end, 10);
    if (end == text || *end != '\0' || errno != 0 || v < low || v > high)
        return false;
    value = static_cast<int>(v);
    return true;
}
