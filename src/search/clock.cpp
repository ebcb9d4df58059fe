#include "search/clock.h"

#include <chrono>
#include <climits>

static std::int64_t nodes    = 0;
static int          start_ms = 0;
static int          stop_ms  = 0;
static bool         stopped  = false;

const std::int64_t& node_count   = nodes;
const int&          search_start = start_ms;
const int&          deadline     = stop_ms;
const bool&         stop_search  = stopped;

// Read at static initialisation, before main runs: "since start-up".
static const std::chrono::steady_clock::time_point process_start = std::chrono::steady_clock::now();

int clock_ms() {
    const auto elapsed = std::chrono::steady_clock::now() - process_start;
    const auto ms      = std::chrono::duration_cast<std::chrono::milliseconds>(elapsed).count();
    return ms < INT_MAX ? static_cast<int>(ms) : INT_MAX;
}

void reset_node_count() { nodes = 0; }

void start_clock(int budget_ms) {
    start_ms = clock_ms();
    set_deadline(budget_ms);
    stopped = false;
}

void set_deadline(int budget_ms) {
    // Budgets come from the GUI's clocks and may be as large as an int: add in 64 bits.
    const std::int64_t at = std::int64_t{start_ms} + budget_ms;
    stop_ms               = at > INT_MAX ? INT_MAX : at < INT_MIN ? INT_MIN : static_cast<int>(at);
}

void count_root_node() { ++nodes; }

void suspend_deadline() { stop_ms = INT_MAX; }

bool check_clock() {
    ++nodes;
    if ((nodes & 32767) == 0 && clock_ms() >= stop_ms) {
        stopped = true;
        return true;
    }
    return false;
}
