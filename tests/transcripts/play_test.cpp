// Whole games with the real binary: the engine's turn, "go", "hint", the result lines,
// the opening book and the log. Depths are fixed with "sd"; thinking lines are checked
// for their format and then set aside, since their time column varies.
#include <algorithm>
#include <cstdio>
#include <gtest/gtest.h>
#include <sstream>
#include <string>
#include <vector>

#include "support/engine_process.h"

namespace {

const std::string features = "feature ping=0 setboard=0 san=0 time=1 draw=1\n"
                             "feature sigint=0 sigterm=0 reuse=0 analyze=0\n"
                             "feature myname=\"Velmora 1.9.9 beta\" name=1\n"
                             "feature playother=1 sides=0\n"
                             "feature done=1\n";
const std::string no_book  = "Opening book missing.\n";

struct ThinkingLine {
    int                      depth, score, centiseconds, nodes;
    std::vector<std::string> pv;
};

struct Session {
    std::string               output;    // everything but the thinking lines
    std::vector<ThinkingLine> thinking;  // in the order printed
    std::string               log;
};

// A move of a thinking line: e2e4, e7e8Q.
bool is_move_text(const std::string& word) {
    const auto in = [](char c, char low, char high) { return c >= low && c <= high; };
    return (word.size() == 4
            || (word.size() == 5 && std::string("QRBN").find(word[4]) != std::string::npos))
           && in(word[0], 'a', 'h') && in(word[1], '1', '8') && in(word[2], 'a', 'h')
           && in(word[3], '1', '8');
}

// Only thinking lines start with a number followed by a blank.
bool looks_like_thinking_line(const std::string& line) {
    std::size_t       i      = line.find_first_not_of(' ');
    const std::size_t digits = i == std::string::npos ? 0 : line.find_first_not_of("0123456789", i);
    return i != std::string::npos && digits != i && digits < line.size() && line[digits] == ' ';
}

// A thinking line is "%2d %4d %4d %8d" and then " move" for each move of the line.
bool parse_thinking_line(const std::string& line, ThinkingLine& parsed) {
    int consumed = 0;
    if (std::sscanf(line.c_str(), "%d %d %d %d%n", &parsed.depth, &parsed.score,
                    &parsed.centiseconds, &parsed.nodes, &consumed)
        != 4)
        return false;
    // Widths: the numbers are right-aligned in 2, 4, 4 and 8 characters.
    char head[64];
    std::snprintf(head, sizeof head, "%2d %4d %4d %8d", parsed.depth, parsed.score,
                  parsed.centiseconds, parsed.nodes);
    if (line.compare(0, static_cast<std::size_t>(consumed), head) != 0)
        return false;
    for (std::size_t at = static_cast<std::size_t>(consumed); at < line.size();) {
        if (line[at] != ' ')
            return false;
        const std::size_t end  = std::min(line.find(' ', at + 1), line.size());
        const std::string move = line.substr(at + 1, end - at - 1);
        if (!is_move_text(move))
            return false;
        parsed.pv.push_back(move);
        at = end;
    }
    return true;
}

Session play(const std::string& input, const std::string& book = "") {
    ScratchDir dir;
    if (!book.empty())
        write_file(dir.work + "/VelmoraOB.book", book);
    const EngineRun run = run_engine(dir, input);
    EXPECT_EQ(run.exit_code, 0);
    Session            session;
    std::istringstream lines(run.output);
    for (std::string line; std::getline(lines, line);) {
        ThinkingLine parsed;
        if (looks_like_thinking_line(line)) {
            EXPECT_TRUE(parse_thinking_line(line, parsed)) << "thinking line: " << line;
            session.thinking.push_back(parsed);
        } else {
            session.output += line + "\n";
        }
    }
    read_file(dir.work + "/velmora_log.txt", session.log);
    return session;
}

TEST(PlayTranscript, SdThreeThinksToDepthThreeThenMoves) {
    const Session s = play("xboard\nprotover 2\nnew\nsd 3\ne2e4\nquit\n");
    ASSERT_FALSE(s.thinking.empty());
    // Depths run from 1 to 3; a re-search after a fail repeats its depth number.
    int depth = 1;
    for (const ThinkingLine& line : s.thinking) {
        EXPECT_TRUE(line.depth == depth || line.depth == depth + 1) << line.depth;
        depth = line.depth;
        EXPECT_FALSE(line.pv.empty());
    }
    EXPECT_EQ(s.thinking.front().depth, 1);
    EXPECT_EQ(s.thinking.back().depth, 3);
    const std::string reply = s.thinking.back().pv.front();
    EXPECT_EQ(s.output, no_book + features + "move " + reply + "\n");
    EXPECT_EQ(s.log, "protover 2\nnew\nsd 3\nXBoard move e2e4\nEngine move " + reply + " "
                         + std::to_string(s.thinking.back().score) + "\nquit\n");
}

TEST(PlayTranscript, WhiteMatesInOneAndClaimsIt) {
    // Scholar's mate is on the board: Qxf7.
    const Session s =
        play("xboard\nnew\nforce\ne2e4\ne7e5\nf1c4\nb8c6\nd1h5\ng8f6\nsd 3\ngo\nquit\n");
    EXPECT_EQ(s.output, no_book + "move h5f7\n1-0 {White mates}\n");
    EXPECT_EQ(s.thinking.back().score, 31999);
    EXPECT_NE(s.log.find("Engine move h5f7 31999\n1-0 {White mates}\nquit\n"), std::string::npos);
}

TEST(PlayTranscript, BlackMatesInOneAndClaimsIt) {
    // The fool's mate: the engine answers g2g4 with Qh4.
    const Session s = play("xboard\nnew\nsd 3\nforce\nf2f3\ne7e5\ng2g4\ngo\nquit\n");
    EXPECT_EQ(s.output, no_book + "move d8h4\n0-1 {Black mates}\n");
}

TEST(PlayTranscript, EngineCheckmatedOnItsTurnPrintsNoMove) {
    // Playing White, mated by the GUI's Qh4.
    Session s = play("xboard\nnew\nsd 3\nforce\nf2f3\ne7e5\ng2g4\nd8h4\ngo\nquit\n");
    EXPECT_EQ(s.output, no_book + "0-1 {Black mates}\n");
    ASSERT_EQ(s.thinking.size(), 1u);
    EXPECT_EQ(s.thinking[0].score, -32000);
    EXPECT_TRUE(s.thinking[0].pv.empty());
    EXPECT_TRUE(s.log.ends_with("go\n0-1 {Black mates}\nquit\n")) << s.log;
    // Playing Black, mated by Qxf7.
    s = play("xboard\nnew\nsd 3\nforce\ne2e4\ne7e5\nf1c4\nb8c6\nd1h5\ng8f6\nh5f7\ngo\nquit\n");
    EXPECT_EQ(s.output, no_book + "1-0 {White mates}\n");
}

TEST(PlayTranscript, EngineStalematedOnItsTurnPrintsNoMove) {
    // The shortest known stalemate: ten moves, Black to move and no move to make.
    const Session s = play("xboard\nnew\nsd 3\nforce\n"
                           "e2e3\na7a5\nd1h5\na8a6\nh5a5\nh7h5\nh2h4\na6h6\na5c7\nf7f6\n"
                           "c7d7\ne8f7\nd7b7\nd8d3\nb7b8\nd3h7\nb8c8\nf7g6\nc8e6\ngo\nquit\n");
    EXPECT_EQ(s.output, no_book + "1/2-1/2 {Stalemate}\n");
    EXPECT_TRUE(s.log.ends_with("go\n1/2-1/2 {Stalemate}\nquit\n")) << s.log;
}

TEST(PlayTranscript, HintShowsAMoveAndLeavesThePositionAlone) {
    const Session s = play("xboard\nnew\nsd 2\nforce\nf2f3\ne7e5\ng2g4\nhint\nd8h4\nquit\n");
    // The hint is the mate; the GUI then plays it itself, which is legal only if the
    // hint was not made on the board.
    EXPECT_EQ(s.output, no_book + "Hint: d8h4\n");
    EXPECT_FALSE(s.thinking.empty());
    EXPECT_NE(s.log.find("Hint d8h4\nXBoard move d8h4\n"), std::string::npos);
}

TEST(PlayTranscript, TheLogHoldsEveryKindOfEntry) {
    const Session s = play("xboard\nxboard\nprotover 2\nnew\nst 1\nsd 2\nlevel 40 5 0\n"
                           "time 500\notim 600\npost\nnopost\nforce\nbogus\nf2f3\ne7e5\n"
                           "black\nwhite\ng2g4\nhint\nundo\nremove\nf2f3\ne7e5\ng2g4\ngo\n"
                           "quit\n");
    EXPECT_EQ(s.log, "xboard\nprotover 2\nnew\nst 1\nsd 2\ntime 500\notim 600\nforce\n"
                     "Error (unknown command): bogus\n\n"
                     "XBoard move f2f3\nXBoard move e7e5\nblack\nwhite\nXBoard move g2g4\n"
                     "Hint d8h4\nundo\nremove\n"
                     "XBoard move f2f3\nXBoard move e7e5\nXBoard move g2g4\ngo\n"
                     "Engine move d8h4 31999\n0-1 {Black mates}\nquit\n");
    EXPECT_EQ(s.output, no_book + features
                            + "Error (unknown command): bogus\nHint: d8h4\nmove d8h4\n"
                              "0-1 {Black mates}\n");
}

TEST(PlayTranscript, BookAnswersTheFirstMovesWithoutThinking) {
    // Two lines continue e2e4 with c7c5; the malformed and the illegal lines are skipped.
    const std::string book = "e2e4 c7c5 g1f3\ne2e4 c7c5\nd2d4 d7d5\ne2e4 c7c4\ne2e4 zz\n";
    Session           s    = play("xboard\nnew\ne2e4\nquit\n", book);
    EXPECT_EQ(s.output, "move c7c5\n");
    EXPECT_TRUE(s.thinking.empty());
    EXPECT_EQ(s.log, "new\nXBoard move e2e4\nEngine move c7c5 0\nquit\n");
    // After 2. g1f3 the only line that got this far ends: the engine leaves the book and
    // searches.
    s = play("xboard\nnew\nsd 1\ne2e4\ng1f3\nquit\n", book);
    ASSERT_EQ(s.thinking.size(), 1u);
    EXPECT_EQ(s.output, "move c7c5\nmove " + s.thinking[0].pv[0] + "\n");
}

TEST(PlayTranscript, BookPlaysWhitesFirstMoveOnGo) {
    const Session s = play("xboard\nnew\ngo\nquit\n", "e2e4 e7e5\nd2d4 d7d5\ne2e4 c7c5\n");
    EXPECT_TRUE(s.output == "move e2e4\n" || s.output == "move d2d4\n") << s.output;
    EXPECT_TRUE(s.thinking.empty());
    EXPECT_NE(s.log.find("Engine move " + s.output.substr(5, 4) + " 0\n"), std::string::npos);
}

TEST(PlayTranscript, AGameThatFillsTheHistoryGetsNoMoreMoves) {
    // 4096 plies of knights going out and back: the stack keeps the rest for the search.
    std::string input = "xboard\nnew\nsd 1\nforce\n";
    for (int round = 0; round < 1024; ++round)
        input += "g1f3\ng8f6\nf3g1\nf6g8\n";
    input += "g1f3\ngo\nhint\nquit\n";
    const Session s = play(input);
    EXPECT_EQ(s.output, no_book + "Error (unknown command): g1f3\n");
    EXPECT_TRUE(s.thinking.empty());
    EXPECT_TRUE(s.log.ends_with("XBoard move f6g8\nError (unknown command): g1f3\n\ngo\nquit\n"));
}

}  // namespace
