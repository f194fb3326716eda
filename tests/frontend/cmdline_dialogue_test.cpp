// Start-up through the built binary: exit statuses and the lines around
// them for the command-line options that end or shape the run.
#include <gtest/gtest.h>

#include <fstream>

#include "dialogue.h"

namespace {

const char* const HELLO = "info string Hello from Zerv 5.50";

TEST(CommandLineDialogue, TuneWithTooLargeRateEndsBeforeAnyGreeting) {
  Dialogue d = run_engine({"-tune", "x.epd", "0.01", "5"}, "");
  EXPECT_EQ(d.exitStatus, 1);
  EXPECT_EQ(d.output.find(HELLO), std::string::npos);
  EXPECT_EQ(d.output.find("make ttune"), std::string::npos);
}

TEST(CommandLineDialogue, TuneWithValidValuesNeedsTheTuningBuild) {
  Dialogue d = run_engine({"-tune", "x.epd", "0.001", "5"}, "");
  EXPECT_EQ(d.exitStatus, 1);
  EXPECT_EQ(lines_of(d.output), std::vector<std::string>{"Need to compile with 'make ttune'"});
}

TEST(CommandLineDialogue, TuneWithoutCountIsRefused) {
  Dialogue d = run_engine({"-tune2", "x.epd", "0.001"}, "");
  EXPECT_EQ(d.exitStatus, 1);
}

TEST(CommandLineDialogue, ToolsWithUnreadableInputEndQuietly) {
  std::string dir = make_temp_dir();
  for (auto args : std::vector<std::vector<std::string>>{
           {"-mktune1", "missing.epd"}, {"-scan_pgn3", "missing.pgn"}}) {
    Dialogue d = run_engine(args, "", dir);
    EXPECT_EQ(d.exitStatus, 0) << args[0];
    EXPECT_EQ(lines_of(d.output), startup_lines()) << args[0];
  }
  EXPECT_FALSE(std::ifstream(dir + "/tmp.epd").good());
  EXPECT_FALSE(std::ifstream(dir + "/tune_new.epd").good());
}

TEST(CommandLineDialogue, ToolsWithoutTheirInputFail) {
  for (auto args : std::vector<std::vector<std::string>>{
           {"-mkbook"}, {"-mktune1"}, {"-mktune2"}, {"-scan_pgn1"}, {"-mktraindata", "f.epd"}}) {
    Dialogue d = run_engine(args, "");
    EXPECT_EQ(d.exitStatus, 1) << args[0];
    EXPECT_EQ(d.output.find(HELLO), std::string::npos) << args[0];
  }
}

TEST(CommandLineDialogue, TrainingDataIsATuningMode) {
  Dialogue d = run_engine({"-mktraindata", "f.epd", "1000"}, "");
  EXPECT_EQ(d.exitStatus, 1);
  EXPECT_NE(d.output.find("Need to compile with 'make ttune'"), std::string::npos);
}

TEST(CommandLineDialogue, MkconfigStartsAndEndsCleanly) {
  Dialogue d = run_engine({"-mkconfig"}, "isready\n");
  EXPECT_EQ(d.exitStatus, 0);
  EXPECT_EQ(lines_of(d.output), startup_lines());
}

TEST(CommandLineDialogue, NpsPrintsTheMatchingElo) {
  Dialogue d = run_engine({"-nps", "1000000", "-mkconfig"}, "");
  EXPECT_EQ(d.exitStatus, 0);
  std::vector<std::string> expected = {"Elo= 3200"};
  expected.insert(expected.end(), startup_lines().begin(), startup_lines().end());
  EXPECT_EQ(lines_of(d.output), expected);
  d = run_engine({"-nps", "500000", "-mkconfig"}, "");
  EXPECT_EQ(lines_of(d.output).front(), "Elo= 3096");
}

TEST(CommandLineDialogue, OptionValueIsComparedWithTheOptionsBelow) {
  // "-bench" is taken as the configuration path and then still selects the
  // benchmark, because -bench comes after -cfg in the comparison order.
  Dialogue d = run_engine({"-d", "1", "-cfg", "-bench"}, "");
  EXPECT_EQ(d.exitStatus, 0);
  EXPECT_NE(d.output.find("Zerv 5.50 running benchmark using 1 threads"), std::string::npos);
  // "-c" comes before -o, so as the output file name it is only a name.
  d = run_engine({"-o", "-c"}, "uci\nquit\n");
  EXPECT_EQ(d.exitStatus, 0);
  EXPECT_NE(d.output.find("uciok"), std::string::npos);
}

TEST(CommandLineDialogue, UnknownArgumentsAreIgnored) {
  Dialogue d = run_engine({"-whatever", "17"}, "isready\nquit\n");
  EXPECT_EQ(d.exitStatus, 0);
  EXPECT_NE(d.output.find("readyok"), std::string::npos);
}

}  // namespace
