#include "search/tt.h"

#include <atomic>
#include <chrono>
#include <cstdint>
#include <cstring>
#include <thread>

#include "position/make_move.h"
#include "position/move.h"
#include "position/position.h"
#include "position/table_memory.h"
#include "search/threads.h"

// One block holds both arrays, so that the system judges the whole size at once: two
// separate halves could each be granted and then not both be backed by memory. The arrays
// are interleaved in pairs: index i of the primary array is pairs[i].slot[0] and of the
// secondary one pairs[i].slot[1], so that a probe reads one 32-byte half of a cache
// line, not two lines. When the system grants nothing at all, the static pair serves.
//
// Every search thread reads and writes the table at once, so an entry is two 64-bit
// words, each read and written whole as a relaxed atomic (a plain move on x86-64):
//   data  = move | depth << 32 | bound << 48
//   check = (lock ^ fold(data)) << 32 | score
// A reader that gets the two words of two different stores (a torn entry) finds a lock
// that answers no key, so a torn entry is a miss; the score shares its word with the lock.
// An all-zero entry is an empty one: lock 0, no move, no bound.
struct TTSlot {
    std::uint64_t check;
    std::uint64_t data;
};
struct TTPair {
    TTSlot slot[2];  // primary, secondary
};
static TTPair        fallback[1] = {};
static TTPair*       pairs       = fallback;
static std::uint64_t entries     = 1;
static std::uint64_t mask        = 0;
// True while no entry has been written since the last clear: clearing again would only
// rewrite the same bytes, which for the default table costs more than the rest of
// start-up together. Stores of every thread clear it: read first, so that a store does not
// write the flag's cache line every time.
static std::atomic<bool> is_clean{true};
// Bytes of the block, from its start, that the system has backed: written by the table
// memory's populating thread, read by every probe and store. A search that starts sooner
// leaves the pages beyond alone, a miss to every probe and no place for a store: with huge
// pages a search that wrote to them would stall on each one in turn, milliseconds apiece
// on a busy machine, and meet them all within its first thousand nodes.
static std::atomic<std::uint64_t> backed_bytes{sizeof(fallback)};

const std::uint64_t& tt_entries = entries;
const std::uint64_t& tt_mask    = mask;

static std::uint32_t fold(std::uint64_t data) {
    return static_cast<std::uint32_t>(data) ^ static_cast<std::uint32_t>(data >> 32);
}

static TTEntry read_slot(TTSlot& slot) {
    const std::uint64_t check =
        std::atomic_ref<std::uint64_t>(slot.check).load(std::memory_order_relaxed);
    const std::uint64_t data =
        std::atomic_ref<std::uint64_t>(slot.data).load(std::memory_order_relaxed);
    TTEntry entry;
    entry.score = static_cast<std::int32_t>(static_cast<std::uint32_t>(check));
    entry.lock  = static_cast<std::uint32_t>(check >> 32) ^ fold(data);
    entry.move  = static_cast<Move>(data);
    entry.depth = static_cast<std::uint16_t>(data >> 32);
    entry.bound = static_cast<std::int16_t>(data >> 48);
    return entry;
}

static void write_slot(TTSlot& slot, const TTEntry& entry) {
    const std::uint64_t data = std::uint64_t{entry.move} | std::uint64_t{entry.depth} << 32
                               | std::uint64_t{static_cast<std::uint16_t>(entry.bound)} << 48;
    const std::uint64_t check =
        std::uint64_t{entry.lock ^ fold(data)} << 32 | static_cast<std::uint32_t>(entry.score);
    std::atomic_ref<std::uint64_t>(slot.check).store(check, std::memory_order_relaxed);
    std::atomic_ref<std::uint64_t>(slot.data).store(data, std::memory_order_relaxed);
}

static void mark_used() {
    if (is_clean.load(std::memory_order_relaxed))
        is_clean.store(false, std::memory_order_relaxed);
}

TTEntry tt_primary(std::uint64_t i) { return read_slot(pairs[i].slot[0]); }
TTEntry tt_secondary(std::uint64_t i) { return read_slot(pairs[i].slot[1]); }

void tt_write_halves(std::uint64_t i, const TTEntry& check_from, const TTEntry& data_from) {
    TTSlot a{}, b{};
    write_slot(a, check_from);
    write_slot(b, data_from);
    pairs[i].slot[0] = TTSlot{a.check, b.data};
    mark_used();
}

std::uint64_t allocate_tt(std::uint64_t wanted, bool in_background) {
    wait_for_helpers();
    const std::uint64_t capped = wanted < MAX_HASH_ENTRIES ? wanted : MAX_HASH_ENTRIES;
    backed_bytes.store(0, std::memory_order_relaxed);
    allocate_hash_table(pairs, entries, fallback, capped * sizeof(TTPair), &backed_bytes);
    fallback[0] = TTPair{};
    if (pairs == fallback)
        backed_bytes.store(sizeof(fallback), std::memory_order_relaxed);
    if (!in_background)
        tt_wait_until_backed(-1);
    // Fresh pages are zero, and an all-zero entry is an empty one.
    is_clean.store(true, std::memory_order_relaxed);
    mask = entries - 1;
    return entries;
}

std::uint64_t tt_bytes() { return entries * sizeof(TTPair); }

void tt_clear() {
    wait_for_helpers();
    if (is_clean.load(std::memory_order_relaxed))
        return;
    is_clean.store(true, std::memory_order_relaxed);
    // Stores never reach pages beyond the backed ones, which are still zero.
    const std::uint64_t backed = backed_bytes.load(std::memory_order_acquire);
    std::memset(static_cast<void*>(pairs), 0, backed < tt_bytes() ? backed : tt_bytes());
}

int tt_hashfull() {
    const std::uint64_t sample = entries < 500 ? entries : 500;
    std::uint64_t       used   = 0;
    for (std::uint64_t i = 0; i < sample; ++i)
        for (TTSlot& slot : pairs[i].slot)
            used += read_slot(slot).bound != BOUND_NONE;
    return sample > 0 ? static_cast<int>(used * 1000 / (2 * sample)) : 0;
}

// The primary and secondary slots of key's index, side by side.
static TTSlot* pair_of(Key key) { return pairs[static_cast<std::uint32_t>(key) & mask].slot; }

// Whether the system has backed the page of key's pair yet.
static bool is_backed(Key key) {
    const std::uint64_t offset = (static_cast<std::uint32_t>(key) & mask) * sizeof(TTPair);
    return offset < backed_bytes.load(std::memory_order_relaxed);
}

bool tt_is_backed() { return backed_bytes.load(std::memory_order_acquire) >= tt_bytes(); }

void tt_wait_until_backed(int max_ms) {
    const auto start = std::chrono::steady_clock::now();
    while (!tt_is_backed()
           && (max_ms < 0
               || std::chrono::steady_clock::now() - start < std::chrono::milliseconds(max_ms)))
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
}

void tt_prefetch(Key key) { __builtin_prefetch(pair_of(key)); }

// The slot of pair that holds key, primary first, with its entry in entry; -1 when
// neither does.
static int find_slot(TTSlot* pair, Key key, TTEntry& entry) {
    const std::uint32_t lock = static_cast<std::uint32_t>(key >> 32);
    for (int i = 0; i < 2; ++i) {
        entry = read_slot(pair[i]);
        if (entry.lock == lock)
            return i;
    }
    return -1;
}

bool tt_probe(Key key, TTEntry& found) {
    TTEntry entry;
    if (!is_backed(key) || find_slot(pair_of(key), key, entry) < 0)
        return false;
    found = entry;
    return true;
}

void tt_store(Key key, int score, int bound, int depth, Move move) {
    // Only thousands of iterations under a huge "sd" reach this; the field has 16 bits.
    if (depth > UINT16_MAX)
        depth = UINT16_MAX;
    if (!is_backed(key))
        return;
    mark_used();
    TTSlot* const       pair = pair_of(key);
    const std::uint32_t lock = static_cast<std::uint32_t>(key >> 32);
    TTEntry             p    = read_slot(pair[0]);
    const TTEntry       entry{score, lock, move, static_cast<std::uint16_t>(depth),
                        static_cast<std::int16_t>(bound)};
    if (p.lock == lock) {
        // A shallower or equal result never replaces the primary one, nor goes anywhere.
        if (depth > p.depth) {
            p.depth = static_cast<std::uint16_t>(depth);
            if (move != NO_MOVE)
                p.move = move;
            p.bound = static_cast<std::int16_t>(bound);
            p.score = score;
            write_slot(pair[0], p);
        }
    } else if (depth >= p.depth) {
        write_slot(pair[1], p);
        write_slot(pair[0], entry);
    } else {
        write_slot(pair[1], entry);
    }
}

int score_to_tt(int score) {
    if (score < -MATE_BOUND)
        return score - search_ply() - 1;
    if (score > MATE_BOUND)
        return score + search_ply() + 1;
    return score;
}

int score_from_tt(int score) {
    if (score < -MATE_BOUND)
        return score + search_ply() + 1;
    if (score > MATE_BOUND)
        return score - search_ply() - 1;
    return score;
}

void store_pv(const Move* pv) {
    if (pv[0] == NO_MOVE)
        return;
    make_move(pv[0]);
    store_pv(pv + 1);
    unmake_move();
    if (!is_backed(position().key))
        return;
    // A position the table already holds keeps its depth, score and bound and takes the
    // line's move: a move-only entry of depth 0 could never displace it, and the root,
    // which is never stored otherwise, would keep its first iteration's move for good.
    TTSlot* const pair = pair_of(position().key);
    TTEntry       entry;
    if (const int i = find_slot(pair, position().key, entry); i >= 0) {
        entry.move = pv[0];
        write_slot(pair[i], entry);
        mark_used();
    } else {
        tt_store(position().key, 0, BOUND_MOVE_ONLY, 0, pv[0]);
    }
}
