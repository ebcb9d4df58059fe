#include "support/position_support.h"

#include <fstream>
#include <gtest/gtest.h>
#include <sstream>

#include "eval/psq.h"
#include "position/attacks.h"
#include "position/make_move.h"
#include "position/move.h"
#include "position/valid_move.h"

void init_engine_tables() {
    static const bool built = [] {
        init_line_tables();
        init_magics();
        init_piece_square();
        return true;
    }();
    (void)built;
}

void set_fen(const std::string& fen) {
    init_engine_tables();
    std::string error;
    ASSERT_TRUE(load_fen(fen, &error) || load_fen(fen, nullptr, true)) << fen << ": " << error;
}

std::vector<Move> brute_force_valid_moves() {
    std::vector<Move> moves;
    for (int from = 0; from < 64; ++from)
        for (int to = 0; to < 64; ++to) {
            const Move words[] = {
                make_quiet(from, to),
                make_capture(from, to),
                make_en_passant(from, to),
                make_quiet(from, to) | FLAG_CASTLE_SHORT,
                make_quiet(from, to) | FLAG_CASTLE_LONG,
                make_promotion(from, to, KNIGHT, false),
                make_promotion(from, to, BISHOP, false),
                make_promotion(from, to, ROOK, false),
                make_promotion(from, to, QUEEN, false),
                make_promotion(from, to, KNIGHT, true),
                make_promotion(from, to, BISHOP, true),
                make_promotion(from, to, ROOK, true),
                make_promotion(from, to, QUEEN, true),
            };
            for (Move m : words)
                if (is_valid_move(m))
                    moves.push_back(m);
        }
    return moves;
}

std::vector<Move> brute_force_legal_moves() {
    std::vector<Move> legal;
    for (Move m : brute_force_valid_moves()) {
        if (make_move(m))
            legal.push_back(m);
        unmake_move();
    }
    return legal;
}

bool same_position(const Position& a, const Position& b, std::string* difference) {
    auto differ = [&](const char* field) {
        if (difference)
            *difference = field;
        return false;
    };
    if (a.side_to_move != b.side_to_move)
        return differ("side_to_move");
    if (a.history_length != b.history_length)
        return differ("history_length");
    if (a.irreversible_index != b.irreversible_index)
        return differ("irreversible_index");
    if (a.ep_square != b.ep_square)
        return differ("ep_square");
    if (a.psq_mg != b.psq_mg || a.psq_eg != b.psq_eg)
        return differ("psq sums");
    if (a.key != b.key || a.pawn_key != b.pawn_key || a.material_key != b.material_key)
        return differ("keys");
    for (int c = 0; c < 2; ++c) {
        if (a.nonpawn_material[c] != b.nonpawn_material[c])
            return differ("nonpawn_material");
        if (a.king_square[c] != b.king_square[c])
            return differ("king_square");
        if (a.occupancy[c] != b.occupancy[c])
            return differ("occupancy");
        if (a.castled[c] != b.castled[c])
            return differ("castled");
        if (a.castle_rights[c] != b.castle_rights[c])
            return differ("castle_rights");
        for (int side = 0; side < 2; ++side)
            if (a.castle_rook[c][side] != b.castle_rook[c][side]
                || a.castle_path[c][side] != b.castle_path[c][side]
                || a.castle_safe[c][side] != b.castle_safe[c][side]
                || a.castle_key[c][side] != b.castle_key[c][side])
                return differ("castling geometry");
        for (int sq = 0; sq < 64; ++sq)
            if (a.board[c][sq] != b.board[c][sq])
                return differ("board");
        for (int p = 0; p < 6; ++p)
            if (a.piece_count[c][p] != b.piece_count[c][p] || a.pieces[c][p] != b.pieces[c][p])
                return differ("pieces");
    }
    return true;
}

std::vector<PerftCase> read_perft_file(const std::string& name) {
    std::vector<PerftCase> cases;
    std::ifstream          in(std::string(VELMORA_DATA_DIR "/") + name);
    if (!in)
        ADD_FAILURE() << "cannot read " << VELMORA_DATA_DIR "/" << name;
    std::string line;
    while (std::getline(in, line)) {
        const std::size_t semi = line.find(';');
        if (semi == std::string::npos)
            continue;
        PerftCase c;
        c.fen = line.substr(0, semi);
        std::stringstream rest(line.substr(semi));
        std::string       token;
        // Fields look like ";D1 20" or "; D1 20".
        int expected_depth = 1;
        while (std::getline(rest, token, ';')) {
            std::stringstream field(token);
            std::string       depth_word;
            long long         count = 0;
            if (!(field >> depth_word >> count) || depth_word.size() < 2 || depth_word[0] != 'D')
                continue;
            const int depth = std::stoi(depth_word.substr(1));
            // Lines that give a single depth keep the earlier ones unknown (-1).
            while (expected_depth < depth) {
                c.counts.push_back(-1);
                ++expected_depth;
            }
            c.counts.push_back(count);
            ++expected_depth;
        }
        cases.push_back(c);
    }
    return cases;
}
