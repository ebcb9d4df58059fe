// position/position.cpp: the position record, the new game, FEN and the consistency
// check. Owns position, history_stack and search_ply; the other
// position sources write them through position_writer.h, everyone else reads.
#include "position/position.h"

#include <cctype>
#include <cstdlib>
#include <ctime>

#include "eval/psq.h"
#include "position/attacked.h"
#include "position/attacks.h"
#include "position/bitboard.h"
#include "position/hash_keys.h"
#include "position/make_move.h"
#include "position/position_writer.h"

static thread_local constinit Position     thread_record{};
static thread_local constinit HistoryEntry thread_history[HISTORY_CAPACITY]{};
static thread_local constinit int          thread_ply = 0;

const Position&     position() { return thread_record; }
const HistoryEntry* history_stack() { return thread_history; }
int                 search_ply() { return thread_ply; }
Position&           writable_position() { return thread_record; }
HistoryEntry*       writable_history() { return thread_history; }
int&                writable_search_ply() { return thread_ply; }

namespace {

constexpr int back_rank_pieces[8] = {ROOK, KNIGHT, BISHOP, QUEEN, KING, BISHOP, KNIGHT, ROOK};
constexpr int king_home[2]        = {60, 4};  // e8, e1

// The geometry of one castling right, with the king on king and the rook on rook. A rook
// off its standard square adds a pawn term for that square to the right's key: no pawn
// ever stands on a back rank, so the term is free, and standard chess hashes as before.
void set_castling(Position& pos, int colour, int side, int king, int rook) {
    const int king_to             = king_castled[colour][side];
    pos.castle_rook[colour][side] = rook;
    pos.castle_path[colour][side] = castle_path_of(king, rook, king_to, rook_castled[colour][side]);
    pos.castle_safe[colour][side] = castle_safe_of(king, king_to);
    Key term = zobrist[castle_key_index(colour, side == 0 ? CASTLE_SHORT : CASTLE_LONG)];
    if (rook != rook_home[colour][side])
        term ^= zobrist[piece_key_index(colour, PAWN, rook)];
    pos.castle_key[colour][side] = term;
}

void set_standard_castling(Position& pos) {
    for (int c = BLACK; c <= WHITE; ++c)
        for (int side = 0; side < 2; ++side)
            set_castling(pos, c, side, king_home[c], rook_home[c][side]);
}

void clear_record() {
    Position& pos          = writable_position();
    pos.side_to_move       = WHITE;
    pos.history_length     = 0;
    pos.irreversible_index = 0;
    pos.ep_square          = NO_SQUARE;
    pos.psq_mg = pos.psq_eg = 0;
    pos.key = pos.pawn_key = pos.material_key = 0;
    for (int c = BLACK; c <= WHITE; ++c) {
        pos.nonpawn_material[c] = 0;
        pos.king_square[c]      = NO_SQUARE;
        pos.occupancy[c]        = 0;
        pos.castled[c]          = 0;
        pos.castle_rights[c]    = 0;
        for (int sq = 0; sq < 64; ++sq)
            pos.board[c][sq] = NO_PIECE;
        for (int p = 0; p < 7; ++p) {
            pos.piece_count[c][p] = 0;
            pos.pieces[c][p]      = 0;
        }
    }
    set_standard_castling(pos);
}

int piece_from_letter(char letter) {
    switch (std::tolower(static_cast<unsigned char>(letter))) {
        case 'p': return PAWN;
        case 'n': return KNIGHT;
        case 'b': return BISHOP;
        case 'r': return ROOK;
        case 'q': return QUEEN;
        case 'k': return KING;
        default: return NO_PIECE;
    }
}

bool fail(std::string* error, const char* message) {
    if (error)
        *error = message;
    return false;
}

// The FEN's fields, split on blanks. Returns the number found (at most six).
int split_fields(const std::string& fen, std::string (&fields)[6]) {
    int         count = 0;
    std::size_t i     = 0;
    while (i < fen.size()) {
        while (i < fen.size() && std::isspace(static_cast<unsigned char>(fen[i])))
            ++i;
        if (i >= fen.size())
            break;
        const std::size_t start = i;
        while (i < fen.size() && !std::isspace(static_cast<unsigned char>(fen[i])))
            ++i;
        if (count == 6)
            return 7;
        fields[count++] = fen.substr(start, i - start);
    }
    return count;
}

bool is_counter(const std::string& field) {
    if (field.empty() || field.size() > 6)
        return false;
    for (char ch : field)
        if (!std::isdigit(static_cast<unsigned char>(ch)))
            return false;
    return true;
}

}  // namespace

void new_game() {
    std::srand(static_cast<unsigned>(std::time(nullptr)));
    Position& pos                = writable_position();
    pos.side_to_move             = WHITE;
    pos.history_length           = 0;
    pos.irreversible_index       = 0;
    pos.occupancy[WHITE]         = 0xFFFFull;
    pos.occupancy[BLACK]         = 0xFFFFull << 48;
    const Bitboard white_sets[6] = {0xFF00ull, 0x42ull, 0x24ull, 0x81ull, 0x08ull, 0x10ull};
    for (int p = PAWN; p <= KING; ++p) {
        pos.pieces[WHITE][p] = white_sets[p];
        pos.pieces[BLACK][p] = p == PAWN ? white_sets[p] << 40 : white_sets[p] << 56;
    }
    pos.pieces[WHITE][NO_PIECE] = pos.pieces[BLACK][NO_PIECE] = 0;
    for (int c = BLACK; c <= WHITE; ++c) {
        pos.castled[c]       = 0;
        pos.castle_rights[c] = CASTLE_SHORT | CASTLE_LONG;
    }
    pos.ep_square          = NO_SQUARE;
    pos.king_square[BLACK] = 60;
    pos.king_square[WHITE] = 4;
    for (int c = BLACK; c <= WHITE; ++c)
        for (int sq = 0; sq < 64; ++sq)
            pos.board[c][sq] = NO_PIECE;
    for (int f = 0; f < 8; ++f) {
        pos.board[WHITE][f]      = back_rank_pieces[f];
        pos.board[WHITE][8 + f]  = PAWN;
        pos.board[BLACK][56 + f] = back_rank_pieces[f];
        pos.board[BLACK][48 + f] = PAWN;
    }
    constexpr int start_counts[7] = {8, 2, 2, 2, 1, 1, 0};
    for (int c = BLACK; c <= WHITE; ++c) {
        for (int p = 0; p < 7; ++p)
            pos.piece_count[c][p] = start_counts[p];
        pos.nonpawn_material[c] = 31;
    }
    set_standard_castling(pos);
    compute_keys();
    pos.psq_mg = pos.psq_eg = 0;
}

void set_side_to_move(int side) {
    Position& pos = writable_position();
    if (pos.side_to_move == side)
        return;
    pos.side_to_move = static_cast<std::uint8_t>(side);
    pos.key ^= SIDE_KEY;
    // The en-passant square was left by the double push of the side now to move: its own
    // pawn cannot be taken by itself, and the capture generators would take a pawn that
    // is not there (d2xe3 after 1. e4 and "white"), corrupting the position.
    if (pos.ep_square != NO_SQUARE) {
        pos.key ^= zobrist[ep_key_index(pos.ep_square)];
        pos.ep_square = NO_SQUARE;
    }
}

void reset_search_ply() { writable_search_ply() = 0; }

void copy_game(const Position& record, const HistoryEntry* history) {
    writable_position() = record;
    for (int i = 0; i < record.history_length; ++i)
        writable_history()[i] = history[i];
    writable_search_ply() = 0;
}

namespace {

// What the fields of a FEN say, read one field at a time; the position is set up from it
// only once every field has read.
struct FenReading {
    int squares[64];  // piece code or NO_PIECE
    int colours[64];  // colour, or -1 on an empty square
    int king_squares[2];
    int side;
    int rights[2];
    int rook_squares[2][2];  // [colour][wing]: the rook of each right held
    int ep;

    bool piece_at(int colour, int piece, int sq) const {
        return colours[sq] == colour && squares[sq] == piece;
    }
};

// Placement, rank 8 first.
bool read_placement(const std::string& field, FenReading& r, std::string* error) {
    int rank = 7, file = 0;
    int kings[2] = {0, 0}, pawns[2] = {0, 0}, total[2] = {0, 0};
    int counts[2][7] = {};
    for (int sq = 0; sq < 64; ++sq)
        r.squares[sq] = NO_PIECE, r.colours[sq] = -1;
    for (char ch : field) {
        if (ch == '/') {
            if (file != 8 || rank == 0)
                return fail(error, "each rank of the placement must describe exactly 8 squares");
            --rank;
            file = 0;
        } else if (ch >= '1' && ch <= '8') {
            file += ch - '0';
            if (file > 8)
                return fail(error, "a rank of the placement describes more than 8 squares");
        } else {
            const int piece = piece_from_letter(ch);
            if (piece == NO_PIECE)
                return fail(error, "the placement holds a character that is no piece");
            if (file > 7)
                return fail(error, "a rank of the placement describes more than 8 squares");
            const int colour = std::isupper(static_cast<unsigned char>(ch)) ? WHITE : BLACK;
            const int sq     = make_square(file, rank);
            if (piece == PAWN && (rank == 0 || rank == 7))
                return fail(error, "pawns cannot stand on the first or last rank");
            r.squares[sq] = piece;
            r.colours[sq] = colour;
            kings[colour] += piece == KING;
            ++counts[colour][piece];
            pawns[colour] += piece == PAWN;
            ++total[colour];
            ++file;
        }
    }
    if (rank != 0 || file != 8)
        return fail(error, "the placement must describe exactly 8 ranks of 8 squares");
    if (kings[WHITE] != 1 || kings[BLACK] != 1)
        return fail(error, "each side must have exactly one king");
    // Every piece beyond the initial set must be a promoted pawn. This also bounds the
    // number of moves a position can have, and every count, to those of real games.
    for (int c = BLACK; c <= WHITE; ++c) {
        int promoted = 0;
        for (int p = KNIGHT; p <= QUEEN; ++p) {
            const int initial = p == QUEEN ? 1 : 2;
            promoted += max_int(0, counts[c][p] - initial);
        }
        if (pawns[c] > 8 || pawns[c] + promoted > 8 || total[c] > 16)
            return fail(error, "a side has more pieces than pawn promotions can explain");
    }
    for (int sq = 0; sq < 64; ++sq)
        if (r.squares[sq] == KING)
            r.king_squares[r.colours[sq]] = sq;
    return true;
}

bool read_side(const std::string& field, FenReading& r, std::string* error) {
    if (field == "w")
        r.side = WHITE;
    else if (field == "b")
        r.side = BLACK;
    else
        return fail(error, "the side to move must be w or b");
    return true;
}

// One castling letter: the right it gives and its rook, or false.
bool read_castling_letter(char ch, bool chess960, FenReading& r, std::string* error) {
    const bool white  = std::isupper(static_cast<unsigned char>(ch)) != 0;
    const int  colour = white ? WHITE : BLACK;
    const char letter = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
    int        right  = 0;
    int        rook   = NO_SQUARE;
    if (!chess960) {
        switch (letter) {
            case 'k': right = CASTLE_SHORT; break;
            case 'q': right = CASTLE_LONG; break;
            default: return fail(error, "castling rights must be '-' or letters of KQkq");
        }
        if (r.rights[colour] & right)
            return fail(error, "a castling right is given twice");
        rook = right == CASTLE_SHORT ? king_home[colour] + 3 : king_home[colour] - 4;
        if (!r.piece_at(colour, KING, king_home[colour]) || !r.piece_at(colour, ROOK, rook))
            return fail(error, "a castling right needs its king and rook on their squares");
    } else {
        const int king = r.king_squares[colour];
        const int back = white ? 0 : 7;
        if (rank_of(king) != back)
            return fail(error, "a castling right needs its king on the back rank");
        if (letter == 'k' || letter == 'q') {
            // X-FEN: the outermost rook on that side of the king.
            right          = letter == 'k' ? CASTLE_SHORT : CASTLE_LONG;
            const int step = right == CASTLE_SHORT ? -1 : 1;
            for (int f = right == CASTLE_SHORT ? 7 : 0; f != file_of(king); f += step)
                if (r.piece_at(colour, ROOK, make_square(f, back))) {
                    rook = make_square(f, back);
                    break;
                }
        } else if (letter >= 'a' && letter <= 'h') {
            // Shredder-FEN, or X-FEN naming an inner rook: the rook's file.
            const int f = letter - 'a';
            if (f != file_of(king) && r.piece_at(colour, ROOK, make_square(f, back)))
                rook = make_square(f, back);
            right = f > file_of(king) ? CASTLE_SHORT : CASTLE_LONG;
        } else {
            return fail(error, "castling rights must be '-', letters of KQkq or files");
        }
        if (rook == NO_SQUARE)
            return fail(error, "a castling right needs a rook of its colour on the back rank, "
                               "on that side of the king");
    }
    if (r.rights[colour] & right)
        return fail(error, "a castling right is given twice");
    r.rights[colour] |= right;
    r.rook_squares[colour][castle_side(right)] = rook;
    return true;
}

bool read_castling(const std::string& field, bool chess960, FenReading& r, std::string* error) {
    for (int c = BLACK; c <= WHITE; ++c) {
        r.rights[c] = 0;
        for (int wing = 0; wing < 2; ++wing)
            r.rook_squares[c][wing] = rook_home[c][wing];
    }
    if (field == "-")
        return true;
    for (char ch : field)
        if (!read_castling_letter(ch, chess960, r, error))
            return false;
    return true;
}

bool read_en_passant(const std::string& field, FenReading& r, std::string* error) {
    r.ep = NO_SQUARE;
    if (field == "-")
        return true;
    if (field.size() != 2 || field[0] < 'a' || field[0] > 'h' || field[1] < '1' || field[1] > '8')
        return fail(error, "the en-passant field must be '-' or a square");
    const int ep = make_square(field[0] - 'a', field[1] - '1');
    // The square passed over by the pawn that has just made a double push.
    const int mover     = 1 - r.side;
    const int pawn_sq   = forward_square[mover][ep];
    const int origin_sq = forward_square[r.side][ep];
    const int ep_rank   = mover == WHITE ? 2 : 5;
    if (rank_of(ep) != ep_rank || !r.piece_at(mover, PAWN, pawn_sq) || r.squares[ep] != NO_PIECE
        || r.squares[origin_sq] != NO_PIECE)
        return fail(error, "the en-passant square cannot follow a double pawn push");
    r.ep = ep;
    return true;
}

// Sets the position up from a whole reading, unless the side that has just moved has
// left its king attacked: then the position stays as it was.
bool set_up(const FenReading& r, std::string* error) {
    const Position saved = writable_position();
    clear_record();
    for (int sq = 0; sq < 64; ++sq)
        if (r.squares[sq] != NO_PIECE)
            add_piece(r.colours[sq], r.squares[sq], sq, false);
    writable_position().side_to_move         = static_cast<std::uint8_t>(r.side);
    writable_position().castle_rights[BLACK] = r.rights[BLACK];
    writable_position().castle_rights[WHITE] = r.rights[WHITE];
    for (int c = BLACK; c <= WHITE; ++c)
        for (int wing = 0; wing < 2; ++wing)
            if (r.rights[c] & (wing == 0 ? CASTLE_SHORT : CASTLE_LONG))
                set_castling(writable_position(), c, wing, r.king_squares[c],
                             r.rook_squares[c][wing]);
    writable_position().ep_square = r.ep;
    compute_keys();
    const int      them = 1 - r.side;
    const Bitboard all  = writable_position().occupancy[0] | writable_position().occupancy[1];
    if (is_square_attacked(them, writable_position().king_square[them], all)) {
        writable_position() = saved;
        return fail(error, "the side not to move is in check");
    }
    return true;
}

}  // namespace

bool load_fen(const std::string& fen, std::string* error, bool chess960) {
    std::string fields[6];
    const int   count = split_fields(fen, fields);
    if (count < 4)
        return fail(error,
                    "a FEN needs at least four fields: placement, side, castling, en passant");
    if (count > 6)
        return fail(error, "a FEN has at most six fields");
    FenReading reading{};
    if (!read_placement(fields[0], reading, error) || !read_side(fields[1], reading, error)
        || !read_castling(fields[2], chess960, reading, error)
        || !read_en_passant(fields[3], reading, error))
        return false;
    for (int i = 4; i < count; ++i)
        if (!is_counter(fields[i]))
            return fail(error, "the move counters must be whole numbers");
    if (!set_up(reading, error))
        return false;
    if (error)
        error->clear();
    return true;
}

std::string position_to_fen() {
    const Position& pos = writable_position();
    std::string     fen;
    constexpr char  letters[6] = {'p', 'n', 'b', 'r', 'q', 'k'};
    for (int rank = 7; rank >= 0; --rank) {
        int empty = 0;
        for (int file = 0; file < 8; ++file) {
            const int sq = make_square(file, rank);
            const int c  = pos.board[WHITE][sq] != NO_PIECE ? WHITE : BLACK;
            const int p  = pos.board[c][sq];
            if (p == NO_PIECE) {
                ++empty;
                continue;
            }
            if (empty)
                fen += static_cast<char>('0' + empty);
            empty = 0;
            fen += c == WHITE ? static_cast<char>(std::toupper(letters[p])) : letters[p];
        }
        if (empty)
            fen += static_cast<char>('0' + empty);
        if (rank)
            fen += '/';
    }
    fen += pos.side_to_move == WHITE ? " w " : " b ";
    const std::size_t before = fen.size();
    for (int c = WHITE; c >= BLACK; --c)
        for (int side = 0; side < 2; ++side) {
            if (!(pos.castle_rights[c] & (side == 0 ? CASTLE_SHORT : CASTLE_LONG)))
                continue;
            // KQkq when no rook of the colour stands further out on that side, else the file.
            const int rook    = pos.castle_rook[c][side];
            const int step    = side == 0 ? 1 : -1;
            bool      outer   = true;
            const int edge_sq = make_square(side == 0 ? 7 : 0, rank_of(rook));
            for (int sq = rook; sq != edge_sq;)
                if (pos.board[c][sq += step] == ROOK)
                    outer = false;
            const char letter =
                outer ? (side == 0 ? 'k' : 'q') : static_cast<char>('a' + file_of(rook));
            fen += c == WHITE ? static_cast<char>(std::toupper(letter)) : letter;
        }
    if (fen.size() == before)
        fen += '-';
    fen += ' ';
    if (pos.ep_square == NO_SQUARE) {
        fen += '-';
    } else {
        fen += static_cast<char>('a' + file_of(pos.ep_square));
        fen += static_cast<char>('1' + rank_of(pos.ep_square));
    }
    fen += " 0 1";
    return fen;
}

bool position_is_consistent() {
    const Position& pos    = writable_position();
    int             psq_mg = 0, psq_eg = 0;
    if ((pos.occupancy[WHITE] & pos.occupancy[BLACK]) != 0)
        return false;
    for (int c = BLACK; c <= WHITE; ++c) {
        const int sign     = c == WHITE ? 1 : -1;
        Bitboard  union_   = 0;
        int       material = 0;
        for (int p = PAWN; p <= KING; ++p) {
            union_ |= pos.pieces[c][p];
            if (popcount(pos.pieces[c][p]) != pos.piece_count[c][p])
                return false;
            material += material_unit[p] * pos.piece_count[c][p];
            for (Bitboard b = pos.pieces[c][p]; b; b &= b - 1) {
                const int sq = lsb_index(b);
                psq_mg += sign * piece_square[c][p][sq].mg;
                psq_eg += sign * piece_square[c][p][sq].eg;
            }
        }
        if (union_ != pos.occupancy[c] || material != pos.nonpawn_material[c])
            return false;
        if (pos.piece_count[c][KING] != 1 || pos.piece_count[c][NO_PIECE] != 0)
            return false;
        if (pos.pieces[c][KING] != square_bit[pos.king_square[c]])
            return false;
        for (int sq = 0; sq < 64; ++sq) {
            const int p = pos.board[c][sq];
            if (p == NO_PIECE ? (pos.occupancy[c] & square_bit[sq]) != 0
                              : (pos.pieces[c][p] & square_bit[sq]) == 0)
                return false;
        }
    }
    const PositionKeys keys = keys_from_scratch();
    return psq_mg == pos.psq_mg && psq_eg == pos.psq_eg && keys.key == pos.key
           && keys.pawn_key == pos.pawn_key && keys.material_key == pos.material_key;
}
