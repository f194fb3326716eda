#include "search/searchstart.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "board/draw.h"
#include "board/fen.h"
#include "board/legality.h"
#include "core/control.h"
#include "core/game.h"
#include "core/options.h"
#include "core/output.h"
#include "core/searchthread.h"
#include "eval/params.h"
#include "platform/platform.h"
#include "search/report.h"
#include "search/rootsearch.h"
#include "search/score.h"
#include "search/strength.h"
#include "search/threads.h"
#include "search/timeman.h"

namespace {

constexpr int HELPER_START_DEPTH = 2;  // secondary threads join from this main depth on
constexpr int MAX_TT_AGE = 31;

void secondary_body(void* argument) {
  int index = int(reinterpret_cast<intptr_t>(argument));
  while (Control.mainDepth.load() < HELPER_START_DEPTH && !Control.stop.load())
    sleep_ms(WAIT_SLEEP_MS);
  search_driver(index);
}

// The answer of the search: its best line's first two moves. A search
// stopped before its first root move came back still answers with the
// best-ordered legal root move.
void publish_answer() {
  Control.bestMove = Control.bestLine[1];
  Control.ponderMove = Control.bestMove ? Control.bestLine[2] : MOVE_NONE;
  const SearchThread* t = Threads[0];
  if (Control.bestMove || Control.limits.maxDepth < 1 || !t) return;
  Move first = t->plies[1].moveList[0].move;
  if (first != MOVE_END && move_is_legal(t->pos, t->pos.side, first)) Control.bestMove = first;
}

// The detached master: thread 0's search, with the secondary threads
// started before it and joined after it.
// Starts secondary threads 1..threads-1; returns how many threads search
// (the master included). Past the first thread the system refuses, the
// search goes on with those that run.
int start_secondaries(int threads, ThreadHandle* handles) {
  for (int i = 1; i < threads; i++) {
    if (!Threads[i]) continue;  // no memory for it: this thread does not search
    if (!start_thread(handles[i], secondary_body, reinterpret_cast<void*>(intptr_t(i)))) return i;
  }
  return threads;
}

void master_body(void*) {
  int threads = Control.activeThreads;
  ThreadHandle handles[MAX_THREADS] = {};
  int started = start_secondaries(threads, handles);
  if (started < threads)
    print_linef("info string could not start search thread %d, searching with %d", started, started);
  search_driver(0);
  for (int i = 1; i < threads; i++)
    if (handles[i].running && !join_thread(handles[i])) std::exit(EXIT_THREAD_FAILURE);
  collect_stats();
  publish_answer();
  release_helper_records(threads);
  // The count that worked is kept for the next searches; the main thread
  // reads it only after the finished mark below.
  if (started < threads) Options.Threads = int16_t(Control.activeThreads = uint8_t(started));
  Control.finishTime = monotonic_seconds();
  Control.state.fetch_or(STATE_FINISHED);
}

void clear_results() {
  Control.mainDepth.store(0);
  Control.completedDepth = 0;
  Control.selDepth = 0;
  Control.bestChangeDepth = 0;
  std::memset(Control.depthScore, 0, sizeof Control.depthScore);
  std::memset(Control.depthBest, 0, sizeof Control.depthBest);
  std::memset(Control.depthNodes, 0, sizeof Control.depthNodes);
  std::memset(Control.bestLine, 0, sizeof Control.bestLine);
  Control.lastIterTime = 0;
  Control.lastIterDepth = 0;
  Control.singleReply = 0;
  Control.rootTbResult = int8_t(TB_NOT_PROBED);
  Control.bestMove = Control.ponderMove = MOVE_NONE;
  Control.nodes = Control.ttProbes = Control.ttHits = 0;
  Control.pawnProbes = Control.pawnHits = Control.evalProbes = Control.evalHits = 0;
  Control.tbHits = 0;
  Control.hashFill = 0;
}

void print_start_lines() {
  if (Control.noise >= QUIET_NOISE) return;
  const Position& pos = Game->pos;
  char fen[FEN_SIZE];
  position_to_fen(pos, fen, false);
  if (Control.uciMode) {
    log_linef("info string fen %s", fen);
    log_linef("info string ply= %d, trg_time= %0.3f sec", game_ply(), Control.targetTime);
  } else {
    print_linef("fen %s", fen);
    print_linef("Ply= %d, cnt50= %d, Clock= %0.2fs, Target time= %0.2fs", game_ply(), pos.fifty,
                Control.limits.clock[pos.side], Control.targetTime);
  }
}

}  // namespace

void prepare_search() {
  Control.startTime = monotonic_seconds();
  Control.finishTime = 0;
  Control.elapsed.store(0);
  apply_strength_limit();
  Control.stop.store(0);
  const Position& pos = Game->pos;
  Control.rootSide = pos.side;
  Control.score = int16_t(pos.fifty > FIFTY_MOVE_LIMIT ? 0 : -MATE);
  Control.ttAge = int16_t(Control.ttAge >= MAX_TT_AGE ? 1 : Control.ttAge + 1);
  if (Control.hashSize == 0) Control.ttInUse = 0;
  clear_results();
  Control.ponder = uint8_t(Options.Ponder);
  Control.multiPV = uint8_t(Options.MultiPV);
  Control.moveOverhead = float(Options.MoveOverhead) / MS_PER_SECOND;
  if (Options.paramsChanged) {
    print_line("info string setting eval params...");
    setup_eval_params();
    Options.paramsChanged = 0;
  }
  compute_target_time();
  print_start_lines();
}

// Every record is set up here, on the thread that starts the search, so a
// command read while the search runs can never change what it copies.
int start_search(int state) {
  Control.stop.store(0);
  Control.mainDepth.store(0);
  Control.state.store(state);
  if (thread_setup(0) != 0) std::exit(EXIT_THREAD_FAILURE);
  for (int i = 1; i < Control.activeThreads; i++) thread_setup(i);
  return start_detached_thread(master_body, nullptr) ? 0 : 1;
}

void run_search_here() {
  Control.stop.store(0);
  Control.mainDepth.store(0);
  if (thread_setup(0) != 0) std::exit(EXIT_THREAD_FAILURE);
  search_driver(0);
  collect_stats();
  publish_answer();
}
