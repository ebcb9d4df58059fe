// shell/uci.h: the conversation with a GUI in the UCI protocol, chosen at start-up when
// the word "uci" comes before "xboard". The loop answers "uci" with the engine's name and
// options, then reads one command line at a time: options, the position (a start and the
// moves played from it, so that repetitions count across them), and "go" with its limits,
// which it hands to the same thinking driver as the xboard loop. Every think ends with
// exactly one "bestmove".
// The loop's thread is the search's main thread: while it thinks, the node clock calls
// the loop's input poller, which reads what the GUI has sent into the loop's own buffer
// and acts at once on "isready", "stop", "ponderhit" and "quit"; any other line waits
// for the think to end.
// Input is therefore read from the descriptor itself, never through stdio's buffer, which
// a poll of the descriptor could not see into.
#pragma once

#include <cstdio>

#include "shell/log.h"

constexpr int UCI_MAX_HASH_MB = 131072;  // the "Hash" option's maximum: 2^32 entries an array

struct UciSettings {
    const char* log_path    = nullptr;  // set: "Debug Log File" logs here instead (fuzzing)
    int         hash_mb     = 64;       // the table size start-up gave, shown as Hash's default
    int         max_hash_mb = UCI_MAX_HASH_MB;  // the largest "Hash" taken (fuzzing lowers it)
    int         max_depth   = 0;                // above 0: no think goes deeper (fuzzing)
    const char* start_note  = nullptr;          // told the GUI: what start-up could not do
    bool        have_book   = true;             // false: the GUI hears that the book is missing
};

// Ignores the interrupt signal, starts a new game with a cleared transposition table and
// answers the "uci" that chose the protocol; then runs until "quit" or the end of the
// input descriptor in (which also ends a think). Answers go to out. Nothing is logged
// until the GUI names a file with the option "Debug Log File".
void uci_loop(int in, std::FILE* out, const UciSettings& settings = {});
