#include "frontend/ucicommands.h"

#include <cstdint>
#include <cstdio>
#include <cstring>

#include "board/fen.h"
#include "core/control.h"
#include "core/game.h"
#include "core/output.h"
#include "core/searchthread.h"
#include "frontend/gamemoves.h"
#include "frontend/golimits.h"
#include "frontend/input.h"
#include "frontend/optionset.h"
#include "frontend/searchcommand.h"
#include "search/searchparams.h"
#include "search/tt.h"

namespace {

constexpr int WORD_SIZE = 128;         // a command word keeps 127 characters
constexpr int MOVE_TEXT_SIZE = 16;     // longer words are no move
constexpr float NEW_GAME_SECONDS = 60.0f;
// The FEN of "position fen ..." starts after the word "fen" and a blank.
constexpr size_t FEN_TEXT_OFFSET = 4;

// While a search runs, or waits to answer, a command that would change what
// the search reads, or the position its answer is written for, waits until
// the search has ended. Once one waits, every later one waits too, so that
// they take effect in the order they came. True when the command was held
// back (or refused for want of room).
bool defer_during_search(const char* word, const char* args, const char* what, bool disturbs) {
  if (Control.state.load() == STATE_IDLE || (!disturbs && !held_commands_waiting())) return false;
  if (hold_command(word, args)) print_linef("info string %s deferred until the search ends", what);
  else print_linef("info string %s refused: too many commands wait for the search to end", what);
  return true;
}

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

}  // namespace

// The commands held back during the search that has just ended, in order.
void run_held_commands() {
  char command[COMMAND_SIZE];
  while (take_held_command(command, COMMAND_SIZE)) run_command(command);
}

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

void uci_command(const char* command) {
  if (command[0] == '\0') return;
  if (Control.echo) log_linef("CMD: %s", command);
  run_command(command);
}
