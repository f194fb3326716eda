// Move-ordering tables: the gravity updates of the history, and which
// slots a quiet move that raises alpha lands in.
#include "board_fixture.h"
#include "search/history.h"

namespace {

constexpr int PLY = 4;
constexpr int WN = make_piece(WHITE, KNIGHT), BP = make_piece(BLACK, PAWN), WB = make_piece(WHITE, BISHOP);

class HistoryTest : public BoardTest {
 protected:
  void SetUp() override {
    BoardTest::SetUp();
    reset_order_tables(t);
    // The two moves that led to the node at PLY: ...e7e5 (black pawn to
    // e5, one ply back) after Bf1c4 (two plies back).
    previous = {make_move_code(52, 36), 0, uint8_t(BP), 0};
    twoBack = {make_move_code(5, 26), 0, uint8_t(WB), 0};
    t->plies[PLY - 1].currentMove = &previous;
    t->plies[PLY - 2].currentMove = &twoBack;
  }
  // A quiet knight move g1f3 scoring `value` against alpha 0.
  void update(int depth, int value, Move m = make_move_code(6, 21)) {
    MoveEntry e{m, 0, uint8_t(WN), 0};
    update_order_tables(t, PLY, depth, e, value, 0);
  }
  int16_t& f3() { return t->history[WN][21]; }
  MoveEntry previous{}, twoBack{};
};

TEST_F(HistoryTest, GravityStepsAndDepthZero) {
  update(0, 10);
  update(-3, -10);
  EXPECT_EQ(f3(), 2048);
  EXPECT_EQ(t->plies[PLY].killer1, 0);
  update(4, -10);
  EXPECT_EQ(f3(), 2048 - 2048 * 16 / 1024);  // 2016
  EXPECT_EQ(t->plies[PLY].killer1, 0);       // a failure is no killer
  f3() = 2048;
  update(4, 10);
  EXPECT_EQ(f3(), 2048 + 14336 * 32 / 1024);  // 2496
  EXPECT_EQ(t->plies[PLY].killer1, make_move_code(6, 21));
  // Long runs of either kind stay inside 0..16384 without clamping.
  for (int i = 0; i < 2000; i++) update(60, 10);
  EXPECT_LE(f3(), 16384);
  EXPECT_GT(f3(), 16000);
  for (int i = 0; i < 2000; i++) update(60, -10);
  EXPECT_GE(f3(), 0);
  EXPECT_LT(f3(), 100);
}

TEST_F(HistoryTest, KillersCounterAndFollowUpMoves) {
  Move a = make_move_code(6, 21), b = make_move_code(1, 18);
  PlyRecord& pr = t->plies[PLY];
  update(3, 10, a);
  update(3, 10, a);  // the same move again keeps killer2 free
  EXPECT_EQ(pr.killer1, a);
  EXPECT_EQ(pr.killer2, 0);
  update(3, 10, b);
  EXPECT_EQ(pr.killer1, b);
  EXPECT_EQ(pr.killer2, a);
  // Replies to ...e5 and follow-ups to Bc4, newest counter first.
  EXPECT_EQ(t->counterMove1[BP][36], b);
  EXPECT_EQ(t->counterMove2[BP][36], a);
  EXPECT_EQ(t->followUpMove[WB][26], b);
  update(3, 10, b);
  EXPECT_EQ(t->counterMove2[BP][36], a);
  // In check the check killer takes the place of the two killers.
  pr.inCheck = 1;
  Move c = make_move_code(4, 12);
  update(3, 10, c);
  EXPECT_EQ(pr.checkKiller, c);
  EXPECT_EQ(pr.killer1, b);
  EXPECT_EQ(pr.killer2, a);
  EXPECT_EQ(t->counterMove1[BP][36], c);
  EXPECT_EQ(t->followUpMove[WB][26], c);
  pr.inCheck = 0;
  // After a null move there is nothing to answer or follow up.
  previous.move = MOVE_NONE;
  Move d = make_move_code(3, 30);
  update(3, 10, d);
  EXPECT_EQ(pr.killer1, d);
  EXPECT_EQ(t->counterMove1[BP][36], c);
  EXPECT_EQ(t->followUpMove[WB][26], c);
  previous.move = make_move_code(52, 36);
  twoBack.move = MOVE_NONE;
  update(3, 10, d);
  EXPECT_EQ(t->counterMove1[BP][36], d);
  EXPECT_EQ(t->counterMove2[BP][36], c);
  EXPECT_EQ(t->followUpMove[WB][26], c);
}

}  // namespace
