// Whole protocol sessions with the real binary. Each case in cases/ is NAME.in (standard
// input), NAME.out (standard output, byte for byte) and NAME.log (the log file, byte for
// byte; without it the run must leave no log), with an optional NAME.book copied into
// the working directory as the opening book and NAME.args for the command line. The
// clock's figures in UCI thinking lines ("nps", "time") are compared as 0; cases named
// uci_* are UCI sessions.
// Sessions that need odd bytes are written out below instead.
#include <algorithm>
#include <cctype>
#include <cstdint>
#include <filesystem>
#include <gtest/gtest.h>
#include <string>
#include <unistd.h>
#include <vector>

#include "support/engine_process.h"

namespace {

using namespace std::string_literals;

const std::string cases_dir = VELMORA_SOURCE_DIR "/tests/transcripts/cases";
const std::string book_name = "VelmoraOB.book";
const std::string log_name  = "velmora_log.txt";
const std::string no_book   = "Opening book missing.\n";

std::vector<std::string> case_names() {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(cases_dir))
        if (entry.path().extension() == ".in")
            names.push_back(entry.path().stem().string());
    std::sort(names.begin(), names.end());
    return names;
}

// Every "nps N" and "time N" of an "info" line read as 0: the search is fixed, the clock not.
std::string mask_clock(const std::string& output) {
    std::string masked;
    std::size_t at = 0;
    while (at < output.size()) {
        std::size_t end  = output.find('\n', at);
        end              = end == std::string::npos ? output.size() : end + 1;
        std::string line = output.substr(at, end - at);
        if (line.rfind("info depth ", 0) == 0)
            for (const char* field : {" nps ", " time "}) {
                const std::size_t f = line.find(field);
                if (f == std::string::npos)
                    continue;
                const std::size_t digits = f + std::string(field).size();
                std::size_t       stop   = digits;
                while (stop < line.size() && std::isdigit(static_cast<unsigned char>(line[stop])))
                    ++stop;
                line.replace(digits, stop - digits, "0");
            }
        masked += line;
        at = end;
    }
    return masked;
}

class Transcript : public testing::TestWithParam<std::string> {};

TEST_P(Transcript, OutputAndLogMatchByteForByte) {
    const std::string base = cases_dir + "/" + GetParam();
    std::string       input, expected_output, expected_log, book, args;
    ASSERT_TRUE(read_file(base + ".in", input));
    ASSERT_TRUE(read_file(base + ".out", expected_output));
    const bool has_log = read_file(base + ".log", expected_log);
    read_file(base + ".args", args);
    args.erase(std::remove(args.begin(), args.end(), '\n'), args.end());

    ScratchDir dir;
    if (read_file(base + ".book", book))
        write_file(dir.work + "/" + book_name, book);
    const EngineRun run = run_engine(dir, input, args);
    EXPECT_EQ(run.exit_code, 0);
    EXPECT_EQ(mask_clock(run.output), expected_output);
    std::string log;
    ASSERT_EQ(read_file(dir.work + "/" + log_name, log), has_log);
    EXPECT_EQ(log, expected_log);
}

INSTANTIATE_TEST_SUITE_P(Cases,
                         Transcript,
                         testing::ValuesIn(case_names()),
                         [](const testing::TestParamInfo<std::string>& param) {
                             return param.param;
                         });

std::string log_of(const ScratchDir& dir) {
    std::string log;
    EXPECT_TRUE(read_file(dir.work + "/" + log_name, log));
    return log;
}

TEST(TranscriptBytes, WindowsLineEndsAreLineEnds) {
    ScratchDir      dir;
    const EngineRun run = run_engine(dir, "xboard\r\nforce\r\ne2e4\r\nblack\r\n\r\nquit\r\n");
    EXPECT_EQ(run.exit_code, 0);
    EXPECT_EQ(run.output, no_book);
    EXPECT_EQ(log_of(dir), "force\nXBoard move e2e4\nblack\nquit\n");
}

TEST(TranscriptBytes, ZeroBytesAndInvalidUtf8AreWordsLikeAnyOther) {
    ScratchDir        dir;
    const std::string input =
        "xboard\nforce\nforce\xff\xfe\n\x80\xc3\n\0quit\ne2\0e4\ne2e4\0garbage\nquit\n"s;
    const EngineRun run = run_engine(dir, input);
    EXPECT_EQ(run.exit_code, 0);
    // The text of a line ends at a zero byte.
    EXPECT_EQ(run.output, no_book
                              + "Error (unknown command): force\xff\xfe\n"
                                "Error (unknown command): \x80\xc3\n"
                                "Error (unknown command): e2\n");
    EXPECT_EQ(log_of(dir), "force\n"
                           "Error (unknown command): force\xff\xfe\n\n"
                           "Error (unknown command): \x80\xc3\n\n"
                           "Error (unknown command): e2\n\n"
                           "XBoard move e2e4\nquit\n");
}

TEST(TranscriptBytes, LongLinesAreReadInPiecesOf255) {
    ScratchDir        dir;
    const std::string a300(300, 'a');
    // 253 blanks and e2e4: the first piece ends after e2, the second holds e4.
    const std::string split_move = std::string(253, ' ') + "e2e4\n";
    const EngineRun   run = run_engine(dir, "xboard\n" + a300 + "\n" + split_move + "quit\n");
    EXPECT_EQ(run.exit_code, 0);
    const std::string first = std::string(255, 'a'), rest = std::string(45, 'a');
    EXPECT_EQ(run.output, no_book + "Error (unknown command): " + first
                              + "\nError (unknown command): " + rest
                              + "\nError (unknown command): e2\nError (unknown command): e4\n");
}

TEST(TranscriptBytes, WordsBeforeXboardMayBeLongerThanTheBuffer) {
    ScratchDir      dir;
    const EngineRun run = run_engine(dir, std::string(1000, 'x') + "xboard\nxboard\nquit\n");
    EXPECT_EQ(run.exit_code, 0);
    EXPECT_EQ(run.output, no_book);
    EXPECT_EQ(log_of(dir), "quit\n");
}

// UCI input of any shape: CRLF line ends, zero bytes, a line longer than the loop's
// buffer and a final line without a line end all leave the conversation intact.
TEST(TranscriptBytes, UciTakesAnyBytes) {
    ScratchDir        dir;
    const std::string huge(100000, 'x');
    const std::string input = "uci\r\nsetoption name Debug Log File value velmora_log.txt\r\n"
                              "isready\r\n\0quit\nisr\0eady\n"s
                              + huge + "\nposition startpos moves e2e4 " + huge
                              + "\r\nucinewgame\nposition startpos moves d2d4\nisready"s;
    const EngineRun run = run_engine(dir, input);
    EXPECT_EQ(run.exit_code, 0);
    const std::size_t uciok = run.output.find("uciok\n");
    ASSERT_NE(uciok, std::string::npos);
    EXPECT_EQ(run.output.substr(uciok), "uciok\ninfo string opening book missing: VelmoraOB.book\n"
                                        "readyok\ninfo string unknown command: isr\n"
                                        "info string a line longer than 65536 bytes was ignored\n"
                                        "info string a line longer than 65536 bytes was ignored\n"
                                        "readyok\n");
    EXPECT_EQ(log_of(dir), "setoption name Debug Log File value velmora_log.txt\n"
                           "info string unknown command: isr\n"
                           "info string a line longer than 65536 bytes was ignored\n"
                           "info string a line longer than 65536 bytes was ignored\n"
                           "ucinewgame\nUCI move d2d4\n");
}

TEST(TranscriptRuns, EachRunStartsAFreshLog) {
    ScratchDir dir;
    run_engine(dir, "xboard\nforce\ne2e4\nsd 7\nquit\n");
    EXPECT_EQ(log_of(dir), "force\nXBoard move e2e4\nsd 7\nquit\n");
    const EngineRun second = run_engine(dir, "xboard\nnew\n");
    EXPECT_EQ(second.exit_code, 0);
    EXPECT_EQ(log_of(dir), "new\n");
}

TEST(TranscriptRuns, AnUnwritableLogIsNoObstacle) {
    ScratchDir dir;
    std::filesystem::create_directory(dir.work + "/" + log_name);  // a directory in its place
    const EngineRun run = run_engine(dir, "xboard\nprotover 1\nbogus\nquit\n");
    EXPECT_EQ(run.exit_code, 0);
    EXPECT_EQ(run.output, no_book + "Error (unknown command): bogus\n");
}

TEST(TranscriptRuns, OptionsNeverDisturbTheConversation) {
    ScratchDir      dir;
    const EngineRun run =
        run_engine(dir, "xboard\nquit\n", "-th 5 -ph 3 -mh -1 -th x 32 -zz 9 -ph");
    EXPECT_EQ(run.exit_code, 0);
    EXPECT_EQ(run.output, no_book);
}

// A size beyond the machine is cut to at most half its memory, and the log says so first.
TEST(TranscriptRuns, AHugeTableIsCappedAndTheLogSaysWhatItGot) {
    ScratchDir      dir;
    const EngineRun run = run_engine(dir, "xboard\nquit\n", "-th 100000000");
    EXPECT_EQ(run.exit_code, 0);
    const std::string log    = log_of(dir);
    const std::string before = "tables granted: transposition table ";
    const std::string after  = " MB of 67108864 MB, pawn hash 1 MB, material hash 1 MB\nquit\n";
    ASSERT_EQ(log.substr(0, before.size()), before);
    ASSERT_GT(log.size(), before.size() + after.size());
    EXPECT_EQ(log.substr(log.size() - after.size()), after);
    const std::uint64_t granted_mb = std::stoull(log.substr(before.size()));
    EXPECT_GE(granted_mb, 8u);
    EXPECT_LE(granted_mb << 20, static_cast<std::uint64_t>(sysconf(_SC_PHYS_PAGES))
                                    * static_cast<std::uint64_t>(sysconf(_SC_PAGESIZE)) / 2);
}

}  // namespace
