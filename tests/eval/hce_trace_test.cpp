// The printed breakdown: header, nine category lines in their exact
// format, hanging pieces and free passers, the summary line, and the
// parameter list at level 2.
#include <cstdio>

#include "hce_fixture.h"

namespace {

const char* const CATEGORIES[] = {"pawns:", "knights:", "bishops:", "rooks:",  "queens:",
                                  "king:",  "ppawns:",  "threats:", "special:"};

struct Summary {
  int nne, hce, mtl, rule50;
  float phase, sf;
};

bool parse_summary(const std::string& line, Summary& s) {
  return std::sscanf(line.c_str(), "nne= %d, hce= %d, mtl= %d, phase= %f, sf= %f, rule50= %d", &s.nne, &s.hce,
                     &s.mtl, &s.phase, &s.sf, &s.rule50) == 6;
}

}  // namespace

class HceTraceTest : public HceTest {
 protected:
  std::vector<std::string> trace(const std::string& fen, int level, int* score = nullptr, int fifty = 0) {
    set(fen);
    t->pos.fifty = uint8_t(fifty);
    int s = 0;
    std::vector<std::string> lines = captured_lines([&] { s = hce_evaluate(t, t->pos.side, 1, level); });
    if (score) *score = s;
    return lines;
  }
};

TEST_F(HceTraceTest, LinesInTheirExactFormat) {
  int score = 0;
  std::vector<std::string> lines = trace("r1bq1rk1/pp1nbppp/4pn2/2pp4/2PP4/2N1PN2/PP1B1PPP/R2QKB1R w KQ -", 1, &score, 7);
  ASSERT_EQ(lines.size(), 12u);
  EXPECT_EQ(lines[0], "           white  black");
  for (int i = 0; i < 9; i++) {
    char name[16];
    int w, b;
    ASSERT_EQ(std::sscanf(lines[i + 1].c_str(), "%15s %d %d", name, &w, &b), 3) << lines[i + 1];
    EXPECT_STREQ(name, CATEGORIES[i]);
    char expected[64];
    std::snprintf(expected, sizeof expected, "%-10s  %4d   %4d", name, w, b);
    EXPECT_EQ(lines[i + 1], expected);
  }
  Summary s;
  ASSERT_TRUE(parse_summary(lines[10], s)) << lines[10];
  EXPECT_EQ(s.hce, score);
  EXPECT_EQ(s.mtl, 0);
  EXPECT_EQ(s.rule50, 7);
  EXPECT_FLOAT_EQ(s.phase, 0.0f);
  EXPECT_FLOAT_EQ(s.sf, 1.0f);
  EXPECT_NE(lines[10].find(", phase= 0.00, sf= 1.00, rule50= 7"), std::string::npos);
  EXPECT_EQ(lines[11], "");
}

TEST_F(HceTraceTest, OnlyTheSideToMoveGetsTheSpecialBonus) {
  std::vector<std::string> lines = trace("4k3/pppp4/8/8/8/8/4PPPP/4K3 b - -", 1);
  int w, b;
  ASSERT_EQ(std::sscanf(lines[9].c_str(), "special: %d %d", &w, &b), 2);
  EXPECT_EQ(w, 0);
  EXPECT_EQ(b, packed_eg(W.stm_bonus->packed)) << "bare pawns: phase 1, the endgame half";
}

TEST_F(HceTraceTest, MaterialFromTheSideToMove) {
  // A knight up for White, Black to move: material negative.
  Summary s;
  std::vector<std::string> lines = trace("r1bqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR b KQkq -", 1);
  ASSERT_TRUE(parse_summary(lines[lines.size() - 2], s));
  int knight = packed_mg(W.mtl_knight->packed);  // phase 0 with this much material
  EXPECT_EQ(s.mtl, -knight);
  EXPECT_LT(s.hce, 0);
}

TEST_F(HceTraceTest, HangingPiecesAndFreePawnsListed) {
  // Knight e4 attacked by the d3 pawn; passer b6 with nothing in its way.
  std::vector<std::string> lines = trace("6kr/5ppp/1P6/8/4n3/3P4/5PPP/R5K1 w - -", 1);
  ASSERT_EQ(lines.size(), 14u);
  EXPECT_EQ(lines[10], "hung pieces on:  e4");
  EXPECT_EQ(lines[11], "free pawns on:  b6");
}

TEST_F(HceTraceTest, CategoriesExcludeMaterial) {
  // Bare kings and pawns: the pawn category holds only structure, so two
  // symmetric pawn sets give equal values, whatever the pawn weight.
  std::vector<std::string> lines = trace("4k3/pp6/8/8/8/8/PP6/4K3 w - -", 1);
  int w, b;
  ASSERT_EQ(std::sscanf(lines[1].c_str(), "pawns: %d %d", &w, &b), 2);
  EXPECT_EQ(w, b);
  EXPECT_LT(std::abs(w), packed_eg(W.mtl_pawn->packed));
}

TEST_F(HceTraceTest, LevelTwoAddsTheParameterList) {
  std::vector<std::string> one = trace(START_FEN, 1);
  std::vector<std::string> two = trace(START_FEN, 2);
  ASSERT_GT(two.size(), one.size() + 100);
  for (size_t i = 0; i < one.size(); i++) EXPECT_EQ(one[i], two[i]);
  EXPECT_EQ(two[one.size()].rfind("mtl_pawn", 0), 0u) << two[one.size()];
}

TEST_F(HceTraceTest, NoTraceWithoutALevel) {
  EXPECT_TRUE(trace(START_FEN, 0).empty());
}
