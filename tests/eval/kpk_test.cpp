// The king-and-pawn table against tablebase truth for every legal position
// with the pawn on files a-d and a sample on files e-h, seen from both
// colours, and the king-and-pawn score built on it.
#include <fstream>
#include <set>
#include <sstream>

#include "eval/kpk.h"
#include "hce_fixture.h"

namespace {

struct KpkCase { std::string pawn, whiteKing, blackKing; char side; int result; };  // result 2: a win, 0 a draw

std::vector<KpkCase> read_kpk_file() {
  std::vector<KpkCase> cases;
  std::ifstream in(hce_data_path("kpk.txt"));
  for (std::string line; std::getline(in, line);) {
    if (line.empty() || line[0] == '#') continue;
    std::istringstream words(line);
    KpkCase c;
    if (words >> c.pawn >> c.whiteKing >> c.blackKing >> c.side >> c.result) cases.push_back(c);
  }
  return cases;
}

int square_of(const std::string& name) { return (name[0] - 'a') + 8 * (name[1] - '1'); }

// Position with the pieces placed one by one (no FEN text in between).
void place(Position& pos, int pawnSide, int pawn, int pawnKing, int loneKing, int side) {
  set_position(pos, "8/8/8/8/8/8/8/8 w - -");
  put_piece(pos, pawnSide, PAWN, pawn);
  put_piece(pos, pawnSide, KING, pawnKing);
  put_piece(pos, pawnSide ^ 1, KING, loneKing);
  pos.side = uint8_t(side);
}

}  // namespace

class KpkTest : public HceTest {};

TEST_F(KpkTest, AgreesWithTablebaseFromBothSides) {
  std::vector<KpkCase> cases = read_kpk_file();
  ASSERT_GT(cases.size(), 190000u) << "kpk.txt missing or short";
  std::set<std::string> disagreements;
  int wins = 0;
  for (const KpkCase& c : cases) {
    int pawn = square_of(c.pawn), wk = square_of(c.whiteKing), bk = square_of(c.blackKing);
    int side = c.side == 'w' ? WHITE : BLACK;
    place(t->pos, WHITE, pawn, wk, bk, side);
    uint8_t asWhite = kpk_probe(t->pos, WHITE);
    // The same position with Black as the pawn side.
    place(t->pos, BLACK, pawn ^ 56, wk ^ 56, bk ^ 56, side ^ 1);
    uint8_t asBlack = kpk_probe(t->pos, BLACK);
    ASSERT_EQ(asWhite, asBlack) << c.pawn << " " << c.whiteKing << " " << c.blackKing << " " << c.side;
    wins += asWhite == KPK_WIN;
    if ((asWhite == KPK_WIN) != (c.result == 2))
      disagreements.insert(c.pawn + " " + c.whiteKing + " " + c.blackKing + " " + c.side);
  }
  // The table's one rule that is not exact chess, a new queen counts as a
  // win unless taken at once, never decides a position here (where queening
  // stalemates, a rook promotion or a king move still wins).
  EXPECT_EQ(disagreements, std::set<std::string>{});
  EXPECT_GT(wins, 100000);
}

TEST_F(KpkTest, WonPositionScoresRaceTermPlus800) {
  // King on the sixth in front of its pawn wins whoever moves. Race term:
  // lone king on d8 is 0 from the queening square, pawn rank 5 (index 4)
  // gives 16, own king 2 away: 0 + 16 - 2 = 14.
  EXPECT_EQ(eval_root("3k4/8/3K4/3P4/8/8/8/8 w - -"), 814);
  EXPECT_EQ(eval_root("3k4/8/3K4/3P4/8/8/8/8 b - -"), -814);
  // Black pawn, mirrored onto the king side: the same numbers.
  EXPECT_EQ(eval_root("8/8/8/8/4p3/4k3/8/4K3 b - -"), 814);
  EXPECT_EQ(eval_root("8/8/8/8/4p3/4k3/8/4K3 w - -"), -814);
}
