// The opening book: which lines match the game, how candidates are weighted, and what
// the probe does with malformed, illegal, endless and exhausted lines.
#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>
#include <map>
#include <set>
#include <string>

#include "position/make_move.h"
#include "position/move.h"
#include "position/position.h"
#include "shell/book.h"
#include "shell/move_text.h"
#include "support/engine_process.h"
#include "support/position_support.h"

namespace {

class BookTest : public ::testing::Test {
  protected:
    void SetUp() override {
        init_engine_tables();
        new_game();
        previous_dir = std::filesystem::current_path();
        std::filesystem::current_path(dir.work);
    }
    void TearDown() override {
        close_book();
        std::filesystem::current_path(previous_dir);
    }
    // Writes the book into the working directory and opens it as the engine does.
    static void use_book(const std::string& lines) {
        write_file(BOOK_FILE_NAME, lines);
        ASSERT_TRUE(open_book());
    }
    static void play(const std::string& moves) {
        for (std::size_t i = 0; i + 4 <= moves.size(); i += 5) {
            const Move m = text_to_move(moves.substr(i, 5).c_str());
            ASSERT_NE(m, NO_MOVE) << moves.substr(i, 4);
            make_move(m);
        }
    }
    // How often each move comes out of n probes.
    static std::map<std::string, int> tally(int n) {
        std::srand(12345);
        std::map<std::string, int> counts;
        for (int i = 0; i < n; ++i)
            ++counts[move_to_text(book_probe()).text];
        return counts;
    }

    ScratchDir            dir;
    std::filesystem::path previous_dir;
};

TEST_F(BookTest, NoBookNoMove) {
    close_book();
    EXPECT_EQ(book_probe(), NO_MOVE);
}

TEST_F(BookTest, CandidatesAreWeightedByTheirLineCounts) {
    use_book("e2e4 e7e5\ne2e4 c7c5\nd2d4 d7d5\n");
    // e2e4 on two lines of three: a third of 3000 draws is 1000, sd about 26.
    std::map<std::string, int> counts = tally(3000);
    EXPECT_EQ(counts.size(), 2u);
    EXPECT_NEAR(counts["e2e4"], 2000, 150);
    EXPECT_NEAR(counts["d2d4"], 1000, 150);
    play("e2e4");
    counts = tally(2000);
    EXPECT_EQ(counts.size(), 2u);
    EXPECT_NEAR(counts["e7e5"], 1000, 150);
    EXPECT_NEAR(counts["c7c5"], 1000, 150);
}

TEST_F(BookTest, MalformedAndIllegalLinesAreSkipped) {
    // Illegal for White, malformed, upper case, a blank line, a pawn jumping three.
    use_book("e7e5 e2e4\nzzzz\nE2E4\n\ne2e5\n g1f3\n");
    EXPECT_EQ(book_probe(), NO_MOVE);
    use_book("e7e5 e2e4\nzzzz\nb1c3 b8c6\nE2E4\n");
    const std::map<std::string, int> counts = tally(50);
    EXPECT_EQ(counts.size(), 1u);
    EXPECT_EQ(counts.begin()->first, "b1c3");
    // The illegal reply on one line does not stop a legal one on another.
    use_book("e2e4 e2e4\ne2e4 e7e5\ne2e4 e7e4\n");
    play("e2e4");
    EXPECT_EQ(std::string(move_to_text(book_probe()).text), "e7e5");
}

TEST_F(BookTest, PromotionsAndCastlingReadAsTheEngineWritesThem) {
    // Two lines that castle short, one that castles long.
    use_book("e2e4 e7e5 g1f3 b8c6 f1c4 g8f6 e1g1\n"
             "e2e4 e7e5 g1f3 b8c6 f1c4 g8f6 e1g1 f8c5\n"
             "e2e4 e7e5 g1f3 b8c6 f1c4 g8f6 d2d3\n");
    play("e2e4 e7e5 g1f3 b8c6 f1c4 g8f6");
    const Move m = book_probe();
    ASSERT_NE(m, NO_MOVE);
    const std::string text = move_to_text(m).text;
    EXPECT_TRUE(text == "e1g1" || text == "d2d3");
    if (text == "e1g1") {
        EXPECT_NE(m & FLAG_CASTLE_SHORT, 0u);
    }
}

TEST_F(BookTest, ALineMustBeginWithTheWholeGame) {
    // The same position as after d2d4 d7d5 e2e3 e7e6, reached in another order.
    use_book("e2e3 e7e6 d2d4 d7d5 g1f3\n");
    play("d2d4 d7d5 e2e3 e7e6");
    EXPECT_EQ(book_probe(), NO_MOVE);
}

TEST_F(BookTest, ALineEndingWithTheGameContributesNothing) {
    use_book("e2e4\ne2e4 \ne2e4 e7e5\n");
    play("e2e4");
    const std::map<std::string, int> counts = tally(20);
    EXPECT_EQ(counts.size(), 1u);
    EXPECT_EQ(counts.begin()->first, "e7e5");
    use_book("e2e4\ne2e4 \n");
    EXPECT_EQ(book_probe(), NO_MOVE);
}

TEST_F(BookTest, FortyPliesStillGetABookMoveFortyOneDoNot) {
    // Knights out and back: ten rounds of four plies, then two more moves.
    std::string line;
    for (int round = 0; round < 10; ++round)
        line += "g1f3 g8f6 f3g1 f6g8 ";
    const std::string game40 = line;
    line += "b1c3 b8c6\n";
    use_book(line);
    play(game40);
    ASSERT_EQ(position().history_length, 40);
    EXPECT_EQ(std::string(move_to_text(book_probe()).text), "b1c3");
    play("b1c3");
    EXPECT_EQ(book_probe(), NO_MOVE);
}

TEST_F(BookTest, LongLinesAreReadInPiecesOf255) {
    // The first piece is 255 letters; the rest of the line is a piece of its own and, at
    // the start of a game, offers its first move like any line.
    use_book(std::string(255, 'x') + "d2d4 d7d5\n" + std::string(100000, 'e') + "\n");
    const std::map<std::string, int> counts = tally(20);
    EXPECT_EQ(counts.size(), 1u);
    EXPECT_EQ(counts.begin()->first, "d2d4");
}

TEST_F(BookTest, EveryCandidateIsKeptUpToTheMostLegalMovesAPositionHas) {
    // 218 legal moves, the most any position has. The probe reads book lines against the
    // position on the board, so with no game played every line offers its first move.
    set_fen("R6R/3Q4/1Q4Q1/4Q3/2Q4Q/Q4Q2/pp1Q4/kBNN1KB1 w - - 0 1");
    const std::vector<Move> legal = brute_force_legal_moves();
    ASSERT_EQ(legal.size(), 218u);
    std::string book;
    for (const Move m : legal)
        book += std::string(move_to_text(m).text) + "\n";
    use_book(book);
    std::set<std::string> seen;
    std::srand(7);
    for (int i = 0; i < 40 * 218; ++i)
        seen.insert(move_to_text(book_probe()).text);
    EXPECT_EQ(seen.size(), 218u);
}

}  // namespace
