#include "shell/uci.h"

#include <csignal>
#include <cstdint>
#include <cstring>
#include <string>

#include "eval/eval_report.h"
#include "movegen/perft_counter.h"
#include "position/make_move.h"
#include "position/move.h"
#include "position/position.h"
#include "position/valid_move.h"
#include "search/clock.h"
#include "search/levels.h"
#include "search/think.h"
#include "search/threads.h"
#include "search/tt.h"
#include "shell/book.h"
#include "shell/move_text.h"
#include "shell/options.h"
#include "shell/uci_input.h"
#include "shell/uci_options.h"
#include "shell/uci_output.h"
#include "shell/wdl.h"
#include "shell/words.h"

namespace {

constexpr const char* ENGINE_AUTHOR = "the Velmora developers";
constexpr int         FEN_CAPACITY  = 128;  // a FEN of six fields is at most about 90 characters

// The game as the last "position" gave it: where it started and the moves made since.
struct Game {
    bool from_startpos;
    char fen[FEN_CAPACITY];
    int  move_count;
    Move moves[MAX_GAME_MOVES];
};

// What the input poller has seen of the think in progress.
struct Think {
    bool endless;    // only a stop ends it: "go infinite", "go ponder", or no limit at all
    bool stop;       // "stop" or "quit" arrived, or the input ended during an endless think
    bool ponderhit;  // "ponderhit" arrived
    bool quit;
};

struct Uci {
    UciSettings settings;
    Input       input;
    Game        game;
    Game        next;  // the game a "position" command is building
    Think       think;
};

Uci state;

// ---- Input

// A move word of the GUI's: four characters, or five with a promotion letter, legal here.
Move word_to_move(const Word& w) {
    if (w.length != 4 && w.length != 5)
        return NO_MOVE;
    if (w.length == 5 && !std::strchr("qrbnQRBN", w.start[4]))
        return NO_MOVE;
    char text[6] = {};
    std::memcpy(text, w.start, static_cast<std::size_t>(w.length));
    return uci_options.chess960 ? text_to_move_960(text) : text_to_move(text);
}

// ---- Commands

enum CommandWord {
    WORD_NONE,
    WORD_UCI,
    WORD_DEBUG,
    WORD_ISREADY,
    WORD_SETOPTION,
    WORD_REGISTER,
    WORD_UCINEWGAME,
    WORD_POSITION,
    WORD_GO,
    WORD_STOP,
    WORD_PONDERHIT,
    WORD_QUIT,
    WORD_EVAL,
};

constexpr const char* command_words[] = {
    "",         "uci", "debug", "isready",   "setoption", "register", "ucinewgame",
    "position", "go",  "stop",  "ponderhit", "quit",      "eval"};

// The first known command word of the line: unknown words before it are skipped, as the
// protocol asks. args is left after it.
CommandWord command_of(const char* line, const char*& args, Word& first) {
    const char* p = line;
    first         = next_word(p);
    for (Word w = first; w.length > 0; w = next_word(p))
        for (int c = WORD_UCI; c <= WORD_EVAL; ++c)
            if (word_is(w, command_words[c])) {
                args = p;
                return static_cast<CommandWord>(c);
            }
    return WORD_NONE;
}

void answer_uci() {
    say("id name %s", ENGINE_NAME);
    say("id author %s", ENGINE_AUTHOR);
    announce_uci_options(state.settings);
    say("uciok");
    if (state.settings.start_note)
        say("info string %s", state.settings.start_note);
    if (!state.settings.have_book)
        say("info string opening book missing: %s", BOOK_FILE_NAME);
}

void command_ucinewgame() {
    new_game();
    set_wdl_start_ply(0);
    clear_for_new_game();
    state.game.from_startpos = true;
    state.game.fen[0]        = '\0';
    state.game.move_count    = 0;
    log_line("ucinewgame");
}

// Logs the position the GUI has just given: only the new moves when it continues the
// game logged before, otherwise its start and every move.
void log_position() {
    const Game& old = state.game;
    const Game& now = state.next;
    const bool  same_start =
        old.from_startpos == now.from_startpos && std::strcmp(old.fen, now.fen) == 0;
    int common = 0;
    if (same_start)
        while (common < old.move_count && common < now.move_count
               && old.moves[common] == now.moves[common])
            ++common;
    const bool continues = same_start && common == old.move_count;
    if (!continues) {
        if (now.from_startpos)
            log_line("position startpos");
        else
            log_line("position fen %s", now.fen);
        common = 0;
    }
    for (int i = common; i < now.move_count; ++i)
        log_line("UCI move %s", uci_move_text(now.moves[i]).text);
}

// The plies a game had before the position of this FEN, just loaded: from its move number
// (the sixth field, 1 when missing or out of range) and the side to move.
int fen_start_ply(const char* fen) {
    const char*  p = fen;
    Word         move_field{};
    std::int64_t move_number = 1;
    for (int field = 0; field < 6; ++field)
        move_field = next_word(p);
    word_to_number(move_field, 1, MAX_GAME_MOVES, move_number);
    return static_cast<int>(2 * (move_number - 1)) + (position().side_to_move ? 0 : 1);
}

// "position startpos | fen FEN [moves M...]". A start that cannot be set up leaves the
// position as it was; an illegal move ends the list, keeping the moves before it.
void command_position(const char* args) {
    const char* p     = args;
    const Word  start = next_word(p);
    Game&       next  = state.next;
    next.move_count   = 0;
    if (word_is(start, "startpos")) {
        new_game();
        next.from_startpos = true;
        next.fen[0]        = '\0';
    } else if (word_is(start, "fen")) {
        // Up to six fields, up to the word "moves".
        char        fen[FEN_CAPACITY];
        int         length = 0;
        const char* q      = p;
        for (int field = 0; field < 6; ++field) {
            const char* before = q;
            const Word  w      = next_word(q);
            if (w.length == 0 || word_is(w, "moves")) {
                q = before;
                break;
            }
            if (length + w.length + 2 > FEN_CAPACITY) {
                tell("position: the FEN is too long; the position is unchanged");
                return;
            }
            if (length > 0)
                fen[length++] = ' ';
            std::memcpy(fen + length, w.start, static_cast<std::size_t>(w.length));
            length += w.length;
        }
        fen[length] = '\0';
        std::string error;
        if (!load_fen(fen, &error, uci_options.chess960)) {
            tell("position: bad FEN (%s); the position is unchanged", error.c_str());
            return;
        }
        p                  = q;
        next.from_startpos = false;
        std::memcpy(next.fen, fen, static_cast<std::size_t>(length) + 1);
    } else {
        tell("position needs startpos or fen; the position is unchanged");
        return;
    }
    set_wdl_start_ply(next.from_startpos ? 0 : fen_start_ply(next.fen));

    // Words before "moves" mean nothing: skipped.
    for (Word w = next_word(p); w.length > 0 && !word_is(w, "moves"); w = next_word(p)) {
    }
    for (Word w = next_word(p); w.length > 0; w = next_word(p)) {
        if (position().history_length >= MAX_GAME_MOVES) {
            tell("position: the game is longer than %d moves; the rest is ignored", MAX_GAME_MOVES);
            break;
        }
        const Move m = word_to_move(w);
        if (m == NO_MOVE) {
            tell("position: illegal move %.*s; the moves before it are kept",
                 w.length > 16 ? 16 : w.length, w.start);
            break;
        }
        make_move(m);  // text_to_move has made sure that it is legal
        next.moves[next.move_count++] = m;
    }
    log_position();
    state.game = next;
}

// ---- Input while thinking

// Acts on the lines the GUI sent during a think that cannot wait: "isready" is answered,
// "ponderhit" starts the clock, "stop" and "quit" end the think, and so does the end of
// the input. Other lines stay for the loop, in order; nothing after a "stop", "quit" or
// "go" is looked at, since it belongs to what follows this think.
void act_on_lines() {
    Input& in       = state.input;
    int    read_at  = in.begin;
    int    write_at = in.begin;
    while (!state.think.stop) {
        const int end = input_line_end(in, read_at);
        if (end < 0)
            break;
        const int next_line = end < in.end ? end + 1 : end;
        char      line[64];
        const int length = end - read_at < 63 ? end - read_at : 63;
        std::memcpy(line, in.bytes + read_at, static_cast<std::size_t>(length));
        line[length]           = '\0';
        const char*       args = nullptr;
        Word              first;
        const CommandWord word    = in.dropping ? WORD_NONE : command_of(line, args, first);
        bool              handled = true;
        if (word == WORD_ISREADY) {
            say("readyok");
        } else if (word == WORD_STOP || word == WORD_QUIT) {
            state.think.stop = true;
            state.think.quit = word == WORD_QUIT;
            log_line(word == WORD_STOP ? "stop" : "quit");
            request_stop();
        } else if (word == WORD_PONDERHIT) {
            state.think.ponderhit = true;
            log_line("ponderhit");
            ponder_hit();
        } else if (word == WORD_DEBUG) {
        } else {
            handled = false;
        }
        if (!handled) {
            if (word == WORD_GO)
                break;
            // Kept: moved down over the lines handled before it.
            std::memmove(in.bytes + write_at, in.bytes + read_at,
                         static_cast<std::size_t>(next_line - read_at));
            write_at += next_line - read_at;
        }
        read_at = next_line;
    }
    if (read_at > write_at) {
        std::memmove(in.bytes + write_at, in.bytes + read_at,
                     static_cast<std::size_t>(in.end - read_at));
        in.end -= read_at - write_at;
    }
}

// Acts on what has come, reads what the descriptor has (waiting for it when wait is
// set), and acts on that too.
void poll_input(bool wait) {
    act_on_lines();
    if (state.think.stop)
        return;
    Input& in = state.input;
    if (input_fill(in, wait ? -1 : 0))
        tell("a line longer than %d bytes was ignored", INPUT_CAPACITY);
    act_on_lines();
    if (in.at_end && state.think.endless && !state.think.stop) {
        // Nothing more will come, so nothing could ever stop this think: answer now, then
        // carry out what is left of the input. A think with a limit runs to it.
        state.think.stop = true;
        request_stop();
    }
}

void poll_during_search() { poll_input(false); }

// ---- Developers' commands

constexpr int MAX_PERFT_DEPTH = 20;

void print_perft_line(Move m, std::uint64_t count) {
    say("%s: %llu", uci_move_text(m).text, static_cast<unsigned long long>(count));
}

// "go perft N": the legal positions N plies on, split by root move, in the form UCI tools
// read, from the counter velmora-tools perft proves. Nothing is searched: no bestmove.
void command_perft(const char* args) {
    const char*  p     = args;
    std::int64_t depth = 0;
    if (!word_to_number(next_word(p), 1, MAX_PERFT_DEPTH, depth)) {
        tell("go perft needs a depth from 1 to %d", MAX_PERFT_DEPTH);
        return;
    }
    log_line("go perft %d", static_cast<int>(depth));
    const std::uint64_t nodes = perft_divide(static_cast<int>(depth), print_perft_line);
    std::fputc('\n', uci_out);
    say("Nodes searched: %llu", static_cast<unsigned long long>(nodes));
}

// "eval": the evaluation of the position term by term, as velmora-tools eval prints it.
void command_eval() {
    log_line("eval");
    print_eval_report(uci_out);
    std::fflush(uci_out);
}

// ---- go

// "go" and its limits. Times less the move overhead go through the same allocation as
// xboard's clocks; without a clock or a fixed time the search has no deadline.
void command_go(const char* args, const char* line) {
    if (const char* p = args; word_is(next_word(p), "perft")) {
        command_perft(p);
        return;
    }
    constexpr std::int64_t BIG = std::int64_t{1} << 50;
    static SearchLimits    limits;  // its root move list is too large for the stack's liking
    limits                           = SearchLimits{};
    constexpr std::int64_t UNSET     = -BIG - 1;
    std::int64_t           time[2]   = {UNSET, UNSET};  // [colour]; a negative clock counts as 0
    std::int64_t           inc[2]    = {0, 0};
    std::int64_t           to_go     = 0;
    std::int64_t           move_time = -1;
    std::int64_t           depth     = 0;
    std::int64_t           mate      = 0;
    bool                   infinite  = false;
    bool                   ponder    = false;
    bool                   in_moves  = false;
    struct NumberWord {
        const char*   name;
        std::int64_t* value;
        std::int64_t  low;
    };
    const NumberWord numbers[] = {
        {"wtime", &time[WHITE], -BIG},
        {"btime", &time[BLACK], -BIG},
        {"winc", &inc[WHITE], -BIG},
        {"binc", &inc[BLACK], -BIG},
        {"movestogo", &to_go, 1},
        {"movetime", &move_time, 0},
        {"depth", &depth, 1},
        {"nodes", &limits.node_limit, 1},
        {"mate", &mate, 1},
    };
    const char* p = args;
    for (Word w = next_word(p); w.length > 0; w = next_word(p)) {
        const NumberWord* number = nullptr;
        for (const NumberWord& n : numbers)
            if (word_is(w, n.name))
                number = &n;
        if (number) {
            in_moves      = false;
            const char* q = p;
            if (!word_to_number(next_word(q), number->low, BIG, *number->value)) {
                tell("go: %s needs a number; ignored", number->name);
                continue;
            }
            p = q;
        } else if (word_is(w, "infinite")) {
            infinite = true, in_moves = false;
        } else if (word_is(w, "ponder")) {
            ponder = true, in_moves = false;
        } else if (word_is(w, "searchmoves")) {
            in_moves = true;
        } else if (in_moves) {
            const Move m = word_to_move(w);
            if (m == NO_MOVE)
                tell("go: searchmoves: %.*s is no legal move here; ignored",
                     w.length > 16 ? 16 : w.length, w.start);
            else if (limits.root_move_count < MAX_MOVES)
                limits.root_moves[limits.root_move_count++] = m;
        }
    }
    // A mate in n moves is found within 2n - 1 plies.
    if (mate > 0)
        depth = 2 * mate - 1;
    if (depth > 0)
        limits.depth_limit =
            static_cast<int>(depth < DEFAULT_DEPTH_LIMIT ? depth : DEFAULT_DEPTH_LIMIT);

    const int          us       = position().side_to_move;
    const std::int64_t overhead = uci_options.move_overhead_ms;
    if (move_time >= 0) {
        limits.fixed_time_ms = clamp_to_int(move_time - overhead > 0 ? move_time - overhead : 0);
    } else if (time[us] != UNSET) {
        limits.moves_per_control = static_cast<int>(to_go);
        limits.moves_to_go       = static_cast<int>(to_go);
        limits.own_time_ms       = clamp_to_int(time[us] - overhead > 0 ? time[us] - overhead : 0);
        limits.opponent_time_ms  = clamp_to_int(time[1 - us] != UNSET ? time[1 - us] : time[us]);
        limits.increment_ms      = clamp_to_int(inc[us] > 0 ? inc[us] : 0);
    }
    // Without a clock only a stop, a depth or a node limit ends the search.
    limits.infinite = infinite || (move_time < 0 && time[us] == UNSET);
    limits.ponder   = ponder;
    limits.multi_pv = uci_options.multi_pv;
    limits.level_elo =
        level_elo(uci_options.limit_strength, uci_options.elo, uci_options.skill_level);
    limits.use_book = uci_options.own_book && state.game.from_startpos && !infinite
                      && limits.root_move_count == 0;
    if (state.settings.max_depth > 0 && limits.depth_limit > state.settings.max_depth)
        limits.depth_limit = state.settings.max_depth;
    log_line("%s", line);

    state.think = Think{};
    state.think.endless =
        infinite || ponder || (limits.infinite && depth == 0 && limits.node_limit == 0);
    set_input_poller(poll_during_search);
    int        score = 0;
    const Move m     = think(limits, score);
    // An infinite search or a ponder answers only when the GUI says so.
    while ((infinite || ponder) && !state.think.stop && !(ponder && state.think.ponderhit))
        poll_input(true);
    set_input_poller(nullptr);

    if (answered_from_book)
        tell("book move %s", uci_move_text(m).text);
    if (m == NO_MOVE) {
        say("bestmove 0000");
        log_line("Engine move 0000 %d", score);
        return;
    }
    // The expected reply, when it is one: a ponder move must be legal after the answer.
    Move reply = answer_pv[0] == m ? answer_pv[1] : NO_MOVE;
    if (reply != NO_MOVE) {
        make_move(m);
        bool legal = false;
        if (is_valid_move(reply)) {
            legal = make_move(reply);
            unmake_move();
        }
        unmake_move();
        if (!legal)
            reply = NO_MOVE;
    }
    if (reply != NO_MOVE)
        say("bestmove %s ponder %s", uci_move_text(m).text, uci_move_text(reply).text);
    else
        say("bestmove %s", uci_move_text(m).text);
    log_line("Engine move %s %d", uci_move_text(m).text, score);
}

// Carries out one line; false once the loop must end.
bool execute_line(const char* line) {
    const char*       args = nullptr;
    Word              first;
    const CommandWord word = command_of(line, args, first);
    switch (word) {
        case WORD_NONE:
            if (first.length > 0)
                tell("unknown command: %.*s", first.length > 32 ? 32 : first.length, first.start);
            return true;
        case WORD_UCI:
            log_line("uci");
            answer_uci();
            return true;
        case WORD_ISREADY: say("readyok"); return true;
        case WORD_SETOPTION: set_uci_option(args, state.settings); return true;
        case WORD_UCINEWGAME: command_ucinewgame(); return true;
        case WORD_POSITION: command_position(args); return true;
        case WORD_GO: command_go(args, line); return !state.think.quit;
        case WORD_QUIT: log_line("quit"); return false;
        case WORD_EVAL: command_eval(); return true;
        case WORD_DEBUG:
        case WORD_REGISTER:
        case WORD_STOP:  // no think to stop
        case WORD_PONDERHIT: return true;
    }
    return true;
}

}  // namespace

void uci_loop(int in, std::FILE* out, const UciSettings& settings) {
    std::signal(SIGINT, SIG_IGN);
    new_game();
    tt_clear();
    set_thinking_printer(print_thinking);

    set_uci_output(out);
    state.settings = settings;
    input_open(state.input, in);
    reset_uci_options(settings);
    state.game.from_startpos = true;
    state.game.fen[0]        = '\0';
    state.game.move_count    = 0;
    state.think              = Think{};

    log_line("uci");
    answer_uci();
    for (;;) {
        char* line = input_take_line(state.input);
        if (line == nullptr) {
            if (state.input.at_end)
                break;
            if (input_fill(state.input, -1))
                tell("a line longer than %d bytes was ignored", INPUT_CAPACITY);
            continue;
        }
        if (!execute_line(line))
            break;
    }
    set_search_threads(1);
    close_log();
    set_thinking_printer(nullptr);
}
