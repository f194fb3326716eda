// The places where Zerv does what clients expect rather than what a strict
// reading of its design would give, each through the built engine as a GUI,
// a match manager or a script drives it (README, "Choices made for
// clients"), and once more under the python-chess engine API
// (python_client_choices.py beside this file).
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <regex>
#include <string>

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

// The answer of a search started at `mark`, once it has come.
std::string answer_after(Session& e, size_t mark) {
  if (!e.wait_after(mark, "bestmove ")) return "";
  e.sync();
  size_t at = e.d.output.find("bestmove ", mark);
  return e.d.output.substr(at, e.d.output.find('\n', at) - at);
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
