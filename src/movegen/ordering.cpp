#include "movegen/ordering.h"

#include <array>

#include "movegen/see.h"
#include "position/move.h"
#include "position/position.h"

namespace {

// The counters start at 1, as after a reset, so a ratio never divides by zero.
// history_hits / history_tries, as one table each.
struct HistoryCounters {
    int value[4096];
};

constexpr HistoryCounters all_ones = [] {
    HistoryCounters c{};
    for (int& x : c.value)
        x = 1;
    return c;
}();

// The calling thread's tables; only the learning calls below write them.
thread_local constinit int             history_table[4096]{};
thread_local constinit Move            first_killers[2][KILLER_PLIES]{};
thread_local constinit Move            second_killers[2][KILLER_PLIES]{};
thread_local constinit HistoryCounters hits  = all_ones;
thread_local constinit HistoryCounters tries = all_ones;

// White's ordering values, drawn as the board is seen: rank 8 at the top, a-file on the
// left. Row r of a diagram holds the squares 56 - 8r .. 63 - 8r.
// clang-format off
constexpr std::int16_t white_pst[6][64] = {
    {  0,  0,  0,  0,  0,  0,  0,  0,   // pawn
      70, 70, 70, 70, 70, 70, 70, 70,
      10, 10, 10, 30, 30, 10, 10, 10,
       6,  6,  6, 16, 16,  6,  6,  6,
       3,  3,  3, 13, 13,  3,  3,  3,
       1,  1,  1, 10, 10,  1,  1,  1,
       0,  0,  0,-12,-12,  0,  0,  0,
       0,  0,  0,  0,  0,  0,  0,  0},
    {  0,  3,  7, 15, 15,  7,  3,  0,   // knight
       3,  7, 18, 18, 18, 18,  7,  3,
       7, 10, 18, 18, 18, 18, 10,  7,
       3,  7, 18, 18, 18, 18,  7,  3,
       3,  7, 12, 18, 18, 12,  7,  3,
       0,  7, 12, 12, 12, 12,  7,  0,
       0,  3,  6,  9,  9,  6,  3,  0,
       0, -9,  3,  3,  3,  3, -9,  0},
    {  2,  0,  0,  0,  0,  0,  0,  2,   // bishop
       0,  5,  5,  2,  2,  5,  5,  0,
       0,  2, 12,  6,  6, 12,  2,  0,
       0,  7,  9, 12, 12,  9,  7,  0,
       0,  5,  5, 10, 10,  5,  5,  0,
       0,  5,  7,  5,  5,  7,  5,  0,
       0,  7,  7,  2,  2,  7,  7,  0,
       2,  0, -6,  0,  0, -6,  0,  2},
    {  4, 12, 12, 15, 15, 12, 12,  4,   // rook
      15, 21, 21, 21, 21, 21, 21, 15,
       3,  7,  9,  9,  9,  9,  7,  3,
       1,  6,  7,  9,  9,  7,  6,  1,
       1,  4,  6,  7,  7,  6,  4,  1,
       0,  3,  4,  4,  4,  4,  3,  0,
       0,  1,  3,  3,  3,  3,  1,  0,
       0,  1,  3,  3,  3,  3,  1,  0},
    {  1,  3,  3,  3,  3,  3,  3,  1,   // queen
       4, 12, 12, 12, 12, 12, 12,  4,
       3,  7,  9, 12, 12,  9,  7,  3,
       1,  6,  7,  9,  9,  7,  6,  1,
       1,  4,  6,  7,  7,  6,  4,  1,
       0,  3,  4,  4,  4,  4,  3,  0,
       0,  1,  3,  3,  3,  3,  1,  0,
       0,  0,  1,  1,  1,  1,  0,  0},
    {  0,  0,  0,  0,  0,  0,  0,  0,   // king
       0,  0,  0,  0,  0,  0,  0,  0,
       0,  0,  0,  0,  0,  0,  0,  0,
       0,  0,  0,  0,  0,  0,  0,  0,
       0,  0,  0,  0,  0,  0,  0,  0,
       0,  0,  0,  0,  0,  0,  0,  0,
       0,  0,  0,  0,  0,  0,  0,  0,
       0,  0,  0,  0,  0,  0,  0,  0},
};
// clang-format on

struct OrderingPst {
    std::int16_t value[6][2][64];
};
constexpr OrderingPst pst = [] {
    OrderingPst table{};
    for (int piece = 0; piece < 6; ++piece)
        for (int sq = 0; sq < 64; ++sq) {
            const std::int16_t white = white_pst[piece][sq ^ 56];  // diagrams list rank 8 first
            table.value[piece][WHITE][sq]      = white;
            table.value[piece][BLACK][sq ^ 56] = white;
        }
    return table;
}();
static_assert(pst.value[PAWN][WHITE][11] == -12 && pst.value[PAWN][WHITE][48] == 70);
static_assert(pst.value[PAWN][BLACK][51] == -12 && pst.value[KNIGHT][WHITE][1] == -9);
static_assert(pst.value[ROOK][WHITE][63] == 4 && pst.value[ROOK][BLACK][7] == 4);

// Every entry x of a counter table becomes (x + 1) / 2: ratios survive, counts stay bounded.
void halve(int (&table)[4096]) {
    for (int& x : table)
        x = (x + 1) / 2;
}

void count_try(Move m, bool cut) {
    const int ft = static_cast<int>(m & 0xfff);
    ++tries.value[ft];
    if (cut)
        ++hits.value[ft];
    if (tries.value[ft] >= 0x4000) {
        halve(tries.value);
        halve(hits.value);
    }
}

}  // namespace

int  history_credit(int from_to) { return history_table[from_to]; }
Move killer1(int us, int ply) { return first_killers[us][ply]; }
Move killer2(int us, int ply) { return second_killers[us][ply]; }
int  history_hits(int from_to) { return hits.value[from_to]; }
int  history_tries(int from_to) { return tries.value[from_to]; }
const std::int16_t (&ordering_pst)[6][2][64] = pst.value;

int mvv_lva(Move m) {
    const Position& pos = position();
    const int       us  = pos.side_to_move;
    if (m & FLAG_EN_PASSANT)
        return 5;
    if (m & FLAG_CAPTURE)
        return 6 * mvv_rank[pos.board[1 - us][move_to(m)]] - mvv_rank[pos.board[us][move_from(m)]];
    return mvv_rank[move_promotion(m)] - 6;
}

bool good_capture(Move m) {
    const Position& pos = position();
    const int       us  = pos.side_to_move;
    if (m & FLAG_EN_PASSANT)
        return true;
    if ((m & FLAG_PROMOTION) && move_promotion(m) != QUEEN)
        return false;
    if (m & FLAG_CAPTURE) {
        if (m & FLAG_PROMOTION)
            return true;
        if (see_value[pos.board[1 - us][move_to(m)]] >= see_value[pos.board[us][move_from(m)]])
            return true;
    }
    return static_exchange(m) >= 0;
}

int quiet_score(Move m) {
    const Position& pos = position();
    const int       ft  = static_cast<int>(m & 0xfff);
    if (history_table[ft] != 0)
        return history_table[ft];
    const int us    = pos.side_to_move;
    const int piece = pos.board[us][move_from(m)];
    return pst.value[piece][us][move_to(m)] - pst.value[piece][us][move_from(m)] - 1000;
}

int order_score(Move m, Move hash_move) {
    if (m == hash_move)
        return 50000;
    if (m & TACTICAL_MASK)
        return good_capture(m) ? mvv_lva(m) + 30000 : mvv_lva(m) - 30000;
    const Position& pos = position();
    const int       us  = pos.side_to_move;
    if (m == first_killers[us][search_ply()])
        return 20000;
    if (m == second_killers[us][search_ply()])
        return 19999;
    return quiet_score(m);
}

void update_history_and_killers(int depth, Move m) {
    if (m & TACTICAL_MASK)
        return;
    const int ft = static_cast<int>(m & 0xfff);
    history_table[ft] += depth * depth / 16;
    if (history_table[ft] >= 0x4000)
        halve(history_table);
    const int us  = position().side_to_move;
    const int ply = search_ply();
    if (m != first_killers[us][ply]) {
        second_killers[us][ply] = first_killers[us][ply];
        first_killers[us][ply]  = m;
    }
}

void record_try(Move m) { count_try(m, false); }
void record_cut(Move m) { count_try(m, true); }

void clear_ordering_tables() {
    for (int ft = 0; ft < 4096; ++ft) {
        history_table[ft] = 0;
        hits.value[ft]    = 1;
        tries.value[ft]   = 1;
    }
    for (int c = 0; c < 2; ++c)
        for (int ply = 0; ply < KILLER_PLIES; ++ply) {
            first_killers[c][ply]  = NO_MOVE;
            second_killers[c][ply] = NO_MOVE;
        }
}
