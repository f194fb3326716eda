// The search trace file.
#include "search/searchtrace.h"

#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

#include "board/makemove.h"
#include "search/search.h"
#include "search_fixture.h"

namespace {

// White's only legal move is h4h5: the king on a1 has no square.
constexpr const char* ONE_MOVE = "7k/8/8/8/7P/8/2q5/K7 w - - 0 1";

class SearchTraceTest : public SearchTest {
 protected:
  void SetUp() override {
    SearchTest::SetUp();
    char pattern[] = "/tmp/zerv-trace-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    dir = pattern;
    ASSERT_NE(getcwd(home, sizeof home), nullptr);
    ASSERT_EQ(chdir(dir.c_str()), 0);
  }
  void TearDown() override {
    trace_close();
    Control.mainDepth.store(0);
    std::remove((dir + "/trace.txt").c_str());
    EXPECT_EQ(chdir(home), 0);
    rmdir(dir.c_str());
    SearchTest::TearDown();
  }
  std::string trace_text() {
    trace_close();
    std::ifstream in(dir + "/trace.txt");
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
  }
  std::string dir;
  char home[4096];
};

TEST_F(SearchTraceTest, MovesWithinTheTraceDepthAreWrittenPerIteration) {
  Control.traceDepth = 1;
  set(ONE_MOVE);
  Control.mainDepth.store(3);
  search_root(2);
  Control.mainDepth.store(4);
  search_root(2);
  // The ply record's depth, then the move; a move no deeper than the
  // previous entry starts a new line.
  EXPECT_EQ(trace_text(), "\n\nSEARCH DEPTH= 3\n( 2)h4h5 \n\nSEARCH DEPTH= 4\n\n( 2)h4h5 ");
}

}  // namespace
