// The root driver run on the test's own thread: what it publishes, when it
// stops deepening, and the progress lines it prints.
#include <algorithm>
#include <regex>
#include <set>
#include <string>

#include "board/fen.h"
#include "frontend/game.h"
#include "platform/platform.h"
#include "root_fixture.h"
#include "search/rootsearch.h"
#include "search/search.h"
#include "search/threads.h"
#include "search/tt.h"

namespace {

constexpr const char* FREE_QUEEN = "4k3/8/8/3q4/4P3/8/8/4K3 w - -";
constexpr const char* BACK_RANK_MATE = "6k1/5ppp/8/8/8/8/5PPP/R5K1 w - -";
// Black's only move is Kg8, after which Ra8 mates.
constexpr const char* MATED_NEXT = "7k/R7/6K1/8/8/8/8/8 b - -";
// White is in check from the rook; Kb1 is the only way out.
constexpr const char* ONE_REPLY = "8/8/8/8/8/1k6/r7/K7 w - -";
constexpr const char* CHECKMATED = "7k/6Q1/6K1/8/8/8/8/8 b - -";
constexpr const char* STALEMATE = "7k/8/6Q1/8/8/8/8/6K1 b - -";
constexpr const char* MIDDLEGAME = "r1bqkb1r/pp1ppppp/2n2n2/8/3NP3/2N5/PPP2PPP/R1BQKB1R b KQkq -";

int count_matching(const std::vector<std::string>& lines, const std::string& part) {
  return int(std::count_if(lines.begin(), lines.end(),
                           [&](const std::string& l) { return l.find(part) != std::string::npos; }));
}

TEST_F(RootSearchTest, DepthZeroRunsNoIterationAndAnswersWithTheQuiescenceLine) {
  set(FREE_QUEEN);
  search_to(0);
  EXPECT_EQ(Control.bestMove, parse("e4d5"));
  EXPECT_EQ(Control.mainDepth.load(), 0);
  EXPECT_EQ(Control.depthNodes[1], 0u);
  EXPECT_EQ(count_matching(lines, "info depth"), 0);
}

TEST_F(RootSearchTest, DepthZeroInAQuietPositionHasNoMove) {
  search_to(0);
  EXPECT_EQ(Control.bestMove, MOVE_NONE);
}

TEST_F(RootSearchTest, SingleReplyIsFlaggedAndStillIterates) {
  set(ONE_REPLY);
  ASSERT_EQ(legal_moves().size(), 1u);
  search_to(4);
  EXPECT_EQ(Control.singleReply, 1);
  EXPECT_EQ(Control.bestMove, parse("a1b1"));
  EXPECT_EQ(Control.lastIterDepth, 4);
}

TEST_F(RootSearchTest, ManyRepliesAreNoSingleReply) {
  search_to(2);
  EXPECT_EQ(Control.singleReply, 0);
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

TEST_F(RootSearchTest, BeingMatedAfterTheReplyShowsMateMinusOne) {
  set(MATED_NEXT);
  search_to(6);
  EXPECT_EQ(Control.score, 3 - MATE);
  EXPECT_EQ(Control.bestMove, parse("h8g8"));
  EXPECT_LT(Control.lastIterDepth, 6);  // the mate is within reach: no need to go on
  lines = captured([] {
    print_pv_line(0, 0, Control.completedDepth, Control.score, Control.bestLine);
  });
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_NE(lines[0].find("score mate -1 "), std::string::npos) << lines[0];
}

TEST_F(RootSearchTest, CheckmatedRootHasNoMoveAndTheMatedScore) {
  set(CHECKMATED);
  search_to(5);
  EXPECT_EQ(Control.bestMove, MOVE_NONE);
  EXPECT_EQ(Control.score, -(MATE - 1));
  EXPECT_EQ(Control.mainDepth.load(), 0);
}

TEST_F(RootSearchTest, StalemateRootHasNoMoveAndScoresZero) {
  set(STALEMATE);
  search_to(5);
  EXPECT_EQ(Control.bestMove, MOVE_NONE);
  EXPECT_EQ(Control.score, 0);
}

TEST_F(RootSearchTest, PonderMoveIsTheSecondMoveOfTheBestLine) {
  set(MIDDLEGAME);
  search_to(6);
  EXPECT_EQ(Control.bestMove, Control.bestLine[1]);
  EXPECT_EQ(Control.ponderMove, Control.bestLine[2]);
  EXPECT_NE(Control.ponderMove, MOVE_NONE);
  std::vector<Move> legal = legal_moves();
  EXPECT_NE(std::find(legal.begin(), legal.end(), Control.bestMove), legal.end());
}

TEST_F(RootSearchTest, ProgressLinesDeepenOneDepthAtATime) {
  search_to(6);
  std::regex info(R"(^info depth (\d+) seldepth (\d+) score cp -?\d+ time \d+ nodes (\d+) nps \d+ tbhits 0 hashfull \d+ pv [a-h1-8 ]+$)");
  int lastDepth = 1;
  long lastNodes = 0;
  for (const std::string& l : lines) {
    std::smatch m;
    ASSERT_TRUE(std::regex_match(l, m, info)) << l;
    int depth = std::stoi(m[1]);
    EXPECT_TRUE(depth == lastDepth || depth == lastDepth + 1) << l;
    EXPECT_GE(std::stoi(m[2]), depth) << l;
    EXPECT_GE(std::stol(m[3]), lastNodes) << l;
    lastDepth = depth;
    lastNodes = std::stol(m[3]);
  }
  EXPECT_EQ(lastDepth, 6);
  EXPECT_GE(count_matching(lines, "info depth 2 "), 1);  // the first printed depth
}

TEST_F(RootSearchTest, MultiPvPrintsThreeDistinctLinesPerDepth) {
  Options.MultiPV = 3;
  search_to(4);
  ASSERT_EQ(lines.size(), 12u);
  for (int depth = 1; depth <= 4; depth++) {
    std::set<std::string> firstMoves;
    for (int k = 1; k <= 3; k++) {
      const std::string& l = lines[(depth - 1) * 3 + (k - 1)];
      std::string head = "info multipv " + std::to_string(k) + " depth " + std::to_string(depth) + " ";
      EXPECT_EQ(l.rfind(head, 0), 0u) << l;
      size_t pv = l.find(" pv ");
      ASSERT_NE(pv, std::string::npos);
      firstMoves.insert(l.substr(pv + 4, 4));
    }
    EXPECT_EQ(firstMoves.size(), 3u) << "depth " << depth;
  }
}

TEST_F(RootSearchTest, SameSearchSameNodeCount) {
  set(MIDDLEGAME);
  search_to(7);
  uint64_t first = Control.nodes;
  Move firstMove = Control.bestMove;
  search_to(7);
  EXPECT_EQ(Control.nodes, first);
  EXPECT_EQ(Control.bestMove, firstMove);
}

TEST_F(RootSearchTest, PerDepthNodeCountsGrowWithDepth) {
  set(MIDDLEGAME);
  search_to(6);
  for (int d = 2; d <= 6; d++) EXPECT_GT(Control.depthNodes[d], Control.depthNodes[d - 1]) << d;
  EXPECT_EQ(Control.depthNodes[6], Control.nodes);
  EXPECT_EQ(Control.depthNodes[7], 0u);
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
}

TEST_F(RootSearchTest, WithoutTheHistoryTheSamePositionIsLost) {
  set("q3k3/8/8/8/8/8/8/4K1N1 w - -");
  search_to(4);
  EXPECT_LT(Control.score, -500);
}

TEST_F(RootSearchTest, NodeLimitStopsTheSearch) {
  constexpr uint64_t LIMIT = 3000;
  set(MIDDLEGAME);
  Control.limits.nodeLimit = LIMIT;
  search_to(MAX_DEPTH);
  EXPECT_LE(Control.nodes, LIMIT + 1);
  EXPECT_GT(Control.completedDepth, 1);
  EXPECT_NE(Control.bestMove, MOVE_NONE);
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

TEST_F(RootSearchTest, OneListedMoveIsAnsweredButIsNoSingleReply) {
  set(MIDDLEGAME);
  restrict_root({parse("a7a6")});
  search_threaded(5, 2);
  EXPECT_EQ(Control.bestMove, parse("a7a6"));
  EXPECT_EQ(Control.singleReply, 0);
  EXPECT_EQ(Control.lastIterDepth, 5);
}

// A mate in 3 (Rxb6+ Qxc6 Rxa2+ Qa4 Rxa4#) that the checks let the search
// see from depth 2 on, long before a mate in 3 is within the nominal depth.
constexpr const char* EARLY_MATE_IN_3 = "k4r2/1R4pb/1pQp1n1p/3P4/5p1P/3P2P1/r1q1R2K/8 w - -";
constexpr int MATE_WITHIN_REACH_DEPTH = 5;  // 9994 >= 9999 - 5

TEST_F(RootSearchTest, MateLimitStopsAtTheFirstIterationThatProvesIt) {
  struct Case {
    int mateMoves;
    bool early;
  } cases[] = {{0, false}, {2, false}, {3, true}, {5, true}};
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

// ---------------------------------------------------------------- output

class ProgressLineTest : public RootSearchTest {
 protected:
  void SetUp() override {
    RootSearchTest::SetUp();
    // A finished search as the main thread prints its final line.
    Control.state.store(STATE_SEARCHING | STATE_FINISHED);
    Control.stop.store(1);
    Control.startTime = monotonic_seconds();
    Control.multiPV = 1;
    Control.nodes = 123456;
    Control.tbHits = 7;
    Control.selDepth = 18;
    Control.rootTbResult = -1;
  }
  // e2e4 e7e5 g1f3 b8c6 f1b5 a7a6 b5a4 g8f6 e1g1 f8e7
  void set_line() {
    const char* moves[] = {"e2e4", "e7e5", "g1f3", "b8c6", "f1b5", "a7a6", "b5a4", "g8f6", "e1g1", "f8e7"};
    for (Move& m : line) m = MOVE_NONE;
    for (int i = 0; i < 10; i++) {
      line[i + 1] = parse(moves[i]);
      ASSERT_TRUE(play_game_move(line[i + 1]));
    }
    set(START_FEN);
  }
  std::vector<std::string> print(int multipv, int depth, int score) {
    testing::internal::CaptureStdout();
    print_pv_line(0, multipv, depth, score, line);
    return split_lines(testing::internal::GetCapturedStdout());
  }
  Move line[MAX_PLY] = {};
};

TEST_F(ProgressLineTest, UciForm) {
  set_line();
  std::vector<std::string> out = print(0, 5, 31);
  ASSERT_EQ(out.size(), 1u);
  std::regex form(R"(^info depth 5 seldepth 17 score cp 31 time \d+ nodes 123456 nps \d+ tbhits 7 hashfull 0 pv e2e4 e7e5 g1f3 b8c6 f1b5 a7a6 b5a4 g8f6 e1g1 f8e7$)");
  EXPECT_TRUE(std::regex_match(out[0], form)) << out[0];
}

TEST_F(ProgressLineTest, UciFormWithMultiPv) {
  set_line();
  Control.multiPV = 3;
  std::vector<std::string> out = print(2, 5, -40);
  ASSERT_EQ(out.size(), 1u);
  EXPECT_EQ(out[0].rfind("info multipv 2 depth 5 seldepth 17 score cp -40 ", 0), 0u) << out[0];
}

TEST_F(ProgressLineTest, MateScores) {
  set_line();
  EXPECT_NE(print(0, 5, MATE - 2)[0].find("score mate 1 "), std::string::npos);
  EXPECT_NE(print(0, 5, MATE - 5)[0].find("score mate 2 "), std::string::npos);
  EXPECT_NE(print(0, 5, 9900)[0].find("score mate 50 "), std::string::npos);
  EXPECT_NE(print(0, 5, 9899)[0].find("score cp 9899 "), std::string::npos);
  EXPECT_NE(print(0, 5, 3 - MATE)[0].find("score mate -1 "), std::string::npos);
  EXPECT_NE(print(0, 5, 5 - MATE)[0].find("score mate -2 "), std::string::npos);
  EXPECT_NE(print(0, 5, -9900)[0].find("score cp -9900 "), std::string::npos);
}

TEST_F(ProgressLineTest, RootTablebaseResultOverridesTheScore) {
  set_line();
  Control.rootTbResult = 4;
  EXPECT_NE(print(0, 5, 120)[0].find("score cp 9800 "), std::string::npos);
  EXPECT_NE(print(0, 5, MATE - 2)[0].find("score mate 1 "), std::string::npos);
  Control.rootTbResult = 0;
  EXPECT_NE(print(0, 5, 120)[0].find("score cp -9800 "), std::string::npos);
  Control.rootTbResult = 2;
  EXPECT_NE(print(0, 5, 120)[0].find("score cp 0 "), std::string::npos);
}

TEST_F(ProgressLineTest, NothingWhenSilencedOrEmpty) {
  set_line();
  EXPECT_TRUE(print(0, 0, 10).empty()) << "depth 0";
  Control.noise = 9999;
  EXPECT_TRUE(print(0, 5, 10).empty()) << "noise level 9999";
  Control.noise = 100;
  EXPECT_EQ(print(0, 5, 10).size(), 1u) << "a stopped search prints its line";
  Control.stop.store(0);
  EXPECT_TRUE(print(0, 5, 10).empty()) << "before the noise level's seconds";
  Control.noise = 0;
  EXPECT_EQ(print(0, 5, 10).size(), 1u);
  line[1] = MOVE_NONE;
  EXPECT_TRUE(print(0, 5, 10).empty()) << "empty line";
}

TEST_F(ProgressLineTest, ConsoleFormWrapsAfterEightMovesOnceStopped) {
  set_line();
  Control.uciMode = 0;
  std::vector<std::string> out = print(0, 5, 31);
  ASSERT_EQ(out.size(), 2u);
  std::regex head(R"(^00\] 05   +\d+\.\d     123K    31  e2e4 e7e5 g1f3 b8c6 f1b5 a7a6 b5a4 g8f6$)");
  EXPECT_TRUE(std::regex_match(out[0], head)) << out[0];
  EXPECT_EQ(out[1], std::string(30, ' ') + "e1g1 f8e7");
}

TEST_F(ProgressLineTest, ConsoleFormKeepsEightMovesWhileRunning) {
  set_line();
  Control.uciMode = 0;
  Control.stop.store(0);
  std::vector<std::string> out = print(2, 5, 31);
  ASSERT_EQ(out.size(), 1u);
  EXPECT_EQ(out[0].substr(0, 7), "00] 05.");
  EXPECT_EQ(out[0].substr(out[0].size() - 9), "b5a4 g8f6");
}

TEST_F(ProgressLineTest, ConsoleFormEndsTheLastMultiPvLineWithAnEmptyLine) {
  set_line();
  Control.uciMode = 0;
  Control.multiPV = 2;
  EXPECT_EQ(print(1, 5, 31).size(), 2u);
  std::vector<std::string> out = print(2, 5, 31);
  ASSERT_EQ(out.size(), 3u);
  EXPECT_EQ(out[2], "");
}

TEST(EffectiveBranchingFactor, FourthRootOfFourDepthsGrowth) {
  Control.lastIterDepth = 8;
  for (auto& n : Control.depthNodes) n = 0;
  Control.depthNodes[4] = 100;
  Control.depthNodes[8] = 8100;
  EXPECT_FLOAT_EQ(effective_branching_factor(), 3.0f);
  Control.depthNodes[4] = 0;
  EXPECT_FLOAT_EQ(effective_branching_factor(), 2.0f);
  Control.depthNodes[4] = 100;
  Control.lastIterDepth = 5;
  Control.depthNodes[5] = 8100;
  Control.depthNodes[1] = 100;
  EXPECT_FLOAT_EQ(effective_branching_factor(), 2.0f);
  Control.lastIterDepth = 0;
  for (auto& n : Control.depthNodes) n = 0;
}

}  // namespace
