// The operating-system layer: each call checked for what the engine
// relies on.
#include "platform/platform.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

std::string temp_path(const char* name) {
  char dir[] = "/tmp/zerv-platform-XXXXXX";
  const char* made = mkdtemp(dir);
  return std::string(made ? made : "/tmp") + "/" + name;
}

void write_text(const std::string& path, const std::string& text) {
  std::FILE* f = std::fopen(path.c_str(), "wb");
  ASSERT_NE(f, nullptr);
  std::fwrite(text.data(), 1, text.size(), f);
  std::fclose(f);
}

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

// Now and then gives the time slice away inside the critical section, so a
// lock that does not exclude shows up as lost updates.
void maybe_yield(long i) {
  if ((i & 63) == 0) yield_thread();
}

struct Counter {
  SpinLock lock;
  long value;
  long rounds;
};

void add_under_spin_lock(void* raw) {
  auto* c = static_cast<Counter*>(raw);
  for (long i = 0; i < c->rounds; i++) {
    spin_lock(c->lock);
    long v = c->value;  // a read-modify-write that races without the lock
    maybe_yield(i);
    c->value = v + 1;
    spin_unlock(c->lock);
  }
}

TEST(Platform, SpinLockMakesUpdatesExclusive) {
  constexpr int THREADS = 4;
  Counter counter{};
  ASSERT_EQ(init_spin_lock(counter.lock), 0);
  counter.rounds = 4000;
  ThreadHandle handles[THREADS];
  for (auto& h : handles) ASSERT_TRUE(start_thread(h, add_under_spin_lock, &counter));
  for (auto& h : handles) EXPECT_TRUE(join_thread(h));
  EXPECT_EQ(counter.value, THREADS * counter.rounds);
}

struct Flag {
  std::atomic<int> set;
};

void raise_flag(void* raw) { static_cast<Flag*>(raw)->set.store(1); }

void add_under_process_mutex(void* raw) {
  auto* c = static_cast<Counter*>(raw);
  for (long i = 0; i < c->rounds; i++) {
    lock_process_mutex();
    long v = c->value;
    maybe_yield(i);
    c->value = v + 1;
    unlock_process_mutex();
  }
}

TEST(Platform, MapsAWholeFileReadOnly) {
  std::string path = temp_path("mapped.bin");
  std::string content(100000, 'z');
  content[0] = 'a';
  content.back() = 'q';
  write_text(path, content);
  MappedFile file{};
  ASSERT_TRUE(map_file(path.c_str(), file));
  ASSERT_EQ(file.size, content.size());
  EXPECT_EQ(std::memcmp(file.data, content.data(), content.size()), 0);
  unmap_file(file);
  EXPECT_EQ(file.data, nullptr);
  EXPECT_EQ(file.size, 0u);
  // Missing or empty files are not mapped.
  EXPECT_FALSE(map_file("/nonexistent/zerv/file.rtbw", file));
  EXPECT_EQ(file.data, nullptr);
  std::string empty = temp_path("empty.bin");
  write_text(empty, "");
  EXPECT_FALSE(map_file(empty.c_str(), file));
}

TEST(Platform, HeldFileIsInUse) {
  std::string path = temp_path("held.log");
  std::FILE* f = std::fopen(path.c_str(), "w");
  ASSERT_NE(f, nullptr);
  EXPECT_FALSE(file_in_use(path.c_str()));
  ASSERT_TRUE(hold_file(f));
  EXPECT_TRUE(file_in_use(path.c_str()));
  std::fclose(f);
  EXPECT_FALSE(file_in_use(path.c_str()));
}

}  // namespace
