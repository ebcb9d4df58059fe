// shell/input_read.h: where the UCI loop's bytes come from. Natively a descriptor, read
// with poll() and read(); the browser build links web/engine/input_read.cpp instead, which
// takes the lines the page posts to the engine's worker. Owns no state.
#pragma once

// Reads into buffer at most capacity bytes from fd, waiting at most timeout_ms for them
// (-1: until something comes). The number of bytes read; 0 when none came in time (or a
// signal cut the wait short); -1 once the input has ended or failed.
int read_input(int fd, char* buffer, int capacity, int timeout_ms);
