#include "search/report.h"

#include <cmath>
#include <cstdio>
#include <cstring>

#include "board/fen.h"
#include "board/notation.h"
#include "core/control.h"
#include "core/game.h"
#include "core/options.h"
#include "core/output.h"
#include "core/searchthread.h"
#include "platform/platform.h"
#include "search/relaxed.h"
#include "search/score.h"
#include "search/threads.h"
#include "search/timeman.h"
#include "search/tt.h"
#include "search/wdlmodel.h"
#include "syzygy/tbprobe.h"

namespace {

constexpr int FIRST_REPORTED_DEPTH = 2;  // new best moves are printed from here on
// Progress output.
constexpr float PROGRESS_DELAY = 3.5f;  // seconds before "currmove" lines
constexpr int HASHFULL_DEPTH = 7;       // shallower lines report an empty table
constexpr float PER_MILLE = 1000.0f;
constexpr float NPS_MIN_TIME = 0.001f;
// A root tablebase result shows the search's own score only when it is a mate.
constexpr int TB_WIN_LIMIT = MATE_SHOWN_FROM - 1;
constexpr int TB_LOSS_LIMIT = -MATE_SHOWN_FROM;
constexpr int MAX_LINE_MOVES = MAX_DEPTH;
constexpr int CONSOLE_RUNNING_MOVES = 8;
constexpr int CONSOLE_STOPPED_MOVES = 32;
constexpr int CONSOLE_MOVES_PER_ROW = 8;
constexpr int CONSOLE_INDENT = 30;
constexpr int LINE_TEXT_SIZE = 1024;
constexpr int MOVE_TEXT_SIZE = 8;
constexpr int SCORE_TEXT_SIZE = 24;
constexpr int CERTAIN = 1000;  // per mille

SpinLock ProgressLock;  // a block of progress output and its statistics

void score_text(int score, char* out) {
  if (score >= MATE_SHOWN_FROM) std::snprintf(out, SCORE_TEXT_SIZE, "mate %d", (MATE - score) / 2);
  else if (score < -MATE_SHOWN_FROM)
    std::snprintf(out, SCORE_TEXT_SIZE, "mate -%d", (score + MATE - 1) / 2);
  else std::snprintf(out, SCORE_TEXT_SIZE, "cp %d", score);
}

// A root tablebase result overrides what the search makes of the score.
int shown_score(int score) {
  int tb = Control.rootTbResult;
  if (tb == TB_RESULT_WIN && score < TB_WIN_LIMIT) return TB_WIN;
  if (tb == TB_RESULT_LOSS && score > TB_LOSS_LIMIT) return -TB_WIN;
  if (tb == TB_RESULT_DRAW) return 0;
  return score;
}

// The chances of the side to move for a shown score: the root's
// tablebase result is certain (a win or loss the fifty-move rule takes
// away is a draw), otherwise the fitted model of score and material.
WdlPerMille shown_wdl(int score, const Position& root) {
  int tb = Control.rootTbResult;
  if (tb == TB_RESULT_WIN) return {CERTAIN, 0, 0};
  if (tb == TB_RESULT_LOSS) return {0, 0, CERTAIN};
  if (tb != TB_NOT_PROBED) return {0, CERTAIN, 0};
  return wdl_per_mille(score, wdl_material(root));
}

// " wdl W D L" when the client asked for it, else nothing. It goes after
// the whole score text: clients read a bound marker only straight after
// the score's value, so any marker must come before the chances.
void wdl_text(int score, const Position& root, char* out) {
  out[0] = '\0';
  if (!Options.UCI_ShowWDL) return;
  WdlPerMille p = shown_wdl(score, root);
  std::snprintf(out, SCORE_TEXT_SIZE, " wdl %d %d %d", p.win, p.draw, p.loss);
}

// The position the line starts from: the thread's own root while it
// searches, the game once the search has finished.
const Position& line_root(int threadIndex) {
  const SearchThread* t = Threads[threadIndex];
  bool searching = !(Control.state.load() & STATE_FINISHED);
  return t && searching ? t->pos : Game->pos;
}

// The line's moves in coordinate text, at most `maxMoves`; in the console
// form a line break and an indent come before every ninth move.
void line_text(const Position& root, const Move* line, int maxMoves, bool wrap, char* out) {
  int n = 0;
  out[0] = '\0';
  for (int i = 1; i < MAX_PLY && i <= maxMoves && line[i] != MOVE_NONE; i++) {
    char move[MOVE_TEXT_SIZE];
    move_to_text(root, root.side ^ ((i - 1) & 1), line[i], move);
    const char* gap = i == 1 ? "" : " ";
    if (wrap && i > 1 && (i - 1) % CONSOLE_MOVES_PER_ROW == 0) {
      n += std::snprintf(out + n, LINE_TEXT_SIZE - n, "\n%*s", CONSOLE_INDENT, "");
      gap = "";
    }
    if (n >= LINE_TEXT_SIZE) return;
    n += std::snprintf(out + n, LINE_TEXT_SIZE - n, "%s%s", gap, move);
    if (n >= LINE_TEXT_SIZE) return;
  }
}

void print_uci_line(int multipv, int depth, int score, const Position& root, float elapsed, float fill,
                    const char* pv) {
  char prefix[SCORE_TEXT_SIZE] = "";
  if (Control.multiPV > 1) std::snprintf(prefix, sizeof prefix, "multipv %d ", multipv);
  char scoreText[SCORE_TEXT_SIZE], wdl[SCORE_TEXT_SIZE];
  score_text(score, scoreText);
  wdl_text(score, root, wdl);
  double nodes = double(Control.nodes);
  double nps = elapsed > NPS_MIN_TIME ? nodes / elapsed : 0;
  char text[LINE_TEXT_SIZE + OUTPUT_LINE_SIZE];
  std::snprintf(text, sizeof text,
                "info %s%sdepth %d seldepth %d score %s%s time %.0f nodes %.0f nps %.0f tbhits %.0f "
                "hashfull %.0f pv %s",
                prefix, "", depth, Control.selDepth - 1, scoreText, wdl, elapsed * MS_PER_SECOND, nodes,
                nps, double(Control.tbHits), fill * PER_MILLE, pv);
  print_line(text);
}

void print_console_line(int threadIndex, int multipv, int depth, int score, float elapsed,
                        const char* pv) {
  char text[LINE_TEXT_SIZE + OUTPUT_LINE_SIZE];
  std::snprintf(text, sizeof text, "%02d] %02d%c %5.1f %7.0fK %5d  %s", threadIndex, depth,
                multipv > 0 ? '.' : ' ', elapsed, double(Control.nodes) / PER_MILLE, score, pv);
  print_line(text);
  if (threadIndex == 0 && multipv > 0 && multipv == Control.multiPV) print_line("");
}


}  // namespace

int init_report_lock() { return init_spin_lock(ProgressLock); }

void print_current_move(const MoveEntry& e, int number) {
  if (!Control.uciMode) return;
  float elapsed = search_elapsed();
  if (elapsed <= PROGRESS_DELAY || elapsed <= Control.noise) return;
  spin_lock(ProgressLock);
  collect_stats();
  if (number == 0) {
    double nodes = double(Control.nodes);
    double nps = elapsed > NPS_MIN_TIME ? nodes / elapsed : 0;
    print_linef("info depth %d time %.0f nodes %.0f nps %.0f hashfull %.0f",
                Control.mainDepth.load(), elapsed * MS_PER_SECOND, nodes, nps,
                tt_hashfull() * PER_MILLE);
  }
  if (Control.multiPV == 1)
    print_linef("info currmove %s%s currmovenumber %d", SquareName[move_from(e.move)],
                SquareName[move_to(e.move)], number + 1);
  spin_unlock(ProgressLock);
}

void report_root_best(SearchThread* t) {
  int depth = t->rootDepthDone, score = t->rootScore;
  if (t->rootLine[1] != Control.bestLine[1]) relaxed_store(Control.bestChangeDepth, depth);
  relaxed_store(Control.score, score);
  relaxed_store(Control.completedDepth, depth);
  std::memcpy(Control.bestLine, t->rootLine, sizeof Control.bestLine);
  relaxed_store(Control.depthScore[depth], score);
  Control.depthBest[depth] = t->rootLine[1];
  if (depth >= FIRST_REPORTED_DEPTH && Control.multiPV == 1) print_pv_line(t->index, 0, depth, score, Control.bestLine);
}

void print_pv_line(int threadIndex, int multipv, int depth, int score, const Move* line) {
  float elapsed = search_time_spent();
  bool stopped = Control.stop.load();
  if (!stopped && elapsed < Control.noise) return;
  if (depth == 0 || Control.noise >= QUIET_NOISE || line[1] == MOVE_NONE) return;
  spin_lock(ProgressLock);
  collect_stats();
  float fill = depth < HASHFULL_DEPTH ? 0.0f : tt_hashfull();
  Control.hashFill = fill;
  score = shown_score(score);
  char pv[LINE_TEXT_SIZE];
  const Position& root = line_root(threadIndex);
  if (Control.uciMode) {
    line_text(root, line, MAX_LINE_MOVES, false, pv);
    print_uci_line(multipv, depth, score, root, elapsed, fill, pv);
  } else {
    line_text(root, line, stopped ? CONSOLE_STOPPED_MOVES : CONSOLE_RUNNING_MOVES, true, pv);
    print_console_line(threadIndex, multipv, depth, score, elapsed, pv);
  }
  spin_unlock(ProgressLock);
}

float effective_branching_factor() {
  constexpr int MIN_DEPTH = 6, SPAN = 4;
  constexpr float NO_FIGURE = 2.0f;
  int d = Control.lastIterDepth;
  if (d < MIN_DEPTH || d >= MAX_PLY) return NO_FIGURE;
  uint64_t now = Control.depthNodes[d], before = Control.depthNodes[d - SPAN];
  if (now == 0 || before == 0) return NO_FIGURE;
  float ratio = float(now) / float(before);
  return float(std::sqrt(std::sqrt(double(ratio))));
}

void collect_stats() {
  if (Control.state.load() & STATE_FINISHED) return;
  uint64_t nodes = 0, ttProbes = 0, ttHits = 0, pawnProbes = 0, pawnHits = 0;
  uint64_t evalProbes = 0, evalHits = 0, tbHits = 0;
  for (int i = 0; i < Control.activeThreads; i++) {
    const SearchThread* t = Threads[i];
    if (!t) continue;
    nodes += t->nodes;
    ttProbes += t->ttProbes;
    ttHits += t->ttHits;
    pawnProbes += t->pawnProbes;
    pawnHits += t->pawnHits;
    evalProbes += t->evalCalls;
    evalHits += t->evalHits;
    tbHits += t->tbHits;
  }
  Control.nodes = nodes;
  Control.ttProbes = ttProbes;
  Control.ttHits = ttHits;
  Control.pawnProbes = pawnProbes;
  Control.pawnHits = pawnHits;
  Control.evalProbes = evalProbes;
  Control.evalHits = evalHits;
  Control.tbHits = tbHits;
  if (Threads[0]) Control.selDepth = Threads[0]->selDepth;
}
