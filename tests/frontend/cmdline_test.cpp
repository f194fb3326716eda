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

TEST_F(CommandLineTest, HashAndThreadsAreClamped) {
  ASSERT_TRUE(parse({"-hash", "99999", "-threads", "0"}));
  EXPECT_EQ(Options.Hash, 32768);
  EXPECT_EQ(Options.Threads, 1);
  ASSERT_TRUE(parse({"-hash", "-5", "-threads", "500"}));
  EXPECT_EQ(Options.Hash, 0);
  EXPECT_EQ(Options.Threads, 160);
  ASSERT_TRUE(parse({"-hash", "123456789012345678901234567890"}));
  EXPECT_EQ(Options.Hash, 32768);  // no wrap-around on huge numbers
}

TEST_F(CommandLineTest, FixedDepthSizesTheHashTable) {
  ASSERT_TRUE(parse({"-d", "5"}));
  apply_fixed_limit_hash(line);
  EXPECT_EQ(Options.Hash, 1);
  EXPECT_EQ(Control.limits.limitKind, LIMIT_FIXED);
  EXPECT_FLOAT_EQ(Control.limits.timePerMove, 10000.0f);
  ASSERT_TRUE(parse({"-d", "10"}));
  apply_fixed_limit_hash(line);
  EXPECT_EQ(Options.Hash, 8);
  ASSERT_TRUE(parse({"-hash", "16", "-d", "20"}));
  apply_fixed_limit_hash(line);
  EXPECT_EQ(Options.Hash, 16);  // deep searches keep the setting
  ASSERT_TRUE(parse({"-hash", "256", "-t", "2.5"}));  // no fixed limit: the setting stands
  apply_fixed_limit_hash(line);
  EXPECT_EQ(Options.Hash, 256);
  EXPECT_FLOAT_EQ(Control.limits.timePerMove, 2.5f);
}

TEST_F(CommandLineTest, NodeLimitSizesTheHashTable) {
  ASSERT_TRUE(parse({"-n", "100000"}));
  apply_fixed_limit_hash(line);
  EXPECT_EQ(Options.Hash, 4);
  EXPECT_EQ(Control.limits.nodeLimit, 100000u);
  EXPECT_FLOAT_EQ(Control.limits.timePerMove, 1000.0f);
  ASSERT_TRUE(parse({"-n", "1000000000"}));
  apply_fixed_limit_hash(line);
  EXPECT_EQ(Options.Hash, 64);
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
