// velmora: the engine as the GUI runs it. Builds every table once, then waits for
// "xboard" and hands the rest of the run to the command loop. Always exits with 0.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <ctime>

#include "eval/material.h"
#include "eval/pawns.h"
#include "eval/psq.h"
#include "position/attacks.h"
#include "search/tt.h"
#include "shell/book.h"
#include "shell/options.h"
#include "shell/xboard.h"

int main(int argc, char** argv) {
    const EngineOptions options = scan_options(argc, argv);

    // Make, unmake and every reader of the position use these tables.
    init_line_tables();
    init_magics();  // needs the line tables
    init_piece_square();

    // Each table takes its size lowered to a power of two; nothing is allocated later.
    const TableSizes sizes = table_sizes(options);
    allocate_tt(static_cast<std::uint64_t>(sizes.tt_entries));  // and clears it
    allocate_pawn_hash(static_cast<unsigned>(sizes.pawn_hash_mb));
    allocate_material_hash(static_cast<unsigned>(sizes.material_hash_mb));

    // The book probe is the only user of random numbers.
    std::srand(static_cast<unsigned>(std::time(nullptr)));
    if (!open_book())
        std::printf("Opening book missing.\n");

    if (wait_for_xboard(stdin, stdout))
        command_loop(stdin, stdout);
    close_book();
    return 0;
}
