#include "shell/move_text.h"

#include "position/attacks.h"
#include "position/make_move.h"
#include "position/move.h"
#include "position/position.h"
#include "position/valid_move.h"

const char* const file_letters[8]  = {"a", "b", "c", "d", "e", "f", "g", "h"};
const char* const rank_digits[8]   = {"1", "2", "3", "4", "5", "6", "7", "8"};
const char* const piece_letters[7] = {"P", "N", "B", "R", "Q", "K", ""};

MoveText move_to_text(Move m) {
    const int from = move_from(m), to = move_to(m);
    MoveText  t{};
    t.text[0] = file_letters[file_of(from)][0];
    t.text[1] = rank_digits[rank_of(from)][0];
    t.text[2] = file_letters[file_of(to)][0];
    t.text[3] = rank_digits[rank_of(to)][0];
    // Only a piece gets a letter: the field's values 6 (NO_PIECE) and 7, which no move
    // generator makes, leave the terminator and never read past the table.
    const int promotion = move_promotion(m);
    if ((m & FLAG_PROMOTION) && promotion < NO_PIECE)
        t.text[4] = piece_letters[promotion][0];
    return t;
}

MoveText move_to_text_960(Move m) {
    if (!(m & CASTLE_FLAGS) || m == NULL_MOVE)
        return move_to_text(m);
    // The rooks' start squares stay as the game began, so a castling deep in a line prints
    // right without the position it is played in; the back rank tells the colour.
    const int from   = move_from(m);
    const int colour = rank_of(from) == 0 ? WHITE : BLACK;
    const int rook   = position().castle_rook[colour][(m & FLAG_CASTLE_SHORT) ? 0 : 1];
    return move_to_text(make_quiet(from, rook));
}

// The promotion piece named by c, either case, or NO_PIECE.
static int promotion_piece(char c) {
    switch (c) {
        case 'q':
        case 'Q': return QUEEN;
        case 'r':
        case 'R': return ROOK;
        case 'b':
        case 'B': return BISHOP;
        case 'n':
        case 'N': return KNIGHT;
        default: return NO_PIECE;
    }
}

static bool is_file_letter(char c) { return c >= 'a' && c <= 'h'; }
static bool is_rank_digit(char c) { return c >= '1' && c <= '8'; }

static Move read_move(const char* text, bool chess960) {
    // Each test stops at the terminator, so a short text is never read past its end.
    if (!is_file_letter(text[0]) || !is_rank_digit(text[1]) || !is_file_letter(text[2])
        || !is_rank_digit(text[3]))
        return NO_MOVE;
    const Position& pos  = position();
    const int       us   = pos.side_to_move;
    const int       from = (text[0] - 'a') + 8 * (text[1] - '1');
    const int       to   = (text[2] - 'a') + 8 * (text[3] - '1');
    const int       p    = pos.board[us][from];
    const int       q    = pos.board[1 - us][to];

    Move flags = 0;
    if (q != NO_PIECE)
        flags |= FLAG_CAPTURE;
    const int promotion = promotion_piece(text[4]);
    if (promotion != NO_PIECE)
        flags |= FLAG_PROMOTION;
    Move m = 0;
    if (chess960 && p == KING && pos.board[us][to] == ROOK) {
        const int side = to == pos.castle_rook[us][0] ? 0 : to == pos.castle_rook[us][1] ? 1 : -1;
        if (side < 0 || promotion != NO_PIECE)
            return NO_MOVE;
        m = make_castle(from, king_castled[us][side],
                        side == 0 ? FLAG_CASTLE_SHORT : FLAG_CASTLE_LONG);
    } else if (!chess960 && p == KING && (from - to == 2 || to - from == 2))
        flags |= to < from ? FLAG_CASTLE_LONG : FLAG_CASTLE_SHORT;
    else if (p == PAWN && file_of(from) != file_of(to) && q == NO_PIECE)
        flags |= FLAG_CAPTURE | FLAG_EN_PASSANT;

    if (m == 0)
        m = static_cast<Move>(from | to << 6 | promotion << 12) | flags;
    if (!is_valid_move(m))
        return NO_MOVE;
    // The validity test leaves the king's safety to make: a move that exposes the
    // mover's own king would take the game to an impossible position.
    const bool legal = make_move(m);
    unmake_move();
    return legal ? m : NO_MOVE;
}

Move text_to_move(const char* text) { return read_move(text, false); }
Move text_to_move_960(const char* text) { return read_move(text, true); }
