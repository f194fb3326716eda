#include "core/output.h"

#include <cstdarg>
#include <cstdio>

#include "platform/platform.h"

namespace {

constexpr const char* LOG_FILE_NAME = "zerv.log";

struct OutputState {
  SpinLock lineLock;  // one whole line at a time on stdout and in the log
  std::FILE* log;     // open from open_log to close_log
  bool logging;       // the Log switch; the file may stay open while off
  bool logOpened;     // the log is opened at most once per run
};

OutputState Out;

void write_log_locked(const char* text) {
  if (!Out.logging || !Out.log) return;
  std::fputs(text, Out.log);
  std::fputc('\n', Out.log);
  std::fflush(Out.log);
}

}  // namespace

void print_line(const char* text) {
  spin_lock(Out.lineLock);
  std::fputs(text, stdout);
  std::fputc('\n', stdout);
  std::fflush(stdout);
  write_log_locked(text);
  spin_unlock(Out.lineLock);
}

void print_linef(const char* format, ...) {
  char line[OUTPUT_LINE_SIZE];
  va_list args;
  va_start(args, format);
  std::vsnprintf(line, sizeof line, format, args);
  va_end(args);
  print_line(line);
}

void log_line(const char* text) {
  spin_lock(Out.lineLock);
  write_log_locked(text);
  spin_unlock(Out.lineLock);
}

void log_linef(const char* format, ...) {
  char line[OUTPUT_LINE_SIZE];
  va_list args;
  va_start(args, format);
  std::vsnprintf(line, sizeof line, format, args);
  va_end(args);
  log_line(line);
}

int init_output() { return init_spin_lock(Out.lineLock); }

void open_log() {
  if (Out.logOpened) return;
  // An engine already writing here holds its log; taking the file from it
  // would mix two dialogues, so this one runs without a log.
  if (file_exists(LOG_FILE_NAME) && (file_in_use(LOG_FILE_NAME) || !delete_file(LOG_FILE_NAME))) {
    print_line("log file in use.");
    Out.logging = false;
    return;
  }
  std::FILE* file = std::fopen(LOG_FILE_NAME, "w");
  if (!file) {
    print_line("info string cannot create zerv.log, logging is off");
    Out.logging = false;
    return;
  }
  hold_file(file);
  spin_lock(Out.lineLock);
  Out.log = file;
  Out.logOpened = true;
  spin_unlock(Out.lineLock);
}

void close_log() {
  spin_lock(Out.lineLock);
  if (Out.log) std::fclose(Out.log);
  Out.log = nullptr;
  spin_unlock(Out.lineLock);
}

void set_logging(bool on) { Out.logging = on; }

bool logging_enabled() { return Out.logging; }

bool log_is_open() { return Out.log != nullptr; }
