// scripts/match-summary.awk: the verdict of a match, read from xboard's PGN record. It
// decides whether CI's real-play check passes, so every way of losing is checked here
// on hand-written records, and whether a change is stronger, so its sequential test is
// checked against closed forms worked out independently.
#include <cmath>
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

Summary summarise(const std::string& pgn,
                  int                wanted,
                  int                crashes = 0,
                  int                desyncs = 0,
                  const std::string& extra   = "") {
    ScratchDir dir;
    write_file(dir.work + "/games.pgn", pgn);
    const std::string command = "awk -v wanted=" + std::to_string(wanted)
                                + " -v crashes=" + std::to_string(crashes)
                                + " -v desyncs=" + std::to_string(desyncs) + " " + extra
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
    // The pairs score 1 and 1.5 of 2: a variance of 0.125^2 per pair, a standard error of
    // 0.0884 and an interval of 0.625 -+ 0.173, that is [0.452, 0.798].
    EXPECT_EQ(s.text,
              "games 4 of 4: velmora wins 2, draws 1, losses 1\n"
              "score 2.5/4 (62.5%)\n"
              "elo +89, 95% interval [-221, +inf]\n"
              "pairs 2, scoring 0/0.5/1/1.5/2: 0 0 1 1 0; elo +89, 95% interval [-34, +239]\n"
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

// A record of pairs, count[k] of them giving velmora k half points of the pair's four.
std::string pairs(const int (&count)[5]) {
    const char* first[5]  = {"0-1", "0-1", "1/2-1/2", "1-0", "1-0"};  // velmora White
    const char* second[5] = {"1-0", "1/2-1/2", "1/2-1/2", "1/2-1/2", "0-1"};
    std::string pgn;
    for (int k = 0; k < 5; ++k)
        for (int i = 0; i < count[k]; ++i)
            pgn +=
                game(velmora, opponent, first[k], "{}") + game(opponent, velmora, second[k], "{}");
    return pgn;
}

double expected_score(double elo) { return 1 / (1 + std::pow(10.0, -elo / 400)); }

// The log-likelihood ratio against two closed forms. When the pairs only ever score 0 or
// 2, the distributions nearest to them with mean s put s on 2 and 1 - s on 0, so the LLR is
// wins ln(s1 / s0) + losses ln((1 - s1) / (1 - s0)); for 0 and +10 Elo, s1 = 0.514387 and
// ln(s1 / s0) = 0.028368 a won pair. Pairs that score all five ways are checked against
// the normal approximation (s1 - s0)(2 mean - s0 - s1) N / (2 var), close to exact there.
TEST(MatchSummary, SequentialTestMatchesClosedForms) {
    const double s0 = expected_score(0), s1 = expected_score(10);
    const double won = std::log(s1 / s0), lost = std::log((1 - s1) / (1 - s0));
    const double balanced_mean = (120 * 0.25 + 300 * 0.5 + 150 * 0.75 + 40 * 1.0) / 640;
    const double balanced_var =
        (30 * std::pow(balanced_mean, 2) + 120 * std::pow(0.25 - balanced_mean, 2)
         + 300 * std::pow(0.5 - balanced_mean, 2) + 150 * std::pow(0.75 - balanced_mean, 2)
         + 40 * std::pow(1 - balanced_mean, 2))
        / 640;
    struct Case {
        int         count[5];
        std::string options;
        double      llr, tolerance;
        std::string bounds_and_verdict;
    };
    const Case cases[] = {
        {{10, 0, 0, 0, 30},
         "-v elo0=0 -v elo1=10",
         30 * won + 10 * lost,
         0.002,
         "bounds [-2.944, 2.944], inconclusive"},
        // Where the approximation has no variance to divide by.
        {{0, 0, 0, 0, 110},
         "-v elo0=0 -v elo1=10",
         110 * won,
         0.002,
         "bounds [-2.944, 2.944], H1 accepted"},
        // ln(0.2 / 0.9) and ln(0.8 / 0.1); s is 0.5 under H1 here, 0.485613 under H0.
        {{60, 0, 0, 0, 0},
         "-v elo0=-10 -v elo1=0 -v alpha=0.1 -v beta=0.2",
         60 * std::log(0.5 / (1 - expected_score(-10))),
         0.002,
         "bounds [-1.504, 2.079], H0 accepted"},
        {{30, 120, 300, 150, 40},
         "-v elo0=0 -v elo1=10",
         (s1 - s0) * (2 * balanced_mean - s0 - s1) * 640 / (2 * balanced_var),
         0.02,
         "bounds [-2.944, 2.944], inconclusive"},
    };
    for (const Case& c : cases) {
        const Summary     s  = summarise(pairs(c.count), 0, 0, 0, c.options);
        const std::size_t at = s.text.find(": llr ");
        ASSERT_NE(at, std::string::npos) << s.text;
        const double llr = std::stod(s.text.substr(at + 6));
        EXPECT_NEAR(llr, c.llr, c.tolerance) << s.text;
        EXPECT_NE(s.text.find(", " + c.bounds_and_verdict + "\n"), std::string::npos) << s.text;
    }
}

}  // namespace
