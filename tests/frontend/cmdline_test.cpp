// The command-line reader, the option handler and the configuration file,
// run in-process so the settings they write can be inspected directly.
#include "frontend/cmdline.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "../search/search_fixture.h"
#include "board/bitboard.h"
#include "dialogue.h"
#include "core/control.h"
#include "core/game.h"
#include "frontend/gamemoves.h"
#include "core/options.h"
#include "frontend/optionset.h"
#include "frontend/ucicommands.h"
#include "search/tt.h"

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

// "bench [depth]" (OpenBench's form) is the -bench benchmark; without a
// depth it searches to depth 13 unless -d, before or after, names one; a
// depth given to it follows -d's rules (hash sized to it).
TEST_F(CommandLineTest, BenchWordWithAndWithoutDepth) {
  struct Case { std::vector<std::string> args; int depth, hash; } cases[] = {
      {{"bench"}, 13, 64},
      {{"bench", "7"}, 7, 1},
      {{"bench", "10"}, 10, 8},
      {{"-d", "6", "bench"}, 6, 1},
      {{"bench", "-d", "6"}, 6, 1},
      {{"bench", "-threads", "2"}, 13, 64},
      {{"bench", "x"}, 13, 64},
  };
  for (const Case& c : cases) {
    ASSERT_TRUE(parse(c.args));
    apply_fixed_limit_hash(line);
    EXPECT_EQ(Control.runMode, MODE_BENCH) << c.args.size();
    EXPECT_FALSE(Control.pbench);
    EXPECT_EQ(Control.limits.maxDepth, c.depth) << c.args.back();
    EXPECT_EQ(Control.limits.limitKind, LIMIT_FIXED);
    EXPECT_EQ(Options.Hash, c.hash) << c.args.back();
  }
  EXPECT_EQ(Options.Threads, 1);  // "x" was no depth, and no option either
}

// --------------------------------------------------------------- strength
// ---------------------------------------------------------------- options
// The option handler, the "setoption" words and the configuration file,
// run in-process so the settings can be inspected.

class OptionsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    set_default_options(Options);
    set_control_defaults(Control);
    Options.Hash = 1;
    bool allocated = false;
    captured_output([&] { allocated = tt_allocate(); });
    ASSERT_TRUE(allocated);
    OptionDefaults = Options;
  }
  void TearDown() override { tt_free(); }

  // What set_option printed.
  static std::string set(const char* name, const char* value) {
    return captured_output([&] { set_option(name, value); });
  }
  static std::string command(const std::string& args) {
    return captured_output([&] { setoption_command(args.c_str()); });
  }
};

TEST_F(OptionsTest, HashChangeAllocatesAnewOnlyForANewSize) {
  EXPECT_EQ(set("Hash", "2"),
            "info string Hash set to 2\ninfo string allocated 2 Mbytes for hash table\n");
  EXPECT_EQ(ttEntries, 2u * 65536u);
  EXPECT_EQ(set("Hash", "2"), "info string Hash set to 2\n");
  EXPECT_EQ(set("Hash", "-7"),
            "info string Hash set to 0\ninfo string allocated 0 Mbytes for hash table\n");
  EXPECT_EQ(ttEntries, 0u);
  // Pretend the largest table is already there: the test must not take 32 GB.
  Control.hashSize = 32768;
  EXPECT_EQ(set("Hash", "100000"), "info string Hash set to 32768\n");
  EXPECT_EQ(Options.Hash, 32768);
}

// Option names in any case (the UCI protocol says names are not case
// sensitive), reported as "uci" lists them; otherwise the name must be
// the option's. Only the lower-case "true" switches on.
TEST_F(OptionsTest, SpellingsOfNamesAndSwitches) {
  EXPECT_EQ(set("Ponder", "True"), "info string Ponder set to 0\n");
  EXPECT_EQ(set("OwnBook", "true"), "info string OwnBook set to 1\n");
  EXPECT_EQ(Options.Ponder + Options.OwnBook, 1);
  EXPECT_EQ(set("Use_NN_eval", "false"), "info string Use_NN_eval set to 0\n");
  EXPECT_EQ(Control.useNN, 0);
  EXPECT_EQ(set("use_nn_EVAL", "true"), "info string Use_NN_eval set to 1\n");
  EXPECT_EQ(Control.useNN, 1);
  EXPECT_EQ(set("multipv", "3"), "info string MultiPV set to 3\n");
  EXPECT_EQ(set("MOVEOVERHEAD", "70"), "info string MoveOverhead set to 70\n");
  EXPECT_EQ(set("threads", "2"), "info string Threads set to 2\n");
  EXPECT_EQ(set("ownbook_file", "x.bin"), "info string OwnBook_File set to 'x.bin'\n");
  EXPECT_EQ(Options.MultiPV + Options.MoveOverhead + Options.Threads, 75);
  EXPECT_STREQ(Options.OwnBook_File, "x.bin");
  for (const char* name : {"Hash ", "Hash2", "Has", "Move Overhead", "MultiPV_", ""})
    EXPECT_EQ(set(name, "16"), "") << name;
  EXPECT_EQ(Options.Hash + Options.MultiPV, 4);
}

TEST_F(OptionsTest, NumbersAreClampedToTheirRanges) {
  struct Case { const char* name; const char* value; int expected; int16_t EngineOptions::*field; } cases[] = {
      {"MoveOverhead", "9999", 5000, &EngineOptions::MoveOverhead},
      {"Contempt", "-200", -150, &EngineOptions::Contempt},
      {"Selectivity", "300", 200, &EngineOptions::Selectivity},
      {"MultiPV", "0", 1, &EngineOptions::MultiPV},
      {"MultiPV", "256", 255, &EngineOptions::MultiPV},
      {"OwnBook_Variety", "101", 100, &EngineOptions::OwnBook_Variety},
      {"SyzygyProbeDepth6", "-6", -5, &EngineOptions::SyzygyProbeDepth6},
      {"UCI_Elo", "1000", 1500, &EngineOptions::UCI_Elo},
      {"UCI_Elo", "99999999999999999999", 3300, &EngineOptions::UCI_Elo},
      {"Threads", "0", 1, &EngineOptions::Threads},
      {"Threads", "500", 160, &EngineOptions::Threads},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(set(c.name, c.value), "info string " + std::string(c.name) + " set to " +
                                        std::to_string(c.expected) + "\n");
    EXPECT_EQ(Options.*c.field, c.expected) << c.name << " " << c.value;
  }
  EXPECT_EQ(Control.activeThreads, 160) << "the threads set become active";
}

TEST(SetoptionWords, NameAndValue) {
  struct Case { std::string args; bool ok; std::string name, value; } cases[] = {
      {"name Hash value 16", true, "Hash", "16"},
      {"name   My Option   value    a b  ", true, "My Option", "a b  "},
      {"name Clear_Hash   ", true, "Clear_Hash", ""},  // a button has no value
      // Keywords inside file names are text.
      {"name NN_File value /nets/valuename.nn", true, "NN_File", "/nets/valuename.nn"},
      // Long words are cut to their fields.
      {"name " + std::string(150, 'n') + " value " + std::string(300, 'v'), true, std::string(100, 'n'),
       std::string(200, 'v')},
      {"", false, "", ""},
      {"Hash value 16", false, "", ""},
      {"name value 16", false, "", ""},
  };
  for (const Case& c : cases) {
    char name[OPTION_NAME_SIZE] = "", value[OPTION_VALUE_SIZE] = "";
    ASSERT_EQ(parse_setoption(c.args.c_str(), name, value), c.ok) << c.args;
    if (c.ok) {
      EXPECT_EQ(name, c.name) << c.args;
      EXPECT_EQ(value, c.value) << c.args;
    }
  }
}

// Configuration files in a fresh directory.
class ConfigTest : public OptionsTest {
 protected:
  std::string write(const std::string& file, const std::string& text) {
    std::string path = dir + "/" + file;
    std::ofstream(path, std::ios::binary) << text;
    return path;
  }
  std::string load(const std::string& path, int* result = nullptr) {
    std::snprintf(Options.ConfigFilePath, sizeof Options.ConfigFilePath, "%s", path.c_str());
    testing::internal::CaptureStdout();
    int r = load_config();
    if (result) *result = r;
    return testing::internal::GetCapturedStdout();
  }
  std::string dir = make_temp_dir();
};

TEST_F(ConfigTest, LinesOfNameEqualsValue) {
  std::string path = write("a.cfg",
                           "Hash=2\n Hash=3\nContempt=20 # comment\nSelectivity  =50\n"
                           "MultiPV=   3\n#Threads=5\nThreads 6\nab\n");
  int result = 0;
  std::string out = load(path, &result);
  EXPECT_EQ(result, 1);
  EXPECT_EQ(out, "info string loading parameters from " + path +
                     "\ninfo string Hash set to 2\ninfo string allocated 2 Mbytes for hash table\n"
                     "info string Contempt set to 20\ninfo string Selectivity set to 50\n"
                     "info string MultiPV set to 3\n");
  EXPECT_EQ(Options.Hash, 2);
  EXPECT_EQ(Options.Threads, 1);
  // Names in any case, as in "setoption".
  out = load(write("c.cfg", "hash=3\nTHREADS=2\nmultiPV=4\n"));
  EXPECT_EQ(out, "info string loading parameters from " + dir + "/c.cfg\ninfo string Hash set to 3\n"
                 "info string allocated 3 Mbytes for hash table\ninfo string Threads set to 2\n"
                 "info string MultiPV set to 4\n");
  EXPECT_EQ(Options.Hash + Options.Threads + Options.MultiPV, 9);
  // Text values lose their comments and line ends.
  load(write("b.cfg", "OwnBook_File=x.bin   # the main book\r\nSyzygyPath=/tb\r\n"));
  EXPECT_STREQ(Options.OwnBook_File, "x.bin");
  EXPECT_STREQ(Options.SyzygyPath, "/tb");
}

TEST_F(ConfigTest, FileNamingItselfIsLoadedOnce) {
  std::string path = dir + "/self.cfg";
  write("self.cfg", "Contempt=7\nConfigFilePath=" + path + "\nMultiPV=3\n");
  std::string out = load(path);
  EXPECT_EQ(count_of(out, "loading parameters"), 1) << out;
  EXPECT_EQ(count_of(out, "info string " + path + " is already being loaded"), 1) << out;
  EXPECT_EQ(Options.Contempt, 7);
  EXPECT_EQ(Options.MultiPV, 3);
}

TEST_F(ConfigTest, SetoptionLoadsTheFileAtOnce) {
  std::string path = write("a.cfg", "MultiPV=5\n");
  std::string out = command("name ConfigFilePath value " + path);
  EXPECT_EQ(out, "info string ConfigFilePath set to '" + path +
                     "'\ninfo string loading parameters from " + path +
                     "\ninfo string MultiPV set to 5\n");
  EXPECT_EQ(OptionDefaults.MultiPV, 5);
}

class NewGameTest : public OptionsTest {
 protected:
  static void SetUpTestSuite() {
    init_board_tables();
    if (!Game) {
      ASSERT_TRUE(allocate_game());
    }
  }
};

TEST_F(NewGameTest, NewGameEmptiesTheTableAndStartsTheGenerationsAgain) {
  ttTable[5].depth.store(9);
  Control.ttAge = 12;
  uci_command("ucinewgame");
  EXPECT_EQ(ttTable[5].depth.load(), 0);
  EXPECT_EQ(Control.ttAge, 0);
}

}  // namespace
