// velmora-tools book OUT FILE... [--max-plies N] [--first SAN,SAN,...]
// Builds an opening book in the engine's format (one game a line, coordinate moves
// separated by one blank) from opening lines in standard algebraic notation: plain lines
// ("1. e4 e5 2. Nf3" or "e4 e5 Nf3", one a line), PGN files (tags, movetext over several
// lines, comments, variations and results), or the pgn column of a tab-separated file
// with a header line. Every move is replayed on the board; a line with an illegal or
// unreadable move is reported with its file and line number and skipped.
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "commands.h"
#include "position/make_move.h"
#include "position/move.h"
#include "position/position.h"
#include "san.h"
#include "shell/move_text.h"

namespace {

// The engine asks its book up to the 41st ply of a game, and reads book lines in pieces
// of 255 characters; 41 moves of at most six characters fit one piece.
constexpr int BOOK_USABLE_PLIES = 41;

struct OpeningLine {
    std::string file;
    int         line_number;  // where the line (its movetext) starts
    std::string movetext;
};

struct BookOptions {
    int               max_plies = BOOK_USABLE_PLIES;
    std::vector<Move> first_moves;  // empty: keep every first move
};

bool ends_with(const std::string& text, const std::string& suffix) {
    return text.size() >= suffix.size()
           && text.compare(text.size() - suffix.size(), suffix.size(), suffix) == 0;
}

std::vector<std::string> split(const std::string& text, char separator) {
    std::vector<std::string> parts;
    std::string              part;
    std::istringstream       stream(text);
    while (std::getline(stream, part, separator))
        parts.push_back(part);
    return parts;
}

void strip_line_end(std::string& line) {
    while (!line.empty() && (line.back() == '\r' || line.back() == '\n'))
        line.pop_back();
}

bool is_blank_line(const std::string& line) {
    for (const char c : line)
        if (!std::isspace(static_cast<unsigned char>(c)))
            return false;
    return true;
}

// A tab-separated file whose header names a "pgn" column.
bool read_tsv(const std::string& path, std::ifstream& in, std::vector<OpeningLine>& lines) {
    std::string header;
    if (!std::getline(in, header))
        return true;
    strip_line_end(header);
    const std::vector<std::string> columns = split(header, '\t');
    int                            column  = -1;
    for (std::size_t i = 0; i < columns.size(); ++i)
        if (columns[i] == "pgn")
            column = static_cast<int>(i);
    if (column < 0) {
        std::fprintf(stderr, "%s:1: no pgn column in the header\n", path.c_str());
        return false;
    }
    std::string row;
    for (int number = 2; std::getline(in, row); ++number) {
        strip_line_end(row);
        if (is_blank_line(row))
            continue;
        const std::vector<std::string> fields = split(row, '\t');
        if (static_cast<int>(fields.size()) <= column) {
            std::fprintf(stderr, "%s:%d: no pgn field; line skipped\n", path.c_str(), number);
            continue;
        }
        lines.push_back({path, number, fields[static_cast<std::size_t>(column)]});
    }
    return true;
}

// PGN when any line is a tag: games run from their first movetext line to the next tag
// or blank line. Otherwise each non-blank line is one opening.
void read_text(const std::string& path, std::ifstream& in, std::vector<OpeningLine>& lines) {
    std::vector<std::string> text;
    bool                     pgn = false;
    for (std::string line; std::getline(in, line);) {
        strip_line_end(line);
        pgn = pgn || (!line.empty() && line[0] == '[');
        text.push_back(line);
    }
    OpeningLine current{path, 0, ""};
    for (std::size_t i = 0; i < text.size(); ++i) {
        const std::string& line   = text[i];
        const bool         breaks = is_blank_line(line) || line[0] == '[';
        if (breaks || !pgn) {
            if (!current.movetext.empty())
                lines.push_back(current);
            current = OpeningLine{path, 0, ""};
            if (breaks)
                continue;
        }
        if (current.movetext.empty())
            current.line_number = static_cast<int>(i) + 1;
        // A semicolon comments out the rest of its line.
        current.movetext += line.substr(0, line.find(';')) + " ";
    }
    if (!current.movetext.empty())
        lines.push_back(current);
}

// The move tokens of a movetext: comments, variations, move numbers, annotations and
// results dropped. False when braces or parentheses do not close.
bool san_tokens(const std::string& movetext, std::vector<std::string>& tokens) {
    std::string cleaned;
    int         depth = 0;
    for (std::size_t i = 0; i < movetext.size(); ++i) {
        const char c = movetext[i];
        if (c == '{') {
            const std::size_t end = movetext.find('}', i);
            if (end == std::string::npos)
                return false;
            i = end;
            cleaned += ' ';
        } else if (c == '(') {
            ++depth;
        } else if (c == ')') {
            if (--depth < 0)
                return false;
        } else if (depth == 0) {
            cleaned += c;
        }
    }
    if (depth != 0)
        return false;
    std::istringstream words(cleaned);
    for (std::string word; words >> word;) {
        // "12." "12..." "1.e4": the number goes, the move stays.
        std::size_t start = 0;
        while (start < word.size() && std::isdigit(static_cast<unsigned char>(word[start])))
            ++start;
        if (start > 0 && start < word.size() && word[start] == '.') {
            while (start < word.size() && word[start] == '.')
                ++start;
            word = word.substr(start);
        }
        if (word.empty() || word[0] == '$' || word == "*" || word == "1-0" || word == "0-1"
            || word == "1/2-1/2")
            continue;
        tokens.push_back(word);
    }
    return true;
}

// Replays the line from the initial position and writes its coordinate moves into text.
// Reports and answers false for an unreadable or illegal move.
bool replay(const OpeningLine& line, const BookOptions& options, std::string& text) {
    std::vector<std::string> tokens;
    if (!san_tokens(line.movetext, tokens)) {
        std::fprintf(stderr, "%s:%d: unbalanced comment or variation; line skipped\n",
                     line.file.c_str(), line.line_number);
        return false;
    }
    new_game();
    text.clear();
    for (std::size_t ply = 0; ply < tokens.size(); ++ply) {
        const Move m = san_to_move(tokens[ply]);
        if (m == NO_MOVE) {
            std::fprintf(stderr,
                         "%s:%d: illegal or unreadable move '%s' at ply %zu; line skipped\n",
                         line.file.c_str(), line.line_number, tokens[ply].c_str(), ply + 1);
            return false;
        }
        if (static_cast<int>(ply) < options.max_plies) {
            if (!text.empty())
                text += ' ';
            text += move_to_text(m).text;
        }
        make_move(m);
    }
    return true;
}

bool keeps_first_move(const BookOptions& options, const std::string& text) {
    if (options.first_moves.empty())
        return true;
    for (const Move m : options.first_moves)
        if (text.compare(0, 5, std::string(move_to_text(m).text) + " ") == 0
            || text == move_to_text(m).text)
            return true;
    return false;
}

int usage() {
    std::fprintf(stderr,
                 "usage: velmora-tools book OUT FILE... [--max-plies N] "
                 "[--first SAN,SAN,...]\n"
                 "  --max-plies N  keep at most N plies of each line (1 to %d, default %d)\n"
                 "  --first LIST   keep only lines that start with one of these moves,\n"
                 "                 for example e4,d4,c4,Nf3\n",
                 BOOK_USABLE_PLIES, BOOK_USABLE_PLIES);
    return 2;
}

}  // namespace

int run_book(int argc, char** argv) {
    BookOptions              options;
    std::string              out_path;
    std::vector<std::string> inputs;
    for (int i = 0; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--max-plies" && i + 1 < argc) {
            char*      end   = nullptr;
            const long value = std::strtol(argv[++i], &end, 10);
            if (*end != '\0' || value < 1 || value > BOOK_USABLE_PLIES)
                return usage();
            options.max_plies = static_cast<int>(value);
        } else if (arg == "--first" && i + 1 < argc) {
            new_game();
            for (const std::string& san : split(argv[++i], ',')) {
                const Move m = san_to_move(san);
                if (m == NO_MOVE) {
                    std::fprintf(stderr, "velmora-tools book: '%s' is no first move\n",
                                 san.c_str());
                    return 2;
                }
                options.first_moves.push_back(m);
            }
        } else if (arg.size() > 1 && arg[0] == '-') {
            return usage();
        } else if (out_path.empty()) {
            out_path = arg;
        } else {
            inputs.push_back(arg);
        }
    }
    if (out_path.empty() || inputs.empty())
        return usage();

    std::vector<OpeningLine> lines;
    for (const std::string& path : inputs) {
        std::ifstream in(path);
        if (!in) {
            std::fprintf(stderr, "velmora-tools book: cannot read %s\n", path.c_str());
            return 2;
        }
        if (ends_with(path, ".tsv")) {
            if (!read_tsv(path, in, lines))
                return 2;
        } else {
            read_text(path, in, lines);
        }
    }

    std::vector<std::string> book;
    int                      skipped = 0, filtered = 0;
    for (const OpeningLine& line : lines) {
        std::string text;
        if (!replay(line, options, text)) {
            ++skipped;
            continue;
        }
        if (text.empty())
            continue;
        if (!keeps_first_move(options, text)) {
            ++filtered;
            continue;
        }
        book.push_back(text);
    }
    new_game();

    std::FILE* out = std::fopen(out_path.c_str(), "w");
    if (out == nullptr) {
        std::fprintf(stderr, "velmora-tools book: cannot write %s\n", out_path.c_str());
        return 2;
    }
    for (const std::string& text : book)
        std::fprintf(out, "%s\n", text.c_str());
    const bool written = std::fclose(out) == 0;
    std::printf("%zu lines written to %s (%d skipped, %d with other first moves)\n", book.size(),
                out_path.c_str(), skipped, filtered);
    return written ? 0 : 2;
}
