// Attack tables and slider attacks against naive board walks, and the
// attacker queries the exchange evaluation and check tests build on.
#include <random>

#include "board/attacks.h"
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

}  // namespace
