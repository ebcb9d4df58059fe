#include "shell/words.h"

#include <cstring>

bool is_blank(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

Word next_word(const char*& text) {
    while (is_blank(*text))
        ++text;
    const char* start = text;
    while (*text != '\0' && !is_blank(*text))
        ++text;
    return Word{start, static_cast<int>(text - start)};
}

bool word_is(const Word& w, const char* name) {
    return w.length == static_cast<int>(std::strlen(name))
           && std::memcmp(w.start, name, static_cast<std::size_t>(w.length)) == 0;
}

static char lower_case(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool equal_ignoring_case(const char* a, int length, const char* name) {
    if (length != static_cast<int>(std::strlen(name)))
        return false;
    for (int i = 0; i < length; ++i)
        if (lower_case(a[i]) != lower_case(name[i]))
            return false;
    return true;
}

bool word_to_number(const Word& w, std::int64_t low, std::int64_t high, std::int64_t& value) {
    if (w.length == 0 || w.length > 19
        || (w.length == 19 && w.start[0] != '-' && w.start[0] != '+'))
        return false;
    int        i        = 0;
    const bool negative = w.start[0] == '-';
    if (negative || w.start[0] == '+')
        ++i;
    if (i == w.length)
        return false;
    std::int64_t v = 0;
    for (; i < w.length; ++i) {
        if (w.start[i] < '0' || w.start[i] > '9')
            return false;
        v = v * 10 + (w.start[i] - '0');
    }
    v = negative ? -v : v;
    if (v < low || v > high)
        return false;
    value = v;
    return true;
}
