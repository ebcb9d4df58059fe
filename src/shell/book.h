// shell/book.h: the opening book "VelmoraOB.book" in the working directory, a plain
// text file of game lines in coordinate notation. book.cpp owns book_file: opened for
// reading once at start-up, closed when the command loop has returned.
#pragma once

#include <cstdio>

constexpr const char* BOOK_FILE_NAME = "VelmoraOB.book";

// The open book, or nullptr when there is none.
extern std::FILE* const& book_file;

// Opens the book in the working directory; false when it cannot be opened.
bool open_book();
void close_book();

#include "position/types.h"

// A book move for the current game, chosen at random weighted by the number of book
// lines that play it; NO_MOVE when the book has none.
Move book_probe();
