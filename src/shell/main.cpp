// velmora: the engine as the GUI runs it. Builds every table once, then waits for
// "xboard" and hands the rest of the run to the command loop. Always exits with 0.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <ctime>

#include "eval/material.h"
#include "eval/pawns.h"
#include "eval/psq.h"
#include "eval/table_size.h"
#include "position/attacks.h"
#include "search/tt.h"
#include "shell/book.h"
#include "shell/options.h"
#include "shell/xboard.h"

// "64 MB", or in kilobytes or bytes for what is not a whole number of megabytes.
static int print_size(char* text, std::size_t capacity, std::uint64_t bytes) {
    const unsigned long long b = bytes;
    if (b % (1u << 20) == 0)
        return std::snprintf(text, capacity, "%llu MB", b >> 20);
    if (b % (1u << 10) == 0)
        return std::snprintf(text, capacity, "%llu KB", b >> 10);
    return std::snprintf(text, capacity, "%llu bytes", b);
}

// The log line for tables the machine granted smaller than the options asked (capped at
// half the physical memory, or refused and halved); nullptr when every table is whole.
static const char* table_note(const TableSizes& sizes) {
    static char         note[256];
    const std::uint64_t asked[3] = {
        static_cast<std::uint64_t>(sizes.tt_entries) * 2 * sizeof(TTEntry),
        megabytes_to_bytes(static_cast<unsigned>(sizes.pawn_hash_mb)),
        megabytes_to_bytes(static_cast<unsigned>(sizes.material_hash_mb))};
    const std::uint64_t granted[3] = {tt_bytes(), pawn_hash_entries() * sizeof(PawnEntry),
                                      material_hash_entries() * sizeof(MaterialEntry)};
    const char* const   names[3]   = {"transposition table", "pawn hash", "material hash"};
    if (granted[0] >= asked[0] && granted[1] >= asked[1] && granted[2] >= asked[2])
        return nullptr;
    int length = std::snprintf(note, sizeof note, "tables granted:");
    for (int i = 0; i < 3; ++i) {
        length +=
            std::snprintf(note + length, sizeof note - length, "%s %s ", i ? "," : "", names[i]);
        length += print_size(note + length, sizeof note - length, granted[i]);
        if (granted[i] < asked[i]) {
            length += std::snprintf(note + length, sizeof note - length, " of ");
            length += print_size(note + length, sizeof note - length, asked[i]);
        }
    }
    return note;
}

int main(int argc, char** argv) {
    const EngineOptions options = scan_options(argc, argv);

    // Make, unmake and every reader of the position use these tables.
    init_line_tables();
    init_magics();  // needs the line tables
    init_piece_square();

    // Each table takes its size lowered to a power of two; nothing is allocated later.
    const TableSizes sizes = table_sizes(options);
    allocate_tt(static_cast<std::uint64_t>(sizes.tt_entries));
    allocate_pawn_hash(static_cast<unsigned>(sizes.pawn_hash_mb));
    allocate_material_hash(static_cast<unsigned>(sizes.material_hash_mb));

    // The book probe is the only user of random numbers.
    std::srand(static_cast<unsigned>(std::time(nullptr)));
    if (!open_book())
        std::printf("Opening book missing.\n");

    LoopSettings settings;
    settings.start_note = table_note(sizes);
    if (wait_for_xboard(stdin, stdout))
        command_loop(stdin, stdout, settings);
    close_book();
    return 0;
}
