// The node search driven directly: draw scores, node limits, the line it
// returns, and a handful of easy Win At Chess positions as a sanity check
// of the whole node search (no transposition table, no root driver): each
// is solved by depth 6, the mates with their exact distance.
#include "search/search.h"

#include <cstdlib>
#include <fstream>
#include <string>

#include "board/fen.h"
#include "eval/evaluate.h"
#include "search/searchparams.h"
#include "search_fixture.h"

namespace {

constexpr int FULL = INFINITE_SCORE;
// White has an extra queen: any score that is not a draw is far from 0.
constexpr const char* QUEEN_UP = "rnb1kbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1";
constexpr int CLEARLY_WINNING = 500;

// Draws by rule: a repetition inside the line is one, before the root it
// takes two (the position then stands there a third time); the fifty-move
// rule from the 101st reversible half-move on (the FEN reader starts every
// position at 0, so the count is set). Otherwise the side a queen up is far
// ahead, at the hundredth half-move less so by the fifty-move scaling
// (deeper searches would find the draw by the next quiet move).
TEST_F(SearchTest, DrawsByRepetitionAndTheFiftyMoveRule) {
  struct Case { int cyclesBeforeRoot, cyclesInLine, fifty, depth, atLeast; } cases[] = {
      {0, 1, 0, 2, 0}, {1, 0, 0, 2, CLEARLY_WINNING}, {2, 0, 0, 2, 0},
      {0, 0, 100, 0, 0}, {0, 0, 99, 0, CLEARLY_WINNING / 2},
  };
  for (const Case& c : cases) {
    set(QUEEN_UP);
    t->pos.fifty = uint8_t(c.fifty);
    for (int cycle = 0; cycle < c.cyclesBeforeRoot + c.cyclesInLine; cycle++) {
      for (const char* m : {"g1f3", "g8f6", "f3g1", "f6g8"}) ASSERT_TRUE(play(m));
      if (cycle + 1 == c.cyclesBeforeRoot) make_root();
    }
    if (c.fifty) {
      ASSERT_TRUE(play("g1f3"));
    }
    int score = search_here(c.depth, -FULL, FULL);
    EXPECT_EQ(c.atLeast ? std::abs(score) > c.atLeast : score == 0, true)
        << score << ": " << c.cyclesBeforeRoot << " " << c.cyclesInLine << " " << c.fifty;
  }
}

TEST(PvCopyTest, NeverWritesBeyondTheLastPly) {
  Move dst[MAX_PLY + 1], src[MAX_PLY + 1];
  for (int i = 0; i <= MAX_PLY; i++) {
    dst[i] = Move(7000 + i);
    src[i] = Move(500 + i);
  }
  pv_copy(dst, src, 9, MAX_PLY - 3);
  EXPECT_EQ(dst[MAX_PLY - 1], 500 + MAX_PLY - 1);
  EXPECT_EQ(dst[MAX_PLY], 7000 + MAX_PLY);  // the guard entry
}

constexpr int SOLVE_DEPTH = 6;
constexpr int NOT_A_MATE = 0;

struct Tactic {
  const char* id;
  int matePlies;  // plies to the mate for mates, else NOT_A_MATE
};

// Mate in 2 is three plies of the winner's line: mated at ply 4.
constexpr Tactic TACTICS[] = {
    {"WAC.001", 3},          {"WAC.003", NOT_A_MATE}, {"WAC.004", 3},
    {"WAC.005", 3},          {"WAC.008", NOT_A_MATE}, {"WAC.009", NOT_A_MATE},
    {"WAC.010", NOT_A_MATE}, {"WAC.022", NOT_A_MATE}, {"WAC.032", NOT_A_MATE},
    {"WAC.058", NOT_A_MATE},
};

bool find_epd(const char* id, EpdFields& out) {
  std::ifstream in(std::string(ZERV_DATA_DIR) + "/epd/wac.epd");
  std::string line, quoted = std::string("\"") + id + "\"";
  while (std::getline(in, line)) {
    if (line.find(quoted) == std::string::npos) continue;
    parse_epd(line.c_str(), out);
    return true;
  }
  return false;
}

TEST_F(SearchTest, EasyWinAtChessPositionsAreSolved) {
  for (const Tactic& tactic : TACTICS) {
    SCOPED_TRACE(tactic.id);
    EpdFields epd;
    ASSERT_TRUE(find_epd(tactic.id, epd));
    set(epd.fen);
    Move best = parse(epd.bm);
    ASSERT_NE(best, MOVE_NONE);
    int score = deepen(SOLVE_DEPTH);
    EXPECT_EQ(pv[1], best);
    if (tactic.matePlies != NOT_A_MATE) {
      EXPECT_EQ(score, MATE - 1 - tactic.matePlies);
    }
  }
}

}  // namespace
