#include "frontend/uci.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "board/fen.h"
#include "board/notation.h"
#include "book/bookplay.h"
#include "platform/platform.h"
#include "search/report.h"
#include "search/rootsearch.h"
#include "search/searchparams.h"
#include "core/searchthread.h"
#include "search/searchstart.h"
#include "search/threads.h"
#include "search/timeman.h"
#include "search/tt.h"
#include "frontend/console.h"
#include "core/control.h"
#include "core/game.h"
#include "frontend/gamemoves.h"
#include "frontend/golimits.h"
#include "core/textparse.h"
#include "core/options.h"
#include "frontend/optionset.h"
#include "core/output.h"

namespace {

constexpr int READ_CHUNK_SIZE = 4999;  // bytes taken from standard input at once
constexpr int WORD_SIZE = 128;         // a command word keeps 127 characters
constexpr int MOVE_TEXT_SIZE = 16;     // longer words are no move
constexpr int LOOP_SLEEP_MS = 2;
constexpr int WAIT_SLEEP_MS = 1;
// A finished search whose answer is held can only be released by a
// command, so the loop sleeps until input comes; the limit merely bounds
// one wait.
constexpr int HELD_SLEEP_MS = 100;
// The first moments of a search are timed by brief naps, not the loop's
// usual sleep, so a very short search is not overrun by that sleep.
constexpr float SEARCH_SPIN_SECONDS = 0.015f;
constexpr float NEW_GAME_SECONDS = 60.0f;
constexpr int EXIT_THREAD_FAILURE = -1;
constexpr int FIFTY_MOVE_LIMIT = 100;  // beyond it the game is drawn: answer at once
constexpr int ANSWER_TEXT_SIZE = 8;
constexpr int PONDER_TEXT_SIZE = 16;  // " ponder " and a move
constexpr float NPS_TIME_FLOOR = 0.001f;
constexpr float PER_MILLE = 1000.0f;
constexpr float PERCENT = 100.0f;
// The FEN of "position fen ..." starts after the word "fen" and a blank.
constexpr size_t FEN_TEXT_OFFSET = 4;
// Commands deferred while a search runs: room for a few of the longest.
constexpr int HELD_COMMANDS_SIZE = 4 * COMMAND_SIZE;

struct InputState {
  char pending[READ_CHUNK_SIZE];  // bytes read but not yet sorted into lines
  int pendingStart, pendingEnd;
  char line[INPUT_LINE_SIZE];     // the line being collected (no terminator)
  int lineLength;
  char queue[INPUT_QUEUE_SIZE];   // complete lines, each closed by '@'
  int queueLength;
  char command[COMMAND_SIZE];
  bool ended;                     // standard input is closed
  char held[HELD_COMMANDS_SIZE];  // commands waiting for the search to end, each closed by '@'
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

void quit_engine() {
  stop_and_wait();
  Control.quit = 1;
}

// Input read but not yet executed: the loop goes on without sleeping.
bool input_waiting() { return In.queueLength > 0 || In.pendingStart < In.pendingEnd; }

bool input_exhausted() {
  return In.ended && In.pendingStart >= In.pendingEnd && In.lineLength == 0 &&
         In.queueLength == 0;
}

// Runs one command line without logging it again.
void run_command(const char* command);

// Keeps a command until the search has ended; false when there is no room.
bool hold_command(const char* word, const char* args) {
  size_t room = size_t(HELD_COMMANDS_SIZE - In.heldLength);
  if (std::strlen(word) + std::strlen(args) + 2 >= room) return false;
  In.heldLength += std::snprintf(In.held + In.heldLength, room, "%s %s%c", word, args, COMMAND_SEPARATOR);
  return true;
}

// While a search runs, or waits to answer, a command that would change what
// the search reads, or the position its answer is written for, waits until
// the search has ended. Once one waits, every later one waits too, so that
// they take effect in the order they came. True when the command was held
// back (or refused for want of room).
bool defer_during_search(const char* word, const char* args, const char* what, bool disturbs) {
  if (Control.state.load() == STATE_IDLE || (!disturbs && In.heldLength == 0)) return false;
  if (hold_command(word, args)) print_linef("info string %s deferred until the search ends", what);
  else print_linef("info string %s refused: too many commands wait for the search to end", what);
  return true;
}

// The commands held back during the search that has just ended, in order.
void run_held_commands() {
  while (In.heldLength > 0) {
    char command[COMMAND_SIZE];
    const char* end = static_cast<const char*>(std::memchr(In.held, COMMAND_SEPARATOR, In.heldLength));
    int length = int(end - In.held);
    int kept = length < COMMAND_SIZE - 1 ? length : COMMAND_SIZE - 1;
    std::memcpy(command, In.held, kept);
    command[kept] = '\0';
    In.heldLength -= length + 1;
    std::memmove(In.held, end + 1, In.heldLength);
    run_command(command);
  }
}

}  // namespace

void reset_input() { In = InputState{}; }

void poll_input() {
  read_waiting_input();
  collect_lines();
  if (!take_command()) {
    // A GUI that closed the pipe or died: end as "quit" would. The tools
    // read commands only to be stoppable; their input may well be empty.
    if (input_exhausted() && Control.runMode == MODE_INTERACTIVE) quit_engine();
    return;
  }
  if (!Control.uciMode && std::strcmp(In.command, "uci") != 0) {
    console_command(In.command);
    return;
  }
  uci_command(In.command);
}

bool read_console_line(char* out, int size) {
  for (;;) {
    read_waiting_input();
    collect_lines();
    if (take_command()) {
      copy_bounded(out, size_t(size), In.command);
      return true;
    }
    if (input_exhausted()) return false;
    sleep_until_input_ms(LOOP_SLEEP_MS);
  }
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

namespace {

void take_book_move(Move move) {
  char text[ANSWER_TEXT_SIZE];
  move_to_text(Game->pos, Game->pos.side, move, text);
  print_linef("%s book move is %s", Control.uciMode ? "info string" : "", text);
  Control.score = 0;
  Control.stop.store(1);
  Control.bookMove = move;
}

// Loop step 5: the search start, the books, then the search threads; a
// book move or a game drawn by the fifty-move rule answers at once.
void begin_search(int requested) {
  prepare_search();
  Control.bestMove = Control.ponderMove = Control.bookMove = MOVE_NONE;
  Control.answerAfterStop = Control.limits.infinite;
  if (requested == STATE_GO && Options.OwnBook) {
    Move move = book_game_move();
    // A "searchmoves" list is not overridden by the book.
    if (move != MOVE_NONE && root_move_allowed(Control.limits, move)) take_book_move(move);
  }
  int running = requested == STATE_GO ? STATE_SEARCHING : STATE_PONDERING;
  if (Game->pos.fifty > FIFTY_MOVE_LIMIT || Control.bookMove != MOVE_NONE) {
    Control.state.store(running | STATE_FINISHED);
    return;
  }
  if (start_search(running) != 0) std::exit(EXIT_THREAD_FAILURE);
}

// A finished search is answered at once, except a pondering one and an
// infinite one: the GUI may get its move only after "ponderhit" or "stop"
// (both end the pondering) or after "stop", however soon the search itself
// ended (a mate found, a single reply, the depth ceiling, a tablebase or
// book move).
bool answer_due(int state) {
  return (state & STATE_FINISHED) && (state & ~STATE_FINISHED) != STATE_PONDERING &&
         !Control.answerAfterStop;
}

bool answer_held(int state) { return (state & STATE_FINISHED) && !answer_due(state); }

// How long the loop may wait for input after reading: not at all when a
// command left work for the next pass (commands that came together, a
// search started, released or stopped); until a command comes while an
// answer is held; otherwise a short pause, so the clock is still watched.
int input_pause_ms(int stateBefore) {
  int state = Control.state.load();
  if (input_waiting() || state != stateBefore) return 0;
  if (answer_held(state)) return HELD_SLEEP_MS;
  return Control.stop.load() ? 0 : LOOP_SLEEP_MS;
}

void print_uci_answer(Move best, Move ponder) {
  if (best == MOVE_NONE) {
    print_line("bestmove 0000");
    return;
  }
  char bestText[ANSWER_TEXT_SIZE], ponderText[PONDER_TEXT_SIZE] = "";
  int side = Game->pos.side;
  move_to_text(Game->pos, side, best, bestText);
  if (ponder != MOVE_NONE) {
    char text[ANSWER_TEXT_SIZE];
    move_to_text(Game->pos, side ^ 1, ponder, text);
    std::snprintf(ponderText, sizeof ponderText, " ponder %s", text);
  }
  print_linef("bestmove %s%s", bestText, ponderText);
}

float hit_rate(uint64_t hits, uint64_t probes) {
  return float(hits) * PERCENT / float(probes + 1);
}

void print_console_answer(Move best) {
  char text[ANSWER_TEXT_SIZE];
  move_to_text(Game->pos, Game->pos.side, best, text);
  float elapsed = Control.elapsed.load();
  double nodes = double(Control.nodes);
  float fill = tt_hashfull();
  print_linef("move= %s, time= %0.3f, score= %d, nodes= %0.0f, nps= %0.0fK ebf= %0.2f", text,
              elapsed, Control.score, nodes, nodes / (elapsed + NPS_TIME_FLOOR) / PER_MILLE,
              effective_branching_factor());
  print_linef("Hash fill= %.1f%%, Hash hits: main= %0.1f%%, pawn= %0.1f%%, eval= %0.1f%%, TB=%0.0fK",
              fill * PERCENT, hit_rate(Control.ttHits, Control.ttProbes),
              hit_rate(Control.pawnHits, Control.pawnProbes),
              hit_rate(Control.evalHits, Control.evalProbes), double(Control.tbHits) / PER_MILLE);
  print_line("");
}

// A console game goes on: the mover's clock, then the move on the board;
// self-play starts the next search at once.
void continue_console_game(Move best) {
  if (!Control.engineMoves && !Control.selfPlay) return;
  SearchLimits& limits = Control.limits;
  float& clock = limits.clock[Game->pos.side];
  clock += limits.increment - Control.elapsed.load();
  if (clock < 0) clock = 0;
  if (best == MOVE_NONE) {
    Control.engineMoves = Control.selfPlay = 0;
    return;
  }
  if (play_game_move(best)) print_board();
  if (Control.selfPlay) Control.state.store(STATE_GO);
}

// Loop step 6: the final progress line and the answer.
void answer_search() {
  int multipv = Control.multiPV > 1 ? 1 : 0;
  print_pv_line(0, multipv, Control.completedDepth, Control.score, Control.bestLine);
  Move best = Control.bookMove ? Control.bookMove : Control.bestMove;
  Move ponder = Control.bookMove ? MOVE_NONE : Control.ponderMove;
  if (Control.uciMode) print_uci_answer(best, ponder);
  else print_console_answer(best);
  Control.stop.store(0);
  Control.state.store(STATE_IDLE);
  continue_console_game(best);
}

}  // namespace

void run_interactive() {
  while (!Control.quit) {
    int state = Control.state.load();
    float elapsed = search_elapsed();
    if (state != STATE_IDLE) Control.elapsed.store(elapsed);
    // A finished search is answered before any further command is read, so
    // nothing read afterwards can change what its answer sees; a finished
    // search whose answer is held waits for the command that releases it.
    bool reading = answer_held(state) ||
                   (elapsed > SEARCH_SPIN_SECONDS && !Control.stop.load() && !answer_due(state));
    if (state == STATE_IDLE || reading) {
      // What waited for the search to end, right after it has answered.
      if (state == STATE_IDLE) run_held_commands();
      poll_input();
      // The pause ends when a line arrives: at fast time controls every
      // millisecond of reply latency counts.
      if (int pause = input_pause_ms(state)) sleep_until_input_ms(pause);
    } else if (state == STATE_SEARCHING || state == STATE_PONDERING) {
      // A search's first moments, or its last after a stop: the clock is
      // watched closely, but a spinning loop would take a processor from
      // the search threads and delay the very answer it waits for.
      nap_briefly();
    }
    if (Control.quit) break;
    time_check();
    state = Control.state.load();
    if (state == STATE_GO || state == STATE_GO_PONDER) begin_search(state);
    if (answer_due(Control.state.load())) answer_search();
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

void cmd_setoption(const char* args) {
  char name[OPTION_NAME_SIZE], value[OPTION_VALUE_SIZE];
  bool named = parse_setoption(args, name, value);
  if (named && defer_during_search("setoption", args, name, !option_safe_during_search(name))) return;
  setoption_command(args);
}

// The commands held back during the replaced search take effect first:
// they came before this one.
void cmd_go(const char* args) {
  stop_and_wait();
  run_held_commands();
  Control.state.store(read_go_limits(args, Control.baseLimits, Control.limits));
}

void cmd_show(const char*) { print_search_params(); }

// A new game's clocks, assumed by every "go" that names none.
void set_new_game_clocks(SearchLimits& limits) {
  limits.limitKind = LIMIT_CLOCK;
  limits.timePerMove = NEW_GAME_SECONDS;
  limits.increment = 0;
  limits.clock[WHITE] = limits.clock[BLACK] = NEW_GAME_SECONDS;
}

void cmd_ucinewgame(const char*) {
  stop_and_wait();
  run_held_commands();
  set_new_game_clocks(Control.limits);
  set_new_game_clocks(Control.baseLimits);
  tt_clear();
  Control.ttAge = 0;
  Game->undo[Game->undoIndex].move = MOVE_NONE;  // nothing left to replay
}

// Pondering becomes searching; a pondering search that already finished
// keeps its finished mark (the master may set it at this very moment).
void end_pondering() {
  int state = Control.state.load();
  while ((state & ~STATE_FINISHED) == STATE_PONDERING &&
         !Control.state.compare_exchange_weak(state, (state & STATE_FINISHED) | STATE_SEARCHING)) {
  }
}

void cmd_ponderhit(const char*) { end_pondering(); }

// A stopped pondering search is answered like any other.
void cmd_stop(const char*) {
  Control.answerAfterStop = 0;
  if (Control.state.load() == STATE_IDLE) return;
  end_pondering();
  Control.stop.store(1);
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
  if (defer_during_search("position", args, "position", true)) return;
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

void run_command(const char* command) {
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

}  // namespace

void uci_command(const char* command) {
  if (command[0] == '\0') return;
  if (Control.echo) log_linef("CMD: %s", command);
  run_command(command);
}
