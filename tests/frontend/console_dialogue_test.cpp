// Console mode (-c) through the built binary: the board, game and search
// commands.
#include <gtest/gtest.h>

#include <regex>
#include <string>

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
  EXPECT_NE(d.output.find("uciok\nreadyok\n"), std::string::npos);  // the UCI dialogue's answers
}

// ------------------------------------------------------------------ games
// Loading, saving and stepping through games, and self-play.

const std::string SAMPLES = std::string(ZERV_DATA_DIR) + "/pgn/samples/";
// Molinari - Bordais 1979 after its last move, 5...Nd3#.
const std::string MATE_FEN = "r1bqkb1r/pp1ppppp/5n2/2p5/2P1P3/2Nn2P1/PP1PNP1P/R1BQKB1R w KQkq -";
const std::string START_FEN = "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq -";

// The FEN lines of the board displays, in order.
std::vector<std::string> boards(const Dialogue& d) {
  std::vector<std::string> lines = lines_after_startup(d.output), fens;
  static const std::regex fen(R"([1-8pnbrqkPNBRQK/]+ [wb] [KQkq-]+ (-|[a-h][36]))");
  for (size_t i = 0; i + 9 < lines.size(); i++)
    if (std::regex_match(lines[i], fen) && (lines[i + 9] == "white" || lines[i + 9] == "black"))
      fens.push_back(lines[i]);
  return fens;
}

TEST(ConsoleGameDialogue, LoadJumpAndReplayStepThroughAGame) {
  Dialogue d = run_engine({"-c"}, "load " + SAMPLES + "molinari-bordais-1979.pgn\njump 1\n]\n]\njump 3\n"
                                  "jump 99\n]\njump -5\n");
  EXPECT_NE(d.output.find("loading " + SAMPLES + "molinari-bordais-1979.pgn, tag \n\n"), std::string::npos);
  EXPECT_NE(d.output.find("\n1. move e4\n"), std::string::npos) << d.output;
  EXPECT_NE(d.output.find("\n1... move c5\n"), std::string::npos);
  std::vector<std::string> expected = {
      MATE_FEN, START_FEN, "rnbqkbnr/pppppppp/8/8/4P3/8/PPPP1PPP/RNBQKBNR b KQkq e3",
      "rnbqkbnr/pp1ppppp/8/2p5/4P3/8/PPPP1PPP/RNBQKBNR w KQkq c6",
      "r1bqkbnr/pp1ppppp/2n5/2p5/2P1P3/8/PP1P1PPP/RNBQKBNR w KQkq -",  // White's 3rd move next
      MATE_FEN, START_FEN};  // "]" at the end does nothing
  EXPECT_EQ(boards(d), expected);
}

TEST(ConsoleGameDialogue, SavedGamesLoadBackAndTagsPickTheGame) {
  std::string dir = make_temp_dir();
  Dialogue d = run_engine({"-c"}, "load " + SAMPLES + "molinari-bordais-1979.pgn\nsave\n"
                                   "fen 4k3/8/8/8/8/8/4P3/4K3 w - -\ne4\nKd7\nsave\nnew\n"
                                   "load tmp.pgn\nload tmp.pgn SetUp\n"
                                   "load " + SAMPLES + "kasparov-deep-blue-1997.pgn \"06\"\n"
                                   "load " + SAMPLES + "kasparov-deep-blue-1997.pgn \"04\"\n", dir);
  std::string saved = read_file(dir + "/tmp.pgn");
  EXPECT_EQ(saved, "[Event \"Unknown\"]\ne4 c5 c4 Nc6 Ne2 Nf6 Nbc3 Nb4 g3 Nd3# \n\n"
                   "[Event \"Unknown\"]\n[SetUp \"1\"]\n[FEN \"4k3/8/8/8/8/8/4P3/4K3 w - -\"]\ne4 Kd7 \n\n");
  std::vector<std::string> b = boards(d);
  ASSERT_GE(b.size(), 5u);
  EXPECT_EQ(b[b.size() - 4], MATE_FEN);
  EXPECT_EQ(b[b.size() - 3], "8/3k4/8/8/4P3/8/8/4K3 w - -");
  // Game 6 of the 1997 match (its Site tag "06") ended 19.c4, Black resigned;
  // game 4 ends at 56.Kc1, before the next game's tags.
  EXPECT_EQ(b[b.size() - 2], "r1k4r/p2nb1p1/2b4p/1p1n1p2/2PP4/3Q1NB1/1P3PPP/R5K1 b - c3");
  EXPECT_EQ(b.back(), "8/2R1P3/8/2pp4/P3r3/1k6/8/2K5 b - -");  // python-chess agrees
  EXPECT_EQ(d.output.find("can't parse"), std::string::npos);
}

TEST(ConsoleGameDialogue, TheBoardEditorPlacesRemovesAndRefuses) {
  Dialogue d = run_engine({"-c"}, "edit\n#\nw Ke1 Ra1 Rh1 Pe2 Qz9 Pa2\n\nb Ke8 Pd7 xd7 Ra8 Kq0 Pa7\n.\n"
                                  "edit\n# w Kd4\n.\nedit\nb Ke7 ke8\nw Pe8 Bb8\n.\n");
  std::vector<std::string> b = boards(d);
  ASSERT_EQ(b.size(), 3u) << d.output;
  // "Qz9" and "Kq0" end their lines; "xd7" only empties d7.
  EXPECT_EQ(b[0], "r3k3/8/8/8/8/8/4P3/R3K2R b KQq -");
  EXPECT_EQ(b[1], b[0]);  // no kings left: refused, the position kept
  EXPECT_NE(d.output.find("info string position refused"), std::string::npos);
  EXPECT_EQ(b[2], b[0]);  // two black kings, a pawn on the eighth rank: refused
}

TEST(ConsoleGameDialogue, SelfPlayPlaysOnUntilStopped) {
  {
    Session s({"-c"});
    send(s.d, "set level 0 0:20 0\nself\n");
    ASSERT_TRUE(s.wait("\nblack\n"));
    ASSERT_TRUE(s.wait("\nwhite\n"));  // the engine answered its own move
    send(s.d, ".\nisready\nquit\n");
    finish(s.d, s.seconds);
    EXPECT_EQ(s.d.exitStatus, 0);
    EXPECT_GE(count_of(s.d.output, "move= "), 2);
  }
  // Stalemate: the search finds no move and self-play stops by itself.
  Dialogue d = run_engine({"-c"}, "fen 7k/5Q2/6K1/8/8/8/8/8 b - -\nself\nbd\n");
  EXPECT_EQ(count_of(d.output, "move= "), 1);
  EXPECT_EQ(boards(d).back(), "7k/5Q2/6K1/8/8/8/8/8 b - -");
}

// --------------------------------------------------------------- searches
// Analysis to a depth and the table's line.

TEST(ConsoleSearchDialogue, AnalysisToADepthEndsWithTheStatisticsLines) {
  Session c({"-c"});
  send(c.d, "go 4\n");
  ASSERT_TRUE(c.wait("Hash fill= "));
  ASSERT_TRUE(c.wait("\n\n"));
  std::regex move(R"(\nmove= [a-h][1-8][a-h][1-8], time= \d+\.\d{3}, score= -?\d+, nodes= \d+, nps= \d+K ebf= \d+\.\d\d\n)");
  EXPECT_TRUE(std::regex_search(c.d.output, move)) << c.d.output;
  std::regex stats(R"(\nHash fill= \d+\.\d%, Hash hits: main= \d+\.\d%, pawn= \d+\.\d%, eval= \d+\.\d%, TB=0K\n\n)");
  EXPECT_TRUE(std::regex_search(c.d.output, stats)) << c.d.output;
  // One progress line per new best move.
  std::regex progress(R"(\n00\] 04  +\d+\.\d +\d+K +-?\d+  [a-h1-8 ]+\n)");
  EXPECT_TRUE(std::regex_search(c.d.output, progress)) << c.d.output;
  // The table's line in algebraic moves; the board stays where it was.
  send(c.d, "pv\nbd\n");
  ASSERT_TRUE(c.wait("PV: "));
  ASSERT_TRUE(c.wait("\nwhite\n"));
  std::regex pv(R"(PV: ([KQRBN]?[a-h]?x?[a-h][1-8][+#]? )+\n\n)");
  EXPECT_TRUE(std::regex_search(c.d.output, pv)) << c.d.output;
}

// Other commands wait while an open analysis runs ("bd" before the dot is
// dropped); "mv" plays the engine's move, and without a legal move none.
TEST(ConsoleSearchDialogue, DotStopsAnOpenAnalysisAndMvPlays) {
  Session c({"-c"});
  send(c.d, "an\n");
  ASSERT_TRUE(c.wait("00] 05"));
  send(c.d, "bd\n.\n");
  ASSERT_TRUE(c.wait("Hash fill= "));
  EXPECT_EQ(c.d.output.find("\nwhite\n"), std::string::npos) << "bd was ignored";
  send(c.d, "set depth 3\nmv\n");
  ASSERT_TRUE(c.wait("\nblack\n"));
  send(c.d, "fen 7k/6Q1/6K1/8/8/8/8/8 b - -\nmv\n");
  ASSERT_TRUE(c.wait("move= null"));
}

}  // namespace
