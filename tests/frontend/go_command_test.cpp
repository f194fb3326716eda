// The "go" command run in-process: the limits it leaves for the loop to
// act on. No search runs here.
#include <gtest/gtest.h>

#include "board/bitboard.h"
#include "board/zobrist.h"
#include "frontend/control.h"
#include "frontend/game.h"
#include "frontend/uci.h"

#include <set>

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
  go("wtime -300 btime 5000");  // a negative clock counts as zero
  EXPECT_FLOAT_EQ(limits.clock[WHITE], 0.0f);
  EXPECT_FLOAT_EQ(limits.clock[BLACK], 5.0f);
}

// Each limit in its range; "movetime" drops the increment; every go starts
// from the command line's limits, which "infinite" and a moves-to-go
// control keep or clear as their own.
TEST_F(GoCommandTest, LimitsAndTheirRanges) {
  Control.limits.maxDepth = 5;
  Control.limits.nodeLimit = 777;
  go("wtime 60000 btime 60000 movestogo 17");
  EXPECT_EQ(limits.limitKind, LIMIT_MOVESTOGO_MARK);
  EXPECT_EQ(limits.movesToGo, 17);
  EXPECT_EQ(limits.maxDepth + limits.nodeLimit, uint64_t(MAX_DEPTH));
  go("depth 99");
  EXPECT_EQ(limits.maxDepth, MAX_DEPTH);
  EXPECT_EQ(limits.limitKind, LIMIT_FIXED);
  go("wtime 1000 btime 1000 winc 500 movetime 250");
  EXPECT_FLOAT_EQ(limits.timePerMove, 0.25f);
  EXPECT_FLOAT_EQ(limits.increment, 0.0f);
  go("mate 999 wtime 1000 btime 1000");
  EXPECT_EQ(limits.mateMoves, MAX_MATE_MOVES);
  EXPECT_EQ(limits.limitKind, LIMIT_CLOCK);
  go("");
  EXPECT_EQ(limits.mateMoves + limits.searchMoveCount, 0) << "nothing kept from the last go";
  Control.baseLimits.maxDepth = 6;
  Control.baseLimits.nodeLimit = 9000;
  go("wtime 1000 btime 1000 movestogo 20");
  EXPECT_EQ(limits.maxDepth + limits.nodeLimit, 6 + 9000u);
  go("infinite");
  EXPECT_FLOAT_EQ(limits.timePerMove, UNLIMITED_SECONDS);
  EXPECT_EQ(limits.maxDepth + limits.nodeLimit, uint64_t(MAX_DEPTH)) << "analysis runs until stop";
  // Nodes are spread by at most 4 %, both ways, without overflow.
  bool low = false, high = false;
  for (int i = 0; i < 100; i++) {
    go("nodes 4000000000");
    EXPECT_GE(limits.nodeLimit, 3840000000u);
    EXPECT_LE(limits.nodeLimit, 4160000000u);
    low |= limits.nodeLimit < 4000000000u;
    high |= limits.nodeLimit > 4000000000u;
  }
  EXPECT_TRUE(low && high);
}

TEST_F(GoCommandTest, SearchMovesKeepTheDistinctLegalMovesListed) {
  struct Case { const char* fen; const char* args; std::set<std::string> kept; } cases[] = {
      {nullptr, "searchmoves a2a3 b2b3 depth 8", {"a2a3", "b2b3"}},
      {nullptr, "depth 8 searchmoves a2a3 e2e5 zz a2a3 g1f3x b1c3 ponder", {"a2a3", "b1c3"}},
      {nullptr, "searchmoves 0000", {}},
      // Into check, along the checking rook's lines: only the capture is legal.
      {"4k3/8/8/8/8/8/3r4/4K3 w - -", "searchmoves e1e2 e1d1 e1d2", {"e1d2"}},
      // Castling written either way is the one move.
      {"r3k2r/8/8/8/8/8/8/R3K2R w KQkq -", "searchmoves e1h1 e1g1", {"e1g1"}},
  };
  for (const Case& c : cases) {
    uci_command(c.fen ? (std::string("position fen ") + c.fen).c_str() : "position startpos");
    testing::internal::CaptureStdout();
    go(c.args);
    testing::internal::GetCapturedStdout();
    std::set<Move> expected;
    for (const std::string& m : c.kept) expected.insert(game_move_from_text(m.c_str()));
    std::set<Move> kept(limits.searchMoves, limits.searchMoves + limits.searchMoveCount);
    EXPECT_EQ(kept, expected) << c.args;
    EXPECT_EQ(size_t(limits.searchMoveCount), c.kept.size()) << c.args;
  }
}

}  // namespace
