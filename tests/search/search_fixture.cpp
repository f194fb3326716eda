#include "search_fixture.h"

#include "../board/board_fixture.h"

#include "board/bitboard.h"
#include "board/fen.h"
#include "board/makemove.h"
#include "board/notation.h"
#include "board/zobrist.h"
#include "core/control.h"
#include "eval/kpk.h"
#include "eval/network.h"
#include "eval/params.h"
#include "core/game.h"
#include "frontend/gamemoves.h"
#include "platform/platform.h"
#include "search/history.h"
#include "search/rootsearch.h"
#include "search/search.h"
#include "search/searchstart.h"
#include "search/searchparams.h"
#include "search/threads.h"
#include "search/timeman.h"
#include "search/tt.h"

namespace {

// Contempt only applies to searches with a clock; these have none.
constexpr float UNLIMITED_SECONDS = 10000000.0f;
constexpr int TEST_HASH_MB = 8;

void set_up_tables() {
  init_board_tables();
  init_zobrist();
  init_kpk_table();
  set_default_options(Options);
  setup_eval_params();
  load_network();
}

// The control fields of SavedSettings, assignable as one.
auto control_fields() {
  return std::tie(Control.limits, Control.noise, Control.targetNps, Control.calibrationNps, Control.calibratedElo,
                  Control.targetTime, Control.uciMode, Control.activeThreads, Control.useNN, Control.ttInUse,
                  Control.chess960, Control.rootSide, Control.traceDepth, Control.traceTag);
}

// The hand-crafted evaluation (exact and machine-independent), no noise,
// no speed limit, no trace.
void quiet_settings() {
  Options.evalNoise = 0;
  Control.noise = 0;
  Control.useNN = 0;
  Control.targetNps = Control.calibrationNps = 0;
  Control.traceDepth = 0;
  Control.traceTag = 0;
  Control.stop.store(0);
  Control.mainDepth.store(0);
}

}  // namespace

SavedSettings save_settings() { return {Options, control_fields()}; }

void restore_settings(const SavedSettings& s) {
  Options = s.options;
  control_fields() = s.control;
  Control.state.store(STATE_IDLE);
  Control.stop.store(0);
  Control.mainDepth.store(0);
}

// ------------------------------------------------------------- SearchTest

void SearchTest::SetUpTestSuite() { set_up_tables(); }

void SearchTest::SetUp() {
  saved = save_settings();
  quiet_settings();
  Control.ttInUse = 0;
  Control.rootSide = WHITE;
  Control.targetTime = UNLIMITED_SECONDS;
  init_search_params();
  t = new_search_thread();
}

void SearchTest::TearDown() {
  free_search_thread(t);
  restore_settings(saved);
  init_search_params();
}

Position& SearchTest::set(const char* fen) {
  set_position(t->pos, fen);
  reset_ply_lists(t);
  reset_order_tables(t);
  t->plies[0].tbResult = -1;
  t->nodes = 0;
  t->nodeLimit = NO_NODE_LIMIT;
  t->rootDepthDone = 0;
  t->selDepth = 0;
  Control.rootSide = t->pos.side;
  return t->pos;
}

Move SearchTest::parse(const char* text) {
  Move m = MOVE_NONE;
  parse_move_in(t->pos, text, &m);
  return m;
}

bool SearchTest::play(const char* text) {
  Move m = parse(text);
  if (m == MOVE_NONE) return false;
  make_move(t->pos, m);
  return true;
}

int SearchTest::search_here(int depth, int alpha, int beta, int nodeType) {
  return search(t->pos, t->pos.side, t->ply, depth, alpha, beta, nodeType, pv);
}

int SearchTest::search_root(int depth) {
  EXPECT_EQ(t->ply, ROOT_PLY);
  return search_here(depth, -INFINITE_SCORE, INFINITE_SCORE);
}

int SearchTest::deepen(int depth) {
  int score = 0;
  for (int d = 1; d <= depth; d++) score = search_root(d);
  return score;
}

// --------------------------------------------------------- RootSearchTest

void RootSearchTest::SetUpTestSuite() {
  set_up_tables();
  init_search_locks();
  if (!Game) {
    ASSERT_TRUE(allocate_game());
  }
  if (!ttTable || Control.hashSize != TEST_HASH_MB) {
    Options.Hash = TEST_HASH_MB;
    captured_output(tt_allocate);
  }
}

void RootSearchTest::SetUp() {
  quiet_settings();
  Options.paramsChanged = 0;  // built once for the suite
  Options.MultiPV = 1;
  Options.Ponder = 0;
  Control.uciMode = 1;
  Control.activeThreads = 1;
  Control.ttInUse = 1;
  Control.chess960 = 0;
  Control.state.store(STATE_IDLE);
  Control.limits.limitKind = LIMIT_FIXED;
  Control.limits.timePerMove = UNLIMITED_SECONDS;
  Control.limits.nodeLimit = 0;
  Control.limits.softNodeLimit = 0;
  Control.limits.maxDepth = MAX_DEPTH;
  set(START_FEN);
}

void RootSearchTest::TearDown() { free_thread_records(); }

void RootSearchTest::set(const char* fen, const std::vector<const char*>& moves) {
  ASSERT_TRUE(set_game_position(fen));
  for (const char* m : moves) ASSERT_TRUE(play_game_move(parse(m))) << m;
}

Move RootSearchTest::parse(const char* text) {
  Move m = MOVE_NONE;
  parse_move_in(Game->pos, text, &m);
  return m;
}

std::vector<Move> RootSearchTest::legal_moves() { return ::legal_moves(Game->pos); }

void RootSearchTest::search_to(int depth) {
  Control.limits.maxDepth = uint8_t(depth);
  tt_clear();
  lines = captured_lines([] {
    prepare_search();
    run_search_here();
  });
}

void RootSearchTest::search_threaded(int depth, int threads) {
  Control.limits.maxDepth = uint8_t(depth);
  Control.activeThreads = uint8_t(threads);
  tt_clear();
  lines = captured_lines([] {
    prepare_search();
    ASSERT_EQ(start_search(STATE_SEARCHING), 0);
    while (!(Control.state.load() & STATE_FINISHED)) {
      time_check();
      sleep_ms(WAIT_SLEEP_MS);
    }
  });
}
