// tools/show.cpp: prints a position as a diagram with its FEN, keys, piece-square sums
// and the pieces giving check.
#include <cinttypes>
#include <cstdio>
#include <string>

#include "commands.h"
#include "fen_setup.h"
#include "position/attacked.h"
#include "position/position.h"

int run_show(int argc, char** argv) {
    const bool chess960 = take_960_flag(argc, argv);
    if (argc > 1) {
        std::fprintf(stderr, "usage: velmora-tools show [FEN] [--960]\n");
        return 2;
    }
    new_game();
    std::string error;
    if (argc == 1 && !load_tool_fen(argv[0], chess960, &error)) {
        std::fprintf(stderr, "velmora-tools: bad FEN: %s\n", error.c_str());
        return 2;
    }
    const Position& pos        = position();
    constexpr char  letters[7] = {'p', 'n', 'b', 'r', 'q', 'k', '.'};
    for (int rank = 7; rank >= 0; --rank) {
        std::printf("%d ", rank + 1);
        for (int file = 0; file < 8; ++file) {
            const int sq = make_square(file, rank);
            if (pos.board[WHITE][sq] != NO_PIECE)
                std::printf(" %c", letters[pos.board[WHITE][sq]] - 'a' + 'A');
            else
                std::printf(" %c", letters[pos.board[BLACK][sq]]);
        }
        std::printf("\n");
    }
    std::printf("   a b c d e f g h\n\n");
    std::printf("fen          %s\n", position_to_fen().c_str());
    std::printf("key          %016" PRIx64 "\n", pos.key);
    std::printf("pawn_key     %016" PRIx64 "\n", pos.pawn_key);
    std::printf("material_key %016" PRIx64 "\n", pos.material_key);
    std::printf("psq_mg       %d\npsq_eg       %d\n", pos.psq_mg, pos.psq_eg);
    const int us = pos.side_to_move;
    std::printf("checkers    ");
    const Bitboard checkers = attackers_of(pos.king_square[us], 1 - us);
    if (!checkers)
        std::printf(" none");
    for (Bitboard b = checkers; b; b &= b - 1) {
        const int sq = lsb_index(b);
        std::printf(" %c%d", 'a' + file_of(sq), rank_of(sq) + 1);
    }
    std::printf("\n");
    return 0;
}
