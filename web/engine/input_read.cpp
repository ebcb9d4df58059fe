// The browser build's input: the lines the page posts to the engine's worker (or, under
// Node, standard input), queued by pre.js. Replaces src/shell/input_read.cpp in that
// build. A wait gives the worker's event loop a turn (Asyncify unwinds the stack and
// rewinds it when the turn is over), so a think that polls every 2 ms still hears
// "stop", "isready" and "ponderhit" while the worker is busy.
#include "shell/input_read.h"

extern "C" {
// Copies queued bytes into buffer: how many, or -1 once the input has ended.
int velmora_input_take(char* buffer, int capacity);
// Returns after the event loop's next turn, or once input comes (timeout_ms -1).
void velmora_input_wait(int timeout_ms);
}

int read_input(int, char* buffer, int capacity, int timeout_ms) {
    if (const int n = velmora_input_take(buffer, capacity); n != 0)
        return n;
    velmora_input_wait(timeout_ms);
    return velmora_input_take(buffer, capacity);
}
