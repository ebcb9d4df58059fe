// shell/uci_output.h: the UCI loop's lines to the GUI. Owns the stream they go to, which
// the loop sets before its first line (standard output, or a test's pipe); every line is
// flushed as it ends, since the GUI waits for it.
#pragma once

#include <cstdio>

#include "search/think.h"
#include "shell/move_text.h"

extern std::FILE* const& uci_out;  // written by set_uci_output

void set_uci_output(std::FILE* out);

// One whole line: the text, its line end, flushed.
[[gnu::format(printf, 1, 2)]] void say(const char* format, ...);
// An "info string" line, which the log keeps too; longer texts are cut at 511 characters.
[[gnu::format(printf, 1, 2)]] void tell(const char* format, ...);

// UCI writes the promotion letter in lower case: e7e8q; with UCI_Chess960, castling as
// the king taking its own rook.
MoveText uci_move_text(Move m);
// One "info depth ..." line: the thinking printer the UCI loop installs.
void print_thinking(const ThinkingReport& report);
