// The console's search commands through the built binary: analysis, the
// engine's move, stopping, the table's line and search settings.
#include <gtest/gtest.h>

#include <regex>
#include <string>

#include "dialogue.h"

namespace {

TEST(ConsoleSearchDialogue, AnalysisToADepthEndsWithTheStatisticsLines) {
  Session c({"-c"});
  send(c.d, "go 4\n");
  ASSERT_TRUE(c.wait("Hash fill= "));
  ASSERT_TRUE(c.wait("\n\n"));
  std::regex move(R"(\nmove= [a-h][1-8][a-h][1-8], time= \d+\.\d{3}, score= -?\d+, nodes= \d+, nps= \d+K ebf= \d+\.\d\d\n)");
  EXPECT_TRUE(std::regex_search(c.d.output, move)) << c.d.output;
  std::regex stats(R"(\nHash fill= \d+\.\d%, Hash hits: main= \d+\.\d%, pawn= \d+\.\d%, eval= \d+\.\d%, TB=0K\n\n)");
  EXPECT_TRUE(std::regex_search(c.d.output, stats)) << c.d.output;
  // Position lines first, then one progress line per new best move.
  EXPECT_NE(c.d.output.find("\nfen rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq -\n"),
            std::string::npos);
  EXPECT_NE(c.d.output.find("\nPly= 0, cnt50= 0, Clock= 99999.00s, Target time= 99999.00s\n"),
            std::string::npos);
  std::regex progress(R"(\n00\] 04  +\d+\.\d +\d+K +-?\d+  [a-h1-8 ]+\n)");
  EXPECT_TRUE(std::regex_search(c.d.output, progress)) << c.d.output;
  // The table's line in algebraic moves; the board stays where it was.
  send(c.d, "pv\nbd\n");
  ASSERT_TRUE(c.wait("PV: "));
  ASSERT_TRUE(c.wait("\nwhite\n"));
  std::regex pv(R"(PV: ([KQRBN]?[a-h]?x?[a-h][1-8][+#]? )+\n\n)");
  EXPECT_TRUE(std::regex_search(c.d.output, pv)) << c.d.output;
}

// Other commands wait while the analysis runs; "bd" before the dot is
// dropped. "mv" plays the engine's move; without a legal move the
// engine's game ends.
TEST(ConsoleSearchDialogue, DotStopsAnOpenAnalysisAndMvPlays) {
  Session c({"-c"});
  send(c.d, "an\n");
  ASSERT_TRUE(c.wait("00] 05"));
  EXPECT_EQ(c.d.output.find("move= "), std::string::npos);
  send(c.d, "bd\n.\n");
  ASSERT_TRUE(c.wait("move= "));
  ASSERT_TRUE(c.wait("Hash fill= "));
  EXPECT_EQ(c.d.output.find("\nwhite\n"), std::string::npos) << "bd was ignored";
  send(c.d, "set depth 3\nmv\n");
  ASSERT_TRUE(c.wait("\nblack\n"));
  send(c.d, "fen 7k/6Q1/6K1/8/8/8/8/8 b - -\nmv\n");
  ASSERT_TRUE(c.wait("move= null"));
}

}  // namespace
