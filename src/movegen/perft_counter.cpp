#include "movegen/perft_counter.h"

#include "movegen/captures.h"
#include "movegen/evasions.h"
#include "movegen/quiets.h"
#include "position/attacked.h"
#include "position/attacks.h"
#include "position/make_move.h"
#include "position/move.h"
#include "position/position.h"

void generate_all(MoveList& list) {
    if (in_check()) {
        generate_evasions(list);
    } else {
        generate_captures(list);
        generate_quiets(list.count, list);
    }
}

std::uint64_t perft_plain(int depth) {
    MoveList list;
    generate_all(list);
    std::uint64_t nodes = 0;
    for (int i = 0; i < list.count; ++i) {
        if (make_move(list.moves[i]))
            nodes += depth > 1 ? perft_plain(depth - 1) : 1;
        unmake_move();
    }
    return nodes;
}

static bool is_legal_by_making(Move m) {
    const bool legal = make_move(m);
    unmake_move();
    return legal;
}

// The legal moves among the node's pseudo-legal ones, none of them made. A king move (a
// castling one included: the rook only ever blocks) is legal when its destination is not
// attacked with the king lifted off its square; castling is made, as in Chess960 the rook
// may have shielded the king's destination from its start square. Any other move must keep a pinned
// piece on its pin line and, in check, capture the single checker or step between it and the king.
static std::uint64_t count_legal(const MoveList& list) {
    const Position& pos      = position();
    const int       us       = pos.side_to_move;
    const int       k        = pos.king_square[us];
    const Bitboard  all      = pos.occupancy[0] | pos.occupancy[1];
    const Bitboard  checkers = attackers_of(k, 1 - us);
    const Bitboard  pinned   = pinned_pieces(us);
    Bitboard        answers  = ~Bitboard{0};  // where a non-king move must land
    if (checkers)
        answers = checkers & (checkers - 1) ? 0 : checkers | between[lsb_index(checkers)][k];
    std::uint64_t legal = 0;
    for (int i = 0; i < list.count; ++i) {
        const Move m    = list.moves[i];
        const int  from = move_from(m);
        const int  to   = move_to(m);
        if (m & (FLAG_EN_PASSANT | CASTLE_FLAGS))
            legal += is_legal_by_making(m);
        else if (from == k)
            legal += !is_square_attacked(us, to, all ^ square_bit[k]);
        else
            legal += (answers & square_bit[to]) != 0
                     && (!(pinned & square_bit[from]) || (ray_through[k][from] & square_bit[to]));
    }
    return legal;
}

std::uint64_t perft_bulk(int depth) {
    MoveList list;
    generate_all(list);
    if (depth == 1)
        return count_legal(list);
    std::uint64_t nodes = 0;
    for (int i = 0; i < list.count; ++i) {
        if (make_move(list.moves[i]))
            nodes += perft_bulk(depth - 1);
        unmake_move();
    }
    return nodes;
}

std::uint64_t perft_divide(int depth, void (*report)(Move m, std::uint64_t count)) {
    MoveList list;
    generate_all(list);
    std::uint64_t nodes = 0;
    for (int i = 0; i < list.count; ++i) {
        const Move m = list.moves[i];
        if (make_move(m)) {
            const std::uint64_t count = depth > 1 ? perft_bulk(depth - 1) : 1;
            nodes += count;
            report(m, count);
        }
        unmake_move();
    }
    return nodes;
}
