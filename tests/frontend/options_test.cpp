// The option handler, the "setoption" words, the "uci" option list and the
// configuration file, run in-process so the settings can be inspected.
#include "frontend/options.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "board/bitboard.h"
#include "dialogue.h"
#include "frontend/control.h"
#include "frontend/game.h"
#include "frontend/optionset.h"
#include "frontend/uci.h"
#include "search/tt.h"

namespace {

using Lines = std::vector<std::string>;

class OptionsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    set_default_options(Options);
    set_control_defaults(Control);
    Options.Hash = 1;
    testing::internal::CaptureStdout();
    bool allocated = tt_allocate();
    testing::internal::GetCapturedStdout();
    ASSERT_TRUE(allocated);
    OptionDefaults = Options;
  }
  void TearDown() override { tt_free(); }

  // What set_option printed.
  static std::string set(const char* name, const char* value) {
    testing::internal::CaptureStdout();
    set_option(name, value);
    return testing::internal::GetCapturedStdout();
  }
  static std::string command(const std::string& args) {
    testing::internal::CaptureStdout();
    setoption_command(args.c_str());
    return testing::internal::GetCapturedStdout();
  }
  static Lines option_lines() {
    testing::internal::CaptureStdout();
    print_options();
    return lines_of(testing::internal::GetCapturedStdout());
  }
  static std::string line_of(const std::string& option) {
    for (const std::string& line : option_lines())
      if (line.rfind("option name " + option + " ", 0) == 0) return line;
    return "";
  }
  static void search_runs() { Control.state.store(STATE_SEARCHING); }
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

TEST_F(OptionsTest, ThreadsAreClampedAndBecomeActive) {
  EXPECT_EQ(set("Threads", "0"), "info string Threads set to 1\n");
  EXPECT_EQ(set("Threads", "500"), "info string Threads set to 160\n");
  EXPECT_EQ(Options.Threads, 160);
  EXPECT_EQ(Control.activeThreads, 160);
  set("Threads", "4");
  EXPECT_EQ(Options.Threads, 4);
  EXPECT_EQ(Control.activeThreads, 4);
}

TEST_F(OptionsTest, OnlyTheLowerCaseWordSwitchesOn) {
  EXPECT_EQ(set("Ponder", "True"), "info string Ponder set to 0\n");
  EXPECT_EQ(Options.Ponder, 0);
  EXPECT_EQ(set("OwnBook", "true"), "info string OwnBook set to 1\n");
  EXPECT_EQ(Options.OwnBook, 1);
  set("OwnBook", "false");
  EXPECT_EQ(Options.OwnBook, 0);
  set("UCI_LimitStrength", "true");
  EXPECT_EQ(Options.UCI_LimitStrength, 1);
  // Switches kept outside the option record.
  EXPECT_EQ(set("Use_NN_eval", "false"), "info string Use_NN_eval set to 0\n");
  EXPECT_EQ(Control.useNN, 0);
  set("Use_NN_eval", "true");
  EXPECT_EQ(Control.useNN, 1);
  EXPECT_EQ(set("UCI_Chess960", "true"), "info string UCI_Chess960 set to 1\n");
  EXPECT_EQ(Control.chess960, 1);
}

struct ClampCase {
  const char* name;
  const char* value;
  int expected;
  int16_t EngineOptions::*field;
};

TEST_F(OptionsTest, NumbersAreClampedToTheirRanges) {
  const ClampCase cases[] = {
      {"MoveOverhead", "9999", 5000, &EngineOptions::MoveOverhead},
      {"MoveOverhead", "-1", 0, &EngineOptions::MoveOverhead},
      {"Contempt", "-200", -150, &EngineOptions::Contempt},
      {"Contempt", "151", 150, &EngineOptions::Contempt},
      {"Selectivity", "300", 200, &EngineOptions::Selectivity},
      {"MultiPV", "0", 1, &EngineOptions::MultiPV},
      {"MultiPV", "256", 255, &EngineOptions::MultiPV},
      {"OwnBook_Variety", "101", 100, &EngineOptions::OwnBook_Variety},
      {"OwnBook_Depth", "61", 60, &EngineOptions::OwnBook_Depth},
      {"OwnBook2_Depth", "-1", 0, &EngineOptions::OwnBook2_Depth},
      {"SyzygyProbeDepth6", "-6", -5, &EngineOptions::SyzygyProbeDepth6},
      {"SyzygyProbeDepth6", "101", 100, &EngineOptions::SyzygyProbeDepth6},
      {"UCI_Elo", "1000", 1500, &EngineOptions::UCI_Elo},
      {"UCI_Elo", "99999999999999999999", 3300, &EngineOptions::UCI_Elo},
  };
  for (const ClampCase& c : cases) {
    EXPECT_EQ(set(c.name, c.value), "info string " + std::string(c.name) + " set to " +
                                        std::to_string(c.expected) + "\n");
    EXPECT_EQ(Options.*c.field, c.expected) << c.name << " " << c.value;
  }
}

TEST_F(OptionsTest, NamesMustMatchExactly) {
  EXPECT_EQ(set("hash", "16"), "");
  EXPECT_EQ(set("Hash ", "16"), "");
  EXPECT_EQ(set("MultiPv", "3"), "");
  EXPECT_EQ(set("", ""), "");
  EXPECT_EQ(Options.Hash, 1);
  EXPECT_EQ(Options.MultiPV, 1);
}

TEST_F(OptionsTest, TextSettingsAreStoredAndCutToTheirFields) {
  EXPECT_EQ(set("OwnBook_File", "book.bin"), "info string OwnBook_File set to 'book.bin'\n");
  EXPECT_STREQ(Options.OwnBook_File, "book.bin");
  EXPECT_EQ(set("OwnBook2_File", "b2.bin"), "info string OwnBook2_File set to 'b2.bin'\n");
  EXPECT_STREQ(Options.OwnBook2_File, "b2.bin");
  EXPECT_EQ(set("SyzygyPath", "/tb"),
            "info string SyzygyPath set to '/tb'\ninfo string found 0 tablebases\n");
  EXPECT_STREQ(Options.SyzygyPath, "/tb");
  std::string longPath(300, 'p');
  set("SyzygyPath", longPath.c_str());
  EXPECT_EQ(std::string(Options.SyzygyPath), std::string(PATH_FIELD_SIZE - 1, 'p'));
}

TEST_F(OptionsTest, ClearHashEmptiesTheTableUnlessASearchRuns) {
  ttTable[5].depth.store(9);
  EXPECT_EQ(set("Clear_Hash", ""), "info string Hash table cleared\n");
  EXPECT_EQ(ttTable[5].depth.load(), 0);
  ttTable[5].depth.store(9);
  search_runs();
  EXPECT_EQ(set("Clear_Hash", ""), "");
  EXPECT_EQ(ttTable[5].depth.load(), 9);
}

TEST_F(OptionsTest, SettingsThatDisturbASearchAreRefusedWhileItRuns) {
  search_runs();
  EXPECT_EQ(set("Hash", "2"), "");
  EXPECT_EQ(set("Threads", "3"), "");
  EXPECT_EQ(set("ConfigFilePath", "x.cfg"), "");
  EXPECT_EQ(Options.Hash, 1);
  EXPECT_EQ(ttEntries, 65536u);
  EXPECT_EQ(Control.activeThreads, 1);
  EXPECT_STREQ(Options.ConfigFilePath, "");
  // The others take effect at the next search.
  EXPECT_EQ(set("MultiPV", "3"), "info string MultiPV set to 3\n");
  Control.state.store(STATE_SEARCHING | STATE_FINISHED);  // answer not printed yet
  EXPECT_EQ(set("Hash", "2"), "");
}

TEST(SetoptionWords, NameAndValue) {
  struct Case {
    std::string args;
    bool ok;
    std::string name, value;
  } cases[] = {
      {"name Hash value 16", true, "Hash", "16"},
      {"name   My Option   value    a b  ", true, "My Option", "a b  "},
      {"name Hash value", true, "Hash", ""},
      {"name Clear_Hash   ", true, "Clear_Hash", ""},  // a button has no value
      // Keywords inside file names are text.
      {"name NN_File value /nets/valuename.nn", true, "NN_File", "/nets/valuename.nn"},
      {"name OwnBook_File value my name value.bin", true, "OwnBook_File", "my name value.bin"},
      // Long words are cut to their fields.
      {"name " + std::string(150, 'n') + " value " + std::string(300, 'v'), true, std::string(100, 'n'),
       std::string(200, 'v')},
      {"", false, "", ""},
      {"name", false, "", ""},
      {"name   ", false, "", ""},
      {"Hash value 16", false, "", ""},
      {"value 16 name Hash", false, "", ""},
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

TEST_F(OptionsTest, OptionListShowsTheDefaultsCopy) {
  Options.OwnBook = 1;
  Options.Hash = 16;
  EXPECT_EQ(line_of("OwnBook"), "option name OwnBook type check default false");
  EXPECT_EQ(line_of("Hash"), "option name Hash type spin default 1 min 0 max 32768");
  command("name OwnBook value true");
  EXPECT_EQ(line_of("OwnBook"), "option name OwnBook type check default true");
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
  // Text values lose their comments and line ends.
  load(write("b.cfg", "OwnBook_File=x.bin   # the main book\r\nSyzygyPath=/tb\r\n"));
  EXPECT_STREQ(Options.OwnBook_File, "x.bin");
  EXPECT_STREQ(Options.SyzygyPath, "/tb");
}

TEST_F(ConfigTest, MarksParametersAndReportsTheSettingsAsDefaults) {
  Options.paramsChanged = 0;
  load(write("a.cfg", "Contempt=9\n"));
  EXPECT_EQ(Options.paramsChanged, 1);
  EXPECT_EQ(OptionDefaults.Contempt, 9);
}

TEST_F(ConfigTest, GarbageDoesNoHarm) {
  std::string junk;
  for (int i = 0; i < 5000; i++) junk += char((i * 7919) % 256);
  int result = 0;
  load(write("a.cfg", junk + "\n=\n==\n=5\nHash\n"), &result);
  EXPECT_EQ(result, 1);
  EXPECT_EQ(Options.Hash, 1);
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

TEST_F(ConfigTest, DeepChainsEnd) {
  // A chain of distinct files, none met twice: only the nesting depth
  // ends it.
  const int files = MAX_CONFIG_NESTING + 2;
  for (int i = 0; i < files; i++) {
    std::string number = std::to_string(i), nextNumber = std::to_string(i + 1);
    std::string text = std::string("Contempt=") + number + "\nConfigFilePath=" + dir + "/c" +
                       nextNumber + ".cfg\n";
    write(std::string("c") + number + ".cfg", text);
  }
  std::string out = load(dir + "/c0.cfg");
  EXPECT_EQ(count_of(out, "loading parameters"), MAX_CONFIG_NESTING) << out;
  EXPECT_EQ(count_of(out, "nest deeper"), 1) << out;
  EXPECT_EQ(Options.Contempt, MAX_CONFIG_NESTING - 1);
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
