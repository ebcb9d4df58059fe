// tools/perft.cpp: "perft" and "divide", the move generators' proof, over the counter of
// movegen/perft_counter.h (the one the UCI loop's "go perft" uses). Perft counts the legal
// positions at a depth with the moves of generate_captures then generate_quiets (not in
// check) or generate_evasions (in check), the last ply bulk-counted by a pin-and-check
// test. --make-all makes and filters every move down to the leaves instead, as a
// cross-check of that test. --pickers counts through next_move and
// next_evasion, making every move, with a hash move and killers drawn from the node's own
// moves so that their de-duplication is exercised; the counts must not change.
//
//   perft DEPTH [FEN] [--pickers | --make-all] [--960]
//   divide DEPTH [FEN] [--pickers | --make-all] [--960]
//                                        one "MOVE: COUNT" line per legal root move
//   perft --epd FILE [--max-depth D] [--pickers | --make-all]
//                                        every "Dn count" of a perft file up to depth D;
//                                        exit status 1 on any mismatch
// Each run ends with exactly one line "nodes N ms T nps R". Progress goes to stderr.
#include <chrono>
#include <cinttypes>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "commands.h"
#include "fen_setup.h"
#include "movegen/move_list.h"
#include "movegen/perft_counter.h"
#include "position/attacked.h"
#include "position/make_move.h"
#include "position/move.h"
#include "position/position.h"

namespace {

using Clock = std::chrono::steady_clock;

struct PerftOptions {
    int         depth = -1;
    std::string fen;
    std::string epd_file;
    int         max_depth = 99;
    bool        pickers   = false;
    bool        make_all  = false;
    bool        chess960  = false;
};

// A hash move and two killers taken from the node's own moves, chosen by the position
// key so that every kind turns up: no hash move, a capture, a quiet move, a hash move
// that is also a killer.
void choose_picker_inputs(MovePicker& picker) {
    MoveList list;
    generate_all(list);
    picker.hash_move = picker.killer1 = picker.killer2 = NO_MOVE;
    const Key key                                      = position().key;
    if (list.count > 0 && (key & 3) != 0)
        picker.hash_move = list.moves[(key >> 8) % static_cast<unsigned>(list.count)];
    int quiet = 0;
    for (int i = 0; i < list.count; ++i)
        if (!is_tactical(list.moves[i]))
            list.moves[quiet++] = list.moves[i];
    if (quiet > 0) {
        const int first  = static_cast<int>((key >> 24) % static_cast<unsigned>(quiet));
        picker.killer1   = (key & 0x30) == 0 && !is_tactical(picker.hash_move) && picker.hash_move
                               ? picker.hash_move
                               : list.moves[first];
        const int second = static_cast<int>((key >> 40) % static_cast<unsigned>(quiet));
        if (list.moves[second] != picker.killer1)
            picker.killer2 = list.moves[second];
    }
}

std::uint64_t perft_pickers(int depth) {
    MovePicker picker;
    picker.stage       = STAGE_HASH;
    picker.with_checks = false;
    choose_picker_inputs(picker);
    const bool    evading = in_check();
    std::uint64_t nodes   = 0;
    for (;;) {
        const Move m = evading ? next_evasion(picker) : next_move(picker);
        if (m == NO_MOVE)
            break;
        if (make_move(m))
            nodes += depth > 1 ? perft_pickers(depth - 1) : 1;
        unmake_move();
    }
    return nodes;
}

std::uint64_t perft(int depth, const PerftOptions& options) {
    if (depth <= 0)
        return 1;
    if (options.pickers)
        return perft_pickers(depth);
    return options.make_all ? perft_plain(depth) : perft_bulk(depth);
}

// Coordinate notation, promotion letter in lower case: e2e4, e7e8q, e1g1 (e1h1 in a
// position read as Chess960).
std::string move_name(Move m) {
    std::string text = tool_move_text(m).text;
    if (text.size() == 5)
        text[4] = "pnbrqk"[move_promotion(m)];
    return text;
}

std::int64_t elapsed_ms(Clock::time_point start) {
    return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
}

void print_summary(std::uint64_t nodes, Clock::time_point start) {
    const std::int64_t  ms  = elapsed_ms(start);
    const std::uint64_t nps = nodes * 1000 / static_cast<std::uint64_t>(ms > 0 ? ms : 1);
    std::printf("nodes %" PRIu64 " ms %" PRId64 " nps %" PRIu64 "\n", nodes, ms, nps);
}

// Progress on stderr once a run has taken more than two seconds.
void show_progress(Clock::time_point start, const char* what, int done, int total) {
    if (elapsed_ms(start) > 2000)
        std::fprintf(stderr, "\r%s %d/%d ", what, done, total);
}
void end_progress(Clock::time_point start) {
    if (elapsed_ms(start) > 2000)
        std::fprintf(stderr, "\n");
}

bool parse_int(const char* text, int low, int high, int& value) {
    char*      end    = nullptr;
    const long parsed = std::strtol(text, &end, 10);
    if (end == text || *end != '\0' || parsed < low || parsed > high)
        return false;
    value = static_cast<int>(parsed);
    return true;
}

// Returns 0 when the arguments make sense, else 2 after saying why.
int parse_options(int argc, char** argv, const char* command, PerftOptions& options) {
    for (int i = 0; i < argc; ++i) {
        const char* arg = argv[i];
        if (std::strcmp(arg, "--960") == 0) {
            options.chess960 = true;
        } else if (std::strcmp(arg, "--pickers") == 0) {
            options.pickers = true;
        } else if (std::strcmp(arg, "--make-all") == 0) {
            options.make_all = true;
        } else if (std::strcmp(arg, "--epd") == 0 && i + 1 < argc) {
            options.epd_file = argv[++i];
        } else if (std::strcmp(arg, "--max-depth") == 0 && i + 1 < argc) {
            if (!parse_int(argv[++i], 1, 20, options.max_depth)) {
                std::fprintf(stderr, "velmora-tools %s: bad depth '%s'\n", command, argv[i]);
                return 2;
            }
        } else if (options.depth < 0 && options.epd_file.empty()) {
            if (!parse_int(arg, 0, 20, options.depth)) {
                std::fprintf(stderr, "velmora-tools %s: bad depth '%s'\n", command, arg);
                return 2;
            }
        } else if (options.fen.empty() && options.epd_file.empty()) {
            options.fen = arg;
        } else {
            std::fprintf(stderr, "velmora-tools %s: unexpected argument '%s'\n", command, arg);
            return 2;
        }
    }
    if (options.depth < 0 && options.epd_file.empty()) {
        std::fprintf(stderr, "usage: velmora-tools %s DEPTH [FEN] [--pickers | --make-all]\n",
                     command);
        return 2;
    }
    if (options.pickers && options.make_all) {
        std::fprintf(stderr, "velmora-tools %s: --pickers already makes every move\n", command);
        return 2;
    }
    return 0;
}

bool set_up(const std::string& fen, bool chess960, const char* command) {
    if (fen.empty()) {
        new_game();
        return true;
    }
    std::string error;
    if (load_tool_fen(fen, chess960, &error))
        return true;
    std::fprintf(stderr, "velmora-tools %s: bad FEN: %s\n", command, error.c_str());
    return false;
}

std::string trim(const std::string& text) {
    const auto first = text.find_first_not_of(" \t\r\n");
    if (first == std::string::npos)
        return "";
    const auto last = text.find_last_not_of(" \t\r\n");
    return text.substr(first, last - first + 1);
}

// One line of a perft file: "FEN ;D1 20 ;D2 400" or "FEN; D1 20; D2 400".
struct PerftLine {
    std::string                                fen;
    std::vector<std::pair<int, std::uint64_t>> counts;  // (depth, leaves)
};

bool parse_perft_line(const std::string& line, PerftLine& parsed) {
    std::size_t start = 0, semicolon = line.find(';');
    parsed.fen = trim(line.substr(0, semicolon));
    parsed.counts.clear();
    while (semicolon != std::string::npos) {
        start                     = semicolon + 1;
        semicolon                 = line.find(';', start);
        const std::string  f      = trim(line.substr(start, semicolon - start));
        unsigned long long leaves = 0;
        int                depth  = 0;
        if (std::sscanf(f.c_str(), "D%d %llu", &depth, &leaves) != 2)
            return false;
        parsed.counts.emplace_back(depth, static_cast<std::uint64_t>(leaves));
    }
    return !parsed.fen.empty();
}

int run_perft_file(const PerftOptions& options) {
    std::ifstream in(options.epd_file);
    if (!in) {
        std::fprintf(stderr, "velmora-tools perft: cannot read %s\n", options.epd_file.c_str());
        return 2;
    }
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);)
        if (!trim(line).empty())
            lines.push_back(line);

    const auto    start      = Clock::now();
    std::uint64_t nodes      = 0;
    int           mismatches = 0;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        PerftLine parsed;
        if (!parse_perft_line(lines[i], parsed) || !set_up(parsed.fen, options.chess960, "perft")) {
            std::printf("unreadable line %zu: %s\n", i + 1, lines[i].c_str());
            ++mismatches;
            continue;
        }
        for (const auto& [depth, expected] : parsed.counts) {
            if (depth > options.max_depth)
                continue;
            const std::uint64_t got = perft(depth, options);
            nodes += got;
            if (got != expected) {
                std::printf("mismatch line %zu depth %d expected %" PRIu64 " got %" PRIu64 ": %s\n",
                            i + 1, depth, expected, got, parsed.fen.c_str());
                ++mismatches;
            }
        }
        show_progress(start, "positions", static_cast<int>(i + 1), static_cast<int>(lines.size()));
    }
    end_progress(start);
    print_summary(nodes, start);
    return mismatches == 0 ? 0 : 1;
}

}  // namespace

int run_perft(int argc, char** argv) {
    PerftOptions options;
    if (const int status = parse_options(argc, argv, "perft", options))
        return status;
    if (!options.epd_file.empty())
        return run_perft_file(options);
    if (!set_up(options.fen, options.chess960, "perft"))
        return 2;

    const auto start = Clock::now();
    if (options.depth == 0 || options.pickers) {
        print_summary(perft(options.depth, options), start);
        return 0;
    }
    // Walk the root here so that long runs can report progress.
    MoveList list;
    generate_all(list);
    std::uint64_t nodes = 0;
    for (int i = 0; i < list.count; ++i) {
        if (make_move(list.moves[i]))
            nodes += perft(options.depth - 1, options);
        unmake_move();
        show_progress(start, "root moves", i + 1, list.count);
    }
    end_progress(start);
    print_summary(nodes, start);
    return 0;
}

int run_divide(int argc, char** argv) {
    PerftOptions options;
    if (const int status = parse_options(argc, argv, "divide", options))
        return status;
    if (!options.epd_file.empty() || options.depth < 1) {
        std::fprintf(stderr, "usage: velmora-tools divide DEPTH [FEN] [--pickers | --make-all]\n");
        return 2;
    }
    if (!set_up(options.fen, options.chess960, "divide"))
        return 2;

    const auto start = Clock::now();
    MoveList   list;
    generate_all(list);
    std::uint64_t nodes = 0;
    for (int i = 0; i < list.count; ++i) {
        const Move m = list.moves[i];
        if (make_move(m)) {
            const std::uint64_t count = perft(options.depth - 1, options);
            nodes += count;
            std::printf("%s: %" PRIu64 "\n", move_name(m).c_str(), count);
            std::fflush(stdout);
        }
        unmake_move();
    }
    print_summary(nodes, start);
    return 0;
}
