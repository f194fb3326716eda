#include "tools/epdanalysis.h"

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "board/notation.h"
#include "core/control.h"
#include "core/game.h"
#include "core/output.h"
#include "core/searchthread.h"
#include "frontend/boarddisplay.h"
#include "frontend/gamemoves.h"
#include "frontend/loop.h"
#include "platform/platform.h"
#include "search/report.h"
#include "search/searchstart.h"
#include "search/timeman.h"
#include "search/tt.h"

namespace {

constexpr const char* DEFAULT_OUTPUT = "analysis.epd";
constexpr int MAX_LINE_LENGTH = 510;
constexpr int LINE_BUFFER_SIZE = MAX_LINE_LENGTH + LINE_END_ROOM;
constexpr int MIN_LINE_LENGTH = 10;  // shorter lines hold no position
constexpr int SHALLOWEST_TABLE_DEPTH = 4;  // below it the table costs more than it saves
constexpr int YIELDING_DEPTH = 2;          // searches this shallow end within a time slice
constexpr int PIECE_SIZE = 64;
constexpr int MOVE_TEXT_SIZE = 8;
constexpr double NPS_TIME_FLOOR = 0.001;
constexpr double PER_THOUSAND = 1000.0;
constexpr const char* BM_SEPARATORS = " ,;\"\r\n";
constexpr const char* C0_SEPARATORS = ", \"\r\n";

struct Totals {
  int positions, correct, points, possible;
  double nodes, time, depth, branching;
};

// Calls `take` for every piece of `text` between separators, each cut to
// PIECE_SIZE - 1 characters.
template <typename Take>
void for_each_piece(const char* text, const char* separators, Take take) {
  char piece[PIECE_SIZE];
  while (*text) {
    text += std::strspn(text, separators);
    size_t length = std::strcspn(text, separators);
    if (length == 0) break;
    size_t kept = length < PIECE_SIZE ? length : PIECE_SIZE - 1;
    std::memcpy(piece, text, kept);
    piece[kept] = '\0';
    take(piece);
    text += length;
  }
}

bool names_move(Position& pos, const char* text, Move best) {
  Move m = MOVE_NONE;
  return parse_move_in(pos, text, &m) && m == best;
}

// "c0" lists "move=points" pieces: the best of them is what the position
// is worth, the answer's own piece what it earned.
void score_c0(Position& pos, const char* c0, Move best, EpdAnswerScore& out) {
  if (!std::strchr(c0, '=')) return;
  c0 += std::strspn(c0, " \"");
  int largest = INT_MIN;
  for_each_piece(c0, C0_SEPARATORS, [&](char* piece) {
    char* equals = std::strchr(piece, '=');
    if (!equals || equals == piece) return;
    *equals = '\0';
    int value = std::atoi(equals + 1);
    if (value > largest) largest = value;
    if (names_move(pos, piece, best)) out.points += value;
  });
  if (largest != INT_MIN) out.possible += largest;
}

void print_answer(Move best) {
  int multipv = Control.multiPV > 1 ? 1 : 0;
  print_pv_line(0, multipv, Control.completedDepth, Control.score, Control.bestLine);
  char text[MOVE_TEXT_SIZE] = "none";
  if (best != MOVE_NONE) move_to_text(Game->pos, Game->pos.side, best, text);
  float elapsed = Control.elapsed.load();
  double nodes = double(Control.nodes);
  print_linef("move= %s, time= %0.3f, score= %d, nodes= %0.0f, %0.0fK nps\n", text, elapsed,
              Control.score, nodes, nodes / (elapsed + NPS_TIME_FLOOR) / PER_THOUSAND);
}

// A game result ("gr") marks a file of game positions that wants only the
// score added; a test suite gets the answer and the score.
void write_answer(std::FILE* out, const char* line, const EpdFields& ops, Move best) {
  if (ops.gr[0]) {
    std::fprintf(out, "%s sc %d;\n", line, Control.score);
    return;
  }
  std::fprintf(out, "%s bm %s%s; ce %d;\n", ops.fen, SquareName[move_from(best)],
               SquareName[move_to(best)], Control.score);
}

void analyse_line(const char* line, Totals& totals, std::FILE* out) {
  EpdFields ops;
  parse_epd(line, ops);
  if (!set_game_position(ops.fen)) return;
  totals.positions++;
  bool verbose = Control.noise != QUIET_NOISE;
  if (verbose) {
    print_linef("pos= %d", totals.positions);
    print_line(line);
    print_board();
  }
  search_game_position();
  totals.nodes += double(Control.nodes);
  totals.time += Control.elapsed.load();
  totals.depth += Control.completedDepth;
  totals.branching += effective_branching_factor();
  Move best = Control.bestMove;
  EpdAnswerScore score = score_epd_answer(Game->pos, ops, best);
  totals.correct += score.correct;
  totals.points += score.points;
  totals.possible += score.possible;
  if (verbose) print_answer(best);
  if (best != MOVE_NONE) write_answer(out, line, ops, best);
}

bool is_skipped(const char* line) {
  return line[0] == ' ' || line[0] == '#' || line[0] == ';' || std::strlen(line) < MIN_LINE_LENGTH;
}

void print_summary(const Totals& t) {
  int n = t.positions;
  print_linef("%d / %d correct best moves", t.correct, n);
  print_linef("total nodes= %0.0f", t.nodes);
  print_linef("total time= %0.2f seconds", t.time);
  print_linef("avg depth= %0.1f", n ? t.depth / n : 0.0);
  print_linef("avg nodes= %0.1f", n ? double(uint64_t(t.nodes) / uint64_t(n)) : 0.0);
  print_linef("node_rate= %0.0f", t.nodes / (t.time + NPS_TIME_FLOOR));
  print_linef("avg bf= %0.2f", n ? t.branching / n : 0.0);
  print_linef("score= %d / %d", t.points, t.possible);
  print_line("");
}

}  // namespace

void search_game_position() {
  tt_clear();
  prepare_search();
  if (start_search(STATE_TOOL) != 0) std::exit(EXIT_THREAD_FAILURE);
  for (;;) {
    int state = Control.state.load();
    if ((state & STATE_FINISHED) || state == STATE_IDLE) break;
    if (Control.limits.maxDepth <= YIELDING_DEPTH) yield_thread();
    else sleep_ms(WAIT_SLEEP_MS);
    time_check();
    poll_input();
  }
  Control.state.store(STATE_IDLE);
  Control.elapsed.store(search_elapsed());
}

bool read_epd_line(std::FILE* in, char* line, int size) {
  while (std::fgets(line, size, in)) {
    size_t length = std::strcspn(line, "\r\n");
    line[length] = '\0';
    // fgets stops at size - 1 characters: a line that filled the buffer
    // without its line end goes on in the file.
    if (length + 1 < size_t(size)) return true;
    int c;
    while ((c = std::fgetc(in)) != EOF && c != '\n') {
    }
    print_linef("info string an EPD line longer than %d characters is skipped", size - LINE_END_ROOM);
  }
  return false;
}

EpdAnswerScore score_epd_answer(Position& pos, const EpdFields& ops, Move best) {
  EpdAnswerScore score{};
  if (!ops.bm[0]) {
    Move avoid = MOVE_NONE;
    if (ops.am[0] && parse_move_in(pos, ops.am, &avoid) && avoid != best) score.correct = 1;
  } else {
    for_each_piece(ops.bm, BM_SEPARATORS, [&](const char* piece) {
      if (names_move(pos, piece, best)) score.correct++;
    });
  }
  if (ops.c0[0]) score_c0(pos, ops.c0, best, score);
  return score;
}

void run_epd_analysis(const char* inputFile, const char* outputFile) {
  if (!outputFile || !outputFile[0]) outputFile = DEFAULT_OUTPUT;
  std::FILE* in = std::fopen(inputFile, "r");
  std::FILE* out = in ? std::fopen(outputFile, "w") : nullptr;
  if (!in || !out) {
    if (in) std::fclose(in);
    return;
  }
  print_linef("Analyzing %s...", inputFile);
  if (Control.limits.maxDepth < SHALLOWEST_TABLE_DEPTH) Control.ttInUse = 0;
  Totals totals{};
  char line[LINE_BUFFER_SIZE];
  while (!Control.quit && read_epd_line(in, line, sizeof line))
    if (!is_skipped(line)) analyse_line(line, totals, out);
  print_summary(totals);
  std::fclose(in);
  std::fclose(out);
}
