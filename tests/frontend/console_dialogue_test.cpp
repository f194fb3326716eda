// Console mode (-c) through the built binary.
#include <gtest/gtest.h>

#include "dialogue.h"

namespace {

const std::vector<std::string> START_DIAGRAM = {
    "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq -",
    "  r n b q k b n r",
    "  o o o o o o o o",
    "  - + - + - + - +",
    "  + - + - + - + -",
    "  - + - + - + - +",
    "  + - + - + - + -",
    "  P P P P P P P P",
    "  R N B Q K B N R",
    "white",
    ""};

// One session of board commands: the diagram, a move by text, refused
// moves and positions that leave the board as it was, "undo" and "swap";
// then "uci" switches to the UCI dialogue.
TEST(ConsoleDialogue, BoardCommands) {
  Dialogue d = run_engine({"-c"},
                          "bd\ne4\nundo\ne5\nmove Ke2\nperft 2\nfen 8/8/8/8/8/8/8/K7 w - -\n"
                          "fen 4k3/8/8/8/8/8/8/KK6 w - -\nperft 3\n"
                          "fen r1bqkbnr/pppp1ppp/2n5/4p3/4P3/5N2/PPPP1PPP/RNBQKB1R w KQkq -\n"
                          "swap\nuci\nisready\nquit\n");
  EXPECT_EQ(d.exitStatus, 0);
  std::vector<std::string> lines = lines_after_startup(d.output);
  ASSERT_GE(lines.size(), START_DIAGRAM.size() + 11);
  EXPECT_EQ(std::vector<std::string>(lines.begin(), lines.begin() + long(START_DIAGRAM.size())),
            START_DIAGRAM);
  auto rest = lines.begin() + long(START_DIAGRAM.size());
  EXPECT_EQ(rest[0], "1. move e4");
  EXPECT_EQ(rest[1], "rnbqkbnr/pppppppp/8/8/4P3/8/PPPP1PPP/RNBQKBNR b KQkq e3");
  EXPECT_EQ(rest[6], "  - + - + P + - +");  // rank 4
  EXPECT_EQ(rest[10], "black");
  EXPECT_NE(d.output.find("invalid: e5"), std::string::npos);
  EXPECT_NE(d.output.find("invalid: Ke2"), std::string::npos);
  EXPECT_NE(d.output.find("visited 400 nodes in "), std::string::npos) << "nothing was played";
  // Both positions are refused (one king, three kings): perft still counts
  // the start position.
  EXPECT_EQ(count_of(d.output, "info string position refused"), 2);
  EXPECT_NE(d.output.find("visited 8902 nodes"), std::string::npos);
  // The e5 pawn is attacked by the f3 knight and defended by the c6 knight.
  EXPECT_NE(d.output.find("sq= e5, swap1=    0\n"), std::string::npos) << d.output;
  EXPECT_NE(d.output.find("id name Zerv 5.50\nid author Orvande\noption name "), std::string::npos);
  EXPECT_NE(d.output.find("uciok\nreadyok\n"), std::string::npos);
}

}  // namespace
