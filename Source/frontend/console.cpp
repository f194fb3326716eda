#include "frontend/console.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "board/attacks.h"
#include "board/fen.h"
#include "board/legality.h"
#include "board/makemove.h"
#include "board/notation.h"
#include "board/perft.h"
#include "board/see.h"
#include "book/bookplay.h"
#include "core/control.h"
#include "core/game.h"
#include "core/options.h"
#include "core/output.h"
#include "core/searchthread.h"
#include "core/textparse.h"
#include "eval/hce.h"
#include "eval/network.h"
#include "frontend/boarddisplay.h"
#include "frontend/boardeditor.h"
#include "frontend/gamemoves.h"
#include "frontend/gamerecord.h"
#include "frontend/searchcommand.h"
#include "platform/platform.h"
#include "search/searchparams.h"
#include "search/searchstart.h"
#include "search/strength.h"
#include "search/tt.h"

namespace {

constexpr int MAX_WORDS = 10;
constexpr int WORD_SIZE = 128;
constexpr int MAX_PERFT_DEPTH = 20;
constexpr double NPS_TIME_FLOOR = 0.001;  // keeps a zero-time run from dividing by 0
constexpr int EV_TRACE_LEVEL = 1;  // breakdown by term
constexpr int SP_TRACE_LEVEL = 2;  // breakdown, parameter list and tables

struct Words {
  char w[MAX_WORDS][WORD_SIZE];  // w[0] is the command; missing words are empty
};

void split_words(const char* line, Words& out) {
  std::memset(&out, 0, sizeof out);
  for (int n = 0; n < MAX_WORDS; n++) {
    while (*line == ' ' || *line == '\t') line++;
    size_t length = std::strcspn(line, " \t");
    if (length == 0) break;
    copy_bounded(out.w[n], length < WORD_SIZE ? length + 1 : WORD_SIZE, line);
    line += length;
  }
}

void cmd_fen(const char* line) {
  const char* fen = std::strstr(line, "fen");
  fen += std::strlen("fen");
  if (*fen) fen++;  // the blank after the command
  set_game_position(fen);
  print_board();
}

void cmd_perft(const Words& words) {
  int depth = clamp_int(read_int_prefix(words.w[1]), 0, MAX_PERFT_DEPTH);
  // As before a search: the settings are brought up to date and the
  // position is printed; the count itself is timed alone.
  prepare_search();
  double start = monotonic_seconds();
  Game->nodes = 0;
  perft(Game, Game->pos.side, ROOT_PLY, depth);
  double elapsed = monotonic_seconds() - start;
  double nodes = static_cast<double>(Game->nodes);
  print_linef("visited %0.0f nodes in %0.3f seconds, nps= %0.0f", nodes, elapsed,
              nodes / (elapsed + NPS_TIME_FLOOR));
}

// Exchange value of every piece the other side attacks, written straight
// to the terminal (diagnostics, not part of the log).
void cmd_swap() {
  const Position& pos = Game->pos;
  for (int sq = 0; sq < NO_SQUARE; sq++) {
    int piece = pos.board[sq];
    if (!piece) continue;
    int attacker = colour_of(piece) ^ 1;
    if (!square_attacked(pos, sq, attacker)) continue;
    std::printf("sq= %s, swap1= %4d\n", SquareName[sq], see(pos, attacker, NO_SQUARE, sq));
  }
  std::fflush(stdout);
}

void cmd_undo() {
  take_back_game_move();
  print_board();
}

void play_text_move(const char* text) {
  Move m = MOVE_NONE;
  if (!parse_move(text, &m)) {
    // The parser leaves no squares behind a refusal, so the text itself
    // says what was refused.
    std::printf("invalid: %s%s\n", text, "");
    std::fflush(stdout);
    return;
  }
  print_linef("%d. move %s", game_ply() / 2 + 1, text);
  if (play_game_move(m)) print_board();
}

// The last game move, then the network score (when the network is on)
// and the hand-crafted evaluation with its term-by-term breakdown.
void cmd_ev() {
  int ply = game_ply();
  if (ply > 0) {
    Move last = Game->lastMove;
    const char* mover = Game->pos.side == BLACK ? "." : "...";
    std::printf("last move was %d%s %s%s\n", (ply + 1) / 2, mover, SquareName[move_from(last)],
                SquareName[move_to(last)]);
    std::fflush(stdout);
  }
  if (Control.useNN) nn_evaluate(Game);
  hce_evaluate(Game, Game->pos.side, ROOT_PLY, EV_TRACE_LEVEL);
}

// ------------------------------------------------------ search commands

constexpr int ANALYSIS_MAX_DEPTH = 65;  // "go N" keeps N from 1 to this
constexpr float ANALYSIS_SECONDS = 99999.0f;
constexpr int PV_TEXT_SIZE = 1024;
constexpr int SAN_SIZE = 12;
constexpr int PV_MAX_MOVES = MAX_PLY - 10;  // a table line may run in circles
constexpr int SECONDS_PER_MINUTE = 60;

void cmd_new() {
  set_game_position(START_FEN);
  print_board();
  Control.limits.clock[WHITE] = Control.limits.clock[BLACK] = Control.limits.timePerMove;
}

void cmd_mv() {
  Control.engineMoves = 1;
  Control.state.store(STATE_GO);
}

// Analysis: practically unlimited time, to depth W1 when it is given.
void cmd_analyse(const Words& words) {
  SearchLimits& limits = Control.limits;
  limits.maxDepth = MAX_DEPTH;
  limits.limitKind = LIMIT_FIXED;
  limits.timePerMove = ANALYSIS_SECONDS;
  int64_t depth = read_int_prefix(words.w[1]);
  if (depth >= 1 && depth <= ANALYSIS_MAX_DEPTH) limits.maxDepth = uint8_t(depth);
  // Analysis only shows its line: an earlier "mv" or "self" must not make
  // it play the move on the board.
  Control.engineMoves = Control.selfPlay = 0;
  if (Control.ttInUse == 1) tt_clear();
  Control.state.store(STATE_GO);
}

// The line stored in the transposition table from the game position, in
// SAN, and the board at its end; the game is left as it was.
void cmd_pv() {
  char text[PV_TEXT_SIZE] = "";
  int length = 0, played = 0;
  Position& pos = Game->pos;
  // The search never stores its root, so the line starts with the last
  // search's move when that move can be played here.
  Move move = Control.bestLine[1];
  if (!stored_move_is_valid(pos, move)) move = MOVE_NONE;
  TTHit hit;
  while (played < PV_MAX_MOVES) {
    if (move == MOVE_NONE && Control.ttInUse && tt_probe(pos, ROOT_PLY, hit)) move = hit.move;
    if (move == MOVE_NONE) break;
    char san[SAN_SIZE];
    move_to_san(pos, move, san);
    length += std::snprintf(text + length, sizeof text - length, "%s ", san);
    if (length >= PV_TEXT_SIZE) length = PV_TEXT_SIZE - 1;
    make_move(pos, move);
    played++;
    move = MOVE_NONE;
  }
  std::printf("PV: %s\n\n", text);
  std::fflush(stdout);
  print_board();
  for (; played > 0; played--) unmake_move(pos);
}

// "level": moves per control (0 = the whole game), base time as minutes
// and seconds ("5:00") or seconds, increment in seconds.
void set_level(const Words& words) {
  // A clock beyond a week or below a hundredth of a second is a typing
  // error, not a time control.
  constexpr double MAX_LEVEL_SECONDS = 7 * 24 * 3600, MIN_LEVEL_SECONDS = 0.01;
  SearchLimits& limits = Control.limits;
  int moves = clamp_int(read_int_prefix(words.w[2]), 0, UINT8_MAX);
  const char* base = words.w[3];
  double seconds = std::atof(base);
  if (const char* colon = std::strchr(base, ':'))
    seconds = double(read_int_prefix(base)) * SECONDS_PER_MINUTE + std::atof(colon + 1);
  double increment = std::atof(words.w[4]);
  if (!(seconds >= MIN_LEVEL_SECONDS && seconds <= MAX_LEVEL_SECONDS) ||
      !(increment >= 0 && increment <= MAX_LEVEL_SECONDS)) {
    print_line("info string set level needs: moves (0 = whole game), time as m:ss or seconds, "
               "increment in seconds; level kept");
    return;
  }
  limits.limitKind = uint8_t(moves);
  limits.increment = float(increment);
  limits.timePerMove = limits.clock[WHITE] = limits.clock[BLACK] = float(seconds);
  print_linef("set level to %d moves in %0.2f seconds, inc %0.2f", moves, seconds,
              double(limits.increment));
}

void set_selectivity_off() {
  constexpr int NO_NULL_MOVE = 99, NO_REDUCTION = 99;
  Options.NMP_depth = NO_NULL_MOVE;
  Options.SEP_depth = 0;
  Options.LMP_depth = 0;
  Options.LMR_depth = NO_REDUCTION;
  print_line("selectivity set to OFF");
}

struct NamedSetting {
  const char* name;
  int16_t EngineOptions::*field;
};

constexpr NamedSetting NAMED_SETTINGS[] = {
    {"NMP_depth", &EngineOptions::NMP_depth}, {"SEP_depth", &EngineOptions::SEP_depth},
    {"FP_depth", &EngineOptions::FP_depth},   {"LMP_depth", &EngineOptions::LMP_depth},
    {"LMR_depth", &EngineOptions::LMR_depth}, {"Selectivity", &EngineOptions::Selectivity},
    {"ponder", &EngineOptions::Ponder},
};

// The settings that take their value as it is (search depths, switches).
bool set_named(const char* name, const char* value) {
  for (const NamedSetting& s : NAMED_SETTINGS) {
    if (std::strcmp(name, s.name) != 0) continue;
    int v = clamp_int(read_int_prefix(value), INT16_MIN, INT16_MAX);
    Options.*s.field = int16_t(v);
    print_linef("%s set to %d", name, v);
    return true;
  }
  return false;
}

// The strength limit's speed. Every search start derives the speed from
// UCI_Elo, so the rating is set to match (as -nps does): otherwise the
// speed given here would never reach a search.
void set_target_nps(const char* value) {
  double nps = std::atof(value);
  if (!(nps >= 1) || std::isinf(nps)) {  // also refuses "nan"
    print_line("info string target_nps needs a speed of at least 1 node per second");
    return;
  }
  Options.UCI_LimitStrength = 1;
  Control.targetNps = float(nps);
  Options.UCI_Elo = int16_t(std::min(elo_for_nps(nps), double(INT16_MAX)));
  print_linef("target_nps set to %.0f", double(Control.targetNps));
}

bool is_named(const char* name, const char* wanted) { return std::strcmp(name, wanted) == 0; }

void cmd_set(const Words& words) {
  const char* name = words.w[1];
  const char* value = words.w[2];
  int64_t number = read_int_prefix(value);
  if (is_named(name, "hash")) Control.ttInUse = uint8_t(clamp_int(number, 0, UINT8_MAX));
  else if (is_named(name, "noise")) Control.noise = float(std::atof(value));
  else if (std::strstr(name, "multipv")) Options.MultiPV = int16_t(clamp_int(number, 1, UINT8_MAX));
  else if (is_named(name, "debug")) Control.display = number != 0;
  else if (is_named(name, "frc")) Control.chess960 = number != 0;
  else if (is_named(name, "level")) set_level(words);
  else if (is_named(name, "depth")) Control.limits.maxDepth = uint8_t(clamp_int(number, 0, MAX_DEPTH));
  else if (is_named(name, "nodes")) {
    Control.limits.nodeLimit = number > 0 ? uint64_t(number) : 0;
    Control.limits.maxDepth = MAX_DEPTH;
  } else if (is_named(name, "target_nps")) set_target_nps(value);
  else if (is_named(name, "ss")) {
    if (number == 1) {
      Options = OptionDefaults;
      print_line("set default personality");
    } else {
      set_selectivity_off();
    }
  } else set_named(name, value);
}

// The search-related commands; false when the word is none of them.
bool search_command(const char* cmd, const Words& words) {
  if (is_named(cmd, "new")) cmd_new();
  else if (is_named(cmd, "mv")) cmd_mv();
  else if (is_named(cmd, "go") || is_named(cmd, "an")) cmd_analyse(words);
  else if (is_named(cmd, "pv")) cmd_pv();
  else if (is_named(cmd, "trace")) Control.traceDepth = clamp_int(read_int_prefix(words.w[1]), 0, MAX_PLY);
  else if (is_named(cmd, "lmr")) print_search_params();
  else if (is_named(cmd, "tag")) Control.traceTag = Game->pos.key;
  else if (is_named(cmd, "set")) cmd_set(words);
  else return false;
  return true;
}

// ------------------------------------------------------ game commands

constexpr const char* TEST_EPD_FILE = "test.epd";
constexpr const char* SAVED_GAMES_FILE = "tmp.pgn";
constexpr int EPD_LINE_SIZE = 512;
constexpr int SHORTEST_POSITION = 8;  // a shorter line cannot hold a board

void cmd_self() {
  Options.Ponder = 0;
  Control.selfPlay = 1;
  Control.state.store(STATE_GO);
}

// The test position with id W1 from "test.epd".
void cmd_get(const Words& words) {
  char line[EPD_LINE_SIZE];
  if (!find_epd_by_id(TEST_EPD_FILE, words.w[1], line, sizeof line)) return;
  print_line(line);
  if (std::strlen(line) > SHORTEST_POSITION) {
    EpdFields ops;
    parse_epd(line, ops);
    set_game_position(ops.fen);
  }
  print_board();
  tt_clear();
}

void cmd_replay() {
  Move m = next_game_move();
  if (m == MOVE_NONE) return;
  int ply = game_ply();
  char text[SAN_SIZE];
  move_to_san(Game->pos, m, text);
  print_linef("%d%s move %s", ply / 2 + 1, Game->pos.side == WHITE ? "." : "...", text);
  if (play_game_move(m)) print_board();
}

void cmd_load(const Words& words) {
  print_linef("loading %s, tag %s\n", words.w[1], words.w[2]);
  if (!load_pgn_game(words.w[1], words.w[2])) return;
  print_board();
}

void cmd_jump(const Words& words) {
  jump_to_move(clamp_int(read_int_prefix(words.w[1]), 0, INT16_MAX));
  print_board();
}

// The game commands; false when the word is none of them.
bool game_command(const char* cmd, const Words& words) {
  if (is_named(cmd, "self")) cmd_self();
  else if (is_named(cmd, "get")) cmd_get(words);
  else if (is_named(cmd, "]")) cmd_replay();
  else if (is_named(cmd, "load")) cmd_load(words);
  else if (is_named(cmd, "save")) save_game(SAVED_GAMES_FILE);
  else if (is_named(cmd, "jump")) cmd_jump(words);
  else if (is_named(cmd, "edit")) edit_board();
  else return false;
  return true;
}

}  // namespace

void console_command(const char* line) {
  Words words;
  split_words(line, words);
  const char* cmd = words.w[0];
  if (cmd[0] == '\0') return;
  if (std::strcmp(cmd, "quit") == 0) {
    quit_engine();
    return;
  }
  if (std::strcmp(cmd, ".") == 0) {
    // A self-play game ends with the move of the search stopped here;
    // otherwise every stopped search would start the next one at once.
    if (Control.selfPlay) {
      Control.selfPlay = 0;
      Control.engineMoves = 1;
    }
    Control.stop.store(1);
    return;
  }
  if (Control.state.load() != STATE_IDLE) return;  // a search runs
  if (search_command(cmd, words) || game_command(cmd, words)) return;
  if (std::strcmp(cmd, "fen") == 0) cmd_fen(line);
  else if (std::strcmp(cmd, "bd") == 0) print_board();
  else if (std::strcmp(cmd, "undo") == 0 || std::strcmp(cmd, "[") == 0) cmd_undo();
  else if (std::strcmp(cmd, "perft") == 0) cmd_perft(words);
  else if (std::strcmp(cmd, "swap") == 0) cmd_swap();
  else if (std::strcmp(cmd, "ev") == 0) cmd_ev();
  else if (std::strcmp(cmd, "sp") == 0) hce_evaluate(Game, Game->pos.side, ROOT_PLY, SP_TRACE_LEVEL);
  else if (std::strcmp(cmd, "move") == 0) play_text_move(words.w[1]);
  else if (std::strcmp(cmd, "book") == 0) list_game_books();
  else play_text_move(cmd);
}
