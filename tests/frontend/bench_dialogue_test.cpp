// The benchmark through the built binary: its lines, its depth, and the
// node count that makes it a signature of the search.
#include <gtest/gtest.h>

#include <regex>
#include <string>

#include "dialogue.h"

namespace {

constexpr int POSITIONS = 20;

// The lines from the benchmark header on.
std::vector<std::string> bench_lines(const Dialogue& d) {
  std::vector<std::string> lines = lines_of(d.output);
  for (size_t i = 0; i < lines.size(); i++)
    if (lines[i].find("running benchmark") != std::string::npos)
      return std::vector<std::string>(lines.begin() + long(i), lines.end());
  return {};
}

std::string total_nodes(const Dialogue& d) {
  std::smatch m;
  static const std::regex total(R"(total time= \d+\.\d\d seconds, nodes= (\d+), nps= \d+)");
  return std::regex_search(d.output, m, total) ? std::string(m[1]) : "";
}

TEST(BenchDialogue, PrintsTheHeaderTwentyPositionsAndTheTotal) {
  Dialogue d = run_engine({"-threads", "2", "-d", "4", "-bench"}, "");
  EXPECT_EQ(d.exitStatus, 0);
  std::vector<std::string> lines = bench_lines(d);
  ASSERT_EQ(lines.size(), size_t(POSITIONS + 2)) << d.output;
  EXPECT_EQ(lines[0], "Zerv 5.50 running benchmark using 2 threads");
  std::regex pos(R"(pos (..): +\d+\.\d\d seconds)");
  for (int i = 0; i < POSITIONS; i++) {
    std::smatch m;
    ASSERT_TRUE(std::regex_match(lines[i + 1], m, pos)) << lines[i + 1];
    EXPECT_EQ(std::stoi(m[1]), i);
  }
  EXPECT_FALSE(total_nodes(d).empty()) << lines.back();
  EXPECT_EQ(d.output.find("info depth"), std::string::npos) << "no progress lines";
}

TEST(BenchDialogue, SameNodeCountOnEveryRunAndOnTheMainThread) {
  std::string first = total_nodes(run_engine({"-d", "6", "-bench"}, ""));
  ASSERT_FALSE(first.empty());
  EXPECT_EQ(total_nodes(run_engine({"-d", "6", "-bench"}, "")), first);
  EXPECT_EQ(total_nodes(run_engine({"-d", "6", "-pbench"}, "")), first);
  std::string five = total_nodes(run_engine({"-d", "5", "-bench"}, ""));
  ASSERT_FALSE(five.empty());
  EXPECT_GT(std::stoll(first), std::stoll(five)) << "deeper searches more nodes";
}

}  // namespace
