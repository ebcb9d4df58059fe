#include "shell/xboard.h"

#include <algorithm>
#include <csignal>
#include <cstdint>
#include <cstring>

#include "position/make_move.h"
#include "position/move.h"
#include "position/position.h"
#include "search/clock.h"
#include "search/think.h"
#include "search/threads.h"
#include "search/tt.h"
#include "shell/log.h"
#include "shell/move_text.h"
#include "shell/options.h"
#include "shell/result.h"
#include "shell/time_alloc.h"
#include "shell/words.h"

namespace {

struct Loop {
    LoopState    state;
    std::FILE*   out;
    LoopSettings settings;
};

enum CommandResult {
    COMMAND_DONE,       // carried out (or deliberately ignored)
    COMMAND_MALFORMED,  // a number is missing or unreadable: answered like an unknown word
    COMMAND_QUIT,
};

// A command gets the whole line and the text after its word.
using CommandHandler = CommandResult (*)(Loop& loop, const char* line, const char* args);

// Reads one piece of input into line, as fgets does: up to and including the line end,
// at most 255 characters. A carriage return just before the line end belongs to the line
// end. A zero byte ends the text that the loop looks at. False at end of input when
// nothing was read.
bool read_line(std::FILE* in, char (&line)[LINE_CAPACITY]) {
    int length = 0;
    while (length < LINE_CAPACITY - 1) {
        int c = std::getc(in);
        if (c == EOF)
            break;
        if (c == '\r') {
            const int next = std::getc(in);
            if (next == '\n')
                c = '\n';
            else if (next != EOF)
                std::ungetc(next, in);
        }
        line[length++] = static_cast<char>(c);
        if (c == '\n')
            break;
    }
    line[length] = '\0';
    return length > 0;
}

// Copies the first word of line into word; answers the text after it, or nullptr when
// the line holds no word. word must have room for the whole line.
const char* first_word(const char* line, char (&word)[LINE_CAPACITY]) {
    while (is_blank(*line))
        ++line;
    int length = 0;
    while (*line != '\0' && !is_blank(*line))
        word[length++] = *line++;
    word[length] = '\0';
    return length > 0 ? line : nullptr;
}

void reply_unknown_command(Loop& loop, const char* word) {
    std::fprintf(loop.out, "Error (unknown command): %s\n", word);
    // The entry keeps the reply's own line end, so an empty line follows it in the log.
    log_line("Error (unknown command): %s\n", word);
}

// A game that has filled the history stack up to the search's reserve gets no further
// engine move or hint: the engine stays silent rather than claim a result it has not seen.
bool history_is_full() { return position().history_length >= MAX_GAME_MOVES; }

// The engine thinks with what the GUI has said about time and depth.
Move think_for_loop(const Loop& loop, int& score) {
    const TimeControl& tc        = loop.state.time_control;
    const int          max_depth = loop.settings.max_depth;
    SearchLimits       limits;
    limits.depth_limit = max_depth > 0 && tc.depth_limit > max_depth ? max_depth : tc.depth_limit;
    limits.moves_per_control = tc.moves_per_control;
    limits.increment_ms      = tc.increment_ms;
    limits.own_time_ms = tc.own_time_ms > CLOCK_RESERVE_MS ? tc.own_time_ms - CLOCK_RESERVE_MS : 0;
    limits.opponent_time_ms = tc.opponent_time_ms;
    limits.lag_ms           = tc.lag_ms;
    limits.fixed_time_ms =
        tc.fixed_time_ms > CLOCK_RESERVE_MS ? tc.fixed_time_ms - CLOCK_RESERVE_MS : 0;
    return think(limits, score);
}

// The engine's turn: think, answer "move", log it with its score, make it, and ask
// whether the game is over.
void take_engine_turn(Loop& loop) {
    loop.state.engine_to_move = false;
    if (!loop.settings.thinking || history_is_full())
        return;
    int        score   = 0;
    const int  started = clock_ms();
    const Move m       = think_for_loop(loop, score);
    if (m != NO_MOVE) {
        const MoveText text = move_to_text(m);
        std::fprintf(loop.out, "move %s\n", text.text);
        TimeControl& tc = loop.state.time_control;
        if (tc.moves_per_control == 0)
            tc.expected_time_ms = clamp_to_int(std::int64_t{tc.own_time_ms} - (clock_ms() - started)
                                               + tc.increment_ms);
        log_line("Engine move %s %d", text.text, score);
        make_move(m);  // the search only answers legal moves
    }
    update_game_state(score, m);
    if (game_state != STATE_PLAYING) {
        std::fprintf(loop.out, "%s\n", result_text(game_state));
        log_line("%s", result_text(game_state));
    }
}

// A line whose first word is no command is taken as a move.
void accept_gui_move(Loop& loop, const char* line, const char* word) {
    // The stack keeps room for a full-depth search above the last game move.
    const Move m = position().history_length < MAX_GAME_MOVES ? text_to_move(line) : NO_MOVE;
    if (m == NO_MOVE) {
        reply_unknown_command(loop, word);
        return;
    }
    log_line("XBoard move %s", move_to_text(m).text);
    make_move(m);  // text_to_move has made sure that it is legal
    if (game_state == STATE_PLAYING) {
        loop.state.engine_to_move = true;
    } else {
        // A move after the end of the game is made, and the result is repeated.
        loop.state.engine_to_move = false;
        std::fprintf(loop.out, "%s\n", result_text(game_state));
        log_line("%s", result_text(game_state));
    }
}

CommandResult command_xboard(Loop&, const char*, const char*) {
    log_line("xboard");
    return COMMAND_DONE;
}

CommandResult command_protover(Loop& loop, const char*, const char* args) {
    int version = 0;
    if (!read_int(args, version))
        return COMMAND_MALFORMED;
    if (version < 1 || version > 3)
        std::fprintf(loop.out, "ERROR, bogus xboard protocol version received.\n");
    if (version == 2 || version == 3) {
        std::fprintf(loop.out, "feature ping=0 setboard=0 san=0 time=1 draw=1\n");
        std::fprintf(loop.out, "feature sigint=0 sigterm=0 reuse=0 analyze=0\n");
        std::fprintf(loop.out, "feature myname=\"%s\" name=1\n", ENGINE_NAME);
        std::fprintf(loop.out, "feature playother=1 sides=0\n");
        std::fprintf(loop.out, "feature done=1\n");
    }
    log_line("protover %d", version);
    return COMMAND_DONE;
}

CommandResult command_new(Loop& loop, const char*, const char*) {
    new_game();
    clear_for_new_game();
    reset_game_state();
    loop.state.force_mode                    = false;
    loop.state.engine_to_move                = false;
    loop.state.time_control.expected_time_ms = -1;  // the lag seen so far still holds
    log_line("new");
    return COMMAND_DONE;
}

CommandResult command_quit(Loop&, const char*, const char*) {
    log_line("quit");
    return COMMAND_QUIT;
}

CommandResult command_force(Loop& loop, const char*, const char*) {
    loop.state.force_mode     = true;
    loop.state.engine_to_move = false;
    log_line("force");
    return COMMAND_DONE;
}

CommandResult command_white(Loop& loop, const char*, const char*) {
    set_side_to_move(WHITE);
    loop.state.engine_to_move = false;
    log_line("white");
    return COMMAND_DONE;
}

CommandResult command_black(Loop& loop, const char*, const char*) {
    set_side_to_move(BLACK);
    loop.state.engine_to_move = false;
    log_line("black");
    return COMMAND_DONE;
}

// The protocol's numbers are scaled in 64 bits and clamped, so no value overflows.
CommandResult command_st(Loop& loop, const char*, const char* args) {
    int seconds = 0;
    if (!read_int(args, seconds))
        return COMMAND_MALFORMED;
    TimeControl& tc      = loop.state.time_control;
    tc.fixed_time_ms     = clamp_to_int(std::int64_t{seconds} * 1000);
    tc.moves_per_control = -1;
    tc.depth_limit       = DEFAULT_DEPTH_LIMIT;
    log_line("st %d", seconds);
    return COMMAND_DONE;
}

CommandResult command_sd(Loop& loop, const char*, const char* args) {
    int depth = 0;
    if (!read_int(args, depth))
        return COMMAND_MALFORMED;
    TimeControl& tc      = loop.state.time_control;
    tc.depth_limit       = depth;
    tc.moves_per_control = -1;
    tc.fixed_time_ms     = DEFAULT_FIXED_TIME_MS;
    log_line("sd %d", depth);
    return COMMAND_DONE;
}

// Reads a decimal number of seconds ("2", "0.1", "1.5", ".5") into whole milliseconds,
// the way "%d" reads its number: leading blanks, an optional sign, digits, and what
// follows is left unread. Digits past the third after the point are dropped, and a value
// beyond the int range is clamped to it. False, and text unchanged, when no number is
// there or it is below zero: a negative time is no time.
bool read_seconds_as_ms(const char*& text, int& ms) {
    const char* p = text;
    while (is_blank(*p))
        ++p;
    const bool negative = *p == '-';
    if (*p == '-' || *p == '+')
        ++p;
    bool         digits  = false;
    std::int64_t seconds = 0;
    for (; *p >= '0' && *p <= '9'; ++p) {
        digits = true;
        if (seconds < (std::int64_t{1} << 40))  // out of range for good
            seconds = seconds * 10 + (*p - '0');
    }
    std::int64_t fraction_ms = 0;
    if (*p == '.' && (digits || (p[1] >= '0' && p[1] <= '9'))) {
        int place = 100;
        for (++p; *p >= '0' && *p <= '9'; ++p) {
            digits = true;
            fraction_ms += (*p - '0') * place;
            place /= 10;
        }
    }
    const std::int64_t total = seconds * 1000 + fraction_ms;
    if (!digits || (negative && total > 0))
        return false;
    ms   = clamp_to_int(total);
    text = p;
    return true;
}

// "level MOVES BASE INCREMENT", read from the line's seventh character on. The base time
// ("%d:%d" or "%d" minutes) plays no part: the engine works from "time". The increment is
// in seconds and may have decimals: xboard sends "0.1" for a tenth of a second.
CommandResult command_level(Loop& loop, const char* line, const char*) {
    if (std::strlen(line) < 6)
        return COMMAND_MALFORMED;
    const char* p     = line + 6;
    int         moves = 0, increment_ms = 0;
    if (!read_int(p, moves) || moves < 0)  // -1 would mean a fixed time per move
        return COMMAND_MALFORMED;
    while (is_blank(*p))
        ++p;
    if (*p == '\0')
        return COMMAND_MALFORMED;
    while (*p != '\0' && !is_blank(*p))
        ++p;
    if (!read_seconds_as_ms(p, increment_ms))
        return COMMAND_MALFORMED;
    TimeControl& tc      = loop.state.time_control;
    tc.moves_per_control = moves;
    tc.increment_ms      = increment_ms;
    return COMMAND_DONE;
}

CommandResult command_time(Loop& loop, const char*, const char* args) {
    int centiseconds = 0;
    if (!read_int(args, centiseconds))
        return COMMAND_MALFORMED;
    TimeControl& tc = loop.state.time_control;
    tc.own_time_ms  = clamp_to_int(std::int64_t{centiseconds} * 10);
    if (tc.expected_time_ms >= 0) {
        // The clock is kept in centiseconds: a lag below 10 ms may read as 0 or 10.
        const std::int64_t lag =
            std::clamp<std::int64_t>(std::int64_t{tc.expected_time_ms} - tc.own_time_ms, 0, 1000);
        tc.lag_ms           = static_cast<int>((3 * std::int64_t{tc.lag_ms} + lag) / 4);
        tc.expected_time_ms = -1;
    }
    log_line("time %d", centiseconds);
    return COMMAND_DONE;
}

CommandResult command_otim(Loop& loop, const char*, const char* args) {
    int centiseconds = 0;
    if (!read_int(args, centiseconds))
        return COMMAND_MALFORMED;
    loop.state.time_control.opponent_time_ms = clamp_to_int(std::int64_t{centiseconds} * 10);
    log_line("otim %d", centiseconds);
    return COMMAND_DONE;
}

CommandResult command_go(Loop& loop, const char*, const char*) {
    loop.state.force_mode     = false;
    loop.state.engine_to_move = true;
    log_line("go");
    return COMMAND_DONE;
}

// A full search with its thinking lines; the move is shown, not made.
CommandResult command_hint(Loop& loop, const char*, const char*) {
    if (!loop.settings.thinking || history_is_full())
        return COMMAND_DONE;
    int        score = 0;
    const Move m     = think_for_loop(loop, score);
    if (game_state == STATE_PLAYING && m != NO_MOVE) {
        const MoveText text = move_to_text(m);
        std::fprintf(loop.out, "Hint: %s\n", text.text);
        log_line("Hint %s", text.text);
    }
    return COMMAND_DONE;
}

// Unmakes the last game move. Unmake takes the side to move for the side that did not make
// the move, but "white" or "black" may have changed it since: the side is put back first,
// or unmake would move the other colour's pieces and corrupt the position.
void take_back_move() {
    const Position& pos   = position();
    const int       to    = move_to(history_stack()[pos.history_length - 1].move);
    const int       mover = pos.board[WHITE][to] != NO_PIECE ? WHITE : BLACK;
    if (pos.side_to_move == mover)
        set_side_to_move(1 - mover);
    unmake_move();
}

CommandResult command_undo(Loop& loop, const char*, const char*) {
    if (position().history_length > 0) {
        loop.state.force_mode = true;
        take_back_move();
        reset_game_state();
    }
    log_line("undo");
    return COMMAND_DONE;
}

CommandResult command_remove(Loop& loop, const char*, const char*) {
    if (position().history_length >= 2) {
        loop.state.force_mode = true;
        take_back_move();
        take_back_move();
        reset_game_state();
    }
    log_line("remove");
    return COMMAND_DONE;
}

// The GUI asks the engine to play the side that is not on move: wait for the
// opponent's move, then answer it.
CommandResult command_playother(Loop& loop, const char*, const char*) {
    loop.state.force_mode     = false;
    loop.state.engine_to_move = false;
    log_line("playother");
    return COMMAND_DONE;
}

CommandResult command_ignored(Loop&, const char*, const char*) { return COMMAND_DONE; }

struct Command {
    const char*    word;
    CommandHandler run;
};

// Matched exactly and case-sensitively, in this order; any other word is a move.
constexpr Command commands[] = {
    {"xboard", command_xboard},  {"protover", command_protover},
    {"new", command_new},        {"quit", command_quit},
    {"force", command_force},    {"white", command_white},
    {"black", command_black},    {"st", command_st},
    {"sd", command_sd},          {"level", command_level},
    {"time", command_time},      {"otim", command_otim},
    {"go", command_go},          {"hint", command_hint},
    {"undo", command_undo},      {"remove", command_remove},
    {"post", command_ignored},  // thinking lines are always printed
    {"nopost", command_ignored}, {"playother", command_playother},
};

// Carries out one line; false once the loop must end.
bool execute_line(Loop& loop, const char* line) {
    char              word[LINE_CAPACITY];
    const char* const args = first_word(line, word);
    if (args == nullptr)
        return true;  // blank line
    for (const Command& command : commands)
        if (std::strcmp(word, command.word) == 0) {
            const CommandResult result = command.run(loop, line, args);
            if (result == COMMAND_MALFORMED)
                reply_unknown_command(loop, word);
            return result != COMMAND_QUIT;
        }
    accept_gui_move(loop, line, word);
    return true;
}

}  // namespace

static std::FILE* thinking_stream = stdout;

static void print_thinking_line(const ThinkingReport& report) {
    std::fprintf(thinking_stream, "%2d %4d %4d %8lld", report.depth, report.score,
                 report.time_ms / 10, static_cast<long long>(report.nodes));
    for (int i = 0; report.pv[i] != NO_MOVE; ++i)
        std::fprintf(thinking_stream, " %s", move_to_text(report.pv[i]).text);
    std::fprintf(thinking_stream, "\n");
    std::fflush(thinking_stream);
}

void set_thinking_output(std::FILE* out) {
    thinking_stream = out;
    set_thinking_printer(out ? print_thinking_line : nullptr);
}

LoopState command_loop(std::FILE* in, std::FILE* out, const LoopSettings& settings) {
    // The GUI is told sigint=0: an interrupt must not end the engine.
    std::signal(SIGINT, SIG_IGN);
    new_game();
    tt_clear();
    reset_game_state();
    open_log(settings.log_path);
    if (settings.start_note)
        log_line("%s", settings.start_note);
    // Thinking lines go where the loop's answers go.
    set_thinking_output(out);

    Loop loop{LoopState{}, out, settings};
    char line[LINE_CAPACITY];
    for (;;) {
        std::fflush(out);
        if (!loop.state.force_mode && loop.state.engine_to_move) {
            take_engine_turn(loop);
            continue;
        }
        if (!read_line(in, line))
            break;
        if (!execute_line(loop, line))
            break;
    }
    close_log();
    return loop.state;
}
