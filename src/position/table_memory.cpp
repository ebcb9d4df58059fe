#include "position/table_memory.h"

#include <atomic>
#include <cerrno>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <mutex>
#include <sys/mman.h>
#include <system_error>
#include <thread>
#include <unistd.h>

constexpr std::uint64_t HUGE_PAGE_BYTES = std::uint64_t{2} << 20;

std::uint64_t table_memory_limit() {
    const long pages     = sysconf(_SC_PHYS_PAGES);
    const long page_size = sysconf(_SC_PAGESIZE);
    if (pages <= 0 || page_size <= 0)
        return UINT64_MAX;  // the system does not say: only its refusals limit us
    return static_cast<std::uint64_t>(pages) * static_cast<std::uint64_t>(page_size) / 2;
}

static void* map_anonymous(std::uint64_t bytes) {
    if (bytes > SIZE_MAX)
        return nullptr;
    void* p = mmap(nullptr, static_cast<std::size_t>(bytes), PROT_READ | PROT_WRITE,
                   MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    return p == MAP_FAILED ? nullptr : p;
}

// Large blocks are whole huge pages, so that both ends of the block fall on a boundary.
static std::uint64_t rounded_size(std::uint64_t bytes) {
    if (bytes < HUGE_PAGE_BYTES || bytes > UINT64_MAX - 2 * HUGE_PAGE_BYTES)
        return bytes;
    return (bytes + HUGE_PAGE_BYTES - 1) / HUGE_PAGE_BYTES * HUGE_PAGE_BYTES;
}

// The pages of a fresh block are backed in the background, by one thread that asks the
// system to fill their page tables (MADV_POPULATE_WRITE) a step at a time. The system then
// zeroes each page as a first write would, without writing the table's words, so this
// races with no reader or writer of the table: a search that starts early finds the pages
// that are ready backed already and faults in the others itself. Done here, off the main
// thread, the zeroing costs the GUI no wait at start-up or after a resize, and costs the
// first search only what it meets before the step reaches it. A system that refuses the
// request (older kernels) leaves every page to its first write, as any fresh mapping.
namespace {

// The most one request fills: an unmap waits for the request in progress on its block.
constexpr std::uint64_t POPULATE_STEP_BYTES = std::uint64_t{32} << 20;
// Blocks waiting: the main thread's three tables and two for each helper thread. A block
// beyond them is left to its first writes.
constexpr int MAX_WAITING_BLOCKS = 1024;

struct WaitingBlock {
    char*                       start;
    std::uint64_t               bytes;
    std::uint64_t               done;    // bytes backed so far, from start
    std::atomic<std::uint64_t>* backed;  // the owner's copy of done, or nullptr
};

// Tells the owner how far its block is backed; all of it when the thread gives up on the
// block, whose pages then wait for their first writes.
void report_backed(const WaitingBlock& block, bool given_up) {
    if (block.backed)
        block.backed->store(given_up ? block.bytes : block.done, std::memory_order_release);
}

// Guarded by mutex, except the thread object, which only start_populator and the
// destructor touch (under mutex as well).
struct Populator {
    std::mutex              mutex;
    std::condition_variable work;  // the thread waits here for a block
    std::condition_variable step;  // an unmap waits here for the request in progress
    std::thread             thread;
    WaitingBlock            waiting[MAX_WAITING_BLOCKS];
    int                     count   = 0;
    const char*             busy    = nullptr;  // the block of the request in progress
    bool                    refused = false;    // the system does not know the request
    bool                    exiting = false;

    ~Populator() {
        {
            std::lock_guard<std::mutex> lock(mutex);
            exiting = true;
        }
        work.notify_all();
        if (thread.joinable())
            thread.join();
    }
};

Populator populator;

// Backs bytes at start (a whole number of pages from a page boundary, or a block's end).
// False when the system will not, for this block or, when refused is set, for any.
bool populate(char* start, std::uint64_t bytes, bool& refused) {
#ifdef MADV_POPULATE_WRITE
    for (;;) {
        if (madvise(start, static_cast<std::size_t>(bytes), MADV_POPULATE_WRITE) == 0)
            return true;
        if (errno != EINTR) {
            refused = errno == EINVAL;
            return false;
        }
    }
#else
    (void)start;
    (void)bytes;
    refused = true;
    return false;
#endif
}

int waiting_index(const char* block) {
    for (int i = 0; i < populator.count; ++i)
        if (populator.waiting[i].start == block)
            return i;
    return -1;
}

void remove_waiting(int i) {
    for (; i + 1 < populator.count; ++i)
        populator.waiting[i] = populator.waiting[i + 1];
    --populator.count;
}

// Small blocks first: they are done at once, and the first search uses them all.
int next_waiting() {
    int best = 0;
    for (int i = 1; i < populator.count; ++i)
        if (populator.waiting[i].bytes - populator.waiting[i].done
            < populator.waiting[best].bytes - populator.waiting[best].done)
            best = i;
    return best;
}

void run_populator() {
    std::unique_lock<std::mutex> lock(populator.mutex);
    for (;;) {
        populator.work.wait(lock, [] { return populator.exiting || populator.count > 0; });
        if (populator.exiting)
            return;
        WaitingBlock&       next  = populator.waiting[next_waiting()];
        char* const         block = next.start;
        char* const         from  = block + next.done;
        const std::uint64_t left  = next.bytes - next.done;
        const std::uint64_t bytes = left < POPULATE_STEP_BYTES ? left : POPULATE_STEP_BYTES;
        populator.busy            = block;
        bool refused              = false;
        lock.unlock();
        const bool backed = populate(from, bytes, refused);
        lock.lock();
        populator.busy = nullptr;
        // An unmap of this block waited for the request, so the block is still waiting.
        const int i = waiting_index(block);
        populator.waiting[i].done += bytes;
        if (refused) {
            populator.refused = true;
            for (int j = 0; j < populator.count; ++j)
                report_backed(populator.waiting[j], true);
            populator.count = 0;
        } else if (!backed || populator.waiting[i].done == populator.waiting[i].bytes) {
            report_backed(populator.waiting[i], !backed);
            remove_waiting(i);
        } else {
            report_backed(populator.waiting[i], false);
        }
        populator.step.notify_all();
    }
}

// Hands a fresh block to the populating thread, started at the first block.
void populate_in_background(void* block, std::uint64_t bytes, std::atomic<std::uint64_t>* backed) {
    const WaitingBlock waiting{static_cast<char*>(block), bytes, 0, backed};
    {
        std::lock_guard<std::mutex> lock(populator.mutex);
        if (populator.refused || populator.count == MAX_WAITING_BLOCKS) {
            report_backed(waiting, true);
            return;
        }
#if defined(__EMSCRIPTEN__) && !defined(__EMSCRIPTEN_PTHREADS__)
        // A build without threads cannot start one (and cannot catch the failure): every
        // page waits for its first write.
        populator.refused = true;
        report_backed(waiting, true);
        return;
#endif
        if (!populator.thread.joinable()) {
            try {
                populator.thread = std::thread(run_populator);
            } catch (const std::system_error&) {
                populator.refused = true;  // no thread: every page waits for its first write
                report_backed(waiting, true);
                return;
            }
        }
        report_backed(waiting, false);
        populator.waiting[populator.count++] = waiting;
    }
    populator.work.notify_one();
}

// Takes a block back from the populating thread before it is unmapped.
void stop_populating(void* block) {
    std::unique_lock<std::mutex> lock(populator.mutex);
    populator.step.wait(lock, [block] { return populator.busy != block; });
    if (const int i = waiting_index(static_cast<char*>(block)); i >= 0)
        remove_waiting(i);
}

}  // namespace

void* map_table_memory(std::uint64_t bytes, std::atomic<std::uint64_t>* backed) {
    if (bytes < HUGE_PAGE_BYTES) {
        void* const block = map_anonymous(bytes);
        if (block)
            populate_in_background(block, bytes, backed);
        return block;
    }
    if (bytes > UINT64_MAX - 2 * HUGE_PAGE_BYTES)
        return nullptr;
    bytes = rounded_size(bytes);
    // Map one huge page more than asked, then give back the ragged ends so that the
    // block starts on a 2 MB boundary.
    char* const raw = static_cast<char*>(map_anonymous(bytes + HUGE_PAGE_BYTES));
    if (!raw)
        return nullptr;
    const std::uintptr_t address = reinterpret_cast<std::uintptr_t>(raw);
    const std::uint64_t  head    = (HUGE_PAGE_BYTES - address % HUGE_PAGE_BYTES) % HUGE_PAGE_BYTES;
    char* const          block   = raw + head;
    if (head > 0)
        munmap(raw, static_cast<std::size_t>(head));
    const std::uint64_t tail = HUGE_PAGE_BYTES - head;
    if (tail > 0)
        munmap(block + bytes, static_cast<std::size_t>(tail));
#ifdef MADV_HUGEPAGE
    madvise(block, static_cast<std::size_t>(bytes), MADV_HUGEPAGE);  // a refusal changes nothing
#endif
    populate_in_background(block, bytes, backed);
    return block;
}

void unmap_table_memory(void* block, std::uint64_t bytes) {
    if (!block)
        return;
    stop_populating(block);
    munmap(block, static_cast<std::size_t>(rounded_size(bytes)));
}
