// shell/uci_input.h: the UCI loop's input, read from the descriptor into a buffer of the
// loop's own, so that a poll while the engine thinks sees every byte the GUI has sent
// (stdio's buffer could hide lines from it). The loop owns its Input record; these
// functions fill it, find lines in it and hand them out one at a time.
#pragma once

// The longest line the loop holds: a game of 4096 moves fits with room to spare. A longer
// line is dropped whole, and the loop tells the GUI.
constexpr int INPUT_CAPACITY = 1 << 16;

// The descriptor's bytes: [begin, end) is unread.
struct Input {
    int  fd;
    char bytes[INPUT_CAPACITY + 1];  // one more for the zero that ends the last line
    int  begin;
    int  end;
    bool at_end;    // the descriptor has nothing more to give
    bool dropping;  // inside a line too long to hold: skip to its end
};

// An empty buffer on descriptor fd.
void input_open(Input& in, int fd);
// Reads what the descriptor has, waiting at most timeout_ms (-1: until something comes).
// True when a line too long to hold had to be dropped.
bool input_fill(Input& in, int timeout_ms);
// The end of the first complete line in [from, in.end), or -1. A line cut short by the
// end of input counts as complete.
int input_line_end(const Input& in, int from);
// The next complete line, zero-terminated in place (a carriage return before the line end
// belongs to it; a zero byte ends what the loop looks at), or nullptr.
char* input_take_line(Input& in);
