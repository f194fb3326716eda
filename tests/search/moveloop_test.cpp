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

struct MoveCase { const char *fen, *move; int expected; };

TEST_F(MoveLoopTest, FlagsThatSteerTheSearch) {
  const MoveCase cases[] = {
      {"4k3/8/8/8/8/8/4P3/R3K1N1 w - - 0 1", "e2e4", 0},
      // En passant; the black pawn on c7 keeps it from counting as a free
      // sixth-rank advance.
      {"4k3/2p5/8/3pP3/8/8/8/4K3 w - d6 0 1", "e5d6", MF_CAPTURE},
      {"4k3/8/8/3pP3/8/8/8/4K3 w - d6 0 1", "e5d6", MF_CAPTURE | MF_ADVANCED_PAWN},
      {"4k3/8/8/3p4/4P3/8/8/4K3 w - - 0 1", "e4d5", MF_CAPTURE},
      {"4k3/8/8/8/8/8/8/R3K1N1 w - - 0 1", "a1a8", MF_CHECK},
      {"4k3/8/8/8/8/8/4N3/4RK2 w - - 0 1", "e2c3", MF_CHECK},  // uncovers the rook
      {"8/P3k3/8/8/8/8/1P6/4K3 w - - 0 1", "a7a8q", MF_QUEEN_PROMOTION},
      {"8/P3k3/8/8/8/8/1P6/4K3 w - - 0 1", "a7a8n", MF_ADVANCED_PAWN},
      {"4k3/8/1P6/8/8/8/8/4K3 w - - 0 1", "b6b7", MF_SEVENTH_RANK},
      {"4k3/8/8/8/8/6p1/8/K7 b - - 0 1", "g3g2", MF_SEVENTH_RANK},  // Black's seventh
      {"4k3/8/8/1P6/8/8/8/4K3 w - - 0 1", "b5b6", MF_ADVANCED_PAWN},
      {"4k3/p7/8/1P6/8/8/8/4K3 w - - 0 1", "b5b6", 0},  // a pawn beside can still stop it
      {"4k3/1n6/8/1P6/8/8/8/4K3 w - - 0 1", "b5b6", 0},  // the square ahead is taken
  };
  for (const MoveCase& c : cases) {
    set(c.fen);
    EXPECT_EQ(flags(c.move), c.expected) << c.fen << " " << c.move;
  }
}

// A late quiet move is kept from pruning when it attacks something worth
// more than the mover (pawns: any piece) or joins an attack on the king
// zone; king moves never are.
TEST_F(MoveLoopTest, ThreatsThatSaveAQuietMove) {
  const MoveCase cases[] = {
      {"4k3/8/8/2n5/8/3P4/8/4K3 w - - 0 1", "d3d4", true},
      {"4k3/8/8/2p5/8/3P4/8/4K3 w - - 0 1", "d3d4", false},
      {"8/8/5k2/8/8/3P4/8/4K3 w - - 0 1", "d3d4", true},  // e5, next to the king
      {"4k3/8/8/8/3r4/8/8/2N1K3 w - - 0 1", "c1b3", true},
      {"4k3/8/8/8/3b4/8/8/2N1K3 w - - 0 1", "c1b3", false},
      {"4k3/1r6/8/8/8/8/8/4KB2 w - - 0 1", "f1g2", true},
      {"4k3/8/r7/8/8/8/8/4KB2 w - - 0 1", "f1d3", false},  // attacked the rook already
      {"6k1/8/8/7Q/8/8/8/4KB2 w - - 0 1", "f1c4", true},  // joins the queen on f7
      {"4k3/8/8/8/8/8/q7/4K2R w - - 0 1", "h1h2", true},
      {"6k1/8/8/8/8/8/6R1/3QK3 w - - 0 1", "d1d4", true},  // joins the rook on g7
      {"4k3/8/8/8/8/8/8/2n1K3 w - - 0 1", "e1d2", false},
  };
  for (const MoveCase& c : cases) {
    set(c.fen);
    EXPECT_EQ(threatens(c.move), bool(c.expected)) << c.fen << " " << c.move;
  }
}

}  // namespace
