// Feeds arbitrary bytes to the command loop, as command_loop_fuzz does, but here the
// engine thinks: "go", moves outside force mode, "hint", the claimed results, the book
// probe and the whole search are under test. Every think is capped at two iterations
// (LoopSettings::max_depth), so an input stays fast whatever "sd", "st" or "level" it
// sends. The tables are small, so clearing them on "new" costs little, and the book is a
// short one written at start-up: real opening lines, one that mates, and lines the probe
// must skip. The random numbers of the book probe restart for each input, so an input
// that fails once fails again.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <unistd.h>

#include "eval/material.h"
#include "eval/pawns.h"
#include "eval/psq.h"
#include "feed_loop.h"
#include "position/attacks.h"
#include "search/tt.h"
#include "shell/book.h"
#include "shell/xboard.h"

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv);
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace {

constexpr const char* FUZZ_BOOK =
    "e2e4 e7e5 g1f3 b8c6 f1b5 a7a6 b5a4 g8f6\n"
    "e2e4 e7e5 g1f3 d7d6 d2d4 c8g4 d4e5 g4f3 d1f3 d6e5 f1c4 g8f6\n"
    "e2e4 c7c5 g1f3 d7d6 d2d4 c5d4 f3d4 g8f6 b1c3 a7a6\n"
    "e2e4 d7d5 e4d5 d8d5 b1c3 d5a5\n"
    "d2d4 d7d5 c2c4 e7e6 b1c3 g8f6 c1g5 f8e7\n"
    "d2d4 g8f6 c2c4 e7e6 b1c3 f8b4 e2e3 e8g8\n"
    "f2f3 e7e5 g2g4 d8h4\n"                                 // the book move mates
    "a2a4 b7b5 a4b5 c7c6 b5c6 d7d6 c6c7 e8d7 c7b8Q d8b8\n"  // a promotion
    "g1f3 g8f6 f3g1 f6g8 g1f3 g8f6 f3g1 f6g8\n"             // repetitions
    "e2e4 e7e5 e1g1\n"                                      // illegal: skipped
    "e2e4 zz e7e5\n"                                        // malformed: skipped
    "e2e4  e7e5 g1f3\r\n"
    "\n"
    "e2e4 e7e5 g1f3 b8c6 f1c4 f8c5 c2c3 g8f6 d2d4 e5d4 c3d4 c5b4 b1c3 f6e4 e1g1 e4c3 b2c3 "
    "b4c3 d1b3 d7d5 c4d5 e8g8 d5f7 g8h8 b3c3 c8g4 f3g5 d8e7 c1a3 e7f6 a1e1 a8e8 e1e8 f8e8 "
    "f7e8 f6f2 g1h1 f2f1 h1h2 f1f4 h2g1 f4f1 g1h2 f1f4 h2g1 f4f1 g1h2 f1f4 h2g1 f4f1 g1h2 "
    "f1f4 h2g1 f4f1\n";  // 269 characters: two pieces

// Writes the book into a scratch directory, opens it from there and removes the file:
// the open stream keeps reading it.
void open_fuzz_book() {
    char        scratch[] = "/tmp/velmora-fuzz-XXXXXX";
    char        home[4096];
    const char* dir = mkdtemp(scratch);
    if (dir == nullptr || getcwd(home, sizeof home) == nullptr || chdir(dir) != 0)
        std::abort();
    std::FILE* book = std::fopen(BOOK_FILE_NAME, "w");
    if (book == nullptr || std::fputs(FUZZ_BOOK, book) < 0 || std::fclose(book) != 0
        || !open_book())
        std::abort();
    std::remove(BOOK_FILE_NAME);
    if (chdir(home) != 0 || rmdir(dir) != 0)
        std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    init_fuzz_tables();
    open_fuzz_book();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::srand(1);
    LoopSettings settings;
    settings.log_path  = "/dev/null";
    settings.max_depth = 2;
    feed_loop(data, size, settings);
    return 0;
}
