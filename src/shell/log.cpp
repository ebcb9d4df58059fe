#include "shell/log.h"

#include <cstdarg>
#include <cstdio>

// The open log, or none: every entry is dropped while it is none.
static std::FILE* engine_log = nullptr;

bool open_log(const char* path) {
    if (path == nullptr) {
        close_log();
        return false;
    }
    std::FILE* const file = std::fopen(path, "w");
    if (file == nullptr)
        return false;
    close_log();
    engine_log = file;
    return true;
}

void log_line(const char* format, ...) {
    if (engine_log == nullptr)
        return;
    std::va_list args;
    va_start(args, format);
    std::vfprintf(engine_log, format, args);
    va_end(args);
    std::fputc('\n', engine_log);
    std::fflush(engine_log);
}

void close_log() {
    if (engine_log != nullptr)
        std::fclose(engine_log);
    engine_log = nullptr;
}
