// Options as a GUI meets them through the built binary: the "uci" list,
// a table the machine cannot give, settings sent during a search.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "dialogue.h"

namespace {

using Lines = std::vector<std::string>;

// The lines between "id author" and "uciok" of the first "uci" answer.
Lines option_block(const std::string& output, size_t from = 0) {
  Lines lines = lines_of(output.substr(from));
  Lines block;
  bool inside = false;
  for (const std::string& line : lines) {
    if (line == "uciok" && inside) break;
    if (inside) block.push_back(line);
    if (line == "id author Orvande") inside = true;
  }
  return block;
}

const Lines DEFAULT_OPTIONS = {
    "option name ConfigFilePath type string default ",
    "option name Hash type spin default 64 min 0 max 32768",
    "option name Threads type spin default 1 min 1 max 160",
    "option name Clear_Hash type button",
    "option name NN_File type string default embedded",
    "option name Use_NN_eval type check default true",
    "option name OwnBook type check default false",
    "option name OwnBook_File type string default ",
    "option name OwnBook_Depth type spin default 24 min 0 max 60",
    "option name OwnBook2_File type string default ",
    "option name OwnBook2_Depth type spin default 0 min 0 max 60",
    "option name OwnBook_Variety type spin default 25 min 0 max 100",
    "option name SyzygyPath type string default ",
    "option name SyzygyProbeDepth6 type spin default 1 min -5 max 100",
    "option name Log type check default false",
    "option name Ponder type check default true",
    "option name MultiPV type spin default 1 min 1 max 255",
    "option name UCI_Chess960 type check default false",
    "option name MoveOverhead type spin default 50 min 0 max 5000",
    "option name UCI_LimitStrength type check default false",
    "UCI_Elo",  // depends on the machine's measured strength; checked apart
    "option name Contempt type spin default 0 min -150 max 150",
    "option name Selectivity type spin default 100 min 0 max 200",
};
constexpr size_t ELO_LINE = 20;

TEST(OptionsDialogue, UciListsTwentyThreeOptions) {
  Dialogue d = run_engine({}, "uci\nquit\n");
  EXPECT_EQ(d.exitStatus, 0);
  Lines block = option_block(d.output);
  ASSERT_EQ(block.size(), DEFAULT_OPTIONS.size()) << d.output;
  for (size_t i = 0; i < block.size(); i++) {
    if (i == ELO_LINE) continue;
    EXPECT_EQ(block[i], DEFAULT_OPTIONS[i]);
  }
  // Full strength is both the default and the top of the range.
  int def = 0, low = 0, high = 0;
  ASSERT_EQ(
      std::sscanf(block[ELO_LINE].c_str(), "option name UCI_Elo type spin default %d min %d max %d",
                  &def, &low, &high),
      3)
      << block[ELO_LINE];
  EXPECT_EQ(low, 1500);
  EXPECT_EQ(def, high);
}

// On a machine without 32 GB to give, the table in use stays and the
// session goes on (a machine that has it simply allocates it).
TEST(OptionsDialogue, HashTheMachineCannotGiveKeepsTheTable) {
  // Under AddressSanitizer a failed allocation ends the process unless the
  // sanitizer is told to return null, as the plain allocator does.
  setenv("ASAN_OPTIONS", "allocator_may_return_null=1", 1);
  Dialogue d;
  ASSERT_TRUE(start_engine(d, {}, make_temp_dir()));
  send(d, "setoption name Hash value 16\nsetoption name Hash value 32768\nisready\n");
  ASSERT_TRUE(wait_for(d, "readyok", 120));
  bool kept = d.output.find("info string cannot allocate 32768 Mbytes for hash table, keeping 16") !=
              std::string::npos;
  EXPECT_TRUE(kept || d.output.find("allocated 32768 Mbytes") != std::string::npos) << d.output;
  send(d, "position startpos moves e2e4\ngo depth 5\n");
  EXPECT_TRUE(wait_for(d, "bestmove", 60));
  if (kept) {
    send(d, "setoption name Hash value 16\nisready\n");  // already 16: nothing to allocate
    for (int i = 0; i < 100 && count_of(d.output, "readyok") < 2; i++) wait_for(d, "\x01", 0.1);
    ASSERT_EQ(count_of(d.output, "readyok"), 2);
    EXPECT_EQ(count_of(d.output, "allocated 16 Mbytes"), 1);
  }
  send(d, "quit\n");
  finish(d, 10);
  EXPECT_EQ(d.exitStatus, 0);
}

}  // namespace

TEST(OptionsDialogue, SettingsThatDisturbASearchWaitForItsEnd) {
  constexpr double PROMPT_SECONDS = 10.0;  // hang guard, not a speed test
  Dialogue d;
  ASSERT_TRUE(start_engine(d, {}, make_temp_dir()));
  send(d, "go infinite\nisready\n");
  ASSERT_TRUE(wait_for(d, "readyok", PROMPT_SECONDS));
  send(d, "setoption name Clear_Hash\nsetoption name Hash value 16\nsetoption name Threads value 2\n"
          "setoption name ConfigFilePath value x.cfg\nsetoption name MultiPV value 2\nisready\n");
  ASSERT_TRUE(wait_for(d, "MultiPV set to 2", PROMPT_SECONDS)) << d.output;
  send(d, "stop\n");
  ASSERT_TRUE(wait_for(d, "bestmove", PROMPT_SECONDS)) << d.output;
  send(d, "setoption name Hash value 16\nquit\n");
  finish(d, PROMPT_SECONDS);
  EXPECT_EQ(d.exitStatus, 0);
  EXPECT_EQ(d.output.find("Hash table cleared"), std::string::npos);
  EXPECT_EQ(d.output.find("Threads set"), std::string::npos);
  EXPECT_EQ(d.output.find("ConfigFilePath set"), std::string::npos);
  size_t after = d.output.find("bestmove");
  EXPECT_EQ(d.output.find("Hash set to 16"), d.output.find("Hash set to 16", after));
  EXPECT_NE(d.output.find("info string allocated 16 Mbytes", after), std::string::npos);
}
