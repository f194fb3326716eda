// Bitboard helpers and the attack tables built once at start-up.
#pragma once

#include "core/types.h"

enum Direction { EAST, WEST, NORTH, SOUTH, NORTH_EAST, NORTH_WEST, SOUTH_WEST, SOUTH_EAST };

extern Bitboard Between[64][64];
extern Bitboard Ray[8][64];
extern Bitboard RookPseudo[64];
extern Bitboard BishopPseudo[64];
extern Bitboard KnightAttacks[64];
extern Bitboard KingAttacks[64];
extern Bitboard PawnAttacks[2][64];
extern Bitboard PassedMask[2][64];
extern Bitboard SideNeighbours[64];

// Builds every table above; must run before any position is set up.
void init_board_tables();

inline int lsb(Bitboard b) { return __builtin_ctzll(b); }
inline int msb(Bitboard b) { return 63 - __builtin_clzll(b); }
// The bit-parallel count: pairs, then nibbles, then bytes, then one
// multiply adds the eight byte counts into the top byte.
constexpr Bitboard POP_PAIRS = 0x5555555555555555ULL, POP_NIBBLES = 0x3333333333333333ULL,
                   POP_BYTES = 0x0F0F0F0F0F0F0F0FULL, POP_BYTE_SUM = 0x0101010101010101ULL;
constexpr int POP_TOP_BYTE_SHIFT = 56;
inline int popcount_parallel(Bitboard b) {
  b -= (b >> 1) & POP_PAIRS;
  b = (b & POP_NIBBLES) + ((b >> 2) & POP_NIBBLES);
  b = (b + (b >> 4)) & POP_BYTES;
  return int((b * POP_BYTE_SUM) >> POP_TOP_BYTE_SHIFT);
}
// A generic x86-64 build has no population-count instruction, and the
// compiler would call a library routine at every count: it counts inline.
#if defined(__POPCNT__) || !defined(__x86_64__)
inline int popcount(Bitboard b) { return __builtin_popcountll(b); }
#else
inline int popcount(Bitboard b) { return popcount_parallel(b); }
#endif

// Returns the lowest set square and clears it; an empty set yields 0.
inline int pop_lsb(Bitboard& b) {
  if (!b) return 0;
  int sq = lsb(b);
  b &= b - 1;
  return sq;
}

// Slider attacks by ray difference: for each direction find the first
// blocker (a sentinel on h8 or a1 guarantees one; those squares have empty
// rays in the searched directions), then strip everything behind it.
inline Bitboard rook_attacks(int sq, Bitboard occ) {
  Bitboard a = RookPseudo[sq];
  a ^= Ray[EAST][lsb((Ray[EAST][sq] & occ) | bit(63))];
  a ^= Ray[NORTH][lsb((Ray[NORTH][sq] & occ) | bit(63))];
  a ^= Ray[WEST][msb((Ray[WEST][sq] & occ) | 1)];
  a ^= Ray[SOUTH][msb((Ray[SOUTH][sq] & occ) | 1)];
  return a;
}

inline Bitboard bishop_attacks(int sq, Bitboard occ) {
  Bitboard a = BishopPseudo[sq];
  a ^= Ray[NORTH_EAST][lsb((Ray[NORTH_EAST][sq] & occ) | bit(63))];
  a ^= Ray[NORTH_WEST][lsb((Ray[NORTH_WEST][sq] & occ) | bit(63))];
  a ^= Ray[SOUTH_WEST][msb((Ray[SOUTH_WEST][sq] & occ) | 1)];
  a ^= Ray[SOUTH_EAST][msb((Ray[SOUTH_EAST][sq] & occ) | 1)];
  return a;
}
