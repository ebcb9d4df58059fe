// The four generators: agreement with the validity test and with each other at every
// node of small trees, and the documented lists and orders.
#include <algorithm>
#include <gtest/gtest.h>

#include "movegen/captures.h"
#include "movegen/evasions.h"
#include "movegen/quiet_checks.h"
#include "movegen/quiets.h"
#include "position/attacked.h"
#include "position/make_move.h"
#include "position/move.h"
#include "position/position.h"
#include "position/valid_move.h"
#include "support/movegen_support.h"
#include "support/position_support.h"

namespace {

std::vector<Move> sorted(std::vector<Move> moves) {
    std::sort(moves.begin(), moves.end());
    return moves;
}

bool has_duplicates(const std::vector<Move>& moves) {
    const std::vector<Move> s = sorted(moves);
    return std::adjacent_find(s.begin(), s.end()) != s.end();
}

std::vector<Move> captures() {
    MoveList list;
    generate_captures(list);
    return list_moves(list);
}
std::vector<Move> quiets() {
    MoveList list;
    generate_quiets(0, list);
    return list_moves(list);
}
std::vector<Move> evasions() {
    MoveList list;
    generate_evasions(list);
    return list_moves(list);
}
std::vector<Move> quiet_checks() {
    MoveList list;
    generate_quiet_checks(list);
    return list_moves(list);
}

// Every position of the small perft files, and every stride-th Marcel position.
std::vector<std::string> sample_fens(int marcel_stride) {
    std::vector<std::string> fens;
    for (const char* file : {"perft-standard.epd", "perft-stress.epd", "perft-960.epd"})
        for (const PerftCase& c : read_perft_file(file))
            fens.push_back(c.fen);
    const std::vector<PerftCase> marcel = read_perft_file("perft-marcel.epd");
    for (std::size_t i = 0; i < marcel.size(); i += static_cast<std::size_t>(marcel_stride))
        fens.push_back(marcel[i].fen);
    return fens;
}

// Checks made at every node: what each generator yields, against the validity test,
// gives_check and make_move.
void check_node(const std::string& fen) {
    const std::vector<Move> valid = sorted(brute_force_valid_moves());
    if (in_check()) {
        const std::vector<Move> ev = evasions();
        EXPECT_FALSE(has_duplicates(ev)) << fen;
        for (const Move m : ev)
            EXPECT_TRUE(std::binary_search(valid.begin(), valid.end(), m))
                << "not pseudo-legal: " << m << " in " << position_to_fen();
        EXPECT_EQ(sorted(legal_generated_moves()), sorted(brute_force_legal_moves()))
            << position_to_fen();
        return;
    }
    const std::vector<Move> caps = captures();
    const std::vector<Move> qs   = quiets();
    for (const Move m : caps)
        EXPECT_TRUE(is_tactical(m)) << m << " in " << position_to_fen();
    for (const Move m : qs)
        EXPECT_FALSE(is_tactical(m)) << m << " in " << position_to_fen();
    std::vector<Move> all = caps;
    all.insert(all.end(), qs.begin(), qs.end());
    // Not in check, the two generators give exactly the pseudo-legal moves.
    EXPECT_EQ(sorted(all), valid) << position_to_fen();

    std::vector<Move> checking;
    for (const Move m : qs)
        if (gives_check(m))
            checking.push_back(m);
    const std::vector<Move> qc = quiet_checks();
    EXPECT_FALSE(has_duplicates(qc)) << position_to_fen();
    EXPECT_EQ(sorted(qc), sorted(checking)) << position_to_fen();
}

}  // namespace

TEST(Generators, AgreeWithValidityTestAndGivesCheck) {
    // The brute-force list costs about a millisecond a node: every node one ply below
    // the classic positions, and the roots of the whole sample.
    init_engine_tables();
    for (const char* file : {"perft-standard.epd", "perft-960.epd"})
        for (const PerftCase& c : read_perft_file(file)) {
            set_fen(c.fen);
            walk_tree(1, [&] { check_node(c.fen); });
        }
    for (const std::string& fen : sample_fens(sample_stride(8) * 8)) {
        set_fen(fen);
        check_node(fen);
        if (HasFailure())
            return;
    }
}

TEST(Generators, QuietChecksAndEvasionsOverDeeperTrees) {
    // Two plies below each root reach many more checks and replies to check. In check,
    // the legal evasions must be the legal moves among all pseudo-legal ones.
    init_engine_tables();
    for (const std::string& fen : sample_fens(sample_stride(8) * 2)) {
        set_fen(fen);
        walk_tree(2, [&] {
            std::vector<Move> all = captures();
            for (const Move m : quiets())
                all.push_back(m);
            if (in_check()) {
                std::vector<Move> legal;
                for (const Move m : all) {
                    if (make_move(m))
                        legal.push_back(m);
                    unmake_move();
                }
                EXPECT_EQ(sorted(legal_generated_moves()), sorted(legal)) << position_to_fen();
                for (const Move m : evasions())
                    EXPECT_TRUE(is_valid_move(m)) << m << " in " << position_to_fen();
                return;
            }
            std::vector<Move> checking;
            for (const Move m : all)
                if (!is_tactical(m) && gives_check(m))
                    checking.push_back(m);
            EXPECT_EQ(sorted(quiet_checks()), sorted(checking)) << position_to_fen();
        });
        if (HasFailure())
            return;
    }
}
