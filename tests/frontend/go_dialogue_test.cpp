// Searches as a GUI runs them through the built engine: "go" in its forms,
// "stop", "ponderhit", "isready" and "quit" while a search runs, and the
// one "bestmove" line every search that was not cancelled ends with.
#include <gtest/gtest.h>

#include <regex>
#include <string>

#include "dialogue.h"

namespace {

// The moves of the "bestmove" lines, in order.
std::vector<std::string> best_moves(const std::string& output) {
  std::vector<std::string> moves;
  for (const std::string& l : lines_of(output))
    if (l.rfind("bestmove ", 0) == 0) moves.push_back(l.substr(9, l.find(' ', 9) - 9));
  return moves;
}

// A depth search answers once after its depths. Answers without
// iterations: a fifty-move draw and a checkmated side answer "0000";
// depth 0 answers with the quiescence move.
TEST(GoDialogue, DepthSearchAndImmediateAnswers) {
  Session e;
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
  size_t mark = e.d.output.size();
  std::string moves;
  for (int i = 0; i < 25; i++) moves += " a1a2 e5e6 a2a1 e6e5";
  send(e.d, "position fen 8/8/8/4k3/8/8/8/R3K3 w - - moves" + moves + " a1a2 e5e6\ngo depth 5\n");
  ASSERT_TRUE(e.wait_count("bestmove", 2));
  // Each search is answered before the next "go": a "go" during a search
  // would end it without an answer.
  send(e.d, "position fen 7k/6Q1/6K1/8/8/8/8/8 b - -\ngo depth 3\n");
  ASSERT_TRUE(e.wait_count("bestmove", 3));
  EXPECT_EQ(count_of(e.d.output, "\nbestmove 0000\n"), 2) << e.d.output;
  send(e.d, "position fen 4k3/8/8/3q4/4P3/8/8/4K3 w - -\ngo depth 0\n");
  ASSERT_TRUE(e.wait_count("bestmove", 4));
  EXPECT_NE(e.d.output.find("\nbestmove e4d5\n"), std::string::npos) << e.d.output;
  EXPECT_EQ(count_of(e.d.output.substr(mark), "info depth"), 0);
}

// Every search that is not cancelled answers exactly once: after "stop",
// after a second "go" that replaces it, and with "isready" answered
// meanwhile; "quit" cancels without an answer.
TEST(GoDialogue, SearchesAnswerOnceWhateverEndsThem) {
  Session e;
  send(e.d, "position startpos\ngo infinite\n");
  ASSERT_TRUE(e.wait("info depth 4 "));
  EXPECT_FALSE(e.appears_soon("bestmove"));
  ASSERT_TRUE(e.sync());
  send(e.d, "stop\n");
  ASSERT_TRUE(e.wait_count("bestmove", 1));
  size_t mark = e.d.output.size();
  send(e.d, "go infinite\n");
  ASSERT_TRUE(e.wait_after(mark, "info depth 3 "));
  send(e.d, "go depth 4\n");
  ASSERT_TRUE(e.wait_count("bestmove", 2));
  send(e.d, "go infinite\ngo depth 3\n");
  ASSERT_TRUE(e.wait_count("bestmove", 3));
  ASSERT_TRUE(e.sync());
  EXPECT_EQ(count_of(e.d.output, "bestmove"), 3);
  // Stop, a new position and a new search in one write: two answers, each
  // for its own side.
  mark = e.d.output.size();
  send(e.d, "go infinite\n");
  ASSERT_TRUE(e.wait_after(mark, "info depth 3 "));
  mark = e.d.output.size();
  send(e.d, "stop\nposition startpos moves e2e4\ngo depth 4\n");
  ASSERT_TRUE(e.wait_count("bestmove", 5));
  ASSERT_TRUE(e.sync());
  std::vector<std::string> moves = best_moves(e.d.output.substr(mark));
  ASSERT_EQ(moves.size(), 2u) << e.d.output;
  EXPECT_TRUE(moves[0][1] == '1' || moves[0][1] == '2') << "the stopped search answers for White";
  EXPECT_TRUE(moves[1][1] == '7' || moves[1][1] == '8') << "the new one for Black";
  mark = e.d.output.size();
  send(e.d, "go infinite\n");
  ASSERT_TRUE(e.wait_after(mark, "info depth 3 "));
  send(e.d, "quit\n");
  finish(e.d, e.seconds);
  EXPECT_EQ(e.d.exitStatus, 0);
  EXPECT_EQ(count_of(e.d.output, "bestmove"), 5) << "a search cancelled by quit has no answer";
}

// Pondering never ends by the clock or by its own limits: "ponderhit"
// turns it into a timed search, "stop" answers at once.
TEST(GoDialogue, PonderingAnswersOnlyAfterPonderhitOrStop) {
  Session e;
  send(e.d, "position startpos moves e2e4\ngo ponder wtime 3000 btime 3000\n");
  ASSERT_TRUE(e.wait("info depth 5 "));
  EXPECT_FALSE(e.appears_soon("bestmove")) << "pondering never ends by the clock";
  send(e.d, "ponderhit\n");
  ASSERT_TRUE(e.wait_count("bestmove", 1));
  std::vector<std::string> moves = best_moves(e.d.output);
  ASSERT_EQ(moves.size(), 1u);
  EXPECT_TRUE(moves[0][1] == '7' || moves[0][1] == '8') << "a move of Black: " << moves[0];
  size_t mark = e.d.output.size();
  send(e.d, "go ponder infinite\n");
  ASSERT_TRUE(e.wait_after(mark, "info depth 3 "));
  send(e.d, "stop\n");
  ASSERT_TRUE(e.wait_count("bestmove", 2));
  ASSERT_TRUE(e.sync());
  EXPECT_EQ(count_of(e.d.output, "bestmove"), 2);
}

}  // namespace
