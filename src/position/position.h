// position/position.h: the one game position, its history stack and search_ply.
// The record keeps the same facts in several redundant forms (square arrays,
// bitboards, counts, material, piece-square sums, three hash keys); all of them stay
// in step because only the position module writes them: new_game, load_fen,
// make_move/unmake_move and set_side_to_move. Everyone else reads through the const
// views below.
#pragma once

#include <string>

#include "position/types.h"

struct Position {
    std::uint8_t side_to_move;         // 1 when White is to move
    int          history_length;       // entries on the history stack
    int          irreversible_index;   // first history index the repetition test looks at
    int          nonpawn_material[2];  // sum of material_unit over the colour's pieces
    int          board[2][64];         // [colour][square]: piece code or NO_PIECE
    int          piece_count[2][7];    // [colour][piece]; slot 6 stays 0
    int          king_square[2];
    Bitboard     occupancy[2];
    Bitboard     pieces[2][7];      // [colour][piece]; slot 6 is not maintained
    int          castled[2];        // 0 not castled, 1 short, 2 long
    int          castle_rights[2];  // CASTLE_SHORT | CASTLE_LONG bits
    int          ep_square;         // square passed by the last double push, or NO_SQUARE
    int          psq_mg;            // piece-square sums, White minus Black
    int          psq_eg;
    Key          key;           // whole position
    Key          pawn_key;      // pawns of both colours
    Key          material_key;  // piece counts
    // Castling geometry, [colour][0 short, 1 long]: set by new_game and load_fen and fixed
    // for the game. Standard chess is the case of rooks on the a- and h-files and the king
    // on the e-file; in Chess960 they start anywhere on the back rank, the king between.
    // Castling always ends with the king on the g- or c-file, the rook on the f- or d-file.
    int      castle_rook[2][2];  // the rook's start square
    Bitboard castle_path[2][2];  // must be empty: the squares either piece crosses or ends on
    Bitboard castle_safe[2][2];  // must not be attacked: the king's start to its destination
    Key      castle_key[2][2];   // the key term of the right
};

// One entry per move made since the new game: what make cannot recompute on unmake.
struct HistoryEntry {
    int  castle_rights[2];
    int  ep_square;
    int  irreversible_index;
    Move move;
    int  captured;  // opponent's piece on the destination, NO_PIECE for en passant
    Key  key;
    Key  pawn_key;
    Key  material_key;
};

// Room for 4096 game moves plus the deepest search on top of them. The command loop
// refuses a game move once fewer than SEARCH_HISTORY_RESERVE entries would be left,
// so nothing ever writes past the stack.
constexpr int SEARCH_HISTORY_RESERVE = 512;
constexpr int HISTORY_CAPACITY       = 4096 + SEARCH_HISTORY_RESERVE;
// The most game moves either protocol loop takes: the rest of the stack is kept for the
// deepest search.
constexpr int MAX_GAME_MOVES = HISTORY_CAPACITY - SEARCH_HISTORY_RESERVE;

// material_unit[piece]: 3 for minor pieces, 5 rook, 9 queen, 0 pawn and king.
constexpr int material_unit[7] = {0, 3, 3, 5, 9, 0, 0};

// One record, history stack and ply count per search thread: every thread makes and
// unmakes moves on its own copy of the game. position.cpp owns them, thread_local with
// constant initialisation; only the position module writes them (through
// position_writer.h), and everyone else reads them through these views, so the compiler
// checks that. Link-time optimisation inlines each view to the one load at a fixed offset
// from the thread pointer that the variable itself costs.
const Position&     position();
const HistoryEntry* history_stack();  // entries 0 .. position().history_length - 1
int                 search_ply();     // plies made since the driver reset it

// Sets up the standard initial position with an empty history.
void new_game();
// The "white" and "black" commands: sets the side to move and keeps key in step. A change
// of side also clears the en-passant square, which only the other side could have used.
void set_side_to_move(int side);
// Called by the search driver before a root search.
void reset_search_ply();
// A search thread takes the game as another thread has it: the record and the first
// record.history_length entries of history (so that repetitions count across the game),
// with search_ply 0.
void copy_game(const Position& record, const HistoryEntry* history);

// FEN: load_fen sets up any legal-looking position (used by tools and tests; the engine
// itself has no setboard). On bad input it returns false, leaves the position
// unchanged and, when error is given, says why. With chess960 the castling field is read
// as X-FEN (KQkq for the outermost rook on its side, a file letter for any other) or
// Shredder-FEN (file letters, HAha); without it, only KQkq with king and rooks at home.
// position_to_fen writes KQkq for outermost rooks, which standard chess always has, and a
// file letter for any other.
bool        load_fen(const std::string& fen, std::string* error = nullptr, bool chess960 = false);
std::string position_to_fen();

// Debug check of the record's invariants, including every incremental sum and key
// against a from-scratch computation. Used by tests and asserts.
bool position_is_consistent();
