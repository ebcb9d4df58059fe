// The UCI loop with the real binary, where a session must answer what the engine says:
// input that arrives while the engine thinks. Whole sessions that need no answering are
// transcripts (tests/transcripts/cases/uci_*).
#include <algorithm>
#include <gtest/gtest.h>
#include <string>
#include <utility>
#include <vector>

#include "support/engine_process.h"

namespace {

using namespace std::string_literals;

int count_starting(const std::vector<std::string>& lines, const std::string& prefix) {
    return static_cast<int>(std::count_if(
        lines.begin(), lines.end(), [&](const std::string& l) { return l.rfind(prefix, 0) == 0; }));
}

// "go infinite" and "go ponder" answer only after "stop" or "ponderhit", also when the
// search has run out of depth; "isready" is answered while the engine thinks; every "go"
// gets exactly one "bestmove".
TEST(UciThinking, StopAndPonderhitAreHeardWhileThinking) {
    ScratchDir               dir;
    EngineSession            engine(dir);
    std::vector<std::string> seen;
    engine.send("uci\n");
    ASSERT_TRUE(engine.read_until("uciok", seen));

    // A search that never ends by itself.
    seen.clear();
    engine.send("position startpos moves e2e4\ngo infinite\n");
    ASSERT_TRUE(engine.read_until("info depth 6 ", seen));
    engine.send("isready\n");
    ASSERT_TRUE(engine.read_until("readyok", seen));
    engine.send("stop\n");
    ASSERT_TRUE(engine.read_until("bestmove", seen));
    EXPECT_EQ(count_starting(seen, "bestmove"), 1);

    // A mate in one: the answer waits for "stop" after "go infinite", for "ponderhit" or
    // "stop" after "go ponder", with a clock too. With a depth of one the search is over
    // before its first clock reading, so an answer that did not wait would come before
    // "readyok".
    for (const auto& [go, release] : {std::pair{"go infinite", "stop"},
                                      {"go ponder", "ponderhit"},
                                      {"go ponder depth 1", "ponderhit"},
                                      {"go ponder depth 1 wtime 3000 btime 3000", "ponderhit"},
                                      {"go ponder depth 1 wtime 3000 btime 3000", "stop"}}) {
        seen.clear();
        engine.send("position fen 6k1/5ppp/8/8/8/8/5PPP/3R2K1 w - - 0 1\n"s + go + "\nisready\n");
        ASSERT_TRUE(engine.read_until("readyok", seen));
        EXPECT_EQ(count_starting(seen, "bestmove"), 0) << go;
        engine.send(release + "\n"s);
        ASSERT_TRUE(engine.read_until("bestmove", seen));
        EXPECT_EQ(seen.back(), "bestmove d1d8") << go;
    }

    // Pondering runs without a deadline until the expected move is played; then the
    // clock of the "go" applies.
    seen.clear();
    engine.send("position startpos moves e2e4 e7e5\ngo ponder wtime 3000 btime 3000\n");
    ASSERT_TRUE(engine.read_until("info depth 6 ", seen));
    engine.send("isready\n");
    ASSERT_TRUE(engine.read_until("readyok", seen));
    EXPECT_EQ(count_starting(seen, "bestmove"), 0);
    engine.send("ponderhit\n");
    ASSERT_TRUE(engine.read_until("bestmove", seen));
    EXPECT_EQ(count_starting(seen, "bestmove"), 1);

    // A ponder search ignores its clock until the hit: with a tenth of a second on the
    // clock a search answers after a few plies, a ponder search goes on far beyond them.
    seen.clear();
    engine.send("position startpos moves d2d4 d7d5\ngo ponder wtime 100 btime 100\n");
    ASSERT_TRUE(engine.read_until("info depth 9 ", seen));
    EXPECT_EQ(count_starting(seen, "bestmove"), 0);
    engine.send("ponderhit\n");
    ASSERT_TRUE(engine.read_until("bestmove", seen));

    // With helper threads: "isready" and "stop" are heard as before, and one answer comes.
    // A new table size, sent while the helpers may still be leaving their searches, waits
    // for them (the sanitizer builds see it if it does not).
    for (const char* threads : {"2", "4"}) {
        seen.clear();
        engine.send("setoption name Threads value "s + threads
                    + "\nposition startpos moves e2e4\ngo infinite\n");
        ASSERT_TRUE(engine.read_until("info depth 6 ", seen));
        engine.send("isready\n");
        ASSERT_TRUE(engine.read_until("readyok", seen));
        engine.send("stop\nsetoption name Hash value 2\n");
        ASSERT_TRUE(engine.read_until("bestmove", seen));
        engine.send("isready\n");
        ASSERT_TRUE(engine.read_until("readyok", seen));
        EXPECT_EQ(count_starting(seen, "bestmove"), 1) << threads << " threads";
    }

    // "quit" during a think ends the process, with its input still open (and four
    // threads searching).
    engine.send("position startpos\ngo infinite\n");
    ASSERT_TRUE(engine.read_until("info depth 5 ", seen));
    engine.send("quit\n");
    EXPECT_EQ(engine.wait_for_exit(30000), 0);
}

// Every option takes the least and the greatest value it announces (Hash's greatest
// would take half the machine's memory, so it is left to the announcement), and refuses
// the values beyond them.
TEST(UciOptions, EveryOptionTakesItsAnnouncedBounds) {
    ScratchDir               dir;
    EngineSession            engine(dir);
    std::vector<std::string> seen;
    engine.send("uci\nisready\n");
    ASSERT_TRUE(engine.read_until("readyok", seen));
    for (const char* line :
         {"Hash value 1", "Threads value 1", "MultiPV value 1", "MultiPV value 64",
          "Move Overhead value 0", "Move Overhead value 5000", "Ponder value true",
          "OwnBook value false", "Threads value 256", "Threads value 1", "Skill Level value 0",
          "Skill Level value 20", "UCI_Elo value 800", "UCI_Elo value 2120",
          "UCI_LimitStrength value true"})
        engine.send("setoption name "s + line + "\n");
    engine.send("isready\n");
    seen.clear();
    ASSERT_TRUE(engine.read_until("readyok", seen));
    EXPECT_EQ(seen, std::vector<std::string>{"readyok"});
    for (const char* line :
         {"Hash value 0", "MultiPV value 65", "Move Overhead value -1", "Move Overhead value 5001",
          "Threads value 0", "Threads value 257", "Skill Level value -1", "Skill Level value 21",
          "UCI_Elo value 799", "UCI_Elo value 2121", "UCI_LimitStrength value 1"})
        engine.send("setoption name "s + line + "\n");
    engine.send("isready\n");
    seen.clear();
    ASSERT_TRUE(engine.read_until("readyok", seen));
    EXPECT_EQ(count_starting(seen, "info string option "), 11);
    engine.send("quit\n");
    EXPECT_EQ(engine.finish(), 0);
}

}  // namespace
