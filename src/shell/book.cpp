#include "shell/book.h"

static std::FILE* book      = nullptr;
std::FILE* const& book_file = book;

bool open_book() {
    close_book();
    book = std::fopen(BOOK_FILE_NAME, "r");
    return book != nullptr;
}

void close_book() {
    if (book != nullptr)
        std::fclose(book);
    book = nullptr;
}
