#include <fstream>
#include <gtest/gtest.h>
#include <string>
#include <vector>

#include "eval/psq.h"
#include "position/attacks.h"
#include "position/make_move.h"
#include "position/move.h"
#include "position/position.h"
#include "shell/move_text.h"

namespace {

class MoveText : public testing::Test {
  protected:
    static void SetUpTestSuite() {
        init_line_tables();
        init_magics();
        init_piece_square();
    }
    void        SetUp() override { new_game(); }
    static void load(const std::string& fen) { ASSERT_TRUE(load_fen(fen)) << fen; }
};

std::string text_of(Move m) { return move_to_text(m).text; }
std::string text_960_of(Move m) { return move_to_text_960(m).text; }

TEST_F(MoveText, PrintsSquaresAndAnUpperCasePromotionLetter) {
    EXPECT_EQ(text_of(make_quiet(12, 28)), "e2e4");
    EXPECT_EQ(text_of(make_promotion(52, 60, QUEEN, false)), "e7e8Q");
    EXPECT_EQ(text_of(make_promotion(9, 0, KNIGHT, true)), "b2a1N");
    EXPECT_EQ(text_of(make_castle_long(60)), "e8c8");
    EXPECT_EQ(text_of(make_en_passant(36, 43)), "e5d6");
    EXPECT_EQ(text_of(NO_MOVE), "a1a1");
    EXPECT_EQ(text_of(NULL_MOVE), "a1a1");
    EXPECT_EQ(text_of(make_quiet(52, 60) | PROMOTION_FIELD | FLAG_PROMOTION), "e7e8");  // field 7
}

TEST_F(MoveText, ReadsTheInitialPawnPush) {
    const Move m = text_to_move("e2e4");
    EXPECT_EQ(m, make_quiet(12, 28));
    EXPECT_EQ(move_promotion(m), NO_PIECE);
    EXPECT_EQ(move_flags(m), 0);
    EXPECT_EQ(text_to_move("e2e4 and more words\n"), m);
    EXPECT_EQ(text_to_move("e2e4x"), m);  // only q, r, b, n promote
    EXPECT_EQ(text_to_move("g1f3\n"), make_quiet(6, 21));
}

TEST_F(MoveText, RejectsMalformedText) {
    for (const char* text : {"", "e", "e2", "e2e", "E2E4", "e2E4", "i2i4", "e0e4", "e9e4", "e2e9",
                             "2e4e", " e2e4", "e2-e4", "\xe2\x82\xac"})
        EXPECT_EQ(text_to_move(text), NO_MOVE) << '"' << text << '"';
}

TEST_F(MoveText, RejectsMovesTheValidityTestRefuses) {
    for (const char* text :
         {"e2e5", "e7e5", "e1e2", "e1g1", "e1c1", "b1d2", "a1a1", "e2e4q", "e2e3Q"})
        EXPECT_EQ(text_to_move(text), NO_MOVE) << text;
}

TEST_F(MoveText, SetsCastlingFlagsFromTheKingsTwoSquareStep) {
    load("r3k2r/8/8/8/8/8/8/R3K2R w KQkq - 0 1");
    EXPECT_EQ(text_to_move("e1g1"), make_castle_short(4));
    EXPECT_EQ(text_to_move("e1c1"), make_castle_long(4));
    load("r3k2r/8/8/8/8/8/8/R3K2R b KQkq - 0 1");
    EXPECT_EQ(text_to_move("e8g8"), make_castle_short(60));
    EXPECT_EQ(text_to_move("e8c8"), make_castle_long(60));
    load("r3k2r/8/8/8/8/8/8/R3K2R w - - 0 1");
    EXPECT_EQ(text_to_move("e1g1"), NO_MOVE);
}

TEST_F(MoveText, ReadsEnPassantOnlyOnTheEnPassantSquare) {
    load("rnbqkbnr/ppp1p1pp/8/3pPp2/8/8/PPPP1PPP/RNBQKBNR w KQkq f6 0 3");
    EXPECT_EQ(text_to_move("e5f6"), make_en_passant(36, 45));
    EXPECT_EQ(text_to_move("e5d6"), NO_MOVE);  // d6 was passed a move ago
}

TEST_F(MoveText, ReadsPromotionsInEitherCase) {
    load("1n5k/4P3/8/8/8/8/8/K7 w - - 0 1");
    EXPECT_EQ(text_to_move("e7e8q"), make_promotion(52, 60, QUEEN, false));
    EXPECT_EQ(text_to_move("e7e8Q"), text_to_move("e7e8q"));
    EXPECT_EQ(text_to_move("e7e8r"), make_promotion(52, 60, ROOK, false));
    EXPECT_EQ(text_to_move("e7e8B"), make_promotion(52, 60, BISHOP, false));
    EXPECT_EQ(text_to_move("e7e8n"), make_promotion(52, 60, KNIGHT, false));
    EXPECT_EQ(text_to_move("e7e8k"), NO_MOVE);
    EXPECT_EQ(text_to_move("e7e8"), NO_MOVE);
    EXPECT_EQ(text_to_move("e7b8q"), NO_MOVE);
    load("1n5k/P7/8/8/8/8/8/K7 w - - 0 1");
    EXPECT_EQ(text_to_move("a7b8n"), make_promotion(48, 57, KNIGHT, true));
    EXPECT_EQ(text_of(text_to_move("a7b8n")), "a7b8N");
}

TEST_F(MoveText, RejectsMovesThatLeaveTheOwnKingInCheckAndChangesNothing) {
    // The rook pins the e-pawn; the bishop guards f1.
    load("4r2k/8/8/8/8/3p3b/4P3/4K3 w - - 0 1");
    const std::string fen = position_to_fen();
    const Key         key = position().key;
    EXPECT_EQ(text_to_move("e2d3"), NO_MOVE);
    EXPECT_EQ(text_to_move("e2e3"), make_quiet(12, 20));  // stays on the pinning line
    EXPECT_EQ(text_to_move("e1f1"), NO_MOVE);
    EXPECT_EQ(text_to_move("e1f2"), make_quiet(4, 13));
    EXPECT_EQ(position_to_fen(), fen);
    EXPECT_EQ(position().key, key);
    EXPECT_EQ(position().history_length, 0);
    load("4r2k/8/8/8/8/8/3P4/4K3 w - - 0 1");  // in check: only the king's escapes count
    EXPECT_EQ(text_to_move("d2d4"), NO_MOVE);
    EXPECT_EQ(text_to_move("e1d1"), make_quiet(4, 3));
    EXPECT_TRUE(position_is_consistent());
}

// Every legal move, found by reading every possible text: from and to squares, each with
// no promotion letter and with each of the four; in standard or in Chess960 form.
std::vector<Move> moves_read_from_text(bool chess960 = false) {
    const auto        read  = chess960 ? text_to_move_960 : text_to_move;
    const auto        write = chess960 ? text_960_of : text_of;
    std::vector<Move> moves;
    const char*       suffixes[] = {"", "q", "r", "b", "n"};
    for (int from = 0; from < 64; ++from)
        for (int to = 0; to < 64; ++to)
            for (const char* suffix : suffixes) {
                std::string text = {
                    static_cast<char>('a' + from % 8), static_cast<char>('1' + from / 8),
                    static_cast<char>('a' + to % 8), static_cast<char>('1' + to / 8)};
                text += suffix;
                const Move m = read(text.c_str());
                if (m == NO_MOVE)
                    continue;
                // Text and word agree both ways.
                EXPECT_EQ(write(m), (*suffix ? text.substr(0, 4) + char(*suffix - 32) : text));
                EXPECT_EQ(read(write(m).c_str()), m);
                moves.push_back(m);
            }
    return moves;
}

std::int64_t text_perft(int depth, bool chess960 = false) {
    if (depth == 0)
        return 1;
    std::int64_t nodes = 0;
    for (const Move m : moves_read_from_text(chess960)) {
        EXPECT_TRUE(make_move(m));
        nodes += text_perft(depth - 1, chess960);
        unmake_move();
    }
    return nodes;
}

struct PerftLine {
    std::string  fen;
    std::int64_t d1, d2;  // 0 when the line does not give it
};

std::vector<PerftLine> perft_lines(const std::string& file, std::size_t limit) {
    std::vector<PerftLine> lines;
    std::ifstream          in(std::string(VELMORA_DATA_DIR "/") + file);
    if (!in)
        ADD_FAILURE() << "cannot read " << VELMORA_DATA_DIR "/" << file;
    std::string line;
    while (lines.size() < limit && std::getline(in, line)) {
        const std::size_t semicolon = line.find(';');
        if (semicolon == std::string::npos)
            continue;
        PerftLine  entry{line.substr(0, semicolon), 0, 0};
        const auto count = [&](const char* tag) -> std::int64_t {
            const std::size_t at = line.find(tag);
            return at == std::string::npos ? 0 : std::stoll(line.substr(at + 3));
        };
        entry.d1 = count("D1 ");
        entry.d2 = count("D2 ");
        lines.push_back(entry);
    }
    return lines;
}

// Text is the engine's only door for the GUI's moves: exactly the legal moves get in.
TEST_F(MoveText, ReadsExactlyTheLegalMovesOfPerftPositions) {
    int checked = 0;
    for (const char* file : {"perft-standard.epd", "perft-stress.epd", "perft-marcel.epd"})
        for (const PerftLine& line : perft_lines(file, 120)) {
            if (line.d1 == 0)
                continue;
            load(line.fen);
            EXPECT_EQ(text_perft(1), line.d1) << line.fen;
            ++checked;
        }
    EXPECT_GT(checked, 200);
}

// In Chess960 form castling is the king taking its own rook, in Chess960 positions and in
// standard ones alike, and nothing else changes.
TEST_F(MoveText, ReadsExactlyTheLegalMovesInChess960Form) {
    for (const char* file : {"perft-960.epd", "perft-standard.epd"})
        for (const PerftLine& line : perft_lines(file, 40)) {
            ASSERT_TRUE(load_fen(line.fen) || load_fen(line.fen, nullptr, true)) << line.fen;
            EXPECT_EQ(text_perft(2, true), line.d2) << line.fen;
        }
}

TEST_F(MoveText, WritesAndReadsCastlingAsTheKingTakingItsRook) {
    struct Case {
        const char* fen;
        const char* text;  // in Chess960 form
        Move        move;  // the king's move to its destination
        const char* standard_text;
    };
    const Case cases[] = {
        {"r3k2r/8/8/8/8/8/8/R3K2R w KQkq - 0 1", "e1h1", make_castle_short(4), "e1g1"},
        {"r3k2r/8/8/8/8/8/8/R3K2R b KQkq - 0 1", "e8a8", make_castle_long(60), "e8c8"},
        {"4k3/8/8/8/8/8/8/RK5R w HA - 0 1", "b1a1", make_castle(1, 2, FLAG_CASTLE_LONG), ""},
        {"4k3/8/8/8/8/8/8/RK5R w HA - 0 1", "b1h1", make_castle(1, 6, FLAG_CASTLE_SHORT), ""},
        {"4k3/8/8/8/8/8/8/R5KR w HA - 0 1", "g1h1", make_castle(6, 6, FLAG_CASTLE_SHORT), "g1g1"},
        {"4k3/8/8/8/8/8/8/R4KR1 w GA - 0 1", "f1g1", make_castle(5, 6, FLAG_CASTLE_SHORT), ""},
        {"4k3/8/8/8/8/8/8/3RK1R1 w GD - 0 1", "e1d1", make_castle_long(4), "e1c1"},
        {"1r4k1/8/8/8/8/8/8/6K1 b b - 0 1", "g8b8", make_castle(62, 58, FLAG_CASTLE_LONG), ""},
    };
    for (const Case& c : cases) {
        ASSERT_TRUE(load_fen(c.fen, nullptr, true)) << c.fen;
        EXPECT_EQ(text_to_move_960(c.text), c.move) << c.fen;
        EXPECT_EQ(text_960_of(c.move), c.text) << c.fen;
        // The king's destination is not castling in Chess960 form, nor the rook's square
        // in standard form.
        if (*c.standard_text) {
            EXPECT_EQ(text_to_move_960(c.standard_text), NO_MOVE) << c.fen;
        }
        EXPECT_EQ(text_to_move(c.text), NO_MOVE) << c.fen;
    }
    // The right gone, or the way blocked: the king takes no rook.
    ASSERT_TRUE(load_fen("4k3/8/8/8/8/8/8/RK5R w H - 0 1", nullptr, true));
    EXPECT_EQ(text_to_move_960("b1a1"), NO_MOVE);
    ASSERT_TRUE(load_fen("4k3/8/8/8/8/8/8/RK3N1R w HA - 0 1", nullptr, true));
    EXPECT_EQ(text_to_move_960("b1h1"), NO_MOVE);
    EXPECT_EQ(text_to_move_960("b1a1"), make_castle(1, 2, FLAG_CASTLE_LONG));  // c1, d1 empty
    ASSERT_TRUE(load_fen("4k3/8/8/8/8/8/8/RKR5 w A - 0 1", nullptr, true));
    EXPECT_EQ(text_to_move_960("b1a1"), NO_MOVE);  // the king's destination is held
}

TEST_F(MoveText, ReadsExactlyTheLegalMovesTwoPliesDeep) {
    for (const PerftLine& line : perft_lines("perft-standard.epd", 6)) {
        load(line.fen);
        EXPECT_EQ(text_perft(2), line.d2) << line.fen;
        EXPECT_EQ(position().history_length, 0);
    }
}

}  // namespace
