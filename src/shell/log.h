// shell/log.h: the protocol log, "velmora_log.txt" in the working directory. One plain
// line per event of the conversation with the GUI, flushed at once, so the file is
// complete up to the last entry even if the process is killed. Nothing ever reads it
// back; it serves diagnosis only.
// The command loop owns the stream: the xboard loop opens it (truncating the previous
// run's log) when it starts, the UCI loop only when the GUI names a file (the option
// "Debug Log File"); both close it on "quit" and at end of input. When the file cannot be
// opened the engine runs on, and while no log is open every entry is silently dropped.
#pragma once

constexpr const char* LOG_FILE_NAME = "velmora_log.txt";

// Opens (truncates) the log at path, closing the one open before; false when it cannot,
// and the log open before, if any, stays. A null path closes the log: no log.
bool open_log(const char* path);
// Appends one entry: the printf-style text followed by a line end, then flushes.
[[gnu::format(printf, 1, 2)]] void log_line(const char* format, ...);
void                               close_log();
