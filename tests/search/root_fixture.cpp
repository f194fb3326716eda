#include "root_fixture.h"

#include "board/bitboard.h"
#include "board/fen.h"
#include "board/legality.h"
#include "board/movegen.h"
#include "board/notation.h"
#include "board/zobrist.h"
#include "eval/kpk.h"
#include "eval/network.h"
#include "eval/params.h"
#include "frontend/game.h"
#include "platform/platform.h"
#include "search/rootsearch.h"
#include "search/searchthread.h"
#include "search/threads.h"
#include "search/timeman.h"
#include "search/tt.h"

namespace {

constexpr int TEST_HASH_MB = 8;
constexpr float UNLIMITED_SECONDS = 10000000.0f;
constexpr int WAIT_SLEEP_MS = 1;

}  // namespace

std::vector<std::string> split_lines(const std::string& text) {
  std::vector<std::string> out;
  size_t start = 0;
  for (size_t nl; (nl = text.find('\n', start)) != std::string::npos; start = nl + 1)
    out.push_back(text.substr(start, nl - start));
  if (start < text.size()) out.push_back(text.substr(start));
  return out;
}

void RootSearchTest::SetUpTestSuite() {
  init_board_tables();
  init_zobrist();
  init_kpk_table();
  set_default_options(Options);
  setup_eval_params();
  load_network();
  init_search_locks();
  if (!Game) {
    ASSERT_TRUE(allocate_game());
  }
  if (!ttTable || Control.hashSize != TEST_HASH_MB) {
    Options.Hash = TEST_HASH_MB;
    testing::internal::CaptureStdout();
    tt_allocate();
    testing::internal::GetCapturedStdout();
  }
}

void RootSearchTest::SetUp() {
  savedOptions = Options;
  savedLimits = Control.limits;
  saved = {Control.noise,   Control.targetNps,     Control.calibrationNps, Control.targetTime,
           Control.uciMode, Control.activeThreads, Control.useNN,          Control.ttInUse,
           Control.chess960, Control.traceDepth,   Control.traceTag};
  Options.evalNoise = 0;
  Options.paramsChanged = 0;  // built once for the suite
  Options.MultiPV = 1;
  Options.Ponder = 0;
  Control.noise = 0;
  Control.targetNps = Control.calibrationNps = 0;
  Control.uciMode = 1;
  Control.activeThreads = 1;
  Control.useNN = 0;  // the hand-crafted evaluation: exact and machine-independent
  Control.ttInUse = 1;
  Control.chess960 = 0;
  Control.traceDepth = 0;
  Control.traceTag = 0;
  Control.state.store(STATE_IDLE);
  Control.stop.store(0);
  Control.limits.limitKind = LIMIT_FIXED;
  Control.limits.timePerMove = UNLIMITED_SECONDS;
  Control.limits.nodeLimit = 0;
  Control.limits.maxDepth = MAX_DEPTH;
  set(START_FEN);
}

void RootSearchTest::TearDown() {
  free_thread_records();
  Options = savedOptions;
  Control.limits = savedLimits;
  Control.noise = saved.noise;
  Control.targetNps = saved.targetNps;
  Control.calibrationNps = saved.calibrationNps;
  Control.targetTime = saved.targetTime;
  Control.uciMode = saved.uciMode;
  Control.activeThreads = saved.activeThreads;
  Control.useNN = saved.useNN;
  Control.ttInUse = saved.ttInUse;
  Control.chess960 = saved.chess960;
  Control.traceDepth = saved.traceDepth;
  Control.traceTag = saved.traceTag;
  Control.state.store(STATE_IDLE);
  Control.stop.store(0);
  Control.mainDepth.store(0);
}

void RootSearchTest::set(const char* fen, const std::vector<const char*>& moves) {
  ASSERT_TRUE(set_game_position(fen));
  for (const char* m : moves) ASSERT_TRUE(play_game_move(parse(m))) << m;
}

Move RootSearchTest::parse(const char* text) {
  Move m = MOVE_NONE;
  parse_move_in(Game->pos, text, &m);
  return m;
}

std::vector<Move> RootSearchTest::legal_moves() {
  std::vector<Move> moves;
  for (MoveEntry* e = generate_all(Game->pos); e->move != MOVE_END; e++)
    if (move_is_legal(Game->pos, Game->pos.side, e->move)) moves.push_back(e->move);
  return moves;
}

std::vector<std::string> RootSearchTest::captured(void (*action)()) {
  testing::internal::CaptureStdout();
  action();
  return split_lines(testing::internal::GetCapturedStdout());
}

void RootSearchTest::search_to(int depth) {
  Control.limits.maxDepth = uint8_t(depth);
  tt_clear();
  lines = captured([] {
    prepare_search();
    run_search_here();
  });
}

void RootSearchTest::search_threaded(int depth, int threads) {
  Control.limits.maxDepth = uint8_t(depth);
  Control.activeThreads = uint8_t(threads);
  tt_clear();
  lines = captured([] {
    prepare_search();
    ASSERT_EQ(start_search(STATE_SEARCHING), 0);
    while (!(Control.state.load() & STATE_FINISHED)) {
      time_check();
      sleep_ms(WAIT_SLEEP_MS);
    }
  });
}
