// velmora-tools book: opening lines in every accepted shape become engine book lines,
// replayed on the board; bad lines are reported by line number and skipped.
#include <cstdlib>
#include <gtest/gtest.h>
#include <string>

#include "support/engine_process.h"

namespace {

struct BookRun {
    int         status;
    std::string book;
    std::string errors;
};

BookRun build_book(const ScratchDir& dir, const std::string& arguments) {
    const std::string command = "cd '" + dir.work + "' && '" VELMORA_TOOLS_BINARY "' book out.book "
                                + arguments + " > stdout.txt 2> stderr.txt";
    BookRun run{std::system(command.c_str()), "", ""};
    read_file(dir.work + "/out.book", run.book);
    read_file(dir.work + "/stderr.txt", run.errors);
    return run;
}

TEST(BookTool, PlainLinesWithAndWithoutMoveNumbers) {
    ScratchDir dir;
    write_file(dir.work + "/lines.txt", "1. e4 e5 2. Nf3 Nc6 3. Bb5 a6\n"
                                        "d4 d5 c4 e6 Nc3 Nf6 Bg5 Be7 e3 O-O Nf3 h6 Bh4 b6\n"
                                        "\n"
                                        "1.e4 c5 2.Nf3 d6 3.d4 cxd4 4.Nxd4 Nf6 5.Nc3 a6 *\n");
    const BookRun run = build_book(dir, "lines.txt");
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.book, "e2e4 e7e5 g1f3 b8c6 f1b5 a7a6\n"
                        "d2d4 d7d5 c2c4 e7e6 b1c3 g8f6 c1g5 f8e7 e2e3 e8g8 g1f3 h7h6 g5h4 b7b6\n"
                        "e2e4 c7c5 g1f3 d7d6 d2d4 c5d4 f3d4 g8f6 b1c3 a7a6\n");
    EXPECT_EQ(run.errors, "");
}

TEST(BookTool, PgnGamesWithTagsCommentsAndVariations) {
    ScratchDir dir;
    write_file(dir.work + "/games.pgn", "[Event \"one\"]\n[Result \"*\"]\n\n"
                                        "1. e4 {best by test} e5 (1... c5 2. Nf3) 2. Nf3\n"
                                        "Nc6 $1 3. Bc4 ; Italian\n"
                                        "Bc5 *\n\n"
                                        "[Event \"two\"]\n\n1. c4 e5 2. g3 1-0\n");
    const BookRun run = build_book(dir, "games.pgn");
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.book, "e2e4 e7e5 g1f3 b8c6 f1c4 f8c5\nc2c4 e7e5 g2g3\n");
}

TEST(BookTool, TsvPgnColumnPromotionAndEnPassant) {
    ScratchDir dir;
    write_file(dir.work + "/lines.tsv",
               "eco\tname\tpgn\n"
               "C00\tEn passant\t1. e4 a6 2. e5 d5 3. exd6\n"
               "X99\tPromotion\t1. h4 g5 2. hxg5 h6 3. gxh6 Nf6 4. h7 Ng8 5. hxg8=Q\n");
    const BookRun run = build_book(dir, "lines.tsv");
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.book, "e2e4 a7a6 e4e5 d7d5 e5d6\n"
                        "h2h4 g7g5 h4g5 h7h6 g5h6 g8f6 h6h7 f6g8 h7g8Q\n");
}

TEST(BookTool, IllegalAndUnreadableLinesAreReportedAndSkipped) {
    ScratchDir dir;
    write_file(dir.work + "/lines.txt", "e4 e5 Nf3\n"
                                        "e4 e5 Ke3\n"        // illegal
                                        "d4 d5 hello\n"      // unreadable
                                        "c4 {unclosed e5\n"  // unbalanced comment
                                        "Nf3 d5\n");
    const BookRun run = build_book(dir, "lines.txt");
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.book, "e2e4 e7e5 g1f3\ng1f3 d7d5\n");
    EXPECT_NE(run.errors.find("lines.txt:2: illegal or unreadable move 'Ke3' at ply 3"),
              std::string::npos)
        << run.errors;
    EXPECT_NE(run.errors.find("lines.txt:3: illegal or unreadable move 'hello'"),
              std::string::npos);
    EXPECT_NE(run.errors.find("lines.txt:4: unbalanced"), std::string::npos);
}

TEST(BookTool, LongestLineAndFirstMovesToKeep) {
    ScratchDir dir;
    write_file(dir.work + "/lines.txt", "e4 e5 Nf3 Nc6\nb3 e5\nd4 d5 c4\nNf3 d5 g3\n");
    BookRun run = build_book(dir, "lines.txt --max-plies 2 --first e4,Nf3");
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.book, "e2e4 e7e5\ng1f3 d7d5\n");
    run = build_book(dir, "lines.txt --first Nf6");  // not a first move of White's
    EXPECT_NE(run.status, 0);
    run = build_book(dir, "lines.txt --max-plies 42");  // beyond what the engine reads
    EXPECT_NE(run.status, 0);
    run = build_book(dir, "missing.txt");
    EXPECT_NE(run.status, 0);
}

TEST(BookTool, TheShippedBookIsBuiltFromTheOpeningLines) {
    ScratchDir        dir;
    const std::string data = VELMORA_DATA_DIR "/openings/";
    const BookRun     run =
        build_book(dir, "'" + data + "a.tsv' '" + data + "b.tsv' '" + data + "c.tsv' '" + data
                            + "d.tsv' '" + data + "e.tsv' --first e4,d4,c4,Nf3");
    EXPECT_EQ(run.status, 0);
    std::string shipped;
    ASSERT_TRUE(read_file(VELMORA_SOURCE_DIR "/VelmoraOB.book", shipped));
    EXPECT_EQ(run.book, shipped);
    EXPECT_EQ(run.errors, "");
}

}  // namespace
