#include "console.h"

#include <cstdio>
#include <cstring>

#include "../board/attacks.h"
#include "../board/fen.h"
#include "../board/notation.h"
#include "../board/perft.h"
#include "../board/see.h"
#include "../eval/hce.h"
#include "../eval/network.h"
#include "../platform/platform.h"
#include "../search/searchthread.h"
#include "control.h"
#include "game.h"
#include "output.h"
#include "textparse.h"
#include "uci.h"

namespace {

constexpr int MAX_WORDS = 10;
constexpr int WORD_SIZE = 128;
constexpr int MAX_PERFT_DEPTH = 20;
constexpr int ROOT_PLY = 1;  // the game record sits at search ply 1
constexpr int FEN_SIZE = 128;
constexpr int BOARD_TEXT_SIZE = 512;
constexpr double NPS_TIME_FLOOR = 0.001;  // keeps a zero-time run from dividing by 0
constexpr int EV_TRACE_LEVEL = 1;  // breakdown by term
constexpr int SP_TRACE_LEVEL = 2;  // breakdown, parameter list and tables
constexpr const char* PIECE_LETTERS = " PNBRQK  onbrqk";  // by piece code

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

char square_char(const Position& pos, int sq) {
  int piece = pos.board[sq];
  if (piece) return PIECE_LETTERS[piece];
  return (file_of(sq) & 1) == (rank_of(sq) & 1) ? '+' : '-';
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
  // The search start (timer, limits, position lines) joins here with the search.
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

// Console commands that come with the search, the evaluation, the books
// and the game tools; until then they say so instead of being read as moves.
constexpr const char* LATER_COMMANDS[] = {"new", "mv", "go",   "an",   "self", "get", "pv",
                                          "trace", "lmr",  "]",    "load", "save",
                                          "jump", "edit", "book", "tag", "set"};

bool is_later_command(const char* word) {
  for (const char* name : LATER_COMMANDS)
    if (std::strcmp(word, name) == 0) return true;
  return false;
}

}  // namespace

void print_board() {
  const Position& pos = Game->pos;
  char text[BOARD_TEXT_SIZE];
  char fen[FEN_SIZE];
  position_to_fen(pos, fen, false);
  int n = std::snprintf(text, sizeof text, "%s\n", fen);
  for (int rank = 7; rank >= 0; rank--) {
    n += std::snprintf(text + n, sizeof text - n, " ");
    for (int file = 0; file < 8; file++)
      n += std::snprintf(text + n, sizeof text - n, " %c", square_char(pos, make_square(file, rank)));
    n += std::snprintf(text + n, sizeof text - n, "\n");
  }
  std::snprintf(text + n, sizeof text - n, "%s\n", pos.side == WHITE ? "white" : "black");
  print_line(text);
}

void console_command(const char* line) {
  Words words;
  split_words(line, words);
  const char* cmd = words.w[0];
  if (cmd[0] == '\0') return;
  if (std::strcmp(cmd, "quit") == 0) {
    stop_and_wait();
    Control.quit = 1;
    return;
  }
  if (std::strcmp(cmd, ".") == 0) {
    Control.stop.store(1);
    return;
  }
  if (Control.state.load() != STATE_IDLE) return;  // a search runs
  if (std::strcmp(cmd, "fen") == 0) cmd_fen(line);
  else if (std::strcmp(cmd, "bd") == 0) print_board();
  else if (std::strcmp(cmd, "undo") == 0 || std::strcmp(cmd, "[") == 0) cmd_undo();
  else if (std::strcmp(cmd, "perft") == 0) cmd_perft(words);
  else if (std::strcmp(cmd, "swap") == 0) cmd_swap();
  else if (std::strcmp(cmd, "ev") == 0) cmd_ev();
  else if (std::strcmp(cmd, "sp") == 0) hce_evaluate(Game, Game->pos.side, ROOT_PLY, SP_TRACE_LEVEL);
  else if (std::strcmp(cmd, "move") == 0) play_text_move(words.w[1]);
  else if (is_later_command(cmd)) print_linef("info string %s is not available in this build", cmd);
  else play_text_move(cmd);
}
