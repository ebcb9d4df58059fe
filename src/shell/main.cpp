// velmora: the engine as the GUI runs it. Builds every table once, then waits for
// "xboard" or "uci" and hands the rest of the run to that protocol's loop. Always exits
// with 0. "velmora bench [DEPTH]" runs the bench instead, as testing frameworks expect.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <unistd.h>

#include "eval/material.h"
#include "eval/pawns.h"
#include "eval/psq.h"
#include "eval/table_size.h"
#include "position/attacks.h"
#include "search/bench.h"
#include "search/levels.h"
#include "search/tt.h"
#include "shell/book.h"
#include "shell/options.h"
#include "shell/uci.h"
#include "shell/xboard.h"

#ifdef __EMSCRIPTEN__
// The largest "Hash" in the browser: the WebAssembly build's memory ends at 2 GB.
constexpr int WEB_MAX_HASH_MB = 1024;
#endif

// "64 MB", or in kilobytes or bytes for what is not a whole number of megabytes.
static int print_size(char* text, std::size_t capacity, std::uint64_t bytes) {
    const unsigned long long b = bytes;
    if (b % (1u << 20) == 0)
        return std::snprintf(text, capacity, "%llu MB", b >> 20);
    if (b % (1u << 10) == 0)
        return std::snprintf(text, capacity, "%llu KB", b >> 10);
    return std::snprintf(text, capacity, "%llu bytes", b);
}

// The log line for tables the machine granted smaller than the options asked (capped at
// half the physical memory, or refused and halved); nullptr when every table is whole.
static const char* table_note(const TableSizes& sizes) {
    static char         note[256];
    const std::uint64_t asked[3] = {
        static_cast<std::uint64_t>(sizes.tt_entries) * 2 * sizeof(TTEntry),
        megabytes_to_bytes(static_cast<unsigned>(sizes.pawn_hash_mb)),
        megabytes_to_bytes(static_cast<unsigned>(sizes.material_hash_mb))};
    const std::uint64_t granted[3] = {tt_bytes(), pawn_hash_entries() * sizeof(PawnEntry),
                                      material_hash_entries() * sizeof(MaterialEntry)};
    const char* const   names[3]   = {"transposition table", "pawn hash", "material hash"};
    if (granted[0] >= asked[0] && granted[1] >= asked[1] && granted[2] >= asked[2])
        return nullptr;
    int length = std::snprintf(note, sizeof note, "tables granted:");
    for (int i = 0; i < 3; ++i) {
        length +=
            std::snprintf(note + length, sizeof note - length, "%s %s ", i ? "," : "", names[i]);
        length += print_size(note + length, sizeof note - length, granted[i]);
        if (granted[i] < asked[i]) {
            length += std::snprintf(note + length, sizeof note - length, " of ");
            length += print_size(note + length, sizeof note - length, asked[i]);
        }
    }
    return note;
}

enum StartWord {
    START_NONE,  // the input ended first
    START_XBOARD,
    START_UCI,
};

// Reads whitespace-separated words from in, flushing out after each, until "xboard" or
// "uci"; other words are ignored. What follows "xboard" on its line stays unread: it is
// the first line the command loop reads. Words are compared on their first 255
// characters; a longer word is neither.
static StartWord wait_for_start_word(std::FILE* in, std::FILE* out) {
    char word[256];
    for (;;) {
        int c = std::getc(in);
        while (c != EOF && (c == ' ' || (c >= '\t' && c <= '\r')))
            c = std::getc(in);
        if (c == EOF)
            return START_NONE;
        int length = 0;
        for (; c != EOF && c != ' ' && !(c >= '\t' && c <= '\r'); c = std::getc(in))
            if (length < static_cast<int>(sizeof word) - 1)
                word[length++] = static_cast<char>(c);
        std::fflush(out);
        if (length == 6 && std::memcmp(word, "xboard", 6) == 0) {
            if (c != EOF)
                std::ungetc(c, in);  // the rest of the line is the loop's
            return START_XBOARD;
        }
        if (length == 3 && std::memcmp(word, "uci", 3) == 0)
            return START_UCI;
    }
}

// "velmora bench [DEPTH]": the bench's signature and speed, as "N nodes" and "N nps".
static int run_engine_bench(int argc, char** argv) {
    int depth = DEFAULT_BENCH_DEPTH;
    if (argc > 2) {
        const char* text = argv[2];
        if (!read_int(text, depth) || *text != '\0' || depth < 1 || depth > 64) {
            std::fprintf(stderr, "usage: velmora bench [DEPTH]   (DEPTH 1 to 64)\n");
            return 2;
        }
    }
    init_line_tables();
    init_magics();  // needs the line tables
    init_piece_square();
    const BenchResult result = run_bench_positions(depth, stderr);
    const long long   nps    = result.ms > 0 ? result.nodes * 1000 / result.ms : 0;
    std::printf("%lld nodes\n%lld nps\n", static_cast<long long>(result.nodes), nps);
    return result.ok ? 0 : 2;
}

int main(int argc, char** argv) {
    if (argc >= 2 && std::strcmp(argv[1], "bench") == 0)
        return run_engine_bench(argc, argv);
    const EngineOptions options = scan_options(argc, argv);

    // Make, unmake and every reader of the position use these tables.
    init_line_tables();
    init_magics();  // needs the line tables
    init_piece_square();

    // Each table takes its size lowered to a power of two. Later only UCI's Hash option
    // reallocates the transposition table, and the thread pool gives each helper its own
    // pawn and material hash, while no search runs.
    const TableSizes sizes = table_sizes(options);
    allocate_tt(static_cast<std::uint64_t>(sizes.tt_entries), true);  // usable at once
    allocate_pawn_hash(static_cast<unsigned>(sizes.pawn_hash_mb));
    allocate_material_hash(static_cast<unsigned>(sizes.material_hash_mb));

    // The book probe and the level's choices are the only users of random numbers.
    std::srand(static_cast<unsigned>(std::time(nullptr)));
    seed_level_choices(static_cast<std::uint64_t>(std::time(nullptr)));
    const bool have_book = open_book();

    // Unbuffered, so that no byte after the start word waits in stdio's buffer: the UCI
    // loop reads the descriptor itself.
    std::setvbuf(stdin, nullptr, _IONBF, 0);
    // Before anything else an xboard GUI reads: a UCI GUI hears of it as an "info string".
    const StartWord start = wait_for_start_word(stdin, stdout);
    if (!have_book && start != START_UCI)
        std::printf("Opening book missing.\n");
    switch (start) {
        case START_XBOARD: {
            LoopSettings settings;
            settings.start_note = table_note(sizes);
            command_loop(stdin, stdout, settings);
            break;
        }
        case START_UCI: {
            UciSettings settings;
            settings.start_note = table_note(sizes);
            settings.hash_mb    = static_cast<int>(tt_bytes() >> 20);
            settings.have_book  = have_book;
#ifdef __EMSCRIPTEN__
            // In a browser: no file to keep a log in, and a table within the page's memory.
            settings.log_path    = nullptr;
            settings.max_hash_mb = WEB_MAX_HASH_MB;
#endif
            uci_loop(STDIN_FILENO, stdout, settings);
            break;
        }
        case START_NONE: break;
    }
    close_book();
    return 0;
}
