// The "go", "stop" and "ponderhit" commands run in-process: the limits
// and the state they leave for the loop to act on. No search runs here.
#include <gtest/gtest.h>

#include "board/bitboard.h"
#include "board/zobrist.h"
#include "frontend/control.h"
#include "frontend/game.h"
#include "frontend/uci.h"

namespace {

constexpr float UNLIMITED_SECONDS = 10000000.0f;

class GoCommandTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    init_board_tables();
    init_zobrist();
    if (!Game) {
      ASSERT_TRUE(allocate_game());
    }
  }
  void SetUp() override {
    set_control_defaults(Control);
    uci_command("position startpos");
  }
  void TearDown() override { set_control_defaults(Control); }
  // Runs "go ..." and returns the requested state; the request is dropped
  // again so that nothing is left for a loop to start.
  int go(const char* args) {
    uci_command((std::string("go ") + args).c_str());
    int state = Control.state.load();
    Control.state.store(STATE_IDLE);
    return state;
  }
  const SearchLimits& limits = Control.limits;
};

TEST_F(GoCommandTest, ClocksAndTheIncrementOfTheSideToMove) {
  uci_command("position startpos moves e2e4");
  EXPECT_EQ(go("wtime 1000 btime 1000 winc 100 binc 200"), STATE_GO);
  EXPECT_EQ(limits.limitKind, LIMIT_CLOCK);
  EXPECT_FLOAT_EQ(limits.clock[WHITE], 1.0f);
  EXPECT_FLOAT_EQ(limits.clock[BLACK], 1.0f);
  EXPECT_FLOAT_EQ(limits.increment, 0.2f);
  uci_command("position startpos");
  go("wtime 1000 btime 1000 winc 100 binc 200");
  EXPECT_FLOAT_EQ(limits.increment, 0.1f);
}

TEST_F(GoCommandTest, NegativeClockCountsAsZero) {
  go("wtime -300 btime 5000");
  EXPECT_FLOAT_EQ(limits.clock[WHITE], 0.0f);
  EXPECT_FLOAT_EQ(limits.clock[BLACK], 5.0f);
}

TEST_F(GoCommandTest, MovesToGoMarksTheControl) {
  Control.limits.maxDepth = 5;
  Control.limits.nodeLimit = 777;
  go("wtime 60000 btime 60000 movestogo 17");
  EXPECT_EQ(limits.limitKind, LIMIT_MOVESTOGO_MARK);
  EXPECT_EQ(limits.movesToGo, 17);
  EXPECT_EQ(limits.maxDepth, MAX_DEPTH);
  EXPECT_EQ(limits.nodeLimit, 0u);
}

TEST_F(GoCommandTest, DepthIsAFixedLimitOfAtMost66) {
  go("depth 12");
  EXPECT_EQ(limits.maxDepth, 12);
  EXPECT_EQ(limits.limitKind, LIMIT_FIXED);
  EXPECT_FLOAT_EQ(limits.timePerMove, UNLIMITED_SECONDS);
  go("depth 99");
  EXPECT_EQ(limits.maxDepth, MAX_DEPTH);
  go("depth 0");
  EXPECT_EQ(limits.maxDepth, 0);
}

TEST_F(GoCommandTest, NodesAreSpreadByAtMostFourPercent) {
  bool low = false, high = false;
  for (int i = 0; i < 200; i++) {
    go("nodes 100000");
    EXPECT_GE(limits.nodeLimit, 96000u);
    EXPECT_LE(limits.nodeLimit, 104000u);
    low |= limits.nodeLimit < 100000;
    high |= limits.nodeLimit > 100000;
  }
  EXPECT_TRUE(low && high) << "the spread goes both ways";
  EXPECT_EQ(limits.limitKind, LIMIT_FIXED);
  EXPECT_FLOAT_EQ(limits.timePerMove, UNLIMITED_SECONDS);
}

TEST_F(GoCommandTest, LargeNodeLimitsAreSpreadWithoutOverflow) {
  go("nodes 4000000000");
  EXPECT_GE(limits.nodeLimit, 3840000000u);
  EXPECT_LE(limits.nodeLimit, 4160000000u);
}

TEST_F(GoCommandTest, MoveTimeDropsTheIncrement) {
  go("wtime 1000 btime 1000 winc 500 movetime 250");
  EXPECT_EQ(limits.limitKind, LIMIT_FIXED);
  EXPECT_FLOAT_EQ(limits.timePerMove, 0.25f);
  EXPECT_FLOAT_EQ(limits.increment, 0.0f);
}

TEST_F(GoCommandTest, InfiniteClearsEveryLimit) {
  go("depth 3");
  Control.limits.nodeLimit = 5000;
  go("infinite");
  EXPECT_EQ(limits.limitKind, LIMIT_FIXED);
  EXPECT_FLOAT_EQ(limits.timePerMove, UNLIMITED_SECONDS);
  EXPECT_EQ(limits.nodeLimit, 0u);
  EXPECT_EQ(limits.maxDepth, MAX_DEPTH);
}

TEST_F(GoCommandTest, PonderRequestsAPonderingSearch) {
  EXPECT_EQ(go("ponder wtime 1000 btime 1000"), STATE_GO_PONDER);
  EXPECT_EQ(go("wtime 1000 btime 1000"), STATE_GO);
}

TEST_F(GoCommandTest, PonderhitKeepsAFinishedMark) {
  Control.state.store(STATE_PONDERING);
  uci_command("ponderhit");
  EXPECT_EQ(Control.state.load(), STATE_SEARCHING);
  Control.state.store(STATE_PONDERING | STATE_FINISHED);
  uci_command("ponderhit");
  EXPECT_EQ(Control.state.load(), STATE_SEARCHING | STATE_FINISHED);
  Control.state.store(STATE_TOOL);
  uci_command("ponderhit");
  EXPECT_EQ(Control.state.load(), STATE_TOOL);
  Control.state.store(STATE_IDLE);
}

TEST_F(GoCommandTest, StopEndsPonderingAndAsksTheSearchToStop) {
  uci_command("stop");
  EXPECT_EQ(Control.stop.load(), 0) << "nothing to stop";
  Control.state.store(STATE_PONDERING);
  uci_command("stop");
  EXPECT_EQ(Control.stop.load(), 1);
  EXPECT_EQ(Control.state.load(), STATE_SEARCHING);
  Control.state.store(STATE_IDLE);
  Control.stop.store(0);
}

}  // namespace
