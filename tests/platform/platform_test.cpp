// The operating-system layer: the non-blocking input and the log lock,
// checked for what the engine relies on (threads and locks run under the
// threaded search tests, file maps under the tablebase tests).
#include "platform/platform.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <string>

#include "../frontend/dialogue.h"

namespace {

// Runs a check with standard input replaced by a fresh pipe.
class StdinPipe : public ::testing::Test {
 protected:
  void SetUp() override {
    savedStdin = dup(0);
    ASSERT_EQ(pipe(fds), 0);
    dup2(fds[0], 0);
    close(fds[0]);
  }
  void TearDown() override {
    if (fds[1] >= 0) close(fds[1]);
    dup2(savedStdin, 0);
    close(savedStdin);
  }
  int savedStdin = -1;
  int fds[2] = {-1, -1};
};

// Nothing waiting returns at once; waiting bytes are read within the
// buffer's capacity; a closed writer is the end of input after the last
// bytes, for good.
TEST_F(StdinPipe, ReadsWhatIsWaitingThenTheEndOfInput) {
  char small[8];
  EXPECT_EQ(read_input(small, sizeof small), INPUT_NONE_WAITING);
  ASSERT_EQ(write(fds[1], "isready\nquit\n", 13), 13);
  EXPECT_EQ(read_input(small, sizeof small), 8);
  EXPECT_EQ(std::string(small, 8), "isready\n");
  EXPECT_EQ(read_input(small, sizeof small), 5);
  EXPECT_EQ(read_input(small, sizeof small), INPUT_NONE_WAITING);
  ASSERT_EQ(write(fds[1], "quit", 4), 4);
  close(fds[1]);
  fds[1] = -1;
  char buffer[16];
  EXPECT_EQ(read_input(buffer, sizeof buffer), 4);
  EXPECT_EQ(read_input(buffer, sizeof buffer), INPUT_CLOSED);
  EXPECT_EQ(read_input(buffer, sizeof buffer), INPUT_CLOSED);  // stays ended
}

TEST(Platform, HeldFileIsInUse) {
  std::string path = make_temp_dir() + "/held.log";
  std::FILE* f = std::fopen(path.c_str(), "w");
  ASSERT_NE(f, nullptr);
  EXPECT_FALSE(file_in_use(path.c_str()));
  ASSERT_TRUE(hold_file(f));
  EXPECT_TRUE(file_in_use(path.c_str()));
  std::fclose(f);
  EXPECT_FALSE(file_in_use(path.c_str()));
}

}  // namespace
