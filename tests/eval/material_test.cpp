// Tests of the material table: balance corrections, phase, draw rules, flags and the
// two endgame recognisers.
#include <gtest/gtest.h>

#include "eval/material.h"
#include "position/position.h"
#include "support/eval_support.h"

namespace {

MaterialInfo material_of(const std::string& fen) {
    set_eval_fen(fen);
    return probe_material();
}

TEST(Material, StartPositionIsBalancedMiddleGameWithBothAttacksOn) {
    const MaterialInfo info =
        material_of("rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1");
    EXPECT_EQ(info.mg, 0);
    EXPECT_EQ(info.eg, 0);
    EXPECT_EQ(info.phase, 0);
    EXPECT_EQ(info.scale_white, 16);
    EXPECT_EQ(info.scale_black, 16);
    EXPECT_EQ(info.material_flags, MF_WHITE_ATTACK | MF_BLACK_ATTACK);
    // A hit returns the same packed values.
    const MaterialInfo hit = probe_material();
    EXPECT_EQ(hit.phase, info.phase);
    EXPECT_EQ(hit.material_flags, info.material_flags);
    EXPECT_EQ(hit.scale_white, 16);
}

TEST(Material, DrawRulesSetScaleFactors) {
    struct Case {
        const char* fen;
        int         scale_white;
        int         scale_black;
    };
    const Case cases[] = {
        {"4k3/8/8/8/8/8/8/1N2K3 w - - 0 1", 0, 0},    // KN v K: the bare side cannot win either
        {"4k3/8/8/8/8/8/8/1N2KN2 w - - 0 1", 0, 0},   // KNN v K
        {"4k3/8/8/8/8/8/8/1NB1K3 w - - 0 1", 16, 0},  // KBN v K wins
        {"r3k3/8/8/8/8/8/8/R3K3 w - - 0 1", 0, 0},    // KR v KR
        {"3qk3/8/8/8/8/8/8/3QK3 w - - 0 1", 0, 0},    // KQ v KQ
        {"4k3/8/8/8/3b4/8/8/R3K3 w - - 0 1", 16, 0},  // KR v KB
        {"4k3/8/8/8/3b4/8/8/B3K3 w - - 0 1", 0, 0},   // KB v KB
        {"4k3/8/8/8/8/8/8/BB2K3 w - - 0 1", 16, 0},   // two bishops win
    };
    for (const Case& c : cases) {
        const MaterialInfo info = material_of(c.fen);
        EXPECT_EQ(info.scale_white, c.scale_white) << c.fen;
        EXPECT_EQ(info.scale_black, c.scale_black) << c.fen;
        const MaterialInfo mirrored = material_of(mirror_fen(c.fen));
        EXPECT_EQ(mirrored.scale_white, c.scale_black) << c.fen;
        EXPECT_EQ(mirrored.scale_black, c.scale_white) << c.fen;
    }
}

TEST(Material, FlagsAskForTheRightRecogniser) {
    EXPECT_EQ(material_of("4k3/8/8/8/8/8/4P3/4K3 w - - 0 1").material_flags, MF_KPK_WHITE);
    EXPECT_EQ(material_of("4k3/4p3/8/8/8/8/8/4K3 w - - 0 1").material_flags, MF_KPK_BLACK);
    // One bishop each and pawns two apart: a bishop ending; three apart: not.
    EXPECT_EQ(material_of("4k3/8/8/3b4/8/8/1PP1B3/4K3 w - - 0 1").material_flags, MF_BISHOP_ENDING);
    EXPECT_EQ(material_of("4k3/8/8/3b4/8/8/PPP1B3/4K3 w - - 0 1").material_flags, 0);
    // A queen alone does not attack; a queen and a knight do.
    EXPECT_EQ(material_of("4k3/8/8/8/8/8/8/3QK3 w - - 0 1").material_flags, 0);
    EXPECT_EQ(material_of("4k3/8/8/8/8/8/8/3QKN2 w - - 0 1").material_flags, MF_WHITE_ATTACK);
}

TEST(Material, ExchangeForTwoPawnsGetsTheCloseBalanceBonus) {
    // White rook and six pawns against Black bishop and eight pawns.
    const MaterialInfo info    = material_of("4k3/pppppppp/8/8/8/3b4/PPPPPP2/4K2R w - - 0 1");
    const int          base_mg = VALUE_PAWN_MG * (6 - 8) + VALUE_ROOK - VALUE_BISHOP;  // -5
    const int          base_eg = VALUE_PAWN_EG * (6 - 8) + VALUE_ROOK - VALUE_BISHOP;  // -25
    // Black is ahead in end-game totals (1125 v 1100): trading favours Black.
    const int trading  = 8 * (6 - 8) + 2 * 5 - 62;
    const int by_pawns = (16 - 6 - 8) * (1 - 0);  // rooks gain as pawns go
    EXPECT_EQ(info.mg, base_mg + 35 + by_pawns);
    EXPECT_EQ(info.eg, base_eg + 25 + trading + by_pawns);
}

TEST(Material, BishopPairAndKnightsByPawns) {
    // Two bishops against a knight, pawns equal (5 each).
    const MaterialInfo info     = material_of("4k3/ppppp3/8/8/4n3/8/PPPPP3/2B1KB2 w - - 0 1");
    const int          base     = VALUE_BISHOP;                     // 650 - 325
    const int          trading  = 8 * 0 - 2 * min_int(3, 31) + 62;  // White ahead
    const int          by_pawns = 4 * 0 * 0 - 4 * 1 * (5 - 5) + 0;  // a knight with 5 pawns
    EXPECT_EQ(info.mg, base + 50 + by_pawns);
    EXPECT_EQ(info.eg, base + 55 + 5 + trading + by_pawns) << "Black has a knight, no bishop";
}

TEST(Material, PhaseFromPieceUnits) {
    EXPECT_EQ(material_of("3qk3/pppppppp/8/8/8/8/PPPPPPPP/3QK3 w - - 0 1").phase,
              (256 * 16 + 12) / 24);
    EXPECT_EQ(material_of("3qk3/pppppppp/8/8/8/8/PPPPPPPP/3QK3 w - - 0 1").phase, 171);
    EXPECT_EQ(material_of("4k3/pppppppp/8/8/8/8/PPPPPPPP/4K3 w - - 0 1").phase, 256);
    // Promoted queens push the unit count below zero: the phase stays 0.
    EXPECT_EQ(material_of("qqqqk3/8/8/8/8/8/8/QQQQK3 w - - 0 1").phase, 0);
}

// kpk_winnable for White on a position, and for Black on its colour mirror: the answers
// must agree.
bool kpk(const std::string& fen) {
    set_eval_fen(fen);
    const bool white = kpk_winnable(WHITE);
    set_eval_fen(mirror_fen(fen));
    EXPECT_EQ(kpk_winnable(BLACK), white) << fen << " mirrored";
    return white;
}

TEST(Material, KpkRecogniser) {
    // Rook pawn: the defender near the corner holds.
    EXPECT_FALSE(kpk("1k6/8/8/P7/8/8/8/4K3 w - - 0 1"));
    EXPECT_TRUE(kpk("3k4/8/8/P7/8/8/8/4K3 w - - 0 1"));
    // Pawn on the seventh, defender on the queening square.
    EXPECT_FALSE(kpk("4k3/4P3/8/4K3/8/8/8/8 w - - 0 1"));  // K far: draw
    EXPECT_TRUE(kpk("4k3/4P3/4K3/8/8/8/8/8 w - - 0 1"));   // K attacks d7 and f7
    EXPECT_TRUE(kpk("4k3/4P3/3K4/8/8/8/8/8 b - - 0 1"));   // Kd6, Black to move
    EXPECT_FALSE(kpk("4k3/4P3/4K3/8/8/8/8/8 b - - 0 1"));  // same file: stalemate
    // Pawn on the seventh, defender elsewhere.
    EXPECT_TRUE(kpk("8/4P1k1/8/8/8/8/8/4K3 w - - 0 1"));   // the defender is two away
    EXPECT_FALSE(kpk("5k2/4P3/8/8/8/8/8/4K3 b - - 0 1"));  // own king too far from the pawn
    // Any other pawn: the defender in front.
    EXPECT_FALSE(kpk("8/8/4k3/8/4P3/4K3/8/8 w - - 0 1"));
    EXPECT_TRUE(kpk("4k3/8/8/8/4P3/4K3/8/8 w - - 0 1"));
    EXPECT_FALSE(kpk("8/4k3/8/8/4P3/4K3/8/8 b - - 0 1"));
    EXPECT_TRUE(kpk("4k3/8/8/8/4P3/4K3/8/8 b - - 0 1"));
}

TEST(Material, OppositeBishopsComparesSquareColours) {
    set_eval_fen("4k3/8/8/3b4/8/8/4B3/4K3 w - - 0 1");  // d5 and e2 both light
    EXPECT_FALSE(opposite_bishops());
    set_eval_fen("4k3/8/8/3b4/8/8/5B2/4K3 w - - 0 1");  // f2 dark
    EXPECT_TRUE(opposite_bishops());
    set_eval_fen("7b/8/8/8/8/8/8/B3K2k w - - 0 1");  // a1 and h8 both dark
    EXPECT_FALSE(opposite_bishops());
}

}  // namespace
