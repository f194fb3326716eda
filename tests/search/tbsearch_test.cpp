// The tables in the search: the root decision answers at once once the
// fifty count has grown, its result sets the shown score (cursed wins
// and blessed losses show as draws), the search counts its probes, and a
// position with castling rights is never probed.
#include <algorithm>
#include <string>

#include "../syzygy/tb_fixture.h"
#include "board/fen.h"
#include "frontend/game.h"
#include "root_fixture.h"
#include "search/searchthread.h"
#include "syzygy/tbregistry.h"

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

struct Case {
  const char* fen;
  int fifty, depth, result;
  bool atOnce;
  const char* move;   // expected best move, or "" for any
  const char* score;  // expected in the last "info depth" line
};

TEST_F(TbSearch, RootResultsAndImmediateAnswers) {
  const Case cases[] = {
      {"8/8/8/4k3/8/8/8/3QK3 w - - 0 1", 10, 20, 4, true, "", "depth 99 seldepth 99 score cp 9800"},
      {"8/8/8/k7/4N2R/8/3K4/8 w - - 99 50", 99, 20, 3, true, "h4h6", "score cp 0 "},
      {"8/8/8/5Q1K/6Q1/8/8/6k1 b - - 99 50", 99, 20, 1, true, "", "score cp 0 "},
      {"8/8/8/4k3/8/8/8/R3K3 w - - 0 1", 0, 5, 4, false, "", "depth 5 "},
      {"8/8/8/4k3/8/8/8/R3K3 w - - 0 1", 9, 5, 4, false, "", "depth 5 "},
      {"8/8/8/4k3/8/8/2B5/4K3 w - - 0 1", 30, 20, 2, true, "", "score cp 0 "},
      {"r3k3/8/8/8/8/8/8/4K3 w q - 0 1", 0, 5, -1, false, "", "depth 5 "},
  };
  for (const Case& c : cases) {
    set(c.fen);
    Game->pos.fifty = uint8_t(c.fifty);
    search_to(c.depth);
    EXPECT_EQ(Control.rootTbResult, c.result) << c.fen;
    EXPECT_EQ(Control.completedDepth == 99, c.atOnce) << c.fen;
    if (*c.move) EXPECT_EQ(Control.bestMove, parse(c.move)) << c.fen;
    EXPECT_NE(Control.bestMove, MOVE_NONE) << c.fen;
    EXPECT_NE(last_info().find(c.score), std::string::npos) << c.fen << ": " << last_info();
    if (c.atOnce) EXPECT_NE(last_info().find("tbhits 1 "), std::string::npos) << last_info();
  }
}

// At depth 1 only the root's children are probed: after the capture
// Qxd7+ the four pieces left are probed and counted, unless Black still
// has a castling right, which the tables do not hold.
TEST_F(TbSearch, SearchProbesCountedAndCastlingNeverProbed) {
  set("4k3/3n4/8/8/3Q4/8/8/6K1 w - - 0 1");
  search_to(1);
  EXPECT_GT(Control.tbHits, 0u);
  set("r3k3/3n4/8/8/3Q4/8/8/6K1 w q - 0 1");
  search_to(1);
  EXPECT_EQ(Control.tbHits, 0u);
}

}  // namespace
