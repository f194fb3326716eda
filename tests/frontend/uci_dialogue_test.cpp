// The engine as a GUI sees it: whole dialogues through the built binary.
#include <gtest/gtest.h>

#include <regex>
#include <string>

#include "dialogue.h"

namespace {

// Commands run in order; at the end of input the engine runs what is
// queued (the last line without a line feed) and exits.
TEST(UciDialogue, IdentifiesItselfAndAnswersIsready) {
  Dialogue d = run_engine({}, "uci\nisready\nisready");
  EXPECT_EQ(d.exitStatus, 0);  // -2 would mean it had to be killed
  // The option lines themselves are checked by the options dialogues.
  std::vector<std::string> lines;
  int options = 0;
  for (const std::string& line : lines_of(d.output)) {
    if (line.rfind("option name ", 0) == 0) options++;
    else lines.push_back(line);
  }
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
  EXPECT_EQ(options, 23);
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

}  // namespace
