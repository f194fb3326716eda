// The engine as a GUI sees it: whole dialogues through the built binary,
// from start-up and its command-line options to settings sent around and
// during searches, and the searches themselves.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <regex>
#include <string>

#include "dialogue.h"

namespace {

// Commands run in order; at the end of input the engine runs what is
// queued (the last line without a line feed) and exits.
TEST(UciDialogue, IdentifiesItselfAndAnswersIsready) {
  Dialogue d = run_engine({}, "uci\nisready\nisready");
  EXPECT_EQ(d.exitStatus, 0);  // -2 would mean it had to be killed
  // The option lines themselves are checked by the python-chess client.
  std::vector<std::string> lines;
  for (const std::string& line : lines_of(d.output))
    if (line.rfind("option name ", 0) != 0) lines.push_back(line);
  // The speed calibration follows the start-up lines, before any command.
  size_t calibration = startup_lines().size();
  ASSERT_GT(lines.size(), calibration);
  EXPECT_TRUE(std::regex_match(lines[calibration],
                               std::regex(R"(info string et= \d+\.\d{3}, calibration nps= [1-9]\d*)")))
      << lines[calibration];
  lines.erase(lines.begin() + long(calibration));
  std::vector<std::string> expected = startup_lines();
  expected.insert(expected.end(), {"id name Zerv 5.50", "id author Orvande", "uciok", "readyok", "readyok"});
  EXPECT_EQ(lines, expected);
}

// Line ends of every kind, zero bytes, overlong lines (cut, the engine
// goes on), a refused position and an unplayable move: each is reported
// or skipped and the engine stays usable; "quit" ignores what follows.
TEST(UciDialogue, OddInputIsHarmless) {
  std::string garbage(20000, 'x');
  std::string longPosition = "position startpos moves";
  for (int i = 0; i < 2000; i++) longPosition += " g1f3 g8f6 f3g1 f6g8";
  std::string input = std::string("isready\r\n") + std::string("isready\0isready\n", 16) + garbage + "\n" +
                      longPosition + "\n" + garbage + "\nposition fen 8/8/8/8/8/8/8/K7 w - -\n" +
                      "position startpos moves e2e4 e2e4\nisready\nquit\nisready\n";
  Dialogue d = run_engine({}, input);
  EXPECT_EQ(count_of(d.output, "readyok"), 4);
  EXPECT_NE(d.output.find("info string position refused"), std::string::npos);
  EXPECT_NE(d.output.find("info string move e2e4 cannot be played here"), std::string::npos);
  EXPECT_EQ(d.exitStatus, 0);
}

TEST(UciDialogue, LogHoldsTheCommandsAndTheAnswers) {
  std::string dir = make_temp_dir();
  Dialogue d = run_engine({"-log"}, "isready\nposition startpos moves e2e4\nquit\n", dir);
  EXPECT_EQ(d.exitStatus, 0);
  std::vector<std::string> log = lines_of(read_file(dir + "/zerv.log"));
  ASSERT_GE(log.size(), 2u);
  EXPECT_TRUE(is_calibration_line(log[1])) << log[1];
  log.erase(log.begin() + 1);
  // The log opens after the greeting, so it starts with the network line.
  std::vector<std::string> expected = {"info string using embedded network", "CMD: isready",
                                       "readyok", "CMD: position startpos moves e2e4", "CMD: quit"};
  EXPECT_EQ(log, expected);
}

// ---------------------------------------------------------------- options
// On a machine without 32 GB to give, the table in use stays and the
// session goes on (a machine that has it simply allocates it).
TEST(OptionsDialogue, HashTheMachineCannotGiveKeepsTheTable) {
  // Under AddressSanitizer a failed allocation ends the process unless the
  // sanitizer is told to return null, as the plain allocator does.
  setenv("ASAN_OPTIONS", "allocator_may_return_null=1", 1);
  Session s({}, 120.0);
  const std::string& out = s.d.output;
  send(s.d, "setoption name Hash value 16\nsetoption name Hash value 32768\n");
  ASSERT_TRUE(s.sync());
  bool kept = out.find("info string cannot allocate 32768 Mbytes for hash table, keeping 16") != std::string::npos;
  EXPECT_TRUE(kept || out.find("allocated 32768 Mbytes") != std::string::npos) << out;
  send(s.d, "position startpos moves e2e4\ngo depth 5\n");
  EXPECT_TRUE(s.wait("bestmove"));
  if (kept) {
    send(s.d, "setoption name Hash value 16\n");  // already 16: nothing to allocate
    ASSERT_TRUE(s.sync());
    EXPECT_EQ(count_of(out, "allocated 16 Mbytes"), 1);
  }
}

// Settings and positions that come during a search: those the search
// reads wait until it has answered, then apply in the order they came
// (a setting safe at once waits too behind one that waits); the network
// in use is never replaced under the search, and one that cannot be
// opened leaves it and its name in use. A "go" during a search replaces
// it without an answer, after what waited.
TEST(OptionsDialogue, SettingsThatDisturbASearchWaitForItsEnd) {
  const std::string net = (std::filesystem::path(__FILE__).parent_path() / "../../nets/builtin.nn").string();
  Session s({}, 10.0);
  const std::string& out = s.d.output;
  send(s.d, "go infinite\n");
  ASSERT_TRUE(s.sync());
  size_t mark = out.size();
  // A setting the search may take at once is recognised in the client's spelling too.
  send(s.d, "setoption name multipv value 2\nsetoption name NN_File value " + net + "\n" +
                "setoption name Clear_Hash\nsetoption name MultiPV value 3\nposition startpos moves e2e4\n" +
                "setoption name Hash value 16\nsetoption name Threads value 2\n" +
                "setoption name NN_File value missing@1.nn\n");
  ASSERT_TRUE(s.sync());
  EXPECT_NE(out.find("MultiPV set to 2", mark), std::string::npos) << "safe at once";
  for (const char* what : {"NN_File", "Clear_Hash", "MultiPV", "position", "Hash", "Threads"})
    EXPECT_NE(out.find(std::string("info string ") + what + " deferred until the search ends", mark),
              std::string::npos) << what;
  send(s.d, "stop\n");
  ASSERT_TRUE(s.wait("bestmove"));
  size_t answer = out.find("bestmove");
  std::vector<std::string> after = {"loaded " + net, "Hash table cleared", "MultiPV set to 3",
                                    "Hash set to 16", "allocated 16 Mbytes", "Threads set to 2",
                                    "can't open missing@1.nn", "keeping the network in use"};
  ASSERT_TRUE(s.sync());
  size_t at = answer;
  for (const std::string& line : after) {
    EXPECT_EQ(out.find(line, mark), out.find(line, at)) << line << ": not before the answer";
    at = out.find(line, at);
    ASSERT_NE(at, std::string::npos) << line << ", in order, after the answer";
  }
  // The rank of the first answer's from-square from `from` on: whose move.
  auto mover_rank = [&](size_t from) { return out[out.find("bestmove ", from) + 10]; };
  EXPECT_TRUE(mover_rank(mark) == '1' || mover_rank(mark) == '2') << "the search's own side answers";
  // The position waited for the answer: the next search is Black's.
  mark = out.size();
  send(s.d, "go depth 1\n");
  ASSERT_TRUE(s.wait_after(mark, "bestmove"));
  EXPECT_TRUE(mover_rank(mark) == '7' || mover_rank(mark) == '8') << out.substr(mark);
  // A "go" during a search replaces it without an answer, once the
  // position that came before it is set.
  mark = out.size();
  send(s.d, "go infinite\nposition startpos moves e2e4 e7e5\ngo depth 2\n");
  ASSERT_TRUE(s.wait_after(mark, "bestmove"));
  send(s.d, "uci\n");
  ASSERT_TRUE(s.wait_after(mark, "uciok"));
  EXPECT_EQ(count_of(out.substr(mark), "bestmove"), 1);
  EXPECT_TRUE(mover_rank(mark) == '1' || mover_rank(mark) == '2') << out.substr(mark);
  EXPECT_NE(out.find("option name NN_File type string default " + net + "\n", mark), std::string::npos);
  EXPECT_NE(out.find("option name MultiPV type spin default 3 ", mark), std::string::npos);
}

// UCI_ShowWDL (off at first: the depth search below reads lines without
// chances): every scored line, MultiPV lines included, has the three per
// mille chances right after the score, summing to 1000; a mate is a
// certain win.
TEST(OptionsDialogue, ShowWdlFollowsEveryScore) {
  Session s;
  send(s.d, "setoption name UCI_ShowWDL value true\nsetoption name MultiPV value 2\n"
            "position fen 6k1/5ppp/8/8/8/8/5PPP/R5K1 w - -\ngo depth 3\n");
  ASSERT_TRUE(s.wait("bestmove"));
  const std::string& out = s.d.output;
  std::regex scored(R"( score (?:cp|mate) -?\d+ wdl (\d+) (\d+) (\d+) time )");
  for (const std::string& l : lines_of(out)) {
    if (l.find(" score ") == std::string::npos) continue;
    std::smatch m;
    ASSERT_TRUE(std::regex_search(l, m, scored)) << l;
    EXPECT_EQ(std::stoi(m[1]) + std::stoi(m[2]) + std::stoi(m[3]), 1000) << l;
  }
  EXPECT_GT(count_of(out, "multipv 2 "), 0);
  EXPECT_GT(count_of(out, "score mate 1 wdl 1000 0 0 "), 0) << out;
}

// ----------------------------------------------------------- command line
const char* const HELLO = "info string Hello from Zerv 5.50";

// Options that end the run at once: tools without their input, tuning
// values out of range (before any greeting), the tuning modes.
TEST(CommandLineDialogue, RunsEndedByTheirOptions) {
  struct Case {
    std::vector<std::string> args;
    int status;
    std::string shown;  // "" when the greeting must not appear either
  } cases[] = {
      {{"-tune", "x.epd", "0.01", "5"}, 1, ""},
      {{"-tune", "x.epd", "0.001", "5"}, 1, "Need to compile with 'make ttune'\n"},
      {{"-mktraindata", "f.epd", "1000"}, 1, "Need to compile with 'make ttune'"},
      {{"-mkbook"}, 1, ""},
      {{"-mktraindata", "f.epd"}, 1, ""},
  };
  for (const Case& c : cases) {
    Dialogue d = run_engine(c.args, "");
    EXPECT_EQ(d.exitStatus, c.status) << c.args[0];
    if (c.shown.empty()) {
      EXPECT_EQ(d.output.find(HELLO), std::string::npos) << c.args[0];
      EXPECT_EQ(d.output.find("make ttune"), std::string::npos) << c.args[0];
    } else {
      EXPECT_NE(d.output.find(c.shown), std::string::npos) << d.output;
    }
  }
}

// The calibration's rating from a given speed, then the normal start-up.
TEST(CommandLineDialogue, MkconfigStartsAndEndsCleanly) {
  Dialogue d = run_engine({"-nps", "1000000", "-mkconfig"}, "");
  EXPECT_EQ(d.exitStatus, 0);
  std::vector<std::string> expected = {"Elo= 3200"};
  expected.insert(expected.end(), startup_lines().begin(), startup_lines().end());
  EXPECT_EQ(lines_of(d.output), expected);
  d = run_engine({"-nps", "500000", "-mkconfig"}, "");
  EXPECT_EQ(lines_of(d.output).front(), "Elo= 3096");
}

// ----------------------------------------------------------- python-chess
// The built engine under the python-chess engine API (python_client.py
// beside this file): analysis, a game move on the clock, a mate search,
// every option as a GUI parses it, MultiPV analysis, a short game with
// pondering, and the choices made for clients (castling as chosen root
// moves, option names). Skipped without the library or python3.

namespace fs = std::filesystem;

std::string quoted(const fs::path& p) { return std::string("'").append(p.string()).append("'"); }

TEST(PythonClient, AsPythonChessDrivesTheEngine) {
  fs::path library = fs::path(ZERV_DATA_DIR) / ".." / "tools" / "python-chess";
  if (!fs::exists(library / "chess" / "engine.py")) GTEST_SKIP() << "no python-chess at " << library;
  if (std::system("python3 -c '' >/dev/null 2>&1") != 0) GTEST_SKIP() << "no python3";
  fs::path script = fs::path(__FILE__).parent_path() / "python_client.py";
  fs::path dir = make_temp_dir();
  std::string command = "cd " + quoted(dir) + " && PYTHONPATH=" + quoted(library) + " python3 " +
                        quoted(script) + " " + quoted(ZERV_BINARY) + " " +
                        quoted(fs::path(ZERV_DATA_DIR) / "syzygy") + " >report.txt 2>&1";
  int status = std::system(command.c_str());
  EXPECT_EQ(status, 0) << read_file((dir / "report.txt").string());
}

// --------------------------------------------------------------- searches
// Searches as a GUI runs them through the built engine: "go" in its forms,
// "stop", "ponderhit", "isready" and "quit" while a search runs, and the
// one "bestmove" line every search that was not cancelled ends with.

// A depth search answers once after its depths, every line in the plain
// form (no chances unless UCI_ShowWDL asks for them). Answers without
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

// Every search that is not cancelled answers exactly once: "stop", a new
// position and a new search in one write give two answers, each for its
// own side; "quit" cancels a search without an answer. (A "go" replacing a
// search is the settings test's, "stop" after analysis and pondering the
// tests below.)
TEST(GoDialogue, SearchesAnswerOnceWhateverEndsThem) {
  Session e;
  send(e.d, "position startpos\ngo infinite\n");
  ASSERT_TRUE(e.wait("info depth 3 "));
  send(e.d, "stop\nposition startpos moves e2e4\ngo depth 4\n");
  ASSERT_TRUE(e.wait_count("bestmove", 2));
  ASSERT_TRUE(e.sync());
  std::vector<std::string> moves = best_moves(e.d.output);
  ASSERT_EQ(moves.size(), 2u) << e.d.output;
  EXPECT_TRUE(moves[0][1] == '1' || moves[0][1] == '2') << "the stopped search answers for White";
  EXPECT_TRUE(moves[1][1] == '7' || moves[1][1] == '8') << "the new one for Black";
  size_t mark = e.d.output.size();
  send(e.d, "go infinite\n");
  ASSERT_TRUE(e.wait_after(mark, "info depth 3 "));
  send(e.d, "quit\n");
  finish(e.d, e.seconds);
  EXPECT_EQ(e.d.exitStatus, 0);
  EXPECT_EQ(count_of(e.d.output, "bestmove"), 2) << "a search cancelled by quit has no answer";
}

// A search that has ended but may not answer yet: no answer comes for a
// while, and meanwhile the engine uses next to no processor time (a
// search still running, or a wait that spins, would use about all of it).
void expect_answer_held(Session& e, size_t mark, const std::string& what) {
  constexpr double MOST_CPU_SECONDS = 0.1;  // of the half second watched
  EXPECT_FALSE(e.appears_soon("bestmove", mark)) << what;
  double cpu = cpu_seconds(e.d);
  EXPECT_FALSE(e.appears_soon("bestmove", mark)) << what;
  EXPECT_LT(cpu_seconds(e.d) - cpu, MOST_CPU_SECONDS) << what;
}

// Analysis ("go infinite") answers only after "stop", however soon its
// search ends by itself: a mate found, no legal move, a single reply, the
// depth ceiling, the tablebase root move, a book move. "isready" is still
// answered meanwhile.
TEST(GoDialogue, AnalysisAnswersOnlyAfterStop) {
  std::string dir = make_temp_dir();
  {
    std::ofstream games(dir + "/games.pgn");
    for (int i = 0; i < 3; i++) games << "[Result \"1-0\"]\n\n1. e4 e5 1-0\n\n";
  }
  ASSERT_EQ(run_engine({"-mkbook", "games.pgn"}, "", dir).exitStatus, 0);
  Session e;
  send(e.d, "setoption name SyzygyPath value " + std::string(ZERV_DATA_DIR) + "/syzygy\n" +
                "setoption name OwnBook_File value " + dir + "/tmp_book.bin\n");
  // Ten quiet plies: the tablebase move is played at once from then on.
  const std::string tenPlies = " moves d1d2 e5e6 d2d3 e6e5 d3d2 e5e6 e1e2 e6e5 e2e1 e5e6";
  struct Case {
    std::string position, seen, answer;  // `seen` shows how the search ended
    bool seenFirst;  // printed as the search ends, not only with the answer
    bool quick;      // the search ends within milliseconds, long before "stop"
  } cases[] = {
      {"fen 7k/8/5K2/8/8/8/8/6Q1 w - -", "score mate 1 ", "g1g7", false, true},
      {"fen 7k/6Q1/6K1/8/8/8/8/8 b - -", "", "0000", false, true},  // checkmated
      {"fen 6k1/5ppp/8/8/8/7N/6PP/r6K w - -", "", "h3g1", false, true},
      {"fen 8/8/8/4k3/8/8/8/4K3 w - -", "info depth 66 ", "e1", true, false},
      {"fen 8/8/8/4k3/8/8/8/3QK3 w - -" + tenPlies, "info depth 99 ", "", false, false},
      {"startpos\nsetoption name OwnBook value true", "book move is e2e4", "e2e4", true, false},
  };
  // At least the two quiet half-seconds of expect_answer_held pass before "stop".
  constexpr int HELD_MS = 1000;
  for (const Case& c : cases) {
    size_t mark = e.d.output.size();
    send(e.d, "position " + c.position + "\ngo infinite\n");
    if (c.seenFirst) {
      EXPECT_TRUE(e.wait_after(mark, c.seen)) << c.position;
    }
    expect_answer_held(e, mark, c.position);
    ASSERT_TRUE(e.sync());
    EXPECT_EQ(e.d.output.find("bestmove", mark), std::string::npos) << c.position;
    send(e.d, "stop\n");
    ASSERT_TRUE(e.wait_after(mark, "bestmove"));
    std::string out = e.d.output.substr(mark);
    EXPECT_NE(out.find(c.seen), std::string::npos) << out;
    EXPECT_NE(out.find("\nbestmove " + c.answer), std::string::npos) << out;
    // The wait for "stop" is no search time: the line shown with the answer
    // gives the search's own time (and so its true node rate).
    size_t time = out.rfind(" time ");
    if (c.quick && time != std::string::npos) {
      EXPECT_LT(std::stoi(out.substr(time + 6)), HELD_MS) << out;
    }
  }
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
  // A pondering search that found its mate has ended: it waits for
  // "ponderhit", which has it answer at once.
  mark = e.d.output.size();
  send(e.d, "position fen 7k/8/5K2/8/8/8/8/6Q1 w - -\ngo ponder wtime 60000 btime 60000\n");
  expect_answer_held(e, mark, "pondering");
  send(e.d, "ponderhit\n");
  ASSERT_TRUE(e.wait_after(mark, "bestmove g1g7"));
}

}  // namespace
