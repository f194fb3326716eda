// The printed breakdown of the hand-crafted evaluation: the hanging pieces
// and free passers it lists.
#include "hce_fixture.h"

class HceTraceTest : public HceTest {};

TEST_F(HceTraceTest, HangingPiecesAndFreePawnsListed) {
  // Knight e4 attacked by the d3 pawn; passer b6 with nothing in its way.
  set("6kr/5ppp/1P6/8/4n3/3P4/5PPP/R5K1 w - -");
  std::vector<std::string> lines = captured_lines([&] { hce_evaluate(t, t->pos.side, 1, 1); });
  ASSERT_EQ(lines.size(), 14u);
  EXPECT_EQ(lines[10], "hung pieces on:  e4");
  EXPECT_EQ(lines[11], "free pawns on:  b6");
}
