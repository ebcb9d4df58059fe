// search/tt.h: the transposition table. Two arrays of equal size, addressed by the low
// half of the position key and verified by the high half: the primary array keeps the
// deeper of two competing results, the secondary array takes whatever the primary one
// rejects or displaces. Allocated at start-up by allocate_tt, and again when UCI's Hash
// changes; allocate_tt and tt_clear wait until every helper is idle, so no search ever
// sees the arrays move. tt.cpp owns both arrays and only tt_clear, tt_store and store_pv
// write their entries. The
// quiescence search does not use the table. The one table every search thread shares:
// probes and stores of all threads may meet on an entry, and a torn one reads as a miss.
#pragma once

#include <cstdint>

#include "position/types.h"

// Bound codes. BOUND_MOVE_ONLY marks a principal-variation entry: only move counts.
constexpr int BOUND_NONE      = 0;
constexpr int BOUND_LOWER     = 1;  // the node failed high: score is a lower bound
constexpr int BOUND_UPPER     = 2;  // no move raised alpha: score is an upper bound
constexpr int BOUND_EXACT     = 3;
constexpr int BOUND_MOVE_ONLY = 4;

struct TTEntry {
    std::int32_t  score;  // mate scores relative to the node, see score_to_tt
    std::uint32_t lock;   // upper 32 bits of the position key
    Move          move;   // best move found at the node, 0 if none
    std::uint16_t depth;  // remaining depth of the search that stored it, quarter plies
    std::int16_t  bound;  // BOUND_*
};
static_assert(sizeof(TTEntry) == 16, "four entries to a 64-byte cache line");

// The two arrays of tt_entries entries each (a power of two); tt_mask = tt_entries - 1.
// A key k lives at index (low 32 bits of k) & tt_mask in both arrays.
extern const std::uint64_t& tt_entries;
extern const std::uint64_t& tt_mask;
// Entry i (below tt_entries) of each array; both share one cache line.
TTEntry tt_primary(std::uint64_t i);    // depth-preferred
TTEntry tt_secondary(std::uint64_t i);  // always replaced
// Writes primary entry i as a store torn by another thread's would leave it: the half
// with the lock and score of check_from, the half with the move, depth and bound of
// data_from. For tests: a torn entry must answer no probe.
void tt_write_halves(std::uint64_t i, const TTEntry& check_from, const TTEntry& data_from);

// Start-up. Allocates both arrays, empty, with the given number of entries each, rounded
// down to a power of two, at most 2^32 (the index uses 32 bits of the key) and at most
// table_memory_limit() for both together. When the machine cannot provide that much it
// halves the size until it can; the answer is the size obtained, never 0. Called by the
// shell's start-up and UCI's Hash option (and by tools and tests). It returns once the system
// has backed every page, or at once with in_background, the table then filling as below.
std::uint64_t allocate_tt(std::uint64_t entries, bool in_background = false);
// Both arrays together, in bytes.
std::uint64_t tt_bytes();
// A fresh table's pages are backed in the background (position/table_memory.h). Until
// its pair's page is, a key is a miss and its stores are dropped, so that a search that
// starts early uses what is ready instead of stalling on the rest; tt_is_backed answers
// whether every page is. tt_wait_until_backed sleeps until it is, or for about max_ms
// milliseconds (max_ms < 0: no bound): a search whose result must not depend on when it
// starts waits here.
bool tt_is_backed();
void tt_wait_until_backed(int max_ms);

// Empties both arrays: the start of either loop, and clear_for_new_game (search/threads.h)
// for a new game, Clear Hash, the bench and the tests. An empty entry is all
// zeros: it answers only a key whose upper half is 0, with no bound and no move.
void tt_clear();

// How full the table is, in thousandths: the share of used entries among the first
// thousand of both arrays (all of them in a smaller table).
int tt_hashfull();

// Starts loading the entries of key into the cache, so that a probe soon after finds
// them there; the search calls it as soon as it knows a child's key.
void tt_prefetch(Key key);
// Copies the entry of key into found (primary array first) and answers true, or false
// when neither array holds the key. The score comes back as stored: see score_from_tt.
bool tt_probe(Key key, TTEntry& found);
// score must already be converted by score_to_tt.
void tt_store(Key key, int score, int bound, int depth, Move move);

// Mate scores are stored as distances from the node, not from the root, so that an
// entry reads right wherever the search meets the position again.
int score_to_tt(int score);
int score_from_tt(int score);

// Stores a 0-terminated line of moves from the current position, deepest position first,
// so that the next iteration follows it: as BOUND_MOVE_ONLY entries, or, for a position
// the table already holds, as that entry's move (its depth, score and bound stay).
void store_pv(const Move* pv);
