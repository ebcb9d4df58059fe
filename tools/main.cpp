// velmora-tools: the developer's companion. Sets up any position from FEN and runs
// perft, benchmarks, evaluation traces and test suites; the engine itself stays exactly
// as the protocol specifies.
#include <cstdio>
#include <cstring>

#include "commands.h"
#include "eval/psq.h"
#include "position/attacks.h"

namespace {

struct ToolCommand {
    const char* name;
    int (*run)(int argc, char** argv);
    const char* usage;
};

constexpr ToolCommand tool_commands[] = {
    {"show", run_show, "show [FEN] [--960]          diagram, FEN, keys and sums of a position"},
    {"perft", run_perft, "perft DEPTH [FEN] [--pickers | --make-all] count leaf positions"},
    {"divide", run_divide, "divide DEPTH [FEN] [--pickers | --make-all] perft split by root move"},
    {"eval", run_eval, "eval [FEN] [--960]          evaluation term by term"},
    {"bench", run_bench, "bench [DEPTH] [--960 | --threads N [--ms T]]  the bench positions"},
    {"go", run_go, "go FEN [--depth D | --ms T] think on a position"},
    {"epd", run_epd, "epd FILE [--ms T | --depth D] run a bm/am test suite"},
    {"book", run_book, "book OUT FILE... [options]  build an opening book from SAN lines"},
};

void print_usage(std::FILE* out) {
    std::fprintf(out, "usage: velmora-tools COMMAND [ARGS]\n\ncommands:\n");
    for (const ToolCommand& command : tool_commands)
        std::fprintf(out, "  %s\n", command.usage);
    std::fprintf(out,
                 "\nFEN strings with blanks are passed as one quoted argument. A FEN that is not\n"
                 "standard chess is read as Chess960 (X-FEN or Shredder-FEN castling), as is\n"
                 "every FEN after --960 (perft, divide, go, show, eval); castling is then written\n"
                 "as the king taking its rook (e1h1).\n");
}

}  // namespace

void init_tool_tables() {
    init_line_tables();
    init_magics();
    init_piece_square();
}

int main(int argc, char** argv) {
    if (argc < 2 || std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0) {
        print_usage(stdout);
        return 0;
    }
    for (const ToolCommand& command : tool_commands)
        if (std::strcmp(argv[1], command.name) == 0) {
            init_tool_tables();
            return command.run(argc - 2, argv + 2);
        }
    std::fprintf(stderr, "velmora-tools: unknown command '%s'\n", argv[1]);
    print_usage(stderr);
    return 2;
}
