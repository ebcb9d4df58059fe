#include "search/clock.h"

#include <atomic>
#include <chrono>
#include <climits>

#include "position/position.h"
#include "search/threads.h"

constexpr std::int64_t NO_NODE_LIMIT = INT64_MAX;
// Nodes between two clock readings: about 0.3 ms at full speed on one core, and still
// about a millisecond on a core shared four ways, so the answer comes within a
// millisecond or so of the deadline. A reading is a vDSO call with no system call, a few
// tens of nanoseconds against the third of a millisecond that 1024 nodes take.
constexpr std::int64_t CLOCK_PERIOD = 1024;
// Milliseconds between two looks at the input: "stop" and "isready" wait at most this
// long plus one clock period. A look at an idle descriptor is one poll() system call.
constexpr int INPUT_POLL_MS = 2;

// Each search thread counts its own nodes; helpers publish theirs to the thread pool at
// every reading.
thread_local constinit std::int64_t        node_count    = 0;
thread_local constinit int                 selective_ply = 0;
static thread_local constinit std::int64_t next_check    = CLOCK_PERIOD;  // next slow-path count
// The stop, shared by all threads: only the main thread sets it (at a check of its own,
// or when its think is over); every node of every thread reads it.
static std::atomic<bool> stopped{false};
const std::atomic<bool>& stop_search = stopped;

// The main thread's clock; helpers never read it.
static std::int64_t node_limit = NO_NODE_LIMIT;
static int          start_ms   = 0;
static int          budget_ms0 = 0;  // where budgets count from: start_ms, or a ponder hit
static int          stop_ms    = 0;
static int          next_poll  = 0;      // clock_ms() from which the next reading looks at input
static bool         asked      = false;  // the GUI asked for a stop
static bool         held       = false;
static void (*input_poller)()  = nullptr;

const int& search_start = start_ms;
const int& deadline     = stop_ms;

// Read at static initialisation, before main runs: "since start-up".
static const std::chrono::steady_clock::time_point process_start = std::chrono::steady_clock::now();

int clock_ms() {
    const auto elapsed = std::chrono::steady_clock::now() - process_start;
    const auto ms      = std::chrono::duration_cast<std::chrono::milliseconds>(elapsed).count();
    return ms < INT_MAX ? static_cast<int>(ms) : INT_MAX;
}

// The first count after node_count that needs a look: the next clock reading or, on the
// main thread with no helpers, the node limit itself.
static std::int64_t following_check() {
    const std::int64_t reading = (node_count | (CLOCK_PERIOD - 1)) + 1;
    if (is_helper_thread() || helpers_searching())
        return reading;
    return node_limit > node_count && node_limit < reading ? node_limit : reading;
}

void reset_node_count() {
    node_count    = 0;
    selective_ply = 0;
    next_check    = following_check();
    if (is_helper_thread())
        publish_helper_nodes(0);
}

void stop_all_threads() { stopped.store(true, std::memory_order_relaxed); }

void start_clock(int budget_ms) {
    start_ms   = clock_ms();
    budget_ms0 = start_ms;
    set_deadline(budget_ms);
    stopped.store(false, std::memory_order_relaxed);
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

bool extend_node_limit(std::int64_t limit) {
    if (asked || clock_ms() >= stop_ms)
        return false;
    node_limit = limit > 0 ? limit : NO_NODE_LIMIT;
    next_check = following_check();
    stopped.store(false, std::memory_order_relaxed);
    return true;
}

void set_input_poller(void (*poller)()) { input_poller = poller; }

void request_stop() { asked = true; }

bool stop_requested() { return asked; }

bool limit_reached() {
    if (asked)
        return true;
    if (node_limit == NO_NODE_LIMIT)
        return false;
    return helpers_searching() ? nodes_all_threads() >= node_limit : node_count >= node_limit;
}

void count_root_node() { ++node_count; }

// A helper's reading: it publishes its count and follows the main thread's stop.
static bool helper_check() {
    next_check = following_check();
    publish_helper_nodes(node_count);
    return stopped.load(std::memory_order_relaxed);
}

bool check_clock() {
    if (search_ply() > selective_ply)
        selective_ply = search_ply();
    if (++node_count < next_check)
        return false;
    if (is_helper_thread())
        return helper_check();
    next_check = following_check();
    bool stop  = limit_reached();
    if ((node_count & (CLOCK_PERIOD - 1)) == 0) {
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
    stopped.store(true, std::memory_order_relaxed);
    return true;
}
