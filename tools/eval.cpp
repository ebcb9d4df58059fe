// tools/eval.cpp: the evaluation of one position, term by term, for tuning and
// debugging (eval/eval_report.h, which the UCI loop's "eval" prints too).
#include <cstdio>
#include <string>

#include "commands.h"
#include "eval/eval_report.h"
#include "eval/material.h"
#include "eval/pawns.h"
#include "fen_setup.h"
#include "position/position.h"

int run_eval(int argc, char** argv) {
    const bool chess960 = take_960_flag(argc, argv);
    if (argc > 1) {
        std::fprintf(stderr, "usage: velmora-tools eval [FEN] [--960]\n");
        return 2;
    }
    allocate_pawn_hash(1);
    allocate_material_hash(1);
    new_game();
    std::string error;
    if (argc == 1 && !load_tool_fen(argv[0], chess960, &error)) {
        std::fprintf(stderr, "velmora-tools: bad FEN: %s\n", error.c_str());
        return 2;
    }
    print_eval_report(stdout);
    return 0;
}
