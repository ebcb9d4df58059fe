// tools/fen_setup.cpp: the FEN arguments of the tools, standard chess or Chess960.
#include "fen_setup.h"

#include <cstring>

#include "position/position.h"

namespace {

bool reads_960 = false;

}  // namespace

bool take_960_flag(int& argc, char** argv) {
    bool found = false;
    int  kept  = 0;
    for (int i = 0; i < argc; ++i) {
        if (std::strcmp(argv[i], "--960") == 0)
            found = true;
        else
            argv[kept++] = argv[i];
    }
    argc = kept;
    return found;
}

bool load_tool_fen(const std::string& fen, bool chess960, std::string* error) {
    if (!chess960 && load_fen(fen, error)) {
        reads_960 = false;
        return true;
    }
    if (load_fen(fen, chess960 ? error : nullptr, true)) {
        reads_960 = true;
        if (error)
            error->clear();
        return true;
    }
    return false;
}

bool tool_reads_960() { return reads_960; }

MoveText tool_move_text(Move m) { return reads_960 ? move_to_text_960(m) : move_to_text(m); }
