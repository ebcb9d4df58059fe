// velmora: the engine as the GUI runs it. Builds every table once, then waits for
// "xboard" and hands the rest of the run to the command loop. Always exits with 0.
#include <cstdio>
#include <cstdlib>
#include <ctime>

#include "eval/psq.h"
#include "position/attacks.h"
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
    // TRANSPOSITION TABLE: allocate two arrays of sizes.tt_entries entries, then
    // tt_clear(); both arrive with search/tt.h.
    // PAWN HASH: allocate_pawn_hash(sizes.pawn_hash_mb) arrives with eval/pawns.h.
    // MATERIAL HASH: allocate_material_hash(sizes.material_hash_mb) arrives with
    // eval/material.h.
    (void)sizes;

    // The book probe is the only user of random numbers.
    std::srand(static_cast<unsigned>(std::time(nullptr)));
    if (!open_book())
        std::printf("Opening book missing.\n");

    if (wait_for_xboard(stdin, stdout))
        command_loop(stdin, stdout);
    close_book();
    return 0;
}
