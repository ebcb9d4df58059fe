// scripts/match-summary.awk: the verdict of a match, read from xboard's PGN record. It
// decides whether CI's real-play check passes, so every way of losing is checked here
// on hand-written records.
#include <cstdlib>
#include <gtest/gtest.h>
#include <string>
#include <sys/wait.h>

#include "support/engine_process.h"

namespace {

std::string game(const std::string& white,
                 const std::string& black,
                 const std::string& result,
                 const std::string& ending) {
    return "[Event \"Computer Chess Game\"]\n[White \"" + white + "\"]\n[Black \"" + black
           + "\"]\n[Result \"" + result + "\"]\n\n1. e4 {+0.20/10 0.3} e5 {-0.15/9\n0.2} 2. Nf3\n"
           + ending + " " + result + "\n\n";
}

const std::string velmora  = "Velmora 1.9.9 beta";
const std::string opponent = "Phalanx XXV";

struct Summary {
    int         status;
    std::string text;
};

Summary summarise(const std::string& pgn, int wanted, int crashes = 0, int desyncs = 0) {
    ScratchDir dir;
    write_file(dir.work + "/games.pgn", pgn);
    const std::string command = "awk -v wanted=" + std::to_string(wanted) + " -v crashes="
                                + std::to_string(crashes) + " -v desyncs=" + std::to_string(desyncs)
                                + " -f '" VELMORA_SOURCE_DIR "/scripts/match-summary.awk' '"
                                + dir.work + "/games.pgn' > '" + dir.work + "/summary.txt'";
    Summary summary{std::system(command.c_str()), ""};
    summary.status = WIFEXITED(summary.status) ? WEXITSTATUS(summary.status) : -1;
    read_file(dir.work + "/summary.txt", summary.text);
    return summary;
}

TEST(MatchSummary, CleanMatchCountsFromVelmorasSide) {
    const std::string pgn = game(velmora, opponent, "1-0", "{Xboard adjudication: Checkmate}")
                            + game(opponent, velmora, "1-0", "{Black resigns}")
                            + game(velmora, opponent, "1/2-1/2", "{Draw by repetition}")
                            + game(opponent, velmora, "0-1", "{White wins on time}");
    const Summary s = summarise(pgn, 4);
    EXPECT_EQ(s.status, 0);
    // The opponent losing on time is no fault of velmora's. p = 0.625 with a standard
    // error of sqrt(0.6875 / 4 / 4) = 0.207: the interval's lower end is p - 0.406.
    EXPECT_EQ(s.text, "games 4 of 4: velmora wins 2, draws 1, losses 1\n"
                      "score 2.5/4 (62.5%)\n"
                      "elo +89, 95% interval [-221, +inf]\n"
                      "velmora: time forfeits 0, illegal moves 0, crashes 0, protocol errors 0\n");
}

TEST(MatchSummary, EachKindOfFaultFailsTheMatch) {
    struct Case {
        std::string ending, counted;
    };
    const Case cases[] = {
        {"{Black wins on time}", "time forfeits 1, illegal moves 0, crashes 0, protocol errors 0"},
        {"{Xboard: Forfeit due to illegal move: Ke3 (e1e3) res=0}",
         "time forfeits 0, illegal moves 1, crashes 0, protocol errors 0"},
        {"{False win claim: '1-0 {White mates}'}",
         "time forfeits 0, illegal moves 0, crashes 0, protocol errors 1"},
        {"{White's connection lost}",
         "time forfeits 0, illegal moves 0, crashes 1, protocol errors 0"},
    };
    for (const Case& c : cases) {
        const Summary s = summarise(game(velmora, opponent, "0-1", c.ending), 1);
        EXPECT_EQ(s.status, 1) << c.ending;
        EXPECT_NE(s.text.find("velmora: " + c.counted + "\n"), std::string::npos)
            << c.ending << "\n"
            << s.text;
    }
}

TEST(MatchSummary, CrashesDesyncsAndMissingGamesFailTheMatch) {
    const std::string one = game(opponent, velmora, "0-1", "{Xboard adjudication: Checkmate}");
    EXPECT_EQ(summarise(one, 1).status, 0);
    EXPECT_EQ(summarise(one, 1, 1, 0).status, 1);
    EXPECT_EQ(summarise(one, 1, 0, 2).status, 1);
    const Summary short_match = summarise(one, 2);
    EXPECT_EQ(short_match.status, 1);
    EXPECT_NE(short_match.text.find("only 1 of 2 games"), std::string::npos);
    const Summary unfinished = summarise(game(velmora, opponent, "*", "{aborted}"), 1);
    EXPECT_NE(unfinished.text.find("unfinished 1"), std::string::npos);
}

TEST(MatchSummary, AllWinsAndAllLossesHaveInfiniteElo) {
    EXPECT_NE(summarise(game(velmora, opponent, "1-0", "{Black resigns}"), 1)
                  .text.find("elo +inf, 95% interval [+inf, +inf]"),
              std::string::npos);
    EXPECT_NE(summarise(game(velmora, opponent, "0-1", "{White resigns}"), 1)
                  .text.find("elo -inf, 95% interval [-inf, -inf]"),
              std::string::npos);
}

}  // namespace
