// tools/eval.cpp: placeholder until the command is built.
#include <cstdio>

#include "commands.h"

int run_eval(int, char**) {
    std::fprintf(stderr, "velmora-tools: this command is not built yet\n");
    return 2;
}
