#include "shell/uci_output.h"

#include <cstdarg>

#include "shell/log.h"

static std::FILE* output = nullptr;

std::FILE* const& uci_out = output;

void set_uci_output(std::FILE* out) { output = out; }

void say(const char* format, ...) {
    va_list args;
    va_start(args, format);
    std::vfprintf(output, format, args);
    va_end(args);
    std::fputc('\n', output);
    std::fflush(output);
}

void tell(const char* format, ...) {
    char    text[512];
    va_list args;
    va_start(args, format);
    std::vsnprintf(text, sizeof text, format, args);
    va_end(args);
    say("info string %s", text);
    log_line("info string %s", text);
}
