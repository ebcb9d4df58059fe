// velmora-tools perft and divide, run as a user runs them.
#include <algorithm>
#include <cstdio>
#include <gtest/gtest.h>
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

// The leaf count of the closing "nodes N ms T nps R" line.
std::string summary_nodes(const ToolRun& run) {
    unsigned long long nodes = 0, ms = 0, nps = 0;
    int                end = 0;
    if (run.lines.empty()
        || std::sscanf(run.lines.back().c_str(), "nodes %llu ms %llu nps %llu%n", &nodes, &ms, &nps,
                       &end)
               != 3
        || static_cast<std::size_t>(end) != run.lines.back().size())
        return "no summary line";
    return std::to_string(nodes);
}

// "e2e4: 20" or "b7b8q: 1": a move in coordinate notation and its count.
bool parse_move_line(const std::string& line, long long& count) {
    std::size_t i = 0;
    for (int k = 0; k < 2; ++k, i += 2)
        if (line.size() < i + 2 || line[i] < 'a' || line[i] > 'h' || line[i + 1] < '1'
            || line[i + 1] > '8')
            return false;
    if (i < line.size() && std::string("nbrq").find(line[i]) != std::string::npos)
        ++i;
    if (line.compare(i, 2, ": ") != 0 || line.size() == i + 2)
        return false;
    const std::string digits = line.substr(i + 2);
    if (digits.find_first_not_of("0123456789") != std::string::npos)
        return false;
    count = std::stoll(digits);
    return true;
}

}  // namespace

TEST(PerftTool, CountsThroughGeneratorsAndPickers) {
    EXPECT_EQ(summary_nodes(run_tool("perft 3")), "8902");
    EXPECT_EQ(summary_nodes(run_tool("perft 3 --pickers")), "8902");
    EXPECT_EQ(summary_nodes(run_tool("perft 3 --make-all")), "8902");
    const ToolRun run = run_tool("perft 2 '8/2p5/3p4/KP5r/1R3p1k/8/4P1P1/8 w - - 0 1'");
    EXPECT_EQ(run.lines.size(), 1u);
    EXPECT_EQ(summary_nodes(run), "191");
    EXPECT_EQ(run.status, 0);
}

TEST(PerftTool, DivideNamesEveryRootMove) {
    const ToolRun run =
        run_tool("divide 2 'r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq - 0 1'");
    ASSERT_EQ(run.lines.size(), 48u + 1u);
    long long sum = 0;
    for (std::size_t i = 0; i + 1 < run.lines.size(); ++i) {
        long long count = 0;
        ASSERT_TRUE(parse_move_line(run.lines[i], count)) << run.lines[i];
        sum += count;
    }
    EXPECT_EQ(sum, 2039);
    EXPECT_EQ(summary_nodes(run), "2039");
    EXPECT_NE(std::find(run.lines.begin(), run.lines.end(), "e1g1: 43"), run.lines.end());
    const ToolRun promotions = run_tool("divide 1 '7k/1P6/8/8/8/8/8/K7 w - - 0 1'");
    EXPECT_NE(std::find(promotions.lines.begin(), promotions.lines.end(), "b7b8q: 1"),
              promotions.lines.end());
}

// A FEN that is not standard chess is Chess960, and --960 reads any FEN so: castling is
// then the king taking its rook.
TEST(PerftTool, ReadsChess960AndNamesCastlingByTheRook) {
    const ToolRun run = run_tool("divide 1 '4k3/8/8/8/8/8/8/RK5R w HA - 0 1'");
    EXPECT_EQ(summary_nodes(run), "25");
    for (const char* castle : {"b1a1: 1", "b1h1: 1"})
        EXPECT_NE(std::find(run.lines.begin(), run.lines.end(), castle), run.lines.end()) << castle;
    const ToolRun standard = run_tool("divide 1 'r3k2r/8/8/8/8/8/8/R3K2R w KQkq - 0 1' --960");
    EXPECT_NE(std::find(standard.lines.begin(), standard.lines.end(), "e1h1: 1"),
              standard.lines.end());
    const ToolRun file =
        run_tool(std::string("perft --epd ") + VELMORA_DATA_DIR + "/perft-960.epd --max-depth 3");
    EXPECT_EQ(file.status, 0);
    EXPECT_EQ(run_tool("perft 1 '4k3/8/8/8/8/8/8/RK5R w C - 0 1'").status, 2);
}

TEST(PerftTool, PerftFilesAndBadInput) {
    const ToolRun file = run_tool(std::string("perft --epd ") + VELMORA_DATA_DIR
                                  + "/perft-standard.epd --max-depth 2");
    EXPECT_EQ(file.status, 0);
    EXPECT_EQ(file.lines.size(), 1u);
    // Pins, checks, en passant and castling rights: the last ply counted unmade and made.
    for (const char* path : {"", " --make-all"}) {
        const ToolRun stress = run_tool(std::string("perft --epd ") + VELMORA_DATA_DIR
                                        + "/perft-stress.epd --max-depth 3" + path);
        EXPECT_EQ(stress.status, 0) << path;
        EXPECT_EQ(stress.lines.size(), 1u) << path;
    }
    EXPECT_EQ(run_tool("perft 2 --pickers --make-all").status, 2);
    EXPECT_EQ(run_tool("perft 2 'not a fen'").status, 2);
    EXPECT_EQ(run_tool("perft").status, 2);
    EXPECT_EQ(run_tool("divide x").status, 2);
}
