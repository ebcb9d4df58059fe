#include "support/search_support.h"

#include <gtest/gtest.h>
#include <sstream>

#include "eval/material.h"
#include "eval/pawns.h"
#include "movegen/captures.h"
#include "movegen/evasions.h"
#include "movegen/move_list.h"
#include "movegen/ordering.h"
#include "movegen/quiets.h"
#include "position/attacked.h"
#include "position/make_move.h"
#include "position/move.h"
#include "position/position.h"
#include "search/clock.h"
#include "search/think.h"
#include "search/threads.h"
#include "search/tt.h"
#include "shell/move_text.h"
#include "shell/xboard.h"
#include "support/position_support.h"

void restore_test_tt() { allocate_tt(TEST_TT_ENTRIES); }

void fresh_search(const std::string& fen) {
    static const bool allocated = [] {
        init_engine_tables();
        allocate_pawn_hash(1);
        allocate_material_hash(1);
        return true;
    }();
    (void)allocated;
    if (tt_entries != TEST_TT_ENTRIES)
        restore_test_tt();
    clear_for_new_game();
    set_fen(fen);
    reset_search_ply();
    reset_node_count();
    start_clock(1 << 30);
}

std::vector<Move> legal_moves_here() {
    MoveList list;
    list.count = 0;
    if (in_check()) {
        generate_evasions(list);
    } else {
        generate_captures(list);
        generate_quiets(list.count, list);
    }
    std::vector<Move> moves;
    for (int i = 0; i < list.count; ++i) {
        if (make_move(list.moves[i]))
            moves.push_back(list.moves[i]);
        unmake_move();
    }
    return moves;
}

void play_moves(const std::string& moves) {
    std::istringstream words(moves);
    std::string        word;
    while (words >> word) {
        const Move m = text_to_move(word.c_str());
        ASSERT_NE(m, NO_MOVE) << word;
        ASSERT_TRUE(make_move(m)) << word;
    }
}

// The side to move has just been given a move by the attacker; true when it is mated
// now or every reply still loses to a mate within n - 1 more attacker moves.
static bool defender_lost(int n) {
    const std::vector<Move> replies = legal_moves_here();
    if (replies.empty())
        return in_check();  // mate; stalemate is no win
    if (n <= 1)
        return false;
    for (const Move reply : replies) {
        make_move(reply);
        const bool lost = forces_mate(n - 1);
        unmake_move();
        if (!lost)
            return false;
    }
    return true;
}

bool move_forces_mate(Move m, int n) {
    make_move(m);
    const bool lost = defender_lost(n);
    unmake_move();
    return lost;
}

bool forces_mate(int n) {
    for (const Move m : legal_moves_here())
        if (move_forces_mate(m, n))
            return true;
    return false;
}

ThinkResult think_with_budget(int depth_limit, int fixed_time_ms) {
    ThinkResult result{};
    std::FILE*  out = std::tmpfile();
    EXPECT_NE(out, nullptr);
    set_thinking_output(out);
    result.move = think(fixed_limits(depth_limit, fixed_time_ms), result.score);
    set_thinking_output(stdout);
    std::rewind(out);
    char line[4096];
    while (std::fgets(line, sizeof line, out)) {
        std::string text(line);
        if (!text.empty() && text.back() == '\n')
            text.pop_back();
        result.lines.push_back(text);
    }
    std::fclose(out);
    return result;
}

ThinkResult think_to_depth(int depth_limit) { return think_with_budget(depth_limit, 3600000); }
