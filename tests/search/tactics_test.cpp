// A handful of easy Win At Chess positions as a sanity check of the whole
// node search (no transposition table, no root driver): each is solved by
// depth 6, the mates with their exact distance.
#include <fstream>
#include <string>

#include "board/fen.h"
#include "search/search.h"
#include "search_fixture.h"

namespace {

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
