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
  send(s.d, "quit\n");
  finish(s.d, s.seconds);
  EXPECT_EQ(s.d.exitStatus, 0);
}

}  // namespace

TEST(OptionsDialogue, SettingsThatDisturbASearchWaitForItsEnd) {
  Session s({}, 10.0);
  send(s.d, "go infinite\n");
  ASSERT_TRUE(s.sync());
  send(s.d, "setoption name Clear_Hash\nsetoption name Hash value 16\nsetoption name Threads value 2\n"
            "setoption name ConfigFilePath value x.cfg\nsetoption name MultiPV value 2\nisready\n");
  ASSERT_TRUE(s.wait("MultiPV set to 2")) << s.d.output;
  send(s.d, "stop\n");
  ASSERT_TRUE(s.wait("bestmove")) << s.d.output;
  send(s.d, "setoption name Hash value 16\nquit\n");
  finish(s.d, s.seconds);
  const std::string& out = s.d.output;
  EXPECT_EQ(s.d.exitStatus, 0);
  for (const char* deferred : {"Hash table cleared", "Threads set", "ConfigFilePath set"})
    EXPECT_EQ(out.find(deferred), std::string::npos) << deferred;
  size_t after = out.find("bestmove");
  EXPECT_EQ(out.find("Hash set to 16"), out.find("Hash set to 16", after));
  EXPECT_NE(out.find("info string allocated 16 Mbytes", after), std::string::npos);
}
