#include "tools/tuningdata.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "board/fen.h"
#include "board/legality.h"
#include "core/control.h"
#include "core/game.h"
#include "core/options.h"
#include "core/output.h"
#include "core/textparse.h"
#include "frontend/gamemoves.h"
#include "search/search.h"
#include "syzygy/tbprobe.h"
#include "syzygy/tbregistry.h"
#include "tools/epdanalysis.h"

namespace {

constexpr const char* DEFAULT_OUTPUT = "tune_new.epd";
// Where the tables live on the machines this mode was first used on.
constexpr const char* FIXED_TB_PATH = "C:\\Chess\\Syzygy;C:\\Chess\\Syzygy\\6-Piece";
constexpr int MAX_LINE_LENGTH = 253;
constexpr int LINE_BUFFER_SIZE = MAX_LINE_LENGTH + LINE_END_ROOM;
constexpr int SHALLOWEST_TABLE_DEPTH = 3;  // below it the table costs more than it saves
constexpr double WIN_SLOPE = 0.006;        // logistic slope per centipawn
constexpr int NO_RECORDED_SCORE = -9999;
constexpr int TB_DECIDED_SCORE = TB_WIN;  // a won or lost ending scores at least this
constexpr int PROGRESS_LINES = 4096;
// Bounds of the win chance a result allows; beyond them score and result
// disagree.
constexpr double WON_FLOOR = 0.3, LOST_CEILING = 0.7;
constexpr double DRAW_FLOOR = 0.15, DRAW_CEILING = 0.85;
constexpr double DRAWN = 0.5;

// An input line's recorded score and game result.
struct TuneLabel {
  bool hasScore, hasResult;
  int score;
  double result;
};

struct TuneRun {
  std::FILE* out;
  int kind;
  int written;
};

// The fixed path, unless the user named tables (command line or
// configuration file): on this platform the fixed one never exists.
void set_up_tablebases() {
  EngineOptions builtIn;
  set_default_options(builtIn);
  if (std::strcmp(Options.SyzygyPath, builtIn.SyzygyPath) == 0)
    copy_bounded(Options.SyzygyPath, sizeof Options.SyzygyPath, FIXED_TB_PATH);
  tb_init(Options.SyzygyPath);
}

// The search score, overruled by the tables' verdict on the root.
int tablebase_adjusted(int score) {
  int wdl = Control.rootTbResult;
  if (wdl == TB_NOT_PROBED) return score;
  wdl -= WDL_OFFSET;
  if (wdl == WDL_WIN) return score > TB_DECIDED_SCORE ? score : TB_DECIDED_SCORE;
  if (wdl == WDL_LOSS) return score < -TB_DECIDED_SCORE ? score : -TB_DECIDED_SCORE;
  return 0;  // a draw, also one the fifty-move rule saves
}

// Plays the principal variation on the game; its length.
int play_best_line() {
  int played = 0;
  for (int i = 1; i < MAX_PLY && Control.bestLine[i] != MOVE_NONE; i++) {
    Move m = Control.bestLine[i];
    Position& pos = Game->pos;
    if (!stored_move_is_valid(pos, m) || !move_is_legal(pos, pos.side, m) || !play_game_move(m))
      break;
    played++;
  }
  return played;
}

void write_label(TuneRun& run, const TuneLabel& label, int score) {
  char fen[FEN_SIZE];
  TuneLabel l = label;
  if (run.kind == 1 && play_best_line() % 2 == 1) {
    // The line's end has the other side to move: its view of everything.
    l.score = -l.score;
    score = -score;
    l.result = 1.0 - l.result;
  }
  position_to_fen(Game->pos, fen, false);
  if (l.hasResult)
    std::fprintf(run.out, "%s ce %d; sc %d; gr %0.1f;\n", fen, l.score, score, l.result);
  else if (run.kind == 2)
    std::fprintf(run.out, "%s sc %d;\n", fen, score);
  else if (l.hasScore)
    std::fprintf(run.out, "%s ce %d;\n", fen, l.score);
  else
    std::fprintf(run.out, "%s %d;\n", fen, score);
  if (++run.written % PROGRESS_LINES == 0) {
    std::printf(" n= %d\n", run.written);
    std::fflush(stdout);
  }
}

// One input position; false when its FEN is refused, which ends the run.
bool label_position(TuneRun& run, const char* line) {
  EpdFields ops;
  parse_epd(line, ops);
  TuneLabel label{ops.ce[0] != '\0', ops.gr[0] != '\0', NO_RECORDED_SCORE, 0.0};
  if (label.hasScore) label.score = std::atoi(ops.ce);
  if (label.hasResult) label.result = std::atof(ops.gr);
  if (label.hasScore && label.hasResult && score_contradicts_result(label.result, label.score))
    return true;
  if (!set_game_position(ops.fen)) {
    print_line(line);
    return false;
  }
  if (side_to_move_in_check(Game->pos)) return true;
  search_game_position();
  int score = tablebase_adjusted(Control.score);
  if (label.hasResult && !search_fits_result(label.result, score)) return true;
  write_label(run, label, score);
  return true;
}

bool is_skipped(const char* line) {
  return line[0] == '\0' || line[0] == ' ' || line[0] == '#' || line[0] == ';';
}

}  // namespace

double win_probability(int centipawns) { return 1.0 / (1.0 + std::exp(-WIN_SLOPE * centipawns)); }

bool score_contradicts_result(double result, int score) {
  double p = win_probability(score);
  if (result == 1.0) return p < WON_FLOOR;
  if (result == 0.0) return p > LOST_CEILING;
  if (result == DRAWN) return p < DRAW_FLOOR || p > DRAW_CEILING;
  return false;
}

bool search_fits_result(double result, int score) {
  double p = win_probability(score);
  if (result < DRAWN) return p <= DRAW_CEILING;
  if (result > DRAWN) return p >= DRAW_FLOOR;
  return p >= DRAW_FLOOR && p <= DRAW_CEILING;
}

void make_tuning_positions(const char* inputFile, const char* outputFile, int kind) {
  if (!outputFile || !outputFile[0]) outputFile = DEFAULT_OUTPUT;
  if (std::strcmp(inputFile, outputFile) == 0) return;
  std::FILE* in = std::fopen(inputFile, "r");
  std::FILE* out = in ? std::fopen(outputFile, "w") : nullptr;
  if (!in || !out) {
    if (in) std::fclose(in);
    return;
  }
  print_linef("Creating file %s", outputFile);
  Control.noise = QUIET_NOISE;
  Control.useNN = 0;
  if (Control.limits.maxDepth < SHALLOWEST_TABLE_DEPTH) Control.ttInUse = 0;
  if (kind == 2) set_up_tablebases();
  TuneRun run{out, kind, 0};
  char line[LINE_BUFFER_SIZE];
  // The searches read "quit" (and "stop") as they wait: "quit" ends the
  // run once the current position is written.
  while (!Control.quit && read_epd_line(in, line, sizeof line))
    if (!is_skipped(line) && !label_position(run, line)) break;
  std::fclose(in);
  std::fclose(out);
}
