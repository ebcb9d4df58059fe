#include "support/eval_support.h"

#include <algorithm>
#include <cctype>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>

#include "eval/material.h"
#include "eval/pawns.h"
#include "position/position.h"
#include "support/position_support.h"

void init_eval_tables() {
    static const bool built = [] {
        init_engine_tables();
        allocate_pawn_hash(1);
        allocate_material_hash(1);
        return true;
    }();
    (void)built;
}

void set_eval_fen(const std::string& fen) {
    init_eval_tables();
    clear_pawn_hash();
    clear_material_hash();
    set_fen(fen);
}

std::string mirror_fen(const std::string& fen) {
    std::istringstream in(fen);
    std::string        board, side, castling, ep, rest;
    in >> board >> side >> castling >> ep;
    std::getline(in, rest);

    auto swap_case = [](char ch) {
        return std::isupper(static_cast<unsigned char>(ch))
                   ? static_cast<char>(std::tolower(static_cast<unsigned char>(ch)))
                   : static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
    };
    std::vector<std::string> ranks;
    std::stringstream        rows(board);
    for (std::string row; std::getline(rows, row, '/');)
        ranks.push_back(row);
    std::string flipped;
    for (auto it = ranks.rbegin(); it != ranks.rend(); ++it) {
        if (!flipped.empty())
            flipped += '/';
        for (char ch : *it)
            flipped += swap_case(ch);
    }

    std::string rights;
    if (castling == "-") {
        rights = "-";
    } else {
        for (char ch : std::string("KQkq"))
            if (castling.find(swap_case(ch)) != std::string::npos)
                rights += ch;
    }
    if (ep != "-" && ep.size() == 2)
        ep[1] = ep[1] == '3' ? '6' : '3';
    return flipped + ' ' + (side == "w" ? "b" : "w") + ' ' + rights + ' ' + ep + rest;
}

static std::vector<std::string> read_lines(const std::string& name, std::size_t count) {
    std::ifstream file(std::string(VELMORA_DATA_DIR "/") + name);
    if (!file)
        ADD_FAILURE() << "cannot read " << VELMORA_DATA_DIR "/" << name;
    std::vector<std::string> fens;
    for (std::string line; fens.size() < count && std::getline(file, line);) {
        line = line.substr(0, line.find(';'));
        while (!line.empty() && std::isspace(static_cast<unsigned char>(line.back())))
            line.pop_back();
        if (!line.empty())
            fens.push_back(line);
    }
    return fens;
}

std::vector<std::string> bench_fens() { return read_lines("bench.fen", 1000); }
std::vector<std::string> marcel_fens(std::size_t count) {
    return read_lines("perft-marcel.epd", count);
}

EvalTrace full_trace() {
    EvalTrace trace;
    evaluate_traced(-MATE, MATE, trace);
    return trace;
}

int term_mg(const EvalTrace& trace, EvalTerm term, int colour) {
    return trace.net_only[term] ? trace.mg[term][WHITE] : trace.mg[term][colour];
}
int term_eg(const EvalTrace& trace, EvalTerm term, int colour) {
    return trace.net_only[term] ? trace.eg[term][WHITE] : trace.eg[term][colour];
}
