// The evaluation entry point: which evaluator scores a position, and the
// contempt and fifty-move arithmetic laid on top of its score.
#include <gtest/gtest.h>

#include "board/attacks.h"
#include "board/bitboard.h"
#include "board/fen.h"
#include "board/zobrist.h"
#include "eval/evaluate.h"
#include "eval/hce.h"
#include "eval/network.h"
#include "eval/params.h"
#include "frontend/control.h"
#include "frontend/options.h"
#include "search/searchthread.h"

namespace {

constexpr float TIMED_SEARCH = 10.0f;
constexpr float UNTIMED_SEARCH = 10000000.0f;

class EvaluateTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    init_board_tables();
    init_zobrist();
    init_kpk_table();
    set_default_options(Options);
    setup_eval_params();
    load_network();
  }
  void SetUp() override {
    t = new_search_thread();
    saved = Options;
    savedControl = {Control.useNN, Control.rootSide, Control.targetTime};
    Options.evalNoise = 0;
    Control.useNN = 1;
    Control.rootSide = WHITE;
    Control.targetTime = UNTIMED_SEARCH;
  }
  void TearDown() override {
    free_search_thread(t);
    Options = saved;
    Control.useNN = savedControl.useNN;
    Control.rootSide = savedControl.rootSide;
    Control.targetTime = savedControl.targetTime;
  }
  Position& set(const char* fen) {
    set_position(t->pos, fen);
    return t->pos;
  }
  // The search calls with its own ply counter, which the network reads.
  int eval(int ply = 1) {
    t->ply = int16_t(ply);
    int score = evaluate(t, t->pos.side, ply, 0);
    t->ply = 1;
    return score;
  }

  SearchThread* t = nullptr;
  EngineOptions saved;
  struct {
    uint8_t useNN, rootSide;
    float targetTime;
  } savedControl;
};

TEST_F(EvaluateTest, SimpleAndLopsidedPositionsUseTheHandCraftedEvaluation) {
  struct Case { const char* fen; bool handCrafted; } cases[] = {
      {"4k3/8/8/8/8/8/4P3/4K3 w - - 0 1", true},     // king and pawn against king
      {"4k3/8/8/8/8/8/8/2NNK3 w - - 0 1", true},     // two knights, no pawns
      {"4k3/8/8/8/8/8/PPPP4/3QK3 w - - 0 1", true},  // queen and pawns against a bare king
      {"3qk3/pppp4/8/8/8/8/8/4K3 b - - 0 1", true},  // the same for Black
      {"4k3/8/8/8/8/8/8/R3KB2 w - - 0 1", true},     // rook and bishop, nothing else
      {"rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1", false},
      {"4k3/pp6/8/8/8/8/PP6/4K3 w - - 0 1", false},  // pawns on both sides
      {"r3k3/8/8/8/8/8/8/R2BK3 w - - 0 1", false},   // rook and bishop against rook
  };
  for (const Case& c : cases) {
    set(c.fen);
    EXPECT_EQ(uses_hand_crafted(t), c.handCrafted) << c.fen;
  }
  Control.useNN = 0;  // then even the start position is the hand-crafted one's
  set(cases[5].fen);
  EXPECT_TRUE(uses_hand_crafted(t));
}

TEST_F(EvaluateTest, ContemptScalesWithThePhase) {
  Options.Contempt = 100;
  struct Case { const char* fen; int contempt; } cases[] = {
      {"rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1", 115},  // ph 82
      {"4k3/8/8/8/8/8/8/4K3 w - - 0 1", -15},                             // ph 0
      // 30 units of pieces, 11 pawns: ph = 30 + 22 - 6 = 46
      {"r2qk3/ppppp3/8/8/8/8/PPPPPP2/R2QK3 w - - 0 1", 15 * (46 - 41) / 41 + 100 * 46 / 82},
      // 6 units, 3 pawns: ph = 6 + 6 - 6 = 6, the taper's negative half
      {"4k3/p7/8/8/8/8/PP6/2B1K1n1 w - - 0 1", 15 * (6 - 41) / 41 + 100 * 6 / 82},
  };
  for (const Case& c : cases) {
    set(c.fen);
    Control.targetTime = UNTIMED_SEARCH;
    int neutral = eval();
    Control.targetTime = TIMED_SEARCH;
    EXPECT_EQ(eval() - neutral, c.contempt) << c.fen;
  }
}

TEST_F(EvaluateTest, FiftyMoveCounterShrinksTheScoreTowardZero) {
  set("4k3/8/8/8/8/8/PPPPPPPP/4K3 w - - 0 1");
  int full = eval();
  ASSERT_GT(std::abs(full), 100);
  for (int fifty : {128, 100}) {
    t->pos.fifty = uint8_t(fifty);
    EXPECT_EQ(eval(), full - full * fifty / 256) << fifty;
  }
}

}  // namespace
