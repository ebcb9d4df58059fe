// tools/epd.cpp: "epd", a test suite of EPD positions with "bm" (best move) or "am"
// (avoid move) operations in SAN. Each position gets a fresh engine (cleared tables)
// and one think; it is solved when the answer is one of the bm moves and none of the
// am moves.
//
//   epd FILE [--ms T | --depth D]     default: 1000 ms a position
//
// One line per position, then exactly one line "solved X/Y". Exit status 0 when every
// position was solved, 1 otherwise, 2 on bad usage. Lines that cannot be read (a bad
// position, a bm or am move that is not legal there) are reported and not counted.
#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "commands.h"
#include "position/position.h"
#include "san.h"
#include "search/think.h"
#include "search_setup.h"
#include "shell/xboard.h"

namespace {

struct EpdCase {
    std::string       fen;
    std::string       id;
    std::vector<Move> best;   // bm
    std::vector<Move> avoid;  // am
};

bool contains(const std::vector<Move>& moves, Move m) {
    for (const Move x : moves)
        if (x == m)
            return true;
    return false;
}

// Splits "bm Qg6 Rxb2; id \"WAC.001\";" into its operations; answers false with a
// reason when the position or a move cannot be read. Leaves the position set up.
bool read_epd_line(const std::string& line, EpdCase& epd, std::string& reason) {
    std::istringstream words(line);
    std::string        fields[4];
    for (std::string& field : fields)
        if (!(words >> field)) {
            reason = "fewer than four position fields";
            return false;
        }
    epd.fen = fields[0] + " " + fields[1] + " " + fields[2] + " " + fields[3] + " 0 1";
    if (!load_fen(epd.fen, &reason))
        return false;
    std::string rest;
    std::getline(words, rest);
    std::size_t start = 0;
    while (start < rest.size()) {
        std::size_t end = rest.find(';', start);
        if (end == std::string::npos)
            end = rest.size();
        std::istringstream op(rest.substr(start, end - start));
        start = end + 1;
        std::string code;
        if (!(op >> code))
            continue;
        if (code == "id") {
            std::getline(op >> std::ws, epd.id);
            if (epd.id.size() >= 2 && epd.id.front() == '"' && epd.id.back() == '"')
                epd.id = epd.id.substr(1, epd.id.size() - 2);
        } else if (code == "bm" || code == "am") {
            std::string san;
            while (op >> san) {
                const Move m = san_to_move(san);
                if (m == NO_MOVE) {
                    reason = code + " move " + san + " is not a legal move here";
                    return false;
                }
                (code == "bm" ? epd.best : epd.avoid).push_back(m);
            }
        }
    }
    if (epd.best.empty() && epd.avoid.empty()) {
        reason = "no bm or am operation";
        return false;
    }
    return true;
}

std::string san_list(const std::vector<Move>& moves) {
    std::string text;
    for (const Move m : moves) {
        if (!text.empty())
            text += ' ';
        text += move_to_san(m);
    }
    return text;
}

}  // namespace

int run_epd(int argc, char** argv) {
    if (argc < 1) {
        std::fprintf(stderr, "usage: velmora-tools epd FILE [--ms T | --depth D]\n");
        return 2;
    }
    int depth_limit = DEFAULT_DEPTH_LIMIT;
    int fixed_ms    = 1000;
    if (!parse_think_limits(argc, argv, 1, "epd", depth_limit, fixed_ms))
        return 2;
    std::ifstream file(argv[0]);
    if (!file) {
        std::fprintf(stderr, "velmora-tools epd: cannot read %s\n", argv[0]);
        return 2;
    }
    allocate_search_tables(64);
    set_thinking_output(nullptr);

    int         solved = 0, total = 0, line_number = 0;
    std::string line;
    while (std::getline(file, line)) {
        ++line_number;
        if (line.find_first_not_of(" \t\r") == std::string::npos || line[0] == '#')
            continue;
        EpdCase     epd;
        std::string reason;
        if (!read_epd_line(line, epd, reason)) {
            std::printf("line %d: skipped: %s\n", line_number, reason.c_str());
            continue;
        }
        clear_for_new_game();
        int        score  = 0;
        const Move answer = think(fixed_limits(depth_limit, fixed_ms), score);
        const bool ok =
            (epd.best.empty() || contains(epd.best, answer)) && !contains(epd.avoid, answer);
        std::string expected;
        if (!epd.best.empty())
            expected += "bm " + san_list(epd.best);
        if (!epd.avoid.empty())
            expected += (expected.empty() ? "am " : "; am ") + san_list(epd.avoid);
        const std::string played = answer == NO_MOVE ? "(none)" : move_to_san(answer);
        ++total;
        solved += ok ? 1 : 0;
        std::printf("%s %s: %s (%s) score %d\n", epd.id.empty() ? "-" : epd.id.c_str(),
                    ok ? "solved" : "not solved", played.c_str(), expected.c_str(), score);
        std::fflush(stdout);
    }
    std::printf("solved %d/%d\n", solved, total);
    return solved == total ? 0 : 1;
}
