// Options as a GUI meets them through the built binary: a table the
// machine cannot give, settings sent during a search.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "dialogue.h"

namespace {

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
