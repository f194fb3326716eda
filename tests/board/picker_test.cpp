// The staged move picker: what it hands out at each kind of ply, and in
// which order; over many positions, the same moves as the full generator;
// and the history and reply tables that order its quiet moves.
#include <algorithm>

#include "board/attacks.h"
#include "board/legality.h"
#include "board/makemove.h"
#include "board/picker.h"
#include "board_checks.h"
#include "board_fixture.h"
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

// ---------------------------------------------------------------- history
// Move-ordering tables: the gravity updates of the history, and which
// slots a quiet move that raises alpha lands in.

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
