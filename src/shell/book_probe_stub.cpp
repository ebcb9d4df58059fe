// shell/book_probe_stub.cpp: stands in for the book probe until the opening book lands;
// delete it then. No book: every think searches.
#include "position/move.h"
#include "shell/book.h"

Move book_probe() { return NO_MOVE; }
