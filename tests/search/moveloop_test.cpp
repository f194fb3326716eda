// Move-level tests of the move loop: the flags that steer extensions,
// pruning and reductions, and the threat test that saves a late quiet move
// from pruning.
#include "search/moveloop.h"

#include <gtest/gtest.h>

#include "board/bitboard.h"
#include "board/fen.h"
#include "board/notation.h"
#include "board/zobrist.h"
#include "search/search.h"
#include "search/searchthread.h"

namespace {

class MoveLoopTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    init_board_tables();
    init_zobrist();
  }
  void SetUp() override { t = new_search_thread(); }
  void TearDown() override { free_search_thread(t); }
  void set(const char* fen) {
    set_position(t->pos, fen);
    reset_ply_lists(t);
  }
  // The move as the picker would hand it out.
  MoveEntry entry(const char* text) {
    Move m = MOVE_NONE;
    EXPECT_EQ(parse_move_in(t->pos, text, &m), 1) << text;
    MoveEntry e{};
    e.move = m;
    e.piece = t->pos.board[move_from(m)];
    e.captured = t->pos.board[move_to(m)];
    return e;
  }
  int flags(const char* text) {
    MoveEntry e = entry(text);
    return search_move_flags(t->pos, t->pos.side, e);
  }
  bool threatens(const char* text) {
    MoveEntry e = entry(text);
    return move_threatens(t->pos, t->pos.side, e);
  }
  SearchThread* t = nullptr;
};

TEST_F(MoveLoopTest, QuietMoveHasNoFlags) {
  set("4k3/8/8/8/8/8/4P3/R3K1N1 w - - 0 1");
  EXPECT_EQ(flags("g1f3"), 0);
  EXPECT_EQ(flags("e2e4"), 0);
}

TEST_F(MoveLoopTest, CapturesIncludingEnPassant) {
  // The black pawn on c7 keeps the capture from counting as a free
  // sixth-rank advance.
  set("4k3/2p5/8/3pP3/8/8/8/4K3 w - d6 0 1");
  EXPECT_EQ(flags("e5d6"), MF_CAPTURE);
  set("4k3/8/8/3pP3/8/8/8/4K3 w - d6 0 1");
  EXPECT_EQ(flags("e5d6"), MF_CAPTURE | MF_ADVANCED_PAWN);
  set("4k3/8/8/3p4/4P3/8/8/4K3 w - - 0 1");
  EXPECT_EQ(flags("e4d5"), MF_CAPTURE);
}

TEST_F(MoveLoopTest, DirectAndUncoveredChecks) {
  set("4k3/8/8/8/8/8/8/R3K1N1 w - - 0 1");
  EXPECT_EQ(flags("a1a8"), MF_CHECK);
  // The knight uncovers the rook on the e-file.
  set("4k3/8/8/8/8/8/4N3/4RK2 w - - 0 1");
  EXPECT_EQ(flags("e2c3"), MF_CHECK);
  EXPECT_EQ(flags("f1g2"), 0);
}

TEST_F(MoveLoopTest, PromotionsAndSeventhRank) {
  set("8/P3k3/8/8/8/8/1P6/4K3 w - - 0 1");
  EXPECT_EQ(flags("a7a8q"), MF_QUEEN_PROMOTION);
  EXPECT_EQ(flags("a7a8n"), MF_ADVANCED_PAWN);
  set("4k3/8/1P6/8/8/8/8/4K3 w - - 0 1");
  EXPECT_EQ(flags("b6b7"), MF_SEVENTH_RANK);
  // Seen from Black, the second rank is the seventh.
  set("4k3/8/8/8/8/6p1/8/K7 b - - 0 1");
  EXPECT_EQ(flags("g3g2"), MF_SEVENTH_RANK);
}

TEST_F(MoveLoopTest, FreeSixthRankPushIsAdvanced) {
  set("4k3/8/8/1P6/8/8/8/4K3 w - - 0 1");
  EXPECT_EQ(flags("b5b6"), MF_ADVANCED_PAWN);
}

TEST_F(MoveLoopTest, SixthRankPushFacingPawnsIsNotAdvanced) {
  // An enemy pawn ahead on an adjacent file can still stop it.
  set("4k3/p7/8/1P6/8/8/8/4K3 w - - 0 1");
  EXPECT_EQ(flags("b5b6"), 0);
  // The square ahead is taken.
  set("4k3/1n6/8/1P6/8/8/8/4K3 w - - 0 1");
  EXPECT_EQ(flags("b5b6"), 0);
}

TEST_F(MoveLoopTest, PawnAttackingAPieceOrTheKingZoneThreatens) {
  set("4k3/8/8/2n5/8/3P4/8/4K3 w - - 0 1");
  EXPECT_TRUE(threatens("d3d4"));  // attacks the knight
  set("4k3/8/8/2p5/8/3P4/8/4K3 w - - 0 1");
  EXPECT_FALSE(threatens("d3d4"));  // only a pawn
  set("8/8/5k2/8/8/3P4/8/4K3 w - - 0 1");
  EXPECT_TRUE(threatens("d3d4"));  // attacks e5, next to the king
}

TEST_F(MoveLoopTest, KnightThreatensMajorsNotMinors) {
  set("4k3/8/8/8/3r4/8/8/2N1K3 w - - 0 1");
  EXPECT_TRUE(threatens("c1b3"));   // b3 attacks the rook on d4
  EXPECT_FALSE(threatens("c1a2"));  // a2 attacks nothing of note
  set("4k3/8/8/8/3b4/8/8/2N1K3 w - - 0 1");
  EXPECT_FALSE(threatens("c1b3"));  // a bishop is not enough
}

TEST_F(MoveLoopTest, BishopThreatensOnlyNewAttacksOnMajors) {
  set("4k3/1r6/8/8/8/8/8/4KB2 w - - 0 1");
  EXPECT_TRUE(threatens("f1g2"));  // now sees the rook on b7
  set("4k3/8/r7/8/8/8/8/4KB2 w - - 0 1");
  EXPECT_FALSE(threatens("f1d3"));  // it attacked the rook on a6 already
  set("4k3/1n6/8/8/8/8/8/4KB2 w - - 0 1");
  EXPECT_FALSE(threatens("f1g2"));  // a knight is not enough
}

TEST_F(MoveLoopTest, BishopJoiningAnAttackOnTheKingZone) {
  // From c4 the bishop newly sees f7, which the queen on h5 hits too.
  set("6k1/8/8/7Q/8/8/8/4KB2 w - - 0 1");
  EXPECT_TRUE(threatens("f1c4"));
  // Without a second attacker on f7 the bishop alone is no attack.
  set("6k1/8/8/8/8/8/R7/4KB2 w - - 0 1");
  EXPECT_FALSE(threatens("f1c4"));
}

TEST_F(MoveLoopTest, RookThreatensOnlyQueens) {
  set("4k3/8/8/8/8/8/q7/4K2R w - - 0 1");
  EXPECT_TRUE(threatens("h1h2"));
  set("4k3/8/8/8/8/8/r7/4K2R w - - 0 1");
  EXPECT_FALSE(threatens("h1h2"));
}

TEST_F(MoveLoopTest, QueenJoiningAnAttackOnTheKingZone) {
  // From d4 the queen newly sees g7, which the rook on g2 hits too.
  set("6k1/8/8/8/8/8/6R1/3QK3 w - - 0 1");
  EXPECT_TRUE(threatens("d1d4"));
  EXPECT_FALSE(threatens("d1a4"));
}

TEST_F(MoveLoopTest, KingMovesAreNeverKept) {
  set("4k3/8/8/8/8/8/8/2n1K3 w - - 0 1");
  EXPECT_FALSE(threatens("e1d2"));  // even next to a knight
}

}  // namespace
