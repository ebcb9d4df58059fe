#include "shell/input_read.h"

#include <cerrno>
#include <poll.h>
#include <unistd.h>

int read_input(int fd, char* buffer, int capacity, int timeout_ms) {
    pollfd    ready{fd, POLLIN, 0};
    const int polled = poll(&ready, 1, timeout_ms);
    if (polled < 0 && errno != EINTR)
        return -1;
    if (polled <= 0)
        return 0;
    const ssize_t n = read(fd, buffer, static_cast<std::size_t>(capacity));
    if (n == 0 || (n < 0 && errno != EINTR && errno != EAGAIN))
        return -1;
    return n > 0 ? static_cast<int>(n) : 0;
}
