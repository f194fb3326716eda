// The evaluation parameter registry: order and names, built-in values and
// table orientation, the parameter file, personality scaling, exchange
// values and the printed lists.
#include "eval/params.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <set>
#include <sstream>
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

std::vector<std::string> split_lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
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

TEST_F(ParamsTest, RegistryHoldsEveryEntryInOrder) {
  ASSERT_EQ(ParamCount, PARAM_COUNT);
  EXPECT_STREQ(Params[0].name, "mtl_pawn");
  EXPECT_STREQ(Params[9].name, "pawn_doubled");
  EXPECT_EQ(W.ppawn_base, &Params[10]);
  EXPECT_EQ(W.ppawn_ekdist, &Params[36]);
  EXPECT_EQ(W.candidate_passer, &Params[50]);
  EXPECT_EQ(W.knight_mobility, &Params[56]);
  EXPECT_EQ(W.stm_bonus, &Params[86]);
  EXPECT_EQ(W.ttune, &Params[87]);
  EXPECT_EQ(W.PST_P1, &Params[119]);
  EXPECT_EQ(W.PST_K, &Params[567]);
  EXPECT_EQ(W.PST_P2, &Params[631]);
  EXPECT_EQ(W.PST_Q2, &Params[887]);
  EXPECT_STREQ(Params[PARAM_COUNT - 1].name, "PST_Q2");
  EXPECT_STREQ(W.king_danger2->name, "king_danger2");
  EXPECT_STREQ(W.PST_DP->name, "PST_DP");
}

TEST_F(ParamsTest, EachNameOccupiesOneUnbrokenRun) {
  std::set<std::string> finished;
  for (int i = 0; i < ParamCount; ++i) {
    if (i > 0 && std::string(Params[i].name) == Params[i - 1].name) continue;
    EXPECT_TRUE(finished.insert(Params[i].name).second) << Params[i].name << " at " << i;
  }
  EXPECT_EQ(finished.size(), 62u);
}

TEST_F(ParamsTest, BuiltInTableFollowsTheRegistryWithoutErrors) {
  for (int i = 0; i < PARAM_COUNT; ++i)
    ASSERT_STREQ(BuiltinParamValues[i].name, Params[i].name) << "row " << i;
  testing::internal::CaptureStdout();
  setup_eval_params();
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
}

TEST_F(ParamsTest, BuiltInValuesOfTheListedParameters) {
  EXPECT_EQ(mg_of(W.mtl_knight), 390);
  EXPECT_EQ(eg_of(W.mtl_knight), 387);
  EXPECT_EQ(mg_of(W.mtl_queen), 1209);
  EXPECT_EQ(eg_of(W.mtl_queen), 1277);
  EXPECT_EQ(mg_of(W.ppawn_ekdist), -73);
  EXPECT_EQ(eg_of(W.ppawn_ekdist), -64);
  EXPECT_EQ(mg_of(W.ppawn_ekdist + 7), 38);
  EXPECT_EQ(eg_of(W.ppawn_ekdist + 7), 118);
  EXPECT_EQ(eg_of(W.candidate_passer + 3), 73);
  EXPECT_EQ(mg_of(W.king_danger1), -217);
  EXPECT_EQ(eg_of(W.king_danger1), 8);
  EXPECT_EQ(mg_of(W.stm_bonus), 37);
  EXPECT_EQ(eg_of(W.stm_bonus), 19);
  for (int i = 0; i < 32; ++i) EXPECT_EQ(W.ttune[i].packed, 0) << i;

  const int rank7Mg[8] = {32, 27, 28, 30, 25, 12, -3, -19};
  const int rank7Eg[8] = {34, 32, 22, 8, 6, -1, -3, -10};
  for (int f = 0; f < 8; ++f) {
    EXPECT_EQ(mg_of(W.PST_P1 + 48 + f), rank7Mg[f]) << f;
    EXPECT_EQ(eg_of(W.PST_P1 + 48 + f), rank7Eg[f]) << f;
  }
  const int kingMg[4] = {-12, -26, 9, 5};
  const int kingEg[4] = {-59, -39, -59, -88};
  for (int f = 0; f < 4; ++f) {
    EXPECT_EQ(mg_of(W.PST_K + 4 + f), kingMg[f]) << f;
    EXPECT_EQ(eg_of(W.PST_K + 4 + f), kingEg[f]) << f;
  }
}

TEST_F(ParamsTest, FloatCopiesAgreeWithThePackedWord) {
  for (int i = 0; i < ParamCount; ++i) {
    EXPECT_EQ(Params[i].mg, float(mg_of(&Params[i]))) << i;
    EXPECT_EQ(Params[i].eg, float(eg_of(&Params[i]))) << i;
  }
}

// Squares the evaluation never looks up must hold nothing, or a tuner
// reading the tables would be misled.
TEST_F(ParamsTest, TablesAreEmptyWhereTheMirroredFrameCannotReach) {
  for (int sq = 0; sq < 64; ++sq) {
    int file = sq % 8;
    int rank = sq / 8;
    if (file < 4) {
      EXPECT_EQ(W.PST_K[sq].packed, 0) << "king on " << sq;
    }
    if (rank == 0 || rank == 7) {
      EXPECT_EQ(W.PST_P1[sq].packed, 0) << sq;
      EXPECT_EQ(W.PST_P2[sq].packed, 0) << sq;
      EXPECT_EQ(W.PST_CP[sq].packed, 0) << sq;
    }
    if (rank <= 1 || rank == 7) {
      EXPECT_EQ(W.PST_DP[sq].packed, 0) << sq;
    }
  }
}

TEST_F(ParamsTest, PackedWordSplitsBackIntoItsHalves) {
  EXPECT_EQ(pack_score(4, -22), 4 - 22 * 65536);
  EXPECT_EQ(packed_mg(4 - 22 * 65536), 4);
  EXPECT_EQ(packed_eg(4 - 22 * 65536), -22);
  const int values[] = {-32767, -217, -1, 0, 1, 9, 32767};
  for (int mg : values)
    for (int eg : values) {
      int32_t packed = pack_score(mg, eg);
      EXPECT_EQ(packed_mg(packed), mg) << mg << "/" << eg;
      EXPECT_EQ(packed_eg(packed), eg) << mg << "/" << eg;
    }
}

TEST_F(ParamsTest, OneLineFileChangesOnlyThePawnValue) {
  std::vector<int32_t> before = packed_snapshot();
  EXPECT_EQ(load("fset(\"mtl_pawn\", 90, 110)\n"), "");
  std::vector<int32_t> after = packed_snapshot();
  EXPECT_EQ(mg_of(W.mtl_pawn), 90);
  EXPECT_EQ(eg_of(W.mtl_pawn), 110);
  for (int i = 1; i < ParamCount; ++i) EXPECT_EQ(after[i], before[i]) << i;
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

TEST_F(ParamsTest, FullFileWithExtraLinesIgnoresTheExtras) {
  std::string text;
  for (int i = 0; i < ParamCount; ++i)
    text += "fset(\"" + std::string(Params[i].name) + "\", " + std::to_string(i % 97) + ", " +
            std::to_string(-(i % 89)) + ")\n";
  text += "fset(\"extra_term\", 5, 5)\nPST_Q2, 1, 1\n";
  EXPECT_EQ(load(text), "");
  for (int i = 0; i < ParamCount; ++i) {
    EXPECT_EQ(mg_of(&Params[i]), i % 97) << i;
    EXPECT_EQ(eg_of(&Params[i]), -(i % 89)) << i;
  }
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

TEST_F(ParamsTest, KingSafetyScalingRoundsNegativesAwayFromZero) {
  Options.personality[KING_SAFETY_GROUP][PHASE_MG] = 50;
  Options.personality[KING_SAFETY_GROUP][PHASE_EG] = 150;
  setup_eval_params();
  EXPECT_EQ(mg_of(W.king_danger1), -109);  // -108.5
  EXPECT_EQ(eg_of(W.king_danger1), 12);
  EXPECT_EQ(mg_of(W.king_danger2), -43);
  EXPECT_EQ(eg_of(W.king_danger2), -6);
  EXPECT_EQ(mg_of(W.enemy_checks), -8);
  EXPECT_EQ(eg_of(W.enemy_checks), -48);
  EXPECT_EQ(eg_of(W.king_trapped), -45);
  EXPECT_EQ(mg_of(W.pawn_shield), 35);
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

TEST_F(ParamsTest, SetNextParamPastTheEndOrWithoutANameIsHarmless) {
  std::vector<int32_t> before = packed_snapshot();
  testing::internal::CaptureStdout();
  set_next_param("PST_Q2", 3, 3);  // the running entry is past the last one
  set_next_param(nullptr, 3, 3);
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
  EXPECT_EQ(packed_snapshot(), before);
}

TEST_F(ParamsTest, PrintPstShowsRanksFromTheEighthDown) {
  testing::internal::CaptureStdout();
  print_pst("Pawn1", W.PST_P1);
  std::string out = testing::internal::GetCapturedStdout();
  const std::string zeros = "   0   0   0   0   0   0   0   0";
  std::string expected = "Pawn1\n" + zeros + "     " + zeros + "\n" +
                         "  32  27  28  30  25  12  -3 -19       34  32  22   8   6  -1  -3 -10\n"
                         "  -7   8  15  23  30  57  53  12       41  27  13   0   8  14  20  12\n"
                         "  -9   3  -7   5  11  24  16   5       28  10   8  -4  10   5  15  15\n"
                         " -15  -9  -6  -2   1  -4   1  -8       12   4  -7  -7   4  12  15   9\n"
                         " -28 -19 -32 -27 -24 -12   9 -17        2  -8  -1   6  15  16   6   5\n"
                         " -26 -24 -24 -20 -23   4  28 -10        5  -2   0   1  26  26   7   0\n" +
                         zeros + "     " + zeros + "\n\n";
  EXPECT_EQ(out, expected);
}

TEST_F(ParamsTest, PrintPstRefusesATableOutsideTheRegistry) {
  testing::internal::CaptureStdout();
  print_pst("Past the end", W.PST_Q2 + 1);
  print_pst("Nothing", nullptr);
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
}

TEST_F(ParamsTest, PrintParamListGivesTermsThenThirteenTables) {
  testing::internal::CaptureStdout();
  print_param_list();
  std::vector<std::string> lines = split_lines(testing::internal::GetCapturedStdout());
  const int terms = 119;
  const int tableLines = 10;  // title, eight ranks, blank
  ASSERT_EQ(lines.size(), size_t(terms + 13 * tableLines));
  EXPECT_EQ(lines[0], "mtl_pawn                 100 ,  100");
  EXPECT_EQ(lines[74], "king_danger1            -217 ,    8");
  EXPECT_EQ(lines[118], "ttune                      0 ,    0");
  const char* titles[13] = {"Pawn1",   "Pawn2",   "Connected Pawn", "Defended Pawn", "Knight1",
                            "Knight2", "Bishop1", "Bishop2",        "Rook1",         "Rook2",
                            "Queen1",  "Queen2",  "King"};
  for (int t = 0; t < 13; ++t) {
    EXPECT_EQ(lines[terms + t * tableLines], titles[t]);
    EXPECT_EQ(lines[terms + t * tableLines + 9], "");
  }
  // The king table's first rank line ends with the rank-one endgame values.
  std::string kingRank1 = lines[terms + 12 * tableLines + 8];
  EXPECT_EQ(kingRank1.substr(kingRank1.size() - 16), " -59 -39 -59 -88");
}

}  // namespace
