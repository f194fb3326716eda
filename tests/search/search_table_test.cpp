// The node search with the transposition table in use: root entries and
// their moves, and a stopped search leaves no entries for the nodes it
// abandoned.
#include "board/fen.h"
#include "search/search.h"
#include "search/tt.h"
#include "search_fixture.h"

namespace {

constexpr int SMALL_TABLE_MB = 1;

class SearchTableTest : public SearchTest {
 protected:
  void SetUp() override {
    SearchTest::SetUp();
    Options.Hash = SMALL_TABLE_MB;
    ASSERT_TRUE(tt_allocate());
    Control.ttInUse = 1;
  }
  void TearDown() override {
    tt_free();
    SearchTest::TearDown();
  }
};

// A node limit stops the whole tree at once: the node that crossed it was
// the last one entered.
TEST_F(SearchTableTest, StoppedNodesStoreNothing) {
  set("r1bq1rk1/ppp2ppp/2np1n2/2b1p3/2B1P3/2NP1N2/PPP2PPP/R1BQ1RK1 w - - 0 7");
  constexpr uint64_t LIMIT = 2000;
  t->nodeLimit = LIMIT;
  t->rootDepthDone = 2;  // the limit applies once a best move exists
  EXPECT_EQ(search_root(10), 0);
  ASSERT_EQ(Control.stop.load(), 1);
  EXPECT_EQ(t->nodes, LIMIT + 1);
  TTHit hit;
  EXPECT_FALSE(tt_probe(t->pos, 1, hit));
}

// Root entries with the best move: an exact score for a quiet root
// deepened to 5; mate in one as a fail-high, since mate on the next ply is
// the best any move can do and the mate-distance window closed beta there.
TEST_F(SearchTableTest, RootIsStoredWithItsBestMove) {
  struct Case { const char* fen; int depth; const char* move; int bound; } cases[] = {
      {"r1bq1rk1/ppp2ppp/2np1n2/2b1p3/2B1P3/2NP1N2/PPP2PPP/R1BQ1RK1 w - - 0 7", 5, nullptr, BOUND_EXACT},
      {"6k1/5ppp/8/8/8/8/5PPP/R5K1 w - - 0 1", 3, "a1a8", BOUND_LOWER},
  };
  for (const Case& c : cases) {
    set(c.fen);
    int score = deepen(c.depth);
    TTHit hit;
    ASSERT_TRUE(tt_probe(t->pos, 1, hit)) << c.fen;
    EXPECT_EQ(hit.move, c.move ? parse(c.move) : pv[1]) << c.fen;
    EXPECT_EQ(hit.score, c.move ? MATE - 2 : score) << c.fen;
    EXPECT_EQ(hit.depth, c.depth) << c.fen;
    EXPECT_EQ(hit.bound, c.bound) << c.fen;
  }
}

}  // namespace
