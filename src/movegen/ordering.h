// movegen/ordering.h: the scores the pickers order moves by, and the tables the search
// teaches as it goes. Owns history, killer1, killer2, history_hits and history_tries:
// only the learning calls below write them, everyone else reads; clear_ordering_tables() resets all
// five before every search (the thinking driver, bench and tests call it).
//
// Index from_to of a move m is m & 0xfff (from + 64 * to). Killers are indexed
// [colour][search_ply]; search_ply must stay below 256 wherever they are read or written.
#pragma once

#include <cstdint>

#include "position/types.h"

constexpr int KILLER_PLIES = 256;

// One set of tables per search thread (thread_local, constant-initialised, in
// ordering.cpp): each thread learns from its own search. Everyone else reads the calling
// thread's tables through these views.
// history_credit(from_to): credit of a quiet move for being best at a node; never
// negative, halved when an entry reaches 0x4000.
int history_credit(int from_to);
// killer1(us, ply): the latest quiet best move at that ply; killer2 the one before it.
Move killer1(int us, int ply);
Move killer2(int us, int ply);
// history_hits(from_to) / history_tries(from_to): how often a quiet move cut off when
// tried at a node that ended in a quiet cut-off. Both start at 1.
int history_hits(int from_to);
int history_tries(int from_to);

// mvv_rank[piece]: victim rank for MVV/LVA, pawn 1 to king 6, none 0.
constexpr int mvv_rank[7] = {1, 2, 3, 4, 5, 6, 0};
// ordering_pst[piece][colour][square]: quiet-move ordering only (pawn to king); Black's
// value on s equals White's on s ^ 56.
extern const std::int16_t (&ordering_pst)[6][2][64];

// Scoring, for the side to move at the current search_ply.
int  mvv_lva(Move m);       // 6 * victim rank - mover rank; 5 for en passant
bool good_capture(Move m);  // false for under-promotions and losing exchanges
int  quiet_score(Move m);   // history when credited, else piece-square gain - 1000
int  order_score(Move m, Move hash_move);

// Learning, called at the node where m was played. depth in quarter plies.
void update_history_and_killers(int depth, Move m);
void record_try(Move m);
void record_cut(Move m);
void clear_ordering_tables();
