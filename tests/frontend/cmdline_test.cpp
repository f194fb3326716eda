// The command-line reader, run in-process so the settings it writes can be
// inspected directly.
#include "frontend/cmdline.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "frontend/control.h"
#include "frontend/options.h"

namespace {

class CommandLineTest : public ::testing::Test {
 protected:
  // Parses the arguments (argv[0] added) from the start-up defaults; the
  // result of the parse.
  bool parse(std::vector<std::string> args) {
    set_default_options(Options);
    set_control_defaults(Control);
    args.insert(args.begin(), "zerv");
    std::vector<char*> argv;
    for (std::string& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    return parse_command_line(static_cast<int>(args.size()), argv.data(), line);
  }
  CommandLine line{};
};

// Hash and Threads are clamped (no wrap-around on huge numbers); a fixed
// depth or node count sizes the table, unless the search is deep or the
// size was given, and has a time of its own (0: not checked).
TEST_F(CommandLineTest, ClampsAndTheTableForFixedLimits) {
  struct Case { std::vector<std::string> args; int hash, threads; float time; } cases[] = {
      {{"-hash", "99999", "-threads", "0"}, 32768, 1, 0},
      {{"-hash", "-5", "-threads", "500"}, 0, 160, 0},
      {{"-hash", "123456789012345678901234567890"}, 32768, 1, 0},
      {{"-d", "5"}, 1, 1, 10000},
      {{"-d", "10"}, 8, 1, 0},
      {{"-hash", "16", "-d", "20"}, 16, 1, 0},
      {{"-hash", "256", "-t", "2.5"}, 256, 1, 2.5f},
      {{"-n", "1000000000"}, 64, 1, 0},
      {{"-n", "100000"}, 4, 1, 1000},
  };
  for (const Case& c : cases) {
    ASSERT_TRUE(parse(c.args));
    apply_fixed_limit_hash(line);
    EXPECT_EQ(Options.Hash, c.hash) << c.args[1];
    EXPECT_EQ(Options.Threads, c.threads) << c.args[1];
    EXPECT_FLOAT_EQ(c.time ? Control.limits.timePerMove : 0, c.time) << c.args[1];
  }
  EXPECT_EQ(Control.limits.nodeLimit, 100000u);
  EXPECT_EQ(Control.limits.limitKind, LIMIT_FIXED);
}

TEST_F(CommandLineTest, NpsSetsTheStrengthLimit) {
  ASSERT_TRUE(parse({"-nps", "1000000"}));
  EXPECT_EQ(Options.UCI_LimitStrength, 1);
  EXPECT_EQ(Options.UCI_Elo, 3200);
  EXPECT_FLOAT_EQ(Control.targetNps, 1000000.0f);
  ASSERT_TRUE(parse({"-nps", "0"}));
  EXPECT_EQ(Options.UCI_LimitStrength, 0);  // refused, no logarithm of 0
}

}  // namespace
