#include "support/engine_process.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <sys/wait.h>

ScratchDir::ScratchDir() {
    std::string pattern = (std::filesystem::temp_directory_path() / "velmora-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr)
        throw std::runtime_error("cannot create a scratch directory");
    root = pattern;
    work = root + "/work";
    std::filesystem::create_directory(work);
}

ScratchDir::~ScratchDir() {
    std::error_code ignored;
    std::filesystem::remove_all(root, ignored);
}

bool read_file(const std::string& path, std::string& contents) {
    std::ifstream file(path, std::ios::binary);
    if (!file)
        return false;
    std::ostringstream bytes;
    bytes << file.rdbuf();
    contents = bytes.str();
    return true;
}

void write_file(const std::string& path, const std::string& contents) {
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file << contents;
}

EngineRun run_engine(const ScratchDir& dir, const std::string& input, const std::string& args) {
    const std::string in_path = dir.root + "/stdin", out_path = dir.root + "/stdout";
    write_file(in_path, input);
    const std::string command = "cd '" + dir.work + "' && '" VELMORA_BINARY "' " + args + " < '"
                                + in_path + "' > '" + out_path + "'";
    const int status = std::system(command.c_str());
    EngineRun run{-1, ""};
    if (status != -1 && WIFEXITED(status))
        run.exit_code = WEXITSTATUS(status);
    read_file(out_path, run.output);
    return run;
}
