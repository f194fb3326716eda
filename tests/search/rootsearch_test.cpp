// The root driver run on the test's own thread: what it publishes, when it
// stops deepening, and the lines it prints.
#include <algorithm>
#include <set>
#include <string>

#include "board/fen.h"
#include "frontend/game.h"
#include "platform/platform.h"
#include "search_fixture.h"
#include "search/rootsearch.h"
#include "search/search.h"
#include "search/threads.h"
#include "search/tt.h"

namespace {

constexpr const char* BACK_RANK_MATE = "6k1/5ppp/8/8/8/8/5PPP/R5K1 w - -";
constexpr const char* MIDDLEGAME = "r1bqkb1r/pp1ppppp/2n2n2/8/3NP3/2N5/PPP2PPP/R1BQKB1R b KQkq -";

int count_matching(const std::vector<std::string>& lines, const std::string& part) {
  return int(std::count_if(lines.begin(), lines.end(),
                           [&](const std::string& l) { return l.find(part) != std::string::npos; }));
}

TEST_F(RootSearchTest, MateInOneStopsDeepeningAfterDepthOne) {
  set(BACK_RANK_MATE);
  search_to(10);
  EXPECT_EQ(Control.score, MATE - 2);
  EXPECT_EQ(Control.bestMove, parse("a1a8"));
  EXPECT_EQ(Control.lastIterDepth, 1);
  // The answer's final progress line shows the mate.
  lines = captured([] {
    print_pv_line(0, 0, Control.completedDepth, Control.score, Control.bestLine);
  });
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_NE(lines[0].find("score mate 1 "), std::string::npos) << lines[0];
  EXPECT_NE(lines[0].find(" pv a1a8"), std::string::npos) << lines[0];
}

// The node count of a fixed search with the hand-crafted evaluation is the
// search's signature: every change to pruning, reductions, extensions or
// move order moves it. A deliberate change updates the number; an
// accidental one (a table read the wrong way round) shows here.
constexpr uint64_t MIDDLEGAME_DEPTH_7_NODES = 14335;

TEST_F(RootSearchTest, NodeCountIsTheSearchSignature) {
  set(MIDDLEGAME);
  search_to(7);
  uint64_t first = Control.nodes;
  Move firstMove = Control.bestMove;
  search_to(7);
  EXPECT_EQ(Control.nodes, first) << "the same search twice";
  EXPECT_EQ(Control.bestMove, firstMove);
  EXPECT_EQ(first, MIDDLEGAME_DEPTH_7_NODES);
}

TEST_F(RootSearchTest, GameHistoryReachesTheSearch) {
  // A queen down, White can repeat the position after Nf3 a third time:
  // the game moves before the root make that a draw.
  set("q3k3/8/8/8/8/8/8/4K1N1 w - -",
      {"g1f3", "e8d8", "f3g1", "d8e8", "g1f3", "e8d8", "f3g1", "d8e8"});
  search_to(4);
  EXPECT_EQ(Threads[0]->undoIndex, 8);
  EXPECT_EQ(Control.bestMove, parse("g1f3"));
  EXPECT_EQ(Control.score, 0);
  set("q3k3/8/8/8/8/8/8/4K1N1 w - -");  // without the history it is lost
  search_to(4);
  EXPECT_LT(Control.score, -500);
}

// ------------------------------------------------------ limits of a "go"

void restrict_root(const std::vector<Move>& moves) {
  std::copy(moves.begin(), moves.end(), Control.limits.searchMoves);
  Control.limits.searchMoveCount = uint16_t(moves.size());
}

TEST_F(RootSearchTest, SearchMovesRestrictEveryLineAndTheAnswer) {
  set(BACK_RANK_MATE);
  const std::set<std::string> listed = {"h2h3", "g1f1"};
  restrict_root({parse("h2h3"), parse("g1f1")});
  Options.MultiPV = 3;
  search_to(4);
  EXPECT_TRUE(Control.bestMove == parse("h2h3") || Control.bestMove == parse("g1f1"));
  EXPECT_LT(Control.score, MATE - 100) << "the mate a1a8 is not listed";
  EXPECT_EQ(count_matching(lines, "multipv 3 "), 0) << "no more lines than listed moves";
  EXPECT_GT(count_matching(lines, "multipv 2 "), 0);
  for (const std::string& l : lines) {
    size_t pv = l.find(" pv ");
    if (pv == std::string::npos) continue;
    EXPECT_EQ(listed.count(l.substr(pv + 4, 4)), 1u) << l;
  }
}

// A mate in 3 (Rxb6+ Qxc6 Rxa2+ Qa4 Rxa4#) that the checks let the search
// see from depth 2 on, long before a mate in 3 is within the nominal depth.
constexpr const char* EARLY_MATE_IN_3 = "k4r2/1R4pb/1pQp1n1p/3P4/5p1P/3P2P1/r1q1R2K/8 w - -";
constexpr int MATE_WITHIN_REACH_DEPTH = 5;  // 9994 >= 9999 - 5

TEST_F(RootSearchTest, MateLimitStopsAtTheFirstIterationThatProvesIt) {
  struct Case { int mateMoves; bool early; } cases[] = {{0, false}, {2, false}, {3, true}, {5, true}};
  for (const Case& c : cases) {
    set(EARLY_MATE_IN_3);
    Control.limits.mateMoves = uint8_t(c.mateMoves);
    search_to(12);
    EXPECT_EQ(Control.score, MATE - 6) << c.mateMoves;
    EXPECT_EQ(Control.bestMove, parse("b7b6")) << c.mateMoves;
    if (c.early) EXPECT_LT(Control.lastIterDepth, MATE_WITHIN_REACH_DEPTH) << c.mateMoves;
    else EXPECT_EQ(Control.lastIterDepth, MATE_WITHIN_REACH_DEPTH) << c.mateMoves;
  }
}

}  // namespace
