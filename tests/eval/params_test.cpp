// The evaluation parameters: the built-in table against the registry, the
// parameter file, personality scaling and the exchange values.
#include "eval/params.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "board/see.h"
#include "eval/param_values.h"
#include "frontend/options.h"

namespace {

constexpr int KNIGHT_GROUP = 5;
constexpr int KING_SAFETY_GROUP = 11;

int mg_of(const EvalParam* p) { return packed_mg(p->packed); }
int eg_of(const EvalParam* p) { return packed_eg(p->packed); }

// Half of v, rounded half away from zero, in integers only.
int half_away(int v) { return (v >= 0 ? v + 1 : v - 1) / 2; }

std::vector<int32_t> packed_snapshot() {
  std::vector<int32_t> values;
  for (int i = 0; i < ParamCount; ++i) values.push_back(Params[i].packed);
  return values;
}


// Every test starts from the built-in set-up with default settings and no
// parameter file, and leaves that set-up behind for the tests that follow.
class ParamsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    saved = Options;
    char pattern[] = "/tmp/zerv-params-XXXXXX";
    const char* made = mkdtemp(pattern);
    ASSERT_NE(made, nullptr);
    dir = made;
    build_builtin();
  }
  void TearDown() override {
    build_builtin();
    Options = saved;
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
    std::string path = path_of(name);
    std::FILE* f = std::fopen(path.c_str(), "wb");
    EXPECT_NE(f, nullptr);
    if (f) {
      std::fwrite(text.data(), 1, text.size(), f);
      std::fclose(f);
    }
    return path;
  }
  void use_param_file(const char* name) {
    std::string path = path_of(name);
    ASSERT_LT(path.size(), sizeof Options.paramFile);
    std::snprintf(Options.paramFile, sizeof Options.paramFile, "%s", path.c_str());
  }
  // Loads the text as a parameter file; what the loading printed.
  std::string load(const std::string& text) {
    std::string path = write_file("params.txt", text);
    testing::internal::CaptureStdout();
    load_params_file(path.c_str());
    return testing::internal::GetCapturedStdout();
  }

  EngineOptions saved;
  std::string dir;
};

TEST_F(ParamsTest, BuiltInTableFollowsTheRegistryWithoutErrors) {
  for (int i = 0; i < PARAM_COUNT; ++i)
    ASSERT_STREQ(BuiltinParamValues[i].name, Params[i].name) << "row " << i;
  testing::internal::CaptureStdout();
  setup_eval_params();
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
}

TEST_F(ParamsTest, BareLinesAndWindowsLineEndsAreRead) {
  EXPECT_EQ(load("mtl_pawn, 95, 105\r\n\"mtl_knight\",300,-310\r\n"), "");
  EXPECT_EQ(mg_of(W.mtl_pawn), 95);
  EXPECT_EQ(eg_of(W.mtl_pawn), 105);
  EXPECT_EQ(mg_of(W.mtl_knight), 300);
  EXPECT_EQ(eg_of(W.mtl_knight), -310);
  EXPECT_EQ(mg_of(W.mtl_bishop), 392);
}

TEST_F(ParamsTest, NameOutOfOrderReportsAndLandsAtTheRunningEntry) {
  std::string out = load(
      "fset(\"mtl_pawn\", 100, 100)\n"
      "fset(\"mtl_bishop\", 380, 390)\n"
      "fset(\"mtl_bishop\", 400, 410)\n");
  EXPECT_EQ(out, "error mtl_bishop  mtl_knight\n");
  EXPECT_EQ(mg_of(W.mtl_knight), 380);
  EXPECT_EQ(eg_of(W.mtl_knight), 390);
  EXPECT_EQ(mg_of(W.mtl_bishop), 400);
  EXPECT_EQ(eg_of(W.mtl_bishop), 410);
  EXPECT_EQ(mg_of(W.mtl_rook), 556);
}

TEST_F(ParamsTest, LinesWithoutANameAndTwoNumbersAreSkipped) {
  std::string longLine(300, 'a');
  std::string out = load(
      "\n"
      "# tuned on 2 million positions\n"
      "fset(\"mtl_pawn\", 91)\n"
      "mtl_pawn, abc, 5\n"
      "mtl_pawn, 5x, 5\n"
      "fset()\n"
      "   ,  ,  \n" +
      longLine + ", 5, 6\n" +
      "fset(\"mtl_pawn\", 92, 93)\n"
      "fset(\"mtl_knight\", 301, 302)\n"
      "mtl_bishop, 5x, 5\n"
      "mtl_bishop, 5, 6 7\n"
      "fset(\"mtl_bishop\", , 5)\n" +
      longLine + ", 7, 8\n");
  EXPECT_EQ(out, "");
  EXPECT_EQ(mg_of(W.mtl_pawn), 92);
  EXPECT_EQ(eg_of(W.mtl_pawn), 93);
  EXPECT_EQ(mg_of(W.mtl_knight), 301);
  EXPECT_EQ(eg_of(W.mtl_knight), 302);
  EXPECT_EQ(mg_of(W.mtl_bishop), 392);
  EXPECT_EQ(eg_of(W.mtl_bishop), 400);
}

TEST_F(ParamsTest, ValuesBeyondTheHalfWordAreHeldInside) {
  load("mtl_pawn, 99999999999, -99999999999\nmtl_knight, 40000, 1\n");
  EXPECT_EQ(mg_of(W.mtl_pawn), 32767);
  EXPECT_EQ(eg_of(W.mtl_pawn), -32767);
  EXPECT_EQ(mg_of(W.mtl_knight), 32767);
  EXPECT_EQ(eg_of(W.mtl_knight), 1);
}

TEST_F(ParamsTest, FileMustStartAtTheFirstEntry) {
  std::vector<int32_t> before = packed_snapshot();
  EXPECT_EQ(load("mtl_knight, 1, 2\n"), "");
  EXPECT_EQ(packed_snapshot(), before);
}

TEST_F(ParamsTest, MissingOrUnreadableFileChangesNothing) {
  std::vector<int32_t> before = packed_snapshot();
  load_params_file(path_of("none.txt").c_str());
  load_params_file(dir.c_str());
  load_params_file("");
  load_params_file(nullptr);
  EXPECT_EQ(packed_snapshot(), before);
}

TEST_F(ParamsTest, SetUpReadsTheOptionFileAndRebuildsFromScratch) {
  write_file("tuned.txt", "fset(\"mtl_pawn\", 80, 120)\n");
  use_param_file("tuned.txt");
  setup_eval_params();
  EXPECT_EQ(mg_of(W.mtl_pawn), 80);
  EXPECT_EQ(eg_of(W.mtl_pawn), 120);
  use_param_file("absent.txt");
  setup_eval_params();
  EXPECT_EQ(mg_of(W.mtl_pawn), 100);
  EXPECT_EQ(eg_of(W.mtl_pawn), 100);
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
  EXPECT_EQ(mg_of(W.knight_trapped), -5);
  EXPECT_EQ(mg_of(W.mtl_knight), 390);
  EXPECT_EQ(eg_of(W.mtl_knight), 387);
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

TEST_F(ParamsTest, ScalingKeepsTheUnroundedValue) {
  std::vector<int32_t> before = packed_snapshot();
  EXPECT_EQ(scale_params("no_such_term", 50, 50), 1);
  EXPECT_EQ(packed_snapshot(), before);
  EXPECT_EQ(scale_params("mtl_knight", 50, 50), 0);
  EXPECT_EQ(scale_params("mtl_knight", 50, 50), 0);
  EXPECT_EQ(mg_of(W.mtl_knight), 98);  // 97.5
  EXPECT_EQ(eg_of(W.mtl_knight), 97);  // 96.75
  EXPECT_EQ(scale_params("mtl_knight", 200, 200), 0);
  EXPECT_EQ(mg_of(W.mtl_knight), 195);  // not 196 from the rounded 98
  EXPECT_EQ(eg_of(W.mtl_knight), 194);  // 193.5
}

TEST_F(ParamsTest, ExchangeValuesAreFixedWhateverTheMaterial) {
  for (int& v : SeeValue) v = -1;
  write_file("tuned.txt", "mtl_pawn, 120, 130\nmtl_knight, 500, 500\n");
  use_param_file("tuned.txt");
  Options.personality[1][PHASE_MG] = 10;
  setup_eval_params();
  const int expected[7] = {0, 100, 350, 350, 550, 1075, 9000};
  for (int t = 0; t < 7; ++t) EXPECT_EQ(SeeValue[t], expected[t]) << t;
}

}  // namespace
