// The tables through the built engine: SyzygyPath from the command line,
// the configuration file and "setoption" (each sets the tables up again),
// and a "go" that the tables answer at once with depth 99.
#include <gtest/gtest.h>

#include <fstream>

#include "../frontend/dialogue.h"

namespace {

constexpr double PROMPT_SECONDS = 30.0;
const std::string TABLES = std::string(ZERV_DATA_DIR) + "/syzygy";
const std::string FOUND = "info string found 35 tablebases";
// Ten quiet king moves: the fifty count reaches 10.
const std::string KQK_AFTER_TEN =
    "position fen 8/8/8/4k3/8/8/8/3QK3 w - - 0 1 moves e1f1 e5e6 f1e1 e6e5 e1f1 e5e6 f1e1 "
    "e6e5 e1f1 e5e6\n";

TEST(TbDialogue, PathFromEachSourceSetsTheTablesUp) {
  std::string dir = make_temp_dir();
  std::ofstream(dir + "/z.cfg") << "SyzygyPath=" << TABLES << "\n";
  struct Case { std::vector<std::string> args; std::string input; int found; } cases[] = {
      {{"-tbpath", TABLES}, "quit\n", 1},
      {{"-cfg", "z.cfg"}, "quit\n", 2},  // the file, then the start of the UCI mode
      {{}, "setoption name SyzygyPath value " + TABLES + "\nsetoption name SyzygyPath value <empty>\nquit\n", 1},
      {{}, "setoption name SyzygyPath value " + TABLES + ";" + TABLES + "\nquit\n", 1},
  };
  for (const Case& c : cases) {
    Dialogue d = run_engine(c.args, c.input, dir);
    EXPECT_EQ(d.exitStatus, 0);
    EXPECT_EQ(count_of(d.output, FOUND), c.found) << d.output;
    EXPECT_EQ(count_of(d.output, "info string found"), c.found) << d.output;
  }
}

TEST(TbDialogue, GoAfterTenQuietMovesAnswersFromTheTables) {
  Session s({"-tbpath", TABLES}, PROMPT_SECONDS);
  send(s.d, KQK_AFTER_TEN + "go depth 40\n");
  ASSERT_TRUE(s.wait("bestmove")) << s.d.output;
  EXPECT_NE(s.d.output.find("info depth 99 seldepth 99 score cp 9800 "), std::string::npos) << s.d.output;
  EXPECT_NE(s.d.output.find(" tbhits 1 "), std::string::npos) << s.d.output;
}

}  // namespace
