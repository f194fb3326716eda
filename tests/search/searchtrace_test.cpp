// The search trace file: the moves within the trace depth, per iteration.
#include "search/searchtrace.h"

#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "search_fixture.h"

namespace {

// White's only legal move is h4h5: the king on a1 has no square.
constexpr const char* ONE_MOVE = "7k/8/8/8/7P/8/2q5/K7 w - - 0 1";

// The file is written to the working directory: the test runs in one of
// its own.
TEST_F(SearchTest, TraceWritesTheMovesWithinItsDepthPerIteration) {
  namespace fs = std::filesystem;
  char dir[] = "/tmp/zerv-trace-XXXXXX";
  ASSERT_NE(mkdtemp(dir), nullptr);
  fs::path home = fs::current_path();
  fs::current_path(dir);
  Control.traceDepth = 1;
  set(ONE_MOVE);
  for (int iteration : {3, 4}) {
    Control.mainDepth.store(iteration);
    search_root(2);
  }
  trace_close();
  std::stringstream text;
  text << std::ifstream("trace.txt").rdbuf();
  fs::current_path(home);
  fs::remove_all(dir);
  // The ply record's depth, then the move; a move no deeper than the
  // previous entry starts a new line.
  EXPECT_EQ(text.str(), "\n\nSEARCH DEPTH= 3\n( 2)h4h5 \n\nSEARCH DEPTH= 4\n\n( 2)h4h5 ");
}

}  // namespace
