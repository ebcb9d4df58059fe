// tools/go.cpp: "go", one think on any position, with the thinking lines the engine
// prints and the move it answers.
//
//   go FEN [--depth D | --ms T] [--960]     default: 5000 ms
//
// The transposition table is 64 megabytes, as in the engine with default options; no
// book is consulted.
#include <cstdio>
#include <cstring>
#include <string>

#include "commands.h"
#include "fen_setup.h"
#include "position/position.h"
#include "search/clock.h"
#include "search/think.h"
#include "search_setup.h"
#include "shell/move_text.h"
#include "shell/xboard.h"

int run_go(int argc, char** argv) {
    const bool chess960 = take_960_flag(argc, argv);
    if (argc < 1) {
        std::fprintf(stderr, "usage: velmora-tools go FEN [--depth D | --ms T] [--960]\n");
        return 2;
    }
    int depth_limit = DEFAULT_DEPTH_LIMIT;
    int fixed_ms    = 5000;
    if (!parse_think_limits(argc, argv, 1, "go", depth_limit, fixed_ms))
        return 2;
    std::string error;
    if (!load_tool_fen(argv[0], chess960, &error)) {
        std::fprintf(stderr, "velmora-tools go: bad FEN: %s\n", error.c_str());
        return 2;
    }
    allocate_search_tables(64);
    set_thinking_output(stdout);
    int        score = 0;
    const Move m     = think(fixed_limits(depth_limit, fixed_ms), score);
    const int  ms    = clock_ms() - search_start;
    if (m == NO_MOVE)
        std::printf("no move (%s)\n", score < 0 ? "checkmated" : "stalemated");
    else
        std::printf("move %s\n", tool_move_text(m).text);
    std::printf("score %d nodes %lld ms %d\n", score, static_cast<long long>(node_count), ms);
    return 0;
}
