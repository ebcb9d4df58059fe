// Feeds arbitrary bytes to the command loop as the GUI's input. The engine never thinks
// here: the loop's own parsing, the move text and make/unmake are under test. The log
// goes to /dev/null, so every entry is formatted and written as in a real run.
#include <cstddef>
#include <cstdint>
#include <cstdio>

#include "eval/psq.h"
#include "position/attacks.h"
#include "shell/xboard.h"

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv);
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    init_line_tables();
    init_magics();
    init_piece_square();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static std::FILE* const sink = std::fopen("/dev/null", "w");
    if (size == 0)
        return 0;  // fmemopen refuses an empty buffer
    std::FILE* in = fmemopen(const_cast<std::uint8_t*>(data), size, "r");
    if (in == nullptr)
        return 0;
    command_loop(in, sink, LoopSettings{"/dev/null", false});
    std::fclose(in);
    return 0;
}
