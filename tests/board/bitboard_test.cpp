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

TEST_F(BitboardTest, StepTablesMatchPieceMoves) {
  for (int sq = 0; sq < 64; sq++) {
    EXPECT_EQ(KnightAttacks[sq], naive_attacks(KNIGHT, sq, 0)) << sq;
    EXPECT_EQ(KingAttacks[sq], naive_attacks(KING, sq, 0)) << sq;
    EXPECT_EQ(RookPseudo[sq], naive_attacks(ROOK, sq, 0)) << sq;
    EXPECT_EQ(BishopPseudo[sq], naive_attacks(BISHOP, sq, 0)) << sq;
    // Pawns capture nothing from their own last rank.
    EXPECT_EQ(PawnAttacks[WHITE][sq], rank_of(sq) == 7 ? 0 : naive_attacks(PAWN, sq, 0, WHITE)) << sq;
    EXPECT_EQ(PawnAttacks[BLACK][sq], rank_of(sq) == 0 ? 0 : naive_attacks(PAWN, sq, 0, BLACK)) << sq;
    EXPECT_EQ(SideNeighbours[sq], naive_walk(sq, 0, -1, 0, false) | naive_walk(sq, 0, 1, 0, false));
    Bitboard front[2] = {};
    for (int df = -1; df <= 1; df++) {
      for (int f = file_of(sq) + df, r = 0; r < 8 && f >= 0 && f < 8; r++) {
        if (r > rank_of(sq)) front[WHITE] |= bit(make_square(f, r));
        if (r < rank_of(sq)) front[BLACK] |= bit(make_square(f, r));
      }
    }
    EXPECT_EQ(PassedMask[WHITE][sq], front[WHITE]) << sq;
    EXPECT_EQ(PassedMask[BLACK][sq], front[BLACK]) << sq;
  }
}

TEST_F(BitboardTest, BetweenHoldsExactlyTheSquaresOnTheLine) {
  EXPECT_EQ(Between[A1][H8], 0x0040201008040200ULL);  // b2..g7
  EXPECT_EQ(Between[A1][B3], 0u);
  EXPECT_EQ(Between[A1][A1], 0u);
  for (int a = 0; a < 64; a++)
    for (int b = 0; b < 64; b++) {
      // Walking from a towards b with b as the only blocker: b is reached
      // exactly when the squares share a line; the walk before it is the gap.
      Bitboard expect = 0;
      for (int df = -1; df <= 1; df++)
        for (int dr = -1; dr <= 1; dr++) {
          Bitboard walk = (df || dr) ? naive_walk(a, bit(b), df, dr, true) : 0;
          if (walk & bit(b)) expect = walk & ~bit(b);
        }
      ASSERT_EQ(Between[a][b], expect) << a << " " << b;
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

TEST_F(BitboardTest, OccupancyArgumentDecidesForLeastAttackerOnly) {
  // White rook a1, black pawn a4 between it and a6.
  Position& pos = set("4k3/8/8/8/p7/8/8/R3K3 w - -");
  const int a6 = 40;
  EXPECT_FALSE(square_attacked(pos, a6, WHITE));
  EXPECT_EQ(least_attacker(pos, a6, WHITE, occupancy(pos)), NO_SQUARE);
  EXPECT_EQ(least_attacker(pos, a6, WHITE, occupancy(pos) & ~bit(A4)), A1);
  // A piece outside the set takes no part at all.
  EXPECT_EQ(least_attacker(pos, 16, WHITE, occupancy(pos) & ~bit(A1)), NO_SQUARE);
  EXPECT_TRUE(square_attacked(pos, 16, WHITE));
  EXPECT_TRUE(square_attacked(pos, A4, WHITE));
}

}  // namespace
