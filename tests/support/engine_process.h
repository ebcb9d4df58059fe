// support/engine_process.h: runs the real velmora binary the way a GUI does, in a
// scratch working directory of its own, with a session on standard input.
#pragma once

#include <string>

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

// Whole files as bytes; read_file answers false when the file cannot be opened.
bool read_file(const std::string& path, std::string& contents);
void write_file(const std::string& path, const std::string& contents);
