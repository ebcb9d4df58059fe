// The eval tool's last line is the score evaluate() gives in this process.
#include <cstdio>
#include <gtest/gtest.h>
#include <string>

#include "eval/evaluate.h"
#include "support/eval_support.h"

namespace {

std::string last_line_of_tool(const std::string& fen) {
    const std::string command = std::string(VELMORA_TOOLS_BINARY) + " eval '" + fen + "'";
    std::FILE*        pipe    = popen(command.c_str(), "r");
    std::string       last;
    if (!pipe)
        return last;
    char buffer[256];
    while (std::fgets(buffer, sizeof buffer, pipe)) {
        last = buffer;
    }
    pclose(pipe);
    return last;
}

TEST(EvalTool, LastLineIsTheEvaluation) {
    for (const char* fen : {"rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1",
                            "r1bq1rk1/pp2bppp/2n1pn2/3p4/2PP4/2N2N2/PP2BPPP/R2QKB1R b KQ - 0 8",
                            "8/8/8/8/8/k7/p7/K7 w - - 0 1"}) {
        set_eval_fen(fen);
        const int score = evaluate(-MATE, MATE);
        EXPECT_EQ(last_line_of_tool(fen), "eval " + std::to_string(score) + "\n") << fen;
    }
}

}  // namespace
