// The places where Zerv does what clients expect rather than what a strict
// reading of its design would give, each through the built engine as a GUI,
// a match manager or a script drives it (README, "Choices made for
// clients"); the castling and the option names once more under the
// python-chess engine API (python_client.py beside this file). The
// directories of SyzygyPath are the tablebase tests'.
#include <gtest/gtest.h>

#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <regex>
#include <string>
#include <vector>

#include "dialogue.h"

namespace {

namespace fs = std::filesystem;

// The score of the last "info depth" line from `from` on ("cp 0",
// "mate -3"), or "" when there is none.
std::string last_score(const std::string& output, size_t from = 0) {
  static const std::regex score(R"(^info depth \d+ .*score ((?:cp|mate) -?\d+) )");
  std::string found;
  for (const std::string& line : lines_of(output.substr(from))) {
    std::smatch m;
    if (std::regex_search(line, m, score)) found = m[1];
  }
  return found;
}

int centipawns(const std::string& score) {
  if (score.rfind("cp ", 0) == 0) return std::stoi(score.substr(3));
  return score.rfind("mate -", 0) == 0 ? -100000 : 100000;
}

// The move answered to a search started at `mark`, once it has come.
std::string answer_after(Session& e, size_t mark) {
  if (!e.wait_after(mark, "bestmove ") || !e.sync()) return "";
  return best_moves(e.d.output.substr(mark)).front();
}

// ------------------------------------------------------ half-move clock
// GUIs and python-chess send the game's real clock in the FEN. A quiet
// move at clock 99 reaches 100: every reply of Black's lone king makes 101,
// a draw, so the queen is worth nothing; at clock 0 Black is lost. (How
// the FEN's clock is read is the FEN tests'; a drawn root answers "0000"
// in the search dialogue.)
TEST(HalfMoveClockDialogue, TheFensClockCountsTowardsTheFiftyMoveRule) {
  Session e;
  struct Case { std::string clock; bool drawn; } cases[] = {{"99", true}, {"0", false}};
  for (const Case& c : cases) {
    size_t mark = e.d.output.size();
    send(e.d, "position fen 4k3/8/8/8/8/8/8/3QK3 w - - " + c.clock + " 80 moves d1d2\ngo depth 6\n");
    ASSERT_NE(answer_after(e, mark), "");
    int score = centipawns(last_score(e.d.output, mark));
    EXPECT_TRUE(c.drawn ? score == 0 : score < -500) << c.clock << "\n" << e.d.output.substr(mark);
  }
}

// The tablebase move is played at once, without a search, from a clock of
// 10 on: given in the FEN or reached by moves from a clock the FEN gave.
TEST(HalfMoveClockDialogue, TablebaseRootAnswersAtOnceFromTheFensClock) {
  Session e({"-tbpath", std::string(ZERV_DATA_DIR) + "/syzygy"});
  const std::string kqk = "position fen 8/8/8/4k3/8/8/8/3QK3 w - - ";
  struct Case { std::string position; bool atOnce; } cases[] = {
      {kqk + "10 40", true},
      {kqk + "9 40", false},
      {kqk + "3 1 moves d1d2 e5e4 d2d1 e4e5 d1d2 e5e4 d2d1", true},
  };
  for (const Case& c : cases) {
    size_t mark = e.d.output.size();
    send(e.d, c.position + "\ngo depth 6\n");
    ASSERT_NE(answer_after(e, mark), "") << c.position;
    std::string out = e.d.output.substr(mark);
    EXPECT_EQ(out.find("info depth 99 ") != std::string::npos, c.atOnce) << c.position << "\n" << out;
    EXPECT_EQ(out.find("info depth 6 ") != std::string::npos, !c.atOnce) << c.position << "\n" << out;
  }
}

// ------------------------------------------------------------- castling
// Two rooks on one side of the king, as cutechess and lichess send X-FEN
// ("K" the outermost rook) and python-chess sends Shredder-FEN for
// Chess960 (the rook's file): the castling the position allows is played
// and answered in the GUI's notation; king takes the other rook is not
// castling. "searchmoves" with one move answers that move exactly when it
// is legal. (The python-chess client castles with the outermost rook in
// both modes and with an inner one in Chess960; where king and rooks stand
// afterwards is the board and "position" tests'.)
TEST(CastlingDialogue, TwoRooksOnOneSideOfTheKing) {
  Session e;
  struct Case { std::string position, move; };
  auto play = [&](const Case& c) {
    size_t mark = e.d.output.size();
    send(e.d, "position fen " + c.position + "\ngo depth 1 searchmoves " + c.move + "\n");
    EXPECT_EQ(answer_after(e, mark), c.move) << c.position;
    EXPECT_EQ(e.d.output.find("info string", mark), std::string::npos) << e.d.output.substr(mark);
  };
  Case standard[] = {
      // A file letter names the inner rook: castling at once.
      {"4k3/8/8/8/8/8/8/4KR1R w F - 0 1", "e1g1"},
      {"r1r1k3/8/8/8/8/8/8/4K3 b c - 0 1", "e8c8"},
  };
  for (const Case& c : standard) play(c);
  // Chess960: castling is written as king takes rook.
  send(e.d, "setoption name UCI_Chess960 value true\n");
  ASSERT_TRUE(e.sync());
  Case chess960[] = {
      // A Shredder letter for the inner rook b1, and one for the outermost.
      {"1r2k1rr/6p1/8/8/8/8/6P1/RR2K1R1 w GBgb - 0 1", "e1b1"},
      {"4k3/8/8/8/8/8/8/4KR1R w H - 0 1 moves f1f2 e8d8", "e1h1"},
  };
  for (const Case& c : chess960) play(c);
  // King takes the rook that has no right: no castling.
  size_t mark = e.d.output.size();
  send(e.d, "position fen 1r2k1rr/6p1/8/8/8/8/6P1/RR2K1R1 b KQkq - 0 1 moves e8g8\n");
  ASSERT_TRUE(e.sync());
  EXPECT_NE(e.d.output.find("info string move e8g8 cannot be played here", mark), std::string::npos)
      << e.d.output.substr(mark);
}

// ------------------------------------------------------------ OpenBench
// OpenBench builds an engine with "make -jN EXE=Name" in its source folder,
// runs "Name bench" and reads the node count (the engine's signature) and
// the speed from the output. Its two generations of readers, rewritten
// here: every character that is no letter, digit or blank becomes a blank,
// the lines are read from the last one up, and the first match of each
// kind counts (the first number in it).
struct BenchFigures {
  long long nodes = -1, nps = -1;
};

BenchFigures openbench_reading(const std::string& output, bool older) {
  static const std::regex newerNps(R"((\d+\s+nps)|(nps\s+\d+)|(nodes second\s+\d+))", std::regex::icase);
  static const std::regex newerNodes(R"((\d+\s+nodes)|(nodes\s+\d+)|(nodes searched\s+\d+))", std::regex::icase);
  static const std::regex olderNps(R"(([0-9]+ NPS)|(NPS[ ]+[0-9]+))");
  static const std::regex olderNodes(R"(([0-9]+ NODES)|(NODES[ ]+[0-9]+))");
  static const std::regex number(R"(\d+)");
  BenchFigures f;
  std::vector<std::string> lines = lines_of(output);
  for (auto l = lines.rbegin(); l != lines.rend(); ++l) {
    std::string line = *l;
    for (char& c : line)
      if (!std::isalnum(static_cast<unsigned char>(c)) && c != ' ') c = ' ';
    if (older)
      for (char& c : line) c = char(std::toupper(static_cast<unsigned char>(c)));
    auto first_number = [&](const std::regex& pattern, long long& into) {
      std::smatch m, digits;
      if (into >= 0 || !std::regex_search(line, m, pattern)) return;
      std::string found = m.str();
      if (std::regex_search(found, digits, number)) into = std::stoll(digits.str());
    };
    first_number(older ? olderNps : newerNps, f.nps);
    first_number(older ? olderNodes : newerNodes, f.nodes);
  }
  return f;
}

// The total line of a benchmark run.
BenchFigures total_line(const std::string& output) {
  static const std::regex total(R"(\ntotal time= \d+\.\d\d seconds, nodes= (\d+), nps= (\d+)\n)");
  std::smatch m;
  BenchFigures f;
  if (std::regex_search(output, m, total)) f = {std::stoll(m[1]), std::stoll(m[2])};
  return f;
}

// "zerv bench N" is "zerv -d N -bench" ("zerv bench" alone searches to
// depth 13: OpenBench stops a benchmark after a minute, and the full one
// takes about that long; the build test below runs it). Its last line says
// "N nodes M nps", so that both readers take the node count and the speed
// from it: on the total line alone the newer one would take the node count
// for the speed. The node count is the search's signature: the same in
// another run, there with the searches on a thread of their own (-pbench).
TEST(OpenBenchDialogue, BenchAsOpenBenchCallsAndReadsIt) {
  Dialogue bench5 = run_engine({"bench", "5"}, "");
  EXPECT_EQ(bench5.exitStatus, 0);
  BenchFigures total = total_line(bench5.output);
  ASSERT_GT(total.nodes, 0) << bench5.output;
  EXPECT_EQ(total_line(run_engine({"-d", "5", "-pbench"}, "").output).nodes, total.nodes);
  std::vector<std::string> lines = lines_of(bench5.output);
  EXPECT_EQ(lines.back(), std::to_string(total.nodes) + " nodes " + std::to_string(total.nps) + " nps");
  for (bool older : {false, true}) {
    BenchFigures read = openbench_reading(bench5.output, older);
    EXPECT_EQ(read.nodes, total.nodes) << (older ? "older" : "newer") << " reader";
    EXPECT_EQ(read.nps, total.nps) << (older ? "older" : "newer") << " reader";
  }
  std::string withoutLastLine = bench5.output.substr(0, bench5.output.rfind('\n', bench5.output.size() - 2) + 1);
  EXPECT_EQ(openbench_reading(withoutLastLine, false).nps, total.nodes) << "why the last line is there";
}

// "make EXE=path", as OpenBench's workers build (with -jN, in the source
// folder), leaves the Release engine at that path, and that engine runs
// "bench" (depth 13, the command-line test shows) as OpenBench calls and
// reads it. The build goes to a folder of its own; the engine built there
// is a Release one whatever the suite's own build is.
TEST(OpenBenchBuild, MakeLeavesTheEngineUnderTheNameGiven) {
  if (std::system("command -v make >/dev/null && command -v cmake >/dev/null") != 0)
    GTEST_SKIP() << "no make or cmake";
  fs::path source = fs::path(__FILE__).parent_path().parent_path().parent_path();
  fs::path dir = make_temp_dir();
  fs::path exe = dir / "workers" / "Zerv-0123ABCD";
  std::string command = "unset MAKEFLAGS MAKELEVEL MFLAGS; make -C '" + source.string() + "' -j2 EXE='" +
                        exe.string() + "' BUILD_DIR='" + (dir / "build").string() + "' >'" +
                        (dir / "make.log").string() + "' 2>&1";
  ASSERT_EQ(std::system(command.c_str()), 0) << read_file((dir / "make.log").string());
  ASSERT_TRUE(fs::exists(exe)) << read_file((dir / "make.log").string());
  EXPECT_NE(fs::status(exe).permissions() & fs::perms::owner_exec, fs::perms::none);
  // As OpenBench runs it: the binary with the one argument "bench",
  // standard error joined to the output.
  std::string run = "cd '" + (dir / "workers").string() + "' && ./Zerv-0123ABCD bench </dev/null >bench.txt 2>&1";
  EXPECT_EQ(std::system(run.c_str()), 0);
  std::string output = read_file((dir / "workers" / "bench.txt").string());
  EXPECT_GT(total_line(output).nodes, 0) << output;
  EXPECT_EQ(openbench_reading(output, false).nodes, total_line(output).nodes) << output;
  fs::remove_all(dir);
}

}  // namespace
