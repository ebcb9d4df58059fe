// shell/words.h: the words of a protocol command line. A word is a run of characters
// without blanks; the blanks are those of "%s" (space, tab, line end, vertical tab, form
// feed, carriage return). Words point into the line they were read from: nothing is
// copied, and a word lives as long as its line.
#pragma once

#include <cstdint>

struct Word {
    const char* start;
    int         length;
};

bool is_blank(char c);

// The word at text, leading blanks skipped, and text moved past it; a word of length 0
// at the end of the line.
Word next_word(const char*& text);

// Exactly this word.
bool word_is(const Word& w, const char* name);
// The length characters at a spell name, A to Z taken as a to z.
bool equal_ignoring_case(const char* a, int length, const char* name);

// A whole word that is a decimal whole number in [low, high] (an optional sign, at most
// 18 digits, so that reading it cannot overflow) goes to value; false, and value
// unchanged, otherwise.
bool word_to_number(const Word& w, std::int64_t low, std::int64_t high, std::int64_t& value);
