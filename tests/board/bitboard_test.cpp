// Attack tables and slider attacks against naive board walks, the
// attacker queries the exchange evaluation and check tests build on, and
// the exchange evaluation itself.
#include <algorithm>
#include <iterator>
#include <random>
#include <vector>

#include "board/attacks.h"
#include "board/see.h"
#include "board_checks.h"

namespace {

using BitboardTest = BoardTest;

constexpr int A1 = 0, B3 = 17, A4 = 24, H8 = 63;

TEST_F(BitboardTest, SlidersMatchNaiveWalkOnRandomOccupancies) {
  std::mt19937_64 rng(20240611);
  for (int trial = 0; trial < 3000; trial++) {
    Bitboard occ = rng();
    if (trial % 3 == 1) occ &= rng();  // sparse boards as well as dense ones
    if (trial % 3 == 2) occ &= rng() & rng();
    if (trial % 7 == 0) occ |= bit(A1) | bit(H8);
    for (int sq = 0; sq < 64; sq++) {
      ASSERT_EQ(rook_attacks(sq, occ), naive_attacks(ROOK, sq, occ)) << sq << " " << occ;
      ASSERT_EQ(bishop_attacks(sq, occ), naive_attacks(BISHOP, sq, occ)) << sq << " " << occ;
    }
  }
}

// The inline count a generic x86-64 build uses, against a bit-by-bit count,
// from empty and full boards through every density.
TEST(Popcount, ParallelCountMatchesBitByBit) {
  std::mt19937_64 rng(7);
  std::vector<Bitboard> boards = {0, ~Bitboard(0), bit(A1), bit(H8), bit(A1) | bit(H8)};
  for (int i = 0; i < 4000; i++) {
    Bitboard b = rng();
    for (int thin = i % 4; thin > 0; thin--) b &= rng();
    boards.push_back(i % 5 == 0 ? ~b : b);
  }
  for (Bitboard b : boards) {
    int bits = 0;
    for (int sq = 0; sq < 64; sq++) bits += int(b >> sq & 1);
    ASSERT_EQ(popcount_parallel(b), bits) << b;
    ASSERT_EQ(popcount(b), bits) << b;
  }
}

TEST_F(BitboardTest, LeastAttackerTakesCheapestThenLowestSquare) {
  // Black knight on d5 attacked by every white piece kind, two rooks
  // (a5 below d8) among them. Removing each answer from the occupancy,
  // as the exchange does, must reveal the next one.
  Position& pos = set("k2R2B1/8/2K2N2/R2n4/2P5/8/8/7Q w - -");
  const int d5 = 35;
  const int order[] = {26 /*c4*/, 45 /*f6*/, 62 /*g8*/, 32 /*a5*/, 59 /*d8*/, 7 /*h1*/, 42 /*c6*/};
  Bitboard occ = occupancy(pos);
  for (int expected : order) {
    int a = least_attacker(pos, d5, WHITE, occ);
    ASSERT_EQ(a, expected);
    occ &= ~bit(a);
  }
  EXPECT_EQ(least_attacker(pos, d5, WHITE, occ), NO_SQUARE);
  EXPECT_EQ(least_attacker(pos, d5, BLACK, occupancy(pos)), NO_SQUARE);
}

// -------------------------------------------------------- static exchange
// Static exchange evaluation on hand-checked exchanges, with the piece
// values the evaluation installs (knight and bishop 350, rook 550, queen
// 1075).

class SeeTest : public BoardTest {
 protected:
  void SetUp() override {
    BoardTest::SetUp();
    std::copy(std::begin(SeeValue), std::end(SeeValue), saved);
    const int values[7] = {0, 100, 350, 350, 550, 1075, 9000};
    std::copy(std::begin(values), std::end(values), SeeValue);
  }
  void TearDown() override {
    std::copy(std::begin(saved), std::end(saved), SeeValue);
    BoardTest::TearDown();
  }
  static int sq(const char* s) { return make_square(s[0] - 'a', s[1] - '1'); }
  int saved[7];
};

struct SeeCase { const char *fen, *from, *to; int expected; };  // from "" for the threat form

TEST_F(SeeTest, CapturesOnOneSquare) {
  const SeeCase cases[] = {
      {"4k3/8/8/3n4/4P3/8/8/4K3 w - -", "e4", "d5", 350},
      {"4k3/8/4p3/3n4/4P3/8/8/4K3 w - -", "e4", "d5", 250},
      // The first capture is forced even when it loses.
      {"4k3/8/2p5/3p4/8/8/8/3QK3 w - -", "d1", "d5", 100 - 1075},
      {"4k3/8/8/8/8/2p5/3p4/4K3 w - -", "e1", "d2", 100 - 9999},
      // En passant wins nothing on the empty target square.
      {"4k3/8/8/3pP3/8/8/8/4K3 w - d6", "e5", "d6", 0},
      {"4k3/2p5/8/3pP3/8/8/8/4K3 w - d6", "e5", "d6", -100},
      // X-rays: the rook behind joins once the one in front has gone.
      {"3rk3/8/8/3n4/8/8/3R4/3RK3 w - -", "d2", "d5", 350},
      {"3rk3/8/8/3n4/8/8/3R4/4K3 w - -", "d2", "d5", 350 - 550},
      // The king does not recapture on a defended square.
      {"3k4/3p4/8/8/8/8/8/3RK3 w - -", "d1", "d7", 100 - 550},
      {"3k4/3p4/8/8/8/8/3R4/3RK3 w - -", "d2", "d7", 100},
      // Bishop g7 hides behind its king, which cannot take on e5 (the
      // white king guards it): the rook wins the pawn.
      {"8/6b1/5k2/4p3/3K4/8/8/4R3 w - -", "e1", "e5", 100},
      // Threat form: value of attacking the piece with the cheapest attacker.
      {"4k3/8/8/3n4/4P3/8/8/4K3 w - -", "", "d5", 350},
      {"4k3/8/4p3/3n4/8/8/8/3RK3 w - -", "", "d5", 0},
      {"4k3/8/8/3n4/4P3/8/8/4K3 b - -", "", "e4", 0},
      {"4k3/8/8/8/8/5n2/8/4K3 b - -", "", "e1", 9999},
  };
  for (const SeeCase& c : cases) {
    Position& pos = set(c.fen);
    int from = *c.from ? sq(c.from) : NO_SQUARE;
    EXPECT_EQ(see(pos, pos.side, from, sq(c.to)), c.expected) << c.fen << " " << c.from << c.to;
  }
}

}  // namespace
