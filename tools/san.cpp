// tools/san.cpp: SAN printing and reading against the legal moves of the position.
#include "san.h"

#include "movegen/captures.h"
#include "movegen/evasions.h"
#include "movegen/move_list.h"
#include "movegen/quiets.h"
#include "position/attacked.h"
#include "position/make_move.h"
#include "position/move.h"
#include "position/position.h"

namespace {

constexpr char piece_char[6] = {'P', 'N', 'B', 'R', 'Q', 'K'};

int piece_of_char(char c) {
    for (int p = KNIGHT; p <= KING; ++p)
        if (piece_char[p] == c)
            return p;
    return NO_PIECE;
}

int promotion_of_char(char c) {
    switch (c) {
        case 'N':
        case 'n': return KNIGHT;
        case 'B':
        case 'b': return BISHOP;
        case 'R':
        case 'r': return ROOK;
        case 'Q':
        case 'q': return QUEEN;
        default: return NO_PIECE;
    }
}

bool is_file(char c) { return c >= 'a' && c <= 'h'; }
bool is_rank(char c) { return c >= '1' && c <= '8'; }

// What a SAN text says about its move; -1 where it says nothing.
struct SanParts {
    int piece     = PAWN;
    int from_file = -1;
    int from_rank = -1;
    int to        = -1;
    int promotion = NO_PIECE;
    int castle    = 0;  // 1 short, 2 long
};

bool parse_san(std::string text, SanParts& parts) {
    while (
        !text.empty()
        && (text.back() == '+' || text.back() == '#' || text.back() == '!' || text.back() == '?'))
        text.pop_back();
    if (text == "O-O" || text == "0-0") {
        parts.castle = 1;
        return true;
    }
    if (text == "O-O-O" || text == "0-0-0") {
        parts.castle = 2;
        return true;
    }
    std::size_t i = 0;
    if (i < text.size() && piece_of_char(text[i]) != NO_PIECE)
        parts.piece = piece_of_char(text[i++]);
    // Promotion at the end: "=Q" or a bare piece letter after the destination.
    if (parts.piece == PAWN && text.size() >= 2) {
        const char last = text.back();
        if (promotion_of_char(last) != NO_PIECE && !is_file(last)) {
            parts.promotion = promotion_of_char(last);
            text.pop_back();
            if (!text.empty() && text.back() == '=')
                text.pop_back();
        } else if (promotion_of_char(last) != NO_PIECE && text.size() >= 3
                   && text[text.size() - 2] == '=') {
            parts.promotion = promotion_of_char(last);  // "=b" in lower case
            text.erase(text.size() - 2);
        }
    }
    // The rest: [from file][from rank][x]to-file to-rank
    if (text.size() < i + 2)
        return false;
    const char tf = text[text.size() - 2], tr = text[text.size() - 1];
    if (!is_file(tf) || !is_rank(tr))
        return false;
    parts.to           = make_square(tf - 'a', tr - '1');
    std::string middle = text.substr(i, text.size() - 2 - i);
    if (!middle.empty() && middle.back() == 'x')
        middle.pop_back();
    else if (!middle.empty() && middle.back() == '-')  // Ng1-f3
        middle.pop_back();
    std::size_t j = 0;
    if (j < middle.size() && is_file(middle[j]))
        parts.from_file = middle[j++] - 'a';
    if (j < middle.size() && is_rank(middle[j]))
        parts.from_rank = middle[j++] - '1';
    return j == middle.size();
}

}  // namespace

int legal_moves(Move* out) {
    MoveList list;
    list.count = 0;
    if (in_check()) {
        generate_evasions(list);
    } else {
        generate_captures(list);
        generate_quiets(list.count, list);
    }
    int n = 0;
    for (int i = 0; i < list.count; ++i) {
        if (make_move(list.moves[i]))
            out[n++] = list.moves[i];
        unmake_move();
    }
    return n;
}

std::string move_to_san(Move m) {
    const Position& pos   = position();
    const int       us    = pos.side_to_move;
    const int       from  = move_from(m);
    const int       to    = move_to(m);
    const int       piece = pos.board[us][from];
    std::string     san;
    if (m & FLAG_CASTLE_SHORT) {
        san = "O-O";
    } else if (m & FLAG_CASTLE_LONG) {
        san = "O-O-O";
    } else {
        if (piece != PAWN) {
            san += piece_char[piece];
            Move      moves[256];
            const int n     = legal_moves(moves);
            bool      clash = false, same_file = false, same_rank = false;
            for (int i = 0; i < n; ++i) {
                const int other = move_from(moves[i]);
                if (moves[i] == m || move_to(moves[i]) != to || other == from
                    || pos.board[us][other] != piece)
                    continue;
                clash = true;
                same_file |= file_of(other) == file_of(from);
                same_rank |= rank_of(other) == rank_of(from);
            }
            if (clash && !same_file)
                san += static_cast<char>('a' + file_of(from));
            else if (clash && !same_rank)
                san += static_cast<char>('1' + rank_of(from));
            else if (clash) {
                san += static_cast<char>('a' + file_of(from));
                san += static_cast<char>('1' + rank_of(from));
            }
        } else if (m & FLAG_CAPTURE) {
            san += static_cast<char>('a' + file_of(from));
        }
        if (m & FLAG_CAPTURE)
            san += 'x';
        san += static_cast<char>('a' + file_of(to));
        san += static_cast<char>('1' + rank_of(to));
        if (m & FLAG_PROMOTION) {
            san += '=';
            san += piece_char[move_promotion(m)];
        }
    }
    make_move(m);
    if (in_check()) {
        Move replies[256];
        san += legal_moves(replies) == 0 ? '#' : '+';
    }
    unmake_move();
    return san;
}

Move san_to_move(const std::string& san) {
    SanParts parts;
    if (!parse_san(san, parts))
        return NO_MOVE;
    const Position& pos = position();
    const int       us  = pos.side_to_move;
    Move            moves[256];
    const int       n     = legal_moves(moves);
    Move            found = NO_MOVE;
    for (int i = 0; i < n; ++i) {
        const Move m    = moves[i];
        const int  from = move_from(m);
        bool       fits;
        if (parts.castle)
            fits = (m & (parts.castle == 1 ? FLAG_CASTLE_SHORT : FLAG_CASTLE_LONG)) != 0;
        else
            fits = pos.board[us][from] == parts.piece && move_to(m) == parts.to
                   && (parts.from_file < 0 || file_of(from) == parts.from_file)
                   && (parts.from_rank < 0 || rank_of(from) == parts.from_rank)
                   && !(m & (FLAG_CASTLE_SHORT | FLAG_CASTLE_LONG))
                   && ((m & FLAG_PROMOTION) ? move_promotion(m) == parts.promotion
                                            : parts.promotion == NO_PIECE);
        if (!fits)
            continue;
        if (found != NO_MOVE)
            return NO_MOVE;  // ambiguous
        found = m;
    }
    return found;
}
