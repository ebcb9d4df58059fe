// velmora-tools perft and divide, run as a user runs them.
#include <algorithm>
#include <cstdio>
#include <gtest/gtest.h>
#include <regex>
#include <string>
#include <sys/wait.h>
#include <vector>

namespace {

struct ToolRun {
    std::vector<std::string> lines;  // standard output
    int                      status;
};

ToolRun run_tool(const std::string& arguments) {
    const std::string command =
        std::string(VELMORA_TOOLS_BINARY) + " " + arguments + " 2>/dev/null";
    ToolRun    run{{}, -1};
    std::FILE* pipe = popen(command.c_str(), "r");
    if (!pipe)
        return run;
    char buffer[256];
    while (std::fgets(buffer, sizeof buffer, pipe)) {
        std::string line(buffer);
        if (!line.empty() && line.back() == '\n')
            line.pop_back();
        run.lines.push_back(line);
    }
    const int status = pclose(pipe);
    run.status       = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

const std::regex summary(R"(nodes (\d+) ms \d+ nps \d+)");

std::string summary_nodes(const ToolRun& run) {
    std::smatch match;
    if (run.lines.empty() || !std::regex_match(run.lines.back(), match, summary))
        return "no summary line";
    return match[1];
}

}  // namespace

TEST(PerftTool, CountsThroughGeneratorsAndPickers) {
    EXPECT_EQ(summary_nodes(run_tool("perft 3")), "8902");
    EXPECT_EQ(summary_nodes(run_tool("perft 3 --pickers")), "8902");
    const ToolRun run = run_tool("perft 2 '8/2p5/3p4/KP5r/1R3p1k/8/4P1P1/8 w - - 0 1'");
    EXPECT_EQ(run.lines.size(), 1u);
    EXPECT_EQ(summary_nodes(run), "191");
    EXPECT_EQ(run.status, 0);
}

TEST(PerftTool, DivideNamesEveryRootMove) {
    const ToolRun run =
        run_tool("divide 2 'r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq - 0 1'");
    ASSERT_EQ(run.lines.size(), 48u + 1u);
    const std::regex move_line(R"(([a-h][1-8]){2}[nbrq]?: (\d+))");
    long long        sum = 0;
    for (std::size_t i = 0; i + 1 < run.lines.size(); ++i) {
        std::smatch match;
        ASSERT_TRUE(std::regex_match(run.lines[i], match, move_line)) << run.lines[i];
        sum += std::stoll(match[2]);
    }
    EXPECT_EQ(sum, 2039);
    EXPECT_EQ(summary_nodes(run), "2039");
    EXPECT_NE(std::find(run.lines.begin(), run.lines.end(), "e1g1: 43"), run.lines.end());
    const ToolRun promotions = run_tool("divide 1 '7k/1P6/8/8/8/8/8/K7 w - - 0 1'");
    EXPECT_NE(std::find(promotions.lines.begin(), promotions.lines.end(), "b7b8q: 1"),
              promotions.lines.end());
}

TEST(PerftTool, PerftFilesAndBadInput) {
    const ToolRun file = run_tool(std::string("perft --epd ") + VELMORA_SHARED_DIR
                                  + "/data/perft-standard.epd --max-depth 2");
    EXPECT_EQ(file.status, 0);
    EXPECT_EQ(file.lines.size(), 1u);
    EXPECT_EQ(run_tool("perft 2 'not a fen'").status, 2);
    EXPECT_EQ(run_tool("perft").status, 2);
    EXPECT_EQ(run_tool("divide x").status, 2);
}
