// The quiescence search through the node entry: delta pruning spares
// checks, and a recapture is tried at any depth.
#include "eval/evaluate.h"
#include "search/search.h"
#include "search_fixture.h"

namespace {

constexpr int FULL = INFINITE_SCORE;
// A window far above the static evaluation: every capture of a pawn falls
// short of it by more than the delta margin.
constexpr int FAR_ABOVE = 1000;
constexpr int WINDOW = 100;
constexpr int QUEEN_GAIN = 500;

int static_eval(SearchThread* t) { return evaluate(t, t->pos.side, t->ply, 0); }

// A pawn capture that cannot reach the window is pruned, unless it gives
// check or takes a bare king's last pawn.
TEST_F(SearchTest, HopelessPawnCaptureIsDeltaPruned) {
  const std::pair<const char*, bool> cases[] = {
      {"7k/p7/3p4/4P3/8/8/8/K7 w - - 0 1", true},
      {"8/p3k3/3p4/4P3/8/8/8/K7 w - - 0 1", false},
      {"7k/8/3p4/4P3/8/8/8/K7 w - - 0 1", false},
  };
  for (auto [fen, pruned] : cases) {
    set(fen);
    int ev = static_eval(t);
    int score = search_here(0, ev + FAR_ABOVE, ev + FAR_ABOVE + WINDOW);
    if (fen != cases[2].first) {
      EXPECT_EQ(score, ev + FAR_ABOVE) << fen;
    }
    EXPECT_EQ(t->nodes == 1u, pruned) << fen;
  }
}

TEST_F(SearchTest, RecaptureOnTheLastMovesSquareIsTriedAtAnyDepth) {
  set("4k3/pppp4/8/8/8/3q1N2/PPPP4/4K3 b - - 0 1");
  ASSERT_TRUE(play("d3d4"));
  int ev = static_eval(t);
  EXPECT_GT(search_here(-6, -FULL, FULL), ev + QUEEN_GAIN);
  EXPECT_EQ(pv[2], parse("f3d4"));
}

}  // namespace
