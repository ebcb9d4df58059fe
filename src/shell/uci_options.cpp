#include "shell/uci_options.h"

#include <cstdint>
#include <cstring>

#include "search/levels.h"
#include "search/think.h"
#include "search/threads.h"
#include "search/tt.h"
#include "shell/log.h"
#include "shell/options.h"
#include "shell/uci_output.h"
#include "shell/words.h"

static UciOptions options;

const UciOptions& uci_options = options;

void reset_uci_options(const UciSettings& settings) {
    options = UciOptions{settings.hash_mb,         false, true,  1,
                         DEFAULT_MOVE_OVERHEAD_MS, false, false, LEVEL_MIN_ELO,
                         LEVEL_MAX_SKILL,          false};
}

void announce_uci_options(const UciSettings& settings) {
    say("option name Hash type spin default %d min %d max %d", settings.hash_mb, MIN_HASH_MB,
        UCI_MAX_HASH_MB);
    say("option name Threads type spin default 1 min 1 max %d", MAX_SEARCH_THREADS);
    say("option name Ponder type check default false");
    say("option name OwnBook type check default true");
    say("option name MultiPV type spin default 1 min 1 max %d", MAX_MULTI_PV);
    say("option name Move Overhead type spin default %d min 0 max %d", DEFAULT_MOVE_OVERHEAD_MS,
        MAX_MOVE_OVERHEAD_MS);
    say("option name Clear Hash type button");
    say("option name UCI_Chess960 type check default false");
    say("option name Skill Level type spin default %d min 0 max %d", LEVEL_MAX_SKILL,
        LEVEL_MAX_SKILL);
    say("option name UCI_LimitStrength type check default false");
    say("option name UCI_Elo type spin default %d min %d max %d", LEVEL_MIN_ELO, LEVEL_MIN_ELO,
        LEVEL_MAX_ELO);
    say("option name UCI_ShowWDL type check default false");
    say("option name Debug Log File type string default <empty>");
}

static void resize_hash(int mb) {
    const std::int64_t entries = tt_entries_for(lower_to_power_of_two(mb));
    const std::int64_t granted =
        static_cast<std::int64_t>(allocate_tt(static_cast<std::uint64_t>(entries), true));
    options.hash_mb = mb;
    if (granted < entries)
        tell(
            "Hash: the machine granted %lld MB of %lld MB",
            static_cast<long long>(granted * 2 * static_cast<std::int64_t>(sizeof(TTEntry)) >> 20),
            static_cast<long long>(entries * 2 * static_cast<std::int64_t>(sizeof(TTEntry)) >> 20));
}

// "Debug Log File": the protocol log goes to path from now on, the file rewritten; an
// empty value ("<empty>" is how GUIs show one) ends the log. Without it nothing is logged,
// so that engines started side by side in one directory do not garble one file. A path
// that cannot be written keeps the log as it was.
static void set_debug_log(const char* path, const UciSettings& settings) {
    if (path[0] == '\0' || std::strcmp(path, "<empty>") == 0) {
        log_line("setoption name Debug Log File value");
        close_log();
        return;
    }
    if (!open_log(settings.log_path ? settings.log_path : path)) {
        tell("Debug Log File: '%s' cannot be written; the log stays as it was", path);
        return;
    }
    log_line("setoption name Debug Log File value %s", path);
}

static bool read_check(const char* value, bool& flag) {
    if (std::strcmp(value, "true") == 0)
        flag = true;
    else if (std::strcmp(value, "false") == 0)
        flag = false;
    else
        return false;
    return true;
}

void set_uci_option(const char* args, const UciSettings& settings) {
    const char* p = args;
    if (!word_is(next_word(p), "name")) {
        tell("setoption needs: setoption name NAME [value VALUE]");
        return;
    }
    while (is_blank(*p))
        ++p;
    const char* name     = p;
    const char* name_end = p;
    const char* value    = "";
    for (const char* q = p;;) {
        const Word w = next_word(q);
        if (w.length == 0)
            break;
        if (word_is(w, "value")) {
            value = q;
            while (is_blank(*value))
                ++value;
            break;
        }
        name_end = w.start + w.length;
    }
    const int name_length = static_cast<int>(name_end - name);
    char      value_text[256];  // a path for Debug Log File
    int       value_length = static_cast<int>(std::strlen(value));
    while (value_length > 0 && is_blank(value[value_length - 1]))
        --value_length;
    if (value_length >= static_cast<int>(sizeof value_text)) {
        tell("option %.*s: the value is too long; kept", name_length, name);
        return;
    }
    std::memcpy(value_text, value, static_cast<std::size_t>(value_length));
    value_text[value_length] = '\0';
    const char*  v           = value_text;
    const Word   number_word = next_word(v);
    std::int64_t number      = 0;
    UciOptions&  o           = options;
    bool         ok          = true;

    if (equal_ignoring_case(name, name_length, "Hash")) {
        ok = word_to_number(number_word, MIN_HASH_MB, UCI_MAX_HASH_MB, number) && *v == '\0';
        if (ok)
            resize_hash(static_cast<int>(min_int(static_cast<int>(number), settings.max_hash_mb)));
    } else if (equal_ignoring_case(name, name_length, "Threads")) {
        ok = word_to_number(number_word, 1, MAX_SEARCH_THREADS, number) && *v == '\0';
        if (ok)
            if (const int granted = set_search_threads(static_cast<int>(number)); granted < number)
                tell("Threads: the system granted %d of %lld threads", granted,
                     static_cast<long long>(number));
    } else if (equal_ignoring_case(name, name_length, "Ponder")) {
        ok = read_check(value_text, o.ponder);
    } else if (equal_ignoring_case(name, name_length, "OwnBook")) {
        ok = read_check(value_text, o.own_book);
    } else if (equal_ignoring_case(name, name_length, "MultiPV")) {
        ok = word_to_number(number_word, 1, MAX_MULTI_PV, number) && *v == '\0';
        if (ok)
            o.multi_pv = static_cast<int>(number);
    } else if (equal_ignoring_case(name, name_length, "Move Overhead")) {
        ok = word_to_number(number_word, 0, MAX_MOVE_OVERHEAD_MS, number) && *v == '\0';
        if (ok)
            o.move_overhead_ms = static_cast<int>(number);
    } else if (equal_ignoring_case(name, name_length, "UCI_Chess960")) {
        ok = read_check(value_text, o.chess960);
    } else if (equal_ignoring_case(name, name_length, "Skill Level")) {
        ok = word_to_number(number_word, 0, LEVEL_MAX_SKILL, number) && *v == '\0';
        if (ok)
            o.skill_level = static_cast<int>(number);
    } else if (equal_ignoring_case(name, name_length, "UCI_LimitStrength")) {
        ok = read_check(value_text, o.limit_strength);
    } else if (equal_ignoring_case(name, name_length, "UCI_Elo")) {
        ok = word_to_number(number_word, LEVEL_MIN_ELO, LEVEL_MAX_ELO, number) && *v == '\0';
        if (ok)
            o.elo = static_cast<int>(number);
    } else if (equal_ignoring_case(name, name_length, "Random Seed")) {
        ok = word_to_number(number_word, 0, INT64_MAX, number) && *v == '\0';
        if (ok)
            seed_level_choices(static_cast<std::uint64_t>(number));
    } else if (equal_ignoring_case(name, name_length, "UCI_ShowWDL")) {
        ok = read_check(value_text, o.show_wdl);
    } else if (equal_ignoring_case(name, name_length, "Clear Hash")) {
        clear_for_new_game();
    } else if (equal_ignoring_case(name, name_length, "Debug Log File")) {
        set_debug_log(value_text, settings);
        return;  // logged there, in the log it opens
    } else {
        tell("no option named '%.*s'", name_length, name);
        return;
    }
    if (!ok) {
        tell("option %.*s: '%s' is not a value it takes; kept", name_length, name, value_text);
        return;
    }
    log_line("setoption name %.*s%s%s", name_length, name, value_length ? " value " : "",
             value_text);
}
