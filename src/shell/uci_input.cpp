#include "shell/uci_input.h"

#include <cstring>

#include "shell/input_read.h"

void input_open(Input& in, int fd) {
    in.fd    = fd;
    in.begin = in.end = 0;
    in.at_end = in.dropping = false;
}

bool input_fill(Input& in, int timeout_ms) {
    if (in.at_end)
        return false;
    if (in.begin > 0) {
        std::memmove(in.bytes, in.bytes + in.begin, static_cast<std::size_t>(in.end - in.begin));
        in.end -= in.begin;
        in.begin = 0;
    }
    bool dropped = false;
    if (in.end == INPUT_CAPACITY) {
        // One line fills the buffer: drop it up to its end.
        in.begin = in.end = 0;
        in.dropping       = true;
        dropped           = true;
    }
    const int n = read_input(in.fd, in.bytes + in.end, INPUT_CAPACITY - in.end, timeout_ms);
    if (n < 0)
        in.at_end = true;
    else
        in.end += n;
    return dropped;
}

int input_line_end(const Input& in, int from) {
    const void* nl = std::memchr(in.bytes + from, '\n', static_cast<std::size_t>(in.end - from));
    if (nl)
        return static_cast<int>(static_cast<const char*>(nl) - in.bytes);
    return in.at_end && from < in.end ? in.end : -1;
}

char* input_take_line(Input& in) {
    for (;;) {
        const int end = input_line_end(in, in.begin);
        if (end < 0)
            return nullptr;
        char* line    = in.bytes + in.begin;
        in.bytes[end] = '\0';
        if (end > in.begin && in.bytes[end - 1] == '\r')
            in.bytes[end - 1] = '\0';
        in.begin = end < in.end ? end + 1 : end;
        if (!in.dropping)
            return line;
        in.dropping = false;  // that was the rest of the long line
    }
}
