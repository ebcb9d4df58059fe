// scripts/polyglot-engine: a UCI engine behind Debian's polyglot, as an xboard engine.
// Polyglot itself always exits with 0, so the wrapper must hand on the engine's own exit
// status, or scripts/match would never see a UCI engine crash. Checked with a stand-in
// engine whose status is known; skipped where polyglot is not installed.
#include <cstdlib>
#include <gtest/gtest.h>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>

#include "support/engine_process.h"

namespace {

bool polyglot_installed() {
    return std::system("PATH=\"$PATH:/usr/games\" command -v polyglot >/dev/null") == 0;
}

// A UCI engine in a few lines of shell that leaves at "quit" with the status it was given
// as its argument.
std::string stand_in_engine(const ScratchDir& dir) {
    const std::string path = dir.root + "/stand-in";
    write_file(path, "#!/bin/sh\n"
                     "while read -r line; do\n"
                     "    case \"$line\" in\n"
                     "        uci) echo 'id name Stand-in'; echo uciok ;;\n"
                     "        isready) echo readyok ;;\n"
                     "        quit) exit \"$1\" ;;\n"
                     "    esac\n"
                     "done\n");
    chmod(path.c_str(), 0755);
    return path;
}

struct WrapperRun {
    int         status;
    std::string output;
};

WrapperRun run_wrapper(const ScratchDir& dir, const std::string& args) {
    write_file(dir.root + "/input.txt", "xboard\nprotover 2\nquit\n");
    const std::string command =
        "cd '" + dir.work + "' && bash '" VELMORA_SOURCE_DIR "/scripts/polyglot-engine' " + args
        + " < '" + dir.root + "/input.txt' > '" + dir.root + "/output.txt' 2>&1";
    WrapperRun run{std::system(command.c_str()), ""};
    run.status = WIFEXITED(run.status) ? WEXITSTATUS(run.status) : -1;
    read_file(dir.root + "/output.txt", run.output);
    return run;
}

TEST(PolyglotEngine, HandsOnTheEnginesExitStatusAndTheNameItWasGiven) {
    if (!polyglot_installed())
        GTEST_SKIP() << "polyglot is not installed";
    ScratchDir       dir;
    const WrapperRun failed =
        run_wrapper(dir, "--name 'Test Engine' --log '" + dir.root + "/pg.log' -- '"
                             + stand_in_engine(dir) + "' 3");
    EXPECT_EQ(failed.status, 3);
    EXPECT_NE(failed.output.find("feature myname=\"Test Engine\""), std::string::npos)
        << failed.output;

    const WrapperRun clean = run_wrapper(dir, "--no-log -- '" + stand_in_engine(dir) + "' 0");
    EXPECT_EQ(clean.status, 0);
    // Without a name of its own, the GUI is given the engine's.
    EXPECT_NE(clean.output.find("feature myname=\"Stand-in\""), std::string::npos) << clean.output;
}

}  // namespace
