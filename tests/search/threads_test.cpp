// Searches on their own threads: the master, the secondary threads and
// stopping. The suite also runs under
// ThreadSanitizer (make tsan).
#include <algorithm>

#include "frontend/game.h"
#include "platform/platform.h"
#include "search_fixture.h"
#include "search/searchthread.h"
#include "search/threads.h"

namespace {

constexpr const char* MIDDLEGAME = "r1bqkb1r/pp1ppppp/2n2n2/8/3NP3/2N5/PPP2PPP/R1BQKB1R b KQkq -";
constexpr int WAIT_SLEEP_MS = 1;

using ThreadedSearch = RootSearchTest;

bool is_legal(const std::vector<Move>& legal, Move m) {
  return std::find(legal.begin(), legal.end(), m) != legal.end();
}

// Two threads to a fixed depth, and three on a clock far beyond what
// depth 7 needs (the time check reads the published scores and every
// thread's root result all along): a legal answer, the secondary records
// freed, record 0 kept for the next search, and progress lines printed.
// On a loaded machine the master may finish before a secondary thread is
// ever scheduled; a few tries tell that from nodes never summed.
TEST_F(ThreadedSearch, ThreadsAnswerSumTheirNodesAndAreFreed) {
  constexpr int TRIES = 3;
  for (int threads : {2, 3}) {
    for (int i = 0; i < TRIES; i++) {
      set(MIDDLEGAME);
      Control.limits.limitKind = threads == 3 ? LIMIT_CLOCK : LIMIT_FIXED;
      Control.limits.clock[WHITE] = Control.limits.clock[BLACK] = 1000;
      Control.limits.increment = 0;
      search_threaded(7, threads);
      if (Threads[0] && Control.nodes > uint64_t(Threads[0]->nodes)) break;
    }
    EXPECT_TRUE(is_legal(legal_moves(), Control.bestMove)) << threads;
    EXPECT_EQ(Control.completedDepth, 7) << threads;
    ASSERT_NE(Threads[0], nullptr) << threads;
    for (int k = 1; k < threads; k++) EXPECT_EQ(Threads[k], nullptr) << threads;
    EXPECT_GT(Control.nodes, uint64_t(Threads[0]->nodes)) << "all threads counted";
    EXPECT_EQ(Control.state.load(), STATE_SEARCHING | STATE_FINISHED);
    EXPECT_FALSE(lines.empty());
  }
}

TEST_F(ThreadedSearch, StopEndsAnUnlimitedSearchWithAMove) {
  set(MIDDLEGAME);
  Control.activeThreads = 2;
  Control.noise = 9999;
  Control.limits.maxDepth = MAX_DEPTH;
  lines = captured([] {
    prepare_search();
    ASSERT_EQ(start_search(STATE_SEARCHING), 0);
    while (Control.mainDepth.load() < 4 && !(Control.state.load() & STATE_FINISHED))
      sleep_ms(WAIT_SLEEP_MS);
    Control.stop.store(1);
    while (!(Control.state.load() & STATE_FINISHED)) sleep_ms(WAIT_SLEEP_MS);
  });
  EXPECT_TRUE(is_legal(legal_moves(), Control.bestMove));
  EXPECT_GE(Control.completedDepth, 3);
  EXPECT_TRUE(lines.empty()) << "noise level 9999 prints nothing";
}

TEST_F(ThreadedSearch, ACommandChangingTheGameDuringTheSearchChangesNothingInIt) {
  set(MIDDLEGAME);
  Control.activeThreads = 2;
  Control.noise = 9999;
  Control.limits.maxDepth = 6;
  Move before;
  lines = captured([] {
    prepare_search();
    ASSERT_EQ(start_search(STATE_SEARCHING), 0);
    ASSERT_TRUE(set_game_position("4k3/8/8/8/8/8/8/R3K3 w - -"));
    while (!(Control.state.load() & STATE_FINISHED)) sleep_ms(WAIT_SLEEP_MS);
  });
  before = Control.bestMove;
  set(MIDDLEGAME);
  EXPECT_TRUE(is_legal(legal_moves(), before));
}

}  // namespace
