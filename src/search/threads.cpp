#include "search/threads.h"

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <system_error>
#include <thread>

#include "eval/material.h"
#include "eval/pawns.h"
#include "movegen/ordering.h"
#include "position/position.h"
#include "search/clock.h"
#include "search/tt.h"

namespace {

enum Job {
    JOB_NONE,
    JOB_SEARCH,  // search the game below with the limits below
    JOB_CLEAR,   // empty the pawn and material hashes
    JOB_EXIT,    // helpers from slot exit_from on leave
};

// The pool's state is guarded by mutex. A job is posted by bumping generation; every
// helper then takes it, and busy counts those that have not finished it yet.
struct Pool {
    std::mutex              mutex;
    std::condition_variable wake;  // helpers wait here for a job
    std::condition_variable done;  // the main thread waits here for busy to reach 0
    std::thread             threads[MAX_SEARCH_THREADS - 1];
    int                     helpers        = 0;
    unsigned                generation     = 0;
    Job                     job            = JOB_NONE;
    int                     busy           = 0;
    int                     exit_from      = MAX_SEARCH_THREADS;
    std::uint64_t           pawn_bytes     = 0;  // each helper's tables, as the main thread's
    std::uint64_t           material_bytes = 0;
};

Pool pool;

// Each helper publishes its count at every clock reading, so that the main thread can add
// them up; helper_slot is -1 on every thread but a helper's.
std::atomic<std::int64_t>  helper_nodes[MAX_SEARCH_THREADS - 1];
std::atomic<int>           helper_count{0};
thread_local constinit int helper_slot = -1;

// Every helper's count starts from 0, and the node limit adds them up while any runs.
void set_helper_count(int helpers) {
    helper_count.store(helpers, std::memory_order_relaxed);
    for (auto& nodes : helper_nodes)
        nodes.store(0, std::memory_order_relaxed);
}

// What a search job copies: written by the main thread before it posts the job, read by
// the helpers only while the job runs.
Position     game_record;
HistoryEntry game_history[HISTORY_CAPACITY];
SearchLimits game_limits;

void finish_job() {
    std::lock_guard<std::mutex> lock(pool.mutex);
    if (--pool.busy == 0)
        pool.done.notify_all();
}

void helper_main(int slot) {
    helper_slot = slot;
    allocate_pawn_hash_bytes(pool.pawn_bytes);
    allocate_material_hash_bytes(pool.material_bytes);
    unsigned seen = 0;
    {
        std::lock_guard<std::mutex> lock(pool.mutex);
        seen = pool.generation;
    }
    finish_job();  // started and ready
    for (;;) {
        Job  job   = JOB_NONE;
        bool leave = false;
        {
            std::unique_lock<std::mutex> lock(pool.mutex);
            pool.wake.wait(lock, [&] { return pool.generation != seen; });
            seen  = pool.generation;
            job   = pool.job;
            leave = job == JOB_EXIT && slot >= pool.exit_from;
        }
        if (job == JOB_SEARCH) {
            copy_game(game_record, game_history);
            helper_think(game_limits, slot);
        } else if (job == JOB_CLEAR) {
            clear_pawn_hash();
            clear_material_hash();
        }
        if (leave) {
            allocate_pawn_hash_bytes(0);  // gives the tables back
            allocate_material_hash_bytes(0);
        }
        finish_job();
        if (leave)
            return;
    }
}

// Posts a job to every helper, once all are idle, and unless it is a search waits until
// all have done it.
void post(Job job) {
    std::unique_lock<std::mutex> lock(pool.mutex);
    pool.done.wait(lock, [] { return pool.busy == 0; });
    pool.job  = job;
    pool.busy = pool.helpers;
    ++pool.generation;
    pool.wake.notify_all();
    if (job != JOB_SEARCH)
        pool.done.wait(lock, [] { return pool.busy == 0; });
}

}  // namespace

void wait_for_helpers() {
    if (pool.helpers == 0)
        return;
    std::unique_lock<std::mutex> lock(pool.mutex);
    pool.done.wait(lock, [] { return pool.busy == 0; });
}

int set_search_threads(int threads) {
    wait_for_helpers();
#if defined(__EMSCRIPTEN__) && !defined(__EMSCRIPTEN_PTHREADS__)
    threads = 1;  // a WebAssembly build without threads has no one to start
#endif
    const int wanted = threads < 1                    ? 0
                       : threads > MAX_SEARCH_THREADS ? MAX_SEARCH_THREADS - 1
                                                      : threads - 1;
    if (wanted < pool.helpers) {
        pool.exit_from = wanted;
        post(JOB_EXIT);
        for (int slot = wanted; slot < pool.helpers; ++slot)
            pool.threads[slot].join();
        pool.exit_from = MAX_SEARCH_THREADS;
        pool.helpers   = wanted;
    } else if (wanted > pool.helpers) {
        pool.pawn_bytes     = pawn_hash_entries() * sizeof(PawnEntry);
        pool.material_bytes = material_hash_entries() * sizeof(MaterialEntry);
        int started         = pool.helpers;
        {
            std::lock_guard<std::mutex> lock(pool.mutex);
            pool.busy = wanted - pool.helpers;
        }
        for (; started < wanted; ++started) {
            try {
                pool.threads[started] = std::thread(helper_main, started);
            } catch (const std::system_error&) {
                break;  // the system grants no more threads
            }
        }
        {
            std::unique_lock<std::mutex> lock(pool.mutex);
            pool.busy -= wanted - started;
            pool.done.wait(lock, [] { return pool.busy == 0; });
        }
        pool.helpers = started;
    }
    set_helper_count(pool.helpers);
    return pool.helpers + 1;
}

int search_threads() { return pool.helpers + 1; }

void start_helpers(const SearchLimits& limits) {
    if (pool.helpers == 0)
        return;
    wait_for_helpers();  // nobody still reads the last search's game
    game_record = position();
    for (int i = 0; i < position().history_length; ++i)
        game_history[i] = history_stack()[i];
    game_limits = limits;
    set_helper_count(pool.helpers);  // every helper's count starts from 0
    post(JOB_SEARCH);
}

void stop_helpers() {
    if (pool.helpers > 0)
        stop_all_threads();
}

std::int64_t nodes_all_threads() {
    std::int64_t sum     = node_count;
    const int    helpers = helper_count.load(std::memory_order_relaxed);
    for (int i = 0; i < helpers; ++i)
        sum += helper_nodes[i].load(std::memory_order_relaxed);
    return sum;
}

void search_without_helpers() { set_helper_count(0); }

bool helpers_searching() { return helper_count.load(std::memory_order_relaxed) > 0; }

bool is_helper_thread() { return helper_slot >= 0; }

void publish_helper_nodes(std::int64_t nodes) {
    helper_nodes[helper_slot].store(nodes, std::memory_order_relaxed);
}

void clear_for_new_game() {
    tt_clear();  // waits for the helpers
    clear_pawn_hash();
    clear_material_hash();
    clear_ordering_tables();
    if (pool.helpers > 0)
        post(JOB_CLEAR);
}
