// Searches as a GUI runs them through the built engine: "go" in its forms,
// "stop", "ponderhit", "isready" and "quit" while a search runs, and the
// one "bestmove" line every search that was not cancelled ends with.
#include <gtest/gtest.h>

#include <regex>
#include <string>

#include "dialogue.h"

namespace {

// Generous guards against a hang; no test measures speed with them.
constexpr double PROMPT_SECONDS = 20.0;
// How long a test waits to be sure that something does NOT happen.
constexpr double QUIET_SECONDS = 0.5;

// The moves of the "bestmove" lines, in order.
std::vector<std::string> best_moves(const std::string& output) {
  std::vector<std::string> moves;
  for (const std::string& l : lines_of(output))
    if (l.rfind("bestmove ", 0) == 0) moves.push_back(l.substr(9, l.find(' ', 9) - 9));
  return moves;
}

constexpr double PUMP_SECONDS = 0.05;
const std::string NEVER = "\x01";  // never printed: waiting for it only reads

struct Engine {
  Dialogue d;
  explicit Engine(const std::vector<std::string>& args = {}) {
    start_engine(d, args, make_temp_dir());
    sync();
  }
  ~Engine() {
    if (d.pid > 0 && d.exitStatus == -1) {
      send(d, "quit\n");
      finish(d, PROMPT_SECONDS);
    }
  }
  bool wait(const std::string& text) { return wait_for(d, text, PROMPT_SECONDS); }
  // Reads for a while: true if `text` shows up meanwhile.
  bool appears_soon(const std::string& text) { return wait_for(d, text, QUIET_SECONDS); }
  // Reads until `text` has appeared `n` times.
  bool wait_count(const std::string& text, int n) {
    for (double waited = 0; waited < PROMPT_SECONDS; waited += PUMP_SECONDS) {
      if (count_of(d.output, text) >= n) return true;
      wait_for(d, NEVER, PUMP_SECONDS);
    }
    return count_of(d.output, text) >= n;
  }
  // "isready" and its answer: everything sent before has been read.
  bool sync() {
    int answers = count_of(d.output, "readyok");
    send(d, "isready\n");
    return wait_count("readyok", answers + 1);
  }
};

TEST(GoDialogue, DepthSearchAnswersOnceAfterItsDepths) {
  Engine e;
  send(e.d, "position startpos\ngo depth 5\n");
  ASSERT_TRUE(e.wait("bestmove"));
  ASSERT_TRUE(e.sync());
  EXPECT_EQ(count_of(e.d.output, "bestmove"), 1);
  std::regex info(R"(^info depth (\d+) seldepth \d+ score cp -?\d+ time \d+ nodes \d+ nps \d+ tbhits 0 hashfull \d+ pv .+$)");
  int deepest = 0;
  for (const std::string& l : lines_of(e.d.output)) {
    std::smatch m;
    if (!std::regex_match(l, m, info)) continue;
    int depth = std::stoi(m[1]);
    EXPECT_GE(depth, deepest);
    deepest = depth;
  }
  EXPECT_EQ(deepest, 5);
  std::regex answer(R"(\nbestmove [a-h][1-8][a-h][1-8] ponder [a-h][1-8][a-h][1-8]\n)");
  EXPECT_TRUE(std::regex_search(e.d.output, answer)) << e.d.output;
}

TEST(GoDialogue, InfiniteRunsUntilStopAndAnswersOnce) {
  Engine e;
  send(e.d, "position startpos\ngo infinite\n");
  ASSERT_TRUE(e.wait("info depth 4 "));
  EXPECT_FALSE(e.appears_soon("bestmove"));
  send(e.d, "stop\n");
  ASSERT_TRUE(e.wait("bestmove"));
  ASSERT_TRUE(e.sync());
  EXPECT_EQ(count_of(e.d.output, "bestmove"), 1);
}

TEST(GoDialogue, IsreadyIsAnsweredWhileSearching) {
  Engine e;
  send(e.d, "position startpos\ngo infinite\n");
  ASSERT_TRUE(e.wait("info depth 3 "));
  ASSERT_TRUE(e.sync());
  EXPECT_EQ(count_of(e.d.output, "bestmove"), 0);
  send(e.d, "stop\n");
  EXPECT_TRUE(e.wait("bestmove"));
}

TEST(GoDialogue, QuitDuringASearchEndsTheEngine) {
  Engine e;
  send(e.d, "position startpos\ngo infinite\n");
  ASSERT_TRUE(e.wait("info depth 3 "));
  send(e.d, "quit\n");
  finish(e.d, PROMPT_SECONDS);
  EXPECT_EQ(e.d.exitStatus, 0);
  EXPECT_EQ(count_of(e.d.output, "bestmove"), 0) << "a search cancelled by quit has no answer";
}

TEST(GoDialogue, PonderhitTurnsPonderingIntoATimedSearch) {
  Engine e;
  // About 0.1 seconds for the move once the time runs.
  send(e.d, "position startpos moves e2e4\ngo ponder wtime 3000 btime 3000\n");
  ASSERT_TRUE(e.wait("info depth 5 "));
  EXPECT_FALSE(e.appears_soon("bestmove")) << "pondering never ends by the clock";
  send(e.d, "ponderhit\n");
  ASSERT_TRUE(e.wait("bestmove"));
  EXPECT_EQ(count_of(e.d.output, "bestmove"), 1);
  std::vector<std::string> moves = best_moves(e.d.output);
  ASSERT_EQ(moves.size(), 1u);
  EXPECT_TRUE(moves[0][1] == '7' || moves[0][1] == '8') << "a move of Black: " << moves[0];
}

TEST(GoDialogue, StopWhilePonderingAnswers) {
  Engine e;
  send(e.d, "position startpos\ngo ponder infinite\n");
  ASSERT_TRUE(e.wait("info depth 3 "));
  send(e.d, "stop\n");
  ASSERT_TRUE(e.wait("bestmove"));
  ASSERT_TRUE(e.sync());
  EXPECT_EQ(count_of(e.d.output, "bestmove"), 1);
}

TEST(GoDialogue, APonderingSearchThatEndsByItselfWaitsForPonderhit) {
  Engine e;
  send(e.d, "position startpos\ngo ponder depth 3\n");
  ASSERT_TRUE(e.wait("info depth 3 "));
  EXPECT_FALSE(e.appears_soon("bestmove"));
  ASSERT_TRUE(e.sync());
  EXPECT_EQ(count_of(e.d.output, "bestmove"), 0);
  send(e.d, "ponderhit\n");
  EXPECT_TRUE(e.wait("bestmove"));
}

TEST(GoDialogue, ASecondGoCancelsTheFirstSearch) {
  Engine e;
  send(e.d, "position startpos\ngo infinite\n");
  ASSERT_TRUE(e.wait("info depth 3 "));
  send(e.d, "go depth 4\n");
  ASSERT_TRUE(e.wait("bestmove"));
  ASSERT_TRUE(e.sync());
  EXPECT_EQ(count_of(e.d.output, "bestmove"), 1);
}

TEST(GoDialogue, TwoGoInOneWriteAnswerOnlyTheSecond) {
  Engine e;
  send(e.d, "position startpos\ngo infinite\ngo depth 3\n");
  ASSERT_TRUE(e.wait("bestmove"));
  ASSERT_TRUE(e.sync());
  EXPECT_EQ(count_of(e.d.output, "bestmove"), 1);
}

TEST(GoDialogue, StopPositionGoInQuickSuccession) {
  Engine e;
  send(e.d, "position startpos\ngo infinite\n");
  ASSERT_TRUE(e.wait("info depth 3 "));
  send(e.d, "stop\nposition startpos moves e2e4\ngo depth 4\n");
  ASSERT_TRUE(e.wait_count("bestmove", 2));
  ASSERT_TRUE(e.sync());
  std::vector<std::string> moves = best_moves(e.d.output);
  ASSERT_EQ(moves.size(), 2u) << e.d.output;
  EXPECT_TRUE(moves[0][1] == '1' || moves[0][1] == '2') << "the stopped search answers for White";
  EXPECT_TRUE(moves[1][1] == '7' || moves[1][1] == '8') << "the new one for Black";
}

TEST(GoDialogue, FiftyMoveDrawAnswersAtOnceWithoutAMove) {
  Engine e;
  std::string moves;
  for (int i = 0; i < 25; i++) moves += " a1a2 e5e6 a2a1 e6e5";
  send(e.d, "position fen 8/8/8/4k3/8/8/8/R3K3 w - - moves" + moves + " a1a2 e5e6\ngo depth 5\n");
  ASSERT_TRUE(e.wait("bestmove"));
  EXPECT_NE(e.d.output.find("\nbestmove 0000\n"), std::string::npos);
  EXPECT_EQ(count_of(e.d.output, "info depth"), 0);
}

TEST(GoDialogue, NoLegalMoveAnswers0000) {
  Engine e;
  send(e.d, "position fen 7k/6Q1/6K1/8/8/8/8/8 b - -\ngo depth 3\n");
  ASSERT_TRUE(e.wait("bestmove"));
  send(e.d, "position fen 7k/8/6Q1/8/8/8/8/6K1 b - -\ngo wtime 1000 btime 1000\n");
  ASSERT_TRUE(wait_for(e.d, "bestmove 0000\nbestmove 0000\n", PROMPT_SECONDS)) << e.d.output;
}

TEST(GoDialogue, DepthZeroAnswersWithTheQuiescenceMove) {
  Engine e;
  send(e.d, "position fen 4k3/8/8/3q4/4P3/8/8/4K3 w - -\ngo depth 0\n");
  ASSERT_TRUE(e.wait("bestmove"));
  EXPECT_NE(e.d.output.find("\nbestmove e4d5\n"), std::string::npos) << e.d.output;
  EXPECT_EQ(count_of(e.d.output, "info depth"), 0);
}

TEST(GoDialogue, MateInOneIsShownAsMate) {
  Engine e;
  send(e.d, "position fen 6k1/5ppp/8/8/8/8/5PPP/R5K1 w - -\ngo depth 8\n");
  ASSERT_TRUE(e.wait("bestmove"));
  EXPECT_NE(e.d.output.find(" score mate 1 "), std::string::npos);
  EXPECT_NE(e.d.output.find("\nbestmove a1a8"), std::string::npos);
}

TEST(GoDialogue, MultiPvShowsThreeNumberedLines) {
  Engine e;
  send(e.d, "setoption name MultiPV value 3\nposition startpos\ngo depth 3\n");
  ASSERT_TRUE(e.wait("bestmove"));
  for (int k = 1; k <= 3; k++)
    for (int depth = 1; depth <= 3; depth++)
      EXPECT_NE(e.d.output.find("info multipv " + std::to_string(k) + " depth " +
                                std::to_string(depth) + " "),
                std::string::npos)
          << k << " " << depth;
}

TEST(GoDialogue, NodeLimitEndsTheSearch) {
  Engine e;
  send(e.d, "position startpos\ngo nodes 20000\n");
  ASSERT_TRUE(e.wait("bestmove"));
  // The final progress line before the answer carries the total.
  std::vector<std::string> lines = lines_of(e.d.output);
  std::smatch m;
  long nodes = -1;
  for (const std::string& l : lines) {
    static const std::regex count(R"( nodes (\d+) )");
    if (l.rfind("info depth", 0) == 0 && std::regex_search(l, m, count)) nodes = std::stol(m[1]);
  }
  EXPECT_GT(nodes, 0);
  EXPECT_LE(nodes, 20800 + 1);  // the limit is spread by at most 4%
}

TEST(GoDialogue, MoveTimeSearchAnswers) {
  Engine e;
  send(e.d, "position startpos\ngo movetime 200\n");
  EXPECT_TRUE(e.wait("bestmove"));
}

// ------------------------------------------------------ limits of a "go"

constexpr const char* WAC_1 = "2rr3k/pp3pp1/1nnqbN1p/3pN3/2pP4/2P3Q1/PPB4P/R4RK1 w - -";

// A figure of the "info ... pv" lines from `from` on: the largest depth, or
// the node count of the last line.
long info_figure(const std::string& output, size_t from, const char* field, bool largest) {
  static const std::regex info(R"(^info .*pv )");
  long figure = -1;
  for (const std::string& l : lines_of(output.substr(from))) {
    if (!std::regex_search(l, info)) continue;
    std::smatch m;
    if (!std::regex_search(l, m, std::regex(std::string(" ") + field + R"( (\d+) )"))) continue;
    long v = std::stol(m[1]);
    figure = largest && figure > v ? figure : v;
  }
  return figure;
}

TEST(GoDialogue, LimitsOfOneGoDoNotCarryOverToTheNext) {
  Engine e;
  send(e.d, "position startpos\ngo depth 3\n");
  ASSERT_TRUE(e.wait_count("bestmove", 1));
  size_t mark = e.d.output.size();
  send(e.d, "go wtime 10000 btime 10000\n");
  ASSERT_TRUE(e.wait_count("bestmove", 2));
  EXPECT_GT(info_figure(e.d.output, mark, "depth", true), 3) << e.d.output.substr(mark);
  send(e.d, "go nodes 5000\n");
  ASSERT_TRUE(e.wait_count("bestmove", 3));
  mark = e.d.output.size();
  send(e.d, "go movetime 500\n");
  ASSERT_TRUE(e.wait_count("bestmove", 4));
  EXPECT_GT(info_figure(e.d.output, mark, "nodes", false), 6000) << e.d.output.substr(mark);
}

TEST(GoDialogue, CommandLineDepthLimitsEveryGo) {
  Engine e({"-d", "6"});
  const char* gos[] = {"go wtime 100000 btime 100000 movestogo 2", "go movetime 30000"};
  for (int i = 0; i < 2; i++) {
    size_t mark = e.d.output.size();
    send(e.d, std::string("position startpos\n") + gos[i] + "\n");
    ASSERT_TRUE(e.wait_count("bestmove", i + 1));
    EXPECT_EQ(info_figure(e.d.output, mark, "depth", true), 6) << gos[i];
  }
}

TEST(GoDialogue, SearchMovesRestrictTheAnswerAndEveryLine) {
  Engine e;
  send(e.d, "position startpos\ngo searchmoves a2a3 b2b3 depth 8\n");
  ASSERT_TRUE(e.wait("bestmove"));
  std::vector<std::string> moves = best_moves(e.d.output);
  ASSERT_EQ(moves.size(), 1u);
  EXPECT_TRUE(moves[0] == "a2a3" || moves[0] == "b2b3") << moves[0];
  int lines = 0;
  for (const std::string& l : lines_of(e.d.output)) {
    size_t pv = l.find(" pv ");
    if (l.rfind("info", 0) != 0 || pv == std::string::npos) continue;
    lines++;
    std::string first = l.substr(pv + 4, 4);
    EXPECT_TRUE(first == "a2a3" || first == "b2b3") << l;
  }
  EXPECT_GT(lines, 0);
}

TEST(GoDialogue, MateSearchAnswersTheMatingMove) {
  Engine e;
  send(e.d, std::string("position fen ") + WAC_1 + "\ngo mate 2\n");
  ASSERT_TRUE(e.wait("bestmove"));
  EXPECT_NE(e.d.output.find(" score mate 2 "), std::string::npos) << e.d.output;
  EXPECT_NE(e.d.output.find("\nbestmove g3g6"), std::string::npos) << e.d.output;
}

TEST(GoDialogue, MateSearchEndsByTheOtherLimitsWithoutAMate) {
  Engine e;
  send(e.d, "position startpos\ngo mate 3 nodes 20000\n");
  ASSERT_TRUE(e.wait_count("bestmove", 1));
  send(e.d, "go mate 3 movetime 300\n");
  EXPECT_TRUE(e.wait_count("bestmove", 2));
}

}  // namespace
