#include "support/engine_process.h"

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <poll.h>
#include <sstream>
#include <stdexcept>
#include <sys/wait.h>
#include <unistd.h>

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

EngineSession::EngineSession(const ScratchDir& dir) {
    int in[2], out[2];
    if (pipe(in) != 0 || pipe(out) != 0)
        throw std::runtime_error("cannot make pipes");
    pid = fork();
    if (pid == 0) {
        dup2(in[0], STDIN_FILENO);
        dup2(out[1], STDOUT_FILENO);
        for (int fd : {in[0], in[1], out[0], out[1]})
            close(fd);
        if (chdir(dir.work.c_str()) == 0)
            execl(VELMORA_BINARY, VELMORA_BINARY, static_cast<char*>(nullptr));
        _exit(127);
    }
    close(in[0]);
    close(out[1]);
    to_engine   = in[1];
    from_engine = out[0];
    std::signal(SIGPIPE, SIG_IGN);  // an engine that died fails the reads, not the test run
}

EngineSession::~EngineSession() {
    if (pid > 0) {
        kill(pid, SIGKILL);
        finish();
    }
}

void EngineSession::send(const std::string& text) {
    const ssize_t written = write(to_engine, text.data(), text.size());
    (void)written;
}

bool EngineSession::read_until(const std::string&        prefix,
                               std::vector<std::string>& seen,
                               int                       timeout_ms) {
    for (;;) {
        for (std::size_t end; (end = pending.find('\n')) != std::string::npos;) {
            const std::string line = pending.substr(0, end);
            pending.erase(0, end + 1);
            seen.push_back(line);
            if (line.rfind(prefix, 0) == 0)
                return true;
        }
        pollfd ready{from_engine, POLLIN, 0};
        if (poll(&ready, 1, timeout_ms) <= 0)
            return false;
        char          bytes[4096];
        const ssize_t n = read(from_engine, bytes, sizeof bytes);
        if (n <= 0)
            return false;
        pending.append(bytes, static_cast<std::size_t>(n));
    }
}

int EngineSession::wait_for_exit(int timeout_ms) {
    int status = 0;
    for (int waited = 0; pid > 0; waited += 10) {
        const int ended = waitpid(pid, &status, WNOHANG);
        if (ended == pid) {
            pid = -1;
            return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        }
        if (ended < 0 || waited >= timeout_ms)
            break;
        usleep(10000);
    }
    return pid > 0 ? -2 : -1;
}

int EngineSession::finish() {
    if (to_engine >= 0)
        close(to_engine);
    if (from_engine >= 0)
        close(from_engine);
    to_engine = from_engine = -1;
    int status              = 0;
    if (pid <= 0 || waitpid(pid, &status, 0) != pid)
        return -1;
    pid = -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}
