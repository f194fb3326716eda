// The staged move picker: what it hands out at each kind of ply, and in
// which order; over many positions, the same moves as the full generator.
#include <algorithm>

#include "board/attacks.h"
#include "board/legality.h"
#include "board/makemove.h"
#include "board/picker.h"
#include "board_checks.h"
#include "search/history.h"

namespace {

class PickerTest : public BoardTest {
 protected:
  void SetUp() override {
    BoardTest::SetUp();
    reset_order_tables(t);
  }
  // Runs ply 3 of a line, the way the searches prepare a node (no hash
  // move, no moves before it), and collects everything next_move hands out.
  std::vector<MoveEntry> pick(uint16_t flags, Move killer1 = 0, Move killer2 = 0) {
    Position& pos = t->pos;
    t->ply = PLY;
    t->plies[PLY - 1].currentMove = &previous;
    t->plies[PLY - 2].currentMove = &twoBack;
    t->plies[PLY].moveList = &t->moveBuffer[2];
    PlyRecord& pr = t->plies[PLY];
    pr.checker = uint8_t(find_checker(pos, pos.kingSq[pos.side], pos.side ^ 1, occupancy(pos)));
    pr.inCheck = pr.checker != NO_SQUARE;
    pr.hashMove = MOVE_NONE;
    pr.killer1 = killer1;
    pr.killer2 = killer2;
    pr.checkKiller = 0;
    pr.pickStage = flags;
    std::vector<MoveEntry> out;
    while (MoveEntry* e = next_move(pos)) {
      out.push_back(*e);
      if (out.size() > 600) break;
    }
    return out;
  }
  std::vector<Move> all_generated() {
    t->ply = 1;
    std::vector<Move> moves;
    for (MoveEntry* e = generate_all(t->pos); e->move != MOVE_END; e++) moves.push_back(e->move);
    return moves;
  }
  static std::vector<Move> moves_of(const std::vector<MoveEntry>& entries) {
    std::vector<Move> moves;
    for (const MoveEntry& e : entries) moves.push_back(e.move);
    return moves;
  }
  static std::vector<Move> sorted(std::vector<Move> v) {
    std::sort(v.begin(), v.end());
    return v;
  }
  std::vector<Move> legal_of(const std::vector<Move>& moves) {
    std::vector<Move> out;
    for (Move m : moves)
      if (move_is_legal(t->pos, t->pos.side, m)) out.push_back(m);
    return sorted(out);
  }
  Move mv(const char* uci) {
    int16_t ply = t->ply;
    t->ply = 1;
    Move m = find_move(t->pos, uci);
    t->ply = ply;
    EXPECT_NE(m, MOVE_NONE) << uci;
    return m;
  }
  static constexpr int PLY = 3;
  MoveEntry previous{}, twoBack{};
};

TEST_F(PickerTest, GoodCapturesThenKillersThenQuietsThenLosingCaptures) {
  // Nxh3 wins a knight; Qxd5 loses the queen for a pawn.
  set("4k3/8/2p5/3p4/8/7n/8/3QK1N1 w - -");
  Move good = mv("g1h3"), losing = mv("d1d5"), k1 = mv("e1f2"), k2 = mv("d1d4");
  auto entries = pick(PICK_FULL, k1, k2);
  std::vector<Move> out = moves_of(entries);
  EXPECT_EQ(sorted(out), sorted(all_generated()));
  ASSERT_GE(out.size(), 4u);
  EXPECT_EQ(out[0], good);
  EXPECT_EQ(entries[0].score, 230 - KNIGHT);  // knight victim, knight attacker
  EXPECT_EQ(entries.back().score, PAWN + 4);  // losing: ranked by victim only
  EXPECT_EQ(out[1], k1);
  EXPECT_EQ(out[2], k2);
  EXPECT_EQ(out.back(), losing);
}

TEST_F(PickerTest, SameMovesAsFullGeneration) {
  std::vector<std::string> fens = perft_fens("random.perft", 7);
  for (auto& fen : perft_fens("standard.perft")) fens.push_back(fen);
  // Evasions by hand: a knight check with illegal castling on offer, a
  // double check, and an en-passant capture of the checking pawn.
  for (const char* fen : {"r3k2r/8/8/8/8/3n4/3rP3/R3K2R w KQkq -", "4r1k1/8/8/8/8/3n4/2B5/R3K3 w Q -",
                          "8/8/8/2k5/3Pp3/8/8/4K3 b - d3"})
    fens.push_back(fen);
  int checked = 0, inCheck = 0;
  for (const std::string& fen : fens) {
    set(fen.c_str());
    std::vector<Move> out = moves_of(pick(PICK_FULL));
    std::vector<Move> all = all_generated();
    if (t->plies[PLY].inCheck) {
      // Evasion lists are narrower, but the legal moves are the same.
      inCheck++;
      ASSERT_EQ(legal_of(out), legal_of(all)) << fen;
    } else {
      ASSERT_EQ(sorted(out), sorted(all)) << fen;
    }
    checked++;
  }
  EXPECT_GT(inCheck, 20);
  EXPECT_GT(checked, 900);
}

}  // namespace
