// Tests of the evaluation driver: tempo, dead draws, the lazy exit, scaling, colour
// symmetry over real games and the honesty of the pawn and material caches.
#include <gtest/gtest.h>

#include "eval/evaluate.h"
#include "eval/material.h"
#include "eval/pawns.h"
#include "eval/pieces.h"
#include "position/attacks.h"
#include "position/bitboard.h"
#include "position/position.h"
#include "position/position_writer.h"
#include "support/eval_support.h"

namespace {

constexpr const char* START = "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1";
// A quiet middlegame whose piece terms move the score away from the cheap score.
constexpr const char* MIDDLEGAME =
    "r1bq1rk1/pp2bppp/2n1pn2/3p4/2PP4/2N2N2/PP2BPPP/R2QKB1R w KQ - 0 8";

int full_eval() { return evaluate(-MATE, MATE); }

TEST(Evaluate, StartPositionIsTheTempoForEitherSide) {
    set_eval_fen(START);
    EXPECT_EQ(full_eval(), 15);
    set_eval_fen("rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR b KQkq - 0 1");
    EXPECT_EQ(full_eval(), 15);
}

TEST(Evaluate, DeadDrawsReturnZeroBeforeAnyOtherTerm) {
    for (const char* fen : {
             "4k3/8/8/8/8/8/8/4K3 w - - 0 1",     // bare kings
             "r3k3/8/8/8/8/8/8/R3K3 w - - 0 1",   // KR v KR
             "3qk3/8/8/8/8/8/8/3QK3 b - - 0 1",   // KQ v KQ
             "4k3/8/8/8/8/8/8/1N2K3 w - - 0 1",   // KN v K
             "4k3/8/8/8/8/8/8/1N2KN2 w - - 0 1",  // KNN v K
             "8/8/8/8/8/k7/p7/K7 w - - 0 1",      // KPK, rook pawn held
         }) {
        set_eval_fen(fen);
        const EvalTrace trace = full_trace();
        EXPECT_EQ(full_eval(), 0) << fen;
        EXPECT_EQ(trace.exit, EXIT_DEAD_DRAW) << fen;
    }
    // Rook against bare king is no draw, and bishop and knight can still win.
    for (const char* fen : {"4k3/8/8/8/8/8/8/R3K3 b - - 0 1", "4k3/8/8/8/8/8/8/1NB1K3 w - - 0 1"}) {
        set_eval_fen(fen);
        EXPECT_GT(full_trace().blended, 0) << fen;
        EXPECT_NE(full_eval(), 0) << fen;
    }
}

TEST(Evaluate, KpkRecogniserScoresLostPawnEndingsAsDraws) {
    // Black king on the pawn's second square ahead, White to move: drawn.
    const char* held = "8/8/4k3/8/4P3/4K3/8/8 w - - 0 1";
    set_eval_fen(held);
    EvalTrace trace = full_trace();
    EXPECT_EQ(trace.recogniser, RECOGNISER_KPK_WHITE);
    EXPECT_EQ(trace.score, 0);
    set_eval_fen(mirror_fen(held));
    trace = full_trace();
    EXPECT_EQ(trace.recogniser, RECOGNISER_KPK_BLACK);
    EXPECT_EQ(trace.score, 0);
    // A pawn far ahead of the defending king is scored, positive for its owner.
    set_eval_fen("8/8/8/4P3/8/8/8/k3K3 b - - 0 1");
    trace = full_trace();
    EXPECT_EQ(trace.recogniser, RECOGNISER_NONE);
    EXPECT_LT(trace.score, 0) << "Black to move, White is winning";
}

// The lazy exit fires when the cheap score misses the window by exactly lazy_margin, and
// returns the unscaled cheap score.
TEST(Evaluate, LazyExitFiresAtAMissOfExactly200) {
    for (const char* fen :
         {MIDDLEGAME, "r1bq1rk1/pp2bppp/2n1pn2/3p4/2PP4/2N2N2/PP2BPPP/R2QKB1R b KQ - 0 8"}) {
        set_eval_fen(fen);
        const EvalTrace trace = full_trace();
        const int       cheap = trace.lazy_score;
        ASSERT_TRUE(trace.lazy_allowed);
        ASSERT_NE(cheap, trace.score) << "the position must tell the cheap score apart";

        EvalTrace at;
        EXPECT_EQ(evaluate(-MATE, cheap - lazy_margin), cheap) << "beta = s - 200";
        evaluate_traced(-MATE, cheap - lazy_margin, at);
        EXPECT_EQ(at.exit, EXIT_LAZY);
        EXPECT_EQ(evaluate(cheap + lazy_margin, MATE), cheap) << "alpha = s + 200";

        EXPECT_EQ(evaluate(-MATE, cheap - lazy_margin + 1), trace.score) << "beta = s - 199";
        evaluate_traced(-MATE, cheap - lazy_margin + 1, at);
        EXPECT_EQ(at.exit, EXIT_FULL);
        EXPECT_EQ(evaluate(cheap + lazy_margin - 1, MATE), trace.score) << "alpha = s + 199";
    }
}

TEST(Evaluate, LazyExitNeverWithSixOrLessPieceMaterial) {
    // White has two bishops (6) against Black's full army; Black has rook and knight (8).
    for (const char* fen : {"rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/2B1KB2 w kq - 0 1",
                            "4k3/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR b KQ - 0 1",
                            "1n2k2r/pppppppp/8/8/8/8/PPPPPPPP/2B1KB2 w k - 0 1"}) {
        set_eval_fen(fen);
        const EvalTrace trace = full_trace();
        EXPECT_FALSE(trace.lazy_allowed) << fen;
        for (int window : {-31000, -1000, 0, 1000, 31000}) {
            EvalTrace narrow;
            EXPECT_EQ(evaluate_traced(window, window + 1, narrow), trace.score) << fen;
            EXPECT_EQ(narrow.exit, EXIT_FULL) << fen;
        }
    }
    // Rook and knight (8) against two bishops and a rook: the exit is allowed.
    set_eval_fen("1n2k2r/pppppppp/8/8/8/8/PPPPPPPP/2B1KB1R w Kk - 0 1");
    EXPECT_TRUE(full_trace().lazy_allowed);
}

TEST(Evaluate, ScalingTruncatesTowardZeroAndOnlyForTheLeadingSide) {
    // One bishop each on squares of different colours, pawns within two: both scales 8.
    // Blended +179, its mirror -179, and -15 (which scales to -7, not -8).
    for (const char* fen :
         {"4k3/5p2/8/3b4/8/8/1PP2B2/4K3 b - - 0 1", "4k3/1pp2b2/8/8/3B4/8/5P2/4K3 w - - 0 1",
          "4k3/5p2/8/3b4/8/8/1P3B2/4K3 w - - 0 1"}) {
        set_eval_fen(fen);
        const EvalTrace trace = full_trace();
        ASSERT_EQ(trace.recogniser, RECOGNISER_OPPOSITE_BISHOPS) << fen;
        EXPECT_EQ(trace.scale_white, 8);
        EXPECT_EQ(trace.scale_black, 8);
        const int white_view = trace.blended * 8 / 16;  // '/' truncates toward zero
        EXPECT_EQ(trace.score, position().side_to_move == WHITE ? white_view : -white_view);
        EXPECT_NE(trace.blended % 2, 0) << fen << ": pick a position that tests truncation";
    }
    // Bishops on squares of the same colour (d5, e2): nothing is scaled.
    set_eval_fen("4k3/5p2/8/3b4/8/8/1PP1B3/4K3 w - - 0 1");
    EvalTrace trace = full_trace();
    EXPECT_EQ(trace.recogniser, RECOGNISER_NONE);
    EXPECT_EQ(trace.scale_white, 16);
    EXPECT_EQ(trace.scale_black, 16);
    // Rook against bishop: Black cannot win (scale 0) but White's lead is not scaled.
    set_eval_fen("4k3/8/8/8/3b4/8/8/R3K3 w - - 0 1");
    trace = full_trace();
    EXPECT_EQ(trace.scale_white, 16);
    EXPECT_EQ(trace.scale_black, 0);
    EXPECT_GT(trace.blended, 0);
    EXPECT_EQ(trace.score, trace.blended);
    // A bishop against a rook for the side that cannot win: a negative score stays.
    set_eval_fen(mirror_fen("4k3/8/8/8/3b4/8/8/R3K3 w - - 0 1"));
    trace = full_trace();
    EXPECT_EQ(trace.scale_white, 0);
    EXPECT_LT(trace.blended, 0);
    EXPECT_EQ(trace.score, -trace.blended);
}

TEST(Evaluate, MopUpDrivesTheLoneKingToTheEdge) {
    // Queen against bare king: d = 4 between e1 and a5... the bonus is the edge value of the
    // lone king plus 10 per step the kings are closer than 3.
    set_eval_fen("8/8/8/k7/8/8/8/3QK3 w - - 0 1");
    EvalTrace trace = full_trace();
    EXPECT_EQ(trace.eg[TERM_MOPUP][WHITE], mopup_edge[32] + 10 * (3 - 4));
    EXPECT_EQ(trace.eg[TERM_MOPUP][BLACK], 0);
    // Equal pieces and no pawns: nobody mops up.
    set_eval_fen("4k3/8/8/8/8/8/8/2B1Kb2 w - - 0 1");
    trace = full_trace();
    EXPECT_EQ(trace.eg[TERM_MOPUP][WHITE] + trace.eg[TERM_MOPUP][BLACK], 0);
}

// Black's bishop on g7 weighs its blocked pawns 3 where White's on g2 weighs them 2: the
// only term the colour mirror may change. Returns the extra pawn count j of that term
// (Black's bishop on g7 with own pawns on f6/h6 that cannot advance).
int g7_blocked_pawns() {
    const Position& pos = position();
    constexpr int   G7  = BISHOP_BLOCK_ASYMMETRIC_SQUARE;
    if ((pos.pieces[BLACK][BISHOP] & square_bit[G7]) == 0)
        return 0;
    const Bitboard diagonal = pos.pieces[BLACK][PAWN] & pawn_attacks[BLACK][G7];
    return popcount((diagonal >> 8) & (pos.occupancy[WHITE] | pos.occupancy[BLACK]));
}

// Checks one position against its colour mirror, term by term.
void expect_mirror_symmetry(const std::string& fen) {
    set_eval_fen(fen);
    const EvalTrace original       = full_trace();
    const int       original_score = full_eval();
    const int       original_j     = g7_blocked_pawns();
    set_eval_fen(mirror_fen(fen));
    const EvalTrace mirrored       = full_trace();
    const int       mirrored_score = full_eval();
    const int       mirrored_j     = g7_blocked_pawns();

    // Each of Black's blocked pawns at g7 costs 8 mg / 10 eg more than at g2 for White, in
    // whichever of the two positions Black has the g7 bishop.
    const int extra_mg = 8 * (original_j + mirrored_j);
    const int extra_eg = 10 * (original_j + mirrored_j);

    for (int t = 0; t < TERM_COUNT; ++t) {
        const EvalTerm term = static_cast<EvalTerm>(t);
        if (original.net_only[t]) {
            EXPECT_EQ(original.mg[t][WHITE], -mirrored.mg[t][WHITE]) << fen << " term " << t;
            EXPECT_EQ(original.eg[t][WHITE], -mirrored.eg[t][WHITE]) << fen << " term " << t;
            continue;
        }
        for (int c = BLACK; c <= WHITE; ++c) {
            int adjust_mg = 0, adjust_eg = 0;
            if (term == TERM_BISHOPS && c == BLACK) {
                adjust_mg = original_j > 0 ? -8 * original_j : 0;
                adjust_eg = original_j > 0 ? -10 * original_j : 0;
            }
            if (term == TERM_BISHOPS && c == WHITE) {
                adjust_mg = mirrored_j > 0 ? 8 * mirrored_j : 0;
                adjust_eg = mirrored_j > 0 ? 10 * mirrored_j : 0;
            }
            EXPECT_EQ(term_mg(original, term, c), term_mg(mirrored, term, 1 - c) + adjust_mg)
                << fen << " term " << t << " colour " << c;
            EXPECT_EQ(term_eg(original, term, c), term_eg(mirrored, term, 1 - c) + adjust_eg)
                << fen << " term " << t << " colour " << c;
        }
    }
    EXPECT_EQ(original.phase, mirrored.phase) << fen;
    EXPECT_EQ(original.scale_white, mirrored.scale_black) << fen;
    EXPECT_EQ(original.scale_black, mirrored.scale_white) << fen;
    EXPECT_EQ(original.total_mg, -mirrored.total_mg + extra_mg) << fen;
    EXPECT_EQ(original.total_eg, -mirrored.total_eg + extra_eg) << fen;
    if (extra_mg == 0) {
        EXPECT_EQ(original_score, mirrored_score) << fen;
    }
}

TEST(EvaluateSymmetry, BenchPositionsEqualTheirColourMirrors) {
    const auto fens = bench_fens();
    ASSERT_EQ(fens.size(), 50u);
    for (const std::string& fen : fens)
        expect_mirror_symmetry(fen);
}

TEST(EvaluateSymmetry, MarcelPositionsEqualTheirColourMirrors) {
    const auto fens = marcel_fens(2000);
    ASSERT_EQ(fens.size(), 2000u);
    for (const std::string& fen : fens)
        expect_mirror_symmetry(fen);
}

TEST(EvaluateSymmetry, TheG7BishopIsTheOneKnownException) {
    // Black's fianchettoed bishop behind a blocked f6 pawn; White's mirror is on g2.
    const std::string fen = "r5k1/5pb1/5p2/5N2/8/8/5PP1/6K1 w - - 0 1";
    set_eval_fen(fen);
    ASSERT_EQ(g7_blocked_pawns(), 1);
    const EvalTrace original = full_trace();
    set_eval_fen(mirror_fen(fen));
    const EvalTrace mirrored = full_trace();
    EXPECT_EQ(original.mg[TERM_BISHOPS][BLACK], mirrored.mg[TERM_BISHOPS][WHITE] - 8);
    EXPECT_EQ(original.eg[TERM_BISHOPS][BLACK], mirrored.eg[TERM_BISHOPS][WHITE] - 10);
    expect_mirror_symmetry(fen);
}

// Cold hashes, warm hashes, one-entry hashes where every position evicts the last: the
// same score every time.
TEST(EvaluateCache, SameScoreColdWarmAndThroughCollisions) {
    init_eval_tables();
    auto fens = bench_fens();
    for (const std::string& fen : marcel_fens(200))
        fens.push_back(fen);
    std::vector<int> cold;
    for (const std::string& fen : fens) {
        set_eval_fen(fen);  // clears both hashes
        cold.push_back(full_eval());
        EXPECT_EQ(full_eval(), cold.back()) << fen << " (warm)";
    }
    for (std::size_t i = 0; i < fens.size(); ++i) {  // warm from the first pass, no clearing
        ASSERT_TRUE(load_fen(fens[i]));
        EXPECT_EQ(full_eval(), cold[i]) << fens[i] << " (warm table)";
    }

    allocate_pawn_hash_bytes(0);
    allocate_material_hash_bytes(0);
    ASSERT_EQ(pawn_hash_entries(), 1u);
    ASSERT_EQ(material_hash_entries(), 1u);
    for (int round = 0; round < 2; ++round)
        for (std::size_t i = 0; i < fens.size(); ++i) {
            ASSERT_TRUE(load_fen(fens[i]));
            EXPECT_EQ(full_eval(), cold[i]) << fens[i] << " (one entry, evicted)";
            EXPECT_EQ(full_eval(), cold[i]) << fens[i] << " (one entry, hit)";
        }
    allocate_pawn_hash(1);
    allocate_material_hash(1);

    // Unwritten slots are all zeros; keys whose high 32 bits are 0 must still miss them.
    set_eval_fen(MIDDLEGAME);  // clears both hashes
    const int expected = full_eval();
    clear_pawn_hash();
    clear_material_hash();
    writable_position().pawn_key     = 0x1234;
    writable_position().material_key = 0x5678;
    EXPECT_EQ(full_eval(), expected);
}

TEST(EvaluateCache, HashSizesArePowersOfTwoFromMegabytes) {
    allocate_pawn_hash(0);
    EXPECT_EQ(pawn_hash_entries(), (1u << 20) / 32);
    allocate_pawn_hash(3);
    EXPECT_EQ(pawn_hash_entries(), (2u << 20) / 32);
    allocate_material_hash(0);
    EXPECT_EQ(material_hash_entries(), (1u << 20) / 16);
    allocate_material_hash(5);
    EXPECT_EQ(material_hash_entries(), (4u << 20) / 16);
    allocate_pawn_hash_bytes(100);
    EXPECT_EQ(pawn_hash_entries(), 2u);
    allocate_pawn_hash(1);
    allocate_material_hash(1);
}

}  // namespace
