#include "frontend/input.h"

#include <cstdio>
#include <cstring>

#include "core/textparse.h"
#include "platform/platform.h"

namespace {

constexpr int READ_CHUNK_SIZE = 4999;  // bytes taken from standard input at once
// Commands deferred while a search runs: room for a few of the longest.
constexpr int HELD_COMMANDS_SIZE = 4 * COMMAND_SIZE;

struct InputState {
  char pending[READ_CHUNK_SIZE];  // bytes read but not yet sorted into lines
  int pendingStart, pendingEnd;
  char line[INPUT_LINE_SIZE];     // the line being collected (no terminator)
  int lineLength;
  char queue[INPUT_QUEUE_SIZE];   // complete lines, each closed by COMMAND_SEPARATOR
  int queueLength;
  char command[COMMAND_SIZE];
  bool ended;                     // standard input is closed
  char held[HELD_COMMANDS_SIZE];  // commands waiting for the search to end, in the same form
  int heldLength;
};

InputState In;

// Appends the collected line and its separator; false when the queue has
// no room yet (the line then waits until a command has been taken out).
bool queue_line() {
  if (In.queueLength + In.lineLength + 1 >= INPUT_QUEUE_SIZE) return false;
  std::memcpy(In.queue + In.queueLength, In.line, In.lineLength);
  In.queueLength += In.lineLength;
  In.queue[In.queueLength++] = COMMAND_SEPARATOR;
  In.queue[In.queueLength] = '\0';
  In.lineLength = 0;
  return true;
}

void read_waiting_input() {
  if (In.pendingStart < In.pendingEnd || In.ended) return;
  int got = read_input(In.pending, READ_CHUNK_SIZE);
  In.pendingStart = 0;
  In.pendingEnd = got > 0 ? got : 0;
  if (got == INPUT_CLOSED) In.ended = true;
}

// Sorts pending bytes into lines: a line feed or a zero byte ends a line,
// bytes beyond the line buffer are dropped, carriage returns stay for now.
void collect_lines() {
  while (In.pendingStart < In.pendingEnd) {
    char c = In.pending[In.pendingStart];
    if (c == '\n' || c == '\0') {
      if (In.lineLength > 0 && !queue_line()) return;
    } else if (In.lineLength < INPUT_LINE_SIZE) {
      In.line[In.lineLength++] = c;
    }
    In.pendingStart++;
  }
  // A last line without a line feed still counts once input has ended.
  if (In.ended && In.lineLength > 0) queue_line();
}

// Moves the oldest queued line into In.command; false when none is queued.
bool take_command() {
  char* end = static_cast<char*>(std::memchr(In.queue, COMMAND_SEPARATOR, In.queueLength));
  if (!end) return false;
  int length = static_cast<int>(end - In.queue);
  int kept = length < COMMAND_SIZE - 1 ? length : COMMAND_SIZE - 1;
  std::memcpy(In.command, In.queue, kept);
  In.command[kept] = '\0';
  int rest = In.queueLength - length - 1;
  std::memmove(In.queue, end + 1, rest);
  In.queueLength = rest;
  In.queue[rest] = '\0';
  char* lineEnd = std::strpbrk(In.command, "\r\n");
  if (lineEnd) *lineEnd = '\0';
  return true;
}

}  // namespace

bool next_command(char* out, int size) {
  read_waiting_input();
  collect_lines();
  if (!take_command()) return false;
  copy_bounded(out, size_t(size), In.command);
  return true;
}

bool input_waiting() { return In.queueLength > 0 || In.pendingStart < In.pendingEnd; }

bool input_exhausted() {
  return In.ended && In.pendingStart >= In.pendingEnd && In.lineLength == 0 &&
         In.queueLength == 0;
}

void reset_input() { In = InputState{}; }

bool read_console_line(char* out, int size) {
  for (;;) {
    if (next_command(out, size)) return true;
    if (input_exhausted()) return false;
    sleep_until_input_ms(INPUT_POLL_MS);
  }
}

bool hold_command(const char* word, const char* args) {
  size_t room = size_t(HELD_COMMANDS_SIZE - In.heldLength);
  if (std::strlen(word) + std::strlen(args) + 2 >= room) return false;
  In.heldLength += std::snprintf(In.held + In.heldLength, room, "%s %s%c", word, args, COMMAND_SEPARATOR);
  return true;
}

bool held_commands_waiting() { return In.heldLength > 0; }

bool take_held_command(char* out, int size) {
  if (In.heldLength == 0) return false;
  const char* end = static_cast<const char*>(std::memchr(In.held, COMMAND_SEPARATOR, In.heldLength));
  int length = int(end - In.held);
  int kept = length < size - 1 ? length : size - 1;
  std::memcpy(out, In.held, kept);
  out[kept] = '\0';
  In.heldLength -= length + 1;
  std::memmove(In.held, end + 1, In.heldLength);
  return true;
}
