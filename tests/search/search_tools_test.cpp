// The searching tools, run as built: bench, go and epd (which also proves the SAN
// reader on castling, promotion, disambiguation and check marks).
#include <cstdio>
#include <gtest/gtest.h>
#include <sstream>
#include <sys/wait.h>

#include "support/engine_process.h"

namespace {

struct ToolRun {
    int                      exit_code;
    std::vector<std::string> lines;  // standard output
};

ToolRun run_tool(const std::string& args) {
    const std::string command =
        std::string("'") + VELMORA_TOOLS_BINARY + "' " + args + " 2>/dev/null";
    ToolRun    run{-1, {}};
    std::FILE* out = popen(command.c_str(), "r");
    if (!out)
        return run;
    char line[4096];
    while (std::fgets(line, sizeof line, out)) {
        std::string text(line);
        if (!text.empty() && text.back() == '\n')
            text.pop_back();
        run.lines.push_back(text);
    }
    const int status = pclose(out);
    run.exit_code    = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

// The bench's node total at depth 6. Any change to what the search visits changes it:
// record the new figure deliberately, with "Bench: N" (the default depth's total) in the
// commit message.
constexpr long long BENCH_DEPTH_6_SIGNATURE = 1621380;

TEST(SearchTools, BenchEndsWithItsPinnedSignature) {
    const ToolRun run = run_tool("bench 6");
    ASSERT_EQ(run.exit_code, 0);
    ASSERT_EQ(run.lines.size(), 1u);  // progress goes to standard error
    long long nodes = -1, ms = -1, nps = -1;
    ASSERT_EQ(std::sscanf(run.lines[0].c_str(), "nodes %lld ms %lld nps %lld", &nodes, &ms, &nps),
              3);
    EXPECT_EQ(run.lines[0], "nodes " + std::to_string(nodes) + " ms " + std::to_string(ms) + " nps "
                                + std::to_string(nps));
    EXPECT_EQ(nodes, BENCH_DEPTH_6_SIGNATURE);
    EXPECT_EQ(run_tool("bench 0").exit_code, 2);
    // The Chess960 positions, where the search castles from other squares.
    const ToolRun chess960 = run_tool("bench 6 --960");
    ASSERT_EQ(chess960.lines.size(), 1u);
    EXPECT_EQ(chess960.lines[0].substr(0, 13), "nodes 110898 ");
}

TEST(SearchTools, GoPrintsThinkingLinesAndTheMove) {
    const ToolRun run = run_tool("go '6k1/5ppp/8/8/8/8/8/R5K1 w - - 0 1' --depth 2");
    ASSERT_EQ(run.exit_code, 0);
    ASSERT_GE(run.lines.size(), 4u);
    EXPECT_EQ(run.lines[0].substr(0, 8), " 1 31999");
    EXPECT_EQ(run.lines[run.lines.size() - 2], "move a1a8");
    EXPECT_EQ(run.exit_code, 0);
    EXPECT_EQ(run_tool("go 'not a position'").exit_code, 2);
}

TEST(SearchTools, EpdReadsSanAndCountsSolvedPositions) {
    ScratchDir        dir;
    const std::string suite = dir.root + "/suite.epd";
    write_file(suite,
               "6k1/5ppp/8/8/8/8/8/R5K1 w - - bm Ra8#; id \"mate\";\n"
               "8/1P6/8/8/8/8/k7/4K3 w - - bm b8=Q; id \"promotion\";\n"
               "6k1/5ppp/8/8/8/8/8/R3K2R w KQ - am O-O O-O-O Rad1; bm Ra8+; id \"castles\";\n"
               "r5k1/8/8/8/8/8/5PPP/6K1 b - - bm Ra1#; id \"black\";\n"
               "6k1/5ppp/8/8/8/8/8/R5K1 w - - bm Qd8; id \"illegal\";\n"
               "\n"
               "6k1/5ppp/8/8/8/8/8/R5K1 w - - am Ra8; id \"avoid\";\n");
    const ToolRun run = run_tool("epd '" + suite + "' --depth 2");
    EXPECT_EQ(run.exit_code, 1);  // one position not solved
    const std::vector<std::string> expected = {
        "mate solved: Ra8# (bm Ra8#) score 31999",
        "promotion solved: b8=Q (bm b8=Q)",
        "castles solved: Ra8# (bm Ra8#; am O-O O-O-O Rd1)",
        "black solved: Ra1# (bm Ra1#) score 31999",
        "line 5: skipped: bm move Qd8 is not a legal move here",
        "avoid not solved: Ra8# (am Ra8#) score 31999",
        "solved 4/5",
    };
    ASSERT_EQ(run.lines.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i)
        EXPECT_EQ(run.lines[i].substr(0, expected[i].size()), expected[i]);
}

}  // namespace
