#include "uci.h"

#include <cstring>

#include "../board/fen.h"
#include "../platform/platform.h"
#include "../search/searchthread.h"
#include "../search/tt.h"
#include "console.h"
#include "control.h"
#include "game.h"
#include "optionset.h"
#include "output.h"

namespace {

constexpr int READ_CHUNK_SIZE = 4999;  // bytes taken from standard input at once
constexpr int WORD_SIZE = 128;         // a command word keeps 127 characters
constexpr int MOVE_TEXT_SIZE = 16;     // longer words are no move
constexpr int LOOP_SLEEP_MS = 2;
constexpr int WAIT_SLEEP_MS = 1;
// The first moments of a search are timed by spinning, not sleeping, so a
// very short search is not overrun by the loop's own sleep.
constexpr float SEARCH_SPIN_SECONDS = 0.015f;
constexpr float NEW_GAME_SECONDS = 60.0f;
// The FEN of "position fen ..." starts after the word "fen" and a blank.
constexpr size_t FEN_TEXT_OFFSET = 4;

struct InputState {
  char pending[READ_CHUNK_SIZE];  // bytes read but not yet sorted into lines
  int pendingStart, pendingEnd;
  char line[INPUT_LINE_SIZE];     // the line being collected (no terminator)
  int lineLength;
  char queue[INPUT_QUEUE_SIZE];   // complete lines, each closed by '@'
  int queueLength;
  char command[COMMAND_SIZE];
  bool ended;                     // standard input is closed
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

void quit_engine() {
  stop_and_wait();
  Control.quit = 1;
}

bool input_exhausted() {
  return In.ended && In.pendingStart >= In.pendingEnd && In.lineLength == 0 &&
         In.queueLength == 0;
}

}  // namespace

void poll_input() {
  read_waiting_input();
  collect_lines();
  if (!take_command()) {
    // A GUI that closed the pipe or died: end as "quit" would.
    if (input_exhausted()) quit_engine();
    return;
  }
  if (!Control.uciMode && std::strcmp(In.command, "uci") != 0) {
    console_command(In.command);
    return;
  }
  uci_command(In.command);
}

void stop_and_wait() {
  int state = Control.state.load();
  if (state == STATE_IDLE) return;
  // A search that was asked for but not started has nothing to wait for.
  if (state != STATE_GO && state != STATE_GO_PONDER) {
    Control.stop.store(1);
    while (!(Control.state.load() & STATE_FINISHED)) sleep_ms(WAIT_SLEEP_MS);
  }
  Control.stop.store(0);
  Control.state.store(STATE_IDLE);
}

void run_interactive() {
  while (!Control.quit) {
    // The elapsed time of a running search joins here with the search timer.
    bool idle = Control.state.load() == STATE_IDLE;
    if (idle || (Control.elapsed > SEARCH_SPIN_SECONDS && !Control.stop.load())) {
      poll_input();
      sleep_ms(LOOP_SLEEP_MS);
    }
    if (Control.quit) break;
    // The search joins here: its time check, starting a requested search
    // (book probe included) and printing the answer of a finished one.
  }
}

namespace {

void cmd_uci(const char*) {
  Control.uciMode = 1;
  print_linef("id name %s", ENGINE_NAME);
  print_linef("id author %s", ENGINE_AUTHOR);
  print_options();
  print_line("uciok");
}

void cmd_isready(const char*) { print_line("readyok"); }

void cmd_debug(const char*) { Control.echo = 1; }

void cmd_not_built(const char* name) {
  print_linef("info string %s is not available in this build", name);
}

void cmd_setoption(const char* args) { setoption_command(args); }
void cmd_go(const char*) { cmd_not_built("go"); }
void cmd_show(const char*) { cmd_not_built("_show"); }

void cmd_ucinewgame(const char*) {
  stop_and_wait();
  Control.limits.limitKind = LIMIT_CLOCK;
  Control.limits.timePerMove = NEW_GAME_SECONDS;
  Control.limits.increment = 0;
  Control.limits.clock[WHITE] = Control.limits.clock[BLACK] = NEW_GAME_SECONDS;
  tt_clear();
  Control.ttAge = 0;
  Game->undo[Game->undoIndex].move = MOVE_NONE;  // nothing left to replay
}

void cmd_ponderhit(const char*) {
  if (Control.state.load() == STATE_PONDERING) Control.state.store(STATE_SEARCHING);
}

void cmd_stop(const char*) {
  if (Control.state.load() != STATE_IDLE) Control.stop.store(1);
}

void cmd_quit(const char*) { quit_engine(); }

// Plays the blank-separated coordinate moves; the first one the pieces
// cannot make ends the list, the moves before it stay played.
void play_move_list(const char* text) {
  char word[MOVE_TEXT_SIZE];
  while (*text) {
    while (*text == ' ' || *text == '\t') text++;
    size_t length = std::strcspn(text, " \t");
    if (length == 0) break;
    std::memcpy(word, text, length < MOVE_TEXT_SIZE ? length : MOVE_TEXT_SIZE - 1);
    word[length < MOVE_TEXT_SIZE ? length : MOVE_TEXT_SIZE - 1] = '\0';
    text += length;
    Move m = length < MOVE_TEXT_SIZE ? game_move_from_text(word) : MOVE_NONE;
    if (m == MOVE_NONE) {
      print_linef("info string move %s cannot be played here; the moves after it are ignored",
                  word);
      return;
    }
    if (!play_game_move(m)) return;
  }
}

void cmd_position(const char* args) {
  char head[COMMAND_SIZE];
  std::strncpy(head, args, COMMAND_SIZE - 1);
  head[COMMAND_SIZE - 1] = '\0';
  const char* moves = nullptr;
  if (char* mark = std::strstr(head, "moves")) {
    moves = args + (mark - head) + std::strlen("moves");
    *mark = '\0';
  }
  bool ok;
  if (std::strstr(head, "startpos")) ok = set_game_position(START_FEN);
  else if (std::strstr(head, "fen")) ok = set_game_position(std::strlen(head) >= FEN_TEXT_OFFSET ? head + FEN_TEXT_OFFSET : "");
  else return;
  if (!ok) return;  // the moves belong to the refused position
  if (moves) play_move_list(moves);
  Game->undo[Game->undoIndex].move = MOVE_NONE;  // "]" replays nothing beyond
}

struct UciCommand {
  const char* name;
  void (*run)(const char* args);
};

constexpr UciCommand UCI_COMMANDS[] = {
    {"uci", cmd_uci},           {"isready", cmd_isready},     {"setoption", cmd_setoption},
    {"debug", cmd_debug},       {"_show", cmd_show},          {"ucinewgame", cmd_ucinewgame},
    {"position", cmd_position}, {"go", cmd_go},               {"ponderhit", cmd_ponderhit},
    {"stop", cmd_stop},         {"quit", cmd_quit},
};

}  // namespace

void uci_command(const char* command) {
  if (command[0] == '\0') return;
  if (Control.echo) log_linef("CMD: %s", command);
  while (*command == ' ') command++;
  size_t length = std::strcspn(command, " \r\n");
  char word[WORD_SIZE];
  size_t kept = length < WORD_SIZE ? length : WORD_SIZE - 1;
  std::memcpy(word, command, kept);
  word[kept] = '\0';
  const char* args = command + length;
  if (*args) args++;  // one separator
  for (const UciCommand& c : UCI_COMMANDS)
    if (std::strcmp(word, c.name) == 0) c.run(args);
}
