// Start-up through the built binary: exit statuses and the lines around
// them for the command-line options that end or shape the run.
#include <gtest/gtest.h>

#include "dialogue.h"

namespace {

const char* const HELLO = "info string Hello from Zerv 5.50";

// Options that end the run at once: tools without their input, tuning
// values out of range (before any greeting), the tuning modes.
TEST(CommandLineDialogue, RunsEndedByTheirOptions) {
  struct Case {
    std::vector<std::string> args;
    int status;
    std::string shown;  // "" when the greeting must not appear either
  } cases[] = {
      {{"-tune", "x.epd", "0.01", "5"}, 1, ""},
      {{"-tune", "x.epd", "0.001", "5"}, 1, "Need to compile with 'make ttune'\n"},
      {{"-mktraindata", "f.epd", "1000"}, 1, "Need to compile with 'make ttune'"},
      {{"-mkbook"}, 1, ""},
      {{"-mktraindata", "f.epd"}, 1, ""},
  };
  for (const Case& c : cases) {
    Dialogue d = run_engine(c.args, "");
    EXPECT_EQ(d.exitStatus, c.status) << c.args[0];
    if (c.shown.empty()) {
      EXPECT_EQ(d.output.find(HELLO), std::string::npos) << c.args[0];
      EXPECT_EQ(d.output.find("make ttune"), std::string::npos) << c.args[0];
    } else {
      EXPECT_NE(d.output.find(c.shown), std::string::npos) << d.output;
    }
  }
}

// The calibration's rating from a given speed, then the normal start-up.
TEST(CommandLineDialogue, MkconfigStartsAndEndsCleanly) {
  Dialogue d = run_engine({"-nps", "1000000", "-mkconfig"}, "");
  EXPECT_EQ(d.exitStatus, 0);
  std::vector<std::string> expected = {"Elo= 3200"};
  expected.insert(expected.end(), startup_lines().begin(), startup_lines().end());
  EXPECT_EQ(lines_of(d.output), expected);
  d = run_engine({"-nps", "500000", "-mkconfig"}, "");
  EXPECT_EQ(lines_of(d.output).front(), "Elo= 3096");
}

}  // namespace
