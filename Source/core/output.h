// The two routes by which text leaves the engine, and the log file.
#pragma once

// Size of the buffer every formatted message is built in.
constexpr int OUTPUT_LINE_SIZE = 256;

// Prepares the line lock; the result is 0 (a start-up status otherwise).
int init_output();
// Writes the line and a newline to standard output (flushed) and, when
// logging is on, to the log; lines of different threads never interleave.
void print_line(const char* text);
// printf-style print_line, formatted into a bounded buffer (over-long
// lines are cut, never overrun).
void print_linef(const char* format, ...) __attribute__((format(printf, 1, 2)));
// Writes the line to the log only, when logging is on.
void log_line(const char* text);
void log_linef(const char* format, ...) __attribute__((format(printf, 1, 2)));
// Opens "zerv.log" (once per run); refuses with "log file in use." when an
// existing file cannot be removed.
void open_log();
void close_log();
// Logging switch (the Log option).
void set_logging(bool on);
bool logging_enabled();
bool log_is_open();
