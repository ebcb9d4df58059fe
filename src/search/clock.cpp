#include "search/clock.h"

#include <chrono>
#include <climits>

#include "position/position.h"

constexpr std::int64_t NO_NODE_LIMIT = INT64_MAX;
// Nodes between two clock readings: about 0.3 ms at full speed on one core, and still
// about a millisecond on a core shared four ways, so the answer comes within a
// millisecond or so of the deadline. A reading is a vDSO call with no system call, a few
// tens of nanoseconds against the third of a millisecond that 1024 nodes take.
constexpr std::int64_t CLOCK_PERIOD = 1024;
// Milliseconds between two looks at the input: "stop" and "isready" wait at most this
// long plus one clock period. A look at an idle descriptor is one poll() system call.
constexpr int INPUT_POLL_MS = 2;

static std::int64_t nodes      = 0;
static std::int64_t next_check = CLOCK_PERIOD;  // the next count that leaves the fast path
static std::int64_t node_limit = NO_NODE_LIMIT;
static int          start_ms   = 0;
static int          budget_ms0 = 0;  // where budgets count from: start_ms, or a ponder hit
static int          stop_ms    = 0;
static int          next_poll  = 0;  // clock_ms() from which the next reading looks at input
static int          max_ply    = 0;
static bool         stopped    = false;
static bool         asked      = false;  // the GUI asked for a stop
static bool         held       = false;
static void (*input_poller)()  = nullptr;

const std::int64_t& node_count    = nodes;
const int&          search_start  = start_ms;
const int&          deadline      = stop_ms;
const bool&         stop_search   = stopped;
const int&          selective_ply = max_ply;

// Read at static initialisation, before main runs: "since start-up".
static const std::chrono::steady_clock::time_point process_start = std::chrono::steady_clock::now();

int clock_ms() {
    const auto elapsed = std::chrono::steady_clock::now() - process_start;
    const auto ms      = std::chrono::duration_cast<std::chrono::milliseconds>(elapsed).count();
    return ms < INT_MAX ? static_cast<int>(ms) : INT_MAX;
}

// The first count after nodes that needs a look: the next clock reading or the limit.
static std::int64_t following_check() {
    const std::int64_t reading = (nodes | (CLOCK_PERIOD - 1)) + 1;
    return node_limit > nodes && node_limit < reading ? node_limit : reading;
}

void reset_node_count() {
    nodes      = 0;
    max_ply    = 0;
    next_check = following_check();
}

void start_clock(int budget_ms) {
    start_ms   = clock_ms();
    budget_ms0 = start_ms;
    set_deadline(budget_ms);
    stopped    = false;
    asked      = false;
    held       = false;
    next_poll  = start_ms;
    node_limit = NO_NODE_LIMIT;
    next_check = following_check();
}

void set_deadline(int budget_ms) {
    // Budgets come from the GUI's clocks and may be as large as an int: add in 64 bits.
    const std::int64_t at = std::int64_t{budget_ms0} + budget_ms;
    stop_ms               = at > INT_MAX ? INT_MAX : at < INT_MIN ? INT_MIN : static_cast<int>(at);
}

void suspend_deadline() { stop_ms = INT_MAX; }

void restart_budget() { budget_ms0 = clock_ms(); }

void set_node_limit(std::int64_t limit) {
    node_limit = limit > 0 ? limit : NO_NODE_LIMIT;
    next_check = following_check();
}

void hold_stops(bool hold) { held = hold; }

void set_input_poller(void (*poller)()) { input_poller = poller; }

void request_stop() { asked = true; }

bool stop_requested() { return asked; }

bool limit_reached() { return asked || nodes >= node_limit; }

void count_root_node() { ++nodes; }

bool check_clock() {
    if (search_ply > max_ply)
        max_ply = search_ply;
    if (++nodes < next_check)
        return false;
    next_check = following_check();
    bool stop  = limit_reached();
    if ((nodes & (CLOCK_PERIOD - 1)) == 0) {
        const int now = clock_ms();
        if (input_poller && now >= next_poll) {
            next_poll = now + INPUT_POLL_MS;
            input_poller();
            stop = stop || asked;
        }
        // A ponder hit may have moved the deadline: it lies after now, so the stale
        // reading is still the right answer.
        stop = stop || now >= stop_ms;
    }
    if (!stop || held)
        return false;
    stopped = true;
    return true;
}
