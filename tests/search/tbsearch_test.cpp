// The tables in the search: the root decision answers at once once the
// fifty count has grown, its result sets the shown score (cursed wins
// and blessed losses show as draws), and a position with castling rights
// is never probed.
#include <algorithm>
#include <string>

#include "../syzygy/tb_fixture.h"
#include "board/fen.h"
#include "frontend/game.h"
#include "search_fixture.h"
#include "search/search.h"
#include "search/searchthread.h"
#include "syzygy/tbregistry.h"
#include "syzygy/tbroot.h"

namespace {

class TbSearch : public RootSearchTest {
 protected:
  static void SetUpTestSuite() {
    RootSearchTest::SetUpTestSuite();
    init_captured(tb_table_dir());
  }
  static void TearDownTestSuite() { tb_free(); }
  std::string last_info() {
    std::string out;
    for (const auto& l : lines)
      if (l.rfind("info depth", 0) == 0) out = l;
    return out;
  }
};

// The expected best move ("" for any), and what the last "info depth" line
// of a search shows.
struct Case { const char* fen; int fifty, depth, result; bool atOnce; const char *move, *score; };

TEST_F(TbSearch, RootResultsAndImmediateAnswers) {
  const Case cases[] = {
      {"8/8/8/4k3/8/8/8/3QK3 w - - 0 1", 10, 20, 4, true, "", ""},
      {"8/8/8/k7/4N2R/8/3K4/8 w - - 99 50", 99, 20, 3, true, "h4h6", ""},
      {"8/8/8/5Q1K/6Q1/8/8/6k1 b - - 99 50", 99, 20, 1, true, "", ""},
      {"8/8/8/4k3/8/8/8/R3K3 w - - 0 1", 0, 5, 4, false, "", "score cp 9800 "},
      {"8/8/8/4k3/8/8/8/R3K3 w - - 0 1", 9, 5, 4, false, "", "depth 5 "},
      {"8/8/8/4k3/8/8/2B5/4K3 w - - 0 1", 30, 20, 2, true, "", ""},
      {"8/8/8/4k3/8/8/2B5/4K3 w - - 0 1", 0, 5, 2, false, "", "score cp 0 "},
      {"r3k3/8/8/8/8/8/8/4K3 w q - 0 1", 0, 5, -1, false, "", "depth 5 "},
  };
  for (const Case& c : cases) {
    set(c.fen);
    Game->pos.fifty = uint8_t(c.fifty);
    search_to(c.depth);
    EXPECT_EQ(Control.rootTbResult, c.result) << c.fen;
    EXPECT_EQ(Control.completedDepth == 99, c.atOnce) << c.fen;
    if (*c.move) {
      EXPECT_EQ(Control.bestMove, parse(c.move)) << c.fen;
    }
    EXPECT_NE(Control.bestMove, MOVE_NONE) << c.fen;
    if (c.atOnce) {  // the front end prints the answer's line from these
      EXPECT_EQ(int(Control.score), c.result == 4 ? 9799 : c.result == 0 ? -9800 : 0) << c.fen;
      EXPECT_EQ(Control.tbHits, 1u) << c.fen;
    } else {
      EXPECT_NE(last_info().find(c.score), std::string::npos) << c.fen << ": " << last_info();
    }
  }
}

// Before the fifty count reaches 10 the search chooses, but only among the
// moves that keep the draw: here Bd2, which search alone played and lost
// (the rook wins the bishop some 20 plies later), must not come back.
TEST_F(TbSearch, YoungFiftyCountSearchesOnlyMovesThatKeepTheResult) {
  set("5k2/8/2R5/b2K4/8/8/8/8 w - - 0 1",
      {"c6a6", "a5e1", "a6a7", "e1f2", "a7b7", "f2e3", "b7h7", "e3g5", "d5e6"});
  ASSERT_EQ(Game->pos.fifty, 9);
  Move keep[TB_ROOT_MAX_MOVES];
  int kept = tb_root_keepers(Game->pos, keep);
  ASSERT_GT(kept, 0);
  ASSERT_EQ(std::find(keep, keep + kept, parse("g5d2")), keep + kept);
  search_to(10);
  EXPECT_EQ(Control.rootTbResult, 2);
  EXPECT_NE(std::find(keep, keep + kept, Control.bestMove), keep + kept);
}

// The search's probe: never with castling rights, below depth 0, or with
// more pieces than the tables hold; six pieces only from the depth that
// SyzygyProbeDepth6 names.
TEST_F(TbSearch, SearchProbeConditions) {
  struct Case { const char* fen; int depth, expected; } cases[] = {
      {"4k3/8/8/8/8/8/8/R3K3 w - - 0 1", 0, 4},  {"4k3/8/8/8/8/8/8/R3K3 b - - 0 1", 3, 0},
      {"4k3/8/8/8/8/8/8/R3K3 w Q - 0 1", 3, -1}, {"4k3/8/8/8/8/8/8/R3K3 w - - 0 1", -1, -1},
      {"4k3/8/8/8/8/8/8/RN2K2R w - - 0 1", 3, -1}, {"4k3/8/8/8/8/8/8/4K3 w - - 0 1", 0, 2},
  };
  for (const Case& c : cases) {
    set(c.fen);
    EXPECT_EQ(probe_wdl(Game->pos, c.depth), c.expected) << c.fen << " depth " << c.depth;
  }
}

}  // namespace
