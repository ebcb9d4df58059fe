// Feeds arbitrary bytes to the UCI loop as the GUI's input, through a descriptor as in a
// real run, so that its own line buffer and the input it reads while thinking are under
// test with everything else: options, positions from FEN and moves, and the search with
// its limits, stop and ponderhit. Every think is capped at two iterations; an infinite
// search or a ponder ends when the input does. Tables are small, and so is the largest
// "Hash" the loop takes.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <sys/mman.h>
#include <unistd.h>

#include "feed_loop.h"
#include "shell/uci.h"

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv);
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    init_fuzz_tables();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static std::FILE* const sink = std::fopen("/dev/null", "w");
    const int               fd   = memfd_create("uci-input", 0);
    if (fd < 0)
        return 0;
    if (size == 0 || write(fd, data, size) == static_cast<ssize_t>(size)) {
        lseek(fd, 0, SEEK_SET);
        UciSettings settings;
        settings.log_path    = "/dev/null";
        settings.max_hash_mb = 8;
        settings.max_depth   = 2;
        uci_loop(fd, sink, settings);
    }
    close(fd);
    return 0;
}
