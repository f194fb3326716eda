// The node search driven directly: mate and draw scores, node limits and
// the line it returns.
#include "search/search.h"

#include <cstdlib>

#include "board/legality.h"
#include "board/makemove.h"
#include "board/movegen.h"
#include "eval/evaluate.h"
#include "search/searchparams.h"
#include "search_fixture.h"

namespace {

constexpr int FULL = INFINITE_SCORE;
// White has an extra queen: any score that is not a draw is far from 0.
constexpr const char* QUEEN_UP = "rnb1kbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1";
constexpr int CLEARLY_WINNING = 500;

// Draws by rule: a repetition inside the line is one, before the root it
// takes two (the position then stands there a third time); the fifty-move
// rule from the 101st reversible half-move on (the FEN reader starts every
// position at 0, so the count is set). Otherwise the side a queen up is far
// ahead, at the hundredth half-move less so by the fifty-move scaling
// (deeper searches would find the draw by the next quiet move).
TEST_F(SearchTest, DrawsByRepetitionAndTheFiftyMoveRule) {
  struct Case { int cyclesBeforeRoot, cyclesInLine, fifty, depth, atLeast; } cases[] = {
      {0, 1, 0, 2, 0}, {1, 0, 0, 2, CLEARLY_WINNING}, {2, 0, 0, 2, 0},
      {0, 0, 100, 0, 0}, {0, 0, 99, 0, CLEARLY_WINNING / 2},
  };
  for (const Case& c : cases) {
    set(QUEEN_UP);
    t->pos.fifty = uint8_t(c.fifty);
    for (int cycle = 0; cycle < c.cyclesBeforeRoot + c.cyclesInLine; cycle++) {
      for (const char* m : {"g1f3", "g8f6", "f3g1", "f6g8"}) ASSERT_TRUE(play(m));
      if (cycle + 1 == c.cyclesBeforeRoot) make_root();
    }
    if (c.fifty) {
      ASSERT_TRUE(play("g1f3"));
    }
    int score = search_here(c.depth, -FULL, FULL);
    EXPECT_EQ(c.atLeast ? std::abs(score) > c.atLeast : score == 0, true)
        << score << ": " << c.cyclesBeforeRoot << " " << c.cyclesInLine << " " << c.fifty;
  }
}

TEST_F(SearchTest, NodeLimitStopsTheWholeTreeAtOnce) {
  set("r1bqkbnr/pppp1ppp/2n5/4p3/4P3/5N2/PPPP1PPP/RNBQKB1R w KQkq - 2 3");
  constexpr uint64_t LIMIT = 3000;
  t->nodeLimit = LIMIT;
  t->rootDepthDone = 2;  // the limit applies once a best move exists
  EXPECT_EQ(search_root(12), 0);
  EXPECT_EQ(Control.stop.load(), 1);
  // The node that crossed the limit was the last one entered.
  EXPECT_EQ(t->nodes, LIMIT + 1);
}

TEST_F(SearchTest, PrincipalVariationIsALegalLine) {
  set("r1bq1rk1/ppp2ppp/2np1n2/2b1p3/2B1P3/2NP1N2/PPP2PPP/R1BQ1RK1 w - - 0 7");
  deepen(5);
  int length = 0;
  for (int i = 1; i < MAX_PLY && pv[i]; i++, length++) {
    bool legal = false;
    for (MoveEntry* e = generate_all(t->pos); e->move != MOVE_END; e++)
      legal = legal || (e->move == pv[i] && move_is_legal(t->pos, t->pos.side, pv[i]));
    ASSERT_TRUE(legal) << "ply " << i;
    make_move(t->pos, pv[i]);
  }
  EXPECT_GE(length, 3);
}

TEST(PvCopyTest, NeverWritesBeyondTheLastPly) {
  Move dst[MAX_PLY + 1], src[MAX_PLY + 1];
  for (int i = 0; i <= MAX_PLY; i++) {
    dst[i] = Move(7000 + i);
    src[i] = Move(500 + i);
  }
  pv_copy(dst, src, 9, MAX_PLY - 3);
  EXPECT_EQ(dst[MAX_PLY - 1], 500 + MAX_PLY - 1);
  EXPECT_EQ(dst[MAX_PLY], 7000 + MAX_PLY);  // the guard entry
}

}  // namespace
