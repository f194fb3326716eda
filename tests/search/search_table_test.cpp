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

TEST_F(SearchTableTest, StoppedNodesStoreNothing) {
  set("r1bq1rk1/ppp2ppp/2np1n2/2b1p3/2B1P3/2NP1N2/PPP2PPP/R1BQ1RK1 w - - 0 7");
  t->nodeLimit = 2000;
  t->rootDepthDone = 2;
  EXPECT_EQ(search_root(10), 0);
  ASSERT_EQ(Control.stop.load(), 1);
  TTHit hit;
  EXPECT_FALSE(tt_probe(t->pos, 1, hit));
}

TEST_F(SearchTableTest, QuietRootIsStoredExactWithItsBestMove) {
  set("r1bq1rk1/ppp2ppp/2np1n2/2b1p3/2B1P3/2NP1N2/PPP2PPP/R1BQ1RK1 w - - 0 7");
  int score = deepen(5);
  TTHit hit;
  ASSERT_TRUE(tt_probe(t->pos, 1, hit));
  EXPECT_EQ(hit.move, pv[1]);
  EXPECT_EQ(hit.score, score);
  EXPECT_EQ(hit.depth, 5);
  EXPECT_EQ(hit.bound, BOUND_EXACT);
}

TEST_F(SearchTableTest, MatingRootIsStoredWithItsBestMove) {
  set("6k1/5ppp/8/8/8/8/5PPP/R5K1 w - - 0 1");
  search_root(3);
  TTHit hit;
  ASSERT_TRUE(tt_probe(t->pos, 1, hit));
  EXPECT_EQ(hit.move, parse("a1a8"));
  EXPECT_EQ(hit.score, MATE - 2);
  EXPECT_EQ(hit.depth, 3);
  // Mate on the next ply is the best any move can do: the mate-distance
  // window closed beta there, so the mate is a fail-high.
  EXPECT_EQ(hit.bound, BOUND_LOWER);
}

}  // namespace
