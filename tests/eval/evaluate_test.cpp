// The evaluation entry point: which evaluator scores a position, and the
// contempt and fifty-move arithmetic laid on top of its score, and the
// parameters the hand-crafted one is built from.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <utility>

#include "../board/board_fixture.h"
#include "../search/search_fixture.h"
#include "eval/evaluate.h"
#include "eval/hce.h"
#include "eval/network.h"
#include "eval/param_values.h"
#include "eval/params.h"
#include "core/control.h"
#include "core/options.h"
#include "core/searchthread.h"

namespace {

constexpr float TIMED_SEARCH = 10.0f;
constexpr float UNTIMED_SEARCH = 10000000.0f;

class EvaluateTest : public BoardTest {
 protected:
  static void SetUpTestSuite() {
    BoardTest::SetUpTestSuite();
    init_kpk_table();
    set_default_options(Options);
    setup_eval_params();
    load_network();
  }
  void SetUp() override {
    BoardTest::SetUp();
    Options.evalNoise = 0;
    Control.useNN = 1;
    Control.rootSide = WHITE;
    Control.targetTime = UNTIMED_SEARCH;
  }
  // The search calls with its own ply counter, which the network reads.
  int eval(int ply = 1) {
    t->ply = int16_t(ply);
    int score = evaluate(t, t->pos.side, ply, 0);
    t->ply = 1;
    return score;
  }

  SettingsGuard settings;
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

// ------------------------------------------------------------- parameters
// The evaluation parameters: the built-in table against the registry, the
// parameter file and personality scaling.

constexpr int KNIGHT_GROUP = 5;

int mg_of(const EvalParam* p) { return packed_mg(p->packed); }
int eg_of(const EvalParam* p) { return packed_eg(p->packed); }

// Half of v, rounded half away from zero, in integers only.
int half_away(int v) { return (v >= 0 ? v + 1 : v - 1) / 2; }

// Every test starts from the built-in set-up with default settings and no
// parameter file, and leaves that set-up behind for the tests that follow.
class ParamsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/zerv-params-XXXXXX";
    const char* made = mkdtemp(pattern);
    ASSERT_NE(made, nullptr);
    dir = made;
    build_builtin();
  }
  void TearDown() override {
    build_builtin();
    std::error_code ignored;
    std::filesystem::remove_all(dir, ignored);
  }
  void build_builtin() {
    set_default_options(Options);
    use_param_file("absent.txt");
    setup_eval_params();
  }
  std::string path_of(const char* name) const { return dir + "/" + name; }
  std::string write_file(const char* name, const std::string& text) {
    std::ofstream(path_of(name), std::ios::binary) << text;
    return path_of(name);
  }
  void use_param_file(const char* name) {
    std::string path = path_of(name);
    ASSERT_LT(path.size(), sizeof Options.paramFile);
    std::snprintf(Options.paramFile, sizeof Options.paramFile, "%s", path.c_str());
  }
  // Loads the text as a parameter file; what the loading printed.
  std::string load(const std::string& text) {
    std::string path = write_file("params.txt", text);
    return captured_output([&] { load_params_file(path.c_str()); });
  }

  SettingsGuard settings;
  std::string dir;
};

TEST_F(ParamsTest, BuiltInTableFollowsTheRegistryWithoutErrors) {
  for (int i = 0; i < PARAM_COUNT; ++i)
    ASSERT_STREQ(BuiltinParamValues[i].name, Params[i].name) << "row " << i;
  EXPECT_EQ(captured_output(setup_eval_params), "");
}

// Both line forms are read; a line without a name and two numbers is
// skipped silently, the last reading of a name wins.
TEST_F(ParamsTest, LinesWithoutANameAndTwoNumbersAreSkipped) {
  std::string out = load("# tuned\nfset(\"mtl_pawn\", 91)\nmtl_pawn, 5x, 5\n   ,  ,  \n" +
                         std::string(300, 'a') + ", 5, 6\nfset(\"mtl_pawn\", 92, 93)\n"
                         "mtl_knight, 301, 302\nmtl_bishop, 5, 6 7\n");
  EXPECT_EQ(out, "");
  EXPECT_EQ(mg_of(W.mtl_pawn) + eg_of(W.mtl_pawn), 92 + 93);
  EXPECT_EQ(mg_of(W.mtl_knight) + eg_of(W.mtl_knight), 301 + 302);
  EXPECT_EQ(mg_of(W.mtl_bishop), 392);
}

TEST_F(ParamsTest, SetUpReadsTheOptionFileAndRebuildsFromScratch) {
  write_file("tuned.txt", "fset(\"mtl_pawn\", 80, 120)\n");
  struct Case { const char* file; int mg, eg; } cases[] = {{"tuned.txt", 80, 120}, {"absent.txt", 100, 100}};
  for (auto [file, mg, eg] : cases) {
    use_param_file(file);
    setup_eval_params();
    EXPECT_EQ(std::pair(mg_of(W.mtl_pawn), eg_of(W.mtl_pawn)), std::pair(mg, eg)) << file;
  }
}

TEST_F(ParamsTest, KnightPersonalityHalvesMiddlegameAndQuartersTheOutpostAttack) {
  Options.personality[KNIGHT_GROUP][PHASE_MG] = 50;
  Options.personality[KNIGHT_GROUP][PHASE_EG] = 100;
  setup_eval_params();
  EXPECT_EQ(mg_of(W.knight_mobility), 31);
  EXPECT_EQ(eg_of(W.knight_mobility), 47);
  EXPECT_EQ(mg_of(W.knight_outpost), 18);  // 17.5 rounds away from zero
  EXPECT_EQ(eg_of(W.knight_outpost), 10);
  EXPECT_FLOAT_EQ(W.knight_outpost_atk->mg, 2.25f);  // 9 scaled twice
  EXPECT_EQ(mg_of(W.knight_outpost_atk), 2);
  EXPECT_EQ(eg_of(W.knight_outpost_atk), 13);
  const ParamValue* n1 = &BuiltinParamValues[W.PST_N1 - Params];
  const ParamValue* n2 = &BuiltinParamValues[W.PST_N2 - Params];
  const ParamValue* b1 = &BuiltinParamValues[W.PST_B1 - Params];
  for (int sq = 0; sq < 64; ++sq) {
    EXPECT_EQ(mg_of(W.PST_N1 + sq), half_away(n1[sq].mg)) << sq;
    EXPECT_EQ(eg_of(W.PST_N1 + sq), n1[sq].eg) << sq;
    EXPECT_EQ(mg_of(W.PST_N2 + sq), half_away(n2[sq].mg)) << sq;
    EXPECT_EQ(mg_of(W.PST_B1 + sq), b1[sq].mg) << sq;
  }
}

}  // namespace
