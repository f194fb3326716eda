// The printed breakdown: header, nine category lines in their exact
// format, hanging pieces and free passers, and the summary line.
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

TEST_F(HceTraceTest, HangingPiecesAndFreePawnsListed) {
  // Knight e4 attacked by the d3 pawn; passer b6 with nothing in its way.
  std::vector<std::string> lines = trace("6kr/5ppp/1P6/8/4n3/3P4/5PPP/R5K1 w - -", 1);
  ASSERT_EQ(lines.size(), 14u);
  EXPECT_EQ(lines[10], "hung pieces on:  e4");
  EXPECT_EQ(lines[11], "free pawns on:  b6");
}
