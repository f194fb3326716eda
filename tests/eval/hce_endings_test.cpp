// Special endings scored by rule, the scale factor of drawish endings, and
// the king-and-pawn table.
#include <fstream>
#include <set>
#include <sstream>

#include "eval/kpk.h"
#include "eval/scale.h"
#include "hce_fixture.h"

class HceEndingsTest : public HceTest {
 protected:
  // Both sides to move, so a sign slip or a side-dependent term shows.
  void expect_both_sides(const std::string& placement, int whiteToMove) {
    EXPECT_EQ(eval_root(placement + " w - -"), whiteToMove) << placement;
    EXPECT_EQ(eval_root(placement + " b - -"), -whiteToMove) << placement;
  }
  float sf(const std::string& fen, int s) { return scale_factor(set(fen), s); }
};

TEST_F(HceEndingsTest, BishopAndKnightDriveToTheBishopsCorner) {
  // Dark-square bishop c1: lone king on a1 (corner 9), strong king c3
  // (centre 2), distance 2: 700 + 144 + 16 - 16.
  expect_both_sides("8/8/8/8/8/2K5/3N4/k1B5", 844);
  // Same bishop, lone king in the light corner h1 (corner 2), distance 5.
  expect_both_sides("8/8/8/8/8/2K5/3N4/2B4k", 708);
  // Light-square bishop d1: now h1 is the mating corner (9), distance 5.
  expect_both_sides("8/8/8/8/8/2K5/3N4/3B3k", 820);
}

TEST_F(HceEndingsTest, MopUpDrivesTheLoneKingToTheEdge) {
  // Rook (5 units) and 100 + 4 * (60 - 4 * 2) for the lone king on a1.
  expect_both_sides("8/8/8/8/3R4/2K5/8/k7", 808);
  // Queen and pawns for Black; pawns do not count.
  expect_both_sides("7K/8/8/8/8/1q6/pp6/k7", -(1000 + 100 + 4 * (60 - 4 * 7)));
}

TEST_F(HceEndingsTest, WrongRookPawnIsAlmostADraw) {
  // Dark bishop cannot control the light corner a8 where the king waits.
  EXPECT_FLOAT_EQ(sf("1k6/8/8/P7/3B4/2K5/8/8 w - -", 300), 0.05f);
  // Light bishop controls a8; the king far from the corner; pawns on two files.
  EXPECT_NE(sf("1k6/8/8/P7/4B3/2K5/8/8 w - -", 300), 0.05f);
  EXPECT_NE(sf("1k6/8/8/P6P/3B4/2K5/8/8 w - -", 300), 0.05f);
  // Black's h-pawn queens on h1 (light); dark bishop, king on g2.
  EXPECT_FLOAT_EQ(sf("8/8/5k2/8/3b4/7p/6K1/8 b - -", -300), 0.05f);
}

TEST_F(HceEndingsTest, OppositeBishopsHalveAnExtraPawn) {
  const std::string pure = "2b3k1/pp3ppp/8/8/8/8/PPP2PPP/2B3K1 w - -";
  EXPECT_FLOAT_EQ(sf(pure, 100), 0.6f);
  EXPECT_FLOAT_EQ(sf("2b1r1k1/pp3ppp/8/8/8/8/PPP2PPP/2B1R1K1 w - -", 100), 0.9f);
  // Same-coloured bishops, or a pawn gap of three, are not scaled.
  EXPECT_FLOAT_EQ(sf("1b4k1/pp3ppp/8/8/8/8/PPP2PPP/2B3K1 w - -", 100), 1.0f);
  EXPECT_FLOAT_EQ(sf("2b3k1/p4ppp/8/8/8/8/PPPP1PPP/2B3K1 w - -", 100), 1.0f);
}

TEST_F(HceEndingsTest, OneOrTwoExtraPawnsAgainstPieces) {
  // Rook and pawn against rook: 0.8; the pawn in front of the king: 0.75 more.
  EXPECT_FLOAT_EQ(sf("8/8/1k6/8/8/8/r5P1/4K2R w - -", 100), 0.8f);
  EXPECT_FLOAT_EQ(sf("8/8/6k1/8/8/8/r5P1/4K2R w - -", 100), 0.8f * 0.75f);
  // Against a minor piece: 0.6, or 0.8 with two pawns.
  EXPECT_FLOAT_EQ(sf("8/8/1k6/8/8/8/1n4P1/4K1N1 w - -", 100), 0.6f);
  EXPECT_FLOAT_EQ(sf("8/p7/1k6/8/8/8/1n4PP/4K1N1 w - -", 100), 0.8f);
  // A pawn past the defending king is not held.
  EXPECT_FLOAT_EQ(sf("8/6P1/8/8/6k1/8/r7/4K2R w - -", 100), 0.8f);
}

// -------------------------------------------------------------------- KPK
// The king-and-pawn table against tablebase truth for every legal position
// with the pawn on files a-d and a sample on files e-h, seen from both
// colours.

namespace {

struct KpkCase { std::string pawn, whiteKing, blackKing; char side; int result; };  // result 2: a win, 0 a draw

std::vector<KpkCase> read_kpk_file() {
  std::vector<KpkCase> cases;
  std::ifstream in(data_path("kpk.txt"));
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
