// The root decision against the reference file: result code under the
// fifty-move count, |DTZ| of the root, a move among the best ones, and
// the moves that keep the result (all best moves; exactly the drawing
// moves of a drawn root).
#include "syzygy/tbroot.h"

#include <algorithm>

#include "board/notation.h"
#include "tb_fixture.h"

namespace {

class TbRoot : public TbTest {};

std::string move_text(Move m) {
  static const char PROMO[] = " nbrq";
  std::string s = SquareName[move_from(m)];
  s += SquareName[move_to(m)];
  if (move_flags(m)) s += PROMO[promotion_type(m) - 1];
  return s;
}

TEST_F(TbRoot, ReferenceRootDecisions) {
  auto cases = read_root_file();
  ASSERT_GT(cases.size(), 250u);
  int wrong = 0;
  for (const auto& c : cases) {
    Position& pos = set(c.fen);
    Move m;
    int code = -1, absDtz = -1;
    int r = tb_probe_root(pos, &m, &code, &absDtz);
    std::string text = m == MOVE_NONE ? "none" : move_text(m);
    bool listed = std::find(c.moves.begin(), c.moves.end(), text) != c.moves.end();
    Move keep[TB_ROOT_MAX_MOVES];
    int kept = tb_root_keepers(pos, keep);
    std::vector<std::string> keepers;
    for (int i = 0; i < kept; i++) keepers.push_back(move_text(keep[i]));
    bool covered = std::all_of(c.moves.begin(), c.moves.end(), [&](const std::string& m) {
      return std::find(keepers.begin(), keepers.end(), m) != keepers.end();
    });
    if (c.code == 2) covered = covered && keepers.size() == c.moves.size();
    if ((r != c.code || code != c.code || absDtz != c.absDtz || !listed || !covered) && ++wrong <= 10)
      ADD_FAILURE() << c.fen << ": " << r << " " << absDtz << " " << text << " keeps " << kept;
  }
  EXPECT_EQ(wrong, 0);
}

// Castling rights, a missing king, a pawn on the last rank, the side not
// to move in check, more than six pieces: the tables are not asked.
TEST_F(TbRoot, RefusesPositionsTheTablesCannotHold) {
  const char* refused[] = {
      "4k3/8/8/8/8/8/8/R3K3 w Q - 0 1",       "8/8/8/8/8/8/8/R3K3 w - - 0 1",
      "4k2P/8/8/8/8/8/8/R3K3 w - - 0 1",      "4k3/8/8/8/8/8/8/K3R3 w - - 0 1",
      "4k3/8/8/8/8/8/PPP5/RN2K3 w - - 0 1",
  };
  for (const char* fen : refused) {
    Position& pos = set(fen);
    Move m;
    int code, absDtz;
    EXPECT_EQ(tb_probe_root(pos, &m, &code, &absDtz), TB_ROOT_FAILED) << fen;
    EXPECT_EQ(m, MOVE_NONE) << fen;
  }
}

}  // namespace
