// Legality of pseudo-legal moves, the check test for a move, the absence
// of legal moves, and the validity test for moves read from the hash table.
#include <set>

#include "board/attacks.h"
#include "board/legality.h"
#include "board/makemove.h"
#include "board_checks.h"

namespace {

using LegalityTest = BoardTest;

TEST_F(LegalityTest, GivesCheckAgreesWithThePlayedMove) {
  // Castling (the rook's part) and en passant (the removed pawn) are left
  // to the search; every other move must predict the check exactly.
  // Besides the collection: promotions to each piece, a discovered check
  // and a check that stays blocked.
  std::vector<std::string> fens = perft_fens("random.perft", 5);
  for (const char* fen : {"k7/4P3/8/8/8/8/8/4K3 w - -", "8/2k1P3/8/8/8/8/8/4K3 w - -", "3r1k2/4P3/8/8/8/8/8/4K3 w - -",
                          "4r3/2k2P2/8/8/8/8/8/4K3 w - -", "7k/8/8/8/3N4/8/1B6/K7 w - -", "4k3/8/8/8/8/8/4P3/4RK2 w - -"})
    fens.push_back(fen);
  int checking = 0;
  for (const std::string& fen : fens) {
    Position& pos = set(fen.c_str());
    for (Move m : legal_moves(pos)) {
      MoveEntry e{m, 0, pos.board[move_from(m)], pos.board[move_to(m)]};
      int type = type_of(e.piece);
      if ((type == KING && move_flags(m)) || (type == PAWN && move_to(m) == pos.epSquare)) continue;
      bool predicted = gives_check(pos, pos.side, e);
      make_move(pos, m);
      bool actual = square_attacked(pos, pos.kingSq[pos.side], pos.side ^ 1);
      unmake_move(pos);
      ASSERT_EQ(predicted, actual) << fen << " move " << m;
      checking += actual;
    }
  }
  EXPECT_GT(checking, 500);
}

TEST_F(LegalityTest, StoredMoveValidExactlyWhenLegalHere) {
  // Moves generated in other positions are the realistic foreign hash
  // moves: each must be accepted exactly when it is a legal move here.
  std::vector<std::string> fens = perft_fens("random.perft", 10);
  fens.push_back(KIWIPETE);
  std::set<Move> pool;
  for (const std::string& fen : fens)
    for (MoveEntry* e = generate_all(set(fen.c_str())); e->move != MOVE_END; e++) pool.insert(e->move);
  ASSERT_GT(pool.size(), 1500u);
  for (const std::string& fen : fens) {
    Position& pos = set(fen.c_str());
    std::vector<Move> legalHere = legal_moves(pos);
    std::set<Move> expected(legalHere.begin(), legalHere.end());
    for (Move m : pool) ASSERT_EQ(stored_move_is_valid(pos, m), expected.count(m) == 1) << fen << " move " << m;
    for (Move m : legalHere) ASSERT_TRUE(stored_move_is_valid(pos, m)) << fen << " move " << m;
  }
}

}  // namespace
