#include "shell/uci_output.h"

#include <cstdarg>

#include "search/tt.h"
#include "shell/log.h"
#include "shell/uci_options.h"
#include "shell/wdl.h"

static std::FILE* output = nullptr;

std::FILE* const& uci_out = output;

void set_uci_output(std::FILE* out) { output = out; }

void say(const char* format, ...) {
    va_list args;
    va_start(args, format);
    std::vfprintf(output, format, args);
    va_end(args);
    std::fputc('\n', output);
    std::fflush(output);
}

void tell(const char* format, ...) {
    char    text[512];
    va_list args;
    va_start(args, format);
    std::vsnprintf(text, sizeof text, format, args);
    va_end(args);
    say("info string %s", text);
    log_line("info string %s", text);
}

MoveText uci_move_text(Move m) {
    MoveText text = uci_options.chess960 ? move_to_text_960(m) : move_to_text(m);
    if (text.text[4] >= 'A' && text.text[4] <= 'Z')
        text.text[4] = static_cast<char>(text.text[4] - 'A' + 'a');
    return text;
}

void print_thinking(const ThinkingReport& report) {
    char score[32];
    if (report.score > MATE_BOUND)
        std::snprintf(score, sizeof score, "mate %d", (MATE - report.score + 1) / 2);
    else if (report.score < -MATE_BOUND)
        std::snprintf(score, sizeof score, "mate %d", -(MATE + report.score) / 2);
    else
        std::snprintf(score, sizeof score, "cp %d", report.score);
    const char*     bound   = report.bound == BOUND_LOWER   ? " lowerbound"
                              : report.bound == BOUND_UPPER ? " upperbound"
                                                            : "";
    const long long time_ms = report.time_ms > 0 ? report.time_ms : 0;
    const long long nps = static_cast<long long>(report.nodes) * 1000 / (time_ms > 0 ? time_ms : 1);
    char            wdl[32] = "";
    if (uci_options.show_wdl) {
        const Wdl chances = score_to_wdl(report.score, wdl_material(), wdl_plies());
        std::snprintf(wdl, sizeof wdl, " wdl %d %d %d", chances.win, chances.draw, chances.loss);
    }
    std::fprintf(uci_out,
                 "info depth %d seldepth %d multipv %d score %s%s%s nodes %lld nps %lld "
                 "hashfull %d time %lld",
                 report.depth, report.seldepth > report.depth ? report.seldepth : report.depth,
                 report.line, score, bound, wdl, static_cast<long long>(report.nodes), nps,
                 tt_hashfull(), time_ms);
    if (report.pv[0] != NO_MOVE) {
        std::fprintf(uci_out, " pv");
        for (int i = 0; report.pv[i] != NO_MOVE; ++i)
            std::fprintf(uci_out, " %s", uci_move_text(report.pv[i]).text);
    }
    std::fputc('\n', uci_out);
    std::fflush(uci_out);
}
