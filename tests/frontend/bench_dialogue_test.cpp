// The benchmark through the built binary: the node count that makes it a
// signature of the search.
#include <gtest/gtest.h>

#include <regex>
#include <string>

#include "dialogue.h"

namespace {

std::string total_nodes(const Dialogue& d) {
  std::smatch m;
  static const std::regex total(R"(total time= \d+\.\d\d seconds, nodes= (\d+), nps= \d+)");
  return std::regex_search(d.output, m, total) ? std::string(m[1]) : "";
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
