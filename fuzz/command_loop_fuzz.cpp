// Feeds arbitrary bytes to the command loop as the GUI's input. The engine never thinks
// here: the loop's own parsing, the move text and make/unmake are under test. The log
// goes to /dev/null, so every entry is formatted and written as in a real run.
#include <cstddef>
#include <cstdint>
#include <cstdio>

#include "eval/psq.h"
#include "feed_loop.h"
#include "position/attacks.h"
#include "shell/xboard.h"

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv);
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    init_fuzz_tables();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    feed_loop(data, size, LoopSettings{"/dev/null", false});
    return 0;
}
