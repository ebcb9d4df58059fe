#include "search/tt.h"

#include <cstdint>
#include <cstring>

#include "position/make_move.h"
#include "position/move.h"
#include "position/position.h"
#include "position/table_memory.h"

// One block holds both arrays, so that the system judges the whole size at once: two
// separate halves could each be granted and then not both be backed by memory. The arrays
// are interleaved in pairs: index i of the primary array is pairs[i].entry[0] and of the
// secondary one pairs[i].entry[1], so that a probe reads one 32-byte half of a cache
// line, not two lines. When the system grants nothing at all, the static pair serves.
struct TTPair {
    TTEntry entry[2];  // primary, secondary
};
static TTPair        fallback[1] = {};
static TTPair*       pairs       = fallback;
static std::uint64_t entries     = 1;
static std::uint64_t mask        = 0;
// True while no entry has been written since the last clear: clearing again would only
// rewrite the same bytes, which for the default table costs more than the rest of
// start-up together.
static bool is_clean = true;

const std::uint64_t& tt_entries = entries;
const std::uint64_t& tt_mask    = mask;

const TTEntry& tt_primary(std::uint64_t i) { return pairs[i].entry[0]; }
const TTEntry& tt_secondary(std::uint64_t i) { return pairs[i].entry[1]; }

std::uint64_t allocate_tt(std::uint64_t wanted) {
    const std::uint64_t capped = wanted < MAX_HASH_ENTRIES ? wanted : MAX_HASH_ENTRIES;
    allocate_hash_table(pairs, entries, fallback, capped * sizeof(TTPair));
    fallback[0] = TTPair{};
    // Fresh pages are zero, and an all-zero entry is an empty one.
    is_clean = true;
    mask     = entries - 1;
    return entries;
}

std::uint64_t tt_bytes() { return entries * sizeof(TTPair); }

void tt_clear() {
    if (is_clean)
        return;
    is_clean = true;
    std::memset(static_cast<void*>(pairs), 0, entries * sizeof(TTPair));
}

int tt_hashfull() {
    const std::uint64_t sample = entries < 500 ? entries : 500;
    std::uint64_t       used   = 0;
    for (std::uint64_t i = 0; i < sample; ++i)
        for (const TTEntry& entry : pairs[i].entry)
            used += entry.bound != BOUND_NONE;
    return sample > 0 ? static_cast<int>(used * 1000 / (2 * sample)) : 0;
}

// The primary and secondary entries of key's index, side by side.
static TTEntry* pair_of(Key key) { return pairs[static_cast<std::uint32_t>(key) & mask].entry; }

// The entry that holds key, primary array first, or null.
static TTEntry* find_entry(Key key) {
    TTEntry* const      pair = pair_of(key);
    const std::uint32_t lock = static_cast<std::uint32_t>(key >> 32);
    if (pair[0].lock == lock)
        return &pair[0];
    if (pair[1].lock == lock)
        return &pair[1];
    return nullptr;
}

void tt_prefetch(Key key) { __builtin_prefetch(pair_of(key)); }

bool tt_probe(Key key, TTEntry& found) {
    const TTEntry* entry = find_entry(key);
    if (entry)
        found = *entry;
    return entry != nullptr;
}

void tt_store(Key key, int score, int bound, int depth, Move move) {
    // Only thousands of iterations under a huge "sd" reach this; the field has 16 bits.
    if (depth > UINT16_MAX)
        depth = UINT16_MAX;
    is_clean                 = false;
    TTEntry* const      pair = pair_of(key);
    const std::uint32_t lock = static_cast<std::uint32_t>(key >> 32);
    TTEntry&            p    = pair[0];
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
        }
    } else if (depth >= p.depth) {
        pair[1] = p;
        p       = entry;
    } else {
        pair[1] = entry;
    }
}

int score_to_tt(int score) {
    if (score < -MATE_BOUND)
        return score - search_ply - 1;
    if (score > MATE_BOUND)
        return score + search_ply + 1;
    return score;
}

int score_from_tt(int score) {
    if (score < -MATE_BOUND)
        return score + search_ply + 1;
    if (score > MATE_BOUND)
        return score - search_ply - 1;
    return score;
}

void store_pv(const Move* pv) {
    if (pv[0] == NO_MOVE)
        return;
    make_move(pv[0]);
    store_pv(pv + 1);
    unmake_move();
    // A position the table already holds keeps its depth, score and bound and takes the
    // line's move: a move-only entry of depth 0 could never displace it, and the root,
    // which is never stored otherwise, would keep its first iteration's move for good.
    if (TTEntry* entry = find_entry(position.key)) {
        entry->move = pv[0];
        is_clean    = false;
    } else {
        tt_store(position.key, 0, BOUND_MOVE_ONLY, 0, pv[0]);
    }
}
