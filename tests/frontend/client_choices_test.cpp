// The places where Zerv does what clients expect rather than what a strict
// reading of its design would give, each through the built engine as a GUI,
// a match manager or a script drives it (README, "Choices made for
// clients"), and once more under the python-chess engine API
// (python_client_choices.py beside this file).
#include <gtest/gtest.h>

#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <regex>
#include <string>
#include <vector>

#include "dialogue.h"

namespace {

namespace fs = std::filesystem;

const std::string TABLES = std::string(ZERV_DATA_DIR) + "/syzygy";

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

// The answer of a search started at `mark` ("bestmove e2e4", without a
// ponder move), once it has come.
std::string answer_after(Session& e, size_t mark) {
  if (!e.wait_after(mark, "bestmove ")) return "";
  e.sync();
  size_t at = e.d.output.find("bestmove ", mark);
  std::string line = e.d.output.substr(at, e.d.output.find('\n', at) - at);
  return line.substr(0, line.find(" ponder "));
}

// ------------------------------------------------------ half-move clock
// GUIs and python-chess send the game's real clock in the FEN. A quiet
// move at clock 99 reaches 100: every reply of Black's lone king makes 101,
// a draw, so the queen is worth nothing; at clock 0 Black is lost. At 100
// the quiet move makes 101: the game is already drawn, answered at once
// as when the clock was reached by moves.
TEST(HalfMoveClockDialogue, TheFensClockCountsTowardsTheFiftyMoveRule) {
  Session e;
  const std::string board = "position fen 4k3/8/8/8/8/8/8/3QK3 w - - ";
  size_t mark = e.d.output.size();
  send(e.d, board + "99 80 moves d1d2\ngo depth 6\n");
  ASSERT_NE(answer_after(e, mark), "");
  EXPECT_EQ(last_score(e.d.output, mark), "cp 0") << e.d.output.substr(mark);

  mark = e.d.output.size();
  send(e.d, board + "0 80 moves d1d2\ngo depth 6\n");
  ASSERT_NE(answer_after(e, mark), "");
  EXPECT_LT(centipawns(last_score(e.d.output, mark)), -500) << e.d.output.substr(mark);

  mark = e.d.output.size();
  send(e.d, board + "100 80 moves d1d2\ngo depth 6\n");
  EXPECT_EQ(answer_after(e, mark), "bestmove 0000");
  EXPECT_EQ(count_of(e.d.output.substr(mark), "info depth 1 "), 0) << "no search";

  // A clock that is no number counts as 0.
  mark = e.d.output.size();
  send(e.d, board + "x 80 moves d1d2\ngo depth 6\n");
  ASSERT_NE(answer_after(e, mark), "");
  EXPECT_LT(centipawns(last_score(e.d.output, mark)), -500) << e.d.output.substr(mark);
}

// The tablebase move is played at once, without a search, from a clock of
// 10 on: given in the FEN or reached by moves, the same answer.
TEST(HalfMoveClockDialogue, TablebaseRootAnswersAtOnceFromTheFensClock) {
  Session e({"-tbpath", TABLES});
  const std::string kqk = "position fen 8/8/8/4k3/8/8/8/3QK3 w - - ";
  struct Case { std::string position; bool atOnce; } cases[] = {
      {kqk + "12 40", true},
      {kqk + "10 40", true},
      {kqk + "9 40", false},
      {kqk + "0 1", false},
      {kqk + "0 1 moves d1d2 e5e4 d2d1 e4e5 d1d2 e5e4 d2d1 e4e5 d1d2 e5e4", true},
      {kqk + "3 1 moves d1d2 e5e4 d2d1 e4e5 d1d2 e5e4 d2d1", true},
  };
  for (const Case& c : cases) {
    size_t mark = e.d.output.size();
    send(e.d, c.position + "\ngo depth 6\n");
    std::string answer = answer_after(e, mark);
    ASSERT_NE(answer, "") << c.position;
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
// is legal.
TEST(CastlingDialogue, TwoRooksOnOneSideOfTheKing) {
  Session e;
  struct Case { std::string position, go, answer; } cases[] = {
      // Standard chess: "K" is the rook on h1, castling once f1 is free.
      {"4k3/8/8/8/8/8/8/4KR1R w K - 0 1 moves f1f2 e8d8", "e1g1", "bestmove e1g1"},
      // The rook that castled went to f1 and moves on from there.
      {"4k3/8/8/8/8/8/8/4KR1R w K - 0 1 moves f1f2 e8d8 e1g1 d8e8", "f1a1", "bestmove f1a1"},
      // A file letter names the inner rook: castling at once, h1 stays.
      {"4k3/8/8/8/8/8/8/4KR1R w F - 0 1", "e1g1", "bestmove e1g1"},
      {"4k3/8/8/8/8/8/8/4KR1R w F - 0 1 moves e1g1 e8d8", "h1h8", "bestmove h1h8"},
      {"r1r1k3/8/8/8/8/8/8/4K3 b c - 0 1", "e8c8", "bestmove e8c8"},
  };
  for (const Case& c : cases) {
    size_t mark = e.d.output.size();
    send(e.d, "position fen " + c.position + "\ngo depth 1 searchmoves " + c.go + "\n");
    EXPECT_EQ(answer_after(e, mark), c.answer) << c.position;
    EXPECT_EQ(e.d.output.find("info string", mark), std::string::npos) << e.d.output.substr(mark);
  }
  // Chess960: castling is written as king takes rook.
  send(e.d, "setoption name UCI_Chess960 value true\n");
  ASSERT_TRUE(e.sync());
  Case chess960[] = {
      // "K" is g1 (the only rook east), "Q" a1 (b1 is in its way); "k" is
      // h8 (g8 in the way of the king), "q" b8.
      {"1r2k1rr/6p1/8/8/8/8/6P1/RR2K1R1 w KQkq - 0 1", "e1g1", "bestmove e1g1"},
      {"1r2k1rr/6p1/8/8/8/8/6P1/RR2K1R1 b KQkq - 0 1", "e8b8", "bestmove e8b8"},
      // Shredder letters for the inner rooks b1 and g8.
      {"1r2k1rr/6p1/8/8/8/8/6P1/RR2K1R1 w GBgb - 0 1", "e1b1", "bestmove e1b1"},
      {"1r2k1rr/6p1/8/8/8/8/6P1/RR2K1R1 b GBgb - 0 1", "e8g8", "bestmove e8g8"},
      {"1r2k1rr/6p1/8/8/8/8/6P1/RR2K1R1 b GBgb - 0 1 moves e8g8 a1a2", "h8h1", "bestmove h8h1"},
      {"4k3/8/8/8/8/8/8/4KR1R w H - 0 1 moves f1f2 e8d8", "e1h1", "bestmove e1h1"},
  };
  for (const Case& c : chess960) {
    size_t mark = e.d.output.size();
    send(e.d, "position fen " + c.position + "\ngo depth 1 searchmoves " + c.go + "\n");
    EXPECT_EQ(answer_after(e, mark), c.answer) << c.position;
    EXPECT_EQ(e.d.output.find("info string", mark), std::string::npos) << e.d.output.substr(mark);
  }
  // King takes the rook that has no right: no castling.
  size_t mark = e.d.output.size();
  send(e.d, "position fen 1r2k1rr/6p1/8/8/8/8/6P1/RR2K1R1 b KQkq - 0 1 moves e8g8\n");
  ASSERT_TRUE(e.sync());
  EXPECT_NE(e.d.output.find("info string move e8g8 cannot be played here", mark), std::string::npos)
      << e.d.output.substr(mark);
}

// The console's "fen" and "perft" on such positions: the counts of the
// board test (computed with python-chess), and the rights shown as X-FEN.
TEST(CastlingDialogue, ConsolePerftWithTwoRooksOnOneSide) {
  Dialogue d = run_engine({"-c"},
                          "fen 4k3/8/8/8/8/8/8/4KR1R w K - 0 1\nperft 4\n"
                          "fen 1r2k1rr/8/8/8/8/8/8/RR2K1R1 w GBgb - 0 1\nperft 3\nquit\n");
  EXPECT_EQ(d.exitStatus, 0);
  EXPECT_NE(d.output.find("visited 8117 nodes"), std::string::npos) << d.output;
  EXPECT_NE(d.output.find("\nfen 1r2k1rr/8/8/8/8/8/8/RR2K1R1 w KBgq -\n"), std::string::npos) << d.output;
  EXPECT_NE(d.output.find("visited 26251 nodes"), std::string::npos) << d.output;
}

// --------------------------------------------------------- option names
// Option names are not case sensitive (UCI protocol): "setoption name hash"
// and "name THREADS" set Hash and Threads, in the configuration file too;
// "uci" keeps listing the names as they are, now with these defaults. A
// name that is not Zerv's ("Move Overhead") still changes nothing.
TEST(OptionNamesDialogue, NamesInAnyCaseAsClientsWriteThem) {
  std::string dir = make_temp_dir();
  std::ofstream(dir + "/z.cfg") << "contempt=12\nMULTIPV=2\n";
  Session e({"-cfg", dir + "/z.cfg"});
  size_t mark = e.d.output.size();
  send(e.d, "setoption name hash value 16\nsetoption name THREADS value 2\n"
            "setoption name moveoverhead value 30\nsetoption name Move Overhead value 40\nuci\n");
  ASSERT_TRUE(e.wait("uciok")) << e.d.output;
  std::string out = e.d.output.substr(mark);
  for (const char* shown : {"info string Hash set to 16\ninfo string allocated 16 Mbytes for hash table\n",
                            "info string Threads set to 2\n", "info string MoveOverhead set to 30\n",
                            "option name Hash type spin default 16 min 0 max 32768\n",
                            "option name Threads type spin default 2 min 1 max 160\n",
                            "option name MoveOverhead type spin default 30 min 0 max 5000\n",
                            "option name MultiPV type spin default 2 min 1 max 255\n",
                            "option name Contempt type spin default 12 min -150 max 150\n"})
    EXPECT_NE(out.find(shown), std::string::npos) << shown << "\n" << out;
  EXPECT_EQ(out.find("set to 40"), std::string::npos) << out;
  EXPECT_EQ(out.find("option name hash"), std::string::npos) << out;
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
// for the speed.
TEST(OpenBenchDialogue, BenchAsOpenBenchCallsAndReadsIt) {
  Dialogue bench5 = run_engine({"bench", "5"}, "");
  EXPECT_EQ(bench5.exitStatus, 0);
  BenchFigures total = total_line(bench5.output);
  ASSERT_GT(total.nodes, 0) << bench5.output;
  EXPECT_EQ(total_line(run_engine({"-d", "5", "-bench"}, "").output).nodes, total.nodes);
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
  BenchFigures read = openbench_reading(output, false);
  EXPECT_GT(read.nodes, 0) << output;
  EXPECT_EQ(read.nodes, total_line(output).nodes) << output;
  EXPECT_GT(read.nps, 0) << output;
  fs::remove_all(dir);
}

// ----------------------------------------------------- tablebase paths
// SyzygyPath lists directories separated by ":" (as on Linux and in other
// engines) as well as by ";": from the command line, the configuration
// file and "setoption". Each of the two folders holds tables the other
// lacks, so only both together give three.
TEST(TablePathsDialogue, ColonSeparatesDirectoriesEverywhere) {
  std::string dir = make_temp_dir();
  fs::create_directories(dir + "/a");
  fs::create_directories(dir + "/b");
  for (const char* name : {"KQvK.rtbw", "KRvK.rtbw"}) fs::copy_file(TABLES + "/" + name, dir + "/a/" + name);
  for (const char* name : {"KQvK.rtbw", "KBNvK.rtbw"}) fs::copy_file(TABLES + "/" + name, dir + "/b/" + name);
  std::string both = dir + "/a:" + dir + "/b";
  std::ofstream(dir + "/z.cfg") << "SyzygyPath=" << both << "\n";
  struct Case { std::vector<std::string> args; std::string input; } cases[] = {
      {{"-tbpath", both}, "quit\n"},
      {{"-cfg", "z.cfg"}, "quit\n"},
      {{}, "setoption name SyzygyPath value " + both + "\nquit\n"},
      {{}, "setoption name syzygypath value " + dir + "/a;" + dir + "/b\nquit\n"},
  };
  for (const Case& c : cases) {
    Dialogue d = run_engine(c.args, c.input, dir);
    EXPECT_EQ(d.exitStatus, 0);
    EXPECT_NE(d.output.find("info string found 3 tablebases"), std::string::npos) << d.output;
    EXPECT_EQ(d.output.find("info string found 2 tablebases"), std::string::npos) << d.output;
  }
}

// ----------------------------------------------------------- python-chess
// The same choices under the python-chess engine API; skipped without the
// library or python3.
TEST(PythonClientChoices, AsPythonChessUsesThem) {
  fs::path library = fs::path(ZERV_DATA_DIR) / ".." / "tools" / "python-chess";
  if (!fs::exists(library / "chess" / "engine.py")) GTEST_SKIP() << "no python-chess at " << library;
  if (std::system("python3 -c '' >/dev/null 2>&1") != 0) GTEST_SKIP() << "no python3";
  fs::path script = fs::path(__FILE__).parent_path() / "python_client_choices.py";
  fs::path dir = make_temp_dir();
  auto quoted = [](const fs::path& p) {
    std::string text = "'";
    text += p.string();
    text += "'";
    return text;
  };
  std::string command = "cd " + quoted(dir) + " && PYTHONPATH=" + quoted(library) + " python3 " +
                        quoted(script) + " " + quoted(ZERV_BINARY) + " " + quoted(TABLES) +
                        " >report.txt 2>&1";
  int status = std::system(command.c_str());
  EXPECT_EQ(status, 0) << read_file((dir / "report.txt").string());
}

}  // namespace
