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

// The lines from `first` on, `count` of them.
std::vector<std::string> slice(const std::vector<std::string>& lines, size_t first, size_t count) {
  if (first >= lines.size()) return {};
  size_t end = std::min(lines.size(), first + count);
  return std::vector<std::string>(lines.begin() + first, lines.begin() + end);
}

TEST(ConsoleDialogue, BoardDisplayOfTheStartPosition) {
  Dialogue d = run_engine({"-c"}, "bd\nquit\n");
  EXPECT_EQ(d.exitStatus, 0);
  EXPECT_EQ(slice(lines_after_startup(d.output), 0, START_DIAGRAM.size()), START_DIAGRAM);
}

TEST(ConsoleDialogue, MoveByTextShowsTheBoardWithBlackToMove) {
  Dialogue d = run_engine({"-c"}, "e4\nquit\n");
  std::vector<std::string> lines = lines_after_startup(d.output);
  ASSERT_GE(lines.size(), 11u);
  EXPECT_EQ(lines[0], "1. move e4");
  EXPECT_EQ(lines[1], "rnbqkbnr/pppppppp/8/8/4P3/8/PPPP1PPP/RNBQKBNR b KQkq e3");
  EXPECT_EQ(lines[6], "  - + - + P + - +");  // rank 4
  EXPECT_EQ(lines[10], "black");
}

TEST(ConsoleDialogue, IllegalMoveIsRejected) {
  Dialogue d = run_engine({"-c"}, "e5\nmove Ke2\nperft 3\nquit\n");
  EXPECT_NE(d.output.find("invalid: e5"), std::string::npos);
  EXPECT_NE(d.output.find("invalid: Ke2"), std::string::npos);
  EXPECT_NE(d.output.find("visited 8902 nodes in "), std::string::npos) << "nothing was played";
}

TEST(ConsoleDialogue, UndoTakesBackOneMove) {
  Dialogue d = run_engine({"-c"}, "e4\ne5\nundo\nquit\n");
  std::vector<std::string> lines = lines_of(d.output);
  std::string afterUndo = lines[lines.size() - START_DIAGRAM.size()];
  EXPECT_EQ(afterUndo, "rnbqkbnr/pppppppp/8/8/4P3/8/PPPP1PPP/RNBQKBNR b KQkq e3");
}

TEST(ConsoleDialogue, RefusedFenKeepsThePreviousPosition) {
  Dialogue d = run_engine({"-c"}, "fen 8/8/8/8/8/8/8/K7 w - -\nfen 4k3/8/8/8/8/8/8/KK6 w - -\nperft 2\nquit\n");
  std::vector<std::string> lines = lines_after_startup(d.output);
  ASSERT_GE(lines.size(), 1u);
  EXPECT_EQ(lines[0].rfind("info string position refused", 0), 0u) << lines[0];
  EXPECT_EQ(slice(lines, 1, START_DIAGRAM.size()), START_DIAGRAM);
  EXPECT_EQ(count_of(d.output, "info string position refused"), 2) << "an extra king is refused too";
  EXPECT_NE(d.output.find("visited 400 nodes"), std::string::npos);  // still the start position
}

TEST(ConsoleDialogue, SwapListsAttackedPiecesWithTheirExchangeValue) {
  // The e5 pawn is attacked by the f3 knight and defended by the c6 knight.
  Dialogue d = run_engine(
      {"-c"}, "fen r1bqkbnr/pppp1ppp/2n5/4p3/4P3/5N2/PPPP1PPP/RNBQKB1R w KQkq -\nswap\nquit\n");
  EXPECT_NE(d.output.find("sq= e5, swap1=    0\n"), std::string::npos) << d.output;
}

// "uci" switches to the UCI dialogue; console commands before it are not
// logged.
TEST(ConsoleDialogue, UciSwitchesToUciModeAndConsoleCommandsAreNotLogged) {
  std::string dir = make_temp_dir();
  Dialogue d = run_engine({"-c", "-log"}, "bd\nuci\nisready\nquit\n", dir);
  EXPECT_NE(d.output.find("id name Zerv 5.50\nid author Orvande\noption name ConfigFilePath "),
            std::string::npos);
  EXPECT_NE(d.output.find("option name Selectivity type spin default 100 min 0 max 200\nuciok\n"
                          "readyok\n"),
            std::string::npos);
  std::string log = read_file(dir + "/zerv.log");
  EXPECT_EQ(log.find("CMD: bd"), std::string::npos);
  EXPECT_NE(log.find("CMD: uci\n"), std::string::npos);
  EXPECT_NE(log.find("CMD: isready\nreadyok\n"), std::string::npos);
}

}  // namespace
