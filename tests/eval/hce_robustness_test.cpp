// Positions and arguments outside the normal range: no crash, no write
// outside the records, results inside the 16-bit score range.
#include "hce_fixture.h"

class HceRobustnessTest : public HceTest {};

TEST_F(HceRobustnessTest, OddPositionsEvaluateWithoutHarm) {
  for (const char* fen : {
           "8/8/8/8/8/8/8/8 w - -",                                   // no kings
           "8/8/8/3k4/8/8/8/8 b - -",                                 // one king
           "P3k2p/8/8/8/8/8/8/p3K2P w - -",                           // pawns on the last ranks
           "Pr2k2p/8/8/8/8/8/8/pR2K2P b - -",
           "QQQQkQQQ/QQQQQQQQ/QQQQQQQQ/8/8/qqqqqqqq/qqqqqqqq/qqqqKqqq w - -",  // absurd material
           "k7/PPPPPPPP/PPPPPPPP/8/8/pppppppp/pppppppp/K7 w - -",
           "4k3/8/8/8/8/8/8/4K2R w - -",                              // mop-up edge
       }) {
    set(fen);
    for (int level : {0, 1}) {
      int s = 0;
      captured_lines([&] { s = hce_evaluate(t, t->pos.side, 1, level); });
      EXPECT_LE(std::abs(s), 32767) << fen;
    }
  }
}

TEST_F(HceRobustnessTest, PlyOutsideTheRecordsIsHarmless) {
  set("r1bq1rk1/pp2bppp/2n1pn2/3p4/2PP4/2N1PN2/PP1B1PPP/R2QKB1R w KQ -");
  int s = hce_evaluate(t, WHITE, 1, 0);
  for (int ply : {-5, 0, MAX_PLY - 1, MAX_PLY, 1000}) EXPECT_EQ(hce_evaluate(t, WHITE, ply, 0), s) << ply;
}

TEST_F(HceRobustnessTest, SideOutsideZeroAndOneIsMasked) {
  set("r1bq1rk1/pp2bppp/2n1pn2/3p4/2PP4/2N1PN2/PP1B1PPP/R2QKB1R w KQ -");
  int s = hce_evaluate(t, WHITE, 1, 0);
  EXPECT_EQ(hce_evaluate(t, 2, 1, 0), s);
}
