#include "search_fixture.h"

#include "board/bitboard.h"
#include "board/fen.h"
#include "board/makemove.h"
#include "board/notation.h"
#include "board/zobrist.h"
#include "eval/kpk.h"
#include "eval/network.h"
#include "eval/params.h"
#include "search/history.h"
#include "search/search.h"
#include "search/searchparams.h"

namespace {

// Contempt only applies to searches with a clock; these have none.
constexpr float UNTIMED_SEARCH = 10000000.0f;
constexpr uint64_t NO_NODE_LIMIT = uint64_t(1) << 62;
constexpr int ROOT_PLY = 1;

}  // namespace

void SearchTest::SetUpTestSuite() {
  init_board_tables();
  init_zobrist();
  init_kpk_table();
  set_default_options(Options);
  setup_eval_params();
  load_network();
}

void SearchTest::SetUp() {
  savedOptions = Options;
  saved = {Control.useNN,     Control.ttInUse,        Control.rootSide,   Control.targetTime,
           Control.targetNps, Control.calibrationNps, Control.traceDepth, Control.traceTag};
  Options.evalNoise = 0;
  Control.useNN = 0;  // the hand-crafted evaluation: exact and machine-independent
  Control.ttInUse = 0;
  Control.rootSide = WHITE;
  Control.targetTime = UNTIMED_SEARCH;
  Control.targetNps = Control.calibrationNps = 0;
  Control.traceDepth = 0;
  Control.traceTag = 0;
  Control.stop.store(0);
  Control.mainDepth.store(0);
  init_search_params();
  t = new_search_thread();
}

void SearchTest::TearDown() {
  free_search_thread(t);
  Options = savedOptions;
  Control.useNN = saved.useNN;
  Control.ttInUse = saved.ttInUse;
  Control.rootSide = saved.rootSide;
  Control.targetTime = saved.targetTime;
  Control.targetNps = saved.targetNps;
  Control.calibrationNps = saved.calibrationNps;
  Control.traceDepth = saved.traceDepth;
  Control.traceTag = saved.traceTag;
  Control.stop.store(0);
  init_search_params();
}

Position& SearchTest::set(const char* fen) {
  set_position(t->pos, fen);
  make_root();
  return t->pos;
}

void SearchTest::make_root() {
  reset_ply_lists(t);
  reset_order_tables(t);
  t->plies[0].tbResult = -1;
  t->nodes = 0;
  t->nodeLimit = NO_NODE_LIMIT;
  t->rootDepthDone = 0;
  t->selDepth = 0;
  Control.rootSide = t->pos.side;
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
