// tools/commands.h: one entry point per velmora-tools command, one file each.
// Each takes the arguments after the command word and returns the exit status:
// 0 success, 1 a failed check (a test-suite miss, a perft mismatch), 2 bad usage.
#pragma once

int run_show(int argc, char** argv);    // show.cpp
int run_perft(int argc, char** argv);   // perft.cpp
int run_divide(int argc, char** argv);  // perft.cpp
int run_eval(int argc, char** argv);    // eval.cpp
int run_bench(int argc, char** argv);   // bench.cpp
int run_go(int argc, char** argv);      // go.cpp
int run_epd(int argc, char** argv);     // epd.cpp
int run_book(int argc, char** argv);    // book.cpp

// Builds every table the engine builds at start-up (without the hash tables).
void init_tool_tables();
