// support/engine_process.h: runs the real velmora binary the way a GUI does, in a
// scratch working directory of its own, with a session on standard input.
#pragma once

#include <string>
#include <vector>

// A fresh, empty directory under the system's temporary directory; removed (with
// everything in it) when the ScratchDir goes out of scope.
struct ScratchDir {
    ScratchDir();
    ~ScratchDir();
    ScratchDir(const ScratchDir&)            = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;
    std::string root;  // holds the session's input and output files
    std::string work;  // root/work: the engine's working directory, empty at first
};

struct EngineRun {
    int         exit_code;  // -1 when the engine did not exit normally
    std::string output;     // everything written to standard output
};

// Runs VELMORA_BINARY with the given arguments (already quoted for the shell) in
// dir.work, input on its standard input.
EngineRun run_engine(const ScratchDir& dir, const std::string& input, const std::string& args = "");

// A running engine with pipes on both ends, in dir.work, for sessions that answer what
// it says. Every read gives up after timeout_ms, so a hung engine fails the test instead
// of hanging it.
struct EngineSession {
    explicit EngineSession(const ScratchDir& dir);
    ~EngineSession();
    EngineSession(const EngineSession&)            = delete;
    EngineSession& operator=(const EngineSession&) = delete;
    void           send(const std::string& text);
    // Reads lines (appended to seen, without their line ends) up to and including the
    // first that begins with prefix; false at the end of output or on the timeout.
    bool
    read_until(const std::string& prefix, std::vector<std::string>& seen, int timeout_ms = 60000);
    // Closes the engine's input and waits for it: its exit code, -1 when it did not exit.
    int finish();
    // Waits up to timeout_ms for the engine to exit with its input still open: its exit
    // code, -1 when it did not exit normally, -2 when it is still running.
    int wait_for_exit(int timeout_ms);

    int         pid         = -1;
    int         to_engine   = -1;
    int         from_engine = -1;
    std::string pending;  // read but not yet a whole line
};

// Whole files as bytes; read_file answers false when the file cannot be opened.
bool read_file(const std::string& path, std::string& contents);
void write_file(const std::string& path, const std::string& contents);
