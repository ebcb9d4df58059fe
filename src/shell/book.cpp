// shell/book.cpp: the opening book file and the book probe.
#include "shell/book.h"

#include <climits>
#include <cstdlib>
#include <cstring>

#include "position/move.h"
#include "position/position.h"
#include "shell/move_text.h"

static std::FILE* book      = nullptr;
std::FILE* const& book_file = book;

// The stream's buffer is ours, so that reading the book never asks the heap for one.
static char stream_buffer[BUFSIZ];

bool open_book() {
    close_book();
    book = std::fopen(BOOK_FILE_NAME, "r");
    if (book != nullptr)
        std::setvbuf(book, stream_buffer, _IOFBF, sizeof stream_buffer);
    return book != nullptr;
}

void close_book() {
    if (book != nullptr)
        std::fclose(book);
    book = nullptr;
}

namespace {

// The book is read in pieces of at most 255 characters, each matched as a line of its own.
constexpr int BOOK_PIECE_CAPACITY = 256;
// Longer games never get a book move.
constexpr int BOOK_MAX_PLIES = 40;
// Every candidate is a legal move of one position, and no position has more than 218.
constexpr int BOOK_CANDIDATE_CAPACITY = 256;
// Each move of the game text takes at most six characters: four squares, a promotion
// letter and the blank.
static_assert(BOOK_MAX_PLIES * 6 < BOOK_PIECE_CAPACITY, "the game text fits one piece");

struct BookCandidate {
    Move move;
    int  count;  // book lines that play the move here
};

}  // namespace

Move book_probe() {
    const Position& pos = position();
    if (book == nullptr || pos.history_length > BOOK_MAX_PLIES)
        return NO_MOVE;

    // The game so far, each move followed by one blank: "e2e4 e7e5 ".
    char game[BOOK_PIECE_CAPACITY];
    int  game_length = 0;
    for (int i = 0; i < pos.history_length; ++i) {
        const MoveText text   = move_to_text(history_stack()[i].move);
        const int      length = static_cast<int>(std::strlen(text.text));
        std::memcpy(game + game_length, text.text, static_cast<std::size_t>(length));
        game_length += length;
        game[game_length++] = ' ';
    }
    game[game_length] = '\0';

    BookCandidate candidates[BOOK_CANDIDATE_CAPACITY];
    int           candidate_count = 0;
    int           total           = 0;
    char          piece[BOOK_PIECE_CAPACITY];
    std::rewind(book);
    // The count stops short of overflowing: a book of two billion lines is no book.
    while (total < INT_MAX && std::fgets(piece, sizeof piece, book) != nullptr) {
        // A piece shorter than the game text differs from it at its terminating zero.
        if (std::strncmp(piece, game, static_cast<std::size_t>(game_length)) != 0)
            continue;
        const Move m = text_to_move(piece + game_length);  // NO_MOVE: malformed or illegal
        if (m == NO_MOVE)
            continue;
        int i = 0;
        while (i < candidate_count && candidates[i].move != m)
            ++i;
        if (i == candidate_count) {
            if (candidate_count == BOOK_CANDIDATE_CAPACITY)
                continue;  // cannot happen with legal moves; never write past the table
            candidates[candidate_count++] = BookCandidate{m, 0};
        }
        ++candidates[i].count;
        ++total;
    }
    if (total == 0)
        return NO_MOVE;

    // Each candidate is chosen with probability count / total.
    int r = std::rand() % total;
    for (int i = 0; i < candidate_count; ++i) {
        r -= candidates[i].count;
        if (r < 0)
            return candidates[i].move;
    }
    return NO_MOVE;  // not reached: the counts add up to total
}
