// Repetition and fifty-move draws as the search sees them: history before
// the root needs a threefold repetition (one earlier occurrence inside
// the line is the search tests'), and a null move ends the scan.
#include "board/draw.h"
#include "board/makemove.h"
#include "board_checks.h"

namespace {

class DrawTest : public BoardTest {
 protected:
  void play(std::initializer_list<const char*> moves) {
    for (const char* m : moves) {
      if (std::string(m) == "null") {
        make_null_move(t->pos);
        continue;
      }
      Move mv = find_move(t->pos, m);
      ASSERT_NE(mv, MOVE_NONE) << m;
      make_move(t->pos, mv);
    }
  }
};

TEST_F(DrawTest, HistoryBeforeTheRootNeedsThreeOccurrences) {
  Position& pos = set("1n2k3/8/8/8/8/8/8/4K1N1 w - -");
  play({"g1f3", "b8c6", "f3g1", "c6b8"});
  EXPECT_FALSE(is_draw(pos, 0));
  // The root itself is not part of the line searched from it.
  EXPECT_FALSE(is_draw(pos, 4));
  play({"g1f3", "b8c6", "f3g1", "c6b8"});
  EXPECT_TRUE(is_draw(pos, 0));
  pos.fifty = 3;  // no four reversible plies: no repetition can be there
  EXPECT_FALSE(is_draw(pos, 0));
}

TEST_F(DrawTest, NullMoveBetweenOccurrencesHidesTheRepetition) {
  // After 1.Nf3 both kings walk away and back; black triangulates in one
  // line and passes in the other.
  Position& pos = set("4k3/8/8/8/8/8/8/4K1N1 w - -");
  play({"g1f3", "e8d8", "e1d1", "d8d7", "d1d2", "d7e8", "d2e1"});
  EXPECT_TRUE(is_draw(pos, 7));
  uint64_t repeated = pos.key;
  set("4k3/8/8/8/8/8/8/4K1N1 w - -");
  play({"g1f3", "e8d8", "e1d1", "d8e8", "d1d2", "null", "d2e1"});
  ASSERT_EQ(pos.key, repeated);
  EXPECT_FALSE(is_draw(pos, 7));
}

TEST_F(DrawTest, FiftyMoveRule) {
  Position& pos = set("4k3/8/8/8/8/8/8/4K1N1 w - -");
  pos.fifty = 100;
  EXPECT_FALSE(is_draw(pos, 1));
  pos.fifty = 101;
  EXPECT_TRUE(is_draw(pos, 1));
  // At the root the game goes on while there is a move to play...
  EXPECT_FALSE(is_draw(pos, 0));
  // ...and is drawn when there is none.
  Position& stalemate = set("7k/5Q2/6K1/8/8/8/8/8 b - -");
  stalemate.fifty = 101;
  EXPECT_TRUE(is_draw(stalemate, 0));
  // A threefold repetition still counts at the root.
  set("1n2k3/8/8/8/8/8/8/4K1N1 w - -");
  play({"g1f3", "b8c6", "f3g1", "c6b8", "g1f3", "b8c6", "f3g1", "c6b8"});
  pos.fifty = 120;
  EXPECT_TRUE(is_draw(pos, 0));
}

}  // namespace
